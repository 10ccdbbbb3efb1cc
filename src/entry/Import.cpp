#include "entry/Import.h"

#include <algorithm>

#include "app/Main.h"
#include "entry/EntryWindow.h"
#include "entry/ImportMarker.h"
#include "platform/ui/Application.h"

namespace {

bool Editing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

bool NumericType(TFieldType t)
{
    return t == TFieldType::Smallint || t == TFieldType::Integer || t == TFieldType::Float;
}

// The fields of the source with their namesakes in the target, matched once per import.
struct FieldCopy {
    TField* source;
    TField* target;
    bool numeric;
};

std::vector<FieldCopy> MatchFields(TTable* source, TTable* target)
{
    std::vector<FieldCopy> copies;
    for (const auto& field : source->Fields()) {
        if (TField* tf = target->FindField(field->FieldName())) {
            copies.push_back({field.get(), tf, NumericType(field->DataType())});
        }
    }
    return copies;
}

// Copies one source row into the target's record buffer: fields matched by name, a null number as 0. Each
// source value is read once.
void CopyRow(const std::vector<FieldCopy>& copies)
{
    for (const FieldCopy& c : copies) {
        const db::Variant value = c.source->Value();
        if (!db::isNull(value)) {
            c.target->SetValue(value);
        } else if (c.numeric) {
            c.target->SetAsInteger(0);
        } else {
            c.target->Clear();
        }
    }
}

// The progress bar moves every so many rows (and at the last), not at every row.
constexpr int kProgressStep = 64;

// Puts the window back as it was before the import, step by step, so that one failing step does not keep the
// others from running. The first failure is raised afterwards unless an import error is already on its way.
class ImportState {
public:
    ImportState(ImportHost& host, const ImportPosition& position, TTable* source, TTable* target)
        : host_(host), pos_(position), source_(source), target_(target)
    {
    }
    ImportState(const ImportState&) = delete;
    ImportState& operator=(const ImportState&) = delete;

    void Unlink()
    {
        if (!pos_.masterFields.empty()) {
            target_->SetMasterFields("");
            unlinked_ = true;
        }
    }
    void ChecksOff()
    {
        target_->DisableConstraints();
        checksOff_ = true;
    }
    // The window's controls follow the target again once the import is over, not at every field.
    void ControlsOff()
    {
        target_->DisableControls();
        controlsOff_ = true;
    }
    void Stored() { stored_ = true; }
    // The rows go to disk together, every 1,000 and at the end, instead of one commit per row.
    void BatchOn()
    {
        target_->BeginBatch();
        batch_ = true;
    }
    void UpkeepOff()
    {
        host_.SetScrollUpkeep(false);
        upkeepOff_ = true;
    }
    void CascadeOff()
    {
        host_.SetCascadeEnabled(false);
        cascadeOff_ = true;
    }
    // An index name replaces the field names of the order (and field names the index name): one call, one
    // rebuild of the view.
    void KeyIndex()
    {
        if (!pos_.keyIndex.empty()) {
            indexSet_ = true;
            target_->SetIndexName(pos_.keyIndex);
        }
    }

    void Restore(bool raise)
    {
        std::exception_ptr first;
        auto step = [&](auto&& f) {
            try {
                f();
            } catch (...) {
                if (!first) {
                    first = std::current_exception();
                }
            }
        };
        step([&] {
            if (Editing(target_->State())) {
                target_->Cancel();  // a detail row whose store failed
            }
        });
        step([&] {
            if (batch_) {
                target_->EndBatch();
            }
        });
        step([&] {
            if (indexSet_) {
                try {
                    target_->SetIndexFieldNames(pos_.restoreIndexFieldNames);
                } catch (...) {
                    target_->SetIndexName("");
                    throw;
                }
            }
        });
        step([&] { source_->Close(); });
        // The link, the first row and the window's upkeep come back while the controls are still held, so that
        // they show the target once, as it is left.
        step([&] {
            if (unlinked_) {
                target_->SetMasterFields(pos_.masterFields);
            }
        });
        step([&] {
            if (target_->Active()) {
                target_->First();
            }
        });
        if (upkeepOff_) {
            step([&] { host_.SetScrollUpkeep(true); });
        }
        if (checksOff_) {
            target_->EnableConstraints();
        }
        step([&] {
            if (controlsOff_) {
                target_->EnableControls();
            }
        });
        if (cascadeOff_) {
            host_.SetCascadeEnabled(true);
        }
        step([&] { host_.ImportProgress()->SetVisible(false); });
        step([&] { host_.SetImportCursor(crArrow); });
        if (stored_) {
            step([&] { host_.ImportStored(); });
        }
        if (raise && first) {
            std::rethrow_exception(first);
        }
    }

private:
    ImportHost& host_;
    const ImportPosition& pos_;
    TTable* source_;
    TTable* target_;
    bool unlinked_ = false, checksOff_ = false, controlsOff_ = false, cascadeOff_ = false;
    bool indexSet_ = false, batch_ = false, stored_ = false, upkeepOff_ = false;
};

}  // namespace

void OpenImportSource(const ImportPosition& position)
{
    TTable* source = F_main->Table1;
    if (!source->Active()) {
        source->Open();
    }
    try {
        for (const std::string& key : position.keyFields) {
            source->FieldByName(key);
        }
        if (!position.requiredField.empty()) {
            source->FieldByName(position.requiredField);
        }
    } catch (...) {
        source->Close();
        throw;
    }
}

namespace {

// Tells the detail rows that were refused for a blank key field, naming the source file, the row and the field.
void TellRefused(const TTable* source, const std::vector<std::string>& refused)
{
    if (refused.empty()) {
        return;
    }
    const std::string& path = source->TableName();
    const std::string file = path.substr(path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
    std::string text = file + " 中以下记录的关键字段为空，未导入：";
    const std::size_t shown = std::min<std::size_t>(refused.size(), 20);
    for (std::size_t i = 0; i < shown; ++i) {
        text += "\n" + refused[i];
    }
    if (refused.size() > shown) {
        text += "\n……共" + std::to_string(refused.size()) + "条";
    }
    Application->MessageBox(text, "提示", MB_OK | MB_ICONWARNING);
}

// The merge in one pass, where the window can say what its handling adds to each row: the number of rows
// stored, or -1 when they are to be stored one by one. The rules are those of StoreRowByRow: the
// fields copied by name with zeros for null numbers, then Pxh, the counting field and Id, then what the
// window's before-post handling sets.
int MergeAtOnce(ImportHost& host, const ImportPosition& position, TTable* source, TTable* target)
{
    ImportStoreRules rules;
    if (!IdPrefix.empty() || !host.DescribeStores(rules)) {
        return -1;
    }
    TMerge merge;
    merge.source = source;
    merge.keyFields = position.keyFields;
    merge.requiredField = position.requiredField;
    merge.zeroCopiedNumbers = true;
    if (position.writesPxh) {
        merge.constants.emplace_back("Pxh", IdPrefix);
    }
    merge.constants.emplace_back(position.countingField, std::int64_t{1});
    if (!rules.countingField.empty()) {
        merge.constants.emplace_back(rules.countingField, std::int64_t{1});
    }
    merge.idField = "Id";
    merge.idFields = rules.idFields.empty() ? position.keyFields : rules.idFields;
    merge.zeroAllNumbers = rules.zeroNullNumbers;
    merge.beforeStores = [&host] { host.BeforeStores(); };
    return target->MergeFrom(merge);
}

// The merge row by row: each source row is looked up by key in the target, edited or appended, copied and
// stored through the target's Post, so that the window's handling sees every row and a failing store names
// its row.
void StoreRowByRow(ImportState& state, const ImportPosition& position, TTable* source, TTable* target,
                   TProgressBar* bar, std::vector<std::string>& refused)
{
    state.BatchOn();
    std::vector<TField*> sourceKeys, targetKeys;
    for (const std::string& key : position.keyFields) {
        sourceKeys.push_back(source->FieldByName(key));
        targetKeys.push_back(target->FieldByName(key));
    }
    TField* pxh = position.writesPxh ? target->FieldByName("Pxh") : nullptr;
    TField* id = target->FieldByName("Id");
    TField* counting = target->FieldByName(position.countingField);
    const std::vector<FieldCopy> copies = MatchFields(source, target);
    const int rows = source->RecordCount();
    TField* required = position.requiredField.empty() ? nullptr : source->FieldByName(position.requiredField);
    const bool detail = !position.masterFields.empty();
    for (source->First(); !source->Eof(); source->Next()) {
        if (source->RecNo() % kProgressStep == 0 || source->RecNo() == rows) {
            bar->SetPosition(source->RecNo());
        }
        if (required != nullptr && required->IsNull()) {
            continue;
        }
        if (detail) {
            std::string blank;
            for (TField* key : sourceKeys) {
                if (key->AsString().empty()) {
                    blank += (blank.empty() ? "" : "、") + key->FieldName();
                }
            }
            if (!blank.empty()) {
                refused.push_back("第" + std::to_string(source->RecNo()) + "条记录：" + blank + "为空");
                continue;
            }
        }
        target->SetKey();
        for (std::size_t k = 0; k < sourceKeys.size(); ++k) {
            targetKeys[k]->SetAsString(sourceKeys[k]->AsString());
        }
        if (target->GotoKey()) {
            target->Edit();
        } else {
            target->Append();
        }
        CopyRow(copies);
        std::string identity;
        if (pxh != nullptr) {
            pxh->SetAsString(IdPrefix);
            identity = pxh->AsString();
        }
        counting->SetAsInteger(1);
        for (TField* key : targetKeys) {
            identity += key->AsString();
        }
        id->SetAsString(identity);
        target->Post();
        state.Stored();
    }
}

}  // namespace

void ImportTable(ImportHost& host, const ImportPosition& position)
{
    TTable* source = F_main->Table1;
    TTable* target = host.ImportTarget();
    OpenImportSource(position);  // before anything of the window changes
    ImportState state(host, position, source, target);
    std::vector<std::string> refused;
    try {
        host.SetImportCursor(crHourGlass);
        state.ControlsOff();
        state.UpkeepOff();
        state.ChecksOff();
        state.CascadeOff();
        TProgressBar* bar = host.ImportProgress();
        TStatusBar* status = host.ImportStatusBar();
        bar->SetTop(status->Top());
        bar->SetWidth(status->Width());
        bar->SetPosition(0);
        bar->SetMax(source->RecordCount());
        bar->SetVisible(true);
        state.KeyIndex();
        if (const int merged = MergeAtOnce(host, position, source, target); merged >= 0) {
            bar->SetPosition(source->RecordCount());
            if (merged > 0) {
                state.Stored();
            }
        } else {
            state.Unlink();  // (the controls held: the unlinked target is not shown)
            StoreRowByRow(state, position, source, target, bar, refused);
        }
    } catch (...) {
        state.Restore(false);
        TellRefused(source, refused);
        throw;
    }
    state.Restore(true);
    TellRefused(source, refused);
}

TTable* EntryImportHost::ImportTarget() { return w_.curTable; }

TProgressBar* EntryImportHost::ImportProgress() { return w_.ProgressBar1; }

TStatusBar* EntryImportHost::ImportStatusBar() { return w_.StatusBar1; }

void EntryImportHost::SetCascadeEnabled(bool on) { w_.cascadeEnabled = on; }

void EntryImportHost::ImportStored() { w_.RecordsStored(); }

void EntryImportHost::SetScrollUpkeep(bool on)
{
    w_.scrollUpkeep = on;
    TTable* target = w_.curTable;
    if (on && target != nullptr && target->Active()) {
        w_.TableAfterScroll(target);  // as the target's last move would have done it
    }
}

bool EntryImportHost::DescribeStores(ImportStoreRules& rules) { return w_.ImportStoreRules(w_.curTable, rules); }

void EntryImportHost::BeforeStores() { w_.BeforeImportStores(w_.curTable); }

void EntryImportHost::SetImportCursor(TCursor cursor) { w_.Cover()->SetCursor(cursor); }

void AppendSubmittedTables(TEntryWindow& window, const std::vector<ImportPosition>& positions)
{
    EntryImportHost host(window);
    ImportMarker marker(window, "数据追加");
    auto finish = [&] {
        window.curTable = window.Master();
        window.curSource = window.Source(0);
        window.ShowCover();
        window.SwitchPage();
    };
    try {
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const ImportPosition& pos = positions[i];
            TTable* target = window.Table(static_cast<int>(i));
            window.curTable = target;
            TOpenDialog* dialog = F_main->OpenDialog1;
            dialog->Title = pos.title;
            if (!dialog->Execute()) {
                continue;
            }
            host.SetImportCursor(crHourGlass);
            try {
                // The source must open and hold the keys before the user may have the table emptied.
                F_main->Table1->Close();
                F_main->Table1->SetTableName(dialog->FileName);
                OpenImportSource(pos);
                marker.AddSource(dialog->FileName);
            } catch (...) {
                host.SetImportCursor(crArrow);
                throw;
            }
            if (Application->MessageBox(pos.question, "", MB_YESNO | MB_ICONQUESTION) == IDYES) {
                target->Close();
                target->EmptyTable();
                target->Open();
                window.HideEmptyPages();
            }
            ImportTable(host, pos);
        }
    } catch (...) {
        F_main->Table1->Close();
        finish();
        throw;
    }
    finish();
}
