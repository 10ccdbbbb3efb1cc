// The stores of an entry window, split from EntryWindow.cpp: before-post handling (send list, zeros, counting
// field, record identity), the key cascades after a store of a table with details, the rewording of post errors,
// and the deletion of the rows below a deleted record.
#include <map>

#include "app/Main.h"
#include "entry/EntryWindow.h"
#include "entry/Import.h"
#include "entry/TableHelpers.h"

namespace {

bool Editing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

// Takes a detail out of its master link and filters it on one key; Restore puts link, filter and checking
// back exactly once, also when the work in between failed.
class DetailOnKey {
public:
    DetailOnKey(TTable* t, const std::string& filter, bool checkOff)
        : t_(t), masterFields_(t->MasterFields()), filter_(t->Filter()), filtered_(t->Filtered())
    {
        t_->SetMasterFields("");
        t_->SetFilter(filter);
        t_->SetFiltered(true);
        if (checkOff) {
            t_->DisableConstraints();
            checkOff_ = true;
        }
    }
    ~DetailOnKey()
    {
        try {
            Restore();
        } catch (...) {  // a destructor raises nothing; Restore is called explicitly where it may fail
        }
    }
    DetailOnKey(const DetailOnKey&) = delete;
    DetailOnKey& operator=(const DetailOnKey&) = delete;

    void Restore()
    {
        if (done_) {
            return;
        }
        done_ = true;
        if (Editing(t_->State())) {
            t_->Cancel();
        }
        if (checkOff_) {
            t_->EnableConstraints();
        }
        t_->SetFiltered(false);
        t_->SetFilter(filter_);
        t_->SetFiltered(filtered_);
        t_->SetMasterFields(masterFields_);
    }

private:
    TTable* t_;
    std::string masterFields_, filter_;
    bool filtered_;
    bool checkOff_ = false;
    bool done_ = false;
};

}  // namespace

namespace {

std::string Quoted(const std::string& value)
{
    std::string quoted = "'";
    for (char c : value) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    return quoted + "'";
}

std::string Joined(const std::vector<std::string>& parts)
{
    std::string out;
    for (const std::string& p : parts) {
        out += p;
    }
    return out;
}

}  // namespace

std::string KeyFilter(const std::string& field, const std::string& value) { return field + "=" + Quoted(value); }

std::string KeyFilter(const std::vector<std::string>& fields, const std::vector<std::string>& values)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i) {
        out += (i ? " and " : "") + KeyFilter(fields[i], values[i]);
    }
    return out;
}

void TEntryWindow::ClearSendList()
{
    if (SendNameCleared || setup_.sendListStatement.empty()) {
        return;
    }
    TQuery* q = F_main->Query1;
    q->SQL.Clear();
    q->SQL.Add(setup_.sendListStatement);
    q->ExecSQL();
    SendNameCleared = true;
}

// A detail's own key as the user typed it: the text of its key edit, or the first column of its page's first
// grid, or else its last key field.
std::string TEntryWindow::SerialOf(int table) const
{
    const TEntryTable& desc = setup_.tables[static_cast<std::size_t>(table)];
    if (!desc.keyEdit.empty()) {
        return Get<TDBEdit>(desc.keyEdit)->Text();
    }
    std::string field = KeyFields(table).back();
    if (const TEntryDetailPage* p = PageOfTable(table); p && !p->grid1.empty()) {
        TDBGrid* g = Get<TDBGrid>(p->grid1);
        if (g->ColumnCount() > 0) {
            field = g->Columns()[0]->FieldName();
        }
    }
    return Table(table)->FieldByName(field)->AsString();
}

// ---- stores ----

void TEntryWindow::TableBeforePost(TDataSet* DataSet)
{
    const int i = IndexOfTable(DataSet);
    if (i < 0) {
        return;
    }
    const TEntryTable& desc = setup_.tables[static_cast<std::size_t>(i)];
    if (i == 0) {
        ClearSendList();
        const ::ImportStoreRules rules = MasterStoreRules();
        if (rules.zeroNullNumbers) {
            ZeroNullNumericFields(DataSet);
        }
        if (!rules.countingField.empty()) {
            DataSet->FieldByName(rules.countingField)->SetAsInteger(1);
        }
        if (!rules.idFields.empty()) {
            DataSet->FieldByName("Id")->SetAsString(IdPrefix + Joined(KeyValues(0)));
        }
        return;
    }
    if (!cascadeEnabled) {
        return;
    }
    ClearSendList();
    ZeroNullNumericFields(DataSet);
    DataSet->FieldByName(desc.countingField)->SetAsInteger(1);
    const std::string serial = SerialOf(i);
    if (serial.empty()) {
        ShowErrorAndAbort(desc.noSerialText);
    }
    TTable* detail = Table(i);
    std::vector<std::string> fields = KeyFields(i);
    fields.pop_back();
    // A detail that shows the rows of every master keeps the row's own master key.
    const bool linked = !detail->MasterFields().empty();
    const std::vector<std::string> masterKey = linked ? KeyValues(MasterOf(i)) : [&] {
        std::vector<std::string> own = KeyValues(i);
        own.pop_back();
        return own;
    }();
    for (const std::string& v : masterKey) {
        if (v.empty()) {
            ShowErrorAndAbort(desc.noMasterKeyText);
        }
    }
    if (linked) {
        for (std::size_t k = 0; k < fields.size(); ++k) {
            detail->FieldByName(fields[k])->SetAsString(masterKey[k]);
        }
    }
    detail->FieldByName("Id")->SetAsString(IdPrefix + Joined(masterKey) + serial);
}

bool TEntryWindow::ImportStoreRules(const TTable* table, ::ImportStoreRules& rules) const
{
    const int i = IndexOfTable(table);
    if (i < 0 || !StoresImportsByRules() || (i > 0 && cascadeEnabled)) {
        return false;
    }
    // Handlers of the steps a row-by-row store goes through that TableBeforePost does not describe.
    if (table->BeforeInsert || table->AfterInsert || table->OnNewRecord || table->BeforeEdit || table->AfterEdit ||
        table->BeforeScroll) {
        return false;
    }
    rules = i == 0 && table->BeforePost ? MasterStoreRules() : ::ImportStoreRules{};
    return true;
}

::ImportStoreRules TEntryWindow::MasterStoreRules() const
{
    ::ImportStoreRules rules;
    rules.zeroNullNumbers = true;
    rules.countingField = setup_.tables[0].countingField;
    rules.idFields = KeyFields(0);  // Id = IdPrefix + the key's values joined (none: Id is left alone)
    return rules;
}

void TEntryWindow::BeforeImportStores(const TTable* table)
{
    if (IndexOfTable(table) == 0 && table->BeforePost) {
        ClearSendList();
    }
}

void TEntryWindow::TableAfterPost(TDataSet* DataSet)
{
    const int i = IndexOfTable(DataSet);
    if (i < 0) {
        return;
    }
    if (!HasDetails(i)) {
        DataSet->FlushBuffers();
        return;
    }
    if (!cascadeEnabled) {
        return;
    }
    const std::string key = OwnKey(i);
    if (key != LastCode(i) && !LastCode(i).empty()) {
        RunCascade(i, LastCode(i), key);
    }
    // The stored key is the key as last seen: a record inserted after an empty last code cascades later too.
    LastCode(i) = key;
    Table(i)->FlushBuffers();
}

// Moves the rows below table's record from its old key to its new one: each row gets the new key and its Id
// rebuilt. Should a store fail, every moved row and the record itself go back to the old key, so that nothing
// is left split between the two keys.
void TEntryWindow::RunCascade(int table, const std::string& oldKey, const std::string& newKey)
{
    cascadeEnabled = false;
    const std::vector<std::string> fields = KeyFields(table);
    const std::string& changed = fields.back();
    std::vector<std::string> oldValues = KeyValues(table);
    oldValues.back() = oldKey;
    std::vector<std::string> newValues = oldValues;
    newValues.back() = newKey;
    struct Moved {
        int table;
        std::string newId, oldId;
    };
    std::vector<Moved> moved;
    try {
        for (int d = 0; d < TableCount(); ++d) {
            if (!IsBelow(d, table)) {
                continue;
            }
            TTable* t = Table(d);
            DetailOnKey onKey(t, KeyFilter(fields, oldValues), checkEnabled);
            // each stored row leaves the filter; the count bounds the loop should a row stay
            for (int left = t->RecordCount(); left > 0 && !t->IsEmpty(); --left) {
                t->First();
                const std::string oldId = t->FieldByName("Id")->AsString();
                t->Edit();
                t->FieldByName(changed)->SetAsString(newKey);
                const std::string newId = IdPrefix + Joined(KeyValues(d));
                t->FieldByName("Id")->SetAsString(newId);
                t->Post();
                moved.push_back({d, newId, oldId});
            }
            t->FlushBuffers();
            onKey.Restore();
        }
    } catch (...) {
        for (int d = 0; d < TableCount(); ++d) {
            TTable* t = Table(d);
            std::map<std::string, std::string> back;
            for (const Moved& m : moved) {
                if (m.table == d) {
                    back[m.newId] = m.oldId;
                }
            }
            if (back.empty()) {
                continue;
            }
            try {
                DetailOnKey onKey(t, KeyFilter(fields, newValues), checkEnabled);
                for (bool found = true; found;) {
                    found = false;
                    for (t->First(); !t->Eof(); t->Next()) {
                        auto it = back.find(t->FieldByName("Id")->AsString());
                        if (it != back.end()) {
                            t->Edit();
                            t->FieldByName(changed)->SetAsString(oldKey);
                            t->FieldByName("Id")->SetAsString(it->second);
                            t->Post();
                            back.erase(it);
                            found = true;
                            break;
                        }
                    }
                }
                t->FlushBuffers();
                onKey.Restore();
            } catch (...) {
            }
        }
        TTable* own = Table(table);
        try {
            own->Edit();
            own->FieldByName(changed)->SetAsString(oldKey);
            own->Post();
            own->FlushBuffers();
        } catch (...) {
            if (Editing(own->State())) {
                own->Cancel();
            }
        }
        cascadeEnabled = true;
        throw;
    }
    LastCode(table) = newKey;
    cascadeEnabled = true;
}

void TEntryWindow::TablePostError(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)
{
    const int i = IndexOfTable(DataSet);
    if (i < 0) {
        return;
    }
    const TEntryTable& desc = setup_.tables[static_cast<std::size_t>(i)];
    std::string message = E.Message;
    if (message == "Key violation." && !desc.duplicateText.empty()) {
        message = desc.duplicateText;
    } else {
        message = RewordPostError(i, message);
    }
    message = desc.errorPrefix + message;
    if (i == 0 && !cascadeEnabled && !setup_.importFailSuffix.empty()) {
        Master()->Cancel();
        message += setup_.importFailSuffix;
    }
    E.Message = message;
    Action = TDataAction::daFail;
}

std::string TEntryWindow::RewordPostError(int, const std::string& message) { return message; }

// The rows below table's current record, in every table below it, whatever a detail page shows.
void TEntryWindow::DeleteDetailsOf(int table)
{
    const std::vector<std::string> key = KeyValues(table);
    if (key.back().empty()) {
        return;
    }
    for (int d = 0; d < TableCount(); ++d) {
        if (!IsBelow(d, table)) {
            continue;
        }
        TTable* t = Table(d);
        DetailOnKey onKey(t, KeyFilter(KeyFields(table), key), false);
        t->First();
        while (!t->IsEmpty()) {
            t->Delete();
        }
        t->FlushBuffers();
        onKey.Restore();
    }
}
