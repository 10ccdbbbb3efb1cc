// The report forms: what they bind matches what the builders write and the program ships, and each prints its
// table from sample data to a PDF that reads back with its title, its labels beside their values, and its rows.
#include <gtest/gtest.h>

#include <set>

#include "PrintFixture.h"
#include "platform/report/ValueFormat.h"
#include "platform/ui/FormFactory.h"
#include "print/BuilderStatements.h"
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

struct SheetCase {
    const char* form;
    const char* table;
    const char* title;
    std::vector<std::pair<const char*, const char*>> pairs;  // label, field
    const char* mask;
};

void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.form; }

class SheetForms : public PrintTest, public testing::WithParamInterface<SheetCase> {};

// The sheets print the first record: each label on the line of its value, the value masked as the form says.
TEST_P(SheetForms, PrintTheFirstRecordsValuesBesideTheirLabels)
{
    const SheetCase& c = GetParam();
    const auto rows = ReadTable(c.table);
    ASSERT_FALSE(rows.empty());
    const std::string pdf = PrintToPdf("sheet.pdf");
    Form(c.form).QuickRep1->Print();
    EXPECT_EQ(Form(c.form).QuickRep1->LastDocument().pages.size(), 1u);
    const auto lines = PdfLines(pdf, 0, PdfLayout::Kept);
    EXPECT_TRUE(HasLine(PdfLines(pdf), c.title));
    for (const auto& [label, field] : c.pairs) {
        const std::string& raw = rows.front().at(field);
        const std::string value = c.mask ? report::formatNumberMask(Number(raw), c.mask) : raw;
        EXPECT_TRUE(ShowsPair(lines, label, value)) << label << " " << value;
    }
    EXPECT_FALSE(Form(c.form).Table1->Active());
}

INSTANTIATE_TEST_SUITE_P(
    NoBuilder, SheetForms,
    testing::Values(SheetCase{"TF_xmdcb_p",
                              "xmdcb.db",
                              "2009年Vemora计划项目统计情况调查表",
                              {{"要求统计项目数", "GJ_1"}, {"增加项目数", "GJ_3"}, {"未统计项目数", "GJ_4"},
                               {"实际统计企业数", "QWTJS"}, {"区外高新技术企业数", "QWQYS"}},
                              nullptr},
                    SheetCase{"TF_dfwsb_p",
                              "df_wsb.db",
                              "2009年地方级项目未统计原因及主要指标预计情况调查表",
                              {{"验收", "XMS_1"}, {"停顿", "XMS_4"}, {"其他", "XMS_6"}},
                              nullptr}),
    [](const auto& info) { return std::string(info.param.form).substr(3); });

}  // namespace
