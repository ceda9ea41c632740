// The calculation table of a 10 000-segment line: a whole solve (topology,
// flows from the loads, every segment by each method) and the re-solve after
// a one-segment edit halfway down the solving order.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>

#include "network.h"

namespace {

using namespace gaspipe::network;

constexpr int kSegments = 10'000;

std::string NodeName(int n) {
    std::string name = "N";
    return name += std::to_string(n);
}

// A branched medium-pressure line: each new node hangs from one of the
// nodes before it (a shallow tree, as courtyard networks are), every node
// draws 2 m³/h, and each pipe's bore keeps the velocity moderate.
Case TenThousandSegments(Method method) {
    Case c;
    c.gas = {"天然气", 0.7247, 14.5, 288, {}};
    c.pressureClass = "高中压";
    c.method.method = method;
    c.source = {"N0", 5, 0, {}};
    std::mt19937 random(12);
    std::vector<int> parent(kSegments + 1, -1), below(kSegments + 1, 1);
    for (int n = 1; n <= kSegments; ++n)
        parent[n] = std::uniform_int_distribution<int>(std::max(0, n - 40), n - 1)(random);
    for (int n = kSegments; n >= 1; --n) below[parent[n]] += below[n];
    for (int n = 1; n <= kSegments; ++n) {
        const std::string node = NodeName(n);
        c.nodes.push_back({node, 0, 2, {}, {}, {}, {}});
        Segment s;
        s.id = std::to_string(n);
        s.from = NodeName(parent[n]);
        s.to = node;
        s.material = "钢管";
        s.innerDiameter = std::max(25.0, 6 * std::sqrt(2.0 * below[n]));
        s.length = 15;
        c.segments.push_back(std::move(s));
    }
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
