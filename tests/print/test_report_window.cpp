// The print list end to end, opened from the main window's "报表打印" for a report: which entries it lists and
// ticks, how ticks live on, and what printing and previewing the ticked entries put on paper, check tables and
// failures included.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "PrintFixture.h"
#include "app/Main.h"
#include "check/Check.h"
#include "check/CheckPrint.h"
#include "platform/db/Query.h"
#include "platform/report/PreviewForm.h"
#include "platform/report/PrintOutput.h"
#include "print/Report.h"
#include "print/ReportForms.h"

namespace {

using namespace printtest;

// The texts of a printed document, all pages.
std::vector<std::string> Texts(const report::Document& d)
{
    std::vector<std::string> out;
    for (const auto& p : d.pages) {
        const auto t = p.texts();
        out.insert(out.end(), t.begin(), t.end());
    }
    return out;
}

bool Shows(const report::Document& d, const std::string& text) { return HasLine(Texts(d), text); }

class ReportWindow : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        StartProgram();
        report::setPrintSink([this](const report::Document& d) { printed.push_back(d); });
    }

    void TearDown() override
    {
        report::setPrintSink({});
        PrintTest::TearDown();
    }

    // Opens the print list for a report from the main window, acts in it and closes it with "返回".
    void InReport(int report, const std::function<void(TF_report&)>& act)
    {
        ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, report - 1));
        User().InModal("TF_report", [&](TForm& f) {
            auto& w = static_cast<TF_report&>(f);
            act(w);
            EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton5));
        });
        ASSERT_TRUE(TScriptedUser::Press(*F_main->Button6));
    }

    // The entries (print keys or check tables) of the ticked lines.
    static std::vector<std::string> Ticked(const TF_report& w)
    {
        std::vector<std::string> out;
        for (int i = 0; i < w.CheckListBox1->Count(); ++i) {
            if (w.CheckListBox1->Checked(i)) {
                out.push_back(w.ListBox1->Item(i));
            }
        }
        return out;
    }

    // Ticks exactly the lines whose entries are given, the way the user does: clear all, then double-click.
    static void TickOnly(TF_report& w, const std::set<std::string>& entries)
    {
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton2));
        for (int i = 0; i < w.ListBox1->Count(); ++i) {
            if (entries.count(w.ListBox1->Item(i))) {
                EXPECT_TRUE(w.CheckListBox1->DblClickItem(i));
            }
        }
    }

    // The numbers of the sample enterprises that a rule selects.
    static std::set<std::string> Enterprises(const std::function<bool(const Record&)>& take)
    {
        std::set<std::string> out;
        for (const Record& r : ReadTable("kfq_1.db")) {
            if (take(r)) {
                out.insert(r.at("QA01"));
            }
        }
        return out;
    }

    std::vector<report::Document> printed;
};

const std::vector<std::string> kReport1 = {"kfqhz", "dqy", "shqy", "gyqy", "fwqy", "kfq_r.db"};

// Every row of the list table is shown in its order; a report ticks the rows of its own id, report 3 those
// of report 1.
TEST_F(ReportWindow, ListsEveryRowAndTicksTheChosenReportsRows)
{
    std::vector<std::string> names;
    for (const Record& r : ReadTable("rept_db.db")) {
        names.push_back(r.at("report_name"));
    }
    const struct {
        int report;
        std::vector<std::string> ticked;
    } cases[] = {
        {1, kReport1},
        {4, {"gjhz", "gjxm_r.db", "xmdcb", "dfhz", "dfwsb"}},
        {3, kReport1},
        {2, {}},
        {5, {"gjwsb"}},
        {11, {"kfqzh3_r.db"}},
    };
    for (const auto& c : cases) {
        InReport(c.report, [&](TF_report& w) {
            EXPECT_EQ(w.CheckListBox1->Items(), names) << c.report;
            EXPECT_EQ(w.ListBox1->Count(), w.CheckListBox1->Count());
            EXPECT_EQ(Ticked(w), c.ticked) << c.report;
        });
    }
}

// The user's ticks stay while the report kind stays (reports 1 and 3 share one list), across closing and
// reopening and after a preview; another report restores the default ticks.
TEST_F(ReportWindow, TicksLiveUntilAnotherReportIsChosen)
{
    const std::vector<std::string> mine = {"dqy", "gjhz"};
    InReport(1, [&](TF_report& w) {
        TickOnly(w, {"gjhz"});
        User().InModal("QRPreviewForm", [](TForm& f) { f.Close(); });
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton4));  // the list is activated again when the preview closes
        EXPECT_EQ(Ticked(w), std::vector<std::string>{"gjhz"});
        EXPECT_TRUE(w.CheckListBox1->DblClickItem(1));
        EXPECT_EQ(Ticked(w), mine);
    });
    InReport(1, [&](TF_report& w) { EXPECT_EQ(Ticked(w), mine); });
    InReport(3, [&](TF_report& w) { EXPECT_EQ(Ticked(w), mine); });
    InReport(4, [&](TF_report& w) {
        EXPECT_EQ(Ticked(w), (std::vector<std::string>{"gjhz", "gjxm_r.db", "xmdcb", "dfhz", "dfwsb"}));
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton2));
        EXPECT_TRUE(Ticked(w).empty());
    });
    InReport(4, [&](TF_report& w) { EXPECT_TRUE(Ticked(w).empty()); });
    InReport(1, [&](TF_report& w) { EXPECT_EQ(Ticked(w), kReport1); });
    EXPECT_EQ(printed.size(), 0u);
}

// Printing report 1's list builds and prints each ticked entry in list order; both lists of large enterprises
// come from one form and one table, each with its own rows and title, and the check table under its name.
TEST_F(ReportWindow, PrintsEveryTickedEntryThroughItsBuilderAndForm)
{
    AppendRecords("kfq_r.db", {{{"编号", "100001"}, {"错误信息", "总收入不能为负"}, {"状态", "错误"}, {"序号", "1"}}});
    InReport(1, [&](TF_report& w) { EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3)); });
    ASSERT_EQ(printed.size(), 6u);
    const char* titles[] = {"2009年高新技术产业开发区（区外）企业汇总表",
                            "2009年高新技术产业开发区（区外高新技术企业）总收入上亿元以上清单",
                            "2009年上市企业清单",
                            "产品收入500万以上的全部工业企业",
                            "技术服务型企业",
                            "高新区企业校验表"};
    for (std::size_t i = 0; i < printed.size(); ++i) {
        EXPECT_TRUE(Shows(printed[i], titles[i])) << titles[i];
    }
    const auto large = Enterprises([](const Record& r) { return Number(r.at("QC05")) >= 100000; });
    const auto listed = Enterprises([](const Record& r) { return !r.at("QB15").empty(); });
    for (const auto& [doc, mine, other] : {std::tuple{&printed[1], &large, &listed}, std::tuple{&printed[2], &listed, &large}}) {
        for (const std::string& no : *mine) {
            EXPECT_TRUE(Shows(*doc, no)) << no;
        }
        for (const std::string& no : *other) {
            EXPECT_EQ(Shows(*doc, no), mine->count(no) > 0) << no;
        }
    }
    EXPECT_TRUE(Shows(printed[5], "总收入不能为负"));

    EXPECT_FALSE(F_dqy_p->Table1->Active());
    EXPECT_FALSE(F_check_p->Table1->Active());
}

// Previews come one after another, each entry built just before its own.
TEST_F(ReportWindow, PreviewsOneEntryAfterAnother)
{
    std::vector<std::string> seen;
    const auto look = [&](TForm& f) {
        const auto& doc = static_cast<TQRPreviewForm&>(f).Document();
        seen.push_back(doc.pages.front().texts().front());
        f.Close();
    };
    InReport(1, [&](TF_report& w) {
        TickOnly(w, {"dqy", "shqy"});
        User().InModal("QRPreviewForm", look).InModal("QRPreviewForm", look);
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton4));

    });
    EXPECT_EQ(seen, (std::vector<std::string>{"2009年高新技术产业开发区（区外高新技术企业）总收入上亿元以上清单",
                                              "2009年上市企业清单"}));
    EXPECT_TRUE(printed.empty());
}

// With nothing ticked, or an empty list, printing and previewing put nothing out.
TEST_F(ReportWindow, NothingTickedOrAnEmptyListPrintsNothing)
{
    InReport(1, [&](TF_report& w) {
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton2));
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3));
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton4));
    });
    EXPECT_NE(F_check_p, nullptr);
    EmptyTable("rept_db.db");
    InReport(4, [&](TF_report& w) {
        EXPECT_EQ(w.CheckListBox1->Count(), 0);
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3));
    });
    EXPECT_TRUE(printed.empty());
}

// A table missing under a form stops the print with the engine's error naming it: the entries before it stay
// printed, those after it are not printed, and the form's table is left closed.
TEST_F(ReportWindow, AMissingTableStopsThePrintAtItsEntry)
{
    std::filesystem::remove("xmdcb.db");
    InReport(4, [&](TF_report& w) {
        TickOnly(w, {"gjhz", "xmdcb", "dfhz"});
        User().ExpectMessageContaining(Application->Title, "xmdcb.db");
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3));
    });
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_TRUE(Shows(printed[0], "2009年国家级项目汇总表"));
    EXPECT_FALSE(F_xmdcb_p->Table1->Active());
}

// A failed read of the list table is told (the window does not open) and leaves an empty list, not the last
// report's list; the next opening reads it again.
TEST_F(ReportWindow, AFailedReadOfTheListLeavesNoStaleList)
{
    InReport(1, [&](TF_report& w) { EXPECT_EQ(Ticked(w), kReport1); });
    std::filesystem::rename("rept_db.db", "rept_db.keep");
    User().ExpectMessageContaining(Application->Title, "rept_db.db");
    ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, 3));
    ASSERT_TRUE(TScriptedUser::Press(*F_main->Button6));
    EXPECT_FALSE(F_report->Visible());
    EXPECT_EQ(F_report->CheckListBox1->Count(), 0);
    EXPECT_EQ(F_report->ListBox1->Count(), 0);
    EXPECT_EQ(PrintListKind, 0);
    EXPECT_FALSE(F_main->Table1->Active());
    std::filesystem::rename("rept_db.keep", "rept_db.db");
    InReport(4, [&](TF_report& w) { EXPECT_EQ(Ticked(w).size(), 5u); });
    EXPECT_EQ(PrintListKind, 4);
}

// An entry is a print key only when it equals one exactly; otherwise it names a check table, found without
// regard to case. A check table that its check has not made yet (no file, or no rows) is told by name with
// the report to check, and the other entries still print.
TEST_F(ReportWindow, EntriesThatAreNoKeyPrintAsCheckTables)
{
    AppendRecords("gjxm_r.db", {{{"编号", "120000001"}, {"错误信息", "计划总投资不能为空"}, {"状态", "错误"}}});
    EmptyTable("rept_db.db");
    AppendRecords("rept_db.db", {{{"id", "4"}, {"report_name", "国家级项目汇总表"}, {"report_p", "gjhz"}},
                                 {{"id", "4"}, {"report_name", "大写的校验表"}, {"report_p", "GJXM_R.DB"}},
                                 {{"id", "4"}, {"report_name", "大写的汇总表"}, {"report_p", "KFQHZ"}},
                                 {{"id", "4"}, {"report_name", "地方级项目汇总表"}, {"report_p", "dfhz"}}});
    InReport(4, [&](TF_report& w) {
        User().ExpectMessage("错误窗口", "“大写的汇总表”的校验结果表KFQHZ还没有生成，请先对该报表作“报表校验”。");
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3));
    });
    ASSERT_EQ(printed.size(), 3u);
    EXPECT_TRUE(Shows(printed[0], "2009年国家级项目汇总表"));
    EXPECT_TRUE(Shows(printed[1], "大写的校验表"));
    EXPECT_TRUE(Shows(printed[1], "计划总投资不能为空"));
    EXPECT_TRUE(Shows(printed[2], "2009年地方级项目汇总表"));

    const std::string notMade = "“大写的校验表”的校验结果表GJXM_R.DB还没有生成，请先对“" +
                                F_main->RadioGroup1->Items()[3] + "”作“报表校验”。";
    for (const auto& unmake : {std::function<void()>([] { EmptyTable("gjxm_r.db"); }),
                               std::function<void()>([] { std::filesystem::remove("gjxm_r.db"); })}) {
        printed.clear();
        unmake();
        InReport(4, [&](TF_report& w) {
            TickOnly(w, {"GJXM_R.DB", "dfhz"});
            User().ExpectMessage("错误窗口", notMade);
            EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3));
        });
        ASSERT_EQ(printed.size(), 1u);
        EXPECT_TRUE(Shows(printed[0], "2009年地方级项目汇总表"));
    }
}

// Reports 6 and 11 both check into "kfqzh3_r.db": the printed result is headed by the report whose check
// wrote it last, whichever entry was ticked; when no check's entry is left, by both.
TEST_F(ReportWindow, ASharedCheckTableIsHeadedByTheReportItHolds)
{
    ASSERT_TRUE(TScriptedUser::Choose(*F_main->RadioGroup1, 10));
    User().InModal("TF_check", [](TForm& f) {
        EXPECT_TRUE(TScriptedUser::Press(*static_cast<TF_check&>(f).Button3));
        f.Close();
    });
    ASSERT_TRUE(TScriptedUser::Press(*F_main->Button7));
    ASSERT_FALSE(ReadTable("kfqzh3_r.db").empty());

    InReport(6, [&](TF_report& w) { EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3)); });
    TQuery forget;
    forget.SQL.Add("delete from sendname.db where id=1 and name='kfqzh3_r.db'");
    forget.ExecSQL();
    InReport(11, [&](TF_report& w) { EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3)); });
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_TRUE(Shows(printed[0], "省级高新区校验表"));
    EXPECT_FALSE(Shows(printed[0], "创业投资机构校验表"));
    EXPECT_TRUE(Shows(printed[1], "创业投资机构校验表或省级高新区校验表（最后一次校验的结果）"));
}

// A copy of a table file without one of its fields, in its place.
void DropField(const std::string& table, const std::string& field)
{
    TQuery q;
    std::string list;
    for (const std::string& f : FieldNames(table)) {
        if (f != field) {
            list += (list.empty() ? "" : ",") + f;
        }
    }
    q.SQL.Add("select " + list + " from \"" + table + "\"");
    q.Open();
    TTable copy;
    copy.SetTableName("dropped.db");
    for (int i = 0; i < q.FieldCount(); ++i) {
        const TField* f = q.Fields()[i];
        copy.FieldDefs.Add(f->FieldName(), f->DataType(), f->DataType() == TFieldType::String ? f->Size() : 0);
    }
    copy.CreateTable();
    copy.BatchMove(&q, TBatchMode::batAppend);
    q.Close();
    std::filesystem::rename("dropped.db", table);
}

struct CountFailure {
    const char* name;
    const char* table;
    const char* field;
    const char* messagePart;
};

void PrintTo(const CountFailure& c, std::ostream* os) { *os << c.name; }

class ZoneSummaryFailure : public ReportWindow, public testing::WithParamInterface<CountFailure> {};

// A failing count, or a count table without a count's field, stops the print with the engine's error and
// leaves the main window's shared table closed with nothing pending; a failing count leaves the counts as
// they were.
TEST_P(ZoneSummaryFailure, LeavesTheSharedTableClosed)
{
    const CountFailure& c = GetParam();
    const auto before = ReadTable("kfq4hz.db");
    DropField(c.table, c.field);
    InReport(1, [&](TF_report& w) {
        TickOnly(w, {"kfqhz"});
        User().ExpectMessageContaining(Application->Title, c.messagePart);
        EXPECT_TRUE(TScriptedUser::Press(*w.ToolButton3));
    });
    EXPECT_TRUE(printed.empty());
    EXPECT_FALSE(F_main->Table1->Active());
    if (std::string(c.table) == "kfq_1.db") {
        EXPECT_EQ(ReadTable("kfq4hz.db"), before);
    }
    // the table is usable by its next user
    F_main->Table1->SetTableName("rept_db.db");
    F_main->Table1->Open();
    F_main->Table1->Close();
}

INSTANTIATE_TEST_SUITE_P(Counts, ZoneSummaryFailure,
                         testing::Values(CountFailure{"statement", "kfq_1.db", "QB11", "qb11"},
                                         CountFailure{"table", "kfq4hz.db", "认定数", "认定数"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
