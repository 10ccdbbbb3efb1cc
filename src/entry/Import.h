// The import of a submitted table into one table of a data-entry window: rows are merged by key (a row with a
// known key is updated field by field, a new key is appended), with the target's checking, detail link and
// key cascade out of the way while it runs. Each window describes its tables in ImportPosition and reaches
// its components through an ImportHost; EntryImportHost is the host of every TEntryWindow.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Table.h"
#include "platform/ui/Control.h"

class TEntryWindow;
class TProgressBar;
class TStatusBar;

// What the window's own handling of a store (its before-post handling while the cascade is off) adds to each
// row an import stores, so that the rows can be merged in one pass.
struct ImportStoreRules {
    bool zeroNullNumbers = false;       // every null number of the row becomes 0
    std::string countingField;          // set to 1; "" for none
    std::vector<std::string> idFields;  // Id = IdPrefix + their values joined; empty: the import's Id stays
};

// What an import needs of its window.
class ImportHost {
public:
    virtual ~ImportHost() = default;
    virtual TTable* ImportTarget() = 0;  // the window's curTable
    virtual TProgressBar* ImportProgress() = 0;
    virtual TStatusBar* ImportStatusBar() = 0;
    virtual void SetCascadeEnabled(bool on) = 0;
    virtual void SetImportCursor(TCursor cursor) = 0;  // the cursor of the page the import starts from
    // The import stored rows (told once, when it ends).
    virtual void ImportStored() {}
    // The window's upkeep after each move of the target is held while the import runs (on = false) and done
    // once when the import has put the target on its first row again (on = true).
    virtual void SetScrollUpkeep(bool on) { (void)on; }
    // What the window's handling adds to each stored row; false when it does more than the rules can say
    // (or has to see each row), and the rows are stored one by one.
    virtual bool DescribeStores(ImportStoreRules& rules)
    {
        (void)rules;
        return false;
    }
    // A merge in one pass is about to commit its rows: what the window's handling does once before its first
    // store.
    virtual void BeforeStores() {}
};

// One table of a window as an import target.
struct ImportPosition {
    std::vector<std::string> keyFields;  // set in the key search and appended to Pxh for Id: {"qa01", "qe01"}
    std::string countingField;           // set to 1: "qa_one"
    // Master: the key index set for the search ("kfq_1") and the order given back afterwards ("id").
    // Empty keyIndex: the target's own order is the key index (the details).
    std::string keyIndex;
    std::string restoreIndexFieldNames;
    // Details: the link given back afterwards ("qa01"); empty for the master, which is never unlinked.
    std::string masterFields;
    bool writesPxh = true;  // Pxh = IdPrefix and Id = Pxh + keys; false: Id = keys
    // Rows whose value of this field is null are left out (a row filter); empty: every row is merged.
    std::string requiredField;
    // "数据追加": the file dialog's title and the question whether to empty the table first.
    std::string title;
    std::string question;
};

// The source of an import: F_main->Table1, opened when it is closed, which must hold every key field of the
// position and its row filter's field. Raises EDatabaseError (the engine's message) otherwise and leaves the
// source closed.
void OpenImportSource(const ImportPosition& position);

// Merges F_main->Table1 (the source, named or open) into host.ImportTarget(): in one pass of the engine
// (TTable::MergeFrom) where that stores what the row-by-row merge would, else row by row. Whatever ends the
// import, the window gets back its normal state: the target's checking, order and link, the cascade flag, the
// progress bar and the cursor; the source is closed. Rows stored before a failing store stay; the failure is
// raised on.
// A detail row with a blank key field would be taken for another row of its master (the key search ignores
// blank fields): it is refused, the other rows go on, and the refused rows are named in one message at the end.
void ImportTable(ImportHost& host, const ImportPosition& position);

// The host of a data-entry window: the target is its curTable, the cursor that of its cover page.
class EntryImportHost : public ImportHost {
public:
    explicit EntryImportHost(TEntryWindow& window) : w_(window) {}
    TTable* ImportTarget() override;
    TProgressBar* ImportProgress() override;
    TStatusBar* ImportStatusBar() override;
    void SetCascadeEnabled(bool on) override;
    void SetImportCursor(TCursor cursor) override;
    void ImportStored() override;
    void SetScrollUpkeep(bool on) override;
    bool DescribeStores(ImportStoreRules& rules) override;
    void BeforeStores() override;

private:
    TEntryWindow& w_;
};

// "数据追加" of a data-entry window, one position per table of the window in its order: for each, the file
// dialog (skipped when cancelled), the source checked, the question whether to empty the table (Yes/No, empty
// caption), the import. Afterwards the master is current, the cover shown and the page switched.
void AppendSubmittedTables(TEntryWindow& window, const std::vector<ImportPosition>& positions);
