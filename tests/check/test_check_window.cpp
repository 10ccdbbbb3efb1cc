// The check window end to end: activation per report (result table, caption, extra texts), a report without
// catalogue steps, the jump back to the data-entry window of each report, and printing and previewing the
// result through the check report form.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include "CheckFixture.h"
#include "check/CheckPrint.h"
#include "entry/EntryWindow.h"
#include "entry/Kfq.h"
#include "platform/report/PreviewForm.h"
#include "platform/report/PrintOutput.h"

namespace {

using namespace checktest;
using testsupport::ScopedStandIn;

class CheckWindow : public CheckTest {
protected:
    void TearDown() override
    {
        report::setPrintSink({});
        CheckTest::TearDown();
    }
};

struct ActivationCase {
    int report;
    const char* result;
    const char* caption;
    const char* filter;
    const char* column;
};

// Opening the window for one report after another sets everything anew, with the shipped catalogue.
TEST_F(CheckWindow, EachOpeningTakesTheReportsResultTableCaptionAndExtraTexts)
{
    const ActivationCase cases[] = {
        {4, "gjxm_r.db", "国家级项目数据校验", " and (is_chge=\"1\" or is_chge=\"2\")", ",is_chge"},
        {6, "kfqzh3_r.db", "创业投资机构数据校验", "", ""},
        {1, "kfq_r.db", "高新区企业数据校验", "", ""},
        {4, "gjxm_r.db", "国家级项目数据校验", " and (is_chge=\"1\" or is_chge=\"2\")", ",is_chge"},
        {11, "kfqzh3_r.db", "省级高新区数据校验", "", ""},
    };
    const auto catalogue = ReadTable("check_db.DB");
    for (const ActivationCase& c : cases) {
        InCheck(c.report, [&](TF_check& w) {
            EXPECT_EQ(w.Table2->TableName(), c.result) << c.report;
            EXPECT_TRUE(w.Table2->Active()) << c.report;
            EXPECT_EQ(w.Caption(), c.caption) << c.report;
            EXPECT_EQ(ExtraFilter, c.filter) << c.report;
            EXPECT_EQ(ExtraColumn, c.column) << c.report;
        });
        EXPECT_FALSE(F_check->Table2->Active());
        EXPECT_FALSE(F_check->Table3->Active());
    }
    EXPECT_EQ(ReadTable("check_db.DB"), catalogue);  // the catalogue is only read
}

TEST_F(CheckWindow, AReportWithoutStepsIsToldAndTouchesNoTable)
{
    MakeCatalogue({{"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"}});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"A1", "", "-1"}});
    const auto first = Run(1);
    const auto send = ReadTable("sendname.db");
    ASSERT_EQ(first.size(), 1u);

    const std::string told = "报表6没有校验步骤，未作校验";
    User().ExpectMessage("提示", told);
    InCheck(6, [&](TF_check& w) {
        User().ExpectMessage("提示", told).ExpectMessage("提示", told).ExpectMessage("提示", told);
        EXPECT_FALSE(w.Table2->Active());
        EXPECT_EQ(w.Caption(), "数据校验");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
        EXPECT_TRUE(TScriptedUser::Press(*w.Button1));
        EXPECT_TRUE(TScriptedUser::Press(*w.Button4));
        EXPECT_TRUE(TScriptedUser::Press(*w.Button5));  // no jump for a report without result
    });
    EXPECT_EQ(ReadTable("dat_r.db"), first);
    EXPECT_EQ(ReadTable("sendname.db"), send);
}

struct JumpCase {
    int report;
    const char* className;
    const char* field;
    const char* value2;
    const char* caption;
};

void PrintTo(const JumpCase& c, std::ostream* os) { *os << "report " << c.report << " " << c.className; }

class JumpBack : public CheckWindow, public testing::WithParamInterface<JumpCase> {};

// The result row's key (and detail key) go to the report's data-entry window, which is asked for by name.
TEST_P(JumpBack, HandsTheRowsKeyToTheReportsWindow)
{
    const JumpCase& c = GetParam();
    const bool detail = *c.value2 != 0;
    std::vector<db::FieldDesc> extra;  // the columns that the report's selects add after 字段值
    if (c.report == 4) {
        extra.push_back(Text("is_chge", 1));
    }
    if (detail) {
        extra.push_back(Text("code2", 4));
    }
    MakeTable("dat_r.db", ResultFields(extra));
    MakeCatalogue({{std::to_string(c.report), "dat_chk", "code", detail ? ",code2" : "", "dat.db\"", "dat_r.db",
                    "测试数据校验", "测试校验表"}});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"A1", "", "-1", "", "1", "E1"}});
    ScopedStandIn window(c.className);
    for (TButton* TF_check::*how : {&TF_check::Button5, static_cast<TButton * TF_check::*>(nullptr)}) {
        std::string caption;
        LocatePending = false;
        InCheck(c.report, [&](TF_check& w) {
            ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
            User().InModal(c.className, [&](TForm& f) {
                caption = f.Caption();
                f.Close();
            });
            if (how) {
                ASSERT_TRUE(TScriptedUser::Press(*(w.*how)));
            } else {
                ASSERT_TRUE(TScriptedUser::DblClick(*w.DBGrid1));
            }
            // Back in the check window the last result is still shown.
            EXPECT_TRUE(w.Table2->Active());
            EXPECT_EQ(w.Table2->FieldByName("编号")->AsString(), "A1");
        });
        EXPECT_EQ(caption, c.caption);
        EXPECT_TRUE(LocatePending);
        EXPECT_EQ(LocateField, c.field);
        EXPECT_EQ(LocateValue, "A1");
        EXPECT_EQ(LocateValue2, c.value2);
    }
}

INSTANTIATE_TEST_SUITE_P(Reports, JumpBack,
                         testing::Values(JumpCase{1, "TF_kfq", "qa01", "", "高新区企业"},
                                         JumpCase{3, "TF_kfq", "qa01", "", "区外企业"},
                                         JumpCase{4, "TF_gjxm", "jb00", "", "国家级项目"},
                                         JumpCase{6, "TF_tzjg", "code", "", "创业投资机构情况"},
                                         JumpCase{7, "TF_rjjd", "code", "E1", "软件产业基地情况"},
                                         JumpCase{8, "TF_dxkjy", "code", "E1", "大学科技园情况"},
                                         JumpCase{9, "TF_fhq", "code", "E1", "科技企业孵化器情况"},
                                         JumpCase{10, "TF_tsjd", "code", "", "特色产业基地情况"},
                                         JumpCase{11, "TF_sjgxq", "code", "", "省级高新区"}),
                         [](const testing::TestParamInfo<JumpCase>& i) {
                             return "Report" + std::to_string(i.param.report);
                         });

// A data-entry window that this version lacks is told by the opener; the request is still set.
TEST_F(CheckWindow, JumpBackToAWindowNotInThisVersionIsTold)
{
    MakeTable("dat4_r.db", ResultFields({Text("is_chge", 1)}));
    MakeCatalogue({{"4", "dat_chk", "code", "", "dat.db\"", "dat4_r.db", "项目校验", "项目校验表"}});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"P1", "", "-1", "", "2"}});
    ScopedStandIn none("TF_gjxm");
    TFormFactory::Register({"TF_gjxm", [] { return static_cast<TForm*>(nullptr); }, [] {}});
    InCheck(4, [&](TF_check& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
        User().ExpectMessage("提示", "此版本尚未提供窗口 TF_gjxm");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button5));
    });
    EXPECT_TRUE(LocatePending);
    EXPECT_EQ(LocateField, "jb00");
    EXPECT_EQ(LocateValue, "P1");
}

// With the shipped catalogue of report 1 and the real enterprise window: the jump positions the enterprise.
TEST_F(CheckWindow, JumpBackPositionsTheEnterpriseWindowOnTheFaultyRecord)
{
    MakeRules("kfq1_chk.db", {{"警告", "QA02='1'", "登记注册类型不是1", "QA02"}});
    {
        TTable t;
        t.SetTableName("kfq_1.db");
        t.Open();
        for (const char* key : {"100001", "100002", "100003"}) {
            t.Append();
            t.FieldByName("Id")->SetAsString(key);
            t.FieldByName("QA01")->SetAsString(key);
            t.FieldByName("QA03")->SetAsString(std::string("Q") + key);
            t.FieldByName("QA04")->SetAsString(std::string("企业") + key);
            t.FieldByName("QA02")->SetAsString(std::string(key) == "100002" ? "2" : "1");
            t.Post();
        }
    }
    std::string shown;
    InCheck(1, [&](TF_check& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
        User().InModal("TF_kfq", [&](TForm& f) {
            shown = static_cast<TF_kfq&>(f).Table1->FieldByName("QA01")->AsString();
            f.Close();
        });
        ASSERT_EQ(w.Table2->RecordCount(), 1);
        ASSERT_TRUE(TScriptedUser::DblClick(*w.DBGrid1));
    });
    EXPECT_EQ(shown, "100002");
}

// Printing and previewing: the page is headed by the window's caption and lists the rows.
TEST_F(CheckWindow, PrintAndPreviewHeadThePageWithTheCaption)
{
    MakeCatalogue({{"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"}});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}, {"警告", "name is not null", "名称为空", "name"}});
    MakeData({{"A1", "", "-1"}, {"A2", "乙", "-7"}});
    std::vector<report::Document> printed;
    report::setPrintSink([&](const report::Document& d) { printed.push_back(d); });
    report::Document previewed;
    InCheck(1, [&](TF_check& w) {
        User().InModal("QRPreviewForm", [&](TForm& f) {
            auto& p = dynamic_cast<TQRPreviewForm&>(f);
            previewed = p.Document();
            p.PageImage().save(QString::fromStdString(std::string(VEMORA_BINARY_DIR) + "/check-preview.png"));
            f.Close();
        });
        ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
        w.Widget()->grab().save(QString::fromStdString(std::string(VEMORA_BINARY_DIR) + "/check-window.png"));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
        ASSERT_TRUE(TScriptedUser::Press(*w.Button4));
        EXPECT_TRUE(w.DataSource1->Enabled());
    });
    ASSERT_EQ(printed.size(), 1u);
    for (const report::Document* d : {&printed[0], &previewed}) {
        ASSERT_EQ(d->pages.size(), 1u);
        const auto& page = d->pages[0];
        for (const char* text : {"校验表", "测试数据校验", "序号", "错误信息", "名称为空", "值为负", "A2", "-7", "1"}) {
            EXPECT_FALSE(page.findText(text).empty()) << text;
        }
    }
    EXPECT_EQ(ReadTable("check_pt.db"), (std::vector<Record>{{{"Text", "测试数据校验"}}}));
    EXPECT_FALSE(F_check_p->Table1->Active());
    EXPECT_FALSE(F_check_p->Table2->Active());
}

// An engine error while preparing the print is shown, and the grid shows the result again afterwards.
TEST_F(CheckWindow, AFailedPrintPreparationReattachesTheGrid)
{
    MakeCatalogue({{"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"}});
    std::filesystem::remove("check_pt.db");
    int printed = 0;
    report::setPrintSink([&](const report::Document&) { ++printed; });
    InCheck(1, [&](TF_check& w) {
        User().ExpectMessageContaining(Application->Title, "check_pt.db");
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
        EXPECT_TRUE(w.DataSource1->Enabled());
    });
    EXPECT_EQ(printed, 0);
}

TEST_F(CheckWindow, AnEmptyResultPrintsNothing)
{
    MakeCatalogue({{"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"}});
    int printed = 0;
    report::setPrintSink([&](const report::Document&) { ++printed; });
    InCheck(1, [&](TF_check& w) {
        EXPECT_TRUE(w.Table2->IsEmpty());
        ASSERT_TRUE(TScriptedUser::Press(*w.Button1));
    });
    EXPECT_EQ(printed, 0);
    ASSERT_NE(F_check_p, nullptr);
    EXPECT_TRUE(F_check_p->QuickRep1->LastDocument().empty());
}

// The real windows of the code-keyed reports: the jump opens each on the faulty record, and the incubators'
// window on the faulty enterprise of that incubator, on its page; the window then lists its records in its own
// order (by code or by id).
struct OpenCase {
    int report;
    const char* className;
    const char* table;
    const char* key;
    const char* code2;  // the result row's enterprise; "" for a report without one
    const char* order;  // the window's order after the positioned opening
};
void PrintTo(const OpenCase& c, std::ostream* os) { *os << "report " << c.report << " " << c.className; }

class JumpBackOpens : public CheckWindow, public testing::WithParamInterface<OpenCase> {};

TEST_P(JumpBackOpens, TheReportsWindowOnTheFaultyRecord)
{
    const OpenCase& c = GetParam();
    const bool detail = *c.code2 != 0;
    MakeTable("dat_r.db", ResultFields(detail ? std::vector<db::FieldDesc>{Text("code2", 4)}
                                              : std::vector<db::FieldDesc>{}));
    MakeCatalogue({{std::to_string(c.report), "dat_chk", "code", detail ? ",code2" : "", "dat.db\"", "dat_r.db",
                    "测试数据校验", "测试校验表"}});
    MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}});
    MakeData({{"A1", "", "-1", "", "", c.code2}});
    {
        TTable t;
        t.SetTableName(c.table);
        t.Open();
        for (const char* key : {"A0", "A1", "A2"}) {
            t.Append();
            t.FieldByName("Id")->SetAsString(key);
            t.FieldByName(c.key)->SetAsString(key);
            t.Post();
        }
    }
    if (detail) {
        TTable t;
        t.SetTableName("fhqzfqy.db");
        t.Open();
        for (const char* code2 : {"E0", c.code2}) {
            t.Append();
            t.FieldByName("Id")->SetAsString(std::string("A1") + code2);
            t.FieldByName("CODE")->SetAsString("A1");
            t.FieldByName("CODE2")->SetAsString(code2);
            t.Post();
        }
    }
    std::string shown, shown2, page, order;
    InCheck(c.report, [&](TF_check& w) {
        ASSERT_TRUE(TScriptedUser::Press(*w.Button3));
        User().InModal(c.className, [&](TForm& f) {
            auto& e = dynamic_cast<TEntryWindow&>(f);
            shown = e.Table(0)->FieldByName(c.key)->AsString();
            shown2 = detail ? e.Table(1)->FieldByName("CODE2")->AsString() : "";
            page = e.PageControl1 != nullptr ? e.PageControl1->ActivePage()->Name() : "";
            order = e.Table(0)->IndexFieldNames();
            f.Close();
        });
        ASSERT_TRUE(TScriptedUser::DblClick(*w.DBGrid1));
    });
    EXPECT_EQ(shown, "A1");
    EXPECT_EQ(shown2, c.code2);
    EXPECT_EQ(page, detail ? "TabSheet3" : c.report == 10 ? "TabSheet1" : "");
    EXPECT_TRUE(SameName(order, c.order)) << order;
}

INSTANTIATE_TEST_SUITE_P(Reports, JumpBackOpens,
                         testing::Values(OpenCase{6, "TF_tzjg", "tzjg.db", "code", "", "code"},
                                         OpenCase{9, "TF_fhq", "fhq.db", "CODE", "E1", "id"},
                                         OpenCase{10, "TF_tsjd", "tsjd.db", "CODE", "", "id"},
                                         OpenCase{11, "TF_sjgxq", "sjgxq.db", "Code", "", "code"}),
                         [](const testing::TestParamInfo<OpenCase>& i) {
                             return "Report" + std::to_string(i.param.report);
                         });

}  // namespace
