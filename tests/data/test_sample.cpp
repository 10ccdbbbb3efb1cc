// The sample data generator on a fresh data folder: the same seed gives the same reports, every part stays within
// its total and the parts that make up a total add up to it, and every detail belongs to its master.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "DataFolder.h"
#include "Generator.h"
#include "platform/db/Query.h"

namespace {

class SampleTest : public DataFolderTest {
protected:
    void Fill(const std::string& folder, std::uint64_t seed, int enterprises = 40)
    {
        sample::Options o;
        o.seed = seed;
        o.enterprises = enterprises;
        sample::Generator(folder, o).run();
    }

    // Every row of a table as text, in browse order.
    std::vector<std::vector<std::string>> Rows(const std::filesystem::path& folder, const std::string& table)
    {
        TTable t;
        t.SetTableName((folder / table).string());
        t.Open();
        std::vector<std::vector<std::string>> out;
        for (t.First(); !t.Eof(); t.Next()) {
            auto& row = out.emplace_back();
            for (int i = 0; i < t.FieldCount(); ++i)
                row.push_back(t.Fields()[i]->AsString());
        }
        return out;
    }

    // Calls fn for every record of a table.
    template <class Fn>
    void ForEach(const std::string& table, Fn fn)
    {
        auto t = Open(table);
        for (t->First(); !t->Eof(); t->Next())
            fn(*t);
    }
};

double N(const TTable& t, const std::string& f) { return t.FieldByName(f)->AsFloat(); }
std::string S(const TTable& t, const std::string& f) { return t.FieldByName(f)->AsString(); }

TEST_F(SampleTest, SameSeedGivesTheSameReports)
{
    Fill(folder_.string(), 5);
    const auto second = tmp_ / "second";
    ASSERT_GT(db::datatext::BuildDataFolder(DataDir().string(), second.string()), 0);
    Fill(second.string(), 5);
    for (const char* table : {"kfq_1.db", "kfq_2.db", "kfq_5.db", "gjxm.db", "rjjdqy.db", "fhqzfqy.db", "gjxmqd.dbf"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(Rows(folder_, table), Rows(second, table));
    }
    Fill(second.string(), 6);  // refilling replaces the rows
    EXPECT_EQ(Rows(second, "kfq_1.db").size(), Rows(folder_, "kfq_1.db").size());
    EXPECT_NE(Rows(second, "kfq_1.db"), Rows(folder_, "kfq_1.db"));
}

// Parts never above their totals, and totals made of parts equal to their sum.
TEST_F(SampleTest, FiguresAddUp)
{
    Fill(folder_.string(), 3, 120);
    struct Case {
        const char* table;
        const char* total;
        std::vector<std::string> parts;
        bool exact;  // the parts make up the total; else each part is at most the total
    } cases[] = {
        {"kfq_1.db", "QC05", {"QC07", "QC06", "QC10", "QC49"}, true},
        {"kfq_1.db", "QC06", {"QC06_1", "QC06_2", "QC06_3", "QC06_4"}, false},
        {"kfq_1.db", "QC07", {"QC09", "QC42"}, false},
        {"kfq_1.db", "QC05", {"Qc55", "QC43", "QC12", "QC13", "QC22"}, false},
        {"kfq_1.db", "QC43", {"QC44"}, false},
        {"kfq_1.db", "Qc52", {"QC11"}, false},
        {"kfq_1.db", "QC11", {"QC38", "Qj82"}, false},
        {"kfq_1.db", "QC13", {"QC14", "QC15", "QC16", "QC17"}, false},
        {"kfq_1.db", "QC17", {"QC18", "QC19", "QC20", "Qc20_3"}, false},
        {"kfq_1.db", "QC24", {"QC31", "QC33"}, true},
        {"kfq_1.db", "QC24", {"QC25", "QC26", "QC27", "QC30"}, false},
        {"kfq_1.db", "QC27", {"QC28"}, false},
        {"kfq_1.db", "QC34", {"QC35", "QC45", "QC46", "QC47", "QC48", "QC36"}, true},
        {"kfq_1.db", "QD01", {"QD03", "QD18", "Qd23", "QD21", "QD14", "Qd24", "Qj09"}, false},
        {"kfq_1.db", "QD18", {"QD06", "QD07"}, true},
        {"kfq_1.db", "Qj09", {"Qj11", "Qj67", "Qj66", "Qj12", "Qj13", "Qj09_1", "Qj14"}, false},
        {"kfq_1.db", "Qj14", {"Qj14_1", "Qj14_2"}, true},
        {"kfq_1.db", "Qj15", {"Qj16", "Qj17", "Qj18", "Qj19", "Qj20", "Qj21"}, true},
        {"kfq_1.db", "Qj23", {"Qj23_1", "Qj23_2", "Qj23_3", "Qj23_4", "Qj23_5"}, true},
        {"kfq_1.db", "Qj23", {"Qj24", "Qj53", "Qj250"}, false},
        {"kfq_1.db", "Qj55", {"Qj56", "Qj74"}, false},
        {"kfq_1.db", "Qj74", {"Qj57", "Qj75"}, false},
        {"kfq_2.db", "QE15", {"QE16"}, false},
        {"kfq_5.db", "Qh08", {"Qh08_1", "Qh08_2", "Qh08_3"}, true},
        {"kfq_5.db", "Qh12", {"Qh12_1"}, false},
        {"gjxm.db", "JC100", {"JC110", "JC130", "JC150", "JC160"}, true},
        {"gjxm.db", "JC110", {"JC111"}, false},
        {"gjxm.db", "JF100_2", {"JF110_2", "JF130_2", "JF150_2", "JF160_2"}, true},
        {"gjxm.db", "JG20_2", {"JG21_2", "JG30_2", "JG40_2"}, false},
        {"gjxm.db", "JG900", {"JG910", "JG920", "JG90_2"}, false},
        {"kfqzh.db", "KC21", {"KC28", "KC29"}, true},
        {"kfqzh.db", "KB03", {"KB33", "KB03_1", "KB13"}, false},
        {"tzjg.db", "KZ20", {"KZ21", "KZ22", "KZ23", "KZ24"}, false},
        {"tzjg.db", "KZ14", {"KZ15"}, false},
        {"rjjd.db", "C200", {"C210", "C220", "C230", "C240", "C250"}, true},
        {"rjjdqy.db", "D200", {"D300", "D400", "D500", "D610", "D700"}, false},
        {"rjjdqy.db", "D300", {"D310", "D320", "D330", "D340"}, true},
        {"rjjdqy.db", "B100", {"B110", "B120", "B130", "B140", "B200"}, false},
        {"dx.db", "TDF8A00", {"TDF8A01", "TDF8A02", "TDF8A03", "TDF8A04"}, true},
        {"dxzfqy.db", "TDF8H300", {"TDF8H311", "TDF8H312", "TDF8H314", "TDF8H317"}, false},
        {"fhq.db", "TDF7B00", {"TDF7B01", "TDF7B04", "TDF7B02", "TDF7B03"}, true},
        {"fhq.db", "TDF7E00", {"TDF7E01", "TDF7E02", "TDF7E03", "TDF7E04"}, true},
        {"fhqzfqy.db", "TDF7K500", {"TDF7K502"}, false},
        {"tsjd.db", "TDF9B00", {"TDF9B01", "TDF9B05"}, false},
        {"sjgxq.db", "S05", {"S06", "S07", "S08"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.total);
        int rows = 0;
        ForEach(c.table, [&](TTable& t) {
            ++rows;
            double sum = 0;
            for (const auto& p : c.parts) {
                EXPECT_GE(N(t, p), 0) << p;
                EXPECT_LE(N(t, p), N(t, c.total)) << p;
                sum += N(t, p);
            }
            if (c.exact) {
                EXPECT_EQ(sum, N(t, c.total));
            }
        });
        EXPECT_GT(rows, 0);
    }
}

TEST_F(SampleTest, DetailsBelongToTheirMastersWithIdentities)
{
    Fill(folder_.string(), 11, 60);
    std::map<std::string, double> productSales, projectStaff, projectCount;
    ForEach("kfq_2.db", [&](TTable& t) {
        EXPECT_EQ(S(t, "ID"), S(t, "QA01") + S(t, "QE01"));
        EXPECT_EQ(N(t, "QE_ONE"), 1);
        productSales[S(t, "QA01")] += N(t, "QE15");
    });
    ForEach("kfq_5.db", [&](TTable& t) {
        EXPECT_EQ(S(t, "Id"), S(t, "Qa01") + S(t, "Qh00"));
        EXPECT_LE(S(t, "Qh06"), S(t, "Qh07"));
        projectStaff[S(t, "Qa01")] += N(t, "Qh08");
        projectCount[S(t, "Qa01")] += 1;
    });
    std::set<std::string> numbers;
    ForEach("kfq_1.db", [&](TTable& t) {
        const std::string qa01 = S(t, "QA01");
        numbers.insert(qa01);
        EXPECT_EQ(S(t, "Id"), qa01);
        EXPECT_EQ(N(t, "Qa_one"), 1);
        EXPECT_LE(productSales[qa01], N(t, "QC07"));
        EXPECT_EQ(projectCount[qa01], N(t, "Qi09"));
        if (projectCount[qa01] > 0) {
            EXPECT_EQ(projectStaff[qa01], N(t, "Qj11"));
        }
        const std::string industry = S(t, "QB03").substr(0, 2);
        if (industry < "06" || industry > "46") {
            EXPECT_EQ(N(t, "QC02"), 0) << qa01 << " is not industrial";
        }
    });
    EXPECT_EQ(numbers.size(), 60u);
    for (const auto& [qa01, sales] : productSales)
        EXPECT_TRUE(numbers.count(qa01)) << qa01;

    // National projects: all three kinds occur, and the unreported list is the open issued projects.
    std::map<std::string, int> kinds;
    std::set<std::string> open, listed, issued;
    ForEach("gjxm.db", [&](TTable& t) {
        const std::string kind = S(t, "IS_CHGE");
        ++kinds[kind];
        if (kind.empty())
            open.insert(S(t, "JB00"));
        if (kind != "2")
            issued.insert(S(t, "JB00"));
        EXPECT_EQ(S(t, "Id"), S(t, "PXH") == "" || kind == "1" ? S(t, "JB00") : S(t, "PXH") + S(t, "JB00"));
    });
    EXPECT_EQ(kinds.size(), 3u);
    ForEach("gj_wsb.db", [&](TTable& t) { listed.insert(S(t, "JB00")); });
    EXPECT_EQ(listed, open);
    std::set<std::string> inList;
    ForEach("gjxmqd.dbf", [&](TTable& t) { inList.insert(S(t, "JB00")); });
    for (const auto& jb00 : issued)
        EXPECT_TRUE(inList.count(jb00)) << jb00;

    // Three-level software bases: every product's enterprise and every enterprise's base exist.
    std::set<std::string> bases, firms;
    ForEach("rjjd.db", [&](TTable& t) { bases.insert(S(t, "Code")); });
    ForEach("rjjdqy.db", [&](TTable& t) {
        EXPECT_TRUE(bases.count(S(t, "Code")));
        EXPECT_EQ(S(t, "Id"), S(t, "Code") + S(t, "Code2"));
        firms.insert(S(t, "Code") + S(t, "Code2"));
    });
    ForEach("rjjdqycp.db", [&](TTable& t) {
        EXPECT_TRUE(firms.count(S(t, "Code") + S(t, "Code2")));
        EXPECT_EQ(S(t, "Id"), S(t, "Code") + S(t, "Code2") + S(t, "Code3"));
    });
}

// Every field of every query dictionary selects from its tables, joined on the key as the query window joins
// them, and every numeric field sums: a dictionary row naming a missing field or an unusable alias fails here.
TEST_F(SampleTest, QueryDictionariesSelectAndSumFromTheirTables)
{
    Fill(folder_.string(), 2, 20);
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    std::vector<std::string> dictionaries;
    ForEach("query_db.db", [&](TTable& t) { dictionaries.push_back(S(t, "db_name")); });
    for (const auto& dict : dictionaries) {
        SCOPED_TRACE(dict);
        struct Row {
            std::string ref, field, type, text;
        };
        std::vector<Row> rows;
        ForEach(dict, [&](TTable& t) {
            const std::string db = S(t, "db_name");
            const bool aliased = db.size() > 2 && db[db.size() - 2] == ' ';
            const std::string ref = aliased ? "\"" + db.substr(0, db.size() - 2) + "\" " + db.back() : "\"" + db + "\"";
            rows.push_back({ref, S(t, "field_name"), S(t, "field_type"), S(t, "field_text")});
        });
        ASSERT_FALSE(rows.empty());
        std::string key;
        std::vector<std::string> from;
        for (const auto& r : rows) {
            if (key.empty() && r.type != "0")
                key = r.field;
            if (std::find(from.begin(), from.end(), r.ref) == from.end())
                from.push_back(r.ref);
        }
        std::string fromText = from[0], join;
        for (std::size_t i = 1; i < from.size(); ++i) {
            fromText += "," + from[i];
            join += std::string(join.empty() ? "(" : " and (") + key + "=" + from[i].back() + key.substr(1) + ")";
        }
        TQuery select, sum;
        bool firstSum = true;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            select.SQL.Add((i == 0 ? "select " : ",") + rows[i].field + " " + rows[i].text);
            if (rows[i].type == "N" || rows[i].type == "0") {
                sum.SQL.Add(std::string(firstSum ? "select sum(" : ",sum(") + rows[i].field + ") " + rows[i].text + "合计");
                firstSum = false;
            }
        }
        for (TQuery* q : {&select, &sum}) {
            q->SQL.Add(" from " + fromText);
            if (!join.empty())
                q->SQL.Add(" where" + join);
            EXPECT_NO_THROW(q->Open()) << q->SQL.Text();
            if (q->Active()) {
                EXPECT_GT(q->RecordCount(), 0);
            }
        }
    }
    std::filesystem::current_path(old);
}

}  // namespace
