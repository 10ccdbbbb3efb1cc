// TF_query: composing conditions from field names, operators and field values, the AND and OR lists with the
// table recorded beside each condition, the sort keys and the tick lists with their buttons and hints.
#include <algorithm>

#include "query/QueryWindow.h"

namespace {

// A field's value as it stands in a condition: numbers as they are, anything else as a double-quoted literal
// (a quote inside doubled).
std::string ValueLiteral(const std::string& value, const std::string& type)
{
    if (type == "N") {
        return value;
    }
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

}  // namespace

void TF_query::ShowHintOf(TCustomListBox* list)
{
    if (list->ItemIndex() >= 0) {
        list->SetHint(list->Item(list->ItemIndex()));
    }
}

void TF_query::ListBox1Click(TObject*)
{
    ShowHintOf(ListBox1);
    const int i = ListBox1->ItemIndex();
    if (NameMode() && i >= 0 && i < static_cast<int>(fields_.size())) {
        Edit2->SetText(fields_[static_cast<std::size_t>(i)].field.table);
    }
}

void TF_query::ListBox1DblClick(TObject*)
{
    const int i = ListBox1->ItemIndex();
    if (i < 0) {
        return;
    }
    if (!NameMode()) {
        Edit1->SetText(Edit1->Text() + ListBox1->Item(i) + " ");
        return;
    }
    if (i < static_cast<int>(fields_.size())) {
        const query::QueryField& f = fields_[static_cast<std::size_t>(i)].field;
        Edit1->SetText(Edit1->Text() + f.name + " ");
        Edit2->SetText(f.table);
    }
}

void TF_query::ListBox4Click(TObject*) { ShowHintOf(ListBox4); }

void TF_query::ListBox4DblClick(TObject*)
{
    if (ListBox4->ItemIndex() >= 0) {
        Edit1->SetText(Edit1->Text() + ListBox4->Item(ListBox4->ItemIndex()) + " ");
    }
}

void TF_query::RadioButton2Click(TObject*)
{
    if (!NameMode()) {
        return;
    }
    int i = ListBox1->ItemIndex();
    if (i < 0 || i >= static_cast<int>(fields_.size())) {
        if (fields_.empty()) {
            RadioButton1->SetChecked(true);  // no field, no values
            return;
        }
        i = 0;
    }
    valueField_ = i;
    ListBox1->Clear();
    GroupBox3->SetCaption("字段值");
    ListValues(fields_[static_cast<std::size_t>(i)]);
}

void TF_query::ListValues(const DictionaryField& f)
{
    Table1->Close();
    Table1->SetTableName(f.file);
    Table1->Open();
    std::vector<std::string> values;
    try {
        const TField* column = Table1->FieldByName(f.column);
        for (Table1->First(); !Table1->Eof(); Table1->Next()) {
            // A blank value cannot be written as a comparison; "is null" finds those records.
            if (!column->IsNull()) {
                values.push_back(ValueLiteral(column->AsString(), f.type));
            }
        }
    } catch (...) {
        Table1->Close();
        throw;
    }
    Table1->Close();
    ListBox1->SetItems(values);
}

void TF_query::RadioButton1Click(TObject*)
{
    if (NameMode()) {
        return;
    }
    GroupBox3->SetCaption("字段名");
    std::vector<std::string> names;
    for (const DictionaryField& f : fields_) {
        names.push_back(f.field.text);
    }
    ListBox1->SetItems(names);
    ListBox1->SetItemIndex(valueField_);
}

void TF_query::ListBox2Click(TObject*)
{
    ShowHintOf(ListBox2);
    if (ListBox2->ItemIndex() >= 0) {
        Edit1->SetText(ListBox2->Item(ListBox2->ItemIndex()));
    }
}

void TF_query::ListBox3Click(TObject*)
{
    ShowHintOf(ListBox3);
    if (ListBox3->ItemIndex() >= 0) {
        Edit1->SetText(ListBox3->Item(ListBox3->ItemIndex()));
    }
}

void TF_query::AddCondition(TListBox* list, std::vector<std::string>& tables)
{
    if (Edit1->Text().empty()) {
        return;
    }
    list->Add(Edit1->Text());
    tables.push_back(Edit2->Text());
}

void TF_query::DeleteCondition(TCustomListBox* list, std::vector<std::string>* tables)
{
    const int i = list->ItemIndex();
    if (i < 0 || i >= list->Count()) {
        return;
    }
    list->Delete(i);
    if (tables && i < static_cast<int>(tables->size())) {
        tables->erase(tables->begin() + i);
    }
    list->SetItemIndex(std::min(i, list->Count() - 1));
    list->SetFocus();
}

void TF_query::Button1Click(TObject*) { AddCondition(ListBox2, andTables_); }
void TF_query::Button2Click(TObject*) { DeleteCondition(ListBox2, &andTables_); }
void TF_query::Button3Click(TObject*) { AddCondition(ListBox3, orTables_); }
void TF_query::Button4Click(TObject*) { DeleteCondition(ListBox3, &orTables_); }

void TF_query::Button7Click(TObject*)
{
    const int i = CheckListBox1->ItemIndex();
    if (i < 0) {
        return;
    }
    CheckListBox1->SetChecked(i, true);  // a sort key is an output column
    CheckListBox5->Add(CheckListBox1->Item(i));
}

void TF_query::Button11Click(TObject*) { DeleteCondition(CheckListBox5, nullptr); }

void TF_query::ToggleSelected(TCheckListBox* list)
{
    const int i = list->ItemIndex();
    if (i >= 0) {
        list->SetChecked(i, !list->Checked(i));
    }
}

void TF_query::TickAll(TCheckListBox* list, bool on)
{
    for (int i = 0; i < list->Count(); ++i) {
        list->SetChecked(i, on);
    }
}

void TF_query::CheckListBox1Click(TObject*) { ShowHintOf(CheckListBox1); }
void TF_query::CheckListBox2Click(TObject*) { ShowHintOf(CheckListBox2); }
void TF_query::CheckListBox3Click(TObject*) { ShowHintOf(CheckListBox3); }
void TF_query::CheckListBox5Click(TObject*) { ShowHintOf(CheckListBox5); }
void TF_query::CheckListBox1DblClick(TObject*) { ToggleSelected(CheckListBox1); }
void TF_query::CheckListBox2DblClick(TObject*) { ToggleSelected(CheckListBox2); }
void TF_query::CheckListBox3DblClick(TObject*) { ToggleSelected(CheckListBox3); }
void TF_query::CheckListBox5DblClick(TObject*) { ToggleSelected(CheckListBox5); }
void TF_query::Button5Click(TObject*) { TickAll(CheckListBox1, true); }
void TF_query::Button6Click(TObject*) { TickAll(CheckListBox1, false); }
void TF_query::Button8Click(TObject*) { TickAll(CheckListBox2, true); }
void TF_query::Button9Click(TObject*) { TickAll(CheckListBox2, false); }
void TF_query::Button10Click(TObject*) { TickAll(CheckListBox3, false); }
