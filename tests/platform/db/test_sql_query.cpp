// TQuery on table files: every statement form the windows send runs and gives the right rows on small
// fixture tables; answers carry the types and sizes that saving them as tables needs; bad statements fail
// with a clear message and change no file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/db/Connection.h"
#include "platform/db/Dbf.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;

namespace {

using db::FieldDesc;
using db::FieldType;
using Strings = std::vector<std::vector<std::string>>;

FieldDesc A(const char* name, int size) { return {name, FieldType::String, size, false}; }
FieldDesc F(const char* name, FieldType t) { return {name, t, 0, false}; }

class SqlQuery : public testing::Test {
protected:
    void SetUp() override
    {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("sql_query_" + std::to_string(rd()));
        fs::create_directories(dir_ / "tmp");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    void table(const std::string& name, std::vector<FieldDesc> fields, db::Rows rows = {},
               std::vector<std::string> primary = {}, std::vector<db::IndexDesc> indexes = {})
    {
        db::TableSchema s;
        s.fields = std::move(fields);
        if (!primary.empty())
            s.indexes.push_back({"", primary, true, true, false});
        s.indexes.insert(s.indexes.end(), indexes.begin(), indexes.end());
        db::CreateTableFile(path(name), s, rows);
    }

    void lines(TQuery& q, std::initializer_list<std::string> text)
    {
        q.DatabaseName = dir_.string();
        q.SQL.Clear();
        for (const auto& l : text)
            q.SQL.Add(l);
    }

    // Every row of the answer as texts (AsString), in answer order.
    Strings open(std::initializer_list<std::string> text)
    {
        TQuery q;
        lines(q, text);
        q.Open();
        return rowsOf(q);
    }

    static Strings rowsOf(TQuery& q)
    {
        Strings out;
        for (q.First(); !q.Eof(); q.Next()) {
            std::vector<std::string> row;
            for (int i = 0; i < q.FieldCount(); ++i)
                row.push_back(q.Fields()[i]->AsString());
            out.push_back(row);
        }
        return out;
    }

    int exec(std::initializer_list<std::string> text)
    {
        TQuery q;
        lines(q, text);
        q.ExecSQL();
        return q.RowsAffected();
    }

    std::string bytes(const std::string& name) const
    {
        std::ifstream in(path(name), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    // The enterprise tables of report 1, small.
    void enterprises()
    {
        table("kfq_1.db",
              {A("Id", 9), A("QA01", 6), A("qa02", 1), A("QA03", 10), A("QA04", 40), A("qb03", 4), A("qb07", 1),
               A("qb11", 1), A("qb15", 6), F("qc05", FieldType::Float), F("qc02", FieldType::Float),
               F("qd01", FieldType::Smallint), F("qa_one", FieldType::Smallint)},
              {
                  {std::string("100001"), std::string("100001"), std::string("1"), std::string("A1"),
                   std::string("甲公司"), std::string("0611"), std::string("1"), std::string("1"), {}, 6000.0,
                   10.0, std::int64_t{50}, std::int64_t{1}},
                  {std::string("100002"), std::string("100002"), std::string("2"), std::string("A2"),
                   std::string("乙公司"), std::string("4699"), std::string("2"), {}, std::string("600001"),
                   5000.0, 20.0, std::int64_t{7}, std::int64_t{1}},
                  {std::string("100003"), std::string("100003"), std::string("1"), std::string("A3"),
                   std::string("丙公司"), std::string("0599"), {}, std::string("1"), {}, 200000.0, 30.0,
                   std::int64_t{900}, std::int64_t{1}},
                  {std::string("100004"), std::string("100004"), std::string("2"), std::string("A4"),
                   std::string("丁公司"), std::string("6010"), std::string("1"), {}, {}, 4000.0, 40.0,
                   std::int64_t{3}, std::int64_t{1}},
              },
              {"Id"}, {{"kfq_13", {"QA03"}, false, true, true}});
        table("kfq_2.db", {A("QA01", 6), A("QE01", 2), F("qe_one", FieldType::Smallint), F("QE14", FieldType::Float)},
              {{std::string("100001"), std::string("01"), std::int64_t{1}, 5.0},
               {std::string("100001"), std::string("02"), std::int64_t{1}, 7.5},
               {std::string("100003"), std::string("01"), std::int64_t{1}, 1.0}});
    }

    fs::path dir_;
};

// ---- the check ------------------------------------------------------------------------------------------

TEST_F(SqlQuery, CodeListBatchesKeepTheValuesOutsideEveryBatch)
{
    enterprises();
    table("tmp_r.DB", {A("编号", 10), A("字段值", 10)});
    // First batch on the data table, later batch on the scratch table with the previous violations.
    EXPECT_EQ(open({"select QA01 编号,qb03 字段值 from \"kfq_1.db\" where not (qb03='0611' or qb03='4699')"}),
              (Strings{{"100003", "0599"}, {"100004", "6010"}}));
    exec({"insert into tmp_r.DB select QA01,qb03 from \"kfq_1.db\" where not (qb03='0611' or qb03='4699')"});
    EXPECT_EQ(open({"select 编号,字段值 from tmp_r.db where not (字段值='6010')"}), (Strings{{"100003", "0599"}}));
}

TEST_F(SqlQuery, AnswerStaysWhenItsSourceIsEmptied)
{
    table("tmp_r.DB", {A("编号", 10), A("字段值", 10)}, {{std::string("1"), std::string("x")}});
    TQuery q;
    lines(q, {"select * from tmp_r.DB"});
    q.Open();
    EXPECT_EQ(exec({"delete from tmp_r.DB"}), 1);
    EXPECT_EQ(rowsOf(q), (Strings{{"1", "x"}}));
    EXPECT_EQ(open({"select * from tmp_r.DB"}), Strings{});
}

// The windows reuse one query: clearing its lines and opening it again must run the new statement.
TEST_F(SqlQuery, NewLinesOnAnOpenQueryRunTheNewStatement)
{
    table("tmp_r.DB", {A("编号", 10), A("字段值", 10)},
          {{std::string("1"), std::string("x")}, {std::string("2"), std::string("y")}});
    TQuery q;
    lines(q, {"select 编号 from tmp_r.DB where 字段值='x'"});
    q.Open();
    lines(q, {"select 编号 from tmp_r.DB where 字段值='y'"});
    EXPECT_FALSE(q.Active());
    q.Open();
    EXPECT_EQ(rowsOf(q), (Strings{{"2"}}));
}

class SqlResultTable : public SqlQuery {
protected:
    void SetUp() override
    {
        SqlQuery::SetUp();
        table("kfq_r.db", {A("编号", 10), A("字段值", 10), A("字段名", 10), A("错误信息", 80), A("状态", 4), A("序号", 10)},
              {{std::string("100002"), std::string("x"), std::string("qb03"), std::string("m1"), std::string("错误"), {}},
               {std::string("100001"), std::string("y"), {}, {}, {}, {}},
               {std::string("100003"), std::string("z"), {}, {}, {}, {}},
               {{}, std::string("0"), std::string("qj25"), std::string("m"), std::string("警告"), {}},
               {{}, std::string("0"), std::string("qb03"), std::string("m"), std::string("警告"), {}}});
    }
};

TEST_F(SqlResultTable, StampFillsOnlyTheRowsWithoutFieldName)
{
    EXPECT_EQ(exec({"update kfq_r.db set 字段名='qc05',错误信息='总收入不能为负',状态='警告' where 字段名 IS NULL"}), 2);
    EXPECT_EQ(open({"select 编号,字段名,状态 from kfq_r.db where 错误信息='总收入不能为负'"}),
              (Strings{{"100001", "qc05", "警告"}, {"100003", "qc05", "警告"}}));
    EXPECT_EQ(exec({"update kfq_r.db set 字段名='x' where 字段名 IS NULL"}), 0);
}

TEST_F(SqlResultTable, WritesStoreTextAsTheTableDoes)
{
    // Trailing blanks go, empty text is null, text longer than the field is cut to its size.
    exec({"update kfq_r.db set 序号='  ',错误信息='ab  ',字段名='SUBSTRING(qb03 FROM 1 FOR 2)' where 编号='100001'"});
    EXPECT_EQ(open({"select 错误信息,字段名 from kfq_r.db where 编号='100001' and 序号 is null"}),
              (Strings{{"ab", "SUBSTRING("}}));
}

TEST_F(SqlResultTable, CleanUpDeletesOnlyKeylessRowsOfTheNamedFields)
{
    EXPECT_EQ(exec({"delete from kfq_r.db where 编号 is null and (字段名='qj25' or 字段名='qj26' or 字段名='qj27' or "
                    "字段名='qj01')"}),
              1);
    EXPECT_EQ(open({"select count(*) n from kfq_r.db"}), (Strings{{"4"}}));
}

TEST_F(SqlResultTable, SortsByStatusDescendingInGbkOrderThenKey)
{
    exec({"update kfq_r.db set 状态='OK' where 字段名 is null"});
    const Strings rows = open({"select * from kfq_r.db order by 状态 desc,编号"});
    ASSERT_EQ(rows.size(), 5u);
    // 警 (BEAF) sorts above 错 (B4ED) in GBK, both above the ASCII "OK"; empty keys first within a status.
    std::vector<std::string> order;
    for (const auto& r : rows)
        order.push_back(r[4] + ":" + r[0]);
    EXPECT_EQ(order, (std::vector<std::string>{"警告:", "警告:", "错误:100002", "OK:100001", "OK:100003"}));
}

TEST_F(SqlResultTable, SendListRowsAreReplacedWithDoubleQuotedLiterals)
{
    table("sendname.db", {F("id", FieldType::Integer), A("name", 40), A("text", 100)},
          {{std::int64_t{2}, std::string("kfq_1.db"), std::string("old")},
           {std::int64_t{1}, std::string("kfq_r.db"), std::string("old")}});
    for (int run = 0; run < 2; ++run) {
        exec({"delete from sendname.db where id=2 and name=\"kfq_1.db\""});
        exec({"insert into sendname.db (id,name,text) values (2,\"kfq_1.db\",'企业基本情况')"});
        exec({"delete from sendname.db where id=1 and name='kfq_r.db'"});
        exec({"insert into sendname.db (id,name,text) values (1,'kfq_r.db','校验结果')"});
    }
    EXPECT_EQ(open({"select id,name,text from sendname.db order by id"}),
              (Strings{{"1", "kfq_r.db", "校验结果"}, {"2", "kfq_1.db", "企业基本情况"}}));
    // The entry window's fixed statement.
    EXPECT_EQ(exec({"delete from sendname.db where name='kfq_1.db' or name='kfq_2.db' or name='kfq_5.db' or "
                    "name='kfq_6.db' or name='kfq_r.db'"}),
              2);
}

TEST_F(SqlQuery, JoinRuleAnswerSavedAndReread)
{
    enterprises();
    TQuery q;
    lines(q, {"select a.QA01 编号,sum(b.QE14) 产品产值 from \"kfq_1.db\" a left join \"kfq_2.db\" b on a.qa01=b.qa01 "
              "group by a.QA01"});
    q.Open();
    ASSERT_EQ(q.FieldCount(), 2);
    EXPECT_EQ(q.Fields()[0]->Desc(), (FieldDesc{"编号", FieldType::String, 6, false}));
    EXPECT_EQ(q.Fields()[1]->DataType(), FieldType::Float);
    // Saved as tmp.db the way a table is created from an answer, then read by the rule's second select.
    db::TableSchema s;
    db::Rows rows;
    for (int i = 0; i < q.FieldCount(); ++i)
        s.fields.push_back(q.Fields()[i]->Desc());
    for (q.First(); !q.Eof(); q.Next())
        rows.push_back({q.Fields()[0]->Value(), q.Fields()[1]->Value()});
    db::CreateTableFile(path("tmp.db"), s, rows);
    EXPECT_EQ(open({"select 编号,产品产值 from tmp.db where (产品产值>5 or 产品产值 is null)"}),
              (Strings{{"100001", "12.5"}, {"100002", ""}, {"100004", ""}}));
}

// ---- report-number check before import -----------------------------------------------------------------

TEST_F(SqlQuery, RenumberingCopiesAndFindingCollisions)
{
    enterprises();
    fs::copy_file(path("kfq_1.db"), path("tmp/kfq_1.db"));
    fs::copy_file(path("kfq_2.db"), path("tmp/kfq_2.db"));
    EXPECT_EQ(open({"select qa01 原报表编号,qa01 修改后编号,qa03 法人代码,qa04 企业名称 from tmp\\kfq_1"}).size(), 4u);
    for (const char* n : {"1", "2"})
        exec({std::string("update \"tmp\\kfq_") + n + ".db\" set qa01=\"100009\" where qa01=\"100001\""});
    EXPECT_EQ(open({"select qa01 from tmp\\kfq_2.db where qa01='100009'"}).size(), 2u);
    // 100009 now has the legal-person code of 100001: one collision; 100002 collides with nothing.
    const Strings hits = open({"select b.qa01 原报表编号,b.qa01 修改后编号,b.qa03 法人代码,b.qa04 企业名称 from "
                               "\"kfq_1.db\" a,tmp\\kfq_1.db b where ((a.qa03=b.qa03) and (a.qa01!=b.qa01)) or "
                               "((a.qa03!=b.qa03) and (a.qa01=b.qa01))"});
    EXPECT_EQ(hits, (Strings{{"100009", "100009", "A1", "甲公司"}}));
    // The system's own tables are untouched.
    EXPECT_EQ(open({"select count(*) from kfq_1.db where qa01='100001'"}), (Strings{{"1"}}));
}

// ---- query builder and print builders ------------------------------------------------------------------

struct BuilderCase {
    const char* name;
    std::vector<std::string> lines;
    Strings rows;
};

void PrintTo(const BuilderCase& c, std::ostream* os) { *os << c.name; }

class SqlBuilders : public SqlQuery, public testing::WithParamInterface<BuilderCase> {};

TEST_P(SqlBuilders, GiveTheRows)
{
    enterprises();
    table("gjxm.db", {A("jb00", 6), A("is_chge", 1), F("gj_one", FieldType::Smallint), F("JC100", FieldType::Float)},
          {{std::string("1"), std::string("1"), std::int64_t{1}, 10.0},
           {std::string("2"), std::string("2"), std::int64_t{1}, 5.0},
           {std::string("3"), {}, std::int64_t{1}, 100.0}});
    TQuery q;
    q.DatabaseName = dir_.string();
    for (const auto& l : GetParam().lines)
        q.SQL.Add(l);
    q.Open();
    EXPECT_EQ(rowsOf(q), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, SqlBuilders,
    testing::Values(
        BuilderCase{"QueryWithJoinAndSort",
                    {"select a.QA01 报表编号", ",b.QE01 产品", " from \"kfq_1.db\" a,\"kfq_2.db\" b",
                     " where(a.QA01=b.QA01)", " and (a.qc05>5000)", " order by 报表编号", " desc", ",产品"},
                    {{"100003", "01"}, {"100001", "01"}, {"100001", "02"}}},
        BuilderCase{"StatisticsSpreadOverLines",
                    {"select qa02 范围", ",sum(", "qc05) 总收入合计", ",sum(qd01) 人数合计", " from \"kfq_1.db\"",
                     " group by qa02"},
                    {{"1", "206000", "950"}, {"2", "9000", "10"}}},
        BuilderCase{"FilterWithTwoBlanks",
                    {"select sum(", "JC100) 计划总投资合计", " from \"gjxm.db\"", " where  (is_chge=\"1\" or is_chge=\"2\")"},
                    {{"15"}}},
        BuilderCase{"IndustrialList",
                    {"select qa01 报表编号", ",qa04 企业名称", ",qc05 总收入",
                     " from \"kfq_1.db\" where qc05>=5000 and SUBSTRING(qb03 FROM 1 FOR 2)>=\"06\" and "
                     "SUBSTRING(qb03 FROM 1 FOR 2)<=\"46\" order by qc05 desc"},
                    {{"100001", "甲公司", "6000"}, {"100002", "乙公司", "5000"}}},
        BuilderCase{"ServiceList",
                    {"select qa01 报表编号", " from \"kfq_1.db\" where SUBSTRING(qb03 FROM 1 FOR 2)=\"60\" or "
                     "SUBSTRING(qb03 FROM 1 FOR 2)=\"61\" order by qc05 desc"},
                    {{"100004"}}},
        BuilderCase{"ListedEnterprises", {"select qa01 报表编号", " from \"kfq_1.db\" where qb15<>' ' order by qc05 desc"},
                    {{"100002"}}},
        BuilderCase{"CountsOfTheSummary",
                    {"select count(qa02) 政策区企业数 from \"kfq_1.db\" where qa02='1'"}, {{"2"}}},
        BuilderCase{"CountOfRowsOutsideTheZone",
                    {"select count(*) 区外企业数 from \"kfq_1.db\" where qb07='2' or qb07 is null"}, {{"2"}}},
        BuilderCase{"NationalSummary",
                    {"select sum(gj_one) 国家级项目数", ",sum(JC100) 计划总投资", "from \"gjxm.db\"",
                     "where  (is_chge='1' or is_chge='2')"},
                    {{"2", "15"}}},
        BuilderCase{"ZoneSummaryWithAlias",
                    {"select sum(a.qa_one) 企业数", ",sum(a.QC02) 工业总产值", " from \"kfq_1.db\" a"}, {{"4", "100"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SqlQuery, ProductOfFourOneRowTables)
{
    table("kfq1hz.db", {F("企业数", FieldType::Float), F("总收入", FieldType::Float)}, {{4.0, 215000.0}});
    table("kfq2hz.db", {F("产品数", FieldType::Float)}, {{3.0}});
    table("kfq3hz.db", {F("项目数", FieldType::Float)}, {{{}}});
    table("kfq4hz.db", {F("政策区企业数", FieldType::Integer), F("认定数", FieldType::Integer)},
          {{std::int64_t{2}, std::int64_t{2}}});
    TQuery q;
    lines(q, {"select * from kfq1hz.db,kfq2hz.db,kfq3hz.db,kfq4hz.db"});
    q.Open();
    std::vector<std::string> names;
    for (int i = 0; i < q.FieldCount(); ++i)
        names.push_back(q.Fields()[i]->FieldName());
    EXPECT_EQ(names, (std::vector<std::string>{"企业数", "总收入", "产品数", "项目数", "政策区企业数", "认定数"}));
    EXPECT_EQ(rowsOf(q), (Strings{{"4", "215000", "3", "", "2", "2"}}));
}

TEST_F(SqlQuery, DivisionOfIntegerFieldsIsNotTruncated)
{
    enterprises();
    // qd01 and qa_one are small integers: 7/2 must be 3.5, and 3 - 7/2 negative.
    EXPECT_EQ(open({"select qd01/2 半, 3-qd01/2*qa_one 差 from kfq_1.db where QA01='100002'"}),
              (Strings{{"3.5", "-0.5"}}));
}

// MOD takes whole numbers (fractions dropped, a text read as the number it begins with), keeps the sign of the
// dividend, and is empty for a zero divisor or an empty operand.
TEST_F(SqlQuery, ModIsTheRemainderOfWholeNumbers)
{
    table("m.db", {A("k", 2), F("a", FieldType::Float), F("b", FieldType::Smallint), A("t", 10)},
          {{std::string("1"), 29.0, std::int64_t{11}, std::string("12345678-9")},
           {std::string("2"), -29.0, std::int64_t{11}, std::string("7")},
           {std::string("3"), 7.9, std::int64_t{2}, std::string("x")},
           {std::string("4"), 5.0, std::int64_t{0}, {}},
           {std::string("5"), {}, std::int64_t{3}, std::string("0X9")}});
    EXPECT_EQ(open({"select k,mod(a,b) r,mod(t,10) d,mod(a+b*2,5) e from m.db order by k"}),
              (Strings{{"1", "7", "8", "1"}, {"2", "-7", "7", "-2"}, {"3", "1", "0", "1"}, {"4", "", "", "0"},
                       {"5", "", "0", ""}}));
}

TEST_F(SqlQuery, SumsOfAnEmptyTableAreEmptyAndCountsZero)
{
    enterprises();
    exec({"delete from \"kfq_1.db\""});
    EXPECT_EQ(open({"select sum(qa_one) 企业数,count(qa02) 政策区企业数 from \"kfq_1.db\""}), (Strings{{"", "0"}}));
    EXPECT_EQ(open({"select qa01 报表编号 from \"kfq_1.db\" where qc05>=5000"}), Strings{});
}

// ---- answer columns for saving -------------------------------------------------------------------------

TEST_F(SqlQuery, AnswerColumnsCarryTypeAndSize)
{
    table("t.db",
          {A("qa01", 6), A("qa04", 40), F("qc05", FieldType::Float), F("qd01", FieldType::Smallint),
           F("qb04", FieldType::Date), F("ok", FieldType::Boolean)},
          {{std::string("100001"), std::string("某某科技有限公司"), 1.5, std::int64_t{3}, db::Date{2009, 3, 1},
            std::int64_t{1}},
           {std::string("100002"), std::string("乙"), 2.0, std::int64_t{4}, {}, std::int64_t{0}}});
    TQuery q;
    lines(q, {"select qa01 报表编号,qc05,qd01 人数,qb04,ok,count(*) n,sum(qd01) s,'abc' lit,"
              "SUBSTRING(qa04 FROM 1 FOR 4) 名,qa01 || qa04 合,max(x.qb04) 最近,min(qa01) 最小 from t.db x "
              "group by qa01"});
    q.Open();
    std::vector<FieldDesc> got;
    for (int i = 0; i < q.FieldCount(); ++i)
        got.push_back(q.Fields()[i]->Desc());
    EXPECT_EQ(got, (std::vector<FieldDesc>{
                       A("报表编号", 6), F("qc05", FieldType::Float), F("人数", FieldType::Smallint),
                       F("qb04", FieldType::Date), F("ok", FieldType::Boolean), F("n", FieldType::Integer),
                       F("s", FieldType::Float), A("lit", 3), A("名", 4), A("合", 14), F("最近", FieldType::Date),
                       A("最小", 6)}));
    q.First();
    EXPECT_EQ(q.FieldByName("qb04")->AsString(), "2009-03-01");
    EXPECT_EQ(q.FieldByName("QB04")->Value(), db::Variant(db::Date{2009, 3, 1}));
    EXPECT_FALSE(q.CanModify());
}

TEST_F(SqlQuery, SelectStarKeepsTheFieldsOfTheFile)
{
    const std::vector<FieldDesc> fields{A("字段名", 81), A("字段1", 81), A("字段2", 81)};
    table("hljh.db", fields, {{std::string("qa01"), std::string("100001"), std::string("100002")}});
    TQuery q;
    lines(q, {"Select * from hljh.db"});
    q.Open();
    std::vector<FieldDesc> got;
    for (int i = 0; i < q.FieldCount(); ++i)
        got.push_back(q.Fields()[i]->Desc());
    EXPECT_EQ(got, fields);
    EXPECT_THROW(q.Edit(), EDatabaseError);  // answers are read-only
}

TEST_F(SqlQuery, CodeBatchOf202TermsRuns)
{
    enterprises();
    std::string text = "select QA01 编号,qb03 字段值 from \"kfq_1.db\" where not (qb03='c0'";
    for (int i = 1; i < 201; ++i)
        text += " or qb03='c" + std::to_string(i) + "'";
    text += " or qb03='0611')";
    EXPECT_EQ(open({text}).size(), 3u);
}

TEST_F(SqlQuery, RepeatedColumnNamesAreMadeUnique)
{
    enterprises();
    TQuery q;
    lines(q, {"select a.qa01, b.qa01 from kfq_1.db a, kfq_2.db b where a.qa01=b.qa01"});
    q.Open();
    ASSERT_EQ(q.FieldCount(), 2);
    EXPECT_EQ(q.Fields()[0]->FieldName(), "QA01");
    EXPECT_EQ(q.Fields()[1]->FieldName(), "QA01_1");
}

TEST_F(SqlQuery, DbaseFileIsReadAndWrittenBack)
{
    db::TableSchema s;
    s.fields = {A("CODE", 6), F("N", FieldType::Float)};
    db::dbf::Write(path("x.dbf"), s, {{std::string("a"), 1.0}, {std::string("b"), 2.0}});
    EXPECT_EQ(exec({"update x.dbf set N=N*10 where CODE='b'"}), 1);
    const db::dbf::Table t = db::dbf::Read(path("x.dbf"));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1][1], db::Variant(20.0));
    EXPECT_EQ(open({"select sum(N) from x.dbf"}), (Strings{{"21"}}));
}

// ---- statements beside open tables ---------------------------------------------------------------------

TEST_F(SqlQuery, StatementSeesStoredRowsAndOpenTablesSeeItsChanges)
{
    table("sendname.db", {F("id", FieldType::Integer), A("name", 40), A("text", 100)});
    TTable t;
    t.DatabaseName = dir_.string();
    t.SetTableName("sendname.db");
    t.Open();
    t.Append();
    t.FieldByName("id")->SetAsInteger(2);
    t.FieldByName("name")->SetAsString("kfq_1.db");
    t.Post();
    EXPECT_EQ(open({"select name from sendname.db where id=2"}), (Strings{{"kfq_1.db"}}));
    EXPECT_EQ(exec({"delete from sendname.db where name='kfq_1.db'"}), 1);
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(SqlQuery, AnswerSavedWithBatchMoveIntoATableCreatedFromItsFields)
{
    enterprises();
    TQuery q;
    lines(q, {"select qa01 报表编号,qa04 企业名称,qc05 总收入,count(*) 数 from \"kfq_1.db\" group by qa01,qa04,qc05"});
    q.Open();
    TTable t;
    t.DatabaseName = dir_.string();
    t.SetTableName("gyqy.db");
    for (int i = 0; i < q.FieldCount(); ++i) {
        const auto& d = q.Fields()[i]->Desc();
        t.FieldDefs.Add(d.name, d.type, d.size);
    }
    t.CreateTable();
    t.BatchMove(&q, TBatchMode::batAppend);
    EXPECT_EQ(open({"select * from gyqy.db order by 总收入 desc"}),
              (Strings{{"100003", "丙公司", "200000", "1"},
                       {"100001", "甲公司", "6000", "1"},
                       {"100002", "乙公司", "5000", "1"},
                       {"100004", "丁公司", "4000", "1"}}));
}

// ---- bad input -----------------------------------------------------------------------------------------

struct BadCase {
    const char* name;
    const char* text;
    const char* message;  // a part of the message
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class SqlBadInput : public SqlQuery, public testing::WithParamInterface<BadCase> {};

TEST_P(SqlBadInput, FailsClearlyAndChangesNoFile)
{
    enterprises();
    table("sendname.db", {F("id", FieldType::Integer), A("name", 40), A("text", 100), F("日期", FieldType::Date)},
          {{std::int64_t{2}, std::string("kfq_1.db"), std::string("t"), db::Date{2009, 1, 5}}});
    const std::string before1 = bytes("kfq_1.db"), beforeSend = bytes("sendname.db");
    TQuery q;
    lines(q, {GetParam().text});
    try {
        q.ExecSQL();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find(GetParam().message), std::string::npos) << e.Message;
    }
    EXPECT_EQ(bytes("kfq_1.db"), before1);
    EXPECT_EQ(bytes("sendname.db"), beforeSend);
    EXPECT_FALSE(fs::exists(path("kfq_9.db")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SqlBadInput,
    testing::Values(
        BadCase{"SyntaxError", "delete from sendname.db where id=2 and", "（第 1 行第 39 列）"},
        BadCase{"SyntaxErrorSeenBySqlite", "update sendname.db set id=2 where name = = 'x'", "（第 1 行第 42 列）"},
        BadCase{"UnknownTable", "delete from kfq_9.db where id=2", "数据表“kfq_9.db”不存在"},
        BadCase{"UnknownTableInSource", "insert into sendname.db select * from kfq_9", "数据表“kfq_9.db”不存在"},
        BadCase{"UnknownColumn", "update \"kfq_1.db\" set qa04='x' where qa99='1'", "SQL 语句有误：no such column: qa99（第 1 行第 38 列）"},
        BadCase{"TooManyFiles",
                "insert into sendname.db select id,name,text from sendname.db,a1,a2,a3,a4,a5,a6,a7,a8,a9,a10",
                "more than 10 table files"},
        BadCase{"KeyViolation", "insert into \"kfq_1.db\" (Id,QA01) select Id,QA01 from \"kfq_1.db\"", "Key violation."},
        BadCase{"BlankKeyCountsAsOneValue", "insert into kfq_1.db (QA01) select QA01 from kfq_2.db", "Key violation."},
        BadCase{"UniqueSecondaryIndex", "update kfq_1.db set QA03='A1' where QA01='100002'",
                "Key violation in unique index kfq_13."},
        BadCase{"UniqueSecondaryIndexWithBlanks", "update kfq_1.db set QA03=null", "Key violation in unique index kfq_13."},
        BadCase{"TextInNumericField", "update kfq_1.db set qc05='abc' where QA01='100002'",
                "kfq_1.db”：字段“qc05”的值不是有效的数值"},
        BadCase{"TextComparedWithNumericField", "delete from kfq_1.db where qc05 > 'abc'",
                "字段“qc05”是数值，不能与文字“abc”比较"},
        BadCase{"EmptyTextComparedWithNumericField",
                "insert into sendname.db (id) select qd01 from kfq_1.db a where \"\" <> a.qd01",
                "字段“qd01”是数值，不能与文字“”比较"},
        BadCase{"NotADate", "update sendname.db set 日期='2009-1-5'", "sendname.db”：字段“日期”的值不是有效的日期"}),
    [](const auto& info) { return std::string(info.param.name); });

// A number written as a string compares with a numeric field as the number; a text field takes any string.
TEST_F(SqlQuery, StringsThatSuitTheFieldCompare)
{
    enterprises();
    EXPECT_EQ(open({"select a.QA01 from kfq_1.db a where a.qc02 >= \" 30 \" and qa04 <> '5' and qb03 > '0600'"}),
              (Strings{{"100004"}}));
}

TEST_F(SqlQuery, OpenNamesTheLineAndColumnOfAFault)
{
    enterprises();
    struct {
        std::vector<std::string> lines;
        const char* message;
    } cases[] = {
        {{"select qa01 报表编号", ",qa99 企业名称", " from \"kfq_1.db\""}, "no such column: qa99（第 2 行第 2 列）"},
        {{"select qa01 报表编号", " from \"kfq_1.db\"", " where  (is_chge='1' or is_chge='2')"},
         "no such column: is_chge（第 3 行第 10 列）"},
        {{"select sum(", "qc05) 总收入合计", " from \"kfq_1.db\"", " group by"}, "group list expected（第 4 行第 10 列）"},
        {{"select nosuch(qc05) x from kfq_1.db"}, "no such function: nosuch（第 1 行第 8 列）"},
    };
    for (const auto& c : cases) {
        TQuery q;
        q.DatabaseName = dir_.string();
        for (const auto& l : c.lines)
            q.SQL.Add(l);
        try {
            q.Open();
            ADD_FAILURE() << "no error for " << q.SQL.Text();
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message.find(c.message), std::string::npos) << e.Message;
        }
        EXPECT_FALSE(q.Active());
    }
}

TEST_F(SqlQuery, OpenRefusesAModifyingStatementWithoutRunningIt)
{
    enterprises();
    const std::string before = bytes("kfq_2.db");
    TQuery q;
    lines(q, {"delete from kfq_2.db"});
    EXPECT_THROW(q.Open(), EDatabaseError);
    EXPECT_EQ(bytes("kfq_2.db"), before);
}

TEST(TStrings, TextJoinsAndSplitsLines)
{
    TStrings s;
    s.Add("select a");
    s.Add(" from t");
    EXPECT_EQ(s.Text(), "select a\n from t");
    s.SetText("x\r\ny\nz");
    EXPECT_EQ(s.Lines(), (std::vector<std::string>{"x", "y", "z"}));
}

}  // namespace
