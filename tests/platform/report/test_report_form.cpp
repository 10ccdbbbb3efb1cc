// A report form declared in a window description over real table files: the loader builds the report,
// its bands and printables; BeforePrint opens the tables, AfterPrint/AfterPreview close them; the heading
// comes from the second table through an expression. Faults in a report description fail at load time.
#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>
#include <unistd.h>

#include "ScriptAgent.h"
#include "TestSupport.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"
#include "platform/report/PagePainter.h"
#include "platform/report/PrintOutput.h"
#include "platform/report/QuickRep.h"
#include "platform/ui/FormLoader.h"
#include "platform/ui/Registry.h"

namespace {

class TF_sample_p : public TForm {
public:
    explicit TF_sample_p(TComponent* owner) : TForm(owner) {}
    void QuickRep1BeforePrint(TQuickRep*, bool&)
    {
        for (const char* name : {"Table1", "Table2"}) {
            if (!Get<TTable>(name)->Active()) {
                Get<TTable>(name)->Open();
            }
        }
    }
    void QuickRep1AfterPrint(TObject*) { closeTables(); }
    void QuickRep1AfterPreview(TObject*) { closeTables(); }
    void closeTables()
    {
        Get<TTable>("Table1")->Close();
        Get<TTable>("Table2")->Close();
    }
};

const ClassBuilder<TF_sample_p> kSampleClass("TF_sample_p", "TForm", [](ClassBuilder<TF_sample_p>& c) {
    c.NotCreatable();
    c.Handler("QuickRep1BeforePrint", &TF_sample_p::QuickRep1BeforePrint);
    c.Handler("QuickRep1AfterPrint", &TF_sample_p::QuickRep1AfterPrint);
    c.Handler("QuickRep1AfterPreview", &TF_sample_p::QuickRep1AfterPreview);
});

std::string description()
{
    QFile f(VEMORA_SOURCE_DIR "/tests/platform/report/TF_sample_p.form");
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll()).toStdString();
}

db::FieldDesc F(const std::string& name, db::FieldType t, int size = 0) { return db::FieldDesc{name, t, size, false}; }

const std::string kLong = "企业的总收入小于产品销售收入与技术收入之和，请核对总收入、产品销售收入和技术收入三项后重新录入";

// A fresh data folder made current: the result table and its heading table.
class ReportForm : public testing::Test {
protected:
    void SetUp() override
    {
        old_ = std::filesystem::current_path();
        ASSERT_EQ(chdir(tmp_.path("").c_str()), 0);
        db::TableSchema heading;
        heading.fields = {F("Text", db::FieldType::String, 80)};
        db::CreateTableFile("check_pt.db", heading, {{db::Variant{std::string("2009年高新区企业校验")}}});
        writeResult({{db::Variant{std::int64_t{1}}, db::Variant{std::string("错误")}, db::Variant{std::string("100001")},
                      db::Variant{kLong}},
                     {db::Variant{std::int64_t{2}}, db::Variant{std::string("警告")}, db::Variant{std::string("100002")},
                      db::Variant{std::string("从业人员为空")}}});
        form_ = std::make_unique<TF_sample_p>(nullptr);
        form_->LoadDescriptionText("TF_sample_p", description(), "TF_sample_p.form");
    }
    void TearDown() override
    {
        form_.reset();
        std::filesystem::current_path(old_);
        report::setPrintSink({});
    }
    void writeResult(const db::Rows& rows)
    {
        db::TableSchema result;
        result.fields = {F("序号", db::FieldType::Smallint), F("状态", db::FieldType::String, 4),
                         F("编号", db::FieldType::String, 20), F("错误信息", db::FieldType::String, 255)};
        db::CreateTableFile("check_p.db", result, rows);
    }
    TQuickRep* rep() { return form_->Get<TQuickRep>("QuickRep1"); }
    bool tablesClosed() { return !form_->Get<TTable>("Table1")->Active() && !form_->Get<TTable>("Table2")->Active(); }

    TempDir tmp_;
    std::filesystem::path old_;
    std::unique_ptr<TF_sample_p> form_;
};

}  // namespace

TEST_F(ReportForm, PrintsTheResultUnderTheStoredHeading)
{
    std::vector<report::Document> printed;
    report::setPrintSink([&](const report::Document& d) { printed.push_back(d); });
    rep()->Print();
    ASSERT_EQ(printed.size(), 1u);
    ASSERT_EQ(printed[0].pages.size(), 1u);
    const report::Page& p = printed[0].pages[0];
    for (const char* t : {"校验表", "2009年高新区企业校验", "序号", "编号", "错误信息", "1", "2", "100001", "100002",
                          "从业人员为空"}) {
        EXPECT_FALSE(p.findText(t).empty()) << t;
    }
    // The long message is wrapped inside its column and the row's frame has grown around it.
    std::string joined;
    for (const auto& item : p.items) {
        if (const auto* t = std::get_if<report::TextItem>(&item); t && t->box.x > 98 && t->box.y > 26) {
            if (t->text != "从业人员为空" && t->text != "错误信息") {
                EXPECT_LE(t->box.right(), 10 + DesignPxToMm(336 + 376) + 1e-6) << t->text;
                joined += t->text;
            }
        }
    }
    EXPECT_EQ(joined, kLong);
    // The title uses the form's font, the code column of the heading its own.
    EXPECT_EQ(p.findText("校验表")[0]->font.name, "黑体");
    EXPECT_EQ(p.findText("校验表")[0]->font.sizePt, 16);
    EXPECT_EQ(p.findText("编号")[0]->font.name, "Arial");
    EXPECT_EQ(p.findText("100001")[0]->font.name, "宋体");
    EXPECT_NEAR(p.findText("校验表")[0]->box.x, 10 + DesignPxToMm(304), 1e-6);
    EXPECT_TRUE(tablesClosed());

    // A PDF of the same report, and a picture of it to look at.
    ASSERT_TRUE(report::writePdf(printed[0], tmp_.qpath("check.pdf")));
    const auto lines = PdfLines(tmp_.path("check.pdf"));
    for (const char* t : {"校验表", "2009年高新区企业校验", "从业人员为空", "100001"}) {
        EXPECT_TRUE(HasLine(lines, t)) << t;
    }
    // The wrapped message comes back line by line, every character in place.
    std::string wrapped;
    for (const auto& l : lines) {
        if (l.rfind("企业的总收入", 0) == 0 || (!wrapped.empty() && wrapped.size() < kLong.size())) {
            wrapped += l;
        }
    }
    EXPECT_EQ(wrapped, kLong);
    if (const char* out = std::getenv("VEMORA_REPORT_FORM_PNG")) {
        report::renderPage(p, 120).save(out);
    }
}

TEST_F(ReportForm, AnEmptyResultPrintsNothingAndClosesTheTables)
{
    writeResult({});
    int printed = 0;
    report::setPrintSink([&](const report::Document&) { ++printed; });
    rep()->Print();
    EXPECT_EQ(printed, 0);
    EXPECT_TRUE(tablesClosed());
}

TEST_F(ReportForm, PreviewClosesTheTablesOnlyWhenItsWindowCloses)
{
    ScriptAgent user;
    user.modals.push_back([&](TForm& preview) {
        EXPECT_FALSE(tablesClosed());
        preview.Close();
    });
    rep()->Preview();
    EXPECT_TRUE(tablesClosed());
}

struct ReportFault {
    const char* name;
    std::string from, to;  // a line of the description replaced
    std::string message;
};

void PrintTo(const ReportFault& f, std::ostream* os) { *os << f.name; }

class ReportFormFaults : public testing::TestWithParam<ReportFault> {};

TEST_P(ReportFormFaults, AreReportedAtLoadTimeWithTheirPosition)
{
    const auto& c = GetParam();
    std::string text = description();
    const auto at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, c.from.size(), c.to);
    TF_sample_p form(nullptr);
    try {
        form.LoadDescriptionText("TF_sample_p", text, "TF_sample_p.form");
        FAIL() << "loaded";
    } catch (const EFormError& e) {
        EXPECT_EQ(e.Message.rfind("TF_sample_p.form:", 0), 0u) << e.Message;
        EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFormFaults,
    testing::Values(
        ReportFault{"band_outside_report", "  object QuickRep1: TQuickRep\n", "  object QuickRep1: TQRBand\n",
                    "must be placed inside a TQuickRep"},
        ReportFault{"printable_outside_band", "    object TitleBand1: TQRBand\n", "    object TitleBand1: TQRLabel\n",
                    "must be placed inside a TQRBand"},
        ReportFault{"data_set_not_a_table", "    DataSet = Table1\n    Font.Name", "    DataSet = TitleBand1\n    Font.Name",
                    "not a table or query"},
        ReportFault{"bad_expression", "'Table2.Text'", "'IF(Table2.Text = 1'", "Expected ','"},
        ReportFault{"unknown_band_type", "rbPageFooter", "rbGroupFooter", "rbGroupFooter"},
        ReportFault{"two_columns", "Page.Columns = 1", "Page.Columns = 2", "one column"}),
    [](const auto& info) { return std::string(info.param.name); });

struct PositionCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> edits;  // replacements in the description
    double expectedLeftMm;                                   // of the first row's 序号 from the sheet's edge
};

void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.name; }

class ReportFormPositions : public ReportForm, public testing::WithParamInterface<PositionCase> {};

TEST_P(ReportFormPositions, FollowPixelsZoomAndUnits)
{
    std::string text = description();
    for (const auto& [from, to] : GetParam().edits) {
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    form_ = std::make_unique<TF_sample_p>(nullptr);
    form_->LoadDescriptionText("TF_sample_p", text, "TF_sample_p.form");
    std::vector<report::Document> printed;
    report::setPrintSink([&](const report::Document& d) { printed.push_back(d); });
    rep()->Print();
    ASSERT_EQ(printed.size(), 1u);
    const auto found = printed[0].pages[0].findText("1");
    ASSERT_FALSE(found.empty());
    EXPECT_NEAR(found[0]->box.x, GetParam().expectedLeftMm, 1e-6);
}

const std::string kFirstCell = "        Left = 16\n        Top = 6\n        Width = 30\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportFormPositions,
    testing::Values(
        PositionCase{"design_pixels", {}, 10 + 16 * 25.4 / 96},
        PositionCase{"millimetres", {{kFirstCell, "        Size.Left = 4.2\n        Size.Top = 1.6\n        Size.Width = 17.2\n"}}, 14.2},
        PositionCase{"inches", {{"    Units = MM\n", "    Units = Inches\n"}, {kFirstCell, "        Size.Left = 1\n        Size.Width = 0.5\n"}}, 10 + 25.4},
        PositionCase{"zoom_50", {{"    Zoom = 100\n", "    Zoom = 50\n"}}, 10 + 32 * 25.4 / 96},
        PositionCase{"margin", {{"Page.LeftMargin = 10", "Page.LeftMargin = 25.5"}}, 25.5 + 16 * 25.4 / 96}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Break { MissingTableFile, UnknownTableInExpression, UnknownField };

struct FailureCase {
    const char* name;
    Break what;
    std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ReportFormFailures : public ReportForm, public testing::WithParamInterface<FailureCase> {};

TEST_P(ReportFormFailures, EndThePrintWithTheEnginesMessage)
{
    switch (GetParam().what) {
    case Break::MissingTableFile:
        std::filesystem::remove("check_pt.db");
        break;
    case Break::UnknownTableInExpression:
        form_->Get<TQRExpr>("QRExpr1")->SetExpression("Table3.Text");
        break;
    case Break::UnknownField:
        form_->Get<TQRDBText>("QRDBText2")->DataField = "编码";
        break;
    }
    int printed = 0;
    report::setPrintSink([&](const report::Document&) { ++printed; });
    try {
        rep()->Print();
        ADD_FAILURE() << "printed";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message.find(GetParam().message), std::string::npos) << e.Message;
    }
    EXPECT_EQ(printed, 0);
    // The tables are closed again, so the next builder's file is the one read next time.
    EXPECT_TRUE(tablesClosed());
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportFormFailures,
                         testing::Values(FailureCase{"missing_table_file", Break::MissingTableFile, "check_pt"},
                                         FailureCase{"unknown_table", Break::UnknownTableInExpression, "Table3"},
                                         FailureCase{"unknown_field", Break::UnknownField, "编码"}),
                         [](const auto& info) { return std::string(info.param.name); });
