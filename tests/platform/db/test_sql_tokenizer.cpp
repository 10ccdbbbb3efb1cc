// The tokenizer alone: kinds, values, positions and the faults it reports.
#include <gtest/gtest.h>

#include "platform/db/SqlError.h"
#include "platform/db/SqlTokenizer.h"

namespace {

using sql::TokenKind;

struct TokenCase {
    const char* text;
    std::vector<std::pair<TokenKind, std::string>> tokens;  // kind and value, End left out
};

void PrintTo(const TokenCase& c, std::ostream* os) { *os << c.text; }

class TokenizerKinds : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerKinds, SplitsIntoKindsAndValues)
{
    const auto& c = GetParam();
    const auto tokens = sql::tokenize(c.text);
    ASSERT_EQ(tokens.size(), c.tokens.size() + 1) << c.text;
    for (std::size_t i = 0; i < c.tokens.size(); ++i) {
        EXPECT_EQ(tokens[i].kind, c.tokens[i].first) << c.text << " token " << i;
        EXPECT_EQ(tokens[i].value, c.tokens[i].second) << c.text << " token " << i;
    }
    EXPECT_EQ(tokens.back().kind, TokenKind::End);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TokenizerKinds,
    testing::Values(
        TokenCase{"select qa01 原报表编号", {{TokenKind::Word, "select"}, {TokenKind::Word, "qa01"},
                                             {TokenKind::Word, "原报表编号"}}},
        TokenCase{"'it''s'", {{TokenKind::String, "it's"}}},
        TokenCase{"\"kfq_1.db\"", {{TokenKind::Quoted, "kfq_1.db"}}},
        TokenCase{"\"a\"\"b\"", {{TokenKind::Quoted, "a\"b"}}},
        TokenCase{"''", {{TokenKind::String, ""}}},
        TokenCase{"tmp\\kfq_1.db",
                  {{TokenKind::Word, "tmp"}, {TokenKind::Operator, "\\"}, {TokenKind::Word, "kfq_1"},
                   {TokenKind::Operator, "."}, {TokenKind::Word, "db"}}},
        TokenCase{"a!=b<>c<=d>=e||f",
                  {{TokenKind::Word, "a"}, {TokenKind::Operator, "!="}, {TokenKind::Word, "b"},
                   {TokenKind::Operator, "<>"}, {TokenKind::Word, "c"}, {TokenKind::Operator, "<="},
                   {TokenKind::Word, "d"}, {TokenKind::Operator, ">="}, {TokenKind::Word, "e"},
                   {TokenKind::Operator, "||"}, {TokenKind::Word, "f"}}},
        TokenCase{"1.5e3 .5 12 x1", {{TokenKind::Number, "1.5e3"}, {TokenKind::Number, ".5"},
                                     {TokenKind::Number, "12"}, {TokenKind::Word, "x1"}}},
        TokenCase{"where(a.qa01=b.qa01)",
                  {{TokenKind::Word, "where"}, {TokenKind::Operator, "("}, {TokenKind::Word, "a"},
                   {TokenKind::Operator, "."}, {TokenKind::Word, "qa01"}, {TokenKind::Operator, "="},
                   {TokenKind::Word, "b"}, {TokenKind::Operator, "."}, {TokenKind::Word, "qa01"},
                   {TokenKind::Operator, ")"}}},
        TokenCase{"  \r\n\t", {}}));

TEST(Tokenizer, RecordsOffsetsAndSpacing)
{
    const auto t = sql::tokenize("from tmp\\kfq_1 b");
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[1].offset, 5u);
    EXPECT_TRUE(t[1].spaceBefore);
    EXPECT_FALSE(t[2].spaceBefore);  // "\" glued to tmp
    EXPECT_FALSE(t[3].spaceBefore);
    EXPECT_TRUE(t[4].spaceBefore);
    EXPECT_EQ(t[5].offset, 16u);     // End at the text size
}

struct FaultCase {
    const char* text;
    const char* what;
    int line, column;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.text; }

class TokenizerFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(TokenizerFaults, NamesTheFaultAndItsPlace)
{
    const auto& c = GetParam();
    try {
        sql::tokenize(c.text);
        FAIL() << "no error for " << c.text;
    } catch (const sql::SqlError& e) {
        EXPECT_EQ(e.What, c.what);
        EXPECT_EQ(e.Line, c.line);
        EXPECT_EQ(e.Column, c.column);
        EXPECT_NE(e.Message.find("第 " + std::to_string(c.line) + " 行"), std::string::npos) << e.Message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TokenizerFaults,
    testing::Values(FaultCase{"select 'abc", "unterminated string", 1, 8},
                    FaultCase{"select a\nfrom \"kfq_1.db", "unterminated quoted name", 2, 6},
                    FaultCase{"select 编号 ? x", "unexpected character '?'", 1, 11},
                    FaultCase{"a = @b", "unexpected character '@'", 1, 5}));

TEST(Tokenizer, RefusesOversizedText)
{
    const std::string big(sql::kMaxStatementBytes + 1, 'a');
    EXPECT_THROW(sql::tokenize(big), sql::SqlError);
}

}  // namespace
