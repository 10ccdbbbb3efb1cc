// The enterprise window's imports merged in one pass against the same imports stored row by row: for each
// case the held and submitted tables are made once, imported both ways from the same start, and the table
// files (every row id, value and storage class), the send list, what the user was told and what the window
// shows afterwards must come out the same. Cases with values a store would change, keys that repeat or stores
// that fail are left to the rows' own stores; the others are merged in one pass.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>

#include "entry/KfqImport.h"
#include "test_import_fixture.h"

namespace {

namespace fs = std::filesystem;
using importtest::ImportTest;
using Lines = std::vector<std::string>;

// The window's host; told not to describe its stores, it leaves every row to the row-by-row merge.
class ProbeHost : public EntryImportHost {
public:
    ProbeHost(TEntryWindow& w, bool onePass) : EntryImportHost(w), onePass_(onePass) {}
    bool DescribeStores(ImportStoreRules& rules) override { return onePass_ && EntryImportHost::DescribeStores(rules); }

private:
    bool onePass_;
};

void Exec(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    const std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message << " in " << sql;
}

// Every row of a table file in row-id order: the row id, then each value with its storage class.
Lines Dump(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM data ORDER BY rowid", -1, &st, nullptr);
    Lines out;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string line;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            const int type = sqlite3_column_type(st, c);  // before the text: reading it as text converts it
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
            std::string v(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(st, c)));
            for (char& ch : v) {
                if (ch == '\0') ch = '~';
            }
            line += std::to_string(type) + ":" + v + "|";
        }
        out.push_back(line);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

struct MergeCase {
    const char* name;
    const char* table;  // the submitted table the statement changes
    const char* sql;    // run on it after the common rows are in
    int merges;         // tables merged in one pass
    const char* told;   // part of the message box each import shows, or ""
    const char* heldTable = "";  // a held table of the data folder the statement below changes
    const char* heldSql = "";
};
void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }

const char* const kTables[] = {"kfq_1.db", "kfq_2.db", "kfq_5.db", "sendname.db"};

class ImportMerge : public ImportTest, public testing::WithParamInterface<MergeCase> {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        AddRow("sendname.db", {{"id", "2"}, {"name", "kfq_1.db"}});
        AddEnterprise("100001", "L1", "甲");
        AddEnterprise("100002", "L2", "乙");
        AddEnterprise("100003", "L3", "丙");  // not submitted: stays as it is
        AddProduct("100001", "000a");
        AddProduct("100001", "0001");
        AddProject("100002", "01");
        MakeSubmittedDisk();
        const std::string e = Submitted("kfq_1.db");
        AddRow(e, {{"QA01", "100002"}, {"QA03", "L2"}, {"QA04", "乙改名"}, {"QA12", "2024-02-29"}});
        AddRow(e, {{"QA01", "100004"}, {"QA03", "L4"}, {"QA04", "丁"}, {"QC02", "12.5"}});
        AddRow(e, {{"QA01", "100001"}, {"QA03", "l1"}, {"QA04", "甲"}, {"QC04", "3"}});
        SubmitProduct("100001", "000A", "产品改名");  // the held "000a": the index ignores case
        SubmitProduct("100004", "0001", "新产品");
        SubmitProduct("100002", "0003", "乙的产品");
        SubmitProject("100002", "01", "项目改名");
        SubmitProject("100004", "02", "新项目");
        if (*GetParam().sql != '\0') {
            Exec(Submitted(GetParam().table), GetParam().sql);
        }
        if (*GetParam().heldSql != '\0') {
            Exec(GetParam().heldTable, GetParam().heldSql);
        }
        for (const char* t : kTables) {
            fs::copy_file(t, base_ / (std::string("held_") + t));
        }
    }

    // The three imports of "数据入库" in the window, each table's error or message kept as the user saw it.
    Lines Import(bool onePass, int& merges)
    {
        for (const char* t : kTables) {
            fs::copy_file(base_ / (std::string("held_") + t), t, fs::copy_options::overwrite_existing);
        }
        Lines told;
        merges = 0;
        const std::size_t shown = User().Messages().size();
        InKfq([&](TF_kfq& k) {
            if (*GetParam().told != '\0') {
                User().ExpectMessageContaining("提示", GetParam().told);
            }
            const std::vector<ImportPosition> positions = KfqImportPositions();
            TTable* targets[] = {k.Table1, k.Table2, k.Table5};
            ProbeHost host(k, onePass);
            for (std::size_t i = 0; i < 3; ++i) {
                F_main->Table1->SetTableName(Submitted(kTables[i]));
                k.curTable = targets[i];
                // a table merged in one pass has no record posted
                int posts = 0;
                const auto beforePost = targets[i]->BeforePost;
                targets[i]->BeforePost = [&](TDataSet* d) {
                    ++posts;
                    beforePost(d);
                };
                try {
                    ImportTable(host, positions[i]);
                } catch (const Exception& e) {
                    told.push_back(e.Message);
                }
                targets[i]->BeforePost = beforePost;
                merges += posts == 0 ? 1 : 0;
            }
            k.curTable = k.Table1;
            ExpectNormalState(k);
            const Lines shown = Shown(k);
            told.insert(told.end(), shown.begin(), shown.end());
        });
        for (std::size_t m = shown; m < User().Messages().size(); ++m) {
            told.push_back(User().Messages()[m].caption + ": " + User().Messages()[m].text);
        }
        for (const char* t : kTables) {
            const Lines rows = Dump(t);
            told.push_back(std::string(t) + ":");
            told.insert(told.end(), rows.begin(), rows.end());
        }
        return told;
    }
};

TEST_P(ImportMerge, StoresWhatTheRowByRowMergeStores)
{
    int rowByRowMerges = 0, onePassMerges = 0;  // the row-by-row run merges only what holds no row
    const Lines rowByRow = Import(false, rowByRowMerges);
    const Lines onePass = Import(true, onePassMerges);
    EXPECT_EQ(onePassMerges, GetParam().merges);
    // the lines of either run the other lacks, each cut short
    auto cut = [](const std::string& l) { return l.size() > 90 ? l.substr(0, 40) + " ... " + l.substr(l.size() - 45) : l; };
    std::string diff;
    for (const std::string& l : onePass)
        if (std::find(rowByRow.begin(), rowByRow.end(), l) == rowByRow.end()) diff += "\n  one pass only:   " + cut(l);
    for (const std::string& l : rowByRow)
        if (std::find(onePass.begin(), onePass.end(), l) == onePass.end()) diff += "\n  row by row only: " + cut(l);
    EXPECT_TRUE(onePass == rowByRow) << diff;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportMerge,
    testing::Values(
        MergeCase{"Plain", "kfq_1.db", "", 3, ""},
        MergeCase{"NullsAndAnInteger", "kfq_1.db", "UPDATE data SET QC05=4, QA05=NULL", 3, ""},
        MergeCase{"TrailingBlank", "kfq_1.db", "UPDATE data SET QA04=QA04||' ' WHERE QA01='100004'", 2, ""},
        MergeCase{"TextInANumber", "kfq_1.db", "UPDATE data SET QC06='x' WHERE QA01='100004'", 2, ""},
        MergeCase{"DateWithSlashes", "kfq_1.db", "UPDATE data SET QA12='2024/03/01' WHERE QA01='100002'", 2, ""},
        MergeCase{"NoSuchDay", "kfq_1.db", "UPDATE data SET QA12='2023-02-29' WHERE QA01='100004'", 2, ""},
        MergeCase{"RealCountingValue", "kfq_1.db", "UPDATE data SET Qa_one=2.5", 2, ""},
        MergeCase{"TooLong", "kfq_1.db", "UPDATE data SET QA03='L12345678901' WHERE QA01='100004'", 2, ""},
        MergeCase{"RepeatedKey", "kfq_2.db",
                  "INSERT INTO data(QA01,QE01,QE02) VALUES('100004','0001','又一次')", 2, ""},
        MergeCase{"RepeatedKeyInAnotherCase", "kfq_2.db",
                  "INSERT INTO data(QA01,QE01,QE02) VALUES('100001','000a','又一次')", 2, ""},
        MergeCase{"KeyBeyondAscii", "kfq_2.db", "UPDATE data SET QE01='产品' WHERE QA01='100004'", 2, ""},
        MergeCase{"BlankDetailKey", "kfq_5.db", "UPDATE data SET Qh00=NULL WHERE Qa01='100004'", 2, "Qh00为空"},
        MergeCase{"BlankMasterKey", "kfq_1.db", "UPDATE data SET QA01=NULL WHERE QA03='L4'", 2, ""},
        MergeCase{"HeldLegalCode", "kfq_1.db", "UPDATE data SET QA03='L3' WHERE QA01='100004'", 2, ""},
        MergeCase{"LegalCodesSwapped", "kfq_1.db",
                  "UPDATE data SET QA03=CASE QA01 WHEN '100001' THEN 'L2' WHEN '100002' THEN 'L1' ELSE QA03 END",
                  2, ""},
        // stored in the file's order this would go through; in the source's order the first row takes a held code
        MergeCase{"LegalCodeHandedOn", "kfq_1.db",
                  "UPDATE data SET QA03=CASE QA01 WHEN '100002' THEN 'L1' WHEN '100001' THEN 'L9' ELSE QA03 END", 2,
                  ""},
        // a blank name is one value to the unique index of names
        MergeCase{"TwoWithoutAName", "kfq_1.db", "UPDATE data SET QA04=NULL WHERE QA01<>'100001'", 2, ""},
        MergeCase{"NameOfAnother", "kfq_1.db", "UPDATE data SET QA04='丙' WHERE QA01='100004'", 2, ""},
        MergeCase{"EveryRowLeftOutOrEmpty", "kfq_5.db", "DELETE FROM data", 3, ""},
        // a key with a NUL: the one pass looks up "01", the row-by-row "01\0"
        MergeCase{"NulInKey", "kfq_5.db", "UPDATE data SET Qh00='01'||char(0) WHERE Qa01='100002' AND Qh00='01'", 2, ""},
        // the detail's order is QA01 only: the row-by-row finds the second 100004 product by QA01
        MergeCase{"KeyNotInOrder", "kfq_2.db", "INSERT INTO data(QA01,QE01,QE02) VALUES('100004','0002','又一个')", 2, "",
                  "kfq_2.db", "UPDATE meta_indexes SET fields='QA01' WHERE name='kfq_2'"},
        // a held key stored as a blob: found by the view's search, not by the SQL search the row-by-row merge
        // falls back on once an appended row ("100000") put the view out of order
        MergeCase{"BlobHeldKey", "kfq_1.db",
                  "INSERT INTO data(QA01,QA03,QA04) VALUES('100000','L0','零'),('100003','L3','丙')", 2, "",
                  "kfq_1.db", "UPDATE data SET QA01=CAST(QA01 AS BLOB) WHERE Id='100003'"},
        // two held rows with the submitted key (the index ignores case and is not unique)
        MergeCase{"TwoHeldRowsWithTheKey", "kfq_2.db", "", 3, "", "kfq_2.db",
                  "INSERT INTO data(ID,QA01,QE01,QE02) VALUES('X','100001','000A','又一个');"
                  "INSERT INTO data(ID,QA01,QE01,QE02) VALUES(NULL,NULL,NULL,'空')"},
        // a new enterprise's Id held by another row: refused by the file's own primary key
        MergeCase{"IdOfAnotherRow", "kfq_1.db", "", 2, "", "kfq_1.db", "UPDATE data SET Id='100004' WHERE Id='100003'"},
        // an Id too long for its field: the row-by-row merge fails before any store and keeps the send list
        MergeCase{"SendListOnDecline", "kfq_1.db", "", 3, "", "kfq_1.db", "UPDATE meta_fields SET size=5 WHERE name='Id'"}),
    [](const auto& info) { return std::string(info.param.name); });

// Descriptors of this process open on a file (an attachment left behind keeps one).
int OpenDescriptors(const std::string& path)
{
    int n = 0;
    const fs::path want = fs::canonical(path);
    for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const fs::path to = fs::read_symlink(e.path(), ec);
        n += !ec && to == want ? 1 : 0;
    }
    return n;
}

class MergeAgain : public importtest::ImportTest {};

// Two merges into the master in one window, the second after a declined one: each is merged in one pass (no
// temp table or attachment of the first is in the way) and the submitted file is left without descriptors.
TEST_F(MergeAgain, NothingLeftBehind)
{
    AddEnterprise("100001", "L1", "甲");
    MakeSubmittedDisk();
    const std::string e = Submitted("kfq_1.db");
    AddRow(e, {{"QA01", "100004"}, {"QA03", "L4"}, {"QA04", "丁"}});
    InKfq([&](TF_kfq& k) {
        const std::vector<ImportPosition> positions = KfqImportPositions();
        EntryImportHost host(k);
        int posts = 0;
        const auto beforePost = k.Table1->BeforePost;
        k.Table1->BeforePost = [&](TDataSet* d) {
            ++posts;
            beforePost(d);
        };
        std::vector<int> seen;
        for (const char* sql : {"", "UPDATE data SET QA04=QA04||' '", "UPDATE data SET QA04=trim(QA04)"}) {
            Exec(e, std::string(sql) + ";");
            posts = 0;
            F_main->Table1->SetTableName(e);
            k.curTable = k.Table1;
            ImportTable(host, positions[0]);
            seen.push_back(posts);
            EXPECT_EQ(OpenDescriptors(e), 0) << sql;
        }
        k.Table1->BeforePost = beforePost;
        EXPECT_EQ(seen, (std::vector<int>{0, 1, 0}));
    });
}

}  // namespace
