// A store is durable once its flush has returned: a writer killed at any moment leaves a sound file that holds
// every row it reported as flushed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "TableFixture.h"

using namespace fixture;
using T = db::FieldType;

namespace {

class TableDurabilityTest : public TableTest {};

// The child stores rows one by one, flushing each, and writes each flushed row number to the pipe.
[[noreturn]] void writer(int fd)
{
    try {
        TTable t;
        t.SetTableName("durable.db");
        t.Open();
        for (int i = 1;; ++i) {
            t.Append();
            t.FieldByName("n")->SetAsInteger(i);
            t.FieldByName("text")->SetAsString(std::string(100, 'x'));
            t.Post();
            t.FlushBuffers();
            if (write(fd, &i, sizeof i) != sizeof i)
                _exit(2);
        }
    } catch (...) {
        _exit(3);
    }
}

TEST_F(TableDurabilityTest, KilledWriterLeavesEveryFlushedRow)
{
    db::TableSchema s;
    s.fields = {F("n", T::Integer), F("text", T::String, 100)};
    s.indexes = {Primary({"n"})};
    db::CreateTableFile("durable.db", s);
    std::mt19937 rng(std::random_device{}());
    for (int round = 0; round < 3; ++round) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            writer(fds[1]);
        }
        close(fds[1]);
        // Let the child report a random number of rows, then kill it in the middle of whatever it does.
        int wanted = 5 + static_cast<int>(rng() % 40);
        int last = 0, got = 0;
        while (got < wanted && read(fds[0], &last, sizeof last) == sizeof last)
            ++got;
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        // Rows reported after the kill decision still count: their flush returned.
        int more;
        while (read(fds[0], &more, sizeof more) == sizeof more)
            last = more;
        close(fds[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended by itself: " << WEXITSTATUS(status);

        db::Connection c((dir_ / "durable.db").string(), db::Connection::Mode::ReadWrite);
        db::Statement check(c.get(), "PRAGMA integrity_check");
        ASSERT_TRUE(check.step());
        EXPECT_EQ(S(check.column(0)), "ok");
        check = db::Statement();
        db::Statement count(c.get(), "SELECT count(*) FROM data WHERE n <= ?1");
        count.bindInt(1, last);
        count.step();
        EXPECT_EQ(count.columnInt(0), last) << "round " << round;
        count = db::Statement();
        c.exec("DELETE FROM data");
        // The file still opens as a table.
        TTable t;
        t.SetTableName("durable.db");
        EXPECT_NO_THROW(t.Open());
    }
}

}  // namespace
