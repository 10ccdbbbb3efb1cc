// A statistic of the query window on 10,000 sample enterprises with their products joined (grouped by the
// products' technical field, five figures summed), beside raw SQLite running the same translated statement in the
// same run. The window's time runs from the press of "进行统计" to the answer in the grid (statement built,
// translated, files attached, answer materialised, the warning on repeated sums answered); the counter "raw_s" is
// raw SQLite per run and "ratio" window time / raw time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "Generator.h"
#include "app/Main.h"
#include "platform/db/Connection.h"
#include "platform/db/DataText.h"
#include "platform/db/SqlTranslate.h"
#include "platform/ui/ScriptedUser.h"
#include "query/QueryWindow.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Removes the data folder when the run ends.
struct Folder {
    fs::path path;
    ~Folder()
    {
        std::error_code ec;
        fs::current_path(fs::temp_directory_path(), ec);
        fs::remove_all(path, ec);
    }
};

// The query window of report 1 in a data folder with 10,000 sample enterprises, the current folder of the run.
TF_query& window()
{
    static TF_query* w = [] {
        static Folder folder{fs::temp_directory_path() / ("vemora_bench_query_" + std::to_string(getpid()))};
        const fs::path& dir = folder.path;
        db::datatext::BuildDataFolder(std::string(VEMORA_SOURCE_DIR) + "/data", dir.string());
        sample::Options options;
        options.enterprises = 10000;
        sample::Generator(dir.string(), options).run();
        fs::current_path(dir);
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        Application->CreateForm(&F_main);
        F_main->Show();
        TScriptedUser::Choose(*F_main->RadioGroup1, 0);
        TScriptedUser::Press(*F_main->Button5);
        return F_query;
    }();
    return *w;
}

void Tick(TCheckListBox* list, const char* text) { list->DblClickItem(list->IndexOf(text)); }

// The translated statement on one raw connection: the files attached, every answer value read.
long RunRaw(const sql::Translation& t)
{
    sqlite3* c = nullptr;
    sqlite3_open(":memory:", &c);
    db::RegisterGbkCollation(c);
    for (const auto& f : t.files) {
        sqlite3_exec(c, ("ATTACH '" + f.name + "' AS " + f.schema).c_str(), nullptr, nullptr, nullptr);
    }
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(c, t.sql.c_str(), -1, &st, nullptr);
    long rows = 0;
    const int n = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int i = 0; i < n; ++i) {
            benchmark::DoNotOptimize(sqlite3_column_type(st, i) == SQLITE_TEXT ? sqlite3_column_bytes(st, i)
                                                                              : sqlite3_column_double(st, i));
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(c);
    return rows;
}

void StatisticWithProducts(benchmark::State& state)
{
    TF_query& w = window();
    TScriptedUser user;
    user.OnFailure = [](const std::string& what) {
        std::fprintf(stderr, "bench_query: %s\n", what.c_str());
        std::exit(1);
    };
    Tick(w.CheckListBox3, "技术领域");
    for (const char* sum : {"工业总产值", "总收入", "全年产品产值", "全年产品销售收入", "创汇"}) {
        Tick(w.CheckListBox2, sum);
    }
    double ours = 0, raw = 0;
    long rows = 0, rawRows = 0;
    for (auto _ : state) {
        user.ExpectMessageContaining("提示", "重复累加");
        const auto t0 = Clock::now();
        TScriptedUser::Press(*w.Button13);
        const auto t1 = Clock::now();
        rows = w.Query1->RecordCount();
        rawRows = RunRaw(sql::translateStatement(w.Query1->SQL.Text()));
        const auto t2 = Clock::now();
        TScriptedUser::Choose(*w.PageControl1, 0);
        ours += seconds(t1 - t0);
        raw += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    if (rows != rawRows) {
        std::fprintf(stderr, "bench_query: the window answered %ld rows, raw SQLite %ld\n", rows, rawRows);
        std::exit(1);
    }
    state.counters["groups"] = static_cast<double>(rows);
    for (const char* table : {"kfq_1.db", "kfq_2.db"}) {
        TTable t;
        t.SetTableName(table);
        t.Open();
        state.counters[table] = t.RecordCount();
    }
    state.counters["raw_s"] = raw / static_cast<double>(state.iterations());
    state.counters["ratio"] = raw > 0 ? ours / raw : 0;
}
BENCHMARK(StatisticWithProducts)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
