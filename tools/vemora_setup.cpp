// vemora-setup DATADIR FOLDER: turns the text form of the shipped tables (DATADIR/tables/*.txt) into a new data
// folder with its work folders. On any fault it prints the description and line, or the table, that failed,
// leaves nothing behind and exits with 1.
#include <cstdio>
#include <exception>

#include "platform/db/DataText.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vemora-setup DATADIR FOLDER\n"
                             "  makes FOLDER (new or empty) a data folder from DATADIR/tables/*.txt\n");
        return 2;
    }
    try {
        const int n = db::datatext::BuildDataFolder(argv[1], argv[2]);
        std::printf("%d tables written to %s\n", n, argv[2]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vemora-setup: %s\n", e.what());
        return 1;
    }
}
