// dBase reader and writer: what we write must read back through an independent reader (python3-dbfread)
// and through ours; a file crafted byte by byte must read the same in both; every truncation or corruption of
// a small file must end in EDatabaseError, never in a crash or in silently wrong rows.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "platform/db/Dbf.h"
#include "platform/db/Exception.h"
#include "platform/db/Gbk.h"

namespace fs = std::filesystem;
using db::Date;
using db::FieldDesc;
using db::FieldType;
using db::TableSchema;
using db::Variant;
using db::dbf::Row;

namespace {

using tempfiles::TempDir;
using tempfiles::ReadBytes;
using tempfiles::WriteBytes;

// Reads a file with python3-dbfread (code page from the file's language byte) and prints one line per field
// ("F|name|type|length|decimals") and per record ("R|v1|v2..."), values tagged with their Python type.
const char* kDbfreadScript = R"PY(
import sys, datetime, dbfread
def esc(s):
    return s.replace('\\', '\\\\').replace('|', '\\|').replace('\n', '\\n').replace('\r', '\\r')
t = dbfread.DBF(sys.argv[1], char_decode_errors='strict')
out = []
for f in t.fields:
    out.append('F|%s|%s|%d|%d' % (esc(f.name), f.type, f.length, f.decimal_count))
for r in t:
    vals = []
    for v in r.values():
        if v is None or v == '': vals.append('null')
        elif isinstance(v, bool): vals.append('b:' + str(v))
        elif isinstance(v, int): vals.append('i:' + str(v))
        elif isinstance(v, float): vals.append('f:' + ('%.15g' % v))
        elif isinstance(v, datetime.date): vals.append('d:' + v.isoformat())
        else: vals.append('s:' + esc(str(v)))
    out.append('R|' + '|'.join(vals))
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)PY";

std::string RunDbfread(const TempDir& dir, const std::string& dbfPath)
{
    const std::string script = dir.file("read.py");
    WriteBytes(script, kDbfreadScript);
    const std::string outPath = dir.file("dbfread.out");
    const std::string cmd = "/usr/bin/python3 '" + script + "' '" + dbfPath + "' > '" + outPath + "' 2>&1";
    const int rc = std::system(cmd.c_str());
    const std::string out = ReadBytes(outPath);
    EXPECT_EQ(rc, 0) << out;
    return out;
}

// Our reader's rows in the same notation as the script's, given the types dbfread would report.
std::string Describe(const db::dbf::Table& t)
{
    std::string out;
    for (const auto& row : t.rows) {
        out += "R";
        for (std::size_t i = 0; i < row.size(); ++i) {
            const Variant& v = row[i];
            out += "|";
            if (db::isNull(v)) {
                out += "null";
            } else if (t.schema.fields[i].type == FieldType::Boolean) {
                out += std::get<std::int64_t>(v) ? "b:True" : "b:False";
            } else if (const auto* n = std::get_if<std::int64_t>(&v)) {
                out += "i:" + std::to_string(*n);
            } else if (const auto* d = std::get_if<double>(&v)) {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.15g", *d);
                out += std::string("f:") + buf;
            } else if (const auto* dt = std::get_if<Date>(&v)) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", dt->year, dt->month, dt->day);
                out += std::string("d:") + buf;
            } else {
                std::string s = std::get<std::string>(v), e;
                for (char c : s) {
                    if (c == '\\' || c == '|')
                        e += '\\';
                    if (c == '\n') {
                        e += "\\n";
                        continue;
                    }
                    if (c == '\r') {
                        e += "\\r";
                        continue;
                    }
                    e += c;
                }
                out += "s:" + e;
            }
        }
        out += "\n";
    }
    return out;
}

std::string RecordLines(const std::string& dbfreadOutput)
{
    std::istringstream in(dbfreadOutput);
    std::string line, out;
    while (std::getline(in, line)) {
        if (line.rfind("R|", 0) == 0 || line == "R")
            out += line + "\n";
    }
    return out;
}

FieldDesc F(const char* name, FieldType t, int size = 0) { return FieldDesc{name, t, size, false}; }

TableSchema ReportSchema()
{
    TableSchema s;
    s.fields = {F("QA01", FieldType::String, 6),     F("QA04", FieldType::String, 10),
                F("QC02", FieldType::Float),         F("QA_ONE", FieldType::Smallint),
                F("QA12", FieldType::Date),          F("flag", FieldType::Boolean),
                F("note", FieldType::Memo),          F("count", FieldType::Integer)};
    return s;
}

std::vector<Row> ReportRows()
{
    return {
        {std::string("100001"), std::string("某某科技有限公司"), 12.5, std::int64_t{1}, Date{2009, 12, 31},
         std::int64_t{1}, std::string("第一行\n第二行 | 竖线"), std::int64_t{2147483647}},
        {std::string("100002"), Variant{}, 1234567.0, std::int64_t{-32768}, Variant{}, std::int64_t{0}, Variant{},
         std::int64_t{-5}},
        {std::string("A"), std::string("ab"), 0.001, Variant{}, Date{2000, 2, 29}, Variant{},
         std::string("short"), Variant{}},
        {Variant{}, Variant{}, -3.25, std::int64_t{0}, Variant{}, Variant{}, Variant{}, std::int64_t{0}},
    };
}

// ------------------------------------------------------------------------------------------------ writing

TEST(DbfWrite, IndependentReaderSeesTheRows)
{
    TempDir dir;
    const std::string path = dir.file("kfq_1.dbf");
    db::dbf::Write(path, ReportSchema(), ReportRows());
    const std::string out = RunDbfread(dir, path);
    const std::string expected =
        "R|s:100001|s:某某科技有限公司|f:12.5|i:1|d:2009-12-31|b:True|s:第一行\\n第二行 \\| 竖线|i:2147483647\n"
        "R|s:100002|null|f:1234567|i:-32768|null|b:False|null|i:-5\n"
        "R|s:A|s:ab|f:0.001|null|d:2000-02-29|null|s:short|null\n"
        "R|null|null|f:-3.25|i:0|null|null|null|i:0\n";
    EXPECT_EQ(RecordLines(out), expected) << out;
    // Our own reader agrees with it.
    EXPECT_EQ(Describe(db::dbf::Read(path)), expected);
}

TEST(DbfWrite, FieldDescriptorsFollowTheTypeMapping)
{
    TempDir dir;
    const std::string path = dir.file("t.dbf");
    db::dbf::Write(path, ReportSchema(), ReportRows());
    const std::string out = RunDbfread(dir, path);
    // Widths count GBK bytes: eight Chinese characters in an A10 field need 16.
    for (const char* line : {"F|QA01|C|6|0", "F|QA04|C|16|0", "F|QC02|N|11|3", "F|QA_ONE|N|6|0", "F|QA12|D|8|0",
                             "F|flag|L|1|0", "F|note|M|10|0", "F|count|N|11|0"}) {
        EXPECT_NE(out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << out;
    }
    const auto back = db::dbf::Read(path).schema.fields;
    ASSERT_EQ(back.size(), 8u);
    const std::vector<FieldDesc> expected = {
        F("QA01", FieldType::String, 6), F("QA04", FieldType::String, 16), F("QC02", FieldType::Float),
        F("QA_ONE", FieldType::Integer), F("QA12", FieldType::Date),       F("flag", FieldType::Boolean),
        F("note", FieldType::Memo),      F("count", FieldType::Integer)};
    EXPECT_EQ(back, expected);
}

TEST(DbfWrite, NumbersArePlainDecimal)
{
    TempDir dir;
    const std::string path = dir.file("n.dbf");
    TableSchema s;
    s.fields = {F("v", FieldType::Float)};
    db::dbf::Write(path, s, {{1234567.0}, {0.1}, {123456789012.0}, {-0.5}});
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.find('e'), std::string::npos);
    EXPECT_EQ(bytes.find('E'), std::string::npos);
    for (const char* text : {"   1234567.0", "        0.1", "123456789012.0", "      -0.5"})
        EXPECT_NE(bytes.find(text), std::string::npos) << text;
    const auto t = db::dbf::Read(path);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[2][0], Variant{123456789012.0});
}

struct NameCase {
    std::vector<std::string> names;
    std::vector<std::string> expected;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    for (std::size_t i = 0; i < c.names.size(); ++i)
        *os << (i ? " " : "") << c.names[i];
}

class DbfFieldNames : public testing::TestWithParam<NameCase> {};

TEST_P(DbfFieldNames, CutAtCharacterBoundaryThenUnique)
{
    const auto& c = GetParam();
    EXPECT_EQ(db::dbf::FieldNames(c.names), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DbfFieldNames,
    testing::Values(NameCase{{"QA01"}, {"QA01"}}, NameCase{{"ABCDEFGHIJKL"}, {"ABCDEFGHIJ"}},
                    NameCase{{"企业名称和地址"}, {"企业名称和"}},     // 14 bytes cut to 10
                    NameCase{{"a企业名称和地址"}, {"a企业名称"}},     // the fifth character would end at byte 11
                    NameCase{{"ABCDEFGHIJK1", "ABCDEFGHIJK2", "ABCDEFGHIJK3"},
                             {"ABCDEFGHIJ", "ABCDEFGH_1", "ABCDEFGH_2"}},
                    NameCase{{"name", "NAME"}, {"name", "NAME_1"}},
                    NameCase{{"报表编号报表编号1", "报表编号报表编号2"}, {"报表编号报", "报表编号_1"}},
                    NameCase{{"X_1", "X", "x"}, {"X_1", "X", "x_2"}}));

TEST(DbfWrite, LongNamesReachTheFileCutAndUnique)
{
    TempDir dir;
    const std::string path = dir.file("names.dbf");
    TableSchema s;
    s.fields = {F("企业名称和地址", FieldType::String, 4), F("企业名称和电话", FieldType::String, 4)};
    db::dbf::Write(path, s, {{std::string("a"), std::string("b")}});
    const std::string out = RunDbfread(dir, path);
    EXPECT_NE(out.find("F|企业名称和|C|4|0"), std::string::npos) << out;
    EXPECT_NE(out.find("F|企业名称_1|C|4|0"), std::string::npos) << out;
}

TEST(DbfWrite, TextLongerThanACharacterFieldBecomesMemo)
{
    TempDir dir;
    const std::string path = dir.file("long.dbf");
    TableSchema s;
    s.fields = {F("head", FieldType::String, 255), F("short", FieldType::String, 255)};
    std::string longText;
    for (int i = 0; i < 200; ++i)
        longText += "表";  // 400 GBK bytes
    db::dbf::Write(path, s, {{longText, std::string("x")}});
    const auto t = db::dbf::Read(path);
    EXPECT_EQ(t.schema.fields[0].type, FieldType::Memo);
    EXPECT_EQ(t.schema.fields[1], F("short", FieldType::String, 254));
    EXPECT_EQ(t.rows.at(0).at(0), Variant{longText});
    EXPECT_EQ(RecordLines(RunDbfread(dir, path)), "R|s:" + longText + "|s:x\n");
}

TEST(DbfWrite, ReplacingATableDropsItsOldMemoFile)
{
    TempDir dir;
    const std::string path = dir.file("r.dbf");
    TableSchema withMemo;
    withMemo.fields = {F("m", FieldType::Memo)};
    db::dbf::Write(path, withMemo, {{std::string("memo")}});
    ASSERT_TRUE(fs::exists(dir.file("r.dbt")));
    TableSchema plain;
    plain.fields = {F("c", FieldType::String, 3)};
    db::dbf::Write(path, plain, {{std::string("abc")}});
    EXPECT_FALSE(fs::exists(dir.file("r.dbt")));
    EXPECT_EQ(db::dbf::Read(path).rows, (std::vector<Row>{{std::string("abc")}}));
}

TEST(DbfWrite, EmptyTableReadsBackEmpty)
{
    TempDir dir;
    const std::string path = dir.file("e.dbf");
    db::dbf::Write(path, ReportSchema(), {});
    const auto t = db::dbf::Read(path);
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.schema.fields.size(), 8u);
    EXPECT_EQ(RecordLines(RunDbfread(dir, path)), "");
}

struct WriteFault {
    const char* name;
    FieldDesc field;
    Variant value;
    std::string expectedInMessage;
};
void PrintTo(const WriteFault& c, std::ostream* os) { *os << c.name; }

class DbfWriteFault : public testing::TestWithParam<WriteFault> {};

TEST_P(DbfWriteFault, RefusedWithFieldAndRecordAndOldFileKept)
{
    const auto& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("w.dbf");
    TableSchema ok;
    ok.fields = {F("keep", FieldType::String, 4)};
    db::dbf::Write(path, ok, {{std::string("old")}});
    TableSchema s;
    s.fields = {F("first", FieldType::String, 4), c.field};
    try {
        db::dbf::Write(path, s, {{std::string("a"), Variant{}}, {std::string("b"), c.value}});
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find(c.expectedInMessage), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("w.dbf"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(db::dbf::Read(path).rows, (std::vector<Row>{{std::string("old")}}));
    for (const auto& e : fs::directory_iterator(fs::path(path).parent_path()))
        EXPECT_EQ(e.path().extension(), ".dbf") << "left behind: " << e.path();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DbfWriteFault,
    testing::Values(
        WriteFault{"text_in_number", F("v", FieldType::Float), std::string("12a"), "字段“v”，第 2 条记录：“12a”不是数值"},
        WriteFault{"fraction_in_integer", F("v", FieldType::Integer), 1.5, "字段“v”，第 2 条记录：“1.5”不是整数"},
        WriteFault{"bad_date", F("v", FieldType::Date), std::string("2009-02-30"), "字段“v”，第 2 条记录：“2009-02-30”不是日期"},
        WriteFault{"bad_logical", F("v", FieldType::Boolean), std::string("maybe"), "“maybe”不是逻辑值"},
        WriteFault{"no_gbk_code", F("v", FieldType::String, 4), std::string("\xF0\x9F\x98\x80"), "字段“v”，第 2 条记录：字符“😀”（U+1F600"},
        WriteFault{"too_many_digits", F("v", FieldType::Float), 1e30, "字段“v”的值超过 20 位"}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------------------------------------ reading

// A dBase III file with a memo, built byte by byte: fields NAME C(8) in GBK, AMT N(8,2), CNT N(4,0), DAY D,
// OK L, TXT M; three records, the second deleted.
struct Crafted {
    std::string dbf, dbt;
};

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(unsigned v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

std::string Descriptor(const std::string& name, char type, int len, int dec)
{
    std::string d = name;
    d.resize(11, '\0');
    d += type;
    d += std::string(4, '\0');
    d += static_cast<char>(len);
    d += static_cast<char>(dec);
    d += std::string(14, '\0');
    return d;
}

Crafted Craft()
{
    const std::string fields = Descriptor("NAME", 'C', 8, 0) + Descriptor("AMT", 'N', 8, 2) +
                               Descriptor("CNT", 'N', 4, 0) + Descriptor("DAY", 'D', 8, 0) +
                               Descriptor("OK", 'L', 1, 0) + Descriptor("TXT", 'M', 10, 0);
    const unsigned headerLen = 32 + static_cast<unsigned>(fields.size()) + 1;
    const unsigned recordLen = 1 + 8 + 8 + 4 + 8 + 1 + 10;
    std::string h;
    h += '\x83';
    h += "\x6D\x0C\x1F";  // 2009-12-31
    h += Le32(3) + Le16(headerLen) + Le16(recordLen);
    h += std::string(17, '\0');
    h += '\x7A';  // code page 936
    h += std::string(2, '\0');
    h += fields;
    h += '\x0D';
    h += ' ';
    h += std::string("\xD6\xD0\xB9\xFA" "ab  ", 8);  // NAME "中国ab"
    h += "   12.50";                               // AMT
    h += "  42";                                   // CNT
    h += "20091231";                               // DAY
    h += 'T';                                      // OK
    h += "         1";                             // TXT block 1
    h += '*';                                      // deleted record
    h += std::string("gone    ", 8) + "    1.00" + "   1" + "20000101" + 'F' + "          ";
    h += ' ';
    h += std::string(8, ' ') + "   -0.75" + "    " + "        " + '?' + "         2";
    h += '\x1A';

    std::string m = Le32(3) + std::string(508, '\0');
    m += std::string("\xB1\xB8\xD7\xA2\x1A\x1A", 6);  // "备注"
    m.resize(1024, '\0');
    m += std::string("line1\r\nline2\x1A\x1A", 14);
    m.resize(1536, '\0');
    return {h, m};
}

TEST(DbfRead, CraftedFileReadsAsTheIndependentReaderReadsIt)
{
    TempDir dir;
    const Crafted c = Craft();
    WriteBytes(dir.file("crafted.dbf"), c.dbf);
    WriteBytes(dir.file("crafted.dbt"), c.dbt);
    const std::string expected =
        "R|s:中国ab|f:12.5|i:42|d:2009-12-31|b:True|s:备注\n"
        "R|null|f:-0.75|null|null|null|s:line1\\r\\nline2\n";
    EXPECT_EQ(RecordLines(RunDbfread(dir, dir.file("crafted.dbf"))), expected);
    const auto t = db::dbf::Read(dir.file("crafted.dbf"));
    EXPECT_EQ(Describe(t), expected);
    const std::vector<FieldDesc> fields = {F("NAME", FieldType::String, 8), F("AMT", FieldType::Float),
                                           F("CNT", FieldType::Integer),    F("DAY", FieldType::Date),
                                           F("OK", FieldType::Boolean),     F("TXT", FieldType::Memo)};
    EXPECT_EQ(t.schema.fields, fields);
}

TEST(DbfRead, MemoFileFoundWhateverItsLetterCase)
{
    TempDir dir;
    const Crafted c = Craft();
    WriteBytes(dir.file("crafted.dbf"), c.dbf);
    WriteBytes(dir.file("CRAFTED.DBT"), c.dbt);
    EXPECT_EQ(db::dbf::Read(dir.file("crafted.dbf")).rows.size(), 2u);
}

struct ReadFault {
    const char* name;
    std::size_t offset;  // byte of the .dbf to replace
    std::string bytes;
    std::string expectedInMessage;
};
void PrintTo(const ReadFault& c, std::ostream* os) { *os << c.name; }

class DbfReadFault : public testing::TestWithParam<ReadFault> {};

TEST_P(DbfReadFault, ClearErrorNamingTheFault)
{
    const auto& c = GetParam();
    TempDir dir;
    Crafted f = Craft();
    f.dbf.replace(c.offset, c.bytes.size(), c.bytes);
    WriteBytes(dir.file("bad.dbf"), f.dbf);
    WriteBytes(dir.file("bad.dbt"), f.dbt);
    try {
        db::dbf::Read(dir.file("bad.dbf"));
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find(c.expectedInMessage), std::string::npos) << e.Message;
        EXPECT_NE(e.Message.find("bad.dbf"), std::string::npos) << e.Message;
    }
}

// Offsets in the crafted file: header 32 + 6 * 32 + 1 = 225; records of 40 bytes from there.
constexpr std::size_t kRec1 = 225;
INSTANTIATE_TEST_SUITE_P(
    Faults, DbfReadFault,
    testing::Values(
        ReadFault{"not_dbase", 0, "\x42", "不是 dBase III/IV 表"},
        ReadFault{"more_records_than_bytes", 4, Le32(9), "文件头记有 9 条记录"},
        ReadFault{"record_length_mismatch", 10, Le16(41), "记录长度 41 与字段不符"},
        ReadFault{"unknown_type", 32 + 11, "X", "字段“NAME”的类型“X”无法读取"},
        ReadFault{"zero_width", 32 + 16, std::string(1, '\0'), "宽度为 0"},
        ReadFault{"duplicate_name", 64, "NAME", "字段名“NAME”重复"},
        ReadFault{"invalid_gbk", kRec1 + 1, "\x81 ", "第 1 条记录，字段“NAME”：不是有效的 GBK 文字（第 1 个字节）"},
        ReadFault{"bad_number", kRec1 + 9, "  12x.50", "第 1 条记录，字段“AMT”：“12x.50”不是数值"},
        ReadFault{"bad_date", kRec1 + 21, "20091331", "第 1 条记录，字段“DAY”：“20091331”不是日期"},
        ReadFault{"memo_outside_file", kRec1 + 30, "       999", "备注块 999 超出了备注文件"},
        ReadFault{"bad_deletion_mark", kRec1, "#", "第 1 条记录已损坏"},
        ReadFault{"terminator_missing", 224, "\x20", "字段表没有结束标记"}),
    [](const auto& info) { return std::string(info.param.name); });

// A memo field wider than usual holding a block number whose offset does not fit 64 bits (2^55 blocks of 512
// bytes would wrap to the start of the memo file, its header): outside the file, not the header as text.
TEST(DbfRead, AMemoBlockNumberBeyondEveryFileIsRefused)
{
    TempDir dir;
    for (const std::string block : {"36028797018963968", "36028797018963969", "18014398509481985"}) {
        std::string h;
        h += '\x83';
        h += "\x6D\x0C\x1F";
        h += Le32(1) + Le16(32 + 32 + 1) + Le16(1 + 20);
        h += std::string(20, '\0');
        h += Descriptor("TXT", 'M', 20, 0);
        h += '\x0D';
        h += ' ' + std::string(20 - block.size(), ' ') + block;
        h += '\x1A';
        WriteBytes(dir.file("big.dbf"), h);
        WriteBytes(dir.file("big.dbt"), Craft().dbt);
        try {
            db::dbf::Read(dir.file("big.dbf"));
            ADD_FAILURE() << "read block " << block;
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message.find("备注块 " + block + " 超出了备注文件"), std::string::npos) << e.Message;
            EXPECT_NE(e.Message.find("big.dbt"), std::string::npos) << e.Message;
        }
    }
}

TEST(DbfRead, MissingFilesAreNamed)
{
    TempDir dir;
    try {
        db::dbf::Read(dir.file("none.dbf"));
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("none.dbf”无法打开"), std::string::npos) << e.Message;
    }
    WriteBytes(dir.file("memo.dbf"), Craft().dbf);
    try {
        db::dbf::Read(dir.file("memo.dbf"));
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("缺少备注文件“memo.dbt”"), std::string::npos) << e.Message;
    }
}

// Every prefix of a small file: an error, or (only without the end-of-file mark) the complete rows.
TEST(DbfRead, EveryTruncationFailsCleanly)
{
    TempDir dir;
    const std::string full = dir.file("full.dbf");
    db::dbf::Write(full, ReportSchema(), ReportRows());
    const std::string bytes = ReadBytes(full);
    const std::string memo = ReadBytes(dir.file("full.dbt"));
    const auto complete = db::dbf::Read(full).rows;
    const std::string cut = dir.file("cut.dbf");
    WriteBytes(dir.file("cut.dbt"), memo);
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        WriteBytes(cut, bytes.substr(0, len));
        try {
            const auto t = db::dbf::Read(cut);
            EXPECT_EQ(len, bytes.size() - 1) << "read a file cut at " << len;
            EXPECT_EQ(t.rows, complete);
        } catch (const EDatabaseError&) {
        }
    }
    WriteBytes(cut, bytes);
    for (std::size_t len = 0; len < memo.size(); ++len) {
        WriteBytes(dir.file("cut.dbt"), memo.substr(0, len));
        try {
            const auto t = db::dbf::Read(cut);
            // Only the zero padding after the last memo may go.
            EXPECT_EQ(t.rows, complete) << "memo cut at " << len;
        } catch (const EDatabaseError&) {
        }
    }
}

// Random byte damage must never crash the reader; whatever it returns has the declared shape.
TEST(DbfRead, DamagedBytesNeverCrash)
{
    TempDir dir;
    const Crafted c = Craft();
    WriteBytes(dir.file("d.dbt"), c.dbt);
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        std::string b = c.dbf;
        const int hits = 1 + round % 4;
        for (int i = 0; i < hits; ++i)
            b[rng() % b.size()] = static_cast<char>(rng() % 256);
        WriteBytes(dir.file("d.dbf"), b);
        try {
            const auto t = db::dbf::Read(dir.file("d.dbf"));
            for (const auto& row : t.rows)
                ASSERT_EQ(row.size(), t.schema.fields.size());
        } catch (const EDatabaseError&) {
        }
    }
}

}  // namespace
