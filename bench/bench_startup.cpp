// Start-up to a shown main window: loading its description, connecting the database component and showing
// it offscreen, in a data folder made from data/. Measured, not asserted.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "app/Main.h"
#include "platform/db/DataText.h"
#include "platform/ui/Application.h"

namespace {

std::filesystem::path DataFolder()
{
    static const std::filesystem::path folder = [] {
        char pattern[] = "/tmp/vemora-bench-XXXXXX";
        const std::filesystem::path base = mkdtemp(pattern);
        const std::filesystem::path f = base / "data";
        const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path().parent_path();
        db::datatext::BuildDataFolder((source / "data").string(), f.string());
        return f;
    }();
    return folder;
}

void BM_StartToShownMainWindow(benchmark::State& state)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    std::filesystem::current_path(DataFolder());
    for (auto _ : state) {
        Application->CreateForm(&F_main);
        F_main->Show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(F_main->Visible());
        state.PauseTiming();
        Application->DestroyForms();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToShownMainWindow)->Unit(benchmark::kMillisecond);

void BM_LoadMainDescriptionOnly(benchmark::State& state)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    Application->Initialize();
    std::filesystem::current_path(DataFolder());
    for (auto _ : state) {
        Application->CreateForm(&F_main);
        state.PauseTiming();
        Application->DestroyForms();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadMainDescriptionOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
