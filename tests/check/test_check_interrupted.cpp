// A check owns its result table and the send list for its whole run: killed at any moment it leaves the last
// whole result, never a part of a new one, and a second check meanwhile (another program instance on the same
// data folder, here a forked copy of the test) is refused without touching either table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "CheckFixture.h"
#include "support/KilledChild.h"

namespace {

using namespace checktest;

class CheckInterrupted : public CheckTest {
protected:
    void SetUp() override
    {
        CheckTest::SetUp();
        std::vector<std::string> codes;
        for (int i = 1; i <= 405; ++i) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "K%04d", i);
            codes.emplace_back(buf);
        }
        MakeCodes("codes.db", codes);
        MakeRules("dat_chk.db", {{"错误", "val>=0", "值为负", "val"}, {"警告", "val2<=val", "val2大于val", "val2"}});
        MakeCatalogue({{"1", "dat_chk", "code", "", "dat.db\"", "dat_r.db", "测试数据校验", "测试校验表", "测试数据库"},
                       {"1", "codes", "code", "", "dat.db\";", "name", "代码不在代码表中"}});
        std::vector<std::vector<std::string>> data;
        for (int i = 0; i < 60; ++i) {
            data.push_back({"R" + std::to_string(100 + i), i % 3 == 0 ? "X" : "K0001", i % 2 ? "-1" : "1", "2"});
        }
        MakeData(data);
    }

    // Every row of the send list, sorted.
    static std::vector<Record> SendList()
    {
        auto rows = ReadTable("sendname.db");
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

TEST_F(CheckInterrupted, AKilledRunLeavesTheLastWholeResult)
{
    int ticksPerRun = 0;
    InCheck(1, [&](TF_check& w) {
        w.Query1->AfterOpen = [&](TDataSet*) { ++ticksPerRun; };
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
        w.Query1->AfterOpen = nullptr;
    });
    const std::vector<Record> whole = ReadTable("dat_r.db");
    const std::vector<Record> sendWhole = SendList();
    ASSERT_GT(whole.size(), 50u);
    ASSERT_GT(ticksPerRun, 3);

    auto& rng = testsupport::KillRandom();
    for (int round = 0; round < 5; ++round) {
        const int killAfter = 1 + static_cast<int>(rng() % static_cast<unsigned>(2 * ticksPerRun));
        SCOPED_TRACE("round " + std::to_string(round) + ", killed after statement " + std::to_string(killAfter));
        InCheck(1, [&](TF_check& w) {
            const testsupport::KillResult killed = testsupport::RunAndKill(
                [&](const std::function<void()>& tick) {
                    w.Query1->AfterOpen = [&](TDataSet*) { tick(); };
                    for (;;) {
                        w.RunCheck();  // run after run, until killed
                    }
                },
                killAfter);
            ASSERT_GE(killed.ticks, 0) << "the check failed in the child";
            EXPECT_FALSE(killed.finished);
        });
        EXPECT_EQ(ReadTable("dat_r.db"), whole);
        // The send list claims nothing more than before: a row that a cut-off run took away is only missing.
        for (const Record& r : SendList()) {
            EXPECT_NE(std::find(sendWhole.begin(), sendWhole.end(), r), sendWhole.end()) << r.at("name");
        }
    }
    // The next run goes through as ever.
    EXPECT_EQ(Run(1), whole);
    EXPECT_EQ(SendList(), sendWhole);
}

// The child is stopped in the middle of its run (after its first statement) until the test lets it go on.
TEST_F(CheckInterrupted, ASecondCheckIsRefusedWhileOneRuns)
{
    const std::vector<Record> whole = Run(1);
    const std::vector<Record> sendWhole = SendList();
    MakeTable("dat_r.db", ResultFields());  // so that the first run's result shows when it lands
    int inRun[2], goOn[2];
    ASSERT_EQ(pipe(inRun), 0);
    ASSERT_EQ(pipe(goOn), 0);
    InCheck(1, [&](TF_check& w) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            bool told = false;
            w.Query1->AfterOpen = [&](TDataSet*) {
                if (!told) {
                    told = true;
                    char c = 'r';
                    if (write(inRun[1], &c, 1) != 1 || read(goOn[0], &c, 1) != 1) {
                        _exit(2);
                    }
                }
            };
            w.RunCheck();
            _exit(0);
        }
        char c = 0;
        ASSERT_EQ(read(inRun[0], &c, 1), 1);
        User().ExpectMessageContaining("提示", "另一个校验正在进行");
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
        EXPECT_TRUE(ReadTable("dat_r.db").empty());
        EXPECT_EQ(SendList(), sendWhole);
        EXPECT_TRUE(w.DataSource1->Enabled());
        c = 'g';
        ASSERT_EQ(write(goOn[1], &c, 1), 1);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        EXPECT_EQ(ReadTable("dat_r.db"), whole);  // the first run's result, once
        // The table is free again.
        EXPECT_TRUE(TScriptedUser::Press(*w.Button3));
    });
    for (int fd : {inRun[0], inRun[1], goOn[0], goOn[1]}) {
        close(fd);
    }
    EXPECT_EQ(ReadTable("dat_r.db"), whole);
    EXPECT_EQ(SendList(), sendWhole);
}

}  // namespace
