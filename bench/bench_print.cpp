// Saving and printing query results. SaveAsTable of a 100,000-row answer (a TQuery on a table file) into a new
// table file, beside raw SQLite copying the same rows with INSERT ... SELECT into a table of the same layout in
// the same run (counter "raw_s", and "ratio" = SaveAsTable time / raw time). The page printer laying out a
// 10,000-row result and writing every page to a PDF file (counter "pages_per_s").
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/Main.h"
#include "platform/db/Connection.h"
#include "platform/db/DataText.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/db/TableFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/FormFactory.h"
#include "platform/ui/ScriptedUser.h"
#include "print/SaveAsTable.h"
#include "query/QueryPrint.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const int kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}();

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A data folder from data/ with a result table "src.db" of rows records (code, name, two numbers, a date),
// made the current folder.
void enterFolder(int rows)
{
    static fs::path dir;
    if (!dir.empty()) {
        fs::current_path("/");
        fs::remove_all(dir);
    }
    dir = fs::temp_directory_path() / ("vemora_bench_print_" + std::to_string(getpid()));
    db::datatext::BuildDataFolder(std::string(VEMORA_SOURCE_DIR) + "/data", dir.string());
    fs::current_path(dir);
    db::TableSchema schema;
    schema.fields = {{"代码", db::FieldType::String, 6, false},
                     {"企业名称", db::FieldType::String, 60, false},
                     {"产值", db::FieldType::Float, 0, false},
                     {"人数", db::FieldType::Smallint, 0, false},
                     {"成立日期", db::FieldType::Date, 0, false}};
    db::Rows data;
    for (int i = 0; i < rows; ++i) {
        data.push_back({std::to_string(100000 + i), "某某高新技术有限公司第" + std::to_string(i) + "号",
                        1234.5 + i, static_cast<std::int64_t>(i % 3000), db::Date{2000 + i % 9, 1 + i % 12, 1 + i % 28}});
    }
    db::CreateTableFile("src.db", schema, data);
}

void BM_SaveAsTable(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    enterFolder(rows);
    double raw = 0, saved = 0;
    for (auto _ : state) {
        TQuery answer;
        answer.SQL.Add("select * from \"src.db\"");
        answer.Open();
        const auto t0 = Clock::now();
        SaveAsTable(&answer, nullptr, "out.db");
        const auto t1 = Clock::now();
        saved += seconds(t1 - t0);

        state.PauseTiming();
        fs::remove("raw.db");
        db::TableSchema schema;
        for (const TField* f : {answer.Fields()[0], answer.Fields()[1], answer.Fields()[2], answer.Fields()[3],
                                answer.Fields()[4]}) {
            schema.fields.push_back(f->Desc());
        }
        db::CreateTableFile("raw.db", schema);
        state.ResumeTiming();
        const auto r0 = Clock::now();
        {
            db::Connection c("raw.db", db::Connection::Mode::ReadWrite);
            c.exec("PRAGMA synchronous=FULL; ATTACH 'src.db' AS s; BEGIN; INSERT INTO data SELECT * FROM s.data; COMMIT;");
        }
        raw += seconds(Clock::now() - r0);
    }
    state.counters["raw_s"] = raw / static_cast<double>(state.iterations());
    state.counters["save_s"] = saved / static_cast<double>(state.iterations());
    state.counters["ratio"] = raw > 0 ? saved / raw : 0;
}
BENCHMARK(BM_SaveAsTable)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_PagePrinterToPdf(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    enterFolder(rows);
    Application->Initialize();
    TScriptedUser user;  // no question is expected: a failure would show in the output
    user.OnFailure = [](const std::string& what) { std::fprintf(stderr, "bench_print: %s\n", what.c_str()); };
    TTable src;
    src.SetTableName("src.db");
    SaveAsTable(&src, nullptr, "query_p.db");
    TFormFactory::Obtain("TF_query_p");
    TF_query_p* printer = F_query_p;
    printer->Show();
    const std::string pdf = (fs::current_path() / "result.pdf").string();
    Printer()->OutputFile = pdf;
    double pages = 0;
    for (auto _ : state) {
        printer->Button1Click(printer);  // lay out anew
        printer->Edit1->SetText("1");
        printer->Edit2->SetText(std::to_string(printer->Pages().size()));
        printer->Button5Click(printer);
        pages += static_cast<double>(printer->Pages().size());
    }
    state.counters["pages"] = static_cast<double>(printer->Pages().size());
    state.counters["pages_per_s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.counters["pdf_kb"] = static_cast<double>(fs::file_size(pdf)) / 1024;
    Printer()->OutputFile.clear();
    printer->Close();
    Application->DestroyForms();
}
BENCHMARK(BM_PagePrinterToPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
