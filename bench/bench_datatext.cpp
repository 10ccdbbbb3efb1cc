// Reading the text form of a table with many fields and a rows line naming them all: the field names are
// looked up once each, so the time grows with the number of fields, not with its square.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/db/DataText.h"

namespace {

std::string WideDescription(int fields)
{
    std::string text = "table wide.db\n";
    std::string columns, row;
    for (int i = 0; i < fields; ++i) {
        const std::string name = "F" + std::to_string(i);
        text += "field " + name + " I\n";
        columns += (i ? "|" : "") + name;
        row += (i ? "|" : "") + std::to_string(i);
    }
    return text + "rows " + columns + "\n" + row + "\nend\n";
}

void BM_ParseWideDescription(benchmark::State& state)
{
    const std::string text = WideDescription(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(db::datatext::Parse(text, "wide.db.txt"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseWideDescription)->RangeMultiplier(4)->Range(1000, 16000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
