// The three imports of "数据入库" (the report-number check aside) beside raw SQLite doing the same upserts in
// the same run, at 1,000, 10,000 and 30,000 enterprises: a sample set of enterprises with their products and
// projects (seed 2) merged into as many held ones (seed 1) through the enterprise window's ImportTable, then the
// same merge as INSERT ... ON CONFLICT DO UPDATE on the same table files. Both start from fresh copies of the
// held tables; the counter "ratio" is engine time / SQLite time. The submitted enterprises are the held ones
// reporting again: their legal-person codes and names are taken from the held set, so every row is an update or
// a new product or project, never a refused duplicate.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "SampleFolders.h"
#include "app/Main.h"
#include "entry/Import.h"
#include "entry/KfqImport.h"
#include "entry/Kfq.h"
#include "platform/db/DataText.h"
#include "platform/ui/Application.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kTables[] = {"kfq_1.db", "kfq_2.db", "kfq_5.db"};

void Exec(sqlite3* db, const std::string& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string message = err ? err : "sqlite error";
        sqlite3_free(err);
        throw std::runtime_error(message + " in " + sql);
    }
}

struct Folders {
    fs::path work, held, submitted;
};

// The folders of one size; the program's windows exist once, working in the folder made current.
const Folders& Prepare(int enterprises)
{
    static std::map<int, Folders> made;
    auto it = made.find(enterprises);
    if (it == made.end()) {
        Folders out;
        out.held = benchdata::SampleFolder("held", enterprises, 1);
        out.submitted = benchdata::SampleFolder("submitted", enterprises, 2);
        // The same enterprises again: codes and names as held.
        sqlite3* db = nullptr;
        sqlite3_open((out.submitted / "kfq_1.db").c_str(), &db);
        Exec(db, "ATTACH '" + (out.held / "kfq_1.db").string() + "' AS held");
        Exec(db, "UPDATE data SET QA03=NULL, QA04=NULL");
        // (the report number compared as its index compares it, so that the index finds the held row)
        Exec(db, "UPDATE data SET QA03=(SELECT h.QA03 FROM held.data h WHERE h.QA01=data.QA01 COLLATE NOCASE), "
                 "QA04=(SELECT h.QA04 FROM held.data h WHERE h.QA01=data.QA01 COLLATE NOCASE)");
        sqlite3_close(db);
        out.work = benchdata::SampleFolder("work", enterprises, 1);  // the program's folder
        it = made.emplace(enterprises, out).first;
    }
    fs::current_path(it->second.work);
    if (!F_main) {
        Application->Initialize();
        Application->CreateForm(&F_main);
        F_main->Show();
        Application->CreateForm(&F_kfq);
    }
    return it->second;
}

void FreshHeldTables(const Folders& f)
{
    for (const char* t : kTables) {
        fs::copy_file(f.held / t, f.work / t, fs::copy_options::overwrite_existing);
    }
}

double SqliteSeconds(const Folders& f);

// The engine's import of the three tables, timed by hand so that the SQLite run of the same iteration can
// stand beside it in the counter "ratio".
void BM_ImportEngine(benchmark::State& state)
{
    const Folders& f = Prepare(static_cast<int>(state.range(0)));
    auto engineSeconds = [&f, &state] {
        FreshHeldTables(f);
        F_kfq->Show();  // activation opens the tables
        const auto start = Clock::now();
        const std::vector<ImportPosition> positions = KfqImportPositions();
        TTable* targets[] = {F_kfq->Table1, F_kfq->Table2, F_kfq->Table5};
        EntryImportHost host(*F_kfq);
        for (int i = 0; i < 3; ++i) {
            F_main->Table1->SetTableName((f.submitted / kTables[i]).string());
            F_kfq->curTable = targets[i];
            ImportTable(host, positions[static_cast<std::size_t>(i)]);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.counters["enterprises"] = F_kfq->Table1->RecordCount();
        F_kfq->curTable = F_kfq->Table1;
        F_kfq->Close();
        FreshHeldTables(f);
        return seconds;
    };
    // Once untimed, both sides: the first import of a size grows the heap (its page faults are most of the
    // difference at 1,000), and the raw side, run after it, would find that memory ready.
    engineSeconds();
    SqliteSeconds(f);
    double engine = 0, sqlite = 0;
    for (auto _ : state) {
        const double seconds = engineSeconds();
        state.SetIterationTime(seconds);
        engine += seconds;
        sqlite += SqliteSeconds(f);
    }
    benchdata::Report(state, engine, sqlite);
}

// The same merge as one upsert statement per table, in one transaction per table.
double SqliteSeconds(const Folders& f)
{
    const auto start = Clock::now();
    for (const char* t : kTables) {
        sqlite3* db = nullptr;
        sqlite3_open((f.work / t).c_str(), &db);
        Exec(db, "PRAGMA synchronous=FULL");
        Exec(db, "ATTACH '" + (f.submitted / t).string() + "' AS sub");
        // the columns as the table declares them; Id rebuilt from the keys, counting field 1
        std::vector<std::string> cols;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('data')", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        }
        sqlite3_finalize(st);
        const std::string table = t;
        const std::string id = table == "kfq_1.db" ? "QA01" : table == "kfq_2.db" ? "QA01||QE01" : "Qa01||Qh00";
        const std::string counting = table == "kfq_1.db" ? "qa_one" : table == "kfq_2.db" ? "qe_one" : "qh_one";
        std::string names, values, updates;
        for (const std::string& c : cols) {
            const std::string quoted = "\"" + c + "\"";
            std::string v = quoted;
            if (strcasecmp(c.c_str(), "Id") == 0) {
                v = id;
            } else if (strcasecmp(c.c_str(), counting.c_str()) == 0) {
                v = "1";
            } else if (strcasecmp(c.c_str(), "Pxh") == 0) {
                v = "NULL";
            }
            names += (names.empty() ? "" : ",") + quoted;
            values += (values.empty() ? "" : ",") + v;
            updates += (updates.empty() ? "" : ",") + quoted + "=excluded." + quoted;
        }
        Exec(db, "BEGIN");
        Exec(db, "INSERT INTO main.data(" + names + ") SELECT " + values + " FROM sub.data WHERE true " +
                     "ON CONFLICT DO UPDATE SET " + updates);
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_ImportSqlite(benchmark::State& state)
{
    const Folders& f = Prepare(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        FreshHeldTables(f);
        state.ResumeTiming();
        SqliteSeconds(f);
    }
}

BENCHMARK(BM_ImportEngine)->Apply(benchdata::Sizes)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_ImportSqlite)->Apply(benchdata::Sizes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
