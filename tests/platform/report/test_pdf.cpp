// The page painter: PDFs read back with pdftotext give the Chinese text exactly, page by page, and pages
// keep their orientation; an image of a page shows the text and the rules.
#include <gtest/gtest.h>

#include <QImage>

#include "TestSupport.h"
#include "platform/report/PagePainter.h"

using namespace report;

namespace {

// A field of pdfinfo's output ("Pages", "Page size"), blanks trimmed.
std::string pdfInfo(const std::string& file, const std::string& key)
{
    const std::string info = RunCommand("pdfinfo '" + file + "'");
    const auto at = info.find(key + ":");
    if (at == std::string::npos) {
        return {};
    }
    auto begin = info.find_first_not_of(' ', at + key.size() + 1);
    return info.substr(begin, info.find('\n', begin) - begin);
}

Page samplePage(const std::string& heading, double w = 210, double h = 297)
{
    Page p;
    p.widthMm = w;
    p.heightMm = h;
    FontSpec title{"黑体", 16, 0};
    p.items.push_back(TextItem{{90, 12, 40, 8}, heading, title, HAlign::Left, false});
    FontSpec body{"宋体", 10, 0};
    p.items.push_back(FrameItem{{12, 30, 188, 7}, 0.2, 0});
    p.items.push_back(LineItem{32, 30, 32, 37, 0.2, 0});
    p.items.push_back(TextItem{{14, 31, 16, 5}, "序号", body, HAlign::Left, true});
    p.items.push_back(TextItem{{34, 31, 60, 5}, "错误信息", body, HAlign::Left, true});
    FontSpec latin{"Arial", 10, 0};
    p.items.push_back(TextItem{{100, 31, 40, 5}, "QA01 = 1234", latin, HAlign::Right, true});
    return p;
}

}  // namespace

TEST(Pdf, ChineseTextComesBackExactlyPageByPage)
{
    TempDir tmp;
    Document doc;
    doc.title = "校验表";
    doc.pages = {samplePage("校验表"), samplePage("第二页：企业统计报表")};
    const std::string file = tmp.path("out.pdf");
    ASSERT_TRUE(writePdf(doc, QString::fromStdString(file)));

    struct Case {
        int page;
        std::vector<std::string> present;
    } cases[] = {
        {1, {"校验表", "序号", "错误信息", "QA01 = 1234"}},
        {2, {"第二页：企业统计报表", "序号", "错误信息"}},
    };
    for (const auto& c : cases) {
        const auto lines = PdfLines(file, c.page);
        for (const auto& s : c.present) {
            EXPECT_TRUE(HasLine(lines, s)) << "page " << c.page << " lacks the line " << s;
        }
    }
    EXPECT_FALSE(HasLine(PdfLines(file, 1), "第二页：企业统计报表"));
    EXPECT_EQ(pdfInfo(file, "Pages"), "2");
}

TEST(Pdf, LandscapePagesStayLandscape)
{
    TempDir tmp;
    Document doc;
    doc.pages = {samplePage("横向", 297, 210)};
    const std::string file = tmp.path("land.pdf");
    ASSERT_TRUE(writePdf(doc, QString::fromStdString(file)));
    // 297 x 210 mm = 842 x 595 pt
    EXPECT_EQ(pdfInfo(file, "Page size").substr(0, 13), "842 x 595 pts");
}

TEST(Pdf, AnUnwritableFileIsReported)
{
    Document doc;
    doc.pages = {samplePage("x")};
    EXPECT_FALSE(writePdf(doc, "/nonexistent-folder/out.pdf"));
}

TEST(Pdf, RenderedPageShowsTextAndRules)
{
    const Page page = samplePage("校验表");
    const QImage img = renderPage(page, 96);
    EXPECT_EQ(img.width(), 794);
    EXPECT_EQ(img.height(), 1123);
    // Dark pixels inside the heading's box (text drawn), and on the frame's left edge.
    auto darkIn = [&](double x0, double y0, double x1, double y1) {
        int n = 0;
        for (int y = int(mmToPx(y0, 96)); y < int(mmToPx(y1, 96)); ++y) {
            for (int x = int(mmToPx(x0, 96)); x < int(mmToPx(x1, 96)); ++x) {
                n += qGray(img.pixel(x, y)) < 128;
            }
        }
        return n;
    };
    EXPECT_GT(darkIn(90, 12, 130, 20), 50);
    EXPECT_GT(darkIn(11.5, 31, 12.5, 36), 3);
    EXPECT_EQ(darkIn(150, 100, 200, 200), 0);
    if (const char* out = std::getenv("VEMORA_REPORT_PNG")) {
        renderPage(page, 150).save(out);
    }
}

TEST(Pdf, ClippedTextStaysInItsBox)
{
    Page page;
    FontSpec body{"宋体", 12, 0};
    page.items.push_back(TextItem{{20, 20, 15, 6}, "很长很长很长很长的企业名称", body, HAlign::Left, true});
    page.items.push_back(TextItem{{20, 40, 15, 6}, "很长很长很长很长的企业名称", body, HAlign::Left, false});
    const QImage img = renderPage(page, 96);
    auto darkIn = [&](double x0, double y0, double x1, double y1) {
        int n = 0;
        for (int y = int(mmToPx(y0, 96)); y < int(mmToPx(y1, 96)); ++y) {
            for (int x = int(mmToPx(x0, 96)); x < int(mmToPx(x1, 96)); ++x) {
                n += qGray(img.pixel(x, y)) < 160;
            }
        }
        return n;
    };
    EXPECT_GT(darkIn(20, 20, 35, 26), 20);
    EXPECT_EQ(darkIn(35.5, 20, 80, 26), 0) << "clipped text ran past its box";
    EXPECT_GT(darkIn(35.5, 40, 80, 46), 20) << "unclipped text was cut";
}
