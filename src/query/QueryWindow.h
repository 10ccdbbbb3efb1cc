// TF_query: the query and statistics window, shown beside the other windows. It rebuilds its field, sum, group
// and table lists from the report's field dictionary, lets the user compose conditions from field names,
// operators and field values, and runs the statements of QueryStatement.h; its result page shows the answer
// with the statement, prints, saves and swaps it. Composing conditions and the tick lists live in
// QueryConditions.cpp, the statements and the result page in QueryResult.cpp.
#pragma once

#include <string>
#include <vector>

#include "app/Forms.h"
#include "platform/ui/Button.h"
#include "platform/ui/Containers.h"
#include "platform/ui/DBGrid.h"
#include "platform/ui/DbComponents.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBoxes.h"
#include "platform/ui/Memo.h"
#include "platform/ui/PageControl.h"
#include "platform/ui/RadioButton.h"
#include "platform/ui/RadioGroup.h"
#include "query/QueryStatement.h"

// The query window's filter of a report: national projects (report 4) only as entered or added.
std::string QueryFilterFor(int report);

class TF_query : public TForm {
public:
    explicit TF_query(TComponent* owner);

    TPageControl* PageControl1;
    TTabSheet* TabSheet1;  // "选择查询统计条件"
    TTabSheet* TabSheet2;  // "查询统计结果"
    TGroupBox* GroupBox3;  // its caption is the mode of ListBox1: "字段名" or "字段值"
    TListBox* ListBox1;    // field names, or the values of one field
    TListBox* ListBox2;    // AND conditions
    TListBox* ListBox3;    // OR conditions
    TListBox* ListBox4;    // operators
    TCheckListBox* CheckListBox1;  // output fields
    TCheckListBox* CheckListBox2;  // sum fields
    TCheckListBox* CheckListBox3;  // group fields
    TCheckListBox* CheckListBox4;  // tables always joined
    TCheckListBox* CheckListBox5;  // sort keys; ticked = descending
    TRadioButton* RadioButton1;    // "字段名"
    TRadioButton* RadioButton2;    // "字段值"
    TRadioGroup* RadioGroup1;      // "与" / "或" between the AND and the OR group
    TEdit* Edit1;  // the condition being composed
    TEdit* Edit2;  // the table reference of the condition's field
    TButton* Button1;   // "增加" AND
    TButton* Button2;   // "删除" AND
    TButton* Button3;   // "增加" OR
    TButton* Button4;   // "删除" OR
    TButton* Button5;   // "全部选中" output
    TButton* Button6;   // "全部取消" output
    TButton* Button7;   // "设置排序字段"
    TButton* Button8;   // "全部选中" sums
    TButton* Button9;   // "全部取消" sums
    TButton* Button10;  // "全部取消" groups
    TButton* Button11;  // "删除" sort key
    TButton* Button12;  // "进行查询"
    TButton* Button13;  // "进行统计"
    TButton* Button14;  // "返回"
    TDBGrid* DBGrid1;
    TMemo* Memo1;       // the statement's text
    TButton* Button15;  // "直接输入SQL语句操作数据库"
    TButton* Button16;  // "行列交换"
    TButton* Button17;  // "打印"
    TButton* Button18;  // "存盘"
    TButton* Button19;  // "返回"
    TQuery* Query1;
    TDataSource* DataSource1;
    TTable* Table1;  // the values of a field; the swap's target

    void FormActivate(TObject* Sender);

    // Composing conditions (QueryConditions.cpp).
    void ListBox1Click(TObject* Sender);
    void ListBox1DblClick(TObject* Sender);
    void ListBox4Click(TObject* Sender);
    void ListBox4DblClick(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);
    void ListBox2Click(TObject* Sender);
    void ListBox3Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button4Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void CheckListBox1Click(TObject* Sender);
    void CheckListBox2Click(TObject* Sender);
    void CheckListBox3Click(TObject* Sender);
    void CheckListBox5Click(TObject* Sender);
    void CheckListBox1DblClick(TObject* Sender);
    void CheckListBox2DblClick(TObject* Sender);
    void CheckListBox3DblClick(TObject* Sender);
    void CheckListBox5DblClick(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button10Click(TObject* Sender);

    // Statements and the result page (QueryResult.cpp).
    void Button12Click(TObject* Sender);
    void Button13Click(TObject* Sender);
    void Button14Click(TObject* Sender);
    void Button15Click(TObject* Sender);
    void Button16Click(TObject* Sender);
    void Button17Click(TObject* Sender);
    void Button18Click(TObject* Sender);
    void Button19Click(TObject* Sender);
    void DBGrid1DblClick(TObject* Sender);

    // One dictionary row as the lists hold it.
    struct DictionaryField {
        query::QueryField field;  // field_name, field_text, table reference
        std::string type;         // field_type
        std::string file;         // the data table's file name (without the alias)
        std::string column;       // field_name without the alias and its point
    };

    // The entries behind the visible lists, index for index.
    const std::vector<DictionaryField>& Fields() const { return fields_; }  // ListBox1, CheckListBox1
    const std::vector<query::QueryField>& SumFields() const { return sums_; }
    const std::vector<query::QueryField>& GroupFields() const { return groups_; }
    const std::vector<std::string>& AndTables() const { return andTables_; }
    const std::vector<std::string>& OrTables() const { return orTables_; }
    const std::vector<std::string>& FromList() const { return fromList_; }  // of the last statement built

    // The report (0: none yet) and the IdPrefix of the last successful rebuild.
    int BuiltReportKind = 0;
    std::string BuiltIdPrefix;

private:
    void Rebuild();
    bool NameMode() const;
    // The user's choices as the builder takes them; sets ExtraFilter for the report the lists were built for.
    query::QueryChoices Choices();
    void AddCondition(TListBox* list, std::vector<std::string>& tables);
    void DeleteCondition(TCustomListBox* list, std::vector<std::string>* tables);
    void ShowHintOf(TCustomListBox* list);
    void ToggleSelected(TCheckListBox* list);
    void TickAll(TCheckListBox* list, bool on);
    void ListValues(const DictionaryField& f);
    // Runs the statement: the text into Memo1 first, so that a failing statement can be read and mended there.
    void OpenStatement(const query::Lines& lines);
    void ResultOpened();
    bool HasResult();  // an answer is shown; otherwise the user is told

    std::vector<DictionaryField> fields_;
    std::vector<query::QueryField> sums_;
    std::vector<query::QueryField> groups_;
    std::vector<std::string> andTables_;  // beside ListBox2
    std::vector<std::string> orTables_;   // beside ListBox3
    std::vector<std::string> fromList_;
    int valueField_ = -1;  // the field whose values ListBox1 lists
};
