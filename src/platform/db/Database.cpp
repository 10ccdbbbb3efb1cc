#include "platform/db/Database.h"

#include <filesystem>

#include "platform/db/Connection.h"
#include "platform/db/Names.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;

TDatabase::~TDatabase() = default;

void TDatabase::SetConnected(bool on)
{
    if (on == connected_)
        return;
    if (on) {
        std::string folder = DatabaseName.empty() ? std::string(".") : DatabaseName;
        std::error_code ec;
        if (!fs::is_directory(folder, ec))
            throw EDatabaseError("无法使用数据文件夹“" + folder + "”（不存在或不是文件夹）");
    }
    connected_ = on;
}

hDBIDb TDatabase::Handle() const { return connected_ ? const_cast<TDatabase*>(this) : nullptr; }

namespace db {

bool PackTable(hDBIDb database, const std::string& tableName)
{
    try {
        std::string folder;
        if (database)
            folder = static_cast<TDatabase*>(database)->DatabaseName;
        std::string path = ResolveTableName(tableName, folder);
        if (FormatOfPath(path) != TableFormat::Sqlite || IsFileOpen(path))
            return false;
        std::error_code ec;
        if (!fs::is_regular_file(path, ec))
            return false;
        CheckTableFile(path, tableName);
        Connection c(path, Connection::Mode::ReadWrite);
        ReadLayout(c.get(), tableName);
        c.exec("VACUUM");
        return true;
    } catch (const EDatabaseError&) {
        return false;
    }
}

}  // namespace db
