// SaveAsTable and the row/column swap. Both write a whole new table file under a temporary name beside the
// target (StagedTableFile) and rename it over the target when it is complete.
#include "print/SaveAsTable.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/Main.h"
#include "platform/db/Names.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableStore.h"
#include "platform/ui/DBGrid.h"

namespace fs = std::filesystem;

namespace {

// The engine's table file holds at most this many fields.
constexpr int kMaxTableFields = 2000;
// Text fields hold 1 to 255 characters.
constexpr int kMaxTextSize = 255;

// The memo file that goes with a dBase file.
fs::path MemoOf(const fs::path& dbf)
{
    fs::path memo = dbf;
    memo.replace_extension(dbf.extension() == ".DBF" ? ".DBT" : ".dbt");
    return memo;
}

bool IsDBase(const fs::path& p)
{
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    return ext == ".DBF";
}

// A new table file written under a temporary name beside its target; Commit renames it over the target. Until
// then the target is untouched, and the temporary files go when the object goes.
class StagedTableFile {
public:
    explicit StagedTableFile(const std::string& fileName) : target_(db::ResolveTableName(fileName))
    {
        if (db::IsFileOpen(target_.string())) {
            throw EDatabaseError("表“" + target_.string() + "”正在使用，不能覆盖它；请先关闭它再保存");
        }
        const fs::path folder = target_.parent_path();
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) {
            throw EDatabaseError("无法保存表“" + target_.string() + "”：文件夹“" + folder.string() + "”不存在");
        }
        static int serial = 0;
        temp_ = folder / (target_.stem().string() + "~" + std::to_string(getpid()) + "-" + std::to_string(++serial) +
                          target_.extension().string());
    }
    StagedTableFile(const StagedTableFile&) = delete;
    StagedTableFile& operator=(const StagedTableFile&) = delete;
    ~StagedTableFile()
    {
        if (!committed_) {
            std::error_code ec;
            fs::remove(temp_, ec);
            fs::remove(MemoOf(temp_), ec);
        }
    }

    std::string TempName() const { return temp_.string(); }
    const fs::path& Target() const { return target_; }

    void Commit()
    {
        std::error_code ec;
        const bool memo = IsDBase(temp_) && fs::exists(MemoOf(temp_));
        // The new file is written through to the disk before it replaces the old one (it was built unsynced).
        if (!db::SyncFile(temp_.string()) || (memo && !db::SyncFile(MemoOf(temp_).string()))) {
            throw EDatabaseError("无法保存表“" + target_.string() + "”：" + std::strerror(errno));
        }
        db::RemoveStaleJournal(target_.string());
        fs::rename(temp_, target_, ec);
        if (ec) {
            throw EDatabaseError("无法替换表“" + target_.string() + "”：" + ec.message());
        }
        committed_ = true;
        if (IsDBase(target_)) {
            // The memo file belongs to the table just written: a stale one of the old table goes.
            if (memo) {
                fs::rename(MemoOf(temp_), MemoOf(target_), ec);
            } else {
                fs::remove(MemoOf(target_), ec);
            }
        }
        db::SyncFile(target_.parent_path().string(), true);  // the new names, durable
    }

private:
    fs::path target_, temp_;
    bool committed_ = false;
};

struct PlannedField {
    std::string name;
    TFieldType type;
    int size;  // 0 for a type without size
};

// Field names and sizes of a save: the source's, or the grid's column titles and widths.
std::vector<PlannedField> PlanFields(TDataSet* source, TDBGrid* grid)
{
    double charWidth = GridCharWidth;
    if (grid && charWidth <= 0) {
        charWidth = grid->TextWidth("    ") * 0.25;
    }
    std::vector<PlannedField> out;
    for (int i = 0; i < source->FieldCount(); ++i) {
        const TField* f = source->Fields()[i];
        PlannedField p{f->FieldName(), f->DataType(), db::fieldTypeHasSize(f->DataType()) ? f->Size() : 0};
        if (grid && i < grid->Columns().Count()) {
            const TColumn* column = grid->Columns()[i];
            p.name = column->Title()->Caption();
            if (p.size != 0 && charWidth > 0) {
                p.size = static_cast<int>(std::min<double>(column->Width() / charWidth, kMaxTextSize));
            }
        }
        if (db::fieldTypeHasSize(p.type)) {
            p.size = std::clamp(p.size, 1, kMaxTextSize);
        }
        out.push_back(p);
    }
    return out;
}

void RewriteHeadings(const std::vector<PlannedField>& fields)
{
    TTable headings;
    headings.SetTableName(kPrintHeadingsName);
    headings.Open();
    headings.BeginBatch();
    try {
        headings.EmptyTable();
        for (const PlannedField& f : fields) {
            headings.Append();
            headings.Fields()[0]->SetAsString(f.name);
            headings.Fields()[1]->SetAsInteger(f.size == 0 ? 10 : std::min(f.size, 40));
            headings.Post();
        }
    } catch (...) {
        headings.Cancel();
        headings.EndBatch();
        throw;
    }
    headings.EndBatch();
    headings.Close();
}

}  // namespace

void SaveAsTable(TDataSet* source, TDBGrid* grid, const std::string& fileName)
{
    if (!source) {
        throw EDatabaseError("没有要保存的数据");
    }
    if (!source->Active()) {
        source->Open();
    }
    const std::vector<PlannedField> fields = PlanFields(source, grid);
    StagedTableFile staged(fileName);
    {
        TTable writer;
        writer.SetTableName(staged.TempName());
        writer.TableType = IsDBase(staged.Target()) ? TTableType::ttDBase : TTableType::ttDefault;
        writer.SyncedWrites = false;  // no one sees the file before Commit syncs it
        for (const PlannedField& f : fields) {
            writer.FieldDefs.Add(f.name, f.type, f.size);
        }
        writer.CreateTable();
        writer.BatchMove(source, TBatchMode::batAppend);
    }
    staged.Commit();
    if (fileName == kPrintTableName) {
        RewriteHeadings(fields);
    }
}

void SwapRowsColumns(TDataSet* source, TTable* target)
{
    if (!source->Active()) {
        source->Open();
    }
    source->CheckBrowseMode();
    const int records = source->RecordCount();
    if (records + 1 > kMaxTableFields) {
        throw EDatabaseError("不能行列交换：数据有" + std::to_string(records) + "条记录，交换后每条记录是一个字段，而一个表最多只能有" +
                             std::to_string(kMaxTableFields - 1) + "个字段存放它们；请先用SQL语句选出较少的记录");
    }
    int width = 60;
    for (const auto& f : source->Fields()) {
        if (f->DataType() == TFieldType::String) {
            width = std::max(width, f->Size() + 1);
        }
    }
    width = std::min(width, kMaxTextSize);
    db::FieldDesc text{"", TFieldType::String, width, false};

    // Field i of the source becomes row i: its name, then its value in each record.
    std::vector<std::vector<db::Variant>> rows(static_cast<std::size_t>(source->FieldCount()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].push_back(source->Fields()[static_cast<int>(i)]->FieldName());
    }
    source->DisableControls();
    try {
        for (source->First(); !source->Eof(); source->Next()) {
            for (std::size_t i = 0; i < rows.size(); ++i) {
                rows[i].push_back(db::ConvertForField(source->Fields()[static_cast<int>(i)]->AsString(), text,
                                                      db::TextFit::Cut));
            }
        }
        source->First();
    } catch (...) {
        source->EnableControls();
        throw;
    }
    source->EnableControls();

    target->Close();
    StagedTableFile staged(kSwapTableName);
    target->SetTableName(staged.TempName());
    target->TableType = TTableType::ttDefault;
    target->FieldDefs.Clear();
    target->IndexDefs.clear();
    target->FieldDefs.Add("字段名", TFieldType::String, width);
    for (int r = 1; r <= records; ++r) {
        target->FieldDefs.Add("字段" + std::to_string(r), TFieldType::String, width);
    }
    try {
        target->CreateTable();
        target->Open();
        target->BeginBatch();
        for (const auto& row : rows) {
            target->Append();
            for (std::size_t c = 0; c < row.size(); ++c) {
                target->Fields()[static_cast<int>(c)]->SetValue(row[c]);
            }
            target->Post();
        }
        target->EndBatch();
        target->Close();
        staged.Commit();
    } catch (...) {
        if (target->Active()) {
            target->Cancel();
        }
        target->Close();
        target->SetTableName(kSwapTableName);
        throw;
    }
    target->SetTableName(kSwapTableName);
}
