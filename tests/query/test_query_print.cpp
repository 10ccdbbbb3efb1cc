// The query-result page printer, shown as the table tool shows it: pagination of results of 1, 40 and 10,000
// rows into bands and pages, fonts, both orientations, the fixed left column, the edges (no page, an empty
// result, missing headings), page navigation, printing a range, and what a printed PDF holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/report/PrintOutput.h"
#include "print/SaveAsTable.h"
#include "print/SaveFixture.h"
#include "query/QueryPrint.h"

namespace fs = std::filesystem;

namespace {

using printtest::SaveTest;
using testsupport::MakeTable;
using testsupport::Text;

class QueryPrintTest : public SaveTest {
protected:
    void SetUp() override
    {
        SaveTest::SetUp();
        report::setPrintSink([this](const report::Document& d) { printed.push_back(d); });
        Printer()->SetOrientation(TPrinterOrientation::poPortrait);
        Printer()->OutputFile.clear();
    }
    void TearDown() override
    {
        report::setPrintSink({});
        Printer()->SetOrientation(TPrinterOrientation::poPortrait);
        Printer()->OutputFile.clear();
        SaveTest::TearDown();
    }

    // A result of rows records and the given text columns; cells read "R<row>C<column>".
    static void MakeResult(int rows, const std::vector<int>& widths)
    {
        std::vector<db::FieldDesc> fields;
        for (std::size_t c = 0; c < widths.size(); ++c) {
            fields.push_back(Text("列" + std::to_string(c + 1), widths[c]));
        }
        std::vector<std::vector<std::string>> data;
        for (int r = 1; r <= rows; ++r) {
            std::vector<std::string> row;
            for (std::size_t c = 0; c < widths.size(); ++c) {
                row.push_back("R" + std::to_string(r) + "C" + std::to_string(c + 1));
            }
            data.push_back(row);
        }
        MakeTable("result.db", fields, data);
    }

    // Saves result.db for printing and shows the page printer on it; act runs inside and must not close it.
    void InPrinter(const std::function<void(TF_query_p&)>& act)
    {
        TTable result;
        result.SetTableName("result.db");
        User().InModal("F_query_p", [&](TForm& f) {
            act(static_cast<TF_query_p&>(f));
            EXPECT_TRUE(TScriptedUser::Press(*static_cast<TF_query_p&>(f).Button6));
        });
        ShowQueryPrint(&result, nullptr, TQueryPrintShow::Modal);
    }

    // Every band covers every record exactly once, in order, from its first page on.
    static void ExpectBandsCoverRecords(const TF_query_p& p, int records)
    {
        int expectNext = 0;
        int band = -1;
        for (const auto& page : p.Pages()) {
            if (page.firstColumn != band) {
                EXPECT_EQ(expectNext, band < 0 ? 0 : records) << "band " << band;
                band = page.firstColumn;
                expectNext = 0;
            }
            EXPECT_EQ(page.firstRecord, expectNext);
            EXPECT_GE(page.recordCount, records > 0 ? 1 : 0);
            expectNext += page.recordCount;
        }
        EXPECT_EQ(expectNext, records);
    }

    static std::string Pdftotext(const std::string& pdf)
    {
        const std::string out = pdf + ".txt";
        EXPECT_EQ(std::system(("pdftotext -enc UTF-8 '" + pdf + "' '" + out + "'").c_str()), 0);
        std::ifstream in(out);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    std::vector<report::Document> printed;
};

TEST_F(QueryPrintTest, ResultsOfOneFortyAndTenThousandRowsInBothOrientations)
{
    const struct {
        int rows;
        bool landscape;
        int bodySize;
    } cases[] = {{1, false, 10}, {40, false, 10}, {40, true, 10}, {10000, false, 10}, {10000, true, 10}, {10000, false, 20}};
    std::map<std::string, int> pageCounts;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + (c.landscape ? " landscape" : " portrait") + " size " +
                     std::to_string(c.bodySize));
        MakeResult(c.rows, {8, 8});
        Printer()->SetOrientation(c.landscape ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
        InPrinter([&](TF_query_p& p) {
            if (c.bodySize != 10) {
                EXPECT_TRUE(TScriptedUser::Choose(*p.ComboBox2, c.bodySize));
            }
            ExpectBandsCoverRecords(p, c.rows);
            const int pages = static_cast<int>(p.Pages().size());
            EXPECT_EQ(p.Edit2->Text(), std::to_string(pages));
            pageCounts[std::to_string(c.rows) + (c.landscape ? "L" : "P") + std::to_string(c.bodySize)] = pages;
            // The last page, printed: its first row is the first record it holds, the number under the table.
            const auto& last = p.Pages().back();
            EXPECT_TRUE(TScriptedUser::Type(*p.Edit1, std::to_string(pages)));
            EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
            ASSERT_EQ(printed.size(), 1u);
            ASSERT_EQ(printed[0].pages.size(), 1u);
            const report::Page& sheet = printed[0].pages[0];
            EXPECT_EQ(sheet.widthMm > sheet.heightMm, c.landscape);
            const auto first = sheet.findText("R" + std::to_string(last.firstRecord + 1) + "C1");
            const auto number = sheet.findText(std::to_string(pages));
            ASSERT_EQ(first.size(), 1u);
            ASSERT_FALSE(number.empty());
            EXPECT_GT(number.back()->box.y, first[0]->box.y);
            EXPECT_EQ(sheet.findText("R" + std::to_string(c.rows) + "C2").size(), 1u);
            EXPECT_EQ(sheet.findText("查询统计结果").size(), 1u);  // the title from bt2_p.db
            printed.clear();
        });
    }
    EXPECT_EQ(pageCounts["1P10"], 1);
    EXPECT_EQ(pageCounts["40P10"], 1);
    EXPECT_GT(pageCounts["40L10"], 0);
    EXPECT_GT(pageCounts["10000L10"], pageCounts["10000P10"]);  // fewer rows fit across
    EXPECT_GT(pageCounts["10000P20"], pageCounts["10000P10"]);
}

TEST_F(QueryPrintTest, BandsFixedColumnAndTheEdges)
{
    // Twelve columns of 40 bytes: four to a band, three bands, each starting again with the first record.
    MakeResult(100, std::vector<int>(12, 40));
    InPrinter([&](TF_query_p& p) {
        std::vector<int> bands;
        for (const auto& page : p.Pages()) {
            if (bands.empty() || bands.back() != page.firstColumn) {
                bands.push_back(page.firstColumn);
            }
        }
        EXPECT_EQ(bands, (std::vector<int>{0, 4, 8}));
        ExpectBandsCoverRecords(p, 100);
        // The first column on every page: bands start with the second and leave room for it.
        const std::size_t plain = p.Pages().size();
        EXPECT_TRUE(TScriptedUser::Press(*p.CheckBox3));
        EXPECT_EQ(p.Pages().front().firstColumn, 1);
        EXPECT_GE(p.Pages().size(), plain);
        EXPECT_TRUE(TScriptedUser::Press(*p.CheckBox3));
        // Navigation: typed page numbers and the two buttons stay within the pages.
        const int count = static_cast<int>(p.Pages().size());
        const struct {
            std::function<void()> act;
            int page;
        } steps[] = {
            {[&] { TScriptedUser::Press(*p.Button3); }, 0},
            {[&] { TScriptedUser::Type(*p.Edit3, std::to_string(count)); TScriptedUser::Key(*p.Edit3, Qt::Key_Return); }, count - 1},
            {[&] { TScriptedUser::Press(*p.Button4); }, count - 1},
            {[&] { TScriptedUser::Type(*p.Edit3, std::to_string(count + 1)); TScriptedUser::Key(*p.Edit3, Qt::Key_Return); }, count - 1},
            {[&] { TScriptedUser::Press(*p.Button3); }, count - 2},
        };
        for (const auto& s : steps) {
            s.act();
            EXPECT_EQ(p.CurrentPage(), s.page);
        }
        // Printing pages 2 to 3 gives those two sheets; a range outside the pages prints nothing.
        for (const auto& range : std::vector<std::pair<std::string, std::string>>{{"2", "3"}, {"0", "3"}, {"2", std::to_string(count + 1)}}) {
            TScriptedUser::Type(*p.Edit1, range.first);
            TScriptedUser::Type(*p.Edit2, range.second);
            EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
        }
        ASSERT_EQ(printed.size(), 1u);
        EXPECT_EQ(printed[0].pages.size(), 2u);
        TScriptedUser::Type(*p.Edit1, "abc");
        User().ExpectMessageContaining(Application->Title, "abc");
        EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
    });

    printed.clear();
    // An empty result: one page per band, the heading row only; headings missing from bt_p.db: field names.
    MakeResult(0, {8, 8, 8});
    TTable result;
    result.SetTableName("result.db");
    SaveAsTable(&result, nullptr, "query_p.db");
    MakeTable("bt_p.db", {Text("表头文字", 255), testsupport::Small("列宽度")}, {{"第一列", "6"}});
    User().InModal("F_query_p", [&](TForm& f) {
        auto& p = static_cast<TF_query_p&>(f);
        ASSERT_EQ(p.Pages().size(), 1u);
        EXPECT_EQ(p.Pages()[0].n, 3);
        EXPECT_EQ(p.Pages()[0].recordCount, 0);
        EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
        EXPECT_TRUE(TScriptedUser::Press(*p.Button6));
    });
    ShowQueryPrint(nullptr, nullptr, TQueryPrintShow::Modal);
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].pages[0].findText("第一列").size(), 1u);
    EXPECT_EQ(printed[0].pages[0].findText("列3").size(), 1u);

    // One column with the fixed left column ticked: no band, no page, nothing to print; an empty bt_p.db.
    result.Close();
    MakeResult(3, {8});
    SaveAsTable(&result, nullptr, "query_p.db");
    MakeTable("bt_p.db", {Text("表头文字", 255), testsupport::Small("列宽度")});
    printed.clear();
    User().InModal("F_query_p", [&](TForm& f) {
        auto& p = static_cast<TF_query_p&>(f);
        EXPECT_TRUE(TScriptedUser::Press(*p.CheckBox3));
        EXPECT_TRUE(p.Pages().empty());
        EXPECT_EQ(p.Edit2->Text(), "0");
        EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
        EXPECT_TRUE(TScriptedUser::Press(*p.Button6));
    });
    ShowQueryPrint(nullptr, nullptr, TQueryPrintShow::Modal);
    EXPECT_TRUE(printed.empty());
}

TEST_F(QueryPrintTest, PageSetUpTurnsThePageAndThePdfHoldsTheTable)
{
    report::setPrintSink({});
    MakeResult(120, {12, 12, 12, 12, 12, 12, 12});
    const std::string pdf = (folder_ / "结果.pdf").string();
    InPrinter([&](TF_query_p& p) {
        const std::size_t portrait = p.Pages().size();
        User().AnswerPrinter("", pdf, TScriptedUser::Orientation::Landscape);
        EXPECT_TRUE(TScriptedUser::Press(*p.Button2));
        EXPECT_NE(p.Pages().size(), portrait);
        EXPECT_GT(p.Image1->Bitmap()->Width(), p.Image1->Bitmap()->Height() - 200);
        // Another font for the body keeps the layout.
        const auto before = p.Pages().size();
        EXPECT_TRUE(TScriptedUser::Choose(*p.ComboBox1, static_cast<int>(p.ComboBox1->Items().size()) - 1));
        EXPECT_EQ(p.Pages().size(), before);
        EXPECT_TRUE(TScriptedUser::Choose(*p.ComboBox1, 0));
        EXPECT_TRUE(TScriptedUser::Type(*p.Edit4, "高新区企业名录"));
        EXPECT_TRUE(TScriptedUser::Key(*p.Edit4, Qt::Key_Return));
        EXPECT_TRUE(TScriptedUser::Press(*p.Button5));
    });
    const std::string text = Pdftotext(pdf);
    for (const char* expected : {"高新区企业名录", "列1", "R1C1", "R120C7", "\f"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    }
}

}  // namespace
