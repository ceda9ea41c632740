// The calculation table of a 10 000-segment line: a whole solve (topology,
// flows from the loads, every segment by each method) and the re-solve after
// a one-segment edit halfway down the solving order.
#include <benchmark/benchmark.h>

#include "generated_line.h"
#include "network.h"

namespace {

using namespace gaspipe::network;

constexpr int kSegments = 10'000;

Case TenThousandSegments(Method method) {
    Case c;
    c.gas = {"天然气", 0.7247, 14.5, 288, {}};
    c.method.method = method;
    gaspipe::bench::AddGeneratedLine(c, kSegments);
    return c;
}

void BM_SolveWholeLine(benchmark::State& state, Method method) {
    const Case c = TenThousandSegments(method);
    const PipeCatalog catalog;
    Network net(catalog);
    for (auto _ : state) {
        net.Load(c);
        benchmark::DoNotOptimize(net.results().data());
    }
    if (!net.AllCalculated()) state.SkipWithError("some segment was not calculated");
    state.counters["segments"] = kSegments;
}

void BM_ResolveAfterEdit(benchmark::State& state) {
    Case c = TenThousandSegments(Method::Gb50028);
    const PipeCatalog catalog;
    Network net(catalog);
    net.Load(c);
    const std::size_t edited = net.topology().order[kSegments / 2];
    std::size_t resolved = 0;
    for (auto _ : state) {
        c.segments[edited].length += 1;
        resolved = net.SegmentChanged(c, edited).size();
    }
    state.counters["resolved"] = static_cast<double>(resolved);
}

BENCHMARK_CAPTURE(BM_SolveWholeLine, appendix, Method::Appendix)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SolveWholeLine, gb50028, Method::Gb50028)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolveAfterEdit)->Unit(benchmark::kMicrosecond);

}  // namespace
