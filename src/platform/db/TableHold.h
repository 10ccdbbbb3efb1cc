// Holding a table file for the whole length of a run that owns it (the check writing its result table and the
// send list): an exclusive advisory lock (flock) on the file, which a second hold, in this process or in another
// program instance on the same data folder, cannot take until the first one goes. The kernel drops the lock with
// the process, so a run that was killed leaves none behind. Only runs take holds: stores of single records are
// not kept out.
#pragma once

#include <string>

#include "platform/db/Exception.h"

// Another run holds the table.
class ETableHeld : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

class TTableHold {
public:
    // Raises ETableHeld when another run holds the table, EDatabaseError when the file cannot be opened.
    explicit TTableHold(const std::string& tableName);
    ~TTableHold();
    TTableHold(const TTableHold&) = delete;
    TTableHold& operator=(const TTableHold&) = delete;

private:
    std::string path_;
    int fd_ = -1;
};
