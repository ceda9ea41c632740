// The table window on a 10 000-segment line: a one-cell edit (setData, the
// undo command, the re-solve below the cell, dataChanged, the repaint and the
// chart of the lowest-pressure path) and scrolling a page of the table.
//   QT_QPA_PLATFORM=offscreen build/bin/table_window_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "case_document.h"
#include "resources.h"
#include "segment_columns.h"
#include "segment_model.h"
#include "segment_table_view.h"
#include "table_window.h"

namespace {

using namespace gaspipe;

constexpr int kSegments = 10'000;

std::string NodeName(int n) {
    std::string name = "N";
    return name += std::to_string(n);
}

// A branched medium-pressure courtyard line, as the network benchmark's:
// each node hangs from one of the 40 before it and draws 2 m³/h.
network::Case TenThousandSegments() {
    network::Case c = table::TableWindow::NewCase();
    c.pressureClass = "高中压";
    c.source = {"N0", 5, 0, {}};
    c.limits.maxVelocity = 12;
    std::mt19937 random(12);
    std::vector<int> parent(kSegments + 1, -1), below(kSegments + 1, 1);
    for (int n = 1; n <= kSegments; ++n)
        parent[n] = std::uniform_int_distribution<int>(std::max(0, n - 40), n - 1)(random);
    for (int n = kSegments; n >= 1; --n) below[parent[n]] += below[n];
    for (int n = 1; n <= kSegments; ++n) {
        c.nodes.push_back({NodeName(n), 0, 2, {}, {}, {}, {}});
        network::Segment s;
        s.id = std::to_string(n);
        s.from = NodeName(parent[n]);
        s.to = NodeName(n);
        s.material = "钢管";
        s.innerDiameter = std::max(25.0, 6 * std::sqrt(2.0 * below[n]));
        s.length = 15;
        c.segments.push_back(std::move(s));
    }
    return c;
}

table::TableWindow& Window() {
    static table::TableWindow* window = [] {
        auto* w = new table::TableWindow(
            {QStringLiteral("/nonexistent/PipeParameters.Ini"), QStringLiteral("/dev/null")});
        w->resize(1400, 900);
        w->show();
        w->setCase(TenThousandSegments());
        QApplication::processEvents();
        return w;
    }();
    return *window;
}

// state.range(0): the row edited; row 0 feeds the whole line.
void BM_EditOneCell(benchmark::State& state) {
    table::TableWindow& w = Window();
    table::SegmentModel* model = w.segmentModel();
    const QModelIndex cell = model->index(int(state.range(0)), table::kLength);
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        model->setData(cell, longer ? QStringLiteral("16") : QStringLiteral("15"));
        QApplication::processEvents();  // the view's repaint and the chart
    }
    if (!w.document()->network().AllCalculated()) state.SkipWithError("not every row calculated");
}
BENCHMARK(BM_EditOneCell)->Arg(0)->Arg(kSegments / 2)->Unit(benchmark::kMillisecond);

void BM_ScrollPage(benchmark::State& state) {
    table::SegmentTableView* view = Window().tableView();
    QScrollBar* bar = view->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        view->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // 0: keep a caller's value
    QApplication app(argc, argv);
    InitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
