// The maintenance window's handlers: the closing messages name what was copied, what was missing and what
// failed; every check of a folder or target comes before any file is touched.
#include "exchange/Xtwh.h"

#include <filesystem>

#include "app/Main.h"
#include "exchange/Maintenance.h"
#include "exchange/RegionList.h"
#include "platform/db/Names.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"
#include "print/SaveAsTable.h"
#include "print/SaveTarget.h"

namespace fs = std::filesystem;

namespace {

std::string Joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& n : names) {
        out += (out.empty() ? "" : "、") + n;
    }
    return out;
}

// True when two names stand for one file (the same path as resolved, or one file under two paths).
bool SameFile(const std::string& a, const std::string& b)
{
    const std::string ra = db::ResolveTableName(a), rb = db::ResolveTableName(b);
    std::error_code ec;
    return ra == rb || fs::equivalent(ra, rb, ec);
}

void Tell(const std::string& text, int icon = MB_ICONINFORMATION)
{
    Application->MessageBox(text, "", MB_OK | icon);
}

// The window shows the hourglass while it works.
class BusyCursor {
public:
    explicit BusyCursor(TForm* f) : form_(f) { form_->SetCursor(crHourGlass); }
    ~BusyCursor() { form_->SetCursor(crDefault); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    TForm* form_;
};

}  // namespace

TF_xtwh::TF_xtwh(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_xtwh");
    CheckListBox1 = Get<TCheckListBox>("CheckListBox1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button3 = Get<TButton>("Button3");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button7 = Get<TButton>("Button7");
    Button8 = Get<TButton>("Button8");
    Button9 = Get<TButton>("Button9");
    DriveComboBox1 = Get<TDriveComboBox>("DriveComboBox1");
    DirectoryListBox1 = Get<TDirectoryListBox>("DirectoryListBox1");
    ComboBox2 = Get<TComboBox>("ComboBox2");
    Table1 = Get<TTable>("Table1");
}

void TF_xtwh::FormCreate(TObject*)
{
    // The folder list only browses, so the data folder stays the current folder; every path of this window
    // is still built on BaseDir.
    BaseDir = fs::current_path().string();
    if (BaseDir.back() != '/') {
        BaseDir += '/';
    }
    DirectoryListBox1->SetDirectory("\\");
}

std::vector<int> TF_xtwh::Ticked() const
{
    std::vector<int> out;
    for (int i = 0; i < CheckListBox1->Count(); ++i) {
        if (CheckListBox1->Checked(i)) {
            out.push_back(i);
        }
    }
    return out;
}

std::string TF_xtwh::DataFile(const std::string& file) const
{
    return BaseDir + DataFolder + file;
}

TF_xtwh::TFileResult TF_xtwh::CopyOrConvertTableFile(const std::string& file, const std::string& title, int mode)
{
    if (mode != mmExport && mode != mmHandIn) {
        return TFileResult::Skipped;
    }
    const std::string source = DataFile(file);
    std::error_code ec;
    if (!fs::exists(source, ec)) {
        return TFileResult::NoSource;
    }
    std::string target = title;
    if (mode == mmExport) {
        // The name offered is the table's own, as a dBase file, in the folder of the last export: Enter alone
        // never writes one table over the export of another.
        TSaveDialog* dialog = F_main->SaveDialog1;
        dialog->Title = title;
        dialog->FileName = (fs::path(exportFolder_.empty() ? BaseDir : exportFolder_) /
                            (fs::path(file).stem().string() + ".dbf"))
                               .string();
        dialog->FilterIndex = 2;
        if (!dialog->Execute()) {
            return TFileResult::Skipped;
        }
        target = WithFilterExtension(dialog->FileName, dialog->FilterIndex);
        if (SameFile(target, source)) {
            Tell("“" + target + "”就是要转存的表本身，不能转存到它自己；请换一个文件名", MB_ICONWARNING);
            return TFileResult::Skipped;
        }
        if (!ConfirmSaveTarget(target)) {
            return TFileResult::Skipped;
        }
        exportFolder_ = fs::path(db::ResolveTableName(target)).parent_path().string();
    }
    Table1->Close();
    Table1->SetTableName(source);
    try {
        Table1->Open();
        SaveAsTable(Table1, nullptr, target);
    } catch (...) {
        Table1->Close();
        throw;
    }
    Table1->Close();
    return TFileResult::Written;
}

void TF_xtwh::CopyTickedReports(int mode)
{
    const bool backup = mode == mmBackup;
    const std::string bak = BaseDir + exchange::kBackupFolder;
    // Before anything is touched: the backup folder must take new files (backup) or exist (restore), and the
    // data folder must take the restored ones.
    std::string problem = backup ? exchange::FolderProblem(bak) : std::string();
    if (!backup) {
        std::error_code ec;
        problem = fs::is_directory(bak, ec) ? exchange::FolderProblem(BaseDir)
                                            : "没有备份文件夹“" + bak + "”，没有可以还原的备份";
    }
    if (!problem.empty()) {
        Tell(std::string(backup ? "数据备份" : "数据还原") + "没有进行：" + problem + "。",
             MB_ICONERROR);
        return;
    }
    if (!backup && Application->MessageBox("数据还原将用上次备份的数据覆盖当前数据库，是否要继续进行操作？", "",
                                           MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    exchange::CopyOutcome out;
    {
        BusyCursor busy(this);
        out = exchange::CopyReports(BaseDir, Ticked(),
                                    backup ? exchange::CopyDirection::Backup : exchange::CopyDirection::Restore);
    }
    const std::string verb = backup ? "备份" : "还原";
    std::string text;
    if (out.copied.empty() && out.failed.empty()) {
        text = backup ? "没有备份任何表：数据文件夹中没有所选报表的表（" + Joined(out.missing) + "）"
                      : "没有还原任何表：备份文件夹“" + bak + "”中没有所选报表的备份（" + Joined(out.missing) + "）";
        Tell(text, MB_ICONWARNING);
        return;
    }
    text = out.failed.empty() ? "数据" + verb + "完成" : "数据" + verb + "没有全部完成";
    if (!out.copied.empty()) {
        text += "\n\n已" + verb + "：" + Joined(out.copied);
    }
    if (!out.previous.empty()) {
        text += "\n上一次的备份保留为：" + Joined(out.previous);
    }
    if (!out.missing.empty()) {
        text += std::string("\n") + (backup ? "数据文件夹中没有，未备份：" : "备份中没有，未还原：") +
                Joined(out.missing);
    }
    for (const auto& f : out.failed) {
        text += "\n\n未" + verb + "：" + Joined(f.tables) + "\n原因：" + f.reason + "\n" +
                (backup ? "这些表原有的备份保持不变。" : "这些表保持原样。");
    }
    Tell(text, out.failed.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void TF_xtwh::RunMaintenanceOperation(int mode)
{
    if (Ticked().empty()) {
        Tell("请先在“请选择数据库”中选定报表");
        return;
    }
    if (mode == mmBackup || mode == mmRestore) {
        CopyTickedReports(mode);
        return;
    }
    const auto& reports = exchange::MaintenanceReports();
    for (int i : Ticked()) {
        for (const exchange::MaintenanceTable& t : reports[static_cast<std::size_t>(i)].tables) {
            CopyOrConvertTableFile(t.file, t.exportTitle, mode);
        }
    }
}

void TF_xtwh::Button1Click(TObject*)
{
    RunMaintenanceOperation(mmBackup);
}

void TF_xtwh::Button2Click(TObject*)
{
    RunMaintenanceOperation(mmRestore);
}

void TF_xtwh::Button3Click(TObject*)
{
    RunMaintenanceOperation(mmExport);
}

void TF_xtwh::Button5Click(TObject*)
{
    std::string folder = DirectoryListBox1->Directory();
    if (folder.back() != '/') {
        folder += '/';
    }
    std::string problem = exchange::FolderProblem(folder);
    if (problem.empty() && SameFile(folder, BaseDir)) {
        problem = "所选的文件夹“" + folder + "”就是数据文件夹，不能把表上报到它自己；请在“请选择目录”中选择另一个文件夹";
    }
    if (!problem.empty()) {
        Tell("数据上报没有进行：" + problem + "。", MB_ICONERROR);
        return;
    }
    std::vector<std::string> written, missing;
    for (const std::string& name : exchange::HandInTables()) {
        try {
            BusyCursor busy(this);
            if (CopyOrConvertTableFile(name, folder + name, mmHandIn) == TFileResult::Written) {
                written.push_back(name);
            } else {
                missing.push_back(name);
            }
        } catch (const Exception& e) {
            Tell("数据上报没有完成：写入“" + folder + name + "”时出错：" + e.Message +
                     (written.empty() ? std::string() : "\n\n已写入：" + Joined(written)),
                 MB_ICONERROR);
            return;
        }
    }
    if (written.empty()) {
        Tell("没有上报任何表：数据文件夹中没有要上报的表", MB_ICONWARNING);
        return;
    }
    std::string text = "上报数据已完成\n\n已写入“" + folder + "”：" + Joined(written);
    if (!missing.empty()) {
        text += "\n数据文件夹中没有，未上报：" + Joined(missing);
    }
    Tell(text);
}

void TF_xtwh::Button7Click(TObject*)
{
    for (int i = 0; i < CheckListBox1->Count(); ++i) {
        CheckListBox1->SetChecked(i, true);
    }
}

void TF_xtwh::Button8Click(TObject*)
{
    for (int i = 0; i < CheckListBox1->Count(); ++i) {
        CheckListBox1->SetChecked(i, false);
    }
}

void TF_xtwh::CheckListBox1DblClick(TObject*)
{
    const int i = CheckListBox1->ItemIndex();
    if (i >= 0) {
        CheckListBox1->SetChecked(i, !CheckListBox1->Checked(i));
    }
}

void TF_xtwh::Button9Click(TObject*)
{
    const int item = ComboBox2->ItemIndex();
    if (item < 0) {
        return;
    }
    const std::string region = ComboBox2->Items()[static_cast<std::size_t>(item)].substr(0, 3);
    const std::string listFile = BaseDir + exchange::kIssuedListName;
    TTable* list = F_main->Table1;
    list->Close();
    // The list is opened and checked before the question, so that nothing is emptied for a list that
    // cannot be read.
    std::error_code ec;
    if (!fs::exists(db::ResolveTableName(listFile), ec)) {
        Tell("项目清单没有生成：找不到国家级项目清单“" + listFile + "”。", MB_ICONERROR);
        return;
    }
    list->SetTableName(listFile);
    try {
        list->Open();
        exchange::CheckIssuedList(*list, listFile);
    } catch (const Exception& e) {
        list->Close();
        Tell("项目清单没有生成：" + e.Message, MB_ICONERROR);
        return;
    }
    const bool empty =
        Application->MessageBox("是否清空国家级项目数据库", "", MB_YESNO | MB_ICONQUESTION) == IDYES;
    exchange::RegionMergeResult result;
    try {
        BusyCursor busy(this);
        result = exchange::MergeRegion(*list, region, DataFile(exchange::kProjectTableName), empty);
    } catch (const Exception& e) {
        list->Close();
        Tell("项目清单没有生成，国家级项目数据库保持原样。\n\n" + e.Message, MB_ICONERROR);
        return;
    }
    list->Close();
    std::string name = ComboBox2->Items()[static_cast<std::size_t>(item)];
    name.erase(name.find_last_not_of(' ') + 1);
    std::string text = "项目清单已完成\n\n地区 " + name + "：";
    text += result.added + result.updated == 0
                ? "清单中没有这个地区的项目"
                : "新增" + std::to_string(result.added) + "个项目，更新" + std::to_string(result.updated) + "个项目";
    if (!result.withoutKey.empty()) {
        std::vector<std::string> rows;
        for (int r : result.withoutKey) {
            rows.push_back(std::to_string(r));
        }
        text += "\n清单第" + Joined(rows) + "条记录没有统计编号（jb00），没有写入";
    }
    Tell(text, result.withoutKey.empty() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

void TF_xtwh::Button4Click(TObject*)
{
    Close();
}

namespace {

const ClassBuilder<TF_xtwh> kXtwhClass("TF_xtwh", "TForm", [](ClassBuilder<TF_xtwh>& c) {
    c.NotCreatable();
    c.Handler("FormCreate", &TF_xtwh::FormCreate);
    c.Handler("Button1Click", &TF_xtwh::Button1Click);
    c.Handler("Button2Click", &TF_xtwh::Button2Click);
    c.Handler("Button3Click", &TF_xtwh::Button3Click);
    c.Handler("Button4Click", &TF_xtwh::Button4Click);
    c.Handler("Button5Click", &TF_xtwh::Button5Click);
    c.Handler("Button7Click", &TF_xtwh::Button7Click);
    c.Handler("Button8Click", &TF_xtwh::Button8Click);
    c.Handler("Button9Click", &TF_xtwh::Button9Click);
    c.Handler("CheckListBox1DblClick", &TF_xtwh::CheckListBox1DblClick);
});

const FormSlot<TF_xtwh> kXtwhSlot("TF_xtwh", &F_xtwh);

}  // namespace
