// The calculation sheet of a 2 000-segment line (the network benchmark's
// generated line, with limits) as PDF, ODT and HTML: laying out and
// drawing the pages, the document built once.
//   QT_QPA_PLATFORM=offscreen build/bin/sheet_bench
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

#include "generated_line.h"
#include "html.h"
#include "network.h"
#include "sheet_render.h"
#include "table_sheet.h"

namespace {

using namespace gaspipe;

constexpr int kSegments = 2'000;

const sheet::Document& Sheet() {
    static const sheet::Document doc = [] {
        network::Case c;
        c.project.name = "大型管网";
        c.project.number = "BENCH-1";
        c.gas = {"天然气", 0.7247, 14.5, 288, {}};
        bench::AddGeneratedLine(c, kSegments);
        c.limits.maxVelocity = 12;
        c.limits.maxDrop = 1;
        const network::PipeCatalog catalog;
        network::Network net(catalog);
        net.Load(c);
        sheet::TableSheet options;
        options.project = sheet::CaseProject(c);
        options.produced = {"gaspipe", "2.0.0", "2024-05-06 10:30"};
        return sheet::BuildTableSheet(c, net, options);
    }();
    return doc;
}

void BM_SheetPdf(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(sheet::RenderPdf(Sheet()).size());
    state.counters["segments"] = kSegments;
}
BENCHMARK(BM_SheetPdf)->Unit(benchmark::kSecond)->Iterations(3);

void BM_SheetOdt(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(sheet::RenderOdt(Sheet()).size());
}
BENCHMARK(BM_SheetOdt)->Unit(benchmark::kSecond)->Iterations(3);

void BM_SheetHtml(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet::RenderHtml(Sheet(), sheet::ProfileFigureSvg).size());
}
BENCHMARK(BM_SheetHtml)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // 0: keep a caller's value
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
