// The sketch of a line: its tree and its layout on pages, for a branched
// line of 200 segments and for lines of 10 000 and 100 000, branched and as
// one chain (one band per few segments): the time per segment stays flat.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "sketch_layout.h"
#include "sketch_tree.h"
#include "topology.h"

namespace {

using namespace gaspipe;

std::string NodeName(int n) {
    std::string name = "N";
    return name += std::to_string(n);
}

// reach 1: a chain; otherwise each node hangs from one of the reach before it.
network::Case Line(int segments, int reach) {
    network::Case c;
    c.source.node = "N0";
    std::mt19937 random(12);
    for (int n = 1; n <= segments; ++n) {
        network::Segment s;
        s.id = std::to_string(n);
        s.from =
            NodeName(std::uniform_int_distribution<int>(std::max(0, n - reach), n - 1)(random));
        s.to = NodeName(n);
        s.material = "钢管";
        s.nominal = "50";
        s.length = 15;
        c.segments.push_back(std::move(s));
        c.nodes.push_back({NodeName(n), 0, 2, {}, {}, {}, {}});
    }
    return c;
}

void BM_Sketch(benchmark::State& state) {
    const network::Case c = Line(int(state.range(0)), int(state.range(1)));
    const auto topology = network::BuildTopology(c);
    sketch::Metrics m;
    m.pageHeight = 560;
    std::size_t pages = 0;
    for (auto _ : state) {
        const sketch::Tree tree = sketch::BuildTree(c, topology.topology);
        pages = sketch::LayOut(tree, m).pages.size();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = double(pages);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Sketch)
    ->Args({200, 8})
    ->Args({10'000, 40})
    ->Args({100'000, 40})
    ->Args({10'000, 1})
    ->Args({100'000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
