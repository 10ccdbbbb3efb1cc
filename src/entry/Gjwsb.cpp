#include "entry/Gjwsb.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/Main.h"
#include "platform/db/Query.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableStore.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

namespace fs = std::filesystem;

namespace {

bool Editing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

// The reasons typed so far, by project: the first non-empty one of each.
std::map<std::string, db::Variant> TypedReasons(const std::string& listPath)
{
    TTable list;
    list.SetTableName(listPath);
    list.Open();
    std::map<std::string, db::Variant> out;
    TField* reason = list.FieldByName("YY");
    for (list.First(); !list.Eof(); list.Next()) {
        if (!reason->IsNull()) {
            out.emplace(list.FieldByName("JB00")->AsString(), reason->Value());
        }
    }
    return out;
}

}  // namespace

void BuildUnreportedList(const std::string& projectsTable, const std::string& listPath)
{
    TQuery* q = F_main->Query1;
    q->Close();
    q->SQL.Clear();
    q->SQL.Add("select jb00,jb01,jb02 from \"" + projectsTable + "\" where is_chge is null");
    q->Open();
    const std::map<std::string, db::Variant> reasons = TypedReasons(listPath);
    TTable list;
    list.SetTableName(listPath);
    list.Open();
    const db::TableSchema schema = list.Schema();
    const std::string target = list.FilePath();
    list.Close();
    const int reasonField = static_cast<int>(schema.fields.size()) - 1;  // YY, after the three copied fields
    db::Rows rows;
    for (q->First(); !q->Eof(); q->Next()) {
        db::Row row(schema.fields.size());
        for (int i = 0; i < 3; ++i) {
            // a project name longer than the list's field is cut, as the printed list shows it
            row[static_cast<std::size_t>(i)] =
                db::ConvertForField(q->GetFieldValue(i), schema.fields[static_cast<std::size_t>(i)], db::TextFit::Cut);
        }
        if (auto it = reasons.find(db::PlainText(q->GetFieldValue(0))); it != reasons.end()) {
            row[static_cast<std::size_t>(reasonField)] = it->second;
        }
        rows.push_back(std::move(row));
    }
    q->Close();
    const std::string fresh = target + ".new";
    try {
        db::CreateTableFile(fresh, schema, rows);
        db::ReplaceTableRows(target, fresh);
    } catch (...) {
        std::error_code ec;
        fs::remove(fresh, ec);
        throw;
    }
    std::error_code ec;
    fs::remove(fresh, ec);
}

TF_gjwsb::TF_gjwsb(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_gjwsb");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    ToolButton1 = Get<TToolButton>("ToolButton1");
    ToolButton7 = Get<TToolButton>("ToolButton7");
    ToolButton8 = Get<TToolButton>("ToolButton8");
    ToolButton10 = Get<TToolButton>("ToolButton10");
    Table1 = Get<TTable>("Table1");
    DataSource1 = Get<TDataSource>("DataSource1");
    // The list's rows come from the generation alone: typing neither adds nor deletes one.
    Table1->BeforeInsert = [](TDataSet*) { Abort(); };
    Table1->BeforeDelete = [](TDataSet*) { Abort(); };
}

void TF_gjwsb::FormActivate(TObject*)
{
    if (!Table1->Active()) {
        Table1->SetTableName(DataFolder + "gj_wsb.db");
        Table1->Open();
    }
}

void TF_gjwsb::FormClose(TObject*, TCloseAction& Action)
{
    if (Editing(DataSource1->State())) {
        try {
            ToolButton7Click(nullptr);
        } catch (const std::exception& e) {
            Action = TCloseAction::caNone;  // the window stays open for correction
            Application->HandleException(e);
            return;
        }
    }
    Table1->Close();
}

void TF_gjwsb::FormKeyPress(TObject*, char& Key)
{
    if (Key != '\r') {
        return;
    }
    Key = 0;
    TControl* c = ActiveControl();
    if (c == DBGrid1) {
        DBGrid1->SetSelectedIndex(std::min(DBGrid1->SelectedIndex() + 1, DBGrid1->ColumnCount() - 1));
    } else {
        SelectNext(c, true, true);
    }
}

void TF_gjwsb::ToolButton1Click(TObject*)
{
    if (Editing(DataSource1->State())) {
        Table1->Post();  // the reason being typed is one of those the new list keeps
    }
    const std::string listName = DataFolder + "gj_wsb.db";
    if (!Table1->Active()) {
        Table1->SetTableName(listName);
    }
    try {
        BuildUnreportedList(DataFolder + "gjxm.db", listName);
    } catch (...) {
        if (!Table1->Active()) {
            Table1->Open();
        }
        throw;
    }
    if (!Table1->Active()) {
        Table1->Open();
    }
    Table1->First();
}

void TF_gjwsb::ToolButton7Click(TObject*)
{
    if (!Table1->IsEmpty()) {
        Table1->Edit();
        Table1->Post();
    }
    Table1->FlushBuffers();
}

void TF_gjwsb::ToolButton8Click(TObject*) { Table1->Cancel(); }

void TF_gjwsb::ToolButton10Click(TObject*) { Close(); }

namespace {

const ClassBuilder<TF_gjwsb> kGjwsbClass("TF_gjwsb", "TForm", [](ClassBuilder<TF_gjwsb>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_gjwsb::FormActivate);
    c.Handler("FormClose", &TF_gjwsb::FormClose);
    c.Handler("FormKeyPress", &TF_gjwsb::FormKeyPress);
    c.Handler("ToolButton1Click", &TF_gjwsb::ToolButton1Click);
    c.Handler("ToolButton7Click", &TF_gjwsb::ToolButton7Click);
    c.Handler("ToolButton8Click", &TF_gjwsb::ToolButton8Click);
    c.Handler("ToolButton10Click", &TF_gjwsb::ToolButton10Click);
});

const FormSlot<TF_gjwsb> kGjwsbSlot("TF_gjwsb", &F_gjwsb);

}  // namespace
