// Where reports go: the modal preview (page through, zoom, returns when closed, then AfterPreview), the
// printer through the print sink, and with no printer installed a PDF file offered through the save dialog
// (a file that cannot be written is reported and another one asked for, so nothing is lost).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QPrinterInfo>
#include <QWidget>

#include "ReportFixture.h"
#include "ScriptAgent.h"
#include "TestSupport.h"
#include "platform/report/PreviewForm.h"
#include "platform/report/PrintOutput.h"

namespace {

struct ChineseList : ReportFixture {
    TQRLabel* title;
    ChineseList()
    {
        auto* header = band(TQRBandType::rbPageHeader, 40);
        title = label(header, "企业清单");
        title->AutoSize = true;
        auto* detail = band(TQRBandType::rbDetail, 27);
        field(detail, "MSG", 16, 5, 300);
        auto* footer = band(TQRBandType::rbPageFooter, 28);
        put<TQRSysData>(footer, 312, 8, 60, 17)->AutoSize = true;
        rep->Options = FirstPageHeader | LastPageFooter;
    }
};

}  // namespace

TEST(Preview, PagesThroughZoomsAndReturnsWhenClosed)
{
    ChineseList r;
    r.rows(95);
    ScriptAgent user;
    int pages = 0;
    user.modals.push_back([&](TForm& form) {
        auto* preview = dynamic_cast<TQRPreviewForm*>(&form);
        ASSERT_NE(preview, nullptr);
        pages = preview->PageCount();
        ASSERT_GE(pages, 3);
        EXPECT_EQ(preview->PageIndex(), 0);
        const int width100 = preview->PageImage().width();
        struct Step {
            void (TQRPreviewForm::*move)();
            int expected;
        } steps[] = {
            {&TQRPreviewForm::PriorPage, 0},     {&TQRPreviewForm::NextPage, 1},
            {&TQRPreviewForm::LastPage, pages - 1}, {&TQRPreviewForm::NextPage, pages - 1},
            {&TQRPreviewForm::FirstPage, 0},
        };
        for (const auto& s : steps) {
            (preview->*s.move)();
            EXPECT_EQ(preview->PageIndex(), s.expected);
        }
        preview->ShowPage(pages);
        EXPECT_EQ(preview->PageIndex(), 0);
        preview->SetZoom(200);
        EXPECT_NEAR(preview->PageImage().width(), 2 * width100, 2);
        if (const char* out = std::getenv("VEMORA_PREVIEW_PNG")) {
            preview->SetZoom(100);
            preview->Widget()->show();
            preview->Widget()->grab().save(out);
            preview->Widget()->hide();
        }
        // Nothing has closed the report yet while its window is open.
        EXPECT_EQ(r.events, std::vector<std::string>{"BeforePrint"});
        form.Close();
    });
    r.rep->Preview();
    EXPECT_EQ(r.events, (std::vector<std::string>{"BeforePrint", "AfterPreview"}));
    EXPECT_EQ(static_cast<int>(r.rep->LastDocument().pages.size()), pages);
}

TEST(Preview, AnEmptyReportOpensNoWindow)
{
    ChineseList r;
    r.rep->PrintIfEmpty = false;
    ScriptAgent user;  // any window would be unexpected
    r.rep->Preview();
    EXPECT_EQ(r.events, (std::vector<std::string>{"BeforePrint", "AfterPreview"}));
}

TEST(Print, TitlesSetBetweenPrintsPrintWithTheirOwnRows)
{
    ChineseList r;
    std::vector<report::Document> printed;
    report::setPrintSink([&](const report::Document& d) { printed.push_back(d); });
    r.title->SetCaption("总收入10万元以上的企业");
    r.rows(2);
    r.rep->Print();
    r.title->SetCaption("上市企业");
    r.rows(1);
    r.rep->Print();
    report::setPrintSink({});
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_TRUE(HasText(printed[0].pages[0], "总收入10万元以上的企业"));
    EXPECT_TRUE(HasText(printed[0].pages[0], "第R0002行"));
    EXPECT_TRUE(HasText(printed[1].pages[0], "上市企业"));
    EXPECT_FALSE(HasText(printed[1].pages[0], "总收入10万元以上的企业"));
    EXPECT_FALSE(HasText(printed[1].pages[0], "第R0002行"));
}

class NoPrinter : public testing::Test {
protected:
    void SetUp() override
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
            GTEST_SKIP() << "a printer is installed; this test would print on it";
        }
        Printer()->PrinterName.clear();
        Printer()->OutputFile.clear();
    }
    TempDir tmp;
};

TEST_F(NoPrinter, OffersAPdfFileAndWritesTheChineseText)
{
    ChineseList r;
    r.rows(3);
    ScriptAgent user;
    user.answers = {IDYES, IDOK};
    const std::string bad = "/nonexistent-folder/清单.pdf";
    const std::string good = tmp.path("清单");  // the extension is added
    user.files = {bad, good};
    r.rep->Print();
    ASSERT_EQ(user.messages.size(), 2u);
    EXPECT_NE(user.messages[0].text.find("没有安装打印机"), std::string::npos);
    EXPECT_NE(user.messages[1].text.find(bad), std::string::npos) << "the failed file is named";
    ASSERT_EQ(user.fileRequests.size(), 2u);
    EXPECT_TRUE(user.fileRequests[0].save);
    EXPECT_EQ(user.fileRequests[0].defaultExt, "pdf");
    const auto lines = PdfLines(good + ".pdf");
    for (const char* s : {"企业清单", "第R0001行", "第R0003行"}) {
        EXPECT_TRUE(HasLine(lines, s)) << s;
    }
    EXPECT_EQ(r.events, (std::vector<std::string>{"BeforePrint", "AfterPrint"}));
}

TEST_F(NoPrinter, TheQuestionSaysWhyAndDecliningEndsQuietly)
{
    struct Case {
        std::string printer;
        std::string says;
    } cases[] = {
        {"", "没有安装打印机"},
        {"HP LaserJet 1020", "找不到打印机“HP LaserJet 1020”"},
    };
    for (const auto& c : cases) {
        ChineseList r;
        r.rows(1);
        ScriptAgent user;
        user.answers = {IDNO};
        Printer()->PrinterName = c.printer;
        r.rep->Print();
        Printer()->PrinterName.clear();
        ASSERT_EQ(user.messages.size(), 1u);
        EXPECT_NE(user.messages[0].text.find(c.says), std::string::npos) << user.messages[0].text;
        EXPECT_EQ(user.messages[0].flags & MB_YESNO, MB_YESNO);
    }
}

TEST_F(NoPrinter, TheSetupDialogChoosesAPdfFile)
{
    ChineseList r;
    r.rows(2);
    ScriptAgent user;
    const std::string file = tmp.path("out.pdf");
    user.printerDialogs.push_back([&](TPrinterRequest& req) {
        req.printerName.clear();
        req.outputFile = file;
        return true;
    });
    TComponent owner(nullptr);
    TPrinterSetupDialog dialog(&owner);
    ASSERT_TRUE(dialog.Execute());
    r.rep->Print();
    Printer()->OutputFile.clear();
    EXPECT_TRUE(HasLine(PdfLines(file), "第R0002行"));
}

TEST(PrinterSetup, TurnsThePageAndShowsTheOrientationInForce)
{
    ScriptAgent user;
    std::vector<bool> shown;
    for (bool landscape : {true, false}) {
        user.printerDialogs.push_back([&shown, landscape](TPrinterRequest& req) {
            shown.push_back(req.landscape);
            req.landscape = landscape;
            return true;
        });
    }
    TComponent owner(nullptr);
    TPrinterSetupDialog dialog(&owner);
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Printer()->Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_GT(Printer()->PageWidth(), Printer()->PageHeight());
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Printer()->Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(shown, (std::vector<bool>{false, true}));
}

TEST(Preview, TheRealWindowsButtonsPageAndClose)
{
    // With the real user agent the preview runs its own loop; a queued action presses the buttons.
    ChineseList r;
    r.rows(95);
    std::vector<int> pagesSeen;
    QTimer::singleShot(0, [&] {
        TQRPreviewForm* preview = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* f = dynamic_cast<TQRPreviewForm*>(TControl::FromWidget(w)); f && w->isVisible()) {
                preview = f;
            }
        }
        ASSERT_NE(preview, nullptr);
        auto press = [&](const char* text) {
            for (QPushButton* b : preview->Widget()->findChildren<QPushButton*>()) {
                if (b->text() == QString::fromUtf8(text)) {
                    b->click();
                    return;
                }
            }
            ADD_FAILURE() << "no button " << text;
        };
        press("下一页");
        pagesSeen.push_back(preview->PageIndex());
        press("末页");
        pagesSeen.push_back(preview->PageIndex());
        press("首页");
        pagesSeen.push_back(preview->PageIndex());
        press("关闭");
    });
    r.rep->Preview();
    const int last = static_cast<int>(r.rep->LastDocument().pages.size()) - 1;
    EXPECT_EQ(pagesSeen, (std::vector<int>{1, last, 0}));
    EXPECT_EQ(r.events, (std::vector<std::string>{"BeforePrint", "AfterPreview"}));
}
