#include "exchange/FileCopy.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/db/Exception.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;

namespace {

// The file may be a table the program has open: its SQLite locks stay (see HasSqliteHeader).
bool IsSqliteFile(const std::string& path) { return db::HasSqliteHeader(path).value_or(false); }

// SQLite's backup: a consistent snapshot even while another connection writes.
bool BackupInto(const std::string& from, const std::string& to, std::string& error)
{
    sqlite3* src = nullptr;
    sqlite3* dst = nullptr;
    bool ok = sqlite3_open_v2(from.c_str(), &src, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
              sqlite3_open_v2(to.c_str(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
    if (ok) {
        sqlite3_busy_timeout(src, 5000);
        sqlite3_busy_timeout(dst, 5000);
        sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
        ok = b && sqlite3_backup_step(b, -1) == SQLITE_DONE;
        if (b) {
            sqlite3_backup_finish(b);
        }
        ok = ok && sqlite3_errcode(dst) == SQLITE_OK;
    }
    if (!ok) {
        error = sqlite3_errmsg(dst ? dst : src);
    }
    sqlite3_close(src);
    sqlite3_close(dst);
    return ok;
}

bool StreamInto(const std::string& from, const std::string& to, std::string& error)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out) {
        error = std::system_category().message(errno);
        return false;
    }
    out << in.rdbuf();
    out.flush();
    if (!in.good() && !in.eof()) {
        error = "读取失败";
        return false;
    }
    if (!out) {
        error = "写入失败（磁盘已满？）";
        return false;
    }
    return true;
}

}  // namespace

void CopyWholeFile(const std::string& from, const std::string& to)
{
    std::error_code ec;
    if (!fs::is_regular_file(from, ec)) {
        throw Exception("找不到文件 " + from);
    }
    const fs::path target(to);
    std::string temp = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        throw Exception("无法在 " + target.parent_path().string() + " 中写入 " + target.filename().string() + "：" +
                        std::system_category().message(errno));
    }
    ::close(fd);
    std::string error;
    const bool ok = IsSqliteFile(from) ? BackupInto(from, temp, error) : StreamInto(from, temp, error);
    if (!ok) {
        fs::remove(temp, ec);
        throw Exception("复制 " + from + " 到 " + to + " 失败：" + error);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw Exception("复制 " + from + " 到 " + to + " 失败：" + ec.message());
    }
}
