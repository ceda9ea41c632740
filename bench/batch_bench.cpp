// The batch path end to end: 1 000 000 generated rows parsed, calculated and
// written as CSV, through the same RunBatch the tool calls.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "batch.h"

namespace {

constexpr int kRows = 1'000'000;

std::FILE* GeneratedInput() {
    std::FILE* in = std::tmpfile();
    std::string chunk =
        "id,gas,class,material,density,viscosity,temperature,diameter,length,flow,inlet\n";
    const char* kinds[] = {"天然气,高中压,钢管,0.7247,14.5,288,", "lpg,low,pe,2.38,3.25,288,",
                           "人工煤气,低压,铸铁管,0.45,25,288,"};
    for (int i = 0; i < kRows; ++i) {
        const bool high = i % 3 == 0;
        chunk += std::to_string(i) + ',' + kinds[i % 3] + std::to_string(80 + i % 50) + ',' +
                 std::to_string(100 + i % 900) + ',' + std::to_string(10 + i % 40) + ',' +
                 (high ? std::to_string(3 + i % 10) : std::to_string(2000 + i % 1000)) + '\n';
        if (chunk.size() > (1 << 20)) {
            std::fwrite(chunk.data(), 1, chunk.size(), in);
            chunk.clear();
        }
    }
    std::fwrite(chunk.data(), 1, chunk.size(), in);
    return in;
}

void BM_BatchMillionRows(benchmark::State& state) {
    std::FILE* in = GeneratedInput();
    std::FILE* devnull = std::fopen("/dev/null", "wb");
    std::FILE* err = std::fopen("/dev/null", "wb");
    for (auto _ : state) {
        std::rewind(in);
        benchmark::DoNotOptimize(gaspipe::cli::RunBatch(in, devnull, err));
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    std::fclose(in);
    std::fclose(devnull);
    std::fclose(err);
}

BENCHMARK(BM_BatchMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
