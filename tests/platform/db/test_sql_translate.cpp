// The statement recogniser and emitter without any file: what each form of the dialect becomes in SQLite
// SQL, which files it names, and the faults it reports with their places.
#include <gtest/gtest.h>

#include "platform/db/SqlTranslate.h"

namespace {

struct StatementCase {
    const char* text;
    const char* sql;
    std::vector<std::string> files;
};

void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.text; }

class TranslateStatements : public testing::TestWithParam<StatementCase> {};

TEST_P(TranslateStatements, GivesSqliteSqlAndFiles)
{
    const auto& c = GetParam();
    const sql::Translation t = sql::translateStatement(c.text);
    EXPECT_EQ(t.sql, c.sql) << c.text;
    std::vector<std::string> names;
    for (const auto& f : t.files)
        names.push_back(f.name);
    EXPECT_EQ(names, c.files) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    TablePositions, TranslateStatements,
    testing::Values(
        StatementCase{"select qa01 原报表编号,qa04 企业名称 from tmp\\kfq_1",
                      R"(SELECT "qa01" AS "原报表编号", "qa04" AS "企业名称" FROM "vq1"."data")",
                      {"tmp\\kfq_1"}},
        StatementCase{"update t set a=null, b = 'x' || b where c=null",
                      R"(UPDATE "vq1"."data" SET "a" = NULL, "b" = 'x' || "b" WHERE "c" IS NULL)", {"t"}},
        StatementCase{"update \"tmp\\kfq_2.db\" set qa01=\"100005\" where qa01=\"100001\"",
                      R"(UPDATE "vq1"."data" SET "qa01" = '100005' WHERE "qa01" = '100001')",
                      {"tmp\\kfq_2.db"}},
        StatementCase{"select b.qa01 x from \"kfq_1.db\" a,tmp\\kfq_1.db b where a.qa01!=b.qa01",
                      R"(SELECT "b"."qa01" AS "x" FROM "vq1"."data" AS "a", "vq2"."data" AS "b" WHERE "a"."qa01" <> "b"."qa01")",
                      {"kfq_1.db", "tmp\\kfq_1.db"}},
        StatementCase{"delete from sendname.db where id=2 and name=\"kfq_1.db\"",
                      R"(DELETE FROM "vq1"."data" WHERE "id" = 2 AND "name" = 'kfq_1.db')",
                      {"sendname.db"}},
        StatementCase{"insert into sendname.db (id,name,text) values (1,'kfq_r.db','企业')",
                      R"(INSERT INTO "vq1"."data" ("id", "name", "text") VALUES (1, 'kfq_r.db', '企业'))",
                      {"sendname.db"}},
        StatementCase{"select * from kfq1hz.db,kfq2hz.db,kfq3hz.db,kfq4hz.db",
                      R"(SELECT * FROM "vq1"."data", "vq2"."data", "vq3"."data", "vq4"."data")",
                      {"kfq1hz.db", "kfq2hz.db", "kfq3hz.db", "kfq4hz.db"}},
        StatementCase{"select a.qa01 编号,count(b.qe01) n from \"kfq_1.db\" a left join \"kfq_2.db\" b on "
                      "a.qa01=b.qa01 group by a.qa01",
                      R"(SELECT "a"."qa01" AS "编号", count("b"."qe01") AS "n" FROM "vq1"."data" AS "a" LEFT JOIN "vq2"."data" AS "b" ON "a"."qa01" = "b"."qa01" GROUP BY "a"."qa01")",
                      {"kfq_1.db", "kfq_2.db"}},
        StatementCase{"Select * from hljh.db", R"(SELECT * FROM "vq1"."data")", {"hljh.db"}},
        StatementCase{"select * from /data/x/kfq_1.db k, \"c:\\d\\A B.db\"",
                      R"(SELECT * FROM "vq1"."data" AS "k", "vq2"."data")", {"/data/x/kfq_1.db", "c:\\d\\A B.db"}},
        StatementCase{"select x from (select qa01 x from tmp_r.DB) s",
                      R"(SELECT "x" FROM (SELECT "qa01" AS "x" FROM "vq1"."data") AS "s")", {"tmp_r.DB"}}));

INSTANTIATE_TEST_SUITE_P(
    Expressions, TranslateStatements,
    testing::Values(
        // SUBSTRING ... FROM ... FOR, double-quoted literals, order with the GBK collation.
        StatementCase{"select qa01 报表编号 from \"kfq_1.db\" where SUBSTRING(qb03 FROM 1 FOR 2)>=\"06\" "
                      "order by qc05 desc",
                      R"(SELECT "qa01" AS "报表编号" FROM "vq1"."data" WHERE substr("qb03", 1, 2) >= '06' ORDER BY "qc05" COLLATE "GBK" DESC)",
                      {"kfq_1.db"}},
        StatementCase{"select * from kfq_r.db order by 状态 desc,编号",
                      R"(SELECT * FROM "vq1"."data" ORDER BY "状态" COLLATE "GBK" DESC, "编号" COLLATE "GBK")",
                      {"kfq_r.db"}},
        // The builder's spacing: "where(" without a blank and "where  (" with two.
        StatementCase{"select a.qa01 编号\n from \"kfq_1.db\" a,\"kfq_2.db\" b\n where(a.qa01=b.qa01)\n"
                      " and ( (is_chge=\"1\" or is_chge=\"2\"))",
                      R"(SELECT "a"."qa01" AS "编号" FROM "vq1"."data" AS "a", "vq2"."data" AS "b" WHERE ("a"."qa01" = "b"."qa01") AND (("is_chge" = '1' OR "is_chge" = '2')))",
                      {"kfq_1.db", "kfq_2.db"}},
        StatementCase{"select sum(gj_one) 国家级项目数\nfrom \"gjxm.db\"\nwhere  (is_chge='1' or is_chge='2')",
                      R"(SELECT sum("gj_one") AS "国家级项目数" FROM "vq1"."data" WHERE ("is_chge" = '1' OR "is_chge" = '2'))",
                      {"gjxm.db"}},
        // An expression without alias is named by its text.
        StatementCase{"select sum(b.qe14), a.qa01 || '-' from t a",
                      R"~(SELECT sum("b"."qe14") AS "sum(b.qe14)", "a"."qa01" || '-' AS "a.qa01 || '-'" FROM "vq1"."data" AS "a")~",
                      {"t"}},
        StatementCase{"select count(*) n from t where x is not null and y like \"a%\" and not (c='a' or c='b')",
                      R"(SELECT count(*) AS "n" FROM "vq1"."data" WHERE "x" IS NOT NULL AND "y" LIKE 'a%' AND NOT ("c" = 'a' OR "c" = 'b'))",
                      {"t"}},
        StatementCase{"select qa01 as \"编 号\" from t;",
                      R"(SELECT "qa01" AS "编 号" FROM "vq1"."data")", {"t"}}));

TEST(TranslateFiles, EachDistinctFileOnce)
{
    const auto t = sql::translateStatement("select * from kfq_1.db a, \"KFQ_1.DB\" b, kfq_1 c, tmp\\kfq_1 d");
    ASSERT_EQ(t.files.size(), 2u);
    EXPECT_EQ(t.files[0].key, "kfq_1.db");
    EXPECT_EQ(t.files[1].key, "tmp/kfq_1.db");
    EXPECT_NE(t.sql.find(R"("vq1"."data" AS "c")"), std::string::npos) << t.sql;
}

TEST(TranslateFiles, TenFilesPassAndTheEleventhIsRefused)
{
    std::string text = "select * from f1";
    for (int i = 2; i <= 10; ++i)
        text += ",f" + std::to_string(i);
    EXPECT_EQ(sql::translateStatement(text).files.size(), 10u);
    text += ", f1, f11";
    try {
        sql::translateStatement(text);
        FAIL();
    } catch (const sql::SqlError& e) {
        EXPECT_EQ(e.What, "more than 10 table files in one statement");
        EXPECT_EQ(e.Offset, text.size() - 3);  // at f11
    }
}

TEST(TranslateFiles, TargetOfModifyingStatements)
{
    EXPECT_EQ(sql::translateStatement("select * from a,b").target, -1);
    EXPECT_EQ(sql::translateStatement("insert into b select * from a").target, 0);
    const auto u = sql::translateStatement("update \"b.db\" set x=(select max(y) from a)");
    EXPECT_EQ(u.kind, sql::StatementKind::Update);
    EXPECT_EQ(u.files.at(static_cast<std::size_t>(u.target)).name, "b.db");
}

TEST(TranslateColumns, HintsFollowTheSelectList)
{
    using H = sql::ColumnHint;
    const auto t = sql::translateStatement(
        "select a.qa01 k, qa02, count(qa02) c, sum(qc05) s, SUBSTRING(qb03 FROM 1 FOR 2) d, 'x' l, "
        "qc05*2 e, max(a.qb04) m, min(qc05), max(qc05+1) from t a");
    EXPECT_EQ(t.columns, (std::vector<sql::AnswerColumn>{
                             {H::Source, "", ""}, {H::Source, "", ""}, {H::Integer, "", ""}, {H::Float, "", ""},
                             {H::Text, "", ""}, {H::Text, "", ""}, {H::Values, "", ""}, {H::Argument, "a", "qb04"},
                             {H::Argument, "", "qc05"}, {H::Values, "", ""}}));
    EXPECT_EQ(t.aliases, (std::vector<std::pair<std::string, int>>{{"a", 0}}));
    EXPECT_TRUE(sql::translateStatement("select *, qa01 from t").columns.empty());
}

// A plain column compared with a string is noted for the engine's type check; any other operand is not.
TEST(TranslateComparisons, NoteAPlainColumnComparedWithAString)
{
    using C = sql::LiteralComparison;
    struct {
        const char* where;
        std::vector<C> noted;  // offsets within the condition
    } cases[] = {
        {"a.qc05 > \"abc\"", {{"a", "qc05", "abc", 9}}},
        {"'x' = qa01 and (qc05<>'1')", {{"", "qa01", "x", 0}, {"", "qc05", "1", 22}}},
        {"\"5\" <= a.\"qc05\"", {{"a", "qc05", "5", 0}}},
        {"not qc05 = 'x' or qa01 = 1", {{"", "qc05", "x", 11}}},
        {"qc05 + 1 > 'x' or 1 + qc05 = 'x'", {}},
        {"qc05 > 'x' || 'y' or upper(qa01) = 'x' or qa01 = qa02 or qc05 between 'a' and 'b'", {}},
    };
    const std::string select = "select * from t a where ";
    for (auto& c : cases) {
        for (C& n : c.noted)
            n.offset += select.size();
        EXPECT_EQ(sql::translateStatement(select + c.where).comparisons, c.noted) << c.where;
    }
}

struct FaultCase {
    const char* text;
    const char* what;
    int column;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.text; }

class TranslateFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(TranslateFaults, NameTheFaultAndItsPlace)
{
    const auto& c = GetParam();
    try {
        sql::translateStatement(c.text);
        FAIL() << "no error for " << c.text;
    } catch (const sql::SqlError& e) {
        EXPECT_EQ(e.What, c.what) << c.text;
        EXPECT_EQ(e.Column, c.column) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranslateFaults,
    testing::Values(FaultCase{"", "empty statement", 1},
                    FaultCase{"selec * from t", "statement must begin with SELECT, INSERT, UPDATE or DELETE", 1},
                    FaultCase{"select from t", "select list item expected before 'from'", 8},
                    FaultCase{"select a from", "table name expected", 14},
                    FaultCase{"select a from where x=1", "table name expected before 'where'", 15},
                    FaultCase{"select a from t where", "condition expected", 22},
                    FaultCase{"select a from t where (x=1", "')' expected", 27},
                    FaultCase{"select a from t where x=1)", "unexpected ')'", 26},
                    FaultCase{"select a from t order x", "BY expected before 'x'", 23},
                    FaultCase{"delete sendname.db", "FROM expected before 'sendname'", 8},
                    FaultCase{"update t where x=1", "SET expected before 'where'", 10},
                    FaultCase{"update t set x where x=1", "'=' expected before 'where'", 16},
                    FaultCase{"update t set x=1,", "column name expected", 18},
                    FaultCase{"insert into t (a,) values (1)", "column name expected", 18},
                    FaultCase{"select a from t; select b from u", "unexpected 'select'", 18},
                    FaultCase{"select a from t where x = 1 from u", "unexpected 'from'", 29},
                    FaultCase{"select SUBSTRING(x FROM) from t", "unexpected ')'", 24},
                    FaultCase{"select mod(a) from t", "MOD takes two numbers: MOD(a, b)", 8},
                    FaultCase{"select mod(a,b,c) from t", "MOD takes two numbers: MOD(a, b)", 8},
                    FaultCase{"select mod(,b) from t", "MOD takes two numbers: MOD(a, b)", 8}));

TEST(TranslateLimits, DeepNestingIsRefused)
{
    std::string text = "select a from t where " + std::string(200, '(') + "1" + std::string(200, ')');
    EXPECT_THROW(sql::translateStatement(text), sql::SqlError);
    std::string fine = "select a from t where " + std::string(20, '(') + "1" + std::string(20, ')');
    EXPECT_NO_THROW(sql::translateStatement(fine));
}

TEST(TranslatePositions, MapSqlOffsetsBackToTheStatement)
{
    const std::string text = "select qa01 x\n from \"kfq_1.db\" where qa99 = 1";
    const auto t = sql::translateStatement(text);
    const auto at = t.sql.find("\"qa99\"");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(t.sourceOffset(at), text.find("qa99"));
    EXPECT_EQ(t.sourceOffset(at + 2), text.find("qa99"));
}

struct ConditionCase {
    const char* text;
    const char* sql;
};

void PrintTo(const ConditionCase& c, std::ostream* os) { *os << c.text; }

class TranslateConditions : public testing::TestWithParam<ConditionCase> {};

TEST_P(TranslateConditions, GiveSqliteExpressions)
{
    EXPECT_EQ(sql::TranslateCondition(GetParam().text), GetParam().sql);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranslateConditions,
    testing::Values(ConditionCase{"qa01='100001'", R"("qa01" = '100001')"},
                    ConditionCase{"qc02>=0 and qc02<=qc05", R"("qc02" >= 0 AND "qc02" <= "qc05")"},
                    ConditionCase{"qa04 is null", R"("qa04" IS NULL)"},
                    ConditionCase{"QB03<>\"06\" or qa05 in ('1','2')", R"("QB03" <> '06' OR "qa05" IN ('1', '2'))"},
                    ConditionCase{"SUBSTRING(qb03 FROM 1 FOR 2)!='05'", R"(substr("qb03", 1, 2) <> '05')"},
                    ConditionCase{"qa04 like '%公司' and 企业数>0", R"("qa04" LIKE '%公司' AND "企业数" > 0)"},
                    ConditionCase{"qd03/qd01*100>=5", R"("qd03" * 1.0 / "qd01" * 100 >= 5)"},
                    ConditionCase{"qa04 = null or qa05<>NULL or qa06!=null", R"("qa04" IS NULL OR "qa05" IS NOT NULL OR "qa06" IS NOT NULL)"},
                    ConditionCase{"MOD(qa03,11)=0", R"((("qa03") % (11)) = 0)"},
                    ConditionCase{"mod(SUBSTRING(qa03 FROM 1 FOR 1)*3+mod(x,7),11)+1",
                                  R"(((substr("qa03", 1, 1) * 3 + (("x") % (7))) % (11)) + 1)"},
                    ConditionCase{"  ", ""}));

TEST(TranslateConditions, RefuseWhatIsNotACondition)
{
    for (const char* text : {"qa01='1' order by qa01", "qa01 in (select qa01 from t)", "qa01='1')", "x from t",
                             "qa01='1'; delete from t", "(qa01='1'", "qa01='1', qa02='2'"}) {
        EXPECT_THROW(sql::TranslateCondition(text), sql::SqlError) << text;
    }
}

}  // namespace
