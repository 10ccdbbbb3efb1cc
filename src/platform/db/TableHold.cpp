#include "platform/db/TableHold.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/db/Messages.h"
#include "platform/db/Names.h"
#include "platform/db/TableFile.h"

TTableHold::TTableHold(const std::string& tableName)
{
    path_ = db::ResolveTableName(tableName);
    const std::string& path = path_;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw EDatabaseError(db::msg::TableMissing(tableName));
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw EDatabaseError(db::msg::TableUnreadable(tableName));
    // flock locks belong to the open file, apart from SQLite's fcntl locks on the same file.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        db::CloseTableFileDescriptor(fd_, path);
        fd_ = -1;
        if (err == EWOULDBLOCK)
            throw ETableHeld(db::msg::TableHeld(tableName));
        throw EDatabaseError(db::msg::TableUnreadable(tableName));
    }
}

TTableHold::~TTableHold()
{
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    db::CloseTableFileDescriptor(fd_, path_);
}
