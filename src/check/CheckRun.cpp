// The report check (RunCheck) and the save of a query answer as a table (SaveQueryAsTable). Each catalogue
// step of the report becomes local SQL, built line by line in Query1: code lists in batches of 202 codes
// through "tmp_r.DB", plain rules straight into the result table, join rules through "tmp.db". Appended rows
// are stamped with field name, message and status; the result is cleaned, sorted, numbered and registered
// in the send list.
//
// Values taken from the catalogue, code and rule tables (codes, messages, names, status, mail lines) are
// quoted as SQL string literals, so that an apostrophe in a message cannot break a statement; conditions,
// key expressions, link and group texts are SQL and are pasted as they are.
//
// Result order: 状态 descending, then 编号, in the engine's GBK collation (the ORDER BY of local SQL): texts
// sort in GB2312 pinyin order as Chinese users expect, so "警告" comes before "错误" and both before "OK".
//
// A run holds the result table and the send list for its whole length: a second check meanwhile (another
// window or program instance on the same data folder) is refused. The run builds its result in a work copy
// beside the result table ("kfq_r$.db"), which replaces the result table's rows in one transaction at the end:
// the result appears whole or not at all, even when the program is killed midway. A run that fails (a missing
// table, a rule that is not SQL) leaves the result table as it was, puts the send list back, reattaches the grid
// and names the step and the rule that failed.
#include <filesystem>

#include "app/Main.h"
#include "check/Check.h"
#include "check/TableSnapshot.h"
#include "platform/db/Names.h"
#include "platform/db/TableFile.h"
#include "platform/db/TableHold.h"
#include "platform/db/TableStore.h"
#include "platform/ui/Application.h"

namespace {

// A value as an SQL string literal.
std::string Quoted(const std::string& value)
{
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out + "'";
}

std::string FieldText(TDataSet* ds, const std::string& field) { return ds->FieldByName(field)->AsString(); }

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// The data reference D of a step: the quoted data table, or two of them joined.
std::string DataReference(const std::string& dbName)
{
    const std::size_t comma = dbName.find(',');
    if (comma != std::string::npos) {
        return "\"" + DataFolder + dbName.substr(0, comma) + " left join \"" + DataFolder + dbName.substr(comma + 1);
    }
    return "\"" + DataFolder + dbName;
}

// Where the run is, for the message of a failed run.
struct RunPosition {
    int step = 0;        // catalogue record number of the step
    std::string table;   // its rule or code table
    int rule = 0;        // rule record number, 0 outside the rules
    std::string field;   // the rule's field_name
    std::string stage;   // what was done last when not a step

    std::string Describe() const
    {
        if (step == 0) {
            return stage;
        }
        std::string s = "第" + std::to_string(step) + "条校验步骤（" + table + "）";
        if (rule > 0) {
            s += "第" + std::to_string(rule) + "条规则（" + field + "）";
        }
        return s;
    }
};

// Appends the answer's rows to the scratch table of the code-list batches, each column into the field of its
// name. The scratch table holds the added columns of every report (report 4's is_chge, the detail key code2
// of reports 7 to 9), so they cannot all sit where a match by position would put them; the later batches
// and the final append read it back by name.
void AppendByName(TTable* target, TDataSet* answer)
{
    target->Open();
    std::vector<std::pair<int, int>> map;  // answer field -> target field
    for (int i = 0; i < answer->FieldCount(); ++i) {
        if (const TField* f = target->FindField(answer->Fields()[i]->FieldName())) {
            map.emplace_back(i, f->Index());
        }
    }
    for (answer->First(); !answer->Eof(); answer->Next()) {
        target->Append();
        for (const auto& [from, to] : map) {
            TField* f = target->Fields()[to];
            f->SetValue(db::ConvertForField(answer->GetFieldValue(from), f->Desc(), db::TextFit::Cut));
        }
        target->Post();
    }
    target->FlushBuffers();
    target->Close();
}

// The work copy of a result table: "kfq_r.db" -> "kfq_r$.db", beside it.
std::string WorkName(const std::string& result)
{
    const std::size_t base = result.find_last_of("/\\");
    const std::size_t dot = result.rfind('.');
    if (dot == std::string::npos || (base != std::string::npos && dot < base)) {
        return result + "$";
    }
    return result.substr(0, dot) + "$" + result.substr(dot);
}

// An empty table with the result table's fields and indexes, to build a run's result in.
void CreateWorkTable(TTable* table, const std::string& result, const std::string& work)
{
    table->Close();
    table->SetTableName(result);
    table->Open();
    const db::TableSchema schema = table->Schema();
    table->Close();
    table->SetTableName(work);
    table->TableType = TTableType::ttDefault;
    table->FieldDefs.Assign(schema.fields);
    table->IndexDefs = schema.indexes;
    table->CreateTable();
}

void RemoveWorkTable(const std::string& work)
{
    std::error_code ec;
    std::filesystem::remove(db::ResolveTableName(work), ec);
}

}  // namespace

void TF_check::SaveQueryAsTable(const std::string& name)
{
    Table4->Close();
    Table4->SetTableName(name);
    Table4->TableType = TTableType::ttDefault;
    Table4->FieldDefs.Clear();
    for (int i = 0; i < Query1->FieldCount(); ++i) {
        const TField* f = Query1->Fields()[i];
        switch (f->DataType()) {
        case TFieldType::Float:
        case TFieldType::Smallint:
        case TFieldType::Date:
        case TFieldType::Boolean:
            Table4->FieldDefs.Add(f->FieldName(), f->DataType());
            break;
        default:
            Table4->FieldDefs.Add(f->FieldName(), f->DataType(), f->Size());
            break;
        }
    }
    // A scratch table, made anew before every use: its commits need not reach the disk one by one.
    Table4->SyncedWrites = false;
    Table4->CreateTable();
    Table4->BatchMove(Query1, TBatchMode::batAppend);
}

void TF_check::RunCheck(TObject*)
{
    const std::string result = Table2->TableName();
    if (!Table3->Active()) {
        Table3->Open();
    }
    bool hasSteps = false;
    for (Table3->First(); !Table3->Eof() && !hasSteps; Table3->Next()) {
        hasSteps = Table3->Fields()[0]->AsString() == std::to_string(ReportKind);
    }
    if (!hasSteps || result.empty()) {
        Application->MessageBox("报表" + std::to_string(ReportKind) + "没有校验步骤，未作校验", "提示",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The run's tables are its own until it ends; a check running elsewhere keeps them until then.
    std::unique_ptr<TTableHold> holdResult, holdSend;
    try {
        holdResult = std::make_unique<TTableHold>(result);
        holdSend = std::make_unique<TTableHold>("sendname.db");
    } catch (const ETableHeld& e) {
        Application->MessageBox(std::string("另一个校验正在进行（在另一个窗口或另一个程序中），本次没有校验。\n") +
                                    e.what() + "\n校验结果和发送表未改变。",
                                "提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    // What a failed run puts back: the result table is never touched before the run's end.
    const TableSnapshot sendBefore = TableSnapshot::Take("sendname.db");
    const std::string work = WorkName(result);
    bool replaced = false;
    RunPosition at;
    auto exec = [this](std::initializer_list<std::string> lines) {
        Query1->Close();
        Query1->SQL.Clear();
        for (const std::string& l : lines) {
            Query1->SQL.Add(l);
        }
        Query1->ExecSQL();
    };
    // Appended rows wait for the update that stamps them (字段名 is null until then). A name that starts with a
    // character other than a blank is stored as a name, so after its update no row waits. Most rules find
    // nothing: an empty answer leaves the result table's file alone, and while no row waits there is nothing to
    // stamp either.
    bool waiting = false;
    auto append = [&] {
        if (!Query1->IsEmpty()) {
            Table2->BatchMove(Query1, TBatchMode::batAppend);
            waiting = true;
        }
    };
    auto stamp = [&](const std::string& name, const std::string& message, const std::string& status) {
        if (!waiting) {
            return;
        }
        exec({"update " + work, " set 字段名=" + Quoted(name) + ",错误信息=" + Quoted(message) + ",状态=" + Quoted(status),
              " where 字段名 IS NULL"});
        waiting = name.empty() || name[0] == ' ';
    };
    try {
        // 1. An empty result table (the work copy, which the statements name), the grid detached.
        at.stage = "清空校验结果表";
        DataSource1->SetEnabled(false);
        CreateWorkTable(Table2, result, work);

        // 2. Every step of the report, in catalogue order.
        for (Table3->First(); !Table3->Eof(); Table3->Next()) {
            if (Table3->Fields()[0]->AsString() != std::to_string(ReportKind)) {
                continue;
            }
            at = RunPosition{Table3->RecNo(), FieldText(Table3, "check_name"), 0, {}, {}};
            const std::string K = FieldText(Table3, "field_name");
            const std::string F2 = FieldText(Table3, "field_name2");
            const std::string D = DataReference(FieldText(Table3, "db_name"));
            Table1->Close();
            Table1->SetTableName(FieldText(Table3, "check_name"));
            Table1->Open();
            Table1->First();

            if (Contains(D, ";")) {
                // Code list: the permitted values of column C, 202 codes per statement.
                const std::string C = FieldText(Table3, "check_result");
                const std::string Dp = D.substr(0, D.size() - 1);
                Table5->Close();
                Table5->EmptyTable();
                bool open = false;
                int terms = 0;
                auto runBatch = [&] {
                    Query1->SQL.Add(")" + ExtraFilter);
                    Query1->Open();
                    Table5->EmptyTable();
                    AppendByName(Table5, Query1);
                    Query1->Close();
                    open = false;
                };
                bool firstBatch = true;
                std::string term;  // the column that the open batch's "or" terms test
                for (; !Table1->Eof(); Table1->Next()) {
                    const std::string code = FieldText(Table1, "code");
                    if (!open) {
                        Query1->Close();
                        Query1->SQL.Clear();
                        if (firstBatch) {
                            Query1->SQL.Add("select " + K + " 编号," + C + " 字段值" + ExtraColumn + F2);
                            Query1->SQL.Add(" from " + Dp);
                            Query1->SQL.Add(" where not (" + C + "=" + Quoted(code));
                        } else {
                            Query1->SQL.Add("select 编号,字段值" + ExtraColumn + F2);
                            Query1->SQL.Add(" from tmp_r.db");
                            Query1->SQL.Add(" where not (字段值=" + Quoted(code));
                        }
                        term = firstBatch ? C : std::string("字段值");
                        firstBatch = false;
                        open = true;
                        terms = 0;
                        continue;
                    }
                    Query1->SQL.Add(" or " + term + "=" + Quoted(code));
                    if (++terms == 201) {
                        runBatch();
                    }
                }
                if (open) {
                    runBatch();
                }
                // Back in the select-list order that the result table's columns follow.
                Query1->Close();
                Query1->SQL.Clear();
                Query1->SQL.Add("select 编号,字段值" + ExtraColumn + F2);
                Query1->SQL.Add(" from tmp_r.db");
                Query1->Open();
                append();
                Query1->Close();
                stamp(C, FieldText(Table3, "text1"), "错误");
                Table1->Close();
                continue;
            }

            // Rule table: plain rules or join rules.
            const bool join = Contains(D, "left join");
            ProgressBar1->SetPosition(0);
            ProgressBar1->SetMax(Table1->RecordCount());
            for (Table1->First(); !Table1->Eof();) {
                at.rule = Table1->RecNo();
                at.field = FieldText(Table1, "field_name");
                const std::string fieldName = FieldText(Table1, "field_name");
                std::string shown = fieldName;
                Query1->Close();
                Query1->SQL.Clear();
                if (join) {
                    shown = FieldText(Table1, "disp_field");
                    Query1->SQL.Add("select " + K + " 编号," + fieldName + ExtraColumn);
                    Query1->SQL.Add(" from " + D);
                    Query1->SQL.Add(" on " + FieldText(Table1, "link"));
                    Query1->SQL.Add(" group by " + FieldText(Table1, "group"));
                    Query1->Open();
                    SaveQueryAsTable("tmp.db");
                    Query1->Close();
                    Query1->SQL.Clear();
                    Query1->SQL.Add("select 编号," + shown + ExtraColumn);
                    Query1->SQL.Add(" from tmp.db");
                    Query1->SQL.Add(" where (" + FieldText(Table1, "field_value") + ")");
                } else {
                    Query1->SQL.Add("select " + K + " 编号," + fieldName + " 字段值" + ExtraColumn + F2);
                    Query1->SQL.Add(" from " + D);
                    Query1->SQL.Add(" where not (" + FieldText(Table1, "field_value") + ")" + ExtraFilter);
                }
                Query1->Open();
                append();
                Query1->Close();
                stamp(shown, FieldText(Table1, "field_text"), FieldText(Table1, "status"));
                Table1->Next();
                ProgressBar1->SetPosition(Table1->RecNo());
            }
            Table1->Close();
            if (!join) {
                exec({"delete from sendname.db", " where id=2 and name=" + D});
                exec({"insert into sendname.db (id,name,text)",
                      " values (2," + D + "," + Quoted(FieldText(Table3, "Text2")) + ")"});
            }
        }

        // 3. Clean-up, then the rows in sorted order.
        at = RunPosition{};
        at.stage = "整理校验结果";
        ProgressBar1->SetPosition(0);
        Table2->Close();
        exec({"delete from " + work,
              " where 编号 is null and (字段名='qj25' or 字段名='qj26' or 字段名='qj27' or 字段名='qj01')"});
        Table2->Open();
        Query1->Close();
        Query1->SQL.Clear();
        Query1->SQL.Add("select * from " + work);
        Query1->SQL.Add(" order by 状态 desc,编号");
        Query1->Open();
        Table2->Close();
        Table2->EmptyTable();
        Table2->Open();
        Table2->BatchMove(Query1, TBatchMode::batAppend);
        Query1->Close();

        // 4. The "OK" row, or the ordinal numbers.
        if (Table2->IsEmpty()) {
            Table2->Append();
            Table2->FieldByName("状态")->SetAsString("OK");
            Table2->FieldByName("错误信息")->SetAsString("无任何错误及警告");
            Table2->Post();
        } else {
            // one run of stores: the numbers go to disk together, not one commit per row
            Table2->BeginBatch();
            try {
                for (Table2->First(); !Table2->Eof(); Table2->Next()) {
                    Table2->Edit();
                    Table2->FieldByName("序号")->SetAsString(std::to_string(Table2->RecNo()));
                    Table2->Post();
                }
            } catch (...) {
                Table2->EndBatch();
                throw;
            }
            Table2->EndBatch();
        }
        Table2->FlushBuffers();

        // The whole result takes the place of the last one at once.
        at.stage = "保存校验结果";
        Table2->Close();
        db::ReplaceTableRows(db::ResolveTableName(result), db::ResolveTableName(work));
        replaced = true;
        Table2->SetTableName(result);
        RemoveWorkTable(work);

        // 5. The result table in the send list.
        at.stage = "登记发送表";
        exec({"delete from sendname.db", " where id=1 and name=" + Quoted(result)});
        exec({"insert into sendname.db (id,name,text)",
              " values (1," + Quoted(result) + "," + Quoted(ResultText) + ")"});
    } catch (const std::exception& e) {
        const std::string where = at.Describe();
        Query1->Close();
        Table1->Close();
        Table5->Close();
        Table2->Close();
        Table2->SetTableName(result);
        RemoveWorkTable(work);
        std::string restored = replaced ? "校验结果已经保存，发送表未改变。" : "校验结果和发送表未改变。";
        try {
            sendBefore.Restore();
        } catch (const std::exception& again) {
            restored = std::string("恢复原发送表失败：") + again.what();
        }
        ProgressBar1->SetPosition(0);
        try {
            Table2->Open();
        } catch (const std::exception&) {
        }
        DataSource1->SetEnabled(true);
        if (dynamic_cast<const EAbort*>(&e)) {
            throw;  // a silent abort stays silent, but leaves nothing half done either
        }
        Application->MessageBox(where + "校验失败：" + e.what() + "\n" + restored, "错误窗口", MB_OK | MB_ICONERROR);
        return;
    }

    // 6. On the first row, the grid attached again.
    Table2->Open();
    Table2->First();
    DataSource1->SetEnabled(true);
}
