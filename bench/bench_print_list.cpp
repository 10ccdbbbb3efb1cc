// Report printing of report 1 on 10,000 sample enterprises (vemora-sample): each entry of its print list built
// and printed to a PDF file, and all of them in one print, as the print list's "打印" does. Counters: the
// pages printed and pages per second (over build and print). The check table is filled by one check run
// before the timing starts.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/Main.h"
#include "check/Check.h"
#include "platform/db/DataText.h"
#include "platform/report/PagePainter.h"
#include "platform/report/PrintOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScriptedUser.h"
#include "print/Report.h"

namespace fs = std::filesystem;

namespace {

const int kOffscreen = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}();

const char* const kEntries[] = {"kfqhz", "dqy", "shqy", "gyqy", "fwqy", "kfq_r.db"};

// A data folder from data/ filled by vemora-sample, made once and made the current folder; the program's
// main window and print list open on report 1, and report 1 checked once.
void ready()
{
    static const bool done = [] {
        const fs::path self = fs::read_symlink("/proc/self/exe");
        const fs::path build = self.parent_path().parent_path();
        fs::path source = build;
        while (!source.empty() && !fs::exists(source / "data" / "tables")) {
            source = source.parent_path();
        }
        const fs::path d = fs::temp_directory_path() / ("vemora_bench_print_list_" + std::to_string(getpid()));
        db::datatext::BuildDataFolder((source / "data").string(), d.string());
        const std::string cmd = (build / "tools" / "vemora-sample").string() + " " + d.string() +
                                " --enterprises 10000 --seed 7 > /dev/null";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "bench_print_list: %s failed (build vemora-sample first)\n", cmd.c_str());
            std::exit(1);
        }
        fs::current_path(d);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::current_path(), ec);
        });
        Application->Initialize();
        Application->CreateForm(&F_main);
        ReportKind = 1;
        Application->CreateForm(&F_check);
        F_check->FormActivate(nullptr);
        F_check->RunCheck();
        Application->CreateForm(&F_report);
        F_report->FormActivate(nullptr);
        return true;
    }();
    (void)done;
}

// Prints the entries (all when entry is empty) to one PDF file per printed document.
void PrintEntries(benchmark::State& state, const std::string& entry)
{
    ready();
    TScriptedUser user;  // any message (a failed print) ends the benchmark instead of waiting for a click
    user.OnFailure = [](const std::string& what) {
        std::fprintf(stderr, "bench_print_list: %s\n", what.c_str());
        std::exit(1);
    };
    for (int i = 0; i < F_report->CheckListBox1->Count(); ++i) {
        const std::string item = F_report->ListBox1->Item(i);
        bool tick = entry.empty() ? false : item == entry;
        for (const char* e : kEntries) {
            tick = tick || (entry.empty() && item == e);
        }
        F_report->CheckListBox1->SetChecked(i, tick);
    }
    std::size_t pages = 0, documents = 0;
    report::setPrintSink([&](const report::Document& d) {
        pages += d.pages.size();
        if (!report::writePdf(d, QString::fromStdString("out" + std::to_string(documents++) + ".pdf"))) {
            std::fprintf(stderr, "bench_print_list: cannot write the PDF file\n");
            std::exit(1);
        }
    });
    for (auto _ : state) {
        F_report->PrintSelectedReports(PrintTarget::Printer);
    }
    report::setPrintSink({});
    const double runs = static_cast<double>(state.iterations());
    state.counters["pages"] = static_cast<double>(pages) / runs;
    state.counters["pages_per_s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv)
{
    for (const char* e : kEntries) {
        benchmark::RegisterBenchmark((std::string("Report1/") + e).c_str(),
                                     [e](benchmark::State& s) { PrintEntries(s, e); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
    benchmark::RegisterBenchmark("Report1/all", [](benchmark::State& s) { PrintEntries(s, ""); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
