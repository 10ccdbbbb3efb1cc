// Report engine speed: laying out a 10,000-row list into pages, and writing those pages as a PDF.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/report/PagePainter.h"
#include "platform/report/ReportLayout.h"
#include "platform/report/ReportFixture.h"  // tests/: the in-memory table and band helpers

namespace {

// The list layout of the summary lists: page header with the title, column headings on the first page,
// one framed detail row per record with six columns, page number in the footer.
struct BigList : ReportFixture {
    BigList(int rows)
    {
        rep->Options = FirstPageHeader | LastPageFooter;
        auto* header = band(TQRBandType::rbPageHeader, 40);
        label(header, "大企业清单")->AutoSize = true;
        auto* title = band(TQRBandType::rbTitle, 32);
        put<TQRShape>(title, 8, 0, 687, 32);
        auto* detail = band(TQRBandType::rbDetail, 32);
        put<TQRShape>(detail, 8, 0, 687, 32);
        for (int x : {88, 353, 449, 528, 608}) {
            put<TQRShape>(detail, x, 0, 1, 32)->Shape = TQRShapeType::qrsVertLine;
        }
        field(detail, "NO", 16, 8, 65);
        field(detail, "MSG", 96, 8, 249);
        for (int x : {358, 456, 536, 616}) {
            auto* n = field(detail, "N", x, 8, 65);
            n->Alignment = TQRAlignment::taRightJustify;
        }
        auto* footer = band(TQRBandType::rbPageFooter, 40);
        put<TQRSysData>(footer, 336, 8, 40, 17)->AutoSize = true;
        this->rows(rows);
    }
};

void BM_LayoutList(benchmark::State& state)
{
    BigList list(static_cast<int>(state.range(0)));
    std::size_t pages = 0;
    for (auto _ : state) {
        const report::Document doc = report::layoutReport(*list.rep);
        pages += doc.pages.size();
        benchmark::DoNotOptimize(doc.pages.data());
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LayoutList)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_LayoutAndPdfList(benchmark::State& state)
{
    BigList list(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    std::size_t pages = 0;
    for (auto _ : state) {
        const report::Document doc = report::layoutReport(*list.rep);
        if (!report::writePdf(doc, dir.filePath("list.pdf"))) {
            state.SkipWithError("PDF not written");
            break;
        }
        pages += doc.pages.size();
    }
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LayoutAndPdfList)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
