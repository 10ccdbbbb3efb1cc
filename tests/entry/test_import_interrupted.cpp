// An import cut off midway (the program killed at a random moment of "数据追加") never looks complete: when
// the window is shown next, the user is told which import did not finish, and running it again completes it.
#include <gtest/gtest.h>

#include "entry/KfqImport.h"
#include "support/KilledChild.h"
#include "test_import_fixture.h"

namespace {

using entrytest::Values;
using importtest::ImportTest;
using Lines = std::vector<std::string>;

constexpr int kEnterprises = 150;

class InterruptedImport : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        MakeSubmittedDisk();
        // Rows of every enterprise, "#" in a value standing for its report number.
        auto fill = [&](const std::string& table, const std::vector<Values>& perEnterprise) {
            TTable t;
            t.SetTableName(Submitted(table));
            t.Open();
            t.BeginBatch();
            for (int i = 0; i < kEnterprises; ++i) {
                for (const Values& row : perEnterprise) {
                    t.Append();
                    const std::string code = std::to_string(200000 + i);
                    t.FieldByName("QA01")->SetAsString(code);
                    for (auto [field, value] : row) {
                        if (const auto at = value.find('#'); at != std::string::npos) {
                            value.replace(at, 1, code);
                        }
                        t.FieldByName(field)->SetAsString(value);
                    }
                    t.Post();
                }
            }
            t.EndBatch();
        };
        fill("kfq_1.db", {{{"QA03", "L#"}, {"QA04", "上报企业#"}}});
        fill("kfq_2.db", {{{"QE01", "0001"}, {"QE02", "产品甲"}}, {{"QE01", "0002"}, {"QE02", "产品乙"}}});
        fill("kfq_5.db", {{{"Qh00", "0001"}, {"Xmmc", "项目"}}});
    }

    // "数据追加" of the three submitted tables, merging into what the window holds.
    void ScriptAppend()
    {
        User().AnswerFile(Submitted("kfq_1.db"), "请选择企业数据库  文件名:kfq_1.db");
        Expect("", "是否清空企业数据库", IDNO);
        User().AnswerFile(Submitted("kfq_2.db"), "请选择产品数据库  文件名:kfq_2.db");
        Expect("", "是否清空产品数据库", IDNO);
        User().AnswerFile(Submitted("kfq_5.db"), "请选择科技项目情况数据库  文件名:kfq_5.db");
        Expect("", "是否清空科技项目情况数据库", IDNO);
    }

    static std::size_t Count(const std::string& table) { return Rows(table, {"Id"}).size(); }
    static bool Complete()
    {
        return Count("kfq_1.db") == kEnterprises && Count("kfq_2.db") == 2 * kEnterprises &&
               Count("kfq_5.db") == kEnterprises;
    }
    static bool Untouched() { return Count("kfq_1.db") + Count("kfq_2.db") + Count("kfq_5.db") == 0; }
};

TEST_F(InterruptedImport, IsNamedAtTheNextShowingAndARerunCompletesIt)
{
    auto& rng = testsupport::KillRandom();
    const int ticks = 4 * kEnterprises + 3;  // a tick per row read of the sources
    for (int round = 0; round < 4; ++round) {
        // Kill points over the whole import, the first and last rows included.
        const int killAfter = round == 0 ? 1 : static_cast<int>(rng() % static_cast<unsigned>(ticks + 1));
        SCOPED_TRACE("round " + std::to_string(round) + ", killed after tick " + std::to_string(killAfter));
        for (const char* t : {"kfq_1.db", "kfq_2.db", "kfq_5.db"}) {
            TTable table;
            table.SetTableName(t);
            table.EmptyTable();
        }
        testsupport::KillResult killed;
        InKfq([&](TF_kfq& k) {
            killed = testsupport::RunAndKill(
                [&](const std::function<void()>& tick) {
                    User().ClearScript();
                    ScriptAppend();
                    F_main->Table1->AfterScroll = [&](TDataSet*) { tick(); };
                    KfqAppendData(k);
                },
                killAfter);
        });
        ASSERT_GE(killed.ticks, 0) << "the import failed in the child";
        const bool partial = !Complete() && !Untouched();
        if (partial) {
            EXPECT_FALSE(killed.finished);
        }
        // Cut off before its mark went out, or after it was taken back, the import left nothing to tell: then the
        // data are untouched or complete. A mark names the import and its sources once, when the window shows.
        const bool marked = std::filesystem::exists("kfq_1.import");
        EXPECT_TRUE(marked || !partial) << "an unfinished import left no trace";
        if (marked) {
            User().ExpectMessageContaining("提示", "上次的“数据追加”没有完成（高新区企业");
        }
        InKfq([&](TF_kfq& k) {
            if (marked) {
                const std::string text = User().Messages().back().text;
                EXPECT_NE(text.find(Submitted("kfq_1.db")), std::string::npos) << text;
                EXPECT_NE(text.find("请再次执行“数据追加”"), std::string::npos) << text;
            }
            ScriptAppend();
            KfqAppendData(k);
        });
        EXPECT_TRUE(Complete()) << Count("kfq_1.db") << " " << Count("kfq_2.db") << " " << Count("kfq_5.db");
        EXPECT_EQ(Rows("kfq_2.db", {"ID", "QE02", "QE_ONE"}).front(), "2000000001|产品甲|1");
        InKfq([](TF_kfq&) {});  // told once: no message now
    }
}

}  // namespace
