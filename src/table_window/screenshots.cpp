// Renders the table window with each shipped example case and with a
// generated 200-segment line, its sketch and its pressure chart, to PNG
// files; the generated line is also saved as a case file for its sheet:
//   gaspipe-table-shots <output directory>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

#include "case_document.h"
#include "chart_panel.h"
#include "message_box.h"
#include "resources.h"
#include "segment_columns.h"
#include "segment_model.h"
#include "segment_table_view.h"
#include "table_window.h"

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// A street main of 31 segments with a yard line at each of its first 30
// nodes, two to seven buildings on each yard and a second yard on every
// other of the first 20: 200 segments, medium pressure, every building
// 15 m³/h.
gaspipe::network::Case GeneratedLine() {
    using gaspipe::network::Segment;
    gaspipe::network::Case c = gaspipe::table::TableWindow::NewCase();
    c.project.name = "生成的 200 管段中压管网";
    c.pressureClass = "高中压";
    c.method.method = gaspipe::network::Method::Appendix;
    c.source.node = "调压站";
    c.source.pressure = 4;
    c.limits.maxVelocity = 20;
    c.limits.maxDrop = 1;
    auto add = [&c](const std::string& id, const std::string& from, const std::string& to,
                    const char* nominal, double length, double load) {
        Segment s;
        s.id = id, s.from = from, s.to = to, s.material = "PE管", s.nominal = nominal;
        s.length = length;
        c.segments.push_back(s);
        if (load > 0) c.nodes.push_back({to, 0, load, {}, {}, {}, {}});
    };
    // Appended piece by piece: GCC 12 warns falsely about "J" + std::string.
    auto id = [](const char* prefix, int n, const char* suffix = "") {
        std::string text = prefix;
        text += std::to_string(n);
        return text += suffix;
    };
    for (int k = 1; k <= 30; ++k) {
        const std::string main = id("J", k), yard = id("Y", k);
        add(id("干", k), k == 1 ? "调压站" : id("J", k - 1), main, k < 15 ? "250" : "160",
            40 + 5 * (k % 4), 0);
        add(id("支", k), main, yard, "110", 15 + k % 3 * 5, 0);
        const std::string flat = id("", k, "-");
        for (int j = 1; j <= (k > 20 ? 2 : 2 + (7 * k) % 6); ++j)
            add(flat + std::to_string(j), yard, flat + std::to_string(j) + "#楼", "63", 10 + 4 * j,
                15);
        if (k % 2 == 0 && k <= 20) {
            const std::string far = yard + "a", farFlat = id("", k, "a-");
            add(id("支", k, "a"), yard, far, "90", 30, 0);
            for (int j = 1; j <= 2; ++j)
                add(farFlat + std::to_string(j), far, farFlat + std::to_string(j) + "#楼", "63", 12,
                    15);
        }
    }
    add("干31", "J30", "J31", "160", 40, 0);
    add("支31", "J31", "31#楼", "63", 18, 15);
    return c;
}

bool Save(const QPixmap& picture, const QDir& dir, const QString& file) {
    const bool saved = picture.save(dir.filePath(file));
    QTextStream(stdout) << (saved ? "wrote " : "FAILED ") << dir.filePath(file) << '\n';
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    gaspipe::InitResources();
    if (argc != 2) {
        QTextStream(stderr) << "usage: gaspipe-table-shots <output directory>\n";
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;
    gaspipe::SetErrorBoxHandler([](QWidget*, const QString& prompt, const QString& title) {
        QTextStream(stderr) << "message box: " << title << ": " << prompt << '\n';
    });
    const QString tmp = QDir::temp().filePath(QStringLiteral("gaspipe-table-shots.conf"));

    bool ok = true;
    const QDir examples(QStringLiteral(GASPIPE_EXAMPLES));
    int n = 20;
    for (const QString& name : examples.entryList({QStringLiteral("*.gpcase")}, QDir::Files)) {
        const QString stem = QFileInfo(name).completeBaseName();
        gaspipe::table::TableWindow window({{}, tmp});
        window.resize(1400, 900);
        window.show();
        if (!window.openFile(examples.filePath(name))) return 1;
        Settle();
        ok = Save(window.grab(), dir, QStringLiteral("%1-table-%2.png").arg(n).arg(stem)) && ok;
        const QString chart =
            dir.filePath(QStringLiteral("%1-table-%2-chart.png").arg(n + 1).arg(stem));
        ok = window.exportChart(chart) && ok;
        QTextStream(stdout) << "wrote " << chart << '\n';
        const QString sketch =
            dir.filePath(QStringLiteral("%1-table-%2-sketch.png").arg(n + 3).arg(stem));
        ok = window.exportSketch(sketch) && ok;
        QTextStream(stdout) << "wrote " << sketch << '\n';

        // A tighter velocity limit fails some checks; the first failing row is selected.
        auto* limit = window.findChild<QLineEdit*>(QStringLiteral("maxVelocity"));
        limit->setText(QStringLiteral("2"));
        emit limit->editingFinished();
        const auto& results = window.document()->network().results();
        int failing = 0;
        while (failing + 1 < int(results.size()) && results[std::size_t(failing)].ChecksHold())
            ++failing;
        window.tableView()->setCurrentSourceRow(failing);
        Settle();
        ok = Save(window.grab(), dir,
                  QStringLiteral("%1-table-%2-checks.png").arg(n + 2).arg(stem)) &&
             ok;
        // The limit stays unsaved.
        gaspipe::SetAskBoxHandler(
            [](QWidget*, const QString&, const QString&, QMessageBox::StandardButtons) {
                return QMessageBox::Discard;
            });
        window.close();
        n += 10;
    }
    {
        gaspipe::table::TableWindow window({{}, tmp});
        window.resize(1400, 900);
        window.show();
        window.setCase(GeneratedLine());
        QTextStream(stdout) << window.document()->data().segments.size() << " segments generated\n";
        ok = window.saveFile(dir.filePath(QStringLiteral("generated-200.gpcase"))) && ok;
        Settle();
        ok = Save(window.grab(), dir, QStringLiteral("%1-table-generated.png").arg(n)) && ok;
        const QString sketch =
            dir.filePath(QStringLiteral("%1-table-generated-sketch.png").arg(n + 1));
        ok = window.exportSketch(sketch) && ok;
        QTextStream(stdout) << "wrote " << sketch << '\n';
        n += 10;
    }
    gaspipe::table::TableWindow fresh({{}, tmp});
    fresh.resize(1100, 700);
    fresh.show();
    Settle();
    ok = Save(fresh.grab(), dir, QStringLiteral("%1-table-new.png").arg(n)) && ok;
    QFile::remove(tmp);
    return ok ? 0 : 1;
}
