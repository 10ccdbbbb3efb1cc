// The table engine beside raw SQLite doing the same work in the same run, on tables of 1,000, 10,000 and 30,000
// rows (and 100,000 for the walk): opening and walking a table, single-row stores each flushed, and a batch move
// of the table. Each benchmark reports its own time and the counter "ratio" (engine time / raw SQLite time).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "BenchCounters.h"
#include "platform/db/Connection.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const fs::path& benchDir()
{
    static fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("vemora_bench_db_" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

db::TableSchema schema()
{
    db::TableSchema s;
    s.fields = {{"Id", db::FieldType::String, 9, false},
                {"QA04", db::FieldType::String, 40, false},
                {"QC02", db::FieldType::Float, 0, false},
                {"qa_one", db::FieldType::Smallint, 0, false}};
    s.indexes = {{"", {"Id"}, true, true, false}};
    return s;
}

std::string id(int i)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%09d", i);
    return buf;
}

// A table of n rows, made once per size by a child process, so that its rows in memory do not count in the
// benchmark's peak.
const std::string& bigTable(int n)
{
    static std::map<int, std::string> made;
    auto it = made.find(n);
    if (it != made.end())
        return it->second;
    std::string p = (benchDir() / ("big" + std::to_string(n) + ".db")).string();
    const pid_t child = fork();
    if (child == 0) {
        int status = 0;
        try {
            db::Rows rows;
            rows.reserve(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i)
                rows.push_back({id(i), std::string("某某科技有限公司") + std::to_string(i), i * 0.5, std::int64_t{1}});
            db::CreateTableFile(p, schema(), rows);
        } catch (...) {
            status = 1;
        }
        _exit(status);
    }
    int status = -1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("cannot make the table " + p);
    return made.emplace(n, p).first->second;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void OpenAndWalk(benchmark::State& state)
{
    const std::string& path = bigTable(static_cast<int>(state.range(0)));
    {
        // Once untimed: the process's first walk builds the collation's tables and grows the heap.
        TTable warm;
        warm.SetTableName(path);
        warm.Open();
        for (warm.First(); !warm.Eof(); warm.Next())
            benchmark::DoNotOptimize(warm.Fields()[2]->AsFloat());
    }
    double ours = 0, raw = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        TTable t;
        t.SetTableName(path);
        t.Open();
        double sum = 0;
        for (t.First(); !t.Eof(); t.Next())
            sum += t.Fields()[2]->AsFloat();
        benchmark::DoNotOptimize(sum);
        t.Close();
        auto t1 = Clock::now();
        {
            db::Connection c(path, db::Connection::Mode::ReadWrite);
            db::Statement s(c.get(), "SELECT Id, QA04, QC02, qa_one FROM data ORDER BY Id");
            double rsum = 0;
            while (s.step())
                rsum += sqlite3_column_double(s.get(), 2);
            benchmark::DoNotOptimize(rsum);
        }
        auto t2 = Clock::now();
        ours += seconds(t1 - t0);
        raw += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    benchdata::Report(state, ours, raw);
}
BENCHMARK(OpenAndWalk)->Apply(benchdata::Sizes)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// 200 stores of new rows into a table of n rows, each flushed (one commit each: the disk's sync dominates).
void SingleStoresWithFlush(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const int stores = 200;
    std::string ourPath = (benchDir() / "stores.db").string();
    std::string rawPath = (benchDir() / "stores_raw.db").string();
    double ours = 0, raw = 0;
    for (auto _ : state) {
        fs::copy_file(bigTable(n), ourPath, fs::copy_options::overwrite_existing);
        fs::copy_file(bigTable(n), rawPath, fs::copy_options::overwrite_existing);
        auto t0 = Clock::now();
        {
            TTable t;
            t.SetTableName(ourPath);
            t.Open();
            for (int i = n; i < n + stores; ++i) {
                t.Append();
                t.Fields()[0]->SetAsString(id(i));
                t.Fields()[1]->SetAsString("企业");
                t.Fields()[2]->SetAsFloat(i);
                t.Post();
                t.FlushBuffers();
            }
        }
        auto t1 = Clock::now();
        {
            db::Connection c(rawPath, db::Connection::Mode::ReadWrite);
            db::Statement s(c.get(), "INSERT INTO data(Id, QA04, QC02) VALUES(?1, ?2, ?3)");
            for (int i = n; i < n + stores; ++i) {
                s.bind(1, id(i));
                s.bind(2, std::string("企业"));
                s.bind(3, static_cast<double>(i));
                s.step();
                s.reset();
            }
        }
        auto t2 = Clock::now();
        ours += seconds(t1 - t0);
        raw += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    benchdata::Report(state, ours, raw);
}
BENCHMARK(SingleStoresWithFlush)->Apply(benchdata::Sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BatchMove(benchmark::State& state)
{
    const std::string& source = bigTable(static_cast<int>(state.range(0)));
    std::string ourPath = (benchDir() / "moved.db").string();
    std::string rawPath = (benchDir() / "moved_raw.db").string();
    double ours = 0, raw = 0;
    for (auto _ : state) {
        db::CreateTableFile(ourPath, schema());
        db::CreateTableFile(rawPath, schema());
        auto t0 = Clock::now();
        {
            TTable src, dst;
            src.SetTableName(source);
            dst.SetTableName(ourPath);
            dst.BatchMove(&src, TBatchMode::batAppend);
        }
        auto t1 = Clock::now();
        {
            db::Connection in(source, db::Connection::Mode::ReadWrite);
            db::Connection out(rawPath, db::Connection::Mode::ReadWrite);
            db::Statement sel(in.get(), "SELECT Id, QA04, QC02, qa_one FROM data ORDER BY Id");
            db::Statement ins(out.get(), "INSERT INTO data VALUES(?1, ?2, ?3, ?4)");
            out.exec("BEGIN");
            int k = 0;
            while (sel.step()) {
                for (int c = 0; c < 4; ++c)
                    ins.bind(c + 1, sel.column(c));
                ins.step();
                ins.reset();
                if (++k % 1000 == 0)
                    out.exec("COMMIT; BEGIN");
            }
            out.exec("COMMIT");
        }
        auto t2 = Clock::now();
        ours += seconds(t1 - t0);
        raw += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    benchdata::Report(state, ours, raw);
}
BENCHMARK(BatchMove)->Apply(benchdata::Sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(benchDir(), ec);
    return 0;
}
