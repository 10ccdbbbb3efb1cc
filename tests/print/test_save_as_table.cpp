// SaveAsTable without a window: the three formats read back (dBase also through python3-dbfread), the print
// headings, and saves that must fail without touching the old file. The row/column swap into "hljh.db".
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/db/Table.h"
#include "platform/db/TableStore.h"
#include "platform/db/TextFile.h"
#include "print/SaveAsTable.h"
#include "SaveFixture.h"

namespace fs = std::filesystem;

namespace printtest {
namespace {

using testsupport::MakeTable;
using testsupport::ReadTable;
using testsupport::Text;

std::vector<std::string> Names(const std::string& table)
{
    TTable t;
    t.SetTableName(table);
    t.Open();
    std::vector<std::string> out;
    for (int i = 0; i < t.FieldCount(); ++i) {
        const TField* f = t.Fields()[i];
        out.push_back(f->FieldName() + (f->Size() ? "/" + std::to_string(f->Size()) : ""));
    }
    return out;
}

// Every file of the folder whose name holds a "~": what a save builds under a temporary name.
std::vector<std::string> Leftovers(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().filename().string().find('~') != std::string::npos) {
            out.push_back(e.path().filename().string());
        }
    }
    return out;
}

TEST_F(SaveTest, EachFormatIsWrittenAndReadsBack)
{
    TTable src;
    src.SetTableName("src.db");
    src.Open();
    const std::vector<std::string> firstRow = {"甲公司", "12.5", "2009-03-01", "7"};
    const std::vector<std::string> dbfRows = {"名称=甲公司;产值=12.5;日期=2009-03-01;人数=7", "名称=乙公司;产值=;日期=;人数=12",
                                              "名称=丙;产值=3.0;日期=;人数="};
    for (const std::string name : {"out.db", "bare", "out.dbf", "OUT2.DBF", "out.txt"}) {
        SCOPED_TRACE(name);
        SaveAsTable(&src, nullptr, name);
        const std::string ext = fs::path(name).extension().string();
        if (ext == ".txt") {
            db::TableSchema schema;
            for (const TField* f : {src.Fields()[0], src.Fields()[1], src.Fields()[2], src.Fields()[3]}) {
                schema.fields.push_back(f->Desc());
            }
            const auto rows = db::text::Read(name, schema);
            ASSERT_EQ(rows.size(), 3u);
            std::vector<std::string> got;
            for (const auto& v : rows[0]) {
                got.push_back(db::PlainText(v));
            }
            EXPECT_EQ(got, firstRow);
            continue;
        }
        if (ext == ".dbf" || ext == ".DBF") {
            EXPECT_EQ(Dbfread(name), dbfRows);
        }
        const std::string table = ext.empty() ? name + ".db" : name;
        ASSERT_TRUE(fs::exists(table));
        const auto rows = ReadTable(table);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0].at("名称"), "甲公司");
        EXPECT_EQ(rows[0].at("日期"), "2009-03-01");
        EXPECT_EQ(rows[1].at("人数"), "12");
    }
    EXPECT_EQ(Names("bare.db"), (std::vector<std::string>{"名称/20", "产值", "日期", "人数"}));
    EXPECT_TRUE(Leftovers(fs::current_path()).empty());
}

TEST_F(SaveTest, APrintSaveRewritesTheHeadingsWithCappedSizes)
{
    MakeTable("wide.db", {Text("企业名称", 60), Text("代码", 8), testsupport::Number("产值"), testsupport::Day("日期")},
              {{"甲", "100001", "1", "2009-01-01"}});
    TTable src;
    src.SetTableName("wide.db");
    SaveAsTable(&src, nullptr, "query_p.db");
    const std::vector<Record> expected = {{{"表头文字", "企业名称"}, {"列宽度", "40"}},
                                          {{"表头文字", "代码"}, {"列宽度", "8"}},
                                          {{"表头文字", "产值"}, {"列宽度", "10"}},
                                          {{"表头文字", "日期"}, {"列宽度", "10"}}};
    EXPECT_EQ(ReadTable("bt_p.db"), expected);
    EXPECT_EQ(ReadTable("query_p.db").size(), 1u);
    // Any other name leaves the headings alone.
    MakeTable("one.db", {Text("x", 5)});
    TTable one;
    one.SetTableName("one.db");
    SaveAsTable(&one, nullptr, "other.db");
    EXPECT_EQ(ReadTable("bt_p.db"), expected);
}

TEST_F(SaveTest, AFailedSaveLeavesTheOldFileAsItWas)
{
    TTable src;
    src.SetTableName("src.db");
    SaveAsTable(&src, nullptr, "keep.dbf");
    SaveAsTable(&src, nullptr, "keep.db");
    const std::string dbfBefore = Bytes("keep.dbf");
    const std::string dbBefore = Bytes("keep.db");
    // A character that dBase's GBK cannot hold fails the write after the table was created.
    MakeTable("bad.db", {Text("名称", 20)}, {{"好"}, {"😀"}});
    TTable bad;
    bad.SetTableName("bad.db");
    TTable open;
    open.SetTableName("keep.db");
    open.Open();
    const struct {
        std::string target;
        TDataSet* source;
        std::string message;
    } cases[] = {
        {"keep.dbf", &bad, "keep"},
        {"keep.db", &src, "正在使用"},
        {"missing/keep.db", &src, "不存在"},
    };
    for (const auto& c : cases) {
        try {
            SaveAsTable(c.source, nullptr, c.target);
            ADD_FAILURE() << c.target << ": saved";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message.find(c.message), std::string::npos) << c.target << ": " << e.Message;
        }
    }
    open.Close();
    EXPECT_EQ(Bytes("keep.dbf"), dbfBefore);
    EXPECT_EQ(Bytes("keep.db"), dbBefore);
    EXPECT_FALSE(fs::exists("missing"));
    EXPECT_TRUE(Leftovers(fs::current_path()).empty());
}

TEST_F(SaveTest, SwapTurnsRecordsIntoFieldsOfOneWidth)
{
    const struct {
        int textSize;
        int width;
    } cases[] = {{20, 60}, {80, 81}, {255, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textSize);
        MakeTable("s.db", {Text("代码", c.textSize), testsupport::Number("产值"), testsupport::Day("日期"),
                           testsupport::Small("人数"), Text("备注", 4)},
                  {{"A1", "1.5", "2009-01-02", "3"}, {"A2", "", "", "4", "无"}, {"A3", "2", "", "", ""}});
        TTable src;
        src.SetTableName("s.db");
        TTable target;
        SwapRowsColumns(&src, &target);
        EXPECT_EQ(target.TableName(), "hljh.db");
        EXPECT_FALSE(target.Active());
        const std::string w = "/" + std::to_string(c.width);
        EXPECT_EQ(Names("hljh.db"), (std::vector<std::string>{"字段名" + w, "字段1" + w, "字段2" + w, "字段3" + w}));
        const std::vector<Record> expected = {
            {{"字段名", "代码"}, {"字段1", "A1"}, {"字段2", "A2"}, {"字段3", "A3"}},
            {{"字段名", "产值"}, {"字段1", "1.5"}, {"字段2", ""}, {"字段3", "2"}},
            {{"字段名", "日期"}, {"字段1", "2009-01-02"}, {"字段2", ""}, {"字段3", ""}},
            {{"字段名", "人数"}, {"字段1", "3"}, {"字段2", "4"}, {"字段3", ""}},
            {{"字段名", "备注"}, {"字段1", ""}, {"字段2", "无"}, {"字段3", ""}},
        };
        EXPECT_EQ(ReadTable("hljh.db"), expected);
    }
}

TEST_F(SaveTest, SwapOfMoreRecordsThanATableHasFieldsIsRefusedFirst)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 2000; ++i) {
        rows.push_back({std::to_string(i)});
    }
    MakeTable("many.db", {Text("代码", 6)}, rows);
    const std::string before = Bytes("hljh.db");
    TTable src;
    src.SetTableName("many.db");
    TTable target;
    try {
        SwapRowsColumns(&src, &target);
        ADD_FAILURE() << "swapped";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("2000条记录"), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("1999个字段"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(Bytes("hljh.db"), before);
    // One record fewer fits.
    src.Close();
    rows.pop_back();
    MakeTable("many.db", {Text("代码", 6)}, rows);
    SwapRowsColumns(&src, &target);
    EXPECT_EQ(Names("hljh.db").size(), 2000u);
}

}  // namespace
}  // namespace printtest
