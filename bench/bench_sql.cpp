// A group-by sum over 100,000 rows through TQuery (translation, attach, materialised typed answer) beside
// raw SQLite running the same statement on the same file, in the same run; prints the ratio at the end.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <random>

#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "platform/db/TableFile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRows = 100000;

const fs::path& folder()
{
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("bench_sql_" + std::to_string(std::random_device{}()));
        fs::create_directories(d);
        db::TableSchema s;
        s.fields = {{"qa01", db::FieldType::String, 6, false},
                    {"qb03", db::FieldType::String, 4, false},
                    {"qc05", db::FieldType::Float, 0, false}};
        db::Rows rows;
        std::mt19937 rng(7);
        for (int i = 0; i < kRows; ++i) {
            rows.push_back({std::to_string(100000 + i), std::to_string(10 + static_cast<int>(rng() % 60)),
                            static_cast<double>(rng() % 100000) / 10.0});
        }
        db::CreateTableFile((d / "kfq_1.db").string(), s, rows);
        return d;
    }();
    return dir;
}

void TQueryGroupBySum(benchmark::State& state)
{
    TQuery q;
    q.DatabaseName = folder().string();
    q.SQL.Add("select qb03 行业代码,sum(qc05) 总收入合计 from \"kfq_1.db\" group by qb03 order by qb03");
    for (auto _ : state) {
        q.Open();
        benchmark::DoNotOptimize(q.RecordCount());
        q.Close();
    }
}
BENCHMARK(TQueryGroupBySum)->Unit(benchmark::kMillisecond);

void RawSqliteGroupBySum(benchmark::State& state)
{
    sqlite3* c = nullptr;
    sqlite3_open_v2((folder() / "kfq_1.db").c_str(), &c, SQLITE_OPEN_READONLY, nullptr);
    db::RegisterGbkCollation(c);
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(c, "SELECT qb03, sum(qc05) FROM data GROUP BY qb03 ORDER BY qb03 COLLATE GBK", -1, &s,
                           nullptr);
        int n = 0;
        while (sqlite3_step(s) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(s, 0));
            benchmark::DoNotOptimize(sqlite3_column_double(s, 1));
            ++n;
        }
        sqlite3_finalize(s);
        benchmark::DoNotOptimize(n);
    }
    sqlite3_close(c);
}
BENCHMARK(RawSqliteGroupBySum)->Unit(benchmark::kMillisecond);

// Keeps the real time per iteration of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& r : runs)
            times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto q = reporter.times.find("TQueryGroupBySum");
    const auto r = reporter.times.find("RawSqliteGroupBySum");
    if (q != reporter.times.end() && r != reporter.times.end() && r->second > 0)
        std::cout << "TQuery / raw SQLite: " << q->second / r->second << "\n";
    std::error_code ec;
    fs::remove_all(folder(), ec);
    benchmark::Shutdown();
    return 0;
}
