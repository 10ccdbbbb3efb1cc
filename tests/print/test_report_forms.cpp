// The report forms: what they bind matches what the builders write and the program ships, and each prints its
// table from sample data to a PDF that reads back with its title, its labels beside their values, and its rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "PrintFixture.h"
#include "platform/report/ValueFormat.h"
#include "platform/ui/FormFactory.h"
#include "print/BuilderStatements.h"
#include "print/Report.h"
#include "print/ReportForms.h"

namespace {

using namespace printtest;
using testsupport::PdfLayout;
using testsupport::PdfLines;

TReportForm& Form(const std::string& className)
{
    auto* f = dynamic_cast<TReportForm*>(TFormFactory::Obtain(className));
    if (!f) {
        throw std::runtime_error(className + " is not a report form");
    }
    return *f;
}

// Every data-bound text of a form, in band order.
std::vector<const TQRDBText*> DataTexts(const TReportForm& f)
{
    std::vector<const TQRDBText*> out;
    for (const TQRBand* b : f.QuickRep1->Bands()) {
        for (const TQRPrintable* p : b->Printables()) {
            if (const auto* t = dynamic_cast<const TQRDBText*>(p)) {
                out.push_back(t);
            }
        }
    }
    return out;
}

std::vector<std::string> Aliases(const std::vector<print::Column>& columns)
{
    std::vector<std::string> out;
    for (const auto& c : columns) {
        out.push_back(c.alias);
    }
    return out;
}

// True when a line of the PDF has the label followed by the value (blank-separated), as a row of a sheet does.
bool ShowsPair(const std::vector<std::string>& lines, const std::string& label, const std::string& value)
{
    for (const std::string& line : lines) {
        const auto words = Words(line);
        for (std::size_t i = 0; i + 1 < words.size(); ++i) {
            if (words[i] == label && words[i + 1] == value) {
                return true;
            }
        }
    }
    return false;
}

constexpr const char* kForms[] = {"TF_dqy_p",  "TF_gyqy_p",   "TF_fwqy_p",  "TF_gjwsb_p", "TF_gjhz_p",
                                  "TF_dfhz_p", "TF_qyhz_p",   "TF_rjqyhz_p", "TF_dfwsb_p", "TF_xmdcb_p"};

class ReportForms : public PrintTest {};

// A form that names a field its table lacks fails only when printed; a builder whose alias differs from the
// shipped work table leaves the form printing an empty table. Both are caught here for all ten forms.
TEST_F(ReportForms, BindOnlyFieldsOfTheirTablesWhichAreTheBuildersAliases)
{
    for (const char* cls : kForms) {
        TReportForm& f = Form(cls);
        f.Table1->Open();
        for (const TQRDBText* t : DataTexts(f)) {
            EXPECT_NE(f.Table1->FindField(t->DataField), nullptr) << cls << " binds " << t->DataField;
        }
        f.Table1->Close();
    }

    struct Case {
        const print::Statement* statement;
        std::size_t columns;
    } cases[] = {
        {&print::IndustrialList(), 9},
        {&print::ServiceList(), 7},
        {&print::LargeEnterpriseList(print::LargeListMode::TotalIncome), 15},
        {&print::LargeEnterpriseList(print::LargeListMode::Listed), 15},
        {&print::ZoneSums()[0], 80},
        {&print::ZoneSums()[1], 4},
        {&print::ZoneSums()[2], 2},
        {&print::SoftwareSummary(), 41},
        {&print::LocalProjectSummary(), 12},
        {&print::NationalProjectSummary(), 10},
    };
    std::vector<std::string> summary;
    for (const Case& c : cases) {
        EXPECT_EQ(c.statement->columns.size(), c.columns) << c.statement->output;
        EXPECT_EQ(FieldNames(c.statement->output), Aliases(c.statement->columns)) << c.statement->output;
        if (c.statement->output.starts_with("kfq")) {
            const auto a = Aliases(c.statement->columns);
            summary.insert(summary.end(), a.begin(), a.end());
        }
    }
    std::vector<std::string> counts;
    for (const auto& c : print::ZoneCounts()) {
        counts.push_back(c.alias);
    }
    EXPECT_EQ(FieldNames(print::kZoneCountTable), counts);
    summary.insert(summary.end(), counts.begin(), counts.end());
    EXPECT_EQ(summary.size(), 91u);
    EXPECT_EQ(FieldNames(print::kZoneSummaryTable), summary);
}

using Build = void (*)(TF_report&);

// Print tests of the forms: with the program's main window (the builders borrow its shared table) and the
// print list whose builders write the tables.
class FormPrintTest : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        StartProgram();
        Application->CreateForm(&F_report);
    }

    // Builds the form's table when it has a builder, and prints the form to a PDF file; returns the file.
    std::string Print(const char* form, Build build)
    {
        if (build) {
            build(*F_report);
        }
        const std::string pdf = PrintToPdf(std::string(form) + ".pdf");
        Form(form).QuickRep1->Print();
        EXPECT_FALSE(Form(form).Table1->Active()) << form;
        return pdf;
    }
};

struct SheetCase {
    const char* form;
    Build build;
    const char* table;
    const char* title;
    std::vector<std::pair<const char*, const char*>> pairs;  // label, field
    const char* mask;
};

void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.form; }

class SheetForms : public FormPrintTest, public testing::WithParamInterface<SheetCase> {};

// A sheet prints its table's first record on one page: every bound value as the table holds it (masked as
// the form says), and each label on the line of its own value.
TEST_P(SheetForms, PrintTheFirstRecordsValuesBesideTheirLabels)
{
    const SheetCase& c = GetParam();
    const std::string pdf = Print(c.form, c.build);
    const auto rows = ReadTable(c.table);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(Form(c.form).QuickRep1->LastDocument().pages.size(), 1u);
    const auto shown = [&](const std::string& field) {
        const std::string& raw = rows.front().at(field);
        return c.mask ? report::formatNumberMask(Number(raw), c.mask) : raw;
    };
    const auto lines = PdfLines(pdf, 0, PdfLayout::Kept);
    std::multiset<std::string> words;
    for (const auto& line : lines) {
        for (const auto& w : Words(line)) {
            words.insert(w);
        }
    }
    EXPECT_TRUE(HasLine(PdfLines(pdf), c.title));
    for (const TQRDBText* t : DataTexts(Form(c.form))) {
        EXPECT_GT(words.count(shown(t->DataField)), 0u) << t->DataField << " " << shown(t->DataField);
    }
    for (const auto& [label, field] : c.pairs) {
        EXPECT_TRUE(ShowsPair(lines, label, shown(field))) << label << " " << shown(field);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, SheetForms,
    testing::Values(
        SheetCase{"TF_gjhz_p",
                  [](TF_report& r) { r.BuildNationalProjectSummary(); },
                  "gjhz.db",
                  "2009年国家级项目汇总表",
                  {{"国家级项目数", "国家级项目数"}, {"落实资金合计", "落实资金"}, {"净利润", "净利润额"},
                   {"交税总额", "交税总额"}},
                  "0."},
        SheetCase{"TF_dfhz_p",
                  [](TF_report& r) { r.BuildLocalProjectSummary(); },
                  "dfhz.db",
                  "2009年地方级项目汇总表",
                  {{"地方级项目数", "地方级项目数"}, {"国外资金", "国外资金"}, {"当年上缴税金额", "当年上缴税金额"}},
                  nullptr},
        SheetCase{"TF_qyhz_p",
                  [](TF_report& r) { r.BuildZoneSummary(); },
                  "qyhz.db",
                  "2009年高新技术产业开发区（区外）企业汇总表",
                  {{"企业数", "企业数"}, {"区外企业", "区外企业数"}, {"研发支出", "研究与试验发展支出1"},
                   {"实际上缴税", "实际上缴税费总额"}, {"科技活动经费筹集", "科技活动经费筹集总额"},
                   {"项目经费内部支出", "项目本年经费内部支出"}, {"年末资产总计", "年末资产总计"}},
                  "0."},
        SheetCase{"TF_rjqyhz_p",
                  [](TF_report& r) { r.BuildSoftwareSummary(); },
                  "rjqyhz.db",
                  "2009国家Vemora计划软件产业基地内软件企业情况汇总表",
                  {{"企业数", "企业数"}, {"ITO收入", "ITO收入"}, {"有2_5年", "有2_5年"}, {"项目管理人员", "项目管理人员"}},
                  "0."},
        SheetCase{"TF_xmdcb_p",
                  nullptr,
                  "xmdcb.db",
                  "2009年Vemora计划项目统计情况调查表",
                  {{"要求统计项目数", "GJ_1"}, {"增加项目数", "GJ_3"}, {"未统计项目数", "GJ_4"},
                   {"实际统计企业数", "QWTJS"}, {"区外高新技术企业数", "QWQYS"}},
                  nullptr},
        SheetCase{"TF_dfwsb_p",
                  nullptr,
                  "df_wsb.db",
                  "2009年地方级项目未统计原因及主要指标预计情况调查表",
                  {{"验收", "XMS_1"}, {"停顿", "XMS_4"}, {"其他", "XMS_6"}},
                  nullptr}),
    [](const auto& info) { return std::string(info.param.form).substr(3); });

struct ListCase {
    const char* form;
    Build build;
    const char* table;
    const char* title;
    std::vector<const char*> headings;
    const char* key;  // the field printed first in each row
    bool pageNumbers;
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.form; }

class ListForms : public FormPrintTest, public testing::WithParamInterface<ListCase> {};

// A list prints its title and headings, every record in table order from the first on page one to the last
// on the last page, and a page number on every page where it has a page footer.
TEST_P(ListForms, PrintEveryRecordUnderTheHeadings)
{
    const ListCase& c = GetParam();
    const std::string pdf = Print(c.form, c.build);
    const auto rows = ReadTable(c.table);
    ASSERT_FALSE(rows.empty());
    const auto& doc = Form(c.form).QuickRep1->LastDocument();
    ASSERT_FALSE(doc.empty());
    const int pages = static_cast<int>(doc.pages.size());
    const auto first = PdfLines(pdf, 1);
    EXPECT_TRUE(HasLine(first, c.title));
    for (const char* h : c.headings) {
        EXPECT_TRUE(HasLine(first, h)) << h;
    }
    EXPECT_TRUE(HasLine(first, rows.front().at(c.key)));
    EXPECT_TRUE(HasLine(PdfLines(pdf, pages), rows.back().at(c.key)));
    std::vector<std::string> keys;
    for (const auto& p : doc.pages) {
        for (const auto& t : p.texts()) {
            if (std::any_of(rows.begin(), rows.end(), [&](const Record& r) { return r.at(c.key) == t; })) {
                keys.push_back(t);
            }
        }
    }
    std::vector<std::string> expected;
    for (const Record& r : rows) {
        expected.push_back(r.at(c.key));
    }
    EXPECT_EQ(keys, expected);
    for (int p = 1; c.pageNumbers && p <= pages; ++p) {
        EXPECT_EQ(doc.pages[static_cast<std::size_t>(p - 1)].texts().back(), std::to_string(p));
        EXPECT_TRUE(HasLine(PdfLines(pdf, p), std::to_string(p)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, ListForms,
    testing::Values(ListCase{"TF_dqy_p", [](TF_report& r) { r.BuildLargeEnterpriseList(1); }, "dqy.db", "企业清单",
                             {"报表编号", "企业名称", "总收入", "净利润", "上缴税费", "出口创汇"}, "报表编号", true},
                    ListCase{"TF_gyqy_p", [](TF_report& r) { r.BuildIndustrialList(); }, "gyqy.db",
                             "产品收入500万以上的全部工业企业",
                             {"报表编号", "企业名称", "总收入", "净利润", "上缴税费", "出口创汇", "人数"}, "报表编号",
                             true},
                    ListCase{"TF_fwqy_p", [](TF_report& r) { r.BuildServiceList(); }, "fwqy.db", "技术服务型企业",
                             {"报表编号", "企业名称", "行业代码", "总收入", "净利润", "上缴税费", "人数"}, "报表编号",
                             true},
                    ListCase{"TF_gjwsb_p", nullptr, "gj_wsb.db", "2009年国家级Vemora计划项目未统计上报原因调查表",
                             {"项目编号", "计划编号", "项目名称", "未上报原因", "其它原因"}, "JB00", false}),
    [](const auto& info) { return std::string(info.param.form).substr(3); });

class ListPages : public FormPrintTest {};

// Over three pages the title and page number repeat on every page and the column headings stand on the first
// only; each page holds as many rows as fit above its footer (29 under the headings, 30 after), none cut.
TEST_F(ListPages, RepeatTitleAndNumberAndCutNoRowAtTheFooter)
{
    std::vector<Record> large;
    for (int i = 0; i < 50; ++i) {
        const std::string no = std::to_string(910000 + i);
        large.push_back({{"Id", "L" + no}, {"QA01", no}, {"QA03", "L" + no}, {"QA04", "大企业" + no},
                         {"QC05", std::to_string(100000 + i)}, {"Qa_one", "1"}});
    }
    AppendRecords("kfq_1.db", large);
    Print("TF_dqy_p", [](TF_report& r) { r.BuildLargeEnterpriseList(1); });
    const auto rows = ReadTable("dqy.db");
    const auto& doc = Form("TF_dqy_p").QuickRep1->LastDocument();
    ASSERT_EQ(doc.pages.size(), 3u);
    const std::size_t perPage[] = {29, 30, rows.size() - 59};
    std::set<std::string> numbers;
    for (const Record& r : rows) {
        numbers.insert(r.at("报表编号"));
    }
    const double footerTop = 297 - 10 - 10.6;
    for (std::size_t p = 0; p < 3; ++p) {
        const auto& page = doc.pages[p];
        std::size_t seen = 0;
        for (const auto& item : page.items) {
            const auto* t = std::get_if<report::TextItem>(&item);
            if (t && t->box.x < 30 && numbers.count(t->text)) {  // the first column
                ++seen;
                EXPECT_LE(t->box.bottom(), footerTop) << "page " << p + 1 << " row " << t->text;
            }
        }
        EXPECT_EQ(seen, perPage[p]) << "page " << p + 1;
        EXPECT_EQ(page.findText("企业清单").size(), 1u);
        EXPECT_EQ(page.findText("企业名称").size(), p == 0 ? 1u : 0u);
        EXPECT_EQ(page.texts().back(), std::to_string(p + 1));
    }
}

// An empty table prints nothing, neither title nor page; with its option to print when empty, the title and
// headings alone.
TEST_F(ListPages, AnEmptyTablePrintsOnlyWithItsOption)
{
    EmptyTable("gj_wsb.db");
    const std::string pdf = Print("TF_gjwsb_p", nullptr);
    EXPECT_TRUE(Form("TF_gjwsb_p").QuickRep1->LastDocument().empty());
    EXPECT_FALSE(std::filesystem::exists(pdf));
    Form("TF_gjwsb_p").QuickRep1->PrintIfEmpty = true;
    Print("TF_gjwsb_p", nullptr);
    const auto lines = PdfLines(pdf);
    EXPECT_TRUE(HasLine(lines, "2009年国家级Vemora计划项目未统计上报原因调查表"));
    EXPECT_TRUE(HasLine(lines, "项目名称"));
    EXPECT_EQ(Form("TF_gjwsb_p").QuickRep1->LastDocument().pages.size(), 1u);
}

class FormRows : public FormPrintTest {};

// The national list ticks the reason column whose number is the row's reason code; an empty code or one
// outside 1 to 4 ticks none.
TEST_F(FormRows, TheNationalListTicksTheColumnOfEachRowsReason)
{
    EmptyTable("gj_wsb.db");
    const char* reasons[] = {"1", "2", "3", "4", "", "5"};
    std::vector<Record> rows;
    for (int i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i);
        rows.push_back({{"JB00", "12000000" + n}, {"JB01", "项目" + n}, {"JB02", "2005GH00000" + n}, {"YY", reasons[i]}});
    }
    AppendRecords("gj_wsb.db", rows);
    Print("TF_gjwsb_p", nullptr);
    TReportForm& form = Form("TF_gjwsb_p");
    std::vector<const TQRPrintable*> columns;  // the reason columns, first to fourth
    for (const TQRBand* b : form.QuickRep1->Bands()) {
        for (const TQRPrintable* p : b->Printables()) {
            if (dynamic_cast<const TQRExpr*>(p)) {
                columns.push_back(p);
            }
        }
    }
    ASSERT_EQ(columns.size(), 4u);
    const auto& page = form.QuickRep1->LastDocument().pages.at(0);
    const double margin = form.QuickRep1->Page.LeftMargin;
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(rows[static_cast<std::size_t>(i)].at("JB00"));
        const auto key = page.findText(rows[static_cast<std::size_t>(i)].at("JB00"));
        ASSERT_EQ(key.size(), 1u);
        std::vector<int> ticked;
        for (const auto& item : page.items) {
            const auto* t = std::get_if<report::TextItem>(&item);
            if (!t || t->text != "√" || std::abs(t->box.y - key[0]->box.y) > 1) {
                continue;
            }
            const double centre = t->box.x + t->box.w / 2;
            for (int c = 0; c < 4; ++c) {
                const TQRPrintable* col = columns[static_cast<std::size_t>(c)];
                if (centre > margin + col->LeftMm && centre < margin + col->LeftMm + col->WidthMm) {
                    ticked.push_back(c + 1);
                }
            }
        }
        const int reason = i < 4 ? i + 1 : 0;
        EXPECT_EQ(ticked, reason ? std::vector<int>{reason} : std::vector<int>{});
    }
}

// A sheet prints its table's first record once, whatever follows it.
TEST_F(FormRows, ASheetOverSeveralRecordsPrintsTheFirstOnce)
{
    const std::string first = ReadTable("xmdcb.db").at(0).at("KW");
    AppendRecords("xmdcb.db", {{{"KW", "第二个科委"}, {"DQ", "999"}, {"TBR", "第二人"}, {"PXH", "999"}}});
    Print("TF_xmdcb_p", nullptr);
    const auto& doc = Form("TF_xmdcb_p").QuickRep1->LastDocument();
    ASSERT_EQ(doc.pages.size(), 1u);
    EXPECT_EQ(doc.pages[0].findText(first).size(), 1u);
    EXPECT_TRUE(doc.pages[0].findText("第二个科委").empty());
}

}  // namespace
