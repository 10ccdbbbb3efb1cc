// The rules that come with the program: every rule row and check step of the catalogue turns into statements
// that run on the tables (built exactly as the check builds them), every "错误" row is a record constraint the
// data-entry windows can apply, every edit mask parses and holds its field, the sample reports meet every
// rule and code list, and faulty records are caught by the rule written for them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "DataFolder.h"
#include "Generator.h"
#include "platform/db/Query.h"
#include "platform/db/SqlTranslate.h"
#include "platform/ui/EditMask.h"

namespace {

struct Rule {
    std::string status, value, text, mask, name, disp, link, group;
};

struct Step {
    int report = 0;
    std::string checkName, key, key2, dbName, checkResult, text1;
    bool code() const { return dbName.find(';') != std::string::npos; }
    bool join() const { return !code() && dbName.find(',') != std::string::npos; }
};

// A violation found by a step: the key (编号), the stamped field (字段名), the status, and the detail key (code2)
// that a step of a detail table adds after 字段值.
struct Violation {
    std::string key, field, status, detail;
};

// Rule tables that the data-entry windows read, with the data table of each.
const std::pair<const char*, const char*> kEntryRules[] = {
    {"kfq1_chk.db", "kfq_1.db"},   {"kfq2_chk.db", "kfq_2.db"},     {"kfq5_chk.db", "kfq_5.db"},
    {"kzh_chk.db", "kfqzh.db"},    {"gjxm_chk.db", "gjxm.db"},      {"tzjg_chk.db", "tzjg.db"},
    {"tsjd_chk.db", "tsjd.db"},    {"sjgxq_chk.db", "sjgxq.db"},    {"rjjd_chk.db", "rjjd.db"},
    {"rjjdqy_chk.db", "rjjdqy.db"}, {"rjjdqycp_chk.db", "rjjdqycp.db"}, {"dx_chk.db", "dx.db"},
    {"dxzfqy_chk.db", "dxzfqy.db"}, {"dxxm_chk.db", "dxxm.db"},     {"fhq_chk.db", "fhq.db"},
    {"fhqzfqy_chk.db", "fhqzfqy.db"},
};

const int kCheckedReports[] = {1, 3, 4, 6, 7, 8, 9, 10, 11};

std::string Text(const TDataSet& t, const std::string& field) { return t.FieldByName(field)->AsString(); }

class RulesTest : public DataFolderTest {
protected:
    void SetUp() override
    {
        DataFolderTest::SetUp();
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);  // the scratch tables of the check are opened by bare name
        dataFolder_ = folder_.string() + "/";
    }
    void TearDown() override
    {
        std::filesystem::current_path(old_);
        DataFolderTest::TearDown();
    }

    void Fill(std::uint64_t seed, int enterprises)
    {
        sample::Options o;
        o.seed = seed;
        o.enterprises = enterprises;
        sample::Generator(folder_.string(), o).run();
    }

    std::vector<Step> Steps(int report) const
    {
        std::vector<Step> out;
        auto t = Open("check_db.DB");
        for (t->First(); !t->Eof(); t->Next()) {
            if (t->Fields()[0]->AsInteger() != report)
                continue;
            out.push_back({report, Text(*t, "check_name"), Text(*t, "field_name"), Text(*t, "field_name2"),
                           Text(*t, "db_name"), Text(*t, "check_result"), Text(*t, "text1")});
        }
        return out;
    }

    std::vector<Rule> Rules(const std::string& table) const
    {
        std::vector<Rule> out;
        auto t = Open(table);
        for (t->First(); !t->Eof(); t->Next()) {
            out.push_back({Text(*t, "status"), Text(*t, "field_value"), Text(*t, "field_text"), Text(*t, "field_mask"),
                           Text(*t, "field_name"), Text(*t, "disp_field"), Text(*t, "link"), Text(*t, "group")});
        }
        return out;
    }

    std::vector<std::string> Codes(const std::string& table) const
    {
        std::vector<std::string> out;
        auto t = Open(table);
        for (t->First(); !t->Eof(); t->Next())
            out.push_back(Text(*t, "code"));
        return out;
    }

    // The data reference of a step, as the check builds it from db_name.
    std::string Reference(const Step& s) const
    {
        const auto comma = s.dbName.find(',');
        if (comma == std::string::npos)
            return "\"" + dataFolder_ + s.dbName;
        return "\"" + dataFolder_ + s.dbName.substr(0, comma) + " left join \"" + dataFolder_ +
               s.dbName.substr(comma + 1);
    }

    static std::string ExtraColumn(int report) { return report == 4 ? ",is_chge" : ""; }
    static std::string ExtraFilter(int report) { return report == 4 ? " and (is_chge=\"1\" or is_chge=\"2\")" : ""; }

    static std::vector<Violation> Answer(TQuery& q, const std::string& field, const std::string& status,
                                         int detail = -1)
    {
        std::vector<Violation> out;
        q.Open();
        for (q.First(); !q.Eof(); q.Next())
            out.push_back({q.Fields()[0]->AsString(), field, status, detail < 0 ? "" : q.Fields()[detail]->AsString()});
        return out;
    }

    std::vector<Violation> RunPlain(const Step& s, const Rule& r) const
    {
        TQuery q;
        q.SQL.Add("select " + s.key + " 编号," + r.name + " 字段值" + ExtraColumn(s.report) + s.key2 + " from " +
                  Reference(s) + " where not (" + r.value + ")" + ExtraFilter(s.report));
        return Answer(q, r.name, r.status, s.key2.empty() ? -1 : 2 + (s.report == 4));
    }

    // The grouped join saved as tmp.db, then the select of the violations on it.
    std::vector<Violation> RunJoin(const Step& s, const Rule& r) const
    {
        TQuery grouped;
        grouped.SQL.Add("select " + s.key + " 编号," + r.name + ExtraColumn(s.report) + " from " + Reference(s) +
                        " on " + r.link + " group by " + r.group);
        grouped.Open();
        TTable tmp;
        tmp.SetTableName("tmp.db");
        std::vector<db::FieldDesc> defs;
        for (int i = 0; i < grouped.FieldCount(); ++i)
            defs.push_back(grouped.Fields()[i]->Desc());
        tmp.FieldDefs.Assign(defs);
        tmp.CreateTable();
        tmp.Open();
        tmp.BatchMove(&grouped, TBatchMode::batAppend);
        tmp.Close();
        TQuery q;
        q.SQL.Add("select 编号," + r.disp + ExtraColumn(s.report) + " from tmp.db where (" + r.value + ")");
        return Answer(q, r.disp, r.status);
    }

    // Batches of at most 202 codes: the first on the data table, each later one on the violations that the one
    // before left in tmp_r.DB.
    std::vector<Violation> RunCodes(const Step& s) const
    {
        const auto codes = Codes(s.checkName + ".db");
        if (codes.empty())
            return {};
        const std::string c = s.checkResult;
        std::string ref = Reference(s);
        ref.pop_back();
        TTable scratch;
        scratch.SetTableName("tmp_r.DB");
        for (std::size_t begin = 0; begin < codes.size(); begin += 202) {
            const std::size_t end = std::min(codes.size(), begin + 202);
            const std::string column = begin == 0 ? c : "字段值";
            TQuery q;
            if (begin == 0)
                q.SQL.Add("select " + s.key + " 编号," + c + " 字段值" + ExtraColumn(s.report) + s.key2 + " from " + ref);
            else
                q.SQL.Add("select 编号,字段值" + ExtraColumn(s.report) + s.key2 + " from tmp_r.db");
            q.SQL.Add(" where not (" + column + "='" + codes[begin] + "'");
            for (std::size_t i = begin + 1; i < end; ++i)
                q.SQL.Add(" or " + column + "='" + codes[i] + "'");
            q.SQL.Add(")" + ExtraFilter(s.report));
            q.Open();
            scratch.EmptyTable();
            scratch.Open();
            scratch.BatchMove(&q, TBatchMode::batAppend);
            scratch.Close();
        }
        std::vector<Violation> out;
        scratch.Open();
        for (scratch.First(); !scratch.Eof(); scratch.Next())
            out.push_back({Text(scratch, "编号"), c, "错误", ""});
        return out;
    }

    // With `only`, just the rules whose violations name that field (字段名) run.
    std::vector<Violation> RunStep(const Step& s, const std::string& only = "") const
    {
        if (s.code())
            return only.empty() || only == s.checkResult ? RunCodes(s) : std::vector<Violation>{};
        std::vector<Violation> out;
        for (const Rule& r : Rules(s.checkName + ".db")) {
            if (!only.empty() && only != (s.join() ? r.disp : r.name))
                continue;
            SCOPED_TRACE(s.checkName + ": " + r.value);
            std::vector<Violation> v;
            EXPECT_NO_THROW(v = s.join() ? RunJoin(s, r) : RunPlain(s, r));
            out.insert(out.end(), v.begin(), v.end());
        }
        return out;
    }

    std::vector<Violation> RunReport(int report, const std::string& only = "") const
    {
        std::vector<Violation> out;
        for (const Step& s : Steps(report)) {
            auto v = RunStep(s, only);
            out.insert(out.end(), v.begin(), v.end());
        }
        return out;
    }

    std::filesystem::path old_;
    std::string dataFolder_;
};

// Every step of every checked report runs on a fresh folder: no statement fails for its syntax or for a column
// that its table lacks; the rule tables that only the entry windows read run in the same plain form.
TEST_F(RulesTest, EveryStepRunsAsTheCheckBuildsIt)
{
    std::set<std::string> checkedTables;
    for (int report : kCheckedReports) {
        SCOPED_TRACE(report);
        const auto steps = Steps(report);
        ASSERT_FALSE(steps.empty());
        bool joined = false;
        for (const Step& s : steps) {
            SCOPED_TRACE(s.checkName + " on " + s.dbName);
            if (s.code()) {
                // the codes fit the column they govern, and the column fits 字段名
                const auto codes = Codes(s.checkName + ".db");
                EXPECT_FALSE(codes.empty());
                EXPECT_EQ(std::set<std::string>(codes.begin(), codes.end()).size(), codes.size());
                EXPECT_LE(s.checkResult.size(), 10u);
                EXPECT_FALSE(s.text1.empty());
                auto data = Open(s.dbName.substr(0, s.dbName.size() - 2));
                const TField* column = data->Fields().Find(s.checkResult);
                ASSERT_NE(column, nullptr);
                for (const auto& c : codes)
                    EXPECT_LE(static_cast<int>(c.size()), column->Size()) << c;
                EXPECT_NO_THROW(RunCodes(s));
                continue;
            }
            const auto rules = Rules(s.checkName + ".db");
            EXPECT_FALSE(rules.empty());
            joined = joined || s.join();
            for (const Rule& r : rules) {
                SCOPED_TRACE(r.name + ": " + r.value);
                EXPECT_TRUE(r.status == "错误" || r.status == "警告");
                EXPECT_LE(QString::fromStdString(r.text).size(), 80);
                if (s.join()) {
                    EXPECT_LE(r.disp.size(), 10u);
                    EXPECT_FALSE(r.link.empty());
                    EXPECT_FALSE(r.group.empty());
                    EXPECT_FALSE(r.disp.empty());
                    EXPECT_NO_THROW(RunJoin(s, r));
                } else {
                    EXPECT_NO_THROW(RunPlain(s, r));
                }
            }
            if (!s.join())
                checkedTables.insert(s.checkName + ".db");
        }
        // Answers are appended by position: the columns a plain or code-list step adds after 字段值 must be the
        // result table's next fields, or their values would land in 字段名 and escape the stamp.
        auto result = Open(steps.front().checkResult);
        for (const Step& s : steps) {
            if (s.join())
                continue;
            std::vector<std::string> added;
            std::stringstream extra(ExtraColumn(report) + s.key2);
            for (std::string column; std::getline(extra, column, ',');) {
                if (!column.empty())
                    added.push_back(column);
            }
            for (std::size_t i = 0; i < added.size(); ++i) {
                ASSERT_LT(static_cast<int>(i) + 2, result->FieldCount());
                EXPECT_EQ(QString::fromStdString(result->Fields()[static_cast<int>(i) + 2]->FieldName()).toLower(),
                          QString::fromStdString(added[i]).toLower())
                    << s.checkName;
            }
        }
        const bool hasDetails = report == 1 || report == 3 || report == 7 || report == 8 || report == 9;
        EXPECT_EQ(joined, hasDetails);
        // The jump back opens a detail record of reports 7 to 9 by the detail key: every plain or code-list step
        // on a detail table passes it, so that a faulty product, enterprise or project is named.
        for (const Step& s : steps) {
            if (report >= 7 && report <= 9 && !s.join() && s.dbName != steps.front().dbName) {
                EXPECT_EQ(s.key2, ",code2") << s.checkName;
            }
        }
    }
    for (const auto& [rules, data] : kEntryRules) {
        if (checkedTables.count(rules))
            continue;
        SCOPED_TRACE(rules);
        const Step s{0, "", "1", "", std::string(data) + "\"", "", ""};
        for (const Rule& r : Rules(rules)) {
            SCOPED_TRACE(r.value);
            EXPECT_NO_THROW(RunPlain(s, r));
        }
    }
}

// What the result tables and the entry windows need of a rule row: a known status, a message that fits 错误信息,
// a field name that fits 字段名, a condition that is a record constraint, and a mask of a field of the table that
// parses and is no wider than the field.
TEST_F(RulesTest, EntryRulesAreConstraintsAndMasks)
{
    for (const auto& [rules, data] : kEntryRules) {
        SCOPED_TRACE(rules);
        auto table = Open(data);
        const auto rows = Rules(rules);
        EXPECT_FALSE(rows.empty());
        for (const Rule& r : rows) {
            SCOPED_TRACE(r.name + ": " + r.value);
            EXPECT_TRUE(r.status == "错误" || r.status == "警告");
            EXPECT_FALSE(r.text.empty());
            EXPECT_LE(QString::fromStdString(r.text).size(), 80);
            EXPECT_LE(r.name.size(), 10u);
            EXPECT_NE(table->Fields().Find(r.name), nullptr);
            EXPECT_NO_THROW(sql::TranslateCondition(r.value));
            if (r.mask.empty())
                continue;
            const TField* field = table->Fields().Find(r.name);
            ASSERT_NE(field, nullptr);
            const TEditMask mask(QString::fromStdString(r.mask));
            EXPECT_FALSE(mask.IsEmpty());
            EXPECT_FALSE(mask.QtInputMask().isEmpty());
            const auto blank = mask.DisplayText(QString());
            ASSERT_TRUE(blank.has_value());
            EXPECT_TRUE(mask.IsComplete(*blank));
            if (field->DataType() == TFieldType::String) {
                int width = 0;
                for (const auto& p : mask.Positions())
                    width += p.kind == TEditMask::SlotKind::Literal ? (mask.KeepLiterals() ? 1 : 0) : 1;
                EXPECT_LE(width, field->Size());
            }
        }
    }
}

// The sample reports are clean reports: no rule and no code list of any checked report finds a fault in them,
// not even a warning (the sample keeps the identities the rules check, its details agree with their masters: the
// enterprises of a park or an incubator add up to no more than it reports and moved in after it was founded), and
// every mask takes the values the sample stores. One seed per test, so that the seeds run side by side.
class SampleRulesTest : public RulesTest, public testing::WithParamInterface<std::uint64_t> {};

TEST_P(SampleRulesTest, SampleReportsMeetEveryRule)
{
    Fill(GetParam(), 80);
    for (int report : kCheckedReports) {
        SCOPED_TRACE(report);
        std::map<std::string, std::vector<std::string>> errors;
        for (const Step& s : Steps(report)) {
            for (const Violation& v : RunStep(s))
                errors[s.checkName + " " + v.field + " " + v.status].push_back(v.key);
        }
        for (const auto& [field, keys] : errors)
            ADD_FAILURE() << field << " fails for " << keys.size() << " records, first " << keys.front();
    }
    // the zone overview has no check: its rules are read at entry only
    const Step zone{2, "", "1", "", "kfqzh.db\"", "", ""};
    for (const Rule& r : Rules("kzh_chk.db")) {
        EXPECT_TRUE(RunPlain(zone, r).empty()) << r.name << ": " << r.value;
    }
    for (const auto& [rules, data] : kEntryRules) {
        SCOPED_TRACE(rules);
        auto table = Open(data);
        for (const Rule& r : Rules(rules)) {
            if (r.mask.empty())
                continue;
            const TEditMask mask(QString::fromStdString(r.mask));
            for (table->First(); !table->Eof(); table->Next()) {
                const std::string value = Text(*table, r.name);
                EXPECT_TRUE(mask.Fits(QString::fromStdString(value))) << r.name << " " << value;
                const auto shown = mask.DisplayText(QString::fromStdString(value));
                if (shown) {
                    EXPECT_EQ(mask.StoredValue(*shown).value_or(QString()).toStdString(), value) << r.name;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SampleRulesTest, testing::Values(6, 7, 9));

// A faulty record is caught by the rule written for it, whatever kind of step carries the rule, and a sound
// record that looks alike is left alone: one table of cases, each an edit of the first record of a table (for
// report 4 the first entered project), grouped by what the rule checks.
TEST_F(RulesTest, FaultyRecordsAreCaughtAndSoundOnesLeftAlone)
{
    Fill(3, 20);
    using Values = std::vector<std::pair<const char*, const char*>>;
    struct Case {
        int report;
        const char* table;
        const char* keyField;  // the step's key column in this table
        Values set;            // the edit; an empty value stores null
        const char* found;     // 字段名 of the violation
        bool caught;           // false: a sound record that no rule of that field may report
        const char* detail = "";  // the detail key the violation must name (code2), if any
    } cases[] = {
        // items, breakdowns, signs and code lists of one record
        {1, "kfq_1.db", "QA01", {{"QA01", "10a001"}}, "qa01", true},            // report number not six digits
        {1, "kfq_1.db", "QA01", {{"QC06", "1000000000000"}}, "qc06", true},     // of-which item above its total
        {1, "kfq_1.db", "QA01", {{"QC06_1", "1000000000000"}}, "qc06", true},   // breakdown above its sum
        {1, "kfq_1.db", "QA01", {{"QD06", "-1"}}, "qd06", true},                // negative count
        {1, "kfq_1.db", "QA01", {{"QB06", "999"}}, "qb06", true},               // registration type not in its list
        {1, "kfq_2.db", "QA01", {{"QE03", "998"}}, "qe03", true},               // technology field not in its list
        {3, "kfq_2.db", "QA01", {{"QE15", "1000000000000"}}, "qe15s", true},    // products' sales above the firm's
        {3, "kfq_5.db", "Qa01", {{"Qh07", "200001"}}, "qh07", true},            // project ends before it starts
        {4, "gjxm.db", "JB00", {{"JB27", "ZZ"}}, "jb27", true},
        {4, "gjxm.db", "JB00", {{"JC111", "1000000000000"}}, "jc111", true},
        {6, "tzjg.db", "code", {{"KZ35", "1000000000000"}}, "kz35", true},
        {7, "rjjdqycp.db", "Code", {{"Ke202", "1000000000000"}}, "ke202", true},
        {7, "rjjdqycp.db", "Code", {{"Ke201", "1000000000000"}}, "ke201s", true},
        {8, "dxzfqy.db", "CODE", {{"TDF8J100", "100"}}, "tdf8j100", true},
        {9, "fhqzfqy.db", "CODE", {{"TDF731", "100"}}, "tdf731", true},
        {9, "fhq.db", "CODE", {{"TDF7B01", "1000000000000"}}, "tdf7b00", true},
        {10, "tsjd.db", "CODE", {{"TDF9K06", "1000000000000"}}, "tdf9k06", true},
        {11, "sjgxq.db", "Code", {{"S14", "1000000000000"}}, "s14", true},
        // links between the sections of one record
        {1, "kfq_1.db", "QA01", {{"Qj09", "1000000"}}, "qj09", true},           // S&T staff above the staff
        {1, "kfq_1.db", "QA01", {{"Qj71", "1000000000000"}}, "qj71", true},     // new products above product sales
        {1, "kfq_1.db", "QA01", {{"QC02", "1000"}, {"QC04", "1150"}}, "qc04", true},
        {1, "kfq_1.db", "QA01", {{"QC02", "1000"}, {"QC04", "1050"}}, "qc04", false},  // within the 10% tolerance
        {7, "rjjdqy.db", "Code", {{"D500", "1000000000000"}}, "d500", true},
        {8, "dx.db", "CODE", {{"TDF8H00", "100000000"}}, "tdf8h00", true},      // incubated staff above the park's
        {9, "fhqzfqy.db", "CODE", {{"TDF7G251", "1000000000000"}}, "tdf7g251", true},
        // identities, with their tolerance
        {1, "kfq_1.db", "QA01", {{"QC02", "1000"}, {"QC03", "600"}, {"Qc62", "50"}, {"QC43", "1000"}, {"QC44", "520"}},
         "qc44", true},                                                        // 工业增加值 off by 70 (over 5%)
        {1, "kfq_1.db", "QA01", {{"QC02", "1000"}, {"QC03", "600"}, {"Qc62", "50"}, {"QC43", "1000"}, {"QC44", "490"}},
         "qc44", false},
        {1, "kfq_1.db", "QA01", {{"QC24", "1000000000000"}}, "qc24", true},     // assets above liabilities + equity
        {4, "gjxm.db", "JB00", {{"JC100", "1000000000000"}}, "jc100", true},    // sources below the planned total
        {9, "fhq.db", "CODE", {{"TDF7E00", "1000000000000"}}, "tdf7e00", true},
        // details without a master
        {1, "kfq_2.db", "QA01", {{"QA01", "999999"}}, "qe01", true},
        {3, "kfq_5.db", "Qa01", {{"Qa01", "999998"}}, "qh00", true},
        {7, "rjjdqycp.db", "Code", {{"Code2", "9999"}}, "code2", true},
        {8, "dxxm.db", "Code", {{"Code", "9999"}}, "code2", true},
        {9, "fhqzfqy.db", "CODE", {{"CODE", "9999"}}, "code2", true},
        // empty figures: a missing part does not hide its sibling's excess, and the key figures must be filled
        {1, "kfq_1.db", "QA01", {{"QC06_2", ""}, {"QC06_1", "1000000000000"}}, "qc06", true},
        {7, "rjjd.db", "Code", {{"C220", ""}, {"C210", "100000000"}}, "c200", true},
        {1, "kfq_1.db", "QA01", {{"QC05", ""}}, "qc05", true},
        {9, "fhqzfqy.db", "CODE", {{"TDF7F600", ""}}, "tdf7f600", true},
        // names, phones, dates and the organisation code
        {1, "kfq_1.db", "QA01", {{"QA04", "　　"}}, "qa04", true},               // blanks only (full width)
        {1, "kfq_1.db", "QA01", {{"QA04", "   "}}, "qa04", true},
        {1, "kfq_1.db", "QA01", {{"QA04", " 甲 公司"}}, "qa04", false},
        {1, "kfq_1.db", "QA01", {{"QA09", "0551-1234567转8"}}, "qa09", true},
        {1, "kfq_1.db", "QA01", {{"QA09", "010 6234 5678"}}, "qa09", false},
        {1, "kfq_1.db", "QA01", {{"QA12", "2011-05-01"}}, "qa12", true},        // filled in after the year that follows
        {1, "kfq_1.db", "QA01", {{"QB04", "2005"}, {"QB08", "1995"}}, "qb08", true},  // in the zone before registered
        {1, "kfq_1.db", "QA01", {{"QA03", "12345678-1"}}, "qa03", true},        // check character 8
        {1, "kfq_1.db", "QA01", {{"QA03", "12345678-8"}}, "qa03", false},
        {1, "kfq_1.db", "QA01", {{"QA03", "123456788"}}, "qa03", false},
        {1, "kfq_1.db", "QA01", {{"QA03", "00000006-X"}}, "qa03", false},
        {1, "kfq_1.db", "QA01", {{"QA03", "87654321-0"}}, "qa03", false},
        {1, "kfq_1.db", "QA01", {{"QA03", "00000005-1"}}, "qa03", false},
        {1, "kfq_1.db", "QA01", {{"QA03", "A2345678-9"}}, "qa03", false},       // a letter in the body: not judged
        {4, "gjxm.db", "JB00", {{"JB26", "00000011-6"}}, "jb26", true},
        {8, "dxzfqy.db", "CODE", {{"TDF8119", "1990-01-01"}}, "tdf8119", true},  // moved in before registered
        {9, "fhqzfqy.db", "CODE", {{"TDF7L101", "1985-01-01"}}, "code2", true},  // before the incubator was founded
        {4, "gjxm.db", "JB00", {{"JD01", "1"}, {"JD02", "5"}}, "jd02", true},    // a reason for a project on time
        {4, "gjxm.db", "JB00", {{"JD01", "3"}, {"JD02", "5"}}, "jd02", false},
        // a project of a science park is named by its own number
        {8, "dxxm.db", "Code", {{"Tdf8q110", "　"}}, "tdf8q110", true, "0001"},
    };
    for (const auto& c : cases) {
        std::string what = std::string(c.table);
        for (const auto& [field, value] : c.set)
            what += std::string(" ") + field + "=" + value;
        SCOPED_TRACE(what);
        std::string key;
        std::vector<std::string> old;
        int recordNo = 0;
        {
            auto t = Open(c.table);
            t->First();
            if (c.report == 4) {  // a record that the unit has entered: only those are checked
                while (!t->Eof() && Text(*t, "IS_CHGE").empty())
                    t->Next();
            }
            ASSERT_FALSE(t->Eof());
            recordNo = t->RecNo();
            t->Edit();
            for (const auto& [field, value] : c.set) {
                old.push_back(Text(*t, field));
                t->FieldByName(field)->SetAsString(value);
            }
            t->Post();
            key = Text(*t, c.keyField);
        }
        bool found = false;
        for (const Violation& v : RunReport(c.report, c.found)) {
            if (v.field == c.found && v.key == key) {
                found = true;
                if (*c.detail) {
                    EXPECT_EQ(v.detail, c.detail);
                }
            }
        }
        EXPECT_EQ(found, c.caught) << c.found << " for " << key;
        auto t = Open(c.table);  // the record as it was, for the next case
        t->SetRecNo(recordNo);
        t->Edit();
        for (std::size_t i = 0; i < c.set.size(); ++i)
            t->FieldByName(c.set[i].first)->SetAsString(old[i]);
        t->Post();
    }
    for (int report : kCheckedReports) {
        for (const Violation& v : RunReport(report))
            EXPECT_NE(v.status, "错误") << report << " " << v.field << " " << v.key;
    }
}

// The "错误" rows refuse a faulty record at entry with their message, and a warning never refuses one.
TEST_F(RulesTest, ErrorRulesRefuseRecordsAtEntry)
{
    Fill(4, 10);
    struct Case {
        const char* rules;
        const char* table;
        const char* field;
        const char* value;
        bool refused;
    } cases[] = {
        {"kfq1_chk.db", "kfq_1.db", "QA01", "12a456", true},
        {"kfq1_chk.db", "kfq_1.db", "QA01", "999999", false},
        {"kfq1_chk.db", "kfq_1.db", "QA06", "abc", false},  // a postcode is only a warning
        {"kfq1_chk.db", "kfq_1.db", "QC09", "1000000000000", true},
        {"kfq1_chk.db", "kfq_1.db", "QA04", "　", true},          // a name of blanks
        {"kfq1_chk.db", "kfq_1.db", "QA03", "12345678-1", false},  // a check character is only a warning
        {"kfq2_chk.db", "kfq_2.db", "QE12", "5", true},
        {"kfq2_chk.db", "kfq_2.db", "QE12", "9", false},
        {"kfq5_chk.db", "kfq_5.db", "Qh07", "200001", true},
        {"gjxm_chk.db", "gjxm.db", "JD01", "6", true},
        {"gjxm_chk.db", "gjxm.db", "JD01", "2", false},
        {"rjjdqycp_chk.db", "rjjdqycp.db", "Ke199", "5", true},
        {"fhq_chk.db", "fhq.db", "TDF7E01", "-5", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.field + "=" + c.value);
        auto t = Open(c.table);
        std::map<std::string, std::string> messages;
        for (const Rule& r : Rules(c.rules)) {
            if (r.status != "错误")
                continue;
            auto& constraint = t->Constraints.Add();
            constraint.CustomConstraint = r.value;
            constraint.ErrorMessage = r.text;
            messages[r.text] = r.name;
        }
        t->First();
        t->Edit();
        t->FieldByName(c.field)->SetAsString(c.value);
        try {
            t->Post();
            EXPECT_FALSE(c.refused);
        } catch (const std::exception& e) {
            EXPECT_TRUE(c.refused) << e.what();
            EXPECT_TRUE(messages.count(e.what())) << e.what();
            t->Cancel();
        }
    }
}

// A record started at entry holds its identity and zeros in its figures (empty numbers become 0 before every
// store): the "错误" rows must let it be stored, so that a report can be entered page by page.
TEST_F(RulesTest, ErrorRulesAcceptARecordWithOnlyItsIdentity)
{
    using Values = std::vector<std::pair<const char*, const char*>>;
    const std::pair<const char*, Values> cases[] = {
        {"kfq_1.db", {{"Id", "100001"}, {"QA01", "100001"}, {"QA04", "甲公司"}}},
        {"kfq_2.db", {{"ID", "1000010001"}, {"QA01", "100001"}, {"QE01", "0001"}}},
        {"kfq_5.db", {{"Id", "1000010001"}, {"Qa01", "100001"}, {"Qh00", "0001"}}},
        {"kfqzh.db", {}},
        {"gjxm.db", {{"Id", "110000001"}, {"JB00", "110000001"}, {"JB01", "某项目"}, {"IS_CHGE", "2"}}},
        {"tzjg.db", {{"ID", "0001"}, {"code", "0001"}}},
        {"tsjd.db", {{"Id", "000001"}, {"CODE", "000001"}}},
        {"sjgxq.db", {{"Id", "0001"}, {"Code", "0001"}}},
        {"rjjd.db", {{"Id", "0001"}, {"Code", "0001"}}},
        {"rjjdqy.db", {{"Id", "00010001"}, {"Code", "0001"}, {"Code2", "0001"}}},
        {"rjjdqycp.db", {{"Id", "000100010001"}, {"Code", "0001"}, {"Code2", "0001"}, {"Code3", "0001"}}},
        {"dx.db", {{"Id", "0001"}, {"CODE", "0001"}}},
        {"dxzfqy.db", {{"Id", "0001001"}, {"CODE", "0001"}, {"CODE2", "001"}}},
        {"dxxm.db", {{"Id", "00010001"}, {"Code", "0001"}, {"Code2", "0001"}}},
        {"fhq.db", {{"Id", "0001"}, {"CODE", "0001"}}},
        {"fhqzfqy.db", {{"Id", "00010001"}, {"CODE", "0001"}, {"CODE2", "0001"}}},
    };
    for (const auto& [table, values] : cases) {
        SCOPED_TRACE(table);
        std::string rules;
        for (const auto& [r, data] : kEntryRules) {
            if (data == std::string(table))
                rules = r;
        }
        ASSERT_FALSE(rules.empty());
        auto t = Open(table);
        for (const Rule& r : Rules(rules)) {
            if (r.status == "错误")
                t->Constraints.Add() = {r.value, r.text};
        }
        t->Append();
        for (const auto& [field, value] : values)
            t->FieldByName(field)->SetAsString(value);
        for (int i = 0; i < t->FieldCount(); ++i) {
            if (t->Fields()[i]->IsNumeric() && t->Fields()[i]->IsNull())
                t->Fields()[i]->SetAsInteger(0);
        }
        EXPECT_NO_THROW(t->Post());
    }
}

}  // namespace
