// The copy of a table file through SQLite's backup into a temporary file beside its target, and the
// replacement of a set of targets by their copies: each target is first linked to a name aside (so it never
// stops existing), then the copy is renamed over it; a failure renames the asides back.
#include "exchange/TableCopy.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/db/Connection.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableStore.h"

namespace fs = std::filesystem;

namespace exchange {

std::function<void(CopyStep, const std::string&)> CopyFaultHook;

namespace {

// Pages copied between two calls of the fault hook.
constexpr int kPagesPerStep = 64;
// How long a copy waits for a source that another program is writing.
constexpr int kBusyWaitMs = db::kBusyTimeoutMs;

std::string TempBeside(const fs::path& target)
{
    static int serial = 0;
    return (target.parent_path() / (target.stem().string() + "~" + std::to_string(getpid()) + "-" +
                                    std::to_string(++serial) + target.extension().string()))
        .string();
}

// Forces a file or folder to disk; raises EDatabaseError naming it.
void Sync(const std::string& path, bool folder)
{
    if (!db::SyncFile(path, folder)) {
        throw EDatabaseError("无法把“" + path + "”写入磁盘：" + std::strerror(errno));
    }
}

void RemoveFile(const std::string& path)
{
    std::error_code ec;
    fs::remove(path, ec);
    db::RemoveStaleJournal(path);
}

// Finishes a backup whatever happens; finish() gives its result once.
class Backup {
public:
    Backup(sqlite3* to, sqlite3* from) : backup_(sqlite3_backup_init(to, "main", from, "main")) {}
    ~Backup()
    {
        if (backup_) {
            sqlite3_backup_finish(backup_);
        }
    }
    Backup(const Backup&) = delete;
    Backup& operator=(const Backup&) = delete;
    sqlite3_backup* get() const { return backup_; }
    int finish()
    {
        const int rc = sqlite3_backup_finish(backup_);
        backup_ = nullptr;
        return rc;
    }

private:
    sqlite3_backup* backup_;
};

// Copies source into the new file dest, then checks the copy: it must be a table and pass SQLite's check.
void CopyTableFile(const std::string& source, const std::string& dest, const std::string& target)
{
    const std::string what = "无法复制表“" + source + "”";
    db::CheckTableFile(source, source);
    db::Connection from(source, db::Connection::Mode::ReadWrite);
    db::Connection to(dest, db::Connection::Mode::ReadWriteCreate);
    Backup backup(to.get(), from.get());
    if (!backup.get()) {
        db::ThrowSqliteError(to.get(), sqlite3_errcode(to.get()), what);
    }
    int rc = SQLITE_OK;
    for (int waited = 0;;) {
        rc = sqlite3_backup_step(backup.get(), kPagesPerStep);
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && waited < kBusyWaitMs) {
            sqlite3_sleep(50);
            waited += 50;
            continue;
        }
        if (rc != SQLITE_OK && rc != SQLITE_DONE) {
            break;
        }
        if (CopyFaultHook) {
            CopyFaultHook(CopyStep::Copying, target);
        }
        if (rc == SQLITE_DONE) {
            break;
        }
    }
    const int finished = backup.finish();
    if (rc != SQLITE_DONE) {
        db::ThrowSqliteError(rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? from.get() : to.get(),
                             finished != SQLITE_OK ? finished : rc, what);
    }
    db::ReadLayout(to.get(), source);
    {
        db::Statement check(to.get(), "PRAGMA quick_check");
        const std::string verdict = check.step() ? db::PlainText(check.column(0)) : "?";
        if (verdict != "ok") {
            throw EDatabaseError("表“" + source + "”已损坏（" + verdict + "），不能用它");
        }
    }
    to.close();
    Sync(dest, false);
}

}  // namespace

std::string PreviousGeneration(const std::string& target)
{
    const fs::path p(target);
    return (p.parent_path() / (p.stem().string() + "_prev" + p.extension().string())).string();
}

ReplacementSet::~ReplacementSet()
{
    if (committed_) {
        return;
    }
    for (const Entry& e : entries_) {
        RemoveFile(e.staged);
    }
}

std::string ReplacementSet::Stage(const std::string& source, const std::string& target)
{
    std::error_code ec;
    const fs::file_status st = fs::symlink_status(target, ec);
    if (fs::exists(st) && !fs::is_regular_file(st)) {
        throw EDatabaseError("“" + target + "”不是一个文件，不能用表替换它");
    }
    if (db::IsFileOpen(target)) {
        throw EDatabaseError("表“" + target + "”正在使用，不能替换它；请先关闭打开它的窗口");
    }
    if (fs::exists(target + "-journal", ec)) {
        // A writer killed mid-transaction left its journal: it is rolled back into the target now, as the next
        // opening would do, so that it is never rolled into the copy that takes the target's name. A target too
        // damaged to open loses the journal with it.
        try {
            db::Connection c(target, db::Connection::Mode::ReadWrite);
            c.exec("SELECT count(*) FROM sqlite_master");
        } catch (const std::exception&) {
        }
        db::RemoveStaleJournal(target);
    }
    Entry e;
    e.staged = TempBeside(target);
    e.target = target;
    entries_.push_back(e);
    CopyTableFile(source, e.staged, target);
    return e.staged;
}

std::vector<std::string> ReplacementSet::Replaced() const
{
    std::vector<std::string> out;
    for (const Entry& e : entries_) {
        if (e.hadTarget) {
            out.push_back(e.target);
        }
    }
    return out;
}

void ReplacementSet::PutBack()
{
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
        std::error_code ec;
        if (e->placed || e->movedAside) {
            if (!e->aside.empty()) {
                fs::rename(e->aside, e->target, ec);
            } else {
                fs::remove(e->target, ec);
            }
        } else if (!e->aside.empty()) {
            fs::remove(e->aside, ec);  // a second name of the target, which never changed
        }
    }
}

void ReplacementSet::Commit()
{
    std::string failed;
    try {
        for (Entry& e : entries_) {
            failed = e.target;
            std::error_code ec;
            e.hadTarget = fs::exists(fs::symlink_status(e.target, ec));
            if (e.hadTarget) {
                // The target keeps its name until the copy takes it over; where the file system has no links,
                // it is moved aside instead.
                const std::string aside = TempBeside(e.target);
                if (link(e.target.c_str(), aside.c_str()) != 0) {
                    if (rename(e.target.c_str(), aside.c_str()) != 0) {
                        throw EDatabaseError(std::string(std::strerror(errno)));
                    }
                    e.movedAside = true;
                }
                e.aside = aside;
            }
            if (CopyFaultHook) {
                CopyFaultHook(CopyStep::Replacing, e.target);
            }
            if (rename(e.staged.c_str(), e.target.c_str()) != 0) {
                throw EDatabaseError(std::string(std::strerror(errno)));
            }
            e.placed = true;
        }
    } catch (const std::exception& failure) {
        PutBack();
        throw EDatabaseError("无法替换“" + failed + "”：" + failure.what());
    }
    committed_ = true;
    std::set<std::string> folders;
    for (const Entry& e : entries_) {
        if (!e.aside.empty()) {
            std::error_code ec;
            if (previous_ == Previous::Keep) {
                fs::rename(e.aside, PreviousGeneration(e.target), ec);
            } else {
                fs::remove(e.aside, ec);
            }
        }
        folders.insert(fs::path(e.target).parent_path().string());
    }
    for (const std::string& folder : folders) {
        Sync(folder, true);
    }
}

}  // namespace exchange
