// The mark of a running import: a small file beside the window's master table, written before the import
// stores its first row and removed when the import ends, whatever ends it. Only an import that was cut off (the
// program killed, a crash, a power cut) leaves it behind; the next showing of the window then tells the user
// which import did not finish and that running it again completes it (the merge by key is idempotent).
#pragma once

#include <string>
#include <vector>

class TEntryWindow;

class ImportMarker {
public:
    // command: what the user ran ("数据追加", "数据入库"). Nothing is written until the first source is named.
    ImportMarker(const TEntryWindow& window, std::string command);
    ~ImportMarker();  // removes the mark; never throws
    ImportMarker(const ImportMarker&) = delete;
    ImportMarker& operator=(const ImportMarker&) = delete;

    // The import is about to read this file: the mark, naming every source so far, is on disk when this returns.
    void AddSource(const std::string& file);

private:
    std::string path_, command_, caption_, started_;
    std::vector<std::string> sources_;
};

// Tells the user (once) about an import of this window that did not finish, and forgets its mark.
void ReportUnfinishedImport(const TEntryWindow& window);
