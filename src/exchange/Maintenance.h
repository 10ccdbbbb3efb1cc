// What the maintenance window works on and its work that needs no window: the table files of each report of
// its list (with the title of each one's export), the fixed list of the hand-in, the check of a target folder,
// and backup and restore of the ticked reports, each report's tables replaced together or not at all.
#pragma once

#include <string>
#include <vector>

namespace exchange {

// The table files of one item of the report list, in order, each with the title of its export.
struct MaintenanceTable {
    const char* file;
    const char* exportTitle;
};
struct MaintenanceReport {
    std::vector<MaintenanceTable> tables;
};
// By item of the report list (as the window shows it, eleven items).
const std::vector<MaintenanceReport>& MaintenanceReports();

// The tables of the hand-in, in the order they are written; the report list plays no part in it.
const std::vector<std::string>& HandInTables();

// The backup folder's name in the data folder.
inline constexpr const char* kBackupFolder = "bak";

// Why folder cannot take new files (it is missing, not a folder, or cannot be written: a file is created
// and removed to find out), or "" when it can. Nothing in the folder is changed.
std::string FolderProblem(const std::string& folder);

enum class CopyDirection { Backup, Restore };

// What a backup or restore did, table by table (bare file names).
struct CopyOutcome {
    std::vector<std::string> copied;   // replaced (or created) at the target
    std::vector<std::string> missing;  // no source file: skipped
    std::vector<std::string> previous; // Backup: the previous backups kept ("kfq_1_prev.db")
    struct Failure {
        std::vector<std::string> tables;  // the report's tables, all left as they were
        std::string reason;
    };
    std::vector<Failure> failed;
};

// Copies the tables of the given reports (items of MaintenanceReports, each table once however often it is
// asked for) from the data folder dataDir into dataDir/bak (Backup, keeping the replaced backup as its
// previous generation) or back (Restore). The tables of one report replace their targets together: a report
// whose copy fails is named in failed with the reason, and every one of its targets stays as it was.
CopyOutcome CopyReports(const std::string& dataDir, const std::vector<int>& reports, CopyDirection direction);

}  // namespace exchange
