// The text table: the exact bytes of the delimited GBK form, a read back through Python's csv module as an
// independent reader, our own reader, and the faults of both directions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "TempFiles.h"
#include "platform/db/Exception.h"
#include "platform/db/Gbk.h"
#include "platform/db/TextFile.h"

namespace fs = std::filesystem;
using db::Date;
using db::FieldType;
using db::TableSchema;
using db::Variant;
using db::text::Row;

namespace {

using tempfiles::TempDir;
using tempfiles::ReadBytes;
using tempfiles::WriteBytes;

TableSchema Schema()
{
    TableSchema s;
    s.fields = {{"编号", FieldType::String, 10, false}, {"amount", FieldType::Float, 0, false},
                {"n", FieldType::Smallint, 0, false},   {"day", FieldType::Date, 0, false},
                {"ok", FieldType::Boolean, 0, false},   {"note", FieldType::Memo, 0, false}};
    return s;
}

std::vector<Row> Rows()
{
    return {
        {std::string("100001"), 1234567.5, std::int64_t{3}, Date{2009, 12, 31}, std::int64_t{1},
         std::string("他说\"好\", 然后\r\n走了")},
        {Variant{}, 0.001, Variant{}, Variant{}, std::int64_t{0}, Variant{}},
    };
}

TEST(TextFileWrite, DelimitedGbkLines)
{
    TempDir dir;
    const std::string path = dir.file("out.txt");
    db::text::Write(path, Schema(), Rows());
    const std::string expected = db::gbk::FromUtf8(
        "\"100001\",1234567.5,3,2009-12-31,T,\"他说\"\"好\"\", 然后\r\n走了\"\r\n"
        ",0.001,,,F,\r\n");
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(TextFileWrite, IndependentCsvReaderAgrees)
{
    TempDir dir;
    const std::string path = dir.file("out.txt");
    db::text::Write(path, Schema(), Rows());
    const std::string script = dir.file("read_text_table.py");
    WriteBytes(script,
               "import csv, sys\n"
               "with open(sys.argv[1], encoding='gbk', newline='') as f:\n"
               "    for r in csv.reader(f):\n"
               "        sys.stdout.buffer.write(('|'.join(r).replace('\\r', '<CR>').replace('\\n', '<LF>') + "
               "'\\n').encode('utf-8'))\n");
    const std::string outPath = dir.file("csv.out");
    ASSERT_EQ(std::system(("/usr/bin/python3 '" + script + "' '" + path + "' > '" + outPath + "' 2>&1").c_str()), 0)
        << ReadBytes(outPath);
    EXPECT_EQ(ReadBytes(outPath),
              "100001|1234567.5|3|2009-12-31|T|他说\"好\", 然后<CR><LF>走了\n"
              "|0.001|||F|\n");
}

TEST(TextFileRead, GivesTheWrittenRowsBack)
{
    TempDir dir;
    const std::string path = dir.file("rt.txt");
    db::text::Write(path, Schema(), Rows());
    EXPECT_EQ(db::text::Read(path, Schema()), Rows());
}

struct ReadFault {
    const char* name;
    std::string utf8;
    std::string expectedInMessage;
};
void PrintTo(const ReadFault& c, std::ostream* os) { *os << c.name; }

class TextFileReadFault : public testing::TestWithParam<ReadFault> {};

TEST_P(TextFileReadFault, NamesTheLine)
{
    const auto& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("bad.txt");
    WriteBytes(path, c.utf8);
    TableSchema s;
    s.fields = {{"t", FieldType::String, 10, false}, {"v", FieldType::Float, 0, false},
                {"d", FieldType::Date, 0, false}};
    try {
        db::text::Read(path, s);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find(c.expectedInMessage), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("bad.txt"), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TextFileReadFault,
    testing::Values(ReadFault{"unclosed_quote", "\"a\",1,\r\n\"b,2,\r\n", "第 2 行：引号没有结束"},
                    ReadFault{"too_few_values", "\"a\",1,\r\n\"b\",2\r\n", "第 2 行：记录有 2 个值"},
                    ReadFault{"bad_number", "\"a\",1x,\r\n", "第 1 行：字段“v”：“1x”与字段类型不符"},
                    ReadFault{"bad_date", "\"a\",1,2009-13-01\r\n", "第 1 行：字段“d”：“2009-13-01”与字段类型不符"},
                    ReadFault{"text_after_quote", "\"a\"b,1,\r\n", "第 1 行：引号结束后还有多余的文字"},
                    ReadFault{"invalid_gbk", std::string("\"\x81\",1,\r\n"), "不是有效的 GBK 文字（第 2 个字节）"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextFileRead, MissingFileIsNamed)
{
    TempDir dir;
    try {
        db::text::Read(dir.file("none.txt"), Schema());
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("none.txt”无法打开"), std::string::npos) << e.Message;
    }
}

struct WriteFault {
    const char* name;
    FieldType type;
    Variant value;
    std::string expectedInMessage;
};
void PrintTo(const WriteFault& c, std::ostream* os) { *os << c.name; }

class TextFileWriteFault : public testing::TestWithParam<WriteFault> {};

TEST_P(TextFileWriteFault, NamesRecordAndFieldAndKeepsTheOldFile)
{
    const auto& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("w.txt");
    WriteBytes(path, "old\r\n");
    TableSchema s;
    s.fields = {{"a", FieldType::String, 4, false}, {"b", c.type, c.type == FieldType::String ? 4 : 0, false}};
    try {
        db::text::Write(path, s, {{std::string("x"), Variant{}}, {std::string("y"), c.value}});
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("第 2 条记录，字段“b”：" + c.expectedInMessage), std::string::npos) << e.Message;
    }
    EXPECT_EQ(ReadBytes(path), "old\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TextFileWriteFault,
    testing::Values(WriteFault{"no_gbk_code", FieldType::String, std::string("\xF0\x9F\x98\x80"), "字符“😀”（U+1F600"},
                    WriteFault{"text_in_number", FieldType::Float, std::string("abc"), "“abc”与字段类型不符"},
                    WriteFault{"fraction_in_integer", FieldType::Integer, 2.5, "“2.5”与字段类型不符"},
                    WriteFault{"number_in_date", FieldType::Date, std::int64_t{5}, "“5”与字段类型不符"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
