// A run's hold on a table file (a second hold is refused until the first goes) and the replacement of a table's
// rows in one go, which tables open on the file see at once.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "TableFixture.h"
#include "platform/db/TableHold.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableHoldTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        db::CreateTableFile("kfq_r.db", db::TableSchema{{F("n", T::Integer)}, {}}, {{std::int64_t{1}}});
    }
};

TEST_F(TableHoldTest, ASecondHoldIsRefusedUntilTheFirstGoes)
{
    {
        TTableHold first("kfq_r.db");
        try {
            TTableHold second("KFQ_R.DB");
            ADD_FAILURE() << "held twice";
        } catch (const ETableHeld& e) {
            EXPECT_NE(e.Message.find("数据表“KFQ_R.DB”正被另一次运行占用"), std::string::npos) << e.Message;
        }
        // Single stores are not kept out.
        TTable t;
        t.SetTableName("kfq_r.db");
        t.Open();
        t.Append();
        t.FieldByName("n")->SetAsInteger(2);
        EXPECT_NO_THROW(t.Post());
    }
    EXPECT_NO_THROW(TTableHold again("kfq_r.db"));
    EXPECT_THROW(TTableHold missing("nosuch.db"), EDatabaseError);
}

TEST_F(TableHoldTest, ReplacedRowsShowInOpenTables)
{
    db::CreateTableFile("work.db", db::TableSchema{{F("n", T::Integer)}, {}}, {{std::int64_t{7}}, {std::int64_t{8}}});
    TTable shown;
    shown.SetTableName("kfq_r.db");
    shown.Open();
    db::ReplaceTableRows((dir_ / "kfq_r.db").string(), (dir_ / "work.db").string());
    EXPECT_EQ(Column(shown, "n"), (std::vector<std::string>{"7", "8"}));
    EXPECT_EQ(StoredColumn((dir_ / "work.db").string(), "n"), (std::vector<std::string>{"7", "8"}));
}

// Whether this process holds any lock on the file, as another process asks the kernel (a forked child's SQLite
// would only consult the lock table it copied from this process).
bool LockedByThisProcess(const std::string& path)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(path.c_str(), O_RDWR);
        struct flock query = {};
        query.l_type = F_WRLCK;
        query.l_whence = SEEK_SET;  // l_start 0 and l_len 0: the whole file and beyond, where SQLite locks
        _exit(fd >= 0 && fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Closing any descriptor of a file drops every lock the process holds on it, SQLite's among them: opening a
// second table on the file or holding it must not cost the first table the write it has under way.
TEST_F(TableHoldTest, OtherUsesOfTheFileKeepAWriteUnderWayLocked)
{
    const std::string path = (dir_ / "kfq_r.db").string();
    const std::pair<const char*, std::function<void()>> uses[] = {
        {"second table opened", [] {
             TTable second;
             second.SetTableName("kfq_r.db");
             second.Open();
         }},
        {"hold taken and given up", [] { TTableHold hold("kfq_r.db"); }},
    };
    for (const auto& [name, use] : uses) {
        SCOPED_TRACE(name);
        TTable writer;
        writer.SetTableName("kfq_r.db");
        writer.Open();
        writer.BeginBatch();
        writer.Append();
        writer.FieldByName("n")->SetAsInteger(2);
        writer.Post();
        ASSERT_TRUE(LockedByThisProcess(path));
        use();
        EXPECT_TRUE(LockedByThisProcess(path));
        writer.EndBatch();
    }
}

}  // namespace
