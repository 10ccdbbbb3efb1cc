// The text form of data/: descriptions parse into the schema and typed rows, every fault names its line,
// Format writes what Parse reads back, and every description shipped in data/tables parses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/db/DataText.h"

namespace fs = std::filesystem;
using db::Date;
using db::FieldDesc;
using db::FieldType;
using db::IndexDesc;
using db::Variant;
using db::datatext::Description;
using db::datatext::Parse;
using db::datatext::ParseError;

namespace {

std::string ReadText(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(DataTextParse, FieldsIndexesAndRows)
{
    const Description d = Parse("# a comment\n"
                                "table kfq_2.db\n"
                                "\n"
                                "field ID     A12\n"
                                "field QA01   A6\n"
                                "field QE01   A2\n"
                                "field QE02   N\n"
                                "field qa_one S\n"
                                "field note   M\n"
                                "field pic    B240\n"
                                "primary id\n"
                                "index kfq_2 QA01;qe01 nocase\n"
                                "index kfq_21 QE02 unique\n"
                                "rows QE02|QA01|note\n"
                                "12.5|100001|第一行\\n第二行\n"
                                "# comments are allowed between records\n"
                                "\n"
                                "|100002|\n"
                                "end\n",
                                "kfq_2.db.txt");
    EXPECT_EQ(d.tableName, "kfq_2.db");
    const std::vector<FieldDesc> fields = {
        {"ID", FieldType::String, 12, false},  {"QA01", FieldType::String, 6, false},
        {"QE01", FieldType::String, 2, false}, {"QE02", FieldType::Float, 0, false},
        {"qa_one", FieldType::Smallint, 0, false}, {"note", FieldType::Memo, 0, false},
        {"pic", FieldType::Blob, 240, false}};
    EXPECT_EQ(d.schema.fields, fields);
    const std::vector<IndexDesc> indexes = {
        {"", {"ID"}, true, true, false},
        {"kfq_2", {"QA01", "QE01"}, false, false, true},  // field names as declared
        {"kfq_21", {"QE02"}, false, true, false}};
    EXPECT_EQ(d.schema.indexes, indexes);
    const std::vector<std::vector<Variant>> rows = {
        {Variant{}, std::string("100001"), Variant{}, 12.5, Variant{}, std::string("第一行\n第二行"), Variant{}},
        {Variant{}, std::string("100002"), Variant{}, Variant{}, Variant{}, Variant{}, Variant{}}};
    EXPECT_EQ(d.rows, rows);
}

TEST(DataTextParse, ReadmeExampleIsValid)
{
    const std::string readme = ReadText(fs::path(VEMORA_SOURCE_DIR) / "data" / "README.md");
    const std::size_t start = readme.find("```\n");
    ASSERT_NE(start, std::string::npos);
    const std::size_t end = readme.find("```", start + 4);
    ASSERT_NE(end, std::string::npos);
    const Description d = Parse(readme.substr(start + 4, end - start - 4), "README.md");
    EXPECT_EQ(d.tableName, "kfq_1.db");
    EXPECT_FALSE(d.rows.empty());
}

TEST(DataTextParse, EveryShippedDescriptionParses)
{
    const fs::path dir = fs::path(VEMORA_SOURCE_DIR) / "data" / "tables";
    int count = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".txt")
            continue;
        ++count;
        try {
            const Description d = db::datatext::ParseFile(e.path().string());
            EXPECT_EQ(d.tableName + ".txt", e.path().filename().string());
        } catch (const EDatabaseError& err) {
            ADD_FAILURE() << err.Message;
        }
    }
    EXPECT_GT(count, 0);
}

struct ValueCase {
    const char* type;
    const char* text;
    Variant expected;
};
void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.type << " " << c.text; }

class DataTextValue : public testing::TestWithParam<ValueCase> {};

TEST_P(DataTextValue, TypedByItsField)
{
    const auto& c = GetParam();
    const Description d = Parse(std::string("table t.db\nfield f ") + c.type + "\nrows f\n" + c.text + "\nend\n", "t");
    ASSERT_EQ(d.rows.size(), 1u);
    EXPECT_EQ(d.rows[0][0], c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DataTextValue,
    testing::Values(ValueCase{"A4", "中文ab", std::string("中文ab")},  // four characters, eight bytes
                    ValueCase{"A9", "a\\|b\\\\c\\td", std::string("a|b\\c\td")},
                    ValueCase{"A3", "\\#1", std::string("#1")},
                    ValueCase{"A5", " x ", std::string(" x ")},
                    ValueCase{"N", "-12.50", -12.5}, ValueCase{"N", "7", 7.0}, ValueCase{"$", "0.01", 0.01},
                    ValueCase{"S", "-32768", std::int64_t{-32768}}, ValueCase{"I", "2147483647", std::int64_t{2147483647}},
                    ValueCase{"+", "3", std::int64_t{3}},
                    ValueCase{"D", "2008-02-29", Date{2008, 2, 29}}, ValueCase{"L", "1", std::int64_t{1}},
                    ValueCase{"L", "0", std::int64_t{0}}, ValueCase{"T", "23:59:59", std::string("23:59:59")},
                    ValueCase{"@", "2009-12-31 08:00:00", std::string("2009-12-31 08:00:00")},
                    ValueCase{"M", "长文本\\r\\n", std::string("长文本\r\n")}));

struct FaultCase {
    const char* name;
    const char* text;
    int line;
    const char* message;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class DataTextFault : public testing::TestWithParam<FaultCase> {};

TEST_P(DataTextFault, NamesTheLine)
{
    const auto& c = GetParam();
    try {
        Parse(c.text, "x.db.txt");
        FAIL() << "no error";
    } catch (const ParseError& e) {
        EXPECT_EQ(e.Line, c.line) << e.Message;
        EXPECT_EQ(e.Source, "x.db.txt");
        EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
        EXPECT_EQ(e.Message.rfind("x.db.txt:" + std::to_string(c.line) + ": ", 0), 0u) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DataTextFault,
    testing::Values(
        FaultCase{"unknown_type", "table x.db\nfield a A1\nfield b X\n", 3, "unknown type letter 'X'"},
        FaultCase{"size_missing", "table x.db\n\nfield a A\n", 3, "size missing for A"},
        FaultCase{"size_on_number", "table x.db\nfield a N10\n", 2, "takes no size"},
        FaultCase{"size_too_big", "table x.db\nfield a A256\n", 2, "out of range"},
        FaultCase{"bad_size", "table x.db\nfield a A1x\n", 2, "bad size"},
        FaultCase{"duplicate_field", "table x.db\nfield Code A1\nfield CODE A2\n", 3, "duplicate field 'CODE'"},
        FaultCase{"field_without_type", "table x.db\nfield a\n", 2, "a name and a type"},
        FaultCase{"no_table_line", "# c\nfield a A1\n", 2, "must start with a table line"},
        FaultCase{"no_fields", "\ntable x.db\n", 2, "has no fields"},
        FaultCase{"unknown_keyword", "table x.db\nfield a A1\nkey a\n", 3, "unknown keyword 'key'"},
        FaultCase{"index_unknown_field", "table x.db\nfield a A1\nindex i a;b\n", 3, "unknown field 'b'"},
        FaultCase{"index_option", "table x.db\nfield a A1\nindex i a uniq\n", 3, "unknown index option 'uniq'"},
        FaultCase{"second_primary", "table x.db\nfield a A1\nprimary a\nprimary a\n", 4, "a second primary"},
        FaultCase{"duplicate_index", "table x.db\nfield a A1\nindex i a\nindex I a\n", 4, "duplicate index"},
        FaultCase{"unknown_column", "table x.db\nfield a A1\nrows a|b\nend\n", 3, "unknown column 'b'"},
        FaultCase{"wrong_value_count", "table x.db\nfield a A1\nfield b A1\nrows a|b\n1|2\n1\nend\n", 6,
                  "row has 1 values for 2 columns"},
        FaultCase{"too_many_values", "table x.db\nfield a A1\nrows a\n1|2\nend\n", 4, "row has 2 values"},
        FaultCase{"bad_escape", "table x.db\nfield a A5\nrows a\nx\\qy\nend\n", 4, "bad escape '\\q'"},
        FaultCase{"escape_at_end", "table x.db\nfield a A5\nrows a\nxy\\\nend\n", 4, "bad escape"},
        FaultCase{"bad_number", "table x.db\nfield a N\nrows a\n1e5\nend\n", 4, "bad number '1e5'"},
        FaultCase{"bad_number_comma", "table x.db\nfield a N\nrows a\n1,5\nend\n", 4, "bad number"},
        FaultCase{"small_int_range", "table x.db\nfield a S\nrows a\n32768\nend\n", 4, "bad integer"},
        FaultCase{"integer_fraction", "table x.db\nfield a I\nrows a\n1.0\nend\n", 4, "bad integer"},
        FaultCase{"bad_date", "table x.db\nfield a D\nrows a\n2009-02-29\nend\n", 4, "bad date '2009-02-29'"},
        FaultCase{"date_format", "table x.db\nfield a D\nrows a\n2009/01/01\nend\n", 4, "bad date"},
        FaultCase{"bad_logical", "table x.db\nfield a L\nrows a\nT\nend\n", 4, "bad logical"},
        FaultCase{"text_too_long", "table x.db\nfield a A2\nrows a\n中文字\nend\n", 4, "too long"},
        FaultCase{"rows_without_end", "table x.db\nfield a A2\nrows a\nx\n", 3, "rows without end"},
        FaultCase{"text_after_end", "table x.db\nfield a A2\nrows a\nend\nfield b A1\n", 5, "text after end"},
        FaultCase{"field_after_index", "table x.db\nfield a A2\nprimary a\nfield b A1\n", 4, "field after"},
        FaultCase{"crlf_lines_count", "table x.db\r\nfield a N\r\nrows a\r\nx\r\nend\r\n", 4, "bad number 'x'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataTextParseFile, TableLineMustMatchTheFileName)
{
    const fs::path dir = fs::temp_directory_path() / ("vemora-dt-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const fs::path p = dir / "sendname.db.txt";
    std::ofstream(p) << "# send list\ntable send.db\nfield id I\n";
    try {
        db::datatext::ParseFile(p.string());
        ADD_FAILURE() << "no error";
    } catch (const ParseError& e) {
        EXPECT_EQ(e.Line, 2) << e.Message;
        EXPECT_NE(e.Message.find("does not match"), std::string::npos) << e.Message;
    }
    fs::remove_all(dir);
}

TEST(DataTextFormat, ParseGivesTheTableBack)
{
    Description d;
    d.tableName = "check_db.DB";
    d.schema.fields = {{"id", FieldType::Integer, 0, false},     {"名称", FieldType::String, 20, false},
                       {"amount", FieldType::Float, 0, false},   {"day", FieldType::Date, 0, false},
                       {"ok", FieldType::Boolean, 0, false},     {"memo", FieldType::Memo, 0, false}};
    d.schema.indexes = {{"", {"id"}, true, true, true}, {"ix_name", {"名称", "day"}, false, true, true}};
    d.rows = {
        {std::int64_t{1}, std::string("#不是注释"), 0.1, Date{2009, 1, 2}, std::int64_t{1},
         std::string("a|b\\c\nd\te\rf")},
        {std::int64_t{-2}, Variant{}, 1234567.25, Variant{}, std::int64_t{0}, Variant{}},
        {Variant{}, std::string("x"), Variant{}, Variant{}, Variant{}, std::string("end")},
    };
    const std::string text = db::datatext::Format(d);
    const Description back = Parse(text, "formatted");
    EXPECT_EQ(back.tableName, d.tableName);
    EXPECT_EQ(back.schema.fields, d.schema.fields);
    EXPECT_EQ(back.schema.indexes, d.schema.indexes);
    EXPECT_EQ(back.rows, d.rows) << text;
    EXPECT_EQ(text.find("e+"), std::string::npos) << text;  // numbers in plain decimal
}

TEST(DataTextFormat, EveryShippedDescriptionSurvivesFormat)
{
    const fs::path dir = fs::path(VEMORA_SOURCE_DIR) / "data" / "tables";
    for (const auto& e : fs::directory_iterator(dir)) {
        if (e.path().extension() != ".txt")
            continue;
        Description d;
        try {
            d = db::datatext::ParseFile(e.path().string());
        } catch (const EDatabaseError&) {
            continue;  // reported by EveryShippedDescriptionParses
        }
        const Description back = Parse(db::datatext::Format(d), e.path().filename().string());
        EXPECT_EQ(back.schema.fields, d.schema.fields) << e.path();
        EXPECT_EQ(back.schema.indexes, d.schema.indexes) << e.path();
        EXPECT_EQ(back.rows, d.rows) << e.path();
    }
}

}  // namespace
