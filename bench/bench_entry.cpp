// The enterprise window on 1,000, 10,000 and 30,000 sample enterprises beside raw SQLite doing the same work in
// the same run: the activation (rule rows into constraints and masks, the three tables opened, the master on its
// first record) and one store of an edited enterprise with its flush. Each benchmark reports its own time and
// the counter "ratio" (window time / raw SQLite time).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include "SampleFolders.h"
#include "app/Main.h"
#include "entry/Kfq.h"
#include "platform/db/Connection.h"
#include "platform/db/DataText.h"
#include "platform/ui/FormFactory.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// The window, working in a data folder of the given number of sample enterprises (made the current folder).
TF_kfq& window(int enterprises)
{
    fs::current_path(benchdata::SampleFolder("entry", enterprises, 1));
    static TF_kfq* k = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
        Application->CreateForm(&F_main);
        return dynamic_cast<TF_kfq*>(TFormFactory::Obtain("TF_kfq"));
    }();
    return *k;
}

// What the activation reads, done on plain connections: every rule row, the row count of each table and the
// master's first record in Id order with the details of its key.
double rawActivation()
{
    const auto t0 = Clock::now();
    std::string key;
    for (const char* rules : {"kfq1_chk.db", "kfq2_chk.db", "kfq5_chk.db"}) {
        db::Connection c(rules, db::Connection::Mode::ReadWrite);
        db::Statement st(c.get(), "SELECT status, field_value, field_text, field_mask, field_name FROM data");
        while (st.step()) {
            benchmark::DoNotOptimize(st.column(1));
        }
    }
    {
        db::Connection c("kfq_1.db", db::Connection::Mode::ReadWrite);
        db::Statement n(c.get(), "SELECT count(*) FROM data");
        n.step();
        db::Statement first(c.get(), "SELECT * FROM data ORDER BY Id LIMIT 1");
        if (first.step()) {
            key = std::get<std::string>(first.column(1));
        }
    }
    for (const char* detail : {"kfq_2.db", "kfq_5.db"}) {
        db::Connection c(detail, db::Connection::Mode::ReadWrite);
        db::Statement st(c.get(), "SELECT * FROM data WHERE qa01 = ?1");
        st.bind(1, db::Variant(key));
        while (st.step()) {
            benchmark::DoNotOptimize(st.column(0));
        }
    }
    return seconds(Clock::now() - t0);
}

void Activation(benchmark::State& state)
{
    TF_kfq& k = window(static_cast<int>(state.range(0)));
    double ours = 0, raw = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        k.FormActivate(&k);
        const auto t1 = Clock::now();
        state.SetIterationTime(seconds(t1 - t0));
        ours += seconds(t1 - t0);
        TCloseAction action = TCloseAction::caHide;
        k.FormClose(&k, action);
        raw += rawActivation();
    }
    benchdata::Report(state, ours, raw);
}
BENCHMARK(Activation)->Apply(benchdata::Sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void StoreWithFlush(benchmark::State& state)
{
    TF_kfq& k = window(static_cast<int>(state.range(0)));
    k.FormActivate(&k);
    SendNameCleared = true;  // the send list is cleared once per showing, not per store
    db::Connection raw("kfq_1.db", db::Connection::Mode::ReadWrite);
    db::SetUpConnection(raw.get());
    db::Statement update(raw.get(), "UPDATE data SET QA05 = ?1, Qa_one = 1, Id = QA01 WHERE rowid = "
                                    "(SELECT rowid FROM data ORDER BY Id LIMIT 1 OFFSET 1)");
    double ours = 0, rawTime = 0;
    int n = 0;
    for (auto _ : state) {
        const std::string address = "北京市海淀区" + std::to_string(n++);
        const auto t0 = Clock::now();
        k.Table1->Edit();
        k.Table1->FieldByName("QA05")->SetAsString(address);
        k.PostTable(k.Table1);
        const auto t1 = Clock::now();
        state.SetIterationTime(seconds(t1 - t0));
        ours += seconds(t1 - t0);
        const auto r0 = Clock::now();
        update.bind(1, db::Variant(address));
        update.step();
        update.reset();
        rawTime += seconds(Clock::now() - r0);
    }
    TCloseAction action = TCloseAction::caHide;
    k.FormClose(&k, action);
    benchdata::Report(state, ours, rawTime);
}
BENCHMARK(StoreWithFlush)->Apply(benchdata::Sizes)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
