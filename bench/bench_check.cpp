// The report check of report 1 with the shipped catalogue and rules on 1,000, 10,000 and 30,000 enterprises with
// their products and projects (the sample generator), beside raw SQLite running the same statements, translated by the same
// translator, in the same run. The check reports its own time, the counter "raw_s" (raw SQLite per run) and
// "ratio" (check time / raw time). The raw side gets its statement list ready-made (reading the catalogue and
// rule tables is not timed there), appends answers with one prepared insert per statement and numbers the
// sorted rows in one update, where the check stores each row's number as the user's walk through it does.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "SampleFolders.h"
#include "app/Main.h"
#include "check/Check.h"
#include "platform/db/Connection.h"
#include "platform/db/DataText.h"
#include "platform/db/SqlTranslate.h"
#include "platform/db/Table.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScriptedUser.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Windows without a display.
const int kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}();

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string Text(TTable& t, const char* field) { return t.FieldByName(field)->AsString(); }

std::string Quoted(const std::string& v)
{
    std::string out = "'";
    for (char c : v) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out + "'";
}

// One step of the raw run: a statement, and where a select's answer goes.
struct RawOp {
    enum Kind { Exec, AppendTo, SaveAs, Empty, Number } kind;
    std::string sql;     // local SQL (Empty: none)
    std::string target;  // AppendTo, SaveAs, Empty: the table file
};

// The statements of the check of a report, in the order the check runs them (report 1 has no filter).
std::vector<RawOp> CheckStatements(int report)
{
    std::vector<RawOp> ops;
    TTable cat;
    cat.SetTableName("check_db.DB");
    cat.Open();
    std::string result;
    for (cat.First(); !cat.Eof(); cat.Next()) {
        if (cat.Fields()[0]->AsInteger() == report && result.empty()) {
            result = Text(cat, "check_result");
        }
    }
    ops.push_back({RawOp::Empty, "", result});
    for (cat.First(); !cat.Eof(); cat.Next()) {
        if (cat.Fields()[0]->AsInteger() != report) {
            continue;
        }
        const std::string K = Text(cat, "field_name"), F2 = Text(cat, "field_name2"), dbName = Text(cat, "db_name");
        const std::size_t comma = dbName.find(',');
        std::string D(1, '"');
        if (comma == std::string::npos) {
            D.append(dbName);
        } else {
            D.append(dbName, 0, comma).append(" left join \"").append(dbName, comma + 1);
        }
        TTable rules;
        rules.SetTableName(Text(cat, "check_name"));
        rules.Open();
        if (D.find(';') != std::string::npos) {
            const std::string C = Text(cat, "check_result");
            ops.push_back({RawOp::Empty, "", "tmp_r.DB"});
            std::string sql;
            int terms = -1;
            bool first = true;
            std::string term;
            for (rules.First(); !rules.Eof(); rules.Next()) {
                const std::string code = Quoted(Text(rules, "code"));
                if (terms < 0) {
                    sql = first ? "select " + K + " 编号," + C + " 字段值" + F2 + " from " + D.substr(0, D.size() - 1) +
                                      " where not (" + C + "=" + code
                                : "select 编号,字段值" + F2 + " from tmp_r.db where not (字段值=" + code;
                    term = first ? C : std::string("字段值");
                    first = false;
                    terms = 0;
                } else {
                    sql += " or " + term + "=" + code;
                    if (++terms == 201) {
                        ops.push_back({RawOp::Empty, "", "tmp_r.DB"});
                        ops.push_back({RawOp::AppendTo, sql + ")", "tmp_r.DB"});
                        terms = -1;
                    }
                }
            }
            if (terms >= 0) {
                ops.push_back({RawOp::AppendTo, sql + ")", "tmp_r.DB"});
            }
            ops.push_back({RawOp::AppendTo, "select 编号,字段值" + F2 + " from tmp_r.db", result});
            ops.push_back({RawOp::Exec,
                           "update " + result + " set 字段名=" + Quoted(C) + ",错误信息=" + Quoted(Text(cat, "text1")) +
                               ",状态='错误' where 字段名 IS NULL",
                           ""});
            continue;
        }
        const bool join = D.find("left join") != std::string::npos;
        for (rules.First(); !rules.Eof(); rules.Next()) {
            const std::string f = Text(rules, "field_name");
            std::string shown = f;
            if (join) {
                shown = Text(rules, "disp_field");
                ops.push_back({RawOp::SaveAs,
                               "select " + K + " 编号," + f + " from " + D + " on " + Text(rules, "link") + " group by " +
                                   Text(rules, "group"),
                               "tmp.db"});
                ops.push_back({RawOp::AppendTo, "select 编号," + shown + " from tmp.db where (" +
                                                    Text(rules, "field_value") + ")",
                               result});
            } else {
                ops.push_back({RawOp::AppendTo, "select " + K + " 编号," + f + " 字段值" + F2 + " from " + D +
                                                    " where not (" + Text(rules, "field_value") + ")",
                               result});
            }
            ops.push_back({RawOp::Exec,
                           "update " + result + " set 字段名=" + Quoted(shown) + ",错误信息=" +
                               Quoted(Text(rules, "field_text")) + ",状态=" + Quoted(Text(rules, "status")) +
                               " where 字段名 IS NULL",
                           ""});
        }
        if (!join) {
            ops.push_back({RawOp::Exec, "delete from sendname.db where id=2 and name=" + D, ""});
            ops.push_back({RawOp::Exec, "insert into sendname.db (id,name,text) values (2," + D + "," +
                                            Quoted(Text(cat, "Text2")) + ")",
                           ""});
        }
    }
    ops.push_back({RawOp::Exec,
                   "delete from " + result +
                       " where 编号 is null and (字段名='qj25' or 字段名='qj26' or 字段名='qj27' or 字段名='qj01')",
                   ""});
    ops.push_back({RawOp::SaveAs, "select * from " + result + " order by 状态 desc,编号", "sorted.db"});
    ops.push_back({RawOp::Empty, "", result});
    ops.push_back({RawOp::AppendTo, "select * from sorted.db", result});
    ops.push_back({RawOp::Number, "", result});
    ops.push_back({RawOp::Exec, "delete from sendname.db where id=1 and name=" + Quoted(result), ""});
    ops.push_back({RawOp::Exec, "insert into sendname.db (id,name,text) values (1," + Quoted(result) + ",'')", ""});
    return ops;
}

// The file of a name as the engine resolves it: without regard to case, ".db" when there is no extension.
std::string Resolve(const std::string& name)
{
    std::string want = sql::normalFileName(name);
    for (const auto& e : fs::directory_iterator(".")) {
        if (e.is_regular_file() && sql::normalFileName(e.path().filename().string()) == want) {
            return e.path().filename().string();
        }
    }
    return want;
}

void Run(sqlite3* c, const char* text)
{
    char* err = nullptr;
    if (sqlite3_exec(c, text, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "raw: %s\n  in %s\n", err ? err : "?", text);
        sqlite3_free(err);
        std::exit(1);
    }
}

// Runs the statements on one raw SQLite connection: each statement attaches the files it names.
void RunRaw(const std::vector<RawOp>& ops)
{
    sqlite3* c = nullptr;
    sqlite3_open(":memory:", &c);
    db::RegisterGbkCollation(c);
    for (const RawOp& op : ops) {
        if (op.kind == RawOp::Number) {  // 序号 = record number, in one transaction
            Run(c, ("ATTACH '" + Resolve(op.target) + "' AS t").c_str());
            Run(c, "UPDATE t.data SET \"序号\" = CAST(rowid AS TEXT)");
            Run(c, "DETACH t");
            continue;
        }
        if (op.kind == RawOp::Empty) {
            Run(c, ("ATTACH '" + Resolve(op.target) + "' AS t").c_str());
            Run(c, "DELETE FROM t.data");
            Run(c, "DETACH t");
            continue;
        }
        const sql::Translation t = sql::translateStatement(op.sql);
        for (const auto& f : t.files) {
            Run(c, ("ATTACH '" + Resolve(f.name) + "' AS " + f.schema).c_str());
        }
        if (op.kind == RawOp::Exec) {
            Run(c, t.sql.c_str());
        } else if (op.kind == RawOp::SaveAs) {
            Run(c, ("ATTACH '" + op.target + "' AS t").c_str());
            Run(c, "DROP TABLE IF EXISTS t.data");
            Run(c, ("CREATE TABLE t.data AS " + t.sql).c_str());
            Run(c, "DETACH t");
        } else {
            Run(c, ("ATTACH '" + Resolve(op.target) + "' AS t").c_str());
            sqlite3_stmt* sel = nullptr;
            sqlite3_prepare_v2(c, t.sql.c_str(), -1, &sel, nullptr);
            const int n = sqlite3_column_count(sel);
            std::vector<std::string> cols;
            {
                sqlite3_stmt* info = nullptr;
                sqlite3_prepare_v2(c, "SELECT name FROM pragma_table_info('data', 't')", -1, &info, nullptr);
                while (sqlite3_step(info) == SQLITE_ROW) {
                    cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info, 0)));
                }
                sqlite3_finalize(info);
            }
            std::string ins = "INSERT INTO t.data (", qs;
            const int m = std::min<int>(n, static_cast<int>(cols.size()));
            for (int i = 0; i < m; ++i) {
                ins += (i ? ",\"" : "\"") + cols[static_cast<std::size_t>(i)] + "\"";
                qs += i ? ",?" : "?";
            }
            ins += ") VALUES (" + qs + ")";
            sqlite3_stmt* put = nullptr;
            Run(c, "BEGIN");
            sqlite3_prepare_v2(c, ins.c_str(), -1, &put, nullptr);
            while (sqlite3_step(sel) == SQLITE_ROW) {
                for (int i = 0; i < m; ++i) {
                    sqlite3_bind_value(put, i + 1, sqlite3_column_value(sel, i));
                }
                sqlite3_step(put);
                sqlite3_reset(put);
            }
            sqlite3_finalize(put);
            sqlite3_finalize(sel);
            Run(c, "COMMIT");
            Run(c, "DETACH t");
        }
        for (const auto& f : t.files) {
            Run(c, ("DETACH " + f.schema).c_str());
        }
    }
    sqlite3_close(c);
}

void CheckReport1(benchmark::State& state)
{
    fs::current_path(benchdata::SampleFolder("check", static_cast<int>(state.range(0)), 7));
    Application->Initialize();
    TScriptedUser user;  // any message (a failed run) ends the benchmark instead of waiting for a click
    user.OnFailure = [](const std::string& what) {
        std::fprintf(stderr, "bench_check: %s\n", what.c_str());
        std::exit(1);
    };
    if (!F_check) {
        Application->CreateForm(&F_check);
    }
    ReportKind = 1;
    F_check->FormActivate(nullptr);
    const std::vector<RawOp> ops = CheckStatements(1);
    double ours = 0, raw = 0;
    int rows = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        F_check->RunCheck();
        const auto t1 = Clock::now();
        rows = F_check->Table2->RecordCount();
        F_check->Table2->Close();
        RunRaw(ops);
        const auto t2 = Clock::now();
        F_check->Table2->Open();
        ours += seconds(t1 - t0);
        raw += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    state.counters["result_rows"] = rows;
    for (const char* table : {"kfq_1.db", "kfq_2.db", "kfq_5.db"}) {
        TTable t;
        t.SetTableName(table);
        t.Open();
        state.counters[table] = t.RecordCount();
    }
    state.counters["statements"] = static_cast<double>(ops.size());
    benchdata::Report(state, ours, raw);
    // The next size works in another folder.
    F_check->Table2->Close();
    F_check->Table3->Close();
}
BENCHMARK(CheckReport1)->Apply(benchdata::Sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
