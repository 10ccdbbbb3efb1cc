// Work cut off at a random moment: the work runs in a forked copy of the test process, which reports its
// progress as ticks through a pipe; the test kills it (SIGKILL, nothing cleaned up) once a chosen number of
// ticks has arrived, wherever the child has got to by then. The child never returns into the test.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>

namespace testsupport {

struct KillResult {
    int ticks = 0;         // ticks that arrived before the kill
    bool finished = false;  // the work ended by itself before the kill
};

// Runs work in a child and kills it after killAfter ticks (or lets it finish when it has fewer).
inline KillResult RunAndKill(const std::function<void(const std::function<void()>& tick)>& work, int killAfter)
{
    int fds[2];
    if (pipe(fds) != 0) {
        return {-1, false};
    }
    const pid_t pid = fork();
    if (pid < 0) {
        return {-1, false};
    }
    if (pid == 0) {
        close(fds[0]);
        const char tickByte = 't', doneByte = 'd';
        int code = 0;
        try {
            work([&] {
                if (write(fds[1], &tickByte, 1) != 1) {
                    _exit(2);
                }
            });
            if (write(fds[1], &doneByte, 1) != 1) {
                code = 2;
            }
        } catch (...) {
            code = 3;
        }
        _exit(code);
    }
    close(fds[1]);
    KillResult r;
    char c = 0;
    while (r.ticks < killAfter && read(fds[0], &c, 1) == 1) {
        if (c == 'd') {
            r.finished = true;
            break;
        }
        ++r.ticks;
    }
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    // A child that was not yet killed when its last byte went out counts as finished.
    while (!r.finished && read(fds[0], &c, 1) == 1) {
        r.finished = c == 'd';
    }
    close(fds[0]);
    if (!WIFSIGNALED(status) && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
        r.ticks = -1;  // the work failed in the child
    }
    return r;
}

// A random number generator for kill points, seeded freshly for each test run.
inline std::mt19937& KillRandom()
{
    static std::mt19937 rng(std::random_device{}());
    return rng;
}

}  // namespace testsupport
