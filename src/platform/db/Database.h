// The database component and the default session. Tables and queries open bare file names through the
// default session, relative to the process's current folder; the database's handle serves the pack call.
#pragma once

#include <string>

#include "platform/db/Exception.h"

using hDBIDb = void*;

class TDatabase {
public:
    TDatabase() = default;
    ~TDatabase();

    std::string DatabaseName;  // "." is the current folder
    std::string DriverName;    // "STANDARD"
    std::string SessionName;   // "Default"

    bool Connected() const { return connected_; }
    void SetConnected(bool on);  // raises EDatabaseError when the folder cannot be used
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }
    hDBIDb Handle() const;  // null while not connected

private:
    bool connected_ = false;
};

namespace db {

// Packs one closed table file (reclaims the space of deleted records). A missing, open or foreign file is
// left as it is; the result says whether the file was packed.
bool PackTable(hDBIDb database, const std::string& tableName);

}  // namespace db
