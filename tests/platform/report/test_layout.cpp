// Band layout into pages: which bands print on which page under the report options, detail rows flowing
// over pages, word-wrapped texts growing their band, page numbers, and empty data sets.
#include <gtest/gtest.h>

#include "ReportFixture.h"
#include "platform/report/PrintOutput.h"
#include "platform/report/ReportLayout.h"

using report::Document;
using report::FrameItem;
using report::Page;
using report::TextItem;

namespace {

// The list layout: page header, title, column header, detail, page footer with the page number.
struct ListReport : ReportFixture {
    TQRBand *header, *title, *columns, *detail, *footer;
    ListReport()
    {
        header = band(TQRBandType::rbPageHeader, 40);
        label(header, "页眉");
        title = band(TQRBandType::rbTitle, 40);
        label(title, "标题");
        columns = band(TQRBandType::rbColumnHeader, 27);
        label(columns, "列头");
        detail = band(TQRBandType::rbDetail, 27);
        put<TQRShape>(detail, 8, 0, 711, 27)->Shape = TQRShapeType::qrsRectangle;
        field(detail, "NO", 16, 5, 60);
        footer = band(TQRBandType::rbPageFooter, 28);
        auto* page = put<TQRSysData>(footer, 312, 8, 60, 17);
        page->Text = "页";
        page->AutoSize = true;
    }
};

std::vector<std::string> detailTexts(const Document& doc)
{
    std::vector<std::string> out;
    for (const Page& p : doc.pages) {
        for (const auto& t : p.texts()) {
            if (t.size() == 5 && t[0] == 'R') {
                out.push_back(t);
            }
        }
    }
    return out;
}

}  // namespace

struct BandOptionsCase {
    const char* name;
    TQuickRepOptions options;
    int rows;
};
void PrintTo(const BandOptionsCase& c, std::ostream* os) { *os << c.name; }

class BandOptions : public testing::TestWithParam<BandOptionsCase> {};

TEST_P(BandOptions, BandsRepeatPerPageAsTheOptionsSay)
{
    const auto& c = GetParam();
    ListReport r;
    r.rep->Options = c.options;
    r.rows(c.rows);
    const Document doc = report::layoutReport(*r.rep);
    const int n = static_cast<int>(doc.pages.size());
    ASSERT_GE(n, 1);
    if (c.rows > 40) {
        EXPECT_GT(n, 1);
    }
    const double footerTop = 297 - 10 - DesignPxToMm(28);
    for (int k = 1; k <= n; ++k) {
        const Page& p = doc.pages[static_cast<std::size_t>(k - 1)];
        SCOPED_TRACE("page " + std::to_string(k) + " of " + std::to_string(n));
        EXPECT_EQ(HasText(p, "页眉"), k > 1 || (c.options & FirstPageHeader));
        EXPECT_EQ(HasText(p, "标题"), k == 1);
        EXPECT_TRUE(HasText(p, "列头"));
        EXPECT_EQ(HasText(p, "页" + std::to_string(k)), k < n || (c.options & LastPageFooter));
        // Detail rows stay above the footer, and the page holds at least one.
        int details = 0;
        for (const auto& item : p.items) {
            if (const auto* f = std::get_if<FrameItem>(&item)) {
                EXPECT_LE(f->box.bottom(), footerTop + 1e-6);
                ++details;
            }
        }
        EXPECT_GE(details, 1);
    }
    // Every row exactly once, in table order.
    std::vector<std::string> expected;
    for (int i = 1; i <= c.rows; ++i) {
        char no[16];
        std::snprintf(no, sizeof no, "R%04d", i);
        expected.emplace_back(no);
    }
    EXPECT_EQ(detailTexts(doc), expected);
}

INSTANTIATE_TEST_SUITE_P(Options, BandOptions,
                         testing::Values(BandOptionsCase{"none_one_page", 0, 3},
                                         BandOptionsCase{"none_pages", 0, 95},
                                         BandOptionsCase{"first_header_one_page", FirstPageHeader, 3},
                                         BandOptionsCase{"first_header_pages", FirstPageHeader, 95},
                                         BandOptionsCase{"last_footer_one_page", LastPageFooter, 1},
                                         BandOptionsCase{"last_footer_pages", LastPageFooter, 95},
                                         BandOptionsCase{"both_pages", FirstPageHeader | LastPageFooter, 95}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Layout, PageNumbersCountPagesAndRowsFillEachPage)
{
    ListReport r;
    r.rep->Options = FirstPageHeader | LastPageFooter;
    r.rows(95);
    const Document doc = report::layoutReport(*r.rep);
    ASSERT_GE(doc.pages.size(), 3u);
    // A page is full: the next row would have crossed the footer.
    const double rowH = DesignPxToMm(27);
    const double footerTop = 297 - 10 - DesignPxToMm(28);
    for (std::size_t k = 0; k + 1 < doc.pages.size(); ++k) {
        double lastBottom = 0;
        for (const auto& item : doc.pages[k].items) {
            if (const auto* f = std::get_if<FrameItem>(&item)) {
                lastBottom = std::max(lastBottom, f->box.bottom());
            }
        }
        EXPECT_GT(lastBottom + rowH, footerTop) << "page " << k + 1 << " left room for another row";
        const auto found = doc.pages[k].findText("页" + std::to_string(k + 1));
        ASSERT_EQ(found.size(), 1u);
        EXPECT_NEAR(found[0]->box.y, footerTop + DesignPxToMm(8), 1e-6);
    }
}

TEST(Layout, WordWrapGrowsTheBandAndItsFrame)
{
    ReportFixture r;
    auto* detail = r.band(TQRBandType::rbDetail, 27);
    r.put<TQRShape>(detail, 8, 0, 711, 27);
    auto* vline = r.put<TQRShape>(detail, 48, 0, 1, 27);
    vline->Shape = TQRShapeType::qrsVertLine;
    auto* msg = r.field(detail, "MSG", 336, 5, 120);
    msg->WordWrap = true;
    msg->AutoSize = true;
    r.data.Rows() = {
        {Text("A"), Text("短"), db::Variant{}},
        {Text("B"), Text("总收入不能小于净利润，请核对企业的收入和利润后重新录入本条记录"), db::Variant{}},
        {Text("C"), Text("短"), db::Variant{}},
    };
    const Document doc = report::layoutReport(*r.rep);
    ASSERT_EQ(doc.pages.size(), 1u);
    std::vector<report::RectMm> frames;
    std::vector<double> lineLengths;
    for (const auto& item : doc.pages[0].items) {
        if (const auto* f = std::get_if<FrameItem>(&item)) {
            frames.push_back(f->box);
        } else if (const auto* l = std::get_if<report::LineItem>(&item)) {
            lineLengths.push_back(l->y2 - l->y1);
        }
    }
    ASSERT_EQ(frames.size(), 3u);
    const double design = DesignPxToMm(27);
    EXPECT_NEAR(frames[0].h, design, 1e-6);
    EXPECT_GT(frames[1].h, 2 * design);
    EXPECT_NEAR(frames[2].h, design, 1e-6);
    for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
        EXPECT_NEAR(frames[i + 1].y, frames[i].bottom(), 1e-6) << "rows overlap or leave gaps";
    }
    ASSERT_EQ(lineLengths.size(), 3u);
    EXPECT_NEAR(lineLengths[1], frames[1].h, 1e-6) << "the column rule follows the grown band";
    // The wrapped text stays inside its grown frame, line under line, every character kept.
    std::string joined;
    double lastBottom = 0;
    for (const auto& item : doc.pages[0].items) {
        if (const auto* t = std::get_if<TextItem>(&item); t && t->box.x > 90) {
            if (t->box.y > frames[1].y && t->box.y < frames[1].bottom()) {
                joined += t->text;
                EXPECT_LE(t->box.bottom(), frames[1].bottom() + 1e-6);
                EXPECT_GE(t->box.y, lastBottom - 1e-6);
                lastBottom = t->box.bottom();
            }
        }
    }
    EXPECT_EQ(joined, "总收入不能小于净利润，请核对企业的收入和利润后重新录入本条记录");
}

struct EmptyCase {
    const char* name;
    bool printIfEmpty;
    std::size_t pages;
};
void PrintTo(const EmptyCase& c, std::ostream* os) { *os << c.name; }

class EmptyTable : public testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyTable, PrintsNothingUnlessAsked)
{
    ListReport r;
    r.rep->Options = FirstPageHeader | LastPageFooter;
    r.rep->PrintIfEmpty = GetParam().printIfEmpty;
    r.rows(0);
    int printed = 0;
    report::setPrintSink([&](const Document&) { ++printed; });
    r.rep->Print();
    report::setPrintSink({});
    EXPECT_EQ(printed, GetParam().pages > 0 ? 1 : 0);
    const Document& doc = r.rep->LastDocument();
    ASSERT_EQ(doc.pages.size(), GetParam().pages);
    if (!doc.pages.empty()) {
        EXPECT_TRUE(HasText(doc.pages[0], "标题"));
        EXPECT_TRUE(HasText(doc.pages[0], "列头"));
        EXPECT_TRUE(detailTexts(doc).empty());
    }
    // The events still bracket the attempt, so the form's tables are closed again.
    EXPECT_EQ(r.events, (std::vector<std::string>{"BeforePrint", "AfterPrint"}));
}

INSTANTIATE_TEST_SUITE_P(PrintIfEmpty, EmptyTable,
                         testing::Values(EmptyCase{"off", false, 0}, EmptyCase{"on", true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Layout, BeforePrintMayDeclineTheReport)
{
    ListReport r;
    r.rows(5);
    r.rep->BeforePrint = [](TQuickRep*, bool& print) { print = false; };
    EXPECT_TRUE(report::layoutReport(*r.rep).pages.size() > 0);
    EXPECT_TRUE(r.rep->Prepare().empty());
}

TEST(Layout, ASheetPrintsTheFirstRecordOnceWithItsMask)
{
    // A sheet has only a title band: several records still give one page with the first record's values.
    ReportFixture r;
    auto* sheet = r.band(TQRBandType::rbTitle, 450);
    r.label(sheet, "2009年国家级项目汇总表", 232, 88);
    struct Case {
        const char* mask;
        const char* expected;
    } cases[] = {{"0.", "1235"}, {"", "1234.5"}, {"#,##0.00", "1,234.50"}};
    std::vector<TQRDBText*> values;
    int top = 130;
    for (const auto& c : cases) {
        auto* v = r.field(sheet, "N", 224, top, 100);
        v->Mask = c.mask;
        v->Alignment = TQRAlignment::taRightJustify;
        values.push_back(v);
        top += 48;
    }
    r.data.Rows() = {{Text("A"), Text("first"), db::Variant{1234.5}}, {Text("B"), Text("second"), db::Variant{7.0}}};
    const Document doc = report::layoutReport(*r.rep);
    ASSERT_EQ(doc.pages.size(), 1u);
    const Page& p = doc.pages[0];
    EXPECT_TRUE(HasText(p, "2009年国家级项目汇总表"));
    for (const auto& c : cases) {
        const auto found = p.findText(c.expected);
        ASSERT_EQ(found.size(), 1u) << c.expected;
        // Right-aligned in its 100-pixel box.
        EXPECT_EQ(found[0]->align, report::HAlign::Right);
        EXPECT_NEAR(found[0]->box.right(), 10 + DesignPxToMm(324), 1e-6);
    }
    EXPECT_FALSE(HasText(p, "7"));
}

TEST(Layout, TicksOfTheUnreportedProjectsListFollowEachRowsReason)
{
    ReportFixture r;
    auto* detail = r.band(TQRBandType::rbDetail, 27);
    r.field(detail, "NO", 8, 5, 60);
    for (int k = 1; k <= 4; ++k) {
        auto* e = r.put<TQRExpr>(detail, 300 + 60 * k, 5, 40, 17);
        e->SetExpression("IF(Table1.MSG = '" + std::to_string(k) + "', '√', '')");
        e->Alignment = TQRAlignment::taCenter;
    }
    r.data.Rows() = {{Text("P1"), Text("2"), db::Variant{}},
                     {Text("P2"), Text(""), db::Variant{}},
                     {Text("P3"), Text("4"), db::Variant{}},
                     {Text("P4"), Text("9"), db::Variant{}}};
    const Document doc = report::layoutReport(*r.rep);
    ASSERT_EQ(doc.pages.size(), 1u);
    // Column of each tick by row: P1 in column 2, P3 in column 4, none for an empty or unknown reason.
    std::vector<std::pair<double, double>> ticks;  // (row top, tick centre)
    for (const auto& item : doc.pages[0].items) {
        if (const auto* t = std::get_if<TextItem>(&item); t && t->text == "√") {
            ticks.emplace_back(t->box.y, t->box.x + t->box.w / 2);
        }
    }
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_NEAR(ticks[0].second, 10 + DesignPxToMm(300 + 60 * 2 + 20), 1e-6);
    EXPECT_NEAR(ticks[1].second, 10 + DesignPxToMm(300 + 60 * 4 + 20), 1e-6);
    EXPECT_NEAR(ticks[1].first - ticks[0].first, 2 * DesignPxToMm(27), 1e-6);
}

TEST(Layout, SummaryFollowsTheLastRowOrStartsAPage)
{
    for (int rows : {2, 35, 1000}) {
        ReportFixture r;
        auto* detail = r.band(TQRBandType::rbDetail, 27);
        r.field(detail, "NO", 8, 5, 60);
        auto* summary = r.band(TQRBandType::rbSummary, 60);
        auto* memo = r.put<TQRMemo>(summary, 8, 4, 300, 40);
        memo->Lines = {"合计", "以上数据仅供参考"};
        r.rows(rows);
        const Document doc = report::layoutReport(*r.rep);
        const Page& last = doc.pages.back();
        ASSERT_TRUE(HasText(last, "合计")) << rows;
        ASSERT_TRUE(HasText(last, "以上数据仅供参考"));
        const auto* sum = last.findText("合计")[0];
        EXPECT_LE(sum->box.y + DesignPxToMm(56), 297 - 10 + 1e-6) << "summary runs off the page";
        // It comes after the last row of its page.
        double lastRow = 0;
        for (const auto& item : last.items) {
            if (const auto* t = std::get_if<TextItem>(&item); t && t->text.rfind("R", 0) == 0) {
                lastRow = std::max(lastRow, t->box.y);
            }
        }
        EXPECT_GT(sum->box.y, lastRow);
    }
}

TEST(Layout, LandscapePagesAreWideAndHoldFewerRows)
{
    struct Case {
        TPrinterOrientation orientation;
        double width, height;
    } cases[] = {{TPrinterOrientation::poPortrait, 210, 297}, {TPrinterOrientation::poLandscape, 297, 210}};
    std::vector<std::size_t> pageCounts;
    for (const auto& c : cases) {
        ListReport r;
        r.rep->Page.Orientation = c.orientation;
        r.rep->Options = LastPageFooter;
        r.rows(95);
        const Document doc = report::layoutReport(*r.rep);
        ASSERT_FALSE(doc.pages.empty());
        EXPECT_EQ(doc.pages[0].widthMm, c.width);
        EXPECT_EQ(doc.pages[0].heightMm, c.height);
        const auto number = doc.pages[0].findText("页1");
        ASSERT_EQ(number.size(), 1u);
        EXPECT_NEAR(number[0]->box.y, c.height - 10 - DesignPxToMm(28) + DesignPxToMm(8), 1e-6);
        pageCounts.push_back(doc.pages.size());
    }
    EXPECT_GT(pageCounts[1], pageCounts[0]);
}

TEST(Layout, ControlsOnTheDataSetDoNotFollowTheReportRowByRow)
{
    struct Counter : TDataLink {
        int changes = 0;
        void DataSetChanged() override { ++changes; }
        void RecordChanged(TField*) override { ++changes; }
    } link;
    ListReport r;
    r.rows(50);
    r.data.Open();
    r.data.AddDataLink(&link);
    report::layoutReport(*r.rep);
    r.data.RemoveDataLink(&link);
    EXPECT_LE(link.changes, 1);
    EXPECT_FALSE(r.data.ControlsDisabled());
}
