#include "entry/Bhcl.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "app/Main.h"
#include "platform/db/Names.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

namespace fs = std::filesystem;

namespace {

const int kNumbers[] = {1, 2, 5};

// A text literal of local SQL: single quotes, an embedded quote doubled.
std::string Literal(const std::string& text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out + "'";
}

// The folder part of the dialog's file name, with its separator.
std::string FolderOf(const std::string& fileName)
{
    const std::size_t cut = fileName.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : fileName.substr(0, cut + 1);
}

// The copy holds the submitted rows and fields but none of the submitted file's indexes: a disk copied from
// a data folder carries unique ones, which would refuse a renumbering that swaps or chains numbers.
void CopyWithoutIndexes(const std::string& source, const std::string& copy)
{
    TTable from;
    from.SetTableName(source);
    from.Open();
    TTable to;
    to.SetTableName(copy);
    to.FieldDefs.Assign(from.FieldDefs.Items());
    to.CreateTable();
    to.Open();
    to.BatchMove(&from, TBatchMode::batAppend);
}

void ShowError(const std::string& text)
{
    Application->MessageBox(text, "错误窗口", MB_OK | MB_ICONERROR);
    Abort();
}

}  // namespace

std::string BhclCopyName(int position) { return "tmp\\kfq_" + std::to_string(kNumbers[position]) + ".db"; }

void RemoveBhclCopies()
{
    for (int i = 0; i < 3; ++i) {
        std::error_code ec;
        fs::remove(db::ResolveTableName(BhclCopyName(i)), ec);
    }
}

TF_bhcl::TF_bhcl(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_bhcl");
    Label1 = Get<TLabel>("Label1");
    Label2 = Get<TLabel>("Label2");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    ProgressBar1 = Get<TProgressBar>("ProgressBar1");
    Table1 = Get<TTable>("Table1");
    Table2 = Get<TTable>("Table2");
    DataSource1 = Get<TDataSource>("DataSource1");
    Query1 = Get<TQuery>("Query1");
}

void TF_bhcl::FormActivate(TObject*)
{
    Label1->SetCaption("上报盘中的企业清单，如要修改报表编号，请在下面第二栏进行修改");
    Label2->SetCaption("请注意：如果上报数据中法人代码与库中代码相同但报表编号不同刚不能执行入库");
    const std::string folder = FolderOf(F_main->OpenDialog1->FileName);
    // Every submitted table must be there before anything is copied: a missing one would go on as an empty
    // table, and copies left from an earlier showing must not stand in for it.
    for (int n : kNumbers) {
        const std::string source = db::ResolveTableName(folder + "kfq_" + std::to_string(n) + ".db");
        if (!fs::is_regular_file(source)) {
            RemoveBhclCopies();
            EmptyGrid();
            ShowError("上报数据中缺少文件: " + source);
        }
    }
    for (int i = 0; i < 3; ++i) {
        try {
            CopyWithoutIndexes(folder + "kfq_" + std::to_string(kNumbers[i]) + ".db", BhclCopyName(i));
        } catch (const std::exception& e) {
            RemoveBhclCopies();
            EmptyGrid();
            throw Exception(BhclCopyName(i) + ": " + e.what());
        }
    }
    Query1->SQL.Clear();
    Query1->SQL.Add("select qa01 原报表编号,qa01 修改后编号,qa03 法人代码,qa04 企业名称 from tmp\\kfq_1");
    Query1->Open();
    ReloadBhclGrid();
}

void TF_bhcl::ReloadBhclGrid()
{
    DataSource1->SetEnabled(false);
    try {
        Table1->Close();
        Table1->EmptyTable();
        Table1->BatchMove(Query1, TBatchMode::batAppend);
        Query1->Close();
        Table1->Open();
    } catch (...) {
        DataSource1->SetEnabled(true);
        throw;
    }
    DataSource1->SetEnabled(true);
}

void TF_bhcl::EmptyGrid()
{
    DataSource1->SetEnabled(false);
    try {
        Table1->Close();
        Table1->EmptyTable();
        Table1->Open();
    } catch (...) {
        DataSource1->SetEnabled(true);
        throw;
    }
    DataSource1->SetEnabled(true);
}

void TF_bhcl::Button1Click(TObject*)
{
    if (Table1->Active() && !Table1->IsEmpty()) {
        Table1->Edit();
        Table1->Post();
    }
    ApplyRenumbering();
    Label1->SetCaption("以下为法人代码相同但报表编号不同、或者报表编号相同但法人代码不同的企业");
    Label2->SetCaption("请在第二栏修改报表编号");
    if (!CheckReportNumberConflicts()) {
        SetModalResult(mrOk);  // the one way to the import
    }
}

void TF_bhcl::ApplyRenumbering()
{
    DataSource1->SetEnabled(false);
    try {
        // Every renumbering of one press is applied at once, as one mapping: a chain such as 100001 -> 100002,
        // 100002 -> 100003 moves each enterprise exactly one step.
        std::map<std::string, std::string> renumber;
        Table1->First();
        ProgressBar1->SetPosition(0);
        ProgressBar1->SetMax(Table1->RecordCount());
        TField* oldField = Table1->FieldByName("原报表编号");
        TField* newField = Table1->FieldByName("修改后编号");
        for (; !Table1->Eof(); Table1->Next()) {
            const std::string oldNumber = oldField->AsString();
            const std::string newNumber = newField->AsString();
            if (newNumber != oldNumber) {
                renumber.emplace(oldNumber, newNumber);  // an enterprise listed twice: its first change counts
            }
            ProgressBar1->SetPosition(Table1->RecNo());
        }
        if (!renumber.empty()) {
            // Two submitted enterprises must not end on one number.
            TTable submitted;
            submitted.SetTableName(BhclCopyName(0));
            submitted.Open();
            std::map<std::string, std::string> endsOn;  // final number -> submitted number
            for (TField* f = submitted.FieldByName("qa01"); !submitted.Eof(); submitted.Next()) {
                const std::string number = f->AsString();
                auto it = renumber.find(number);
                const std::string final = it == renumber.end() ? number : it->second;
                auto [at, added] = endsOn.emplace(final, number);
                if (!added && at->second != number) {
                    submitted.Close();
                    ShowError("修改后编号 " + final + " 重复: 上报企业 " + at->second + " 与 " + number +
                              " 不能使用同一报表编号");
                }
            }
            submitted.Close();
            std::string cases, olds;
            for (const auto& [oldNumber, newNumber] : renumber) {
                cases += " when " + Literal(oldNumber) + " then " + Literal(newNumber);
                olds += (olds.empty() ? "" : ",") + Literal(oldNumber);
            }
            for (int i = 0; i < 3; ++i) {
                Query1->SQL.Clear();
                Query1->SQL.Add("update \"" + BhclCopyName(i) + "\" set qa01=case qa01" + cases +
                                " end where qa01 in (" + olds + ")");
                Query1->ExecSQL();
            }
        }
        Query1->Close();
    } catch (...) {
        ProgressBar1->SetMax(0);
        DataSource1->SetEnabled(true);
        throw;
    }
    ProgressBar1->SetMax(0);
    DataSource1->SetEnabled(true);
}

bool TF_bhcl::CheckReportNumberConflicts()
{
    Query1->SQL.Clear();
    Query1->SQL.Add("select b.qa01 原报表编号,b.qa01 修改后编号,b.qa03 法人代码,b.qa04 企业名称 from \"" + DataFolder +
                    "kfq_1.db\" a,tmp\\kfq_1.db b where ((a.qa03=b.qa03) and (a.qa01!=b.qa01)) or "
                    "((a.qa03!=b.qa03) and (a.qa01=b.qa01))");
    Query1->Open();
    if (Query1->IsEmpty()) {
        return false;
    }
    ReloadBhclGrid();
    return true;
}

void TF_bhcl::Button2Click(TObject*)
{
    ImportConfirmed = false;
    Close();
}

void TF_bhcl::FormClose(TObject*, TCloseAction&)
{
    if (ModalResult() != mrOk) {
        ImportConfirmed = false;  // "返回" or the close box: no import
    }
    Table1->Close();
    Table2->Close();
}

void TF_bhcl::Table1AfterPost(TDataSet*) { Table1->FlushBuffers(); }

namespace {

const ClassBuilder<TF_bhcl> kBhclClass("TF_bhcl", "TForm", [](ClassBuilder<TF_bhcl>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_bhcl::FormActivate);
    c.Handler("FormClose", &TF_bhcl::FormClose);
    c.Handler("Button1Click", &TF_bhcl::Button1Click);
    c.Handler("Button2Click", &TF_bhcl::Button2Click);
    c.Handler("Table1AfterPost", &TF_bhcl::Table1AfterPost);
});

const FormSlot<TF_bhcl> kBhclSlot("TF_bhcl", &F_bhcl);

}  // namespace
