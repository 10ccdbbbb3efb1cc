// The printer and canvas as the query-result page printer uses them: device pixels at the printer's
// resolution, a job recorded page by page, a page range, aborts, and the same calls on a preview bitmap.
#include <gtest/gtest.h>

#include <QPixmap>
#include <QWidget>

#include "TestSupport.h"
#include "platform/db/Exception.h"
#include "platform/report/Image.h"
#include "platform/report/Printer.h"
#include "platform/report/PrintOutput.h"

using report::Document;

namespace {

// Captures what jobs send out, and restores the printer's settings afterwards.
struct PrinterFixture : testing::Test {
    std::vector<Document> out;
    void SetUp() override
    {
        report::setPrintSink([this](const Document& d) { out.push_back(d); });
        p->FromPage = p->ToPage = 0;
        p->SetOrientation(TPrinterOrientation::poPortrait);
    }
    void TearDown() override
    {
        if (p->Printing()) {
            p->Abort();
        }
        report::setPrintSink({});
        p->FromPage = p->ToPage = 0;
        p->SetOrientation(TPrinterOrientation::poPortrait);
    }
    void printPages(int n)
    {
        p->BeginDoc();
        for (int k = 1; k <= n; ++k) {
            if (k > 1) {
                p->NewPage();
            }
            p->Canvas()->TextOut(100, 100, "第" + std::to_string(k) + "页");
        }
        p->EndDoc();
    }
    TPrinter* p = Printer();
};

std::vector<std::string> firstTexts(const Document& d)
{
    std::vector<std::string> out;
    for (const auto& page : d.pages) {
        out.push_back(page.texts().empty() ? std::string() : page.texts().front());
    }
    return out;
}

}  // namespace

TEST_F(PrinterFixture, PageSizeFollowsOrientation)
{
    EXPECT_EQ(p->Resolution(), 600);
    EXPECT_EQ(p->PageWidth(), 4960);
    EXPECT_EQ(p->PageHeight(), 7015);
    p->SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(p->PageWidth(), 7015);
    EXPECT_EQ(p->PageHeight(), 4960);
}

TEST_F(PrinterFixture, AJobRecordsItsPagesInMillimetres)
{
    p->Title = "查询结果";
    p->BeginDoc();
    TCanvas* c = p->Canvas();
    c->Font->Name = "宋体";
    c->Font->Size = 9;
    c->TextOut(600, 1200, "报表编号");
    c->MoveTo(0, 600);
    c->LineTo(4960, 600);
    EXPECT_EQ(p->PageNumber(), 1);
    p->NewPage();
    c->Rectangle(0, 0, 600, 300);
    EXPECT_EQ(p->PageNumber(), 2);
    p->EndDoc();
    ASSERT_EQ(out.size(), 1u);
    const Document& d = out[0];
    EXPECT_EQ(d.title, "查询结果");
    ASSERT_EQ(d.pages.size(), 2u);
    const auto found = d.pages[0].findText("报表编号");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NEAR(found[0]->box.x, 25.4, 1e-9);
    EXPECT_NEAR(found[0]->box.y, 50.8, 1e-9);
    EXPECT_NEAR(found[0]->font.sizePt, 9, 0.01);
    const auto* line = std::get_if<report::LineItem>(&d.pages[0].items[1]);
    ASSERT_NE(line, nullptr);
    EXPECT_NEAR(line->y1, 25.4, 1e-9);
    EXPECT_NEAR(line->x2, 4960 * 25.4 / 600, 1e-9);
    EXPECT_EQ(d.pages[1].items.size(), 2u);  // the brush fill and the pen outline
    EXPECT_EQ(p->LastDocument().pages.size(), 2u);
    EXPECT_FALSE(p->Printing());
}

TEST_F(PrinterFixture, PageRangeSelectsWhatGoesOut)
{
    struct Case {
        int from, to;
        std::vector<std::string> expected;
    } cases[] = {
        {0, 0, {"第1页", "第2页", "第3页", "第4页", "第5页"}},
        {2, 3, {"第2页", "第3页"}},
        {4, 0, {"第4页", "第5页"}},
        {0, 1, {"第1页"}},
        {5, 9, {"第5页"}},
    };
    for (const auto& c : cases) {
        out.clear();
        p->FromPage = c.from;
        p->ToPage = c.to;
        printPages(5);
        ASSERT_EQ(out.size(), 1u);
        EXPECT_EQ(firstTexts(out[0]), c.expected) << c.from << "-" << c.to;
    }
}

TEST_F(PrinterFixture, AbortDropsTheJobAndMisuseRaises)
{
    p->BeginDoc();
    p->Canvas()->TextOut(0, 0, "丢弃");
    EXPECT_THROW(p->BeginDoc(), Exception);
    EXPECT_THROW(p->SetOrientation(TPrinterOrientation::poLandscape), Exception);
    p->Abort();
    EXPECT_TRUE(p->Aborted());
    EXPECT_FALSE(p->Printing());
    EXPECT_TRUE(out.empty());
    EXPECT_THROW(p->EndDoc(), Exception);
    EXPECT_THROW(p->NewPage(), Exception);
    // Drawing outside a job goes nowhere, and the next job starts clean.
    p->Canvas()->TextOut(0, 0, "外面");
    printPages(1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].pages[0].texts(), std::vector<std::string>{"第1页"});
    EXPECT_FALSE(p->Aborted());
}

TEST_F(PrinterFixture, PrinterAndBitmapMeasureInTheirOwnPixels)
{
    TBitmap bmp;
    bmp.SetSize(400, 300);
    struct Case {
        const char* font;
        int size;
        const char* text;
    } cases[] = {{"宋体", 9, "宋"}, {"宋体", 12, "企业名称"}, {"Arial", 10, "QA01 12345"}};
    for (const auto& c : cases) {
        for (TCanvas* canvas : {p->Canvas(), bmp.Canvas()}) {
            canvas->Font->Name = c.font;
            canvas->Font->Size = c.size;
        }
        const double ratioW = double(p->Canvas()->TextWidth(c.text)) / bmp.Canvas()->TextWidth(c.text);
        const double ratioH = double(p->Canvas()->TextHeight(c.text)) / bmp.Canvas()->TextHeight(c.text);
        EXPECT_NEAR(ratioW, 600.0 / 96, 0.4) << c.text;
        EXPECT_NEAR(ratioH, 600.0 / 96, 0.4) << c.text;
    }
    // A Chinese character is square: its width is its point size at the device's resolution.
    p->Canvas()->Font->Name = "宋体";
    p->Canvas()->Font->Size = 9;
    EXPECT_NEAR(p->Canvas()->TextWidth("宋"), 75, 1);
}

TEST(Bitmap, CanvasCallsPaintTheImage)
{
    TBitmap bmp;
    bmp.SetSize(200, 100);
    auto dark = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += qGray(bmp.Image().pixel(x, y)) < 128;
            }
        }
        return n;
    };
    EXPECT_EQ(dark(0, 0, 200, 100), 0);
    TCanvas* c = bmp.Canvas();
    c->Font->Size = 12;
    c->TextOut(10, 10, "页码");
    EXPECT_GT(dark(10, 10, 10 + c->TextWidth("页码"), 10 + c->TextHeight("页码")), 20);
    c->MoveTo(0, 80);
    c->LineTo(200, 80);
    EXPECT_GT(dark(0, 80, 200, 81), 190);
    c->Brush->Color = clBlack;
    c->FillRect(Rect(150, 0, 200, 50));
    EXPECT_EQ(dark(150, 0, 200, 50), 2500);
    c->Brush->Color = clWhite;
    c->FillRect(Rect(0, 0, 200, 100));
    EXPECT_EQ(dark(0, 0, 200, 100), 0);
    // Resizing keeps what fits and whitens the rest.
    c->Brush->Color = clBlack;
    c->FillRect(Rect(0, 0, 10, 10));
    bmp.SetSize(300, 50);
    EXPECT_EQ(bmp.Width(), 300);
    EXPECT_EQ(dark(0, 0, 10, 10), 100);
    EXPECT_EQ(dark(10, 0, 300, 50), 0);
}

TEST(Image, ShowsWhatItsCanvasDrawsAndFollowsTheBitmapSize)
{
    TComponent owner(nullptr);
    auto* image = new TImage(&owner);
    image->AutoSize = true;
    image->Bitmap()->SetSize(120, 80);
    EXPECT_EQ(image->Width(), 120);
    EXPECT_EQ(image->Height(), 80);
    image->Canvas()->Brush->Color = clBlack;
    image->Canvas()->FillRect(Rect(0, 0, 60, 80));
    const QImage shown = image->Widget()->grab().toImage();
    ASSERT_EQ(shown.width(), 120);
    EXPECT_LT(qGray(shown.pixel(10, 10)), 50);
    EXPECT_GT(qGray(shown.pixel(100, 10)), 200);
    // Without AutoSize the control keeps its own bounds.
    image->AutoSize = false;
    image->Bitmap()->SetSize(300, 300);
    EXPECT_EQ(image->Width(), 120);
}

TEST(PrinterJob, GoesToThePdfFileTheSetupChose)
{
    TempDir tmp;
    TPrinter* p = Printer();
    p->OutputFile = tmp.path("query.pdf");
    p->Title = "查询结果";
    p->BeginDoc();
    p->Canvas()->Font->Name = "宋体";
    p->Canvas()->Font->Size = 12;
    p->Canvas()->TextOut(60, 60, "企业名称");
    p->Canvas()->MoveTo(50, 150);
    p->Canvas()->LineTo(2000, 150);
    p->NewPage();
    p->Canvas()->Font->Size = 9;
    p->Canvas()->TextOut(2400, 6800, "2");
    p->EndDoc();
    p->OutputFile.clear();
    EXPECT_TRUE(HasLine(PdfLines(tmp.path("query.pdf"), 1), "企业名称"));
    EXPECT_TRUE(HasLine(PdfLines(tmp.path("query.pdf"), 2), "2"));
}
