#include "query/QueryWindow.h"

#include "app/Main.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/Registry.h"

namespace {

// The table that names the field dictionary and the caption of each report.
constexpr const char* kQueryDictionary = "query_db.db";

// Reads every row of a field dictionary before the lists change, so that a damaged dictionary leaves them as
// they were.
std::vector<TF_query::DictionaryField> ReadDictionary(TTable& t, const std::string& name)
{
    t.Close();
    t.SetTableName(name);
    t.Open();
    std::vector<TF_query::DictionaryField> out;
    try {
        TField* dbName = t.FieldByName("db_name");
        TField* fieldName = t.FieldByName("field_name");
        TField* fieldType = t.FieldByName("field_type");
        TField* fieldText = t.FieldByName("field_text");
        for (t.First(); !t.Eof(); t.Next()) {
            TF_query::DictionaryField f;
            const std::string table = dbName->AsString();
            f.field = {fieldName->AsString(), fieldText->AsString(), query::TableReference(table, DataFolder)};
            f.type = fieldType->AsString();
            const query::DictionaryTable split = query::SplitTableName(table);
            f.file = DataFolder + split.file;
            const std::string prefix = split.alias + ".";
            f.column = !split.alias.empty() && f.field.name.rfind(prefix, 0) == 0 ? f.field.name.substr(prefix.size())
                                                                                : f.field.name;
            out.push_back(std::move(f));
        }
    } catch (...) {
        t.Close();
        throw;
    }
    t.Close();
    return out;
}

}  // namespace

std::string QueryFilterFor(int report)
{
    return report == 4 ? " (is_chge=\"1\" or is_chge=\"2\")" : std::string();
}

TF_query::TF_query(TComponent* owner) : TForm(owner)
{
    LoadDescription("TF_query");
    PageControl1 = Get<TPageControl>("PageControl1");
    TabSheet1 = Get<TTabSheet>("TabSheet1");
    TabSheet2 = Get<TTabSheet>("TabSheet2");
    GroupBox3 = Get<TGroupBox>("GroupBox3");
    ListBox1 = Get<TListBox>("ListBox1");
    ListBox2 = Get<TListBox>("ListBox2");
    ListBox3 = Get<TListBox>("ListBox3");
    ListBox4 = Get<TListBox>("ListBox4");
    CheckListBox1 = Get<TCheckListBox>("CheckListBox1");
    CheckListBox2 = Get<TCheckListBox>("CheckListBox2");
    CheckListBox3 = Get<TCheckListBox>("CheckListBox3");
    CheckListBox4 = Get<TCheckListBox>("CheckListBox4");
    CheckListBox5 = Get<TCheckListBox>("CheckListBox5");
    RadioButton1 = Get<TRadioButton>("RadioButton1");
    RadioButton2 = Get<TRadioButton>("RadioButton2");
    RadioGroup1 = Get<TRadioGroup>("RadioGroup1");
    Edit1 = Get<TEdit>("Edit1");
    Edit2 = Get<TEdit>("Edit2");
    Button1 = Get<TButton>("Button1");
    Button2 = Get<TButton>("Button2");
    Button3 = Get<TButton>("Button3");
    Button4 = Get<TButton>("Button4");
    Button5 = Get<TButton>("Button5");
    Button6 = Get<TButton>("Button6");
    Button7 = Get<TButton>("Button7");
    Button8 = Get<TButton>("Button8");
    Button9 = Get<TButton>("Button9");
    Button10 = Get<TButton>("Button10");
    Button11 = Get<TButton>("Button11");
    Button12 = Get<TButton>("Button12");
    Button13 = Get<TButton>("Button13");
    Button14 = Get<TButton>("Button14");
    DBGrid1 = Get<TDBGrid>("DBGrid1");
    Memo1 = Get<TMemo>("Memo1");
    Button15 = Get<TButton>("Button15");
    Button16 = Get<TButton>("Button16");
    Button17 = Get<TButton>("Button17");
    Button18 = Get<TButton>("Button18");
    Button19 = Get<TButton>("Button19");
    Query1 = Get<TQuery>("Query1");
    DataSource1 = Get<TDataSource>("DataSource1");
    Table1 = Get<TTable>("Table1");
}

void TF_query::FormActivate(TObject*)
{
    ExtraFilter = QueryFilterFor(ReportKind);
    if (ReportKind == BuiltReportKind) {
        return;
    }
    Rebuild();
}

void TF_query::Rebuild()
{
    if (Application->ScreenWidth() < 800) {
        SetBounds(0, 0, Width(), Height());
    }
    GridCharWidth = DBGrid1->TextWidth("    ") * 0.25;

    // Everything is read first: a report without a dictionary, or a damaged one, changes nothing and is tried
    // again at the next activation.
    Table1->Close();
    Table1->SetTableName(kQueryDictionary);
    Table1->Open();
    std::string dictionary, caption;
    bool found = false;
    try {
        for (Table1->First(); !Table1->Eof(); Table1->Next()) {
            if (!Table1->FieldByName("id")->IsNull() && Table1->FieldByName("id")->AsInteger() == ReportKind) {
                dictionary = Table1->FieldByName("db_name")->AsString();
                caption = Table1->FieldByName("text")->AsString();
                found = true;
                break;
            }
        }
    } catch (...) {
        Table1->Close();
        throw;
    }
    Table1->Close();
    if (!found || dictionary.empty()) {
        throw EDatabaseError("“" + std::string(kQueryDictionary) + "”中没有报表" + std::to_string(ReportKind) +
                             "的查询字段表，不能查询统计该报表");
    }
    std::vector<DictionaryField> rows = ReadDictionary(*Table1, dictionary);

    SetCaption(caption + CaptionSuffix);
    ListBox1->Clear();
    fields_.clear();
    sums_.clear();
    groups_.clear();
    valueField_ = -1;
    GroupBox3->SetCaption("字段名");
    RadioButton1->SetChecked(true);
    if (IdPrefix != BuiltIdPrefix) {
        BuiltIdPrefix = IdPrefix;
        ListBox2->Clear();
        ListBox3->Clear();
        andTables_.clear();
        orTables_.clear();
        Edit1->SetText("");
        Edit2->SetText("");
    }
    for (TCheckListBox* l : {CheckListBox1, CheckListBox2, CheckListBox3, CheckListBox4, CheckListBox5}) {
        l->Clear();
    }
    std::vector<std::string> names, sumNames, groupNames, tables;
    for (DictionaryField& f : rows) {
        if (f.type != "0") {
            names.push_back(f.field.text);
        }
        if (f.type == "N" || f.type == "0") {
            sumNames.push_back(f.field.text);
            sums_.push_back(f.field);
        } else {
            groupNames.push_back(f.field.text);
            groups_.push_back(f.field);
        }
        query::AddQueryTable(tables, f.field.table);
        if (f.type != "0") {
            fields_.push_back(std::move(f));
        }
    }
    ListBox1->SetItems(names);
    CheckListBox1->SetItems(names);
    CheckListBox2->SetItems(sumNames);
    CheckListBox3->SetItems(groupNames);
    CheckListBox4->SetItems(tables);
    if (!names.empty()) {
        ListBox1->SetItemIndex(0);
    }
    Button13->SetEnabled(!sums_.empty());
    PageControl1->SetActivePage(TabSheet1);
    BuiltReportKind = ReportKind;
}

bool TF_query::NameMode() const { return GroupBox3->Caption() == "字段名"; }

namespace {

const ClassBuilder<TF_query> kQueryClass("TF_query", "TForm", [](ClassBuilder<TF_query>& c) {
    c.NotCreatable();
    c.Handler("FormActivate", &TF_query::FormActivate);
    c.Handler("ListBox1Click", &TF_query::ListBox1Click);
    c.Handler("ListBox1DblClick", &TF_query::ListBox1DblClick);
    c.Handler("ListBox4Click", &TF_query::ListBox4Click);
    c.Handler("ListBox4DblClick", &TF_query::ListBox4DblClick);
    c.Handler("RadioButton1Click", &TF_query::RadioButton1Click);
    c.Handler("RadioButton2Click", &TF_query::RadioButton2Click);
    c.Handler("ListBox2Click", &TF_query::ListBox2Click);
    c.Handler("ListBox3Click", &TF_query::ListBox3Click);
    c.Handler("Button1Click", &TF_query::Button1Click);
    c.Handler("Button2Click", &TF_query::Button2Click);
    c.Handler("Button3Click", &TF_query::Button3Click);
    c.Handler("Button4Click", &TF_query::Button4Click);
    c.Handler("Button5Click", &TF_query::Button5Click);
    c.Handler("Button6Click", &TF_query::Button6Click);
    c.Handler("Button7Click", &TF_query::Button7Click);
    c.Handler("Button8Click", &TF_query::Button8Click);
    c.Handler("Button9Click", &TF_query::Button9Click);
    c.Handler("Button10Click", &TF_query::Button10Click);
    c.Handler("Button11Click", &TF_query::Button11Click);
    c.Handler("Button12Click", &TF_query::Button12Click);
    c.Handler("Button13Click", &TF_query::Button13Click);
    c.Handler("Button14Click", &TF_query::Button14Click);
    c.Handler("Button15Click", &TF_query::Button15Click);
    c.Handler("Button16Click", &TF_query::Button16Click);
    c.Handler("Button17Click", &TF_query::Button17Click);
    c.Handler("Button18Click", &TF_query::Button18Click);
    c.Handler("Button19Click", &TF_query::Button19Click);
    c.Handler("CheckListBox1Click", &TF_query::CheckListBox1Click);
    c.Handler("CheckListBox2Click", &TF_query::CheckListBox2Click);
    c.Handler("CheckListBox3Click", &TF_query::CheckListBox3Click);
    c.Handler("CheckListBox5Click", &TF_query::CheckListBox5Click);
    c.Handler("CheckListBox1DblClick", &TF_query::CheckListBox1DblClick);
    c.Handler("CheckListBox2DblClick", &TF_query::CheckListBox2DblClick);
    c.Handler("CheckListBox3DblClick", &TF_query::CheckListBox3DblClick);
    c.Handler("CheckListBox5DblClick", &TF_query::CheckListBox5DblClick);
    c.Handler("DBGrid1DblClick", &TF_query::DBGrid1DblClick);
});

const FormSlot<TF_query> kQuerySlot("TF_query", &F_query);

}  // namespace
