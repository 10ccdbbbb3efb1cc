// Backup and restore end to end: a backup, damage, and a restore that brings every table back; the previous
// backup kept beside the new one; the messages that name what was copied and what was missing; failures in
// the middle of a copy or a replacement (thrown, a vanished copy, a damaged backup) that leave every table of
// the report as it was; and a table left half written by a killed program, copied as of its last commit.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "MaintenanceFixture.h"

namespace maintenancetest {
namespace {

using testsupport::ReadTable;

constexpr const char* kRestoreQuestion = "数据还原将用上次备份的数据覆盖当前数据库，是否要继续进行操作？";

std::string Joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : "、") + n;
    }
    return out;
}

// Deletes the first record of a table file, so that it differs from its backup.
void DropFirstRecord(const fs::path& table)
{
    TTable t;
    t.SetTableName(table.string());
    t.Open();
    ASSERT_FALSE(t.IsEmpty()) << table;
    t.Delete();
    t.Close();
}

TEST_F(MaintenanceTest, TheReportListTicksAllClearsAllAndReversesTheDoubleClickedItem)
{
    auto ticks = [](TF_xtwh& w) {
        std::vector<int> out;
        for (int i = 0; i < w.CheckListBox1->Count(); ++i) {
            if (w.CheckListBox1->Checked(i)) {
                out.push_back(i);
            }
        }
        return out;
    };
    EXPECT_TRUE(BaseDir.empty());
    InWindow([&](TF_xtwh& w) {
        EXPECT_EQ(w.Caption(), "系统维护");
        EXPECT_EQ(w.CheckListBox1->Count(), 11);
        EXPECT_TRUE(ticks(w).empty());
        EXPECT_TRUE(TScriptedUser::Press(*w.Button7));
        EXPECT_EQ(ticks(w).size(), 11u);
        EXPECT_TRUE(TScriptedUser::Press(*w.Button8));
        EXPECT_TRUE(ticks(w).empty());
        EXPECT_TRUE(TScriptedUser::Choose(*w.CheckListBox1, 3));
        EXPECT_TRUE(TScriptedUser::DblClick(*w.CheckListBox1));
        EXPECT_EQ(ticks(w), std::vector<int>{3});
    });
    EXPECT_EQ(BaseDir, folder_.string() + "/");
    // The ticks stay for the next opening; a second double-click reverses the tick again.
    InWindow([&](TF_xtwh& w) {
        EXPECT_EQ(ticks(w), std::vector<int>{3});
        EXPECT_TRUE(TScriptedUser::DblClick(*w.CheckListBox1));
        EXPECT_TRUE(ticks(w).empty());
    });
}

TEST_F(MaintenanceTest, BackupThenDamageThenRestoreBringsEveryTableBack)
{
    const std::vector<std::string> tables = AllTables();
    const Contents before = Read(folder_, tables);
    ASSERT_FALSE(before.at("kfq_1.db").empty());
    ASSERT_FALSE(before.at("gjxm.db").empty());
    InWindow([&](TF_xtwh& w) {
        EXPECT_TRUE(TScriptedUser::Press(*w.Button7));
        User().ExpectMessage("", "数据备份完成\n\n已备份：" + Joined(tables) + "\n数据文件夹中没有，未备份：dxzfqyxm.db");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button1));
    });
    EXPECT_EQ(Read(Bak(), tables), before);

    Damage(folder_ / "kfq_2.db");
    DropFirstRecord(folder_ / "gjxm.db");
    fs::remove(folder_ / "dx.db");
    InWindow([&](TF_xtwh& w) {
        EXPECT_TRUE(TScriptedUser::Press(*w.Button7));
        User().ExpectMessage("", kRestoreQuestion, IDYES)
            .ExpectMessage("", "数据还原完成\n\n已还原：" + Joined(tables) + "\n备份中没有，未还原：dxzfqyxm.db");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button2));
    });
    EXPECT_EQ(Read(folder_, tables), before);
    EXPECT_TRUE(Leftovers(folder_).empty());
    EXPECT_TRUE(Leftovers(Bak()).empty());
    EXPECT_EQ(fs::current_path(), folder_);
}

TEST_F(MaintenanceTest, ASecondBackupKeepsThePreviousOneAndCopiesSharedTablesOnce)
{
    const std::vector<std::string> enterprise = {"kfq_1.db", "kfq_2.db", "kfq_5.db"};
    const Contents first = Read(folder_, enterprise);
    InWindow([&](TF_xtwh& w) {
        Tick(w, {0});
        User().ExpectMessage("", "数据备份完成\n\n已备份：kfq_1.db、kfq_2.db、kfq_5.db");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button1));
    });
    DropFirstRecord(folder_ / "kfq_1.db");
    const Contents second = Read(folder_, enterprise);
    // Items 0 and 2 share their tables: each is copied once, so the previous generation is the first backup.
    InWindow([&](TF_xtwh& w) {
        Tick(w, {0, 2});
        User().ExpectMessage("", "数据备份完成\n\n已备份：kfq_1.db、kfq_2.db、kfq_5.db\n"
                                 "上一次的备份保留为：kfq_1_prev.db、kfq_2_prev.db、kfq_5_prev.db");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button1));
    });
    EXPECT_EQ(Read(Bak(), enterprise), second);
    EXPECT_EQ(ReadTable((Bak() / "kfq_1_prev.db").string()), first.at("kfq_1.db"));
    EXPECT_NE(first.at("kfq_1.db"), second.at("kfq_1.db"));
}

// What the window says when there is nothing to do, or something is missing; data files stay as they were
// unless something was restored.
struct Refusal {
    const char* name;
    std::function<void(const fs::path& data)> prepare;
    std::vector<int> ticked;
    bool restore;
    std::function<void(TScriptedUser&, const fs::path& data)> script;
    std::vector<std::string> restored;  // data files that take the backup's contents; the others stay as they were
};
void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class MaintenanceRefusal : public MaintenanceTest, public testing::WithParamInterface<Refusal> {};

TEST_P(MaintenanceRefusal, SaysWhatWasAndWasNotDone)
{
    const Refusal& r = GetParam();
    r.prepare(folder_);
    const std::vector<std::string> tables = AllTables();
    std::map<std::string, std::string> bytes;
    for (const std::string& t : tables) {
        bytes[t] = FileBytes(folder_ / t);
    }
    InWindow([&](TF_xtwh& w) {
        Tick(w, r.ticked);
        r.script(User(), folder_);
        EXPECT_TRUE(TScriptedUser::Press(r.restore ? *w.Button2 : *w.Button1));
    });
    for (const std::string& t : tables) {
        if (std::find(r.restored.begin(), r.restored.end(), t) != r.restored.end()) {
            EXPECT_EQ(ReadTable(t), ReadTable((Bak() / t).string())) << t;
        } else {
            EXPECT_EQ(FileBytes(folder_ / t), bytes[t]) << t;
        }
    }
}

// A backup of item 0 whose kfq_1.db then loses a record.
void BackUpEnterprisesThenChangeOne(const fs::path& data)
{
    exchange::CopyReports(data.string(), {0}, exchange::CopyDirection::Backup);
    DropFirstRecord(data / "kfq_1.db");
}

const Refusal kRefusals[] = {
    {"NothingTicked", [](const fs::path&) {}, {}, false,
     [](TScriptedUser& u, const fs::path&) { u.ExpectMessage("", "请先在“请选择数据库”中选定报表"); }, {}},
    {"BackupFolderMissing", [](const fs::path& d) { fs::remove_all(d / "bak"); }, {1}, false,
     [](TScriptedUser& u, const fs::path& d) {
         u.ExpectMessage("", "数据备份没有进行：文件夹“" + (d / "bak").string() + "”不存在。");
     },
     {}},
    {"BackupFolderIsAFile",
     [](const fs::path& d) {
         fs::remove_all(d / "bak");
         std::ofstream(d / "bak") << "x";
     },
     {1}, false,
     [](TScriptedUser& u, const fs::path& d) {
         u.ExpectMessage("", "数据备份没有进行：“" + (d / "bak").string() + "”不是文件夹。");
     },
     {}},
    {"RestoreWithoutBackupFolder", [](const fs::path& d) { fs::remove_all(d / "bak"); }, {1}, true,
     [](TScriptedUser& u, const fs::path& d) {
         u.ExpectMessage("", "数据还原没有进行：没有备份文件夹“" + (d / "bak").string() + "”，没有可以还原的备份。");
     },
     {}},
    {"RestoreWithNoBackupPresent", [](const fs::path&) {}, {1, 3}, true,
     [](TScriptedUser& u, const fs::path& d) {
         u.ExpectMessage("", kRestoreQuestion, IDYES)
             .ExpectMessage("", "没有还原任何表：备份文件夹“" + (d / "bak").string() +
                                    "”中没有所选报表的备份（kfqzh.db、gjxm.db）");
     },
     {}},
    {"RestoreAnsweredNo", BackUpEnterprisesThenChangeOne, {0}, true,
     [](TScriptedUser& u, const fs::path&) { u.ExpectMessage("", kRestoreQuestion, IDNO); }, {}},
    {"RestoreOfSomeReportsOnly", BackUpEnterprisesThenChangeOne, {0, 1}, true,
     [](TScriptedUser& u, const fs::path&) {
         u.ExpectMessage("", kRestoreQuestion, IDYES)
             .ExpectMessage("", "数据还原完成\n\n已还原：kfq_1.db、kfq_2.db、kfq_5.db\n备份中没有，未还原：kfqzh.db");
     },
     {"kfq_1.db", "kfq_2.db", "kfq_5.db"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, MaintenanceRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// A failure in the middle of a backup or restore of items 0 and 1: report 0 (three tables) stays whole on the
// target side, report 1 is still copied.
struct Fault {
    const char* name;
    bool restore;
    // Sets up the failure in the data folder (after the backup and the change).
    std::function<void(const fs::path& data)> inject;
    const char* reason;  // part of the message
};
void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

class MaintenanceFault : public MaintenanceTest, public testing::WithParamInterface<Fault> {};

// Fails the copy at step when it reaches the table file.
std::function<void(const fs::path&)> FailAt(exchange::CopyStep step, const std::string& file)
{
    return [step, file](const fs::path&) {
        exchange::CopyFaultHook = [step, file](exchange::CopyStep s, const std::string& target) {
            if (s == step && fs::path(target).filename() == file) {
                throw EDatabaseError("磁盘已满");
            }
        };
    };
}

// Removes the staged copy of a table just before it would replace its target, as another program might.
std::function<void(const fs::path&)> VanishCopyOf(const std::string& stem)
{
    return [stem](const fs::path&) {
        exchange::CopyFaultHook = [stem](exchange::CopyStep s, const std::string& target) {
            if (s != exchange::CopyStep::Replacing || fs::path(target).stem() != stem) {
                return;
            }
            for (const auto& e : fs::directory_iterator(fs::path(target).parent_path())) {
                if (e.path().filename().string().rfind(stem + "~", 0) == 0) {
                    fs::remove(e.path());
                }
            }
        };
    };
}

TEST_P(MaintenanceFault, LeavesTheReportAsItWasAndGoesOn)
{
    const Fault& f = GetParam();
    exchange::CopyReports(folder_.string(), {0, 1}, exchange::CopyDirection::Backup);
    DropFirstRecord(folder_ / "kfq_1.db");
    DropFirstRecord(folder_ / "kfq_5.db");
    DropFirstRecord(folder_ / "kfqzh.db");
    const fs::path target = f.restore ? folder_ : Bak();
    const fs::path source = f.restore ? Bak() : folder_;
    std::map<std::string, std::string> before;
    for (const char* t : {"kfq_1.db", "kfq_2.db", "kfq_5.db", "kfq_1_prev.db"}) {
        before[t] = FileBytes(target / t);
    }
    f.inject(folder_);
    InWindow([&](TF_xtwh& w) {
        Tick(w, {0, 1});
        if (f.restore) {
            User().ExpectMessage("", kRestoreQuestion, IDYES);
        }
        User().ExpectMessageContaining("", "没有全部完成");
        EXPECT_TRUE(TScriptedUser::Press(f.restore ? *w.Button2 : *w.Button1));
    });
    const std::string verb = f.restore ? "还原" : "备份";
    const std::string text = User().Messages().back().text;
    for (const std::string& part : {"数据" + verb + "没有全部完成\n\n已" + verb + "：kfqzh.db",
                                    "\n\n未" + verb + "：kfq_1.db、kfq_2.db、kfq_5.db\n原因：", std::string(f.reason)}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    }
    for (const auto& [t, b] : before) {
        EXPECT_EQ(FileBytes(target / t), b) << t;
    }
    EXPECT_EQ(ReadTable((target / "kfqzh.db").string()), ReadTable((source / "kfqzh.db").string()));
    EXPECT_EQ(Leftovers(folder_), std::vector<std::string>{});
    EXPECT_EQ(Leftovers(Bak()), std::vector<std::string>{});
}

const Fault kFaults[] = {
    {"BackupCopyFails", false, FailAt(exchange::CopyStep::Copying, "kfq_2.db"), "磁盘已满"},
    {"BackupReplacementFails", false, FailAt(exchange::CopyStep::Replacing, "kfq_5.db"), "磁盘已满"},
    {"BackupCopyVanishes", false, VanishCopyOf("kfq_5"), "kfq_5.db"},
    {"RestoreCopyFails", true, FailAt(exchange::CopyStep::Copying, "kfq_5.db"), "磁盘已满"},
    {"RestoreReplacementFails", true, FailAt(exchange::CopyStep::Replacing, "kfq_2.db"), "磁盘已满"},
    {"RestoreCopyVanishes", true, VanishCopyOf("kfq_5"), "kfq_5.db"},
    {"RestoreOfADamagedBackup", true, [](const fs::path& d) { Damage(d / "bak" / "kfq_2.db"); }, "kfq_2.db"},
    {"RestoreOfAForeignFile", true, [](const fs::path& d) { std::ofstream(d / "bak" / "kfq_5.db") << "not a table"; },
     "kfq_5.db"},
};
INSTANTIATE_TEST_SUITE_P(Cases, MaintenanceFault, testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// A program killed in the middle of a transaction leaves its changes in the table file and the old pages in
// the journal beside it.
void LeaveHalfWritten(const fs::path& table)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(table.c_str(), &db);
        // A transaction larger than a small cache spills its changes into the file before the commit.
        sqlite3_exec(db,
                     "PRAGMA cache_size=1; BEGIN; DELETE FROM data; WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                     "SELECT x+1 FROM c WHERE x<300) INSERT INTO data(Id) SELECT hex(randomblob(500)) FROM c;",
                     nullptr, nullptr, nullptr);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(fs::exists(table.string() + "-journal"));
}

// A copy reads the half-written table as of its last commit, as the next opening would.
TEST_F(MaintenanceTest, ABackupTakesAHalfWrittenTableAsOfItsLastCommit)
{
    const fs::path table = folder_ / "kfq_1.db";
    const auto committed = ReadTable(table.string());
    const std::string committedBytes = FileBytes(table);
    LeaveHalfWritten(table);
    ASSERT_NE(FileBytes(table), committedBytes);
    InWindow([&](TF_xtwh& w) {
        Tick(w, {0});
        User().ExpectMessageContaining("", "数据备份完成");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button1));
    });
    EXPECT_EQ(ReadTable((Bak() / "kfq_1.db").string()), committed);
}

// A restore over a half-written table puts the backup in its place whole: no page of the journal left by the
// killed writer is rolled into it.
TEST_F(MaintenanceTest, ARestoreOverAHalfWrittenTableTakesTheBackupWhole)
{
    const fs::path table = folder_ / "kfq_1.db";
    exchange::CopyReports(folder_.string(), {0}, exchange::CopyDirection::Backup);
    const auto backedUp = ReadTable(table.string());
    DropFirstRecord(table);
    LeaveHalfWritten(table);
    exchange::CopyReports(folder_.string(), {0}, exchange::CopyDirection::Restore);
    EXPECT_EQ(ReadTable(table.string()), backedUp);
    EXPECT_FALSE(fs::exists(table.string() + "-journal"));
}

}  // namespace
}  // namespace maintenancetest
