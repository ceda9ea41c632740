// The table window on a 10 000-segment line: a one-cell edit (setData, the
// undo command, the re-solve below the cell, dataChanged, the repaint and the
// chart of the lowest-pressure path) and scrolling a page of the table.
//   QT_QPA_PLATFORM=offscreen build/bin/table_window_bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include <cstdlib>

#include "case_document.h"
#include "generated_line.h"
#include "resources.h"
#include "segment_columns.h"
#include "segment_model.h"
#include "segment_table_view.h"
#include "table_window.h"

namespace {

using namespace gaspipe;

constexpr int kSegments = 10'000;

// The network benchmark's generated line, with a velocity limit.
network::Case TenThousandSegments() {
    network::Case c = table::TableWindow::NewCase();
    gaspipe::bench::AddGeneratedLine(c, kSegments);
    c.limits.maxVelocity = 12;
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
