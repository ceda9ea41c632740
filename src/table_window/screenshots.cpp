// Renders the table window with each shipped example case, and its pressure
// chart, to PNG files:   gaspipe-table-shots <output directory>
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
    gaspipe::table::TableWindow fresh({{}, tmp});
    fresh.resize(1100, 700);
    fresh.show();
    Settle();
    ok = Save(fresh.grab(), dir, QStringLiteral("%1-table-new.png").arg(n)) && ok;
    QFile::remove(tmp);
    return ok ? 0 : 1;
}
