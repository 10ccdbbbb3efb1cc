// The summary and list builders over sample reports, checked against sums, counts and selections computed here
// from the report tables themselves, record by record; edge enterprises sit at every boundary of a selection.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "PrintFixture.h"
#include "app/Main.h"
#include "print/BuilderStatements.h"
#include "print/Report.h"

namespace {

using namespace printtest;

// The field a sum column adds up: "sum(a.QC02)" -> "QC02".
std::string SummedField(const print::Column& c)
{
    std::string inner = c.expr.substr(4, c.expr.size() - 5);
    const auto dot = inner.find('.');
    return dot == std::string::npos ? inner : inner.substr(dot + 1);
}

// A record's field, looked up without regard to case as the engine does.
std::string Field(const Record& r, const std::string& name)
{
    for (const auto& [k, v] : r) {
        if (k.size() == name.size() && std::equal(k.begin(), k.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            })) {
            return v;
        }
    }
    throw std::runtime_error("no field " + name);
}

std::string Division(const Record& r) { return Field(r, "qb03").substr(0, 2); }

class Builders : public PrintTest {
protected:
    void SetUp() override
    {
        PrintTest::SetUp();
        // Enterprises at the boundaries of every selection, next to the sample ones.
        AppendRecords("kfq_1.db", {
                                      Edge("900001", "0512", "9000", "", "1", "1"),   // division 05: in no list
                                      Edge("900002", "4701", "9000", "", "1", "2"),   // division 47: in no list
                                      Edge("900003", "0601", "5000", "", "", "1"),    // industrial at the threshold
                                      Edge("900004", "4699", "5000", " ", "2", ""),   // blank listing code
                                      Edge("900005", "4612", "4999.9", "01", "", "1"),  // just below; listed
                                      Edge("900006", "7710", "100000", "", "2", "1"),  // service, large
                                  });
        StartProgram();
        Application->CreateForm(&F_report);
    }

    static Record Edge(const std::string& no, const std::string& industry, const std::string& income,
                       const std::string& listing, const std::string& entry, const std::string& certified)
    {
        return {{"Id", "E" + no},    {"QA01", no},         {"QA03", "T" + no},  {"QA04", "边界企业" + no},
                {"QA02", "1"},       {"QB03", industry},    {"QC05", income},    {"QB15", listing},
                {"QB07", entry},     {"QB11", certified},   {"QD01", "12"},      {"QC12", "3.5"},
                {"Qa_one", "1"}};
    }
};

struct ListCase {
    const char* name;
    std::function<void(TF_report&)> build;
    const char* output;
    std::function<bool(const Record&)> selected;
};

// Each list holds exactly the enterprises its rule selects, by total income descending, with their values.
TEST_F(Builders, ListsSelectTheirEnterprisesByTotalIncomeDescending)
{
    const ListCase cases[] = {
        {"industrial", [](TF_report& r) { r.BuildIndustrialList(); }, "gyqy.db",
         [](const Record& e) {
             return Number(Field(e, "qc05")) >= 5000 && Division(e) >= "06" && Division(e) <= "46";
         }},
        {"service", [](TF_report& r) { r.BuildServiceList(); }, "fwqy.db",
         [](const Record& e) {
             const std::set<std::string> divisions{"60", "61", "62", "75", "76", "77"};
             return divisions.count(Division(e)) > 0;
         }},
        {"large", [](TF_report& r) { r.BuildLargeEnterpriseList(1); }, "dqy.db",
         [](const Record& e) { return Number(Field(e, "qc05")) >= 100000; }},
        {"listed", [](TF_report& r) { r.BuildLargeEnterpriseList(2); }, "dqy.db",
         [](const Record& e) { return !Field(e, "qb15").empty() && Field(e, "qb15") != " "; }},
    };
    const auto enterprises = ReadTable("kfq_1.db");
    std::map<std::string, Record> byNumber;
    for (const Record& e : enterprises) {
        byNumber[Field(e, "qa01")] = e;
    }
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.build(*F_report);
        std::multiset<std::string> expected, got;
        for (const Record& e : enterprises) {
            if (c.selected(e)) {
                expected.insert(Field(e, "qa01"));
            }
        }
        const auto rows = ReadTable(c.output);
        double previous = 1e300;
        for (const Record& row : rows) {
            got.insert(row.at("报表编号"));
            const Record& source = byNumber.at(row.at("报表编号"));
            EXPECT_EQ(row.at("企业名称"), Field(source, "qa04"));
            EXPECT_EQ(Number(row.at("总收入")), Number(Field(source, "qc05")));
            EXPECT_LE(Number(row.at("总收入")), previous);
            previous = Number(row.at("总收入"));
        }
        EXPECT_EQ(got, expected);
        EXPECT_FALSE(expected.empty());
    }
    // The boundaries, by name.
    const auto industrial = ReadTable("gyqy.db");
    const auto has = [](const std::vector<Record>& rows, const std::string& no) {
        return std::any_of(rows.begin(), rows.end(), [&](const Record& r) { return r.at("报表编号") == no; });
    };
    EXPECT_TRUE(has(industrial, "900003"));
    EXPECT_TRUE(has(industrial, "900004"));
    EXPECT_FALSE(has(industrial, "900001"));
    EXPECT_FALSE(has(industrial, "900002"));
    EXPECT_FALSE(has(industrial, "900005"));
    EXPECT_TRUE(has(ReadTable("fwqy.db"), "900006"));
    const auto listed = ReadTable("dqy.db");
    EXPECT_TRUE(has(listed, "900005"));
    EXPECT_FALSE(has(listed, "900004"));
}

struct SumCase {
    const char* name;
    std::function<void(TF_report&)> build;
    const print::Statement* statement;
    const char* source;
    std::function<bool(const Record&)> take;
};

// Every column of a summary is the sum of its field over the records its statement takes.
TEST_F(Builders, SummariesSumEveryColumnOverTheirRecords)
{
    const SumCase cases[] = {
        {"zone", [](TF_report& r) { r.BuildZoneSummary(); }, &print::ZoneSums()[0], "kfq_1.db", {}},
        {"products", [](TF_report& r) { r.BuildZoneSummary(); }, &print::ZoneSums()[1], "kfq_2.db", {}},
        {"projects", [](TF_report& r) { r.BuildZoneSummary(); }, &print::ZoneSums()[2], "kfq_5.db", {}},
        {"software", [](TF_report& r) { r.BuildSoftwareSummary(); }, &print::SoftwareSummary(), "rjjdqy.db", {}},
        {"local", [](TF_report& r) { r.BuildLocalProjectSummary(); }, &print::LocalProjectSummary(), "dfxm2.db", {}},
        {"national", [](TF_report& r) { r.BuildNationalProjectSummary(); }, &print::NationalProjectSummary(),
         "gjxm.db", [](const Record& p) { return Field(p, "is_chge") == "1" || Field(p, "is_chge") == "2"; }},
    };
    for (const SumCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.build(*F_report);
        const auto source = ReadTable(c.source);
        const auto built = ReadTable(c.statement->output);
        ASSERT_EQ(built.size(), 1u);
        for (const print::Column& col : c.statement->columns) {
            const std::string field = SummedField(col);
            double expected = 0;
            for (const Record& r : source) {
                if (!c.take || c.take(r)) {
                    expected += Number(Field(r, field));
                }
            }
            EXPECT_NEAR(Number(built[0].at(col.alias)), expected, 1e-6 * std::max(1.0, std::abs(expected))) << col.alias;
        }
    }
    // The national summary leaves out the issued projects not entered yet, which the sample has.
    const auto projects = ReadTable("gjxm.db");
    EXPECT_LT(Number(ReadTable("gjhz.db")[0].at("国家级项目数")), static_cast<double>(projects.size()));
}

// The pairs of source field and alias as the paper forms print them: a swapped pair in the statements'
// data sums the right column under the wrong heading, which the column-by-column check cannot see.
TEST_F(Builders, SummaryColumnsSumTheFieldsTheirHeadingsName)
{
    struct Pair {
        const print::Statement* statement;
        const char* alias;
        const char* field;
    } pairs[] = {
        {&print::ZoneSums()[0], "总收入", "QC05"},
        {&print::ZoneSums()[0], "实际上缴税费总额", "QC13"},
        {&print::ZoneSums()[0], "年末所有者权益股东权益", "QC33"},
        {&print::ZoneSums()[0], "研究与试验发展支出1", "QJ24"},
        {&print::ZoneSums()[0], "科技项目内部支出", "Qj53"},
        {&print::ZoneSums()[2], "项目本年经费内部支出", "Qh12"},
        {&print::SoftwareSummary(), "软件技术收入", "KE130"},
        {&print::SoftwareSummary(), "有2_5年", "KE155"},
        {&print::LocalProjectSummary(), "自有资金", "JF1502"},
        {&print::LocalProjectSummary(), "国外资金", "JF1402"},
        {&print::NationalProjectSummary(), "落实资金", "JF100_2"},
    };
    for (const Pair& p : pairs) {
        const print::Column* c = p.statement->Find(p.alias);
        ASSERT_NE(c, nullptr) << p.alias;
        EXPECT_EQ(SummedField(*c), p.field) << p.alias;
    }
}

// The counts of the enterprise summary, taken here record by record; an empty entry field counts as outside.
TEST_F(Builders, ZoneSummaryCountsAndJoinsItsPartsIntoOneRow)
{
    F_report->BuildZoneSummary();
    const auto firms = ReadTable("kfq_1.db");
    const auto count = [&](const std::function<bool(const Record&)>& take) {
        return std::to_string(std::count_if(firms.begin(), firms.end(), take));
    };
    const std::map<std::string, std::string> expected{
        {"政策区企业数", count([](const Record& r) { return Field(r, "qa02") == "1"; })},
        {"新建区企业数", count([](const Record& r) { return Field(r, "qa02") == "2"; })},
        {"区外企业数", count([](const Record& r) { return Field(r, "qb07") == "2" || Field(r, "qb07").empty(); })},
        {"进区数", count([](const Record& r) { return Field(r, "qb07") == "1"; })},
        {"认定数", count([](const Record& r) { return Field(r, "qb11") == "1"; })},
    };
    const auto counts = ReadTable("kfq4hz.db");
    ASSERT_EQ(counts.size(), 1u);
    const auto summary = ReadTable("qyhz.db");
    ASSERT_EQ(summary.size(), 1u);
    for (const auto& [alias, value] : expected) {
        EXPECT_EQ(counts[0].at(alias), value) << alias;
        EXPECT_EQ(summary[0].at(alias), value) << alias;
    }
    for (const char* table : {"kfq1hz.db", "kfq2hz.db", "kfq3hz.db"}) {
        const auto part = ReadTable(table);
        for (const auto& [field, value] : part.at(0)) {
            EXPECT_EQ(summary[0].at(field), value) << field;
        }
    }
    EXPECT_FALSE(F_main->Table1->Active());

    // A second run gives the same summary and still one count record.
    F_report->BuildZoneSummary();
    EXPECT_EQ(ReadTable("qyhz.db"), summary);
    EXPECT_EQ(ReadTable("kfq4hz.db").size(), 1u);
}

// Over empty report tables the lists are empty and each summary is one row of empty sums and zero counts.
TEST_F(Builders, EmptySourcesGiveEmptyListsAndOneRowSummaries)
{
    for (const char* t : {"kfq_1.db", "kfq_2.db", "kfq_5.db", "rjjdqy.db", "dfxm2.db", "gjxm.db"}) {
        EmptyTable(t);
    }
    F_report->BuildIndustrialList();
    F_report->BuildServiceList();
    F_report->BuildLargeEnterpriseList(2);
    for (const char* t : {"gyqy.db", "fwqy.db", "dqy.db"}) {
        EXPECT_TRUE(ReadTable(t).empty()) << t;
    }
    F_report->BuildZoneSummary();
    F_report->BuildSoftwareSummary();
    F_report->BuildLocalProjectSummary();
    F_report->BuildNationalProjectSummary();
    for (const char* t : {"qyhz.db", "rjqyhz.db", "dfhz.db", "gjhz.db"}) {
        const auto rows = ReadTable(t);
        ASSERT_EQ(rows.size(), 1u) << t;
        EXPECT_EQ(rows[0].at(t == std::string("qyhz.db") ? "总收入" : FieldNames(t)[0]), "") << t;
    }
    const auto counts = ReadTable("qyhz.db")[0];
    for (const auto& c : print::ZoneCounts()) {
        EXPECT_EQ(counts.at(c.alias), "0") << c.alias;
    }
}

}  // namespace
