// BuildDataFolder: a data folder made from descriptions holds every table in its format with its rows and
// the work folders; any fault names the description or table and leaves nothing behind. BuildDataFolderIn does
// the same in a folder that already holds other files, which stay as they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "TempFiles.h"
#include "platform/db/Connection.h"
#include "platform/db/DataText.h"
#include "platform/db/Dbf.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;
using db::Variant;

namespace {

using tempfiles::TempDir;

// The names in a folder, sorted.
std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder))
        out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

// A data directory with the given descriptions (file name -> text).
fs::path MakeDataDir(const TempDir& tmp, const std::map<std::string, std::string>& files)
{
    const fs::path data = tmp / "data";
    fs::create_directories(data / "tables");
    for (const auto& [name, text] : files)
        std::ofstream(data / "tables" / name, std::ios::binary) << text;
    return data;
}

const std::map<std::string, std::string> kGood = {
    {"send.db.txt", "table send.db\nfield id I\nfield name A40\nprimary id\nrows id|name\n1|kfq_r.db\n2|中文\nend\n"},
    {"list.dbf.txt", "table list.dbf\nfield PXH A3\nfield JB01 A4\nrows PXH|JB01\n110|北京项目\nend\n"},
    {"empty.DB.txt", "# no rows\ntable empty.DB\nfield a N\n"},
};

std::int64_t CountRows(const fs::path& file)
{
    db::Connection c(file.string(), db::Connection::Mode::ReadWrite);
    db::Statement s(c.get(), "select count(*) from data");
    EXPECT_TRUE(s.step());
    return s.columnInt(0);
}

TEST(BuildDataFolder, EveryTableInItsFormatWithWorkFolders)
{
    TempDir tmp;
    const fs::path data = MakeDataDir(tmp, kGood);
    const fs::path folder = tmp / "folder";
    EXPECT_EQ(db::datatext::BuildDataFolder(data.string(), folder.string()), 3);

    for (const char* w : {"tmp", "bak", "sendfile", "attach"})
        EXPECT_TRUE(fs::is_directory(folder / w)) << w;
    EXPECT_EQ(CountRows(folder / "send.db"), 2);
    EXPECT_EQ(CountRows(folder / "empty.DB"), 0);
    {
        db::Connection c((folder / "send.db").string(), db::Connection::Mode::ReadWrite);
        const db::TableSchema s = db::ReadLayout(c.get(), "send.db");
        const db::TableSchema described = db::datatext::ParseFile((data / "tables" / "send.db.txt").string()).schema;
        EXPECT_EQ(s.fields, described.fields);
        EXPECT_EQ(s.indexes, described.indexes);
    }
    const auto list = db::dbf::Read((folder / "list.dbf").string());
    EXPECT_EQ(list.rows, (std::vector<db::dbf::Row>{{std::string("110"), std::string("北京项目")}}));
    // Nothing but the tables and work folders.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 7);
}

TEST(BuildDataFolder, AnEmptyExistingFolderIsUsed)
{
    TempDir tmp;
    const fs::path data = MakeDataDir(tmp, kGood);
    fs::create_directories(tmp / "folder");
    db::datatext::BuildDataFolder(data.string(), (tmp / "folder").string());
    EXPECT_TRUE(fs::exists(tmp / "folder" / "send.db"));
}

struct FaultCase {
    const char* name;
    std::map<std::string, std::string> extra;  // descriptions added to the good ones
    std::string expectedInMessage;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class BuildDataFolderFault : public testing::TestWithParam<FaultCase> {};

TEST_P(BuildDataFolderFault, NamesTheCulpritAndLeavesNothing)
{
    const auto& c = GetParam();
    TempDir tmp;
    auto files = kGood;
    files.insert(c.extra.begin(), c.extra.end());
    const fs::path data = MakeDataDir(tmp, files);
    const fs::path folder = tmp / "out" / "folder";
    try {
        db::datatext::BuildDataFolder(data.string(), folder.string());
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find(c.expectedInMessage), std::string::npos) << e.Message;
    }
    EXPECT_FALSE(fs::exists(folder));
    if (fs::exists(tmp / "out")) {
        EXPECT_TRUE(fs::is_empty(tmp / "out")) << "a half-built folder was left behind";
    }
    // Built in place, into a folder that holds a file of the user's, or into a new one.
    fs::create_directories(tmp / "mine");
    std::ofstream(tmp / "mine" / "notes.txt") << "mine";
    for (const fs::path& into : {tmp / "mine", tmp / "new" / "folder"}) {
        EXPECT_THROW(db::datatext::BuildDataFolderIn(data.string(), into.string()), EDatabaseError) << into;
    }
    EXPECT_EQ(Listing(tmp / "mine"), std::vector<std::string>{"notes.txt"});
    EXPECT_FALSE(fs::exists(tmp / "new"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BuildDataFolderFault,
    testing::Values(
        FaultCase{"bad_description", {{"bad.db.txt", "table bad.db\nfield a A1\nfield b Q\n"}},
                  "bad.db.txt:3: unknown type"},
        FaultCase{"name_mismatch", {{"one.db.txt", "table two.db\nfield a A1\n"}}, "one.db.txt:1:"},
        FaultCase{"key_violation",
                  {{"zz.db.txt", "table zz.db\nfield a A1\nprimary a\nrows a\nx\nx\nend\n"}}, "无法建立数据表“zz.db”"},
        FaultCase{"dbase_value", {{"zz.dbf.txt", "table zz.dbf\nfield a A1\nrows a\n\xF0\x9F\x98\x80\nend\n"}},
                  "无法建立数据表“zz.dbf”"},
        FaultCase{"same_name_twice", {{"SEND.DB.txt", "table SEND.DB\nfield a A1\n"}}, "也由"},
        FaultCase{"work_folder_name", {{"tmp.txt", "table tmp\nfield a A1\n"}}, "是工作文件夹的名字"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildDataFolder, RefusesAFolderThatHoldsFiles)
{
    TempDir tmp;
    const fs::path data = MakeDataDir(tmp, kGood);
    fs::create_directories(tmp / "folder");
    std::ofstream(tmp / "folder" / "kfq_1.db") << "user data";
    EXPECT_THROW(db::datatext::BuildDataFolder(data.string(), (tmp / "folder").string()), EDatabaseError);
    EXPECT_FALSE(fs::exists(tmp / "folder" / "send.db"));
    std::ifstream in(tmp / "folder" / "kfq_1.db");
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "user data");
}

// In place: the tables and the missing work folders join what the folder holds, which stays as it was.
TEST(BuildDataFolderIn, AddsTheTablesBesideTheFilesAFolderHolds)
{
    TempDir tmp;
    const fs::path data = MakeDataDir(tmp, kGood);
    const fs::path folder = tmp / "home";
    fs::create_directories(folder / "TMP");
    std::ofstream(folder / "TMP" / "kept.txt") << "kept";
    std::ofstream(folder / "notes.txt") << "mine";
    EXPECT_EQ(db::datatext::BuildDataFolderIn(data.string(), folder.string()), 3);
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"TMP", "attach", "bak", "empty.DB", "list.dbf", "notes.txt",
                                                         "send.db", "sendfile"}));
    EXPECT_EQ(CountRows(folder / "send.db"), 2);
    EXPECT_TRUE(fs::exists(folder / "TMP" / "kept.txt"));
}

// A folder that already holds one of the tables (under any case), or a file where a work folder belongs, is
// refused and left as it was.
TEST(BuildDataFolderIn, RefusesAFolderHoldingATableOrAFileInAWorkFoldersPlace)
{
    for (const char* held : {"SEND.DB", "bak"}) {
        TempDir tmp;
        const fs::path data = MakeDataDir(tmp, kGood);
        const fs::path folder = tmp / "home";
        fs::create_directories(folder);
        std::ofstream(folder / held) << "mine";
        try {
            db::datatext::BuildDataFolderIn(data.string(), folder.string());
            ADD_FAILURE() << held << ": built";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(e.Message.find(held), std::string::npos) << e.Message;
        }
        EXPECT_EQ(Listing(folder), std::vector<std::string>{held});
    }
}

TEST(BuildDataFolder, MissingTablesFolderIsNamed)
{
    TempDir tmp;
    try {
        db::datatext::BuildDataFolder((tmp / "nodata").string(), (tmp / "f").string());
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message.find("nodata"), std::string::npos) << e.Message;
    }
}

// The shipped data/ builds, and each table holds the rows of its description.
TEST(BuildDataFolder, ShippedDataBuilds)
{
    TempDir tmp;
    const fs::path data = fs::path(VEMORA_SOURCE_DIR) / "data";
    db::datatext::BuildDataFolder(data.string(), (tmp / "folder").string());
    for (const auto& e : fs::directory_iterator(data / "tables")) {
        if (e.path().extension() != ".txt")
            continue;
        const auto d = db::datatext::ParseFile(e.path().string());
        const fs::path file = tmp / "folder" / d.tableName;
        ASSERT_TRUE(fs::exists(file)) << file;
        if (file.extension() == ".dbf")
            EXPECT_EQ(db::dbf::Read(file.string()).rows.size(), d.rows.size()) << file;
        else
            EXPECT_EQ(CountRows(file), static_cast<std::int64_t>(d.rows.size())) << file;
    }
}

}  // namespace
