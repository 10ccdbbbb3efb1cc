// The stores of an entry window, split from EntryWindow.cpp: before-post handling (send list, zeros, counting
// field, record identity), the key cascade after a master store, the rewording of post errors, and the
// deletion of an enterprise's detail rows.
#include <map>

#include "app/Main.h"
#include "entry/EntryWindow.h"
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

std::string KeyFilter(const std::string& field, const std::string& value)
{
    std::string quoted;
    for (char c : value) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    return field + "='" + quoted + "'";
}

void TEntryWindow::ClearSendList()
{
    if (SendNameCleared) {
        return;
    }
    TQuery* q = F_main->Query1;
    q->SQL.Clear();
    q->SQL.Add(setup_.sendListStatement);
    q->ExecSQL();
    SendNameCleared = true;
}

std::string TEntryWindow::SerialOf(int table) const
{
    TTable* t = Table(table);
    std::string field = setup_.tables[static_cast<std::size_t>(table)].serialField;
    if (const TEntryDetailPage* p = PageOfTable(table)) {
        TDBGrid* g = Get<TDBGrid>(p->grid1);
        if (g->ColumnCount() > 0) {
            field = g->Columns()[0]->FieldName();
        }
    }
    return t->FieldByName(field)->AsString();
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
        ZeroNullNumericFields(DataSet);
        DataSet->FieldByName(desc.countingField)->SetAsInteger(1);
        DataSet->FieldByName("Id")->SetAsString(IdPrefix + DataSet->FieldByName(setup_.keyField)->AsString());
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
    if (detail->MasterFields().empty()) {
        // A detail that shows every enterprise keeps the row's own enterprise.
        const std::string own = detail->FieldByName(setup_.keyField)->AsString();
        if (own.empty()) {
            ShowErrorAndAbort(setup_.noMasterKeyText);
        }
        detail->FieldByName("Id")->SetAsString(IdPrefix + own + serial);
        return;
    }
    const std::string key = MasterKey();
    if (key.empty()) {
        ShowErrorAndAbort(setup_.noMasterKeyText);
    }
    detail->FieldByName(setup_.keyField)->SetAsString(key);
    detail->FieldByName("Id")->SetAsString(IdPrefix + key + serial);
}

void TEntryWindow::TableAfterPost(TDataSet* DataSet)
{
    const int i = IndexOfTable(DataSet);
    if (i > 0) {
        DataSet->FlushBuffers();
        return;
    }
    if (i < 0 || !cascadeEnabled) {
        return;
    }
    const std::string key = MasterKey();
    if (key != lastCode && !lastCode.empty()) {
        RunCascade(lastCode, key);
    }
    // The stored key is the key as last seen: a record inserted after an empty lastCode cascades later too.
    lastCode = key;
    Master()->FlushBuffers();
}

void TEntryWindow::RunCascade(const std::string& oldKey, const std::string& newKey)
{
    cascadeEnabled = false;
    struct Moved {
        std::size_t table;
        std::string newId, oldId;
    };
    std::vector<Moved> moved;
    try {
        for (std::size_t i = 1; i < tables_.size(); ++i) {
            TTable* d = tables_[i];
            const std::string& serialField = setup_.tables[i].serialField;
            DetailOnKey onKey(d, KeyFilter(setup_.keyField, oldKey), checkEnabled);
            // each stored row leaves the filter; the count bounds the loop should a row stay
            for (int left = d->RecordCount(); left > 0 && !d->IsEmpty(); --left) {
                d->First();
                const std::string oldId = d->FieldByName("Id")->AsString();
                d->Edit();
                d->FieldByName(setup_.keyField)->SetAsString(newKey);
                const std::string newId = IdPrefix + newKey + d->FieldByName(serialField)->AsString();
                d->FieldByName("Id")->SetAsString(newId);
                d->Post();
                moved.push_back({i, newId, oldId});
            }
            d->FlushBuffers();
            onKey.Restore();
        }
    } catch (...) {
        // Put every moved row back under the old key, and the master with them, so that nothing is left split
        // between the two keys.
        for (std::size_t i = 1; i < tables_.size(); ++i) {
            TTable* d = tables_[i];
            std::map<std::string, std::string> back;
            for (const Moved& m : moved) {
                if (m.table == i) {
                    back[m.newId] = m.oldId;
                }
            }
            if (back.empty()) {
                continue;
            }
            try {
                DetailOnKey onKey(d, KeyFilter(setup_.keyField, newKey), checkEnabled);
                for (bool found = true; found;) {
                    found = false;
                    for (d->First(); !d->Eof(); d->Next()) {
                        auto it = back.find(d->FieldByName("Id")->AsString());
                        if (it != back.end()) {
                            d->Edit();
                            d->FieldByName(setup_.keyField)->SetAsString(oldKey);
                            d->FieldByName("Id")->SetAsString(it->second);
                            d->Post();
                            back.erase(it);
                            found = true;
                            break;
                        }
                    }
                }
                d->FlushBuffers();
                onKey.Restore();
            } catch (...) {
            }
        }
        try {
            Master()->Edit();
            Master()->FieldByName(setup_.keyField)->SetAsString(oldKey);
            Master()->Post();
            Master()->FlushBuffers();
        } catch (...) {
            if (Editing(Master()->State())) {
                Master()->Cancel();
            }
        }
        cascadeEnabled = true;
        throw;
    }
    lastCode = newKey;
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
    if (message == "Key violation.") {
        message = desc.duplicateText;
    } else {
        message = RewordPostError(i, message);
    }
    message = desc.errorPrefix + message;
    if (i == 0 && !cascadeEnabled) {
        Master()->Cancel();
        message += setup_.importFailSuffix;
    }
    E.Message = message;
    Action = TDataAction::daFail;
}

std::string TEntryWindow::RewordPostError(int, const std::string& message) { return message; }

void TEntryWindow::DeleteDetailsOf(const std::string& key)
{
    if (key.empty()) {
        return;
    }
    for (std::size_t i = 1; i < tables_.size(); ++i) {
        TTable* d = tables_[i];
        DetailOnKey onKey(d, KeyFilter(setup_.keyField, key), false);
        d->First();
        while (!d->IsEmpty()) {
            d->Delete();
        }
        d->FlushBuffers();
        onKey.Restore();
    }
}
