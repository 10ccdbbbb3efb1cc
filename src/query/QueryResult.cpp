// TF_query: the query and statistics statements run from the user's choices, and the result page: the free
// statement, the row/column swap, printing through the page printer, saving as a table and the column dialog.
#include "app/Main.h"
#include "platform/ui/Application.h"
#include "print/SaveAsTable.h"
#include "print/SaveTarget.h"
#include "query/ColumnDialog.h"
#include "query/QueryPrint.h"
#include "query/QueryWindow.h"

namespace {

// The ticked entries of a tick list, taken from the list beside it.
template <class T>
std::vector<T> Ticked(const TCheckListBox* list, const std::vector<T>& entries)
{
    std::vector<T> out;
    for (int i = 0; i < list->Count() && i < static_cast<int>(entries.size()); ++i) {
        if (list->Checked(i)) {
            out.push_back(entries[static_cast<std::size_t>(i)]);
        }
    }
    return out;
}

std::vector<query::QueryCondition> Conditions(const TListBox* list, const std::vector<std::string>& tables)
{
    std::vector<query::QueryCondition> out;
    for (int i = 0; i < list->Count(); ++i) {
        out.push_back({list->Item(i), i < static_cast<int>(tables.size()) ? tables[static_cast<std::size_t>(i)] : ""});
    }
    return out;
}

}  // namespace

query::QueryChoices TF_query::Choices()
{
    if (fields_.empty()) {
        throw EDatabaseError("报表" + std::to_string(ReportKind) + "的查询字段表没有读入，不能查询统计");
    }
    // The filter of the report these lists belong to, whichever window set ExtraFilter last.
    ExtraFilter = QueryFilterFor(BuiltReportKind);
    query::QueryChoices c;
    c.key = fields_.front().field;
    std::vector<query::QueryField> fields;
    for (const DictionaryField& f : fields_) {
        fields.push_back(f.field);
    }
    c.output = Ticked(CheckListBox1, fields);
    c.sums = Ticked(CheckListBox2, sums_);
    c.groups = Ticked(CheckListBox3, groups_);
    c.tables = Ticked(CheckListBox4, CheckListBox4->Items());
    c.allOf = Conditions(ListBox2, andTables_);
    c.anyOf = Conditions(ListBox3, orTables_);
    c.between = RadioGroup1->ItemIndex() == 1 ? query::GroupJoin::Or : query::GroupJoin::And;
    for (int i = 0; i < CheckListBox5->Count(); ++i) {
        c.sort.push_back({CheckListBox5->Item(i), CheckListBox5->Checked(i)});
    }
    c.extraFilter = ExtraFilter;
    return c;
}

void TF_query::OpenStatement(const query::Lines& lines)
{
    Memo1->SetLines(lines);
    Query1->Close();
    Query1->SQL.Clear();
    for (const std::string& l : lines) {
        Query1->SQL.Add(l);
    }
    Query1->Open();
}

void TF_query::ResultOpened()
{
    if (!Button16->Enabled()) {
        Button18->SetEnabled(true);
        Button16->SetEnabled(true);
    }
    PageControl1->SetActivePage(TabSheet2);
}

void TF_query::Button12Click(TObject*)
{
    OpenStatement(query::QueryStatement(Choices(), &fromList_));
    ResultOpened();
}

void TF_query::Button13Click(TObject*)
{
    const query::QueryChoices c = Choices();
    const query::Lines lines = query::StatisticsStatement(c, &fromList_);
    if (lines.empty()) {
        Query1->SQL.Clear();  // no sum ticked: an empty result, the last statement stays readable
        PageControl1->SetActivePage(TabSheet2);
        return;
    }
    OpenStatement(lines);
    ResultOpened();
    const std::vector<query::QueryField> repeated = query::RepeatedSums(c);
    if (repeated.empty()) {
        return;
    }
    std::string names;
    for (const query::QueryField& f : repeated) {
        names += (names.empty() ? "" : "、") + f.text;
    }
    Application->MessageBox("注意：统计连接了明细表，以下统计字段所在的记录按连接到的明细记录数重复累加，"
                            "其合计大于实际数：" + names + "。\n"
                            "要得到实际合计，请只统计同一张表的字段，或不连接其他明细表。",
                            "提示", MB_OK | MB_ICONWARNING);
}

void TF_query::Button14Click(TObject*) { Close(); }
void TF_query::Button19Click(TObject*) { Close(); }

void TF_query::Button15Click(TObject*)
{
    OpenStatement(Memo1->Lines());
    ResultOpened();
}

bool TF_query::HasResult()
{
    if (Query1->Active()) {
        return true;
    }
    Application->MessageBox("没有查询统计结果，请先进行查询或统计", "提示", MB_OK | MB_ICONINFORMATION);
    return false;
}

void TF_query::Button16Click(TObject*)
{
    if (!HasResult()) {
        return;
    }
    SwapRowsColumns(Query1, Table1);
    Query1->SQL.Clear();
    Query1->SQL.Add(std::string("Select * from ") + kSwapTableName);
    Query1->Open();
}

void TF_query::Button17Click(TObject*)
{
    if (HasResult()) {
        ShowQueryPrint(Query1, DBGrid1, TQueryPrintShow::Modeless);
    }
}

void TF_query::Button18Click(TObject*)
{
    if (!HasResult()) {
        return;
    }
    TSaveDialog* dialog = F_main->SaveDialog1;
    dialog->Title = "请选择存盘文件名";
    if (!dialog->Execute() || !ConfirmSaveTarget(dialog->FileName)) {
        return;
    }
    SaveAsTable(Query1, DBGrid1, dialog->FileName);
}

void TF_query::DBGrid1DblClick(TObject*)
{
    EditSelectedColumn(DBGrid1);
}
