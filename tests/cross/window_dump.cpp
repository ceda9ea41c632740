// Prints what the windows show, so that the Windows build under Wine can be
// compared with the Linux build (tests/cross):
//   gaspipe-window-dump main
//     the main window's report of the worked example (steel DN 100) at high
//     pressure, and after switching to low pressure;
//   gaspipe-window-dump table CASE OUTDIR
//     the table window with CASE open: every heading and cell as shown, and
//     its results exported as OUTDIR/results.csv and OUTDIR/table.xlsx.
// Message boxes are printed instead of shown.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTextStream>

#include "frm_jbcs.h"
#include "message_box.h"
#include "resources.h"
#include "results_panel.h"
#include "segment_model.h"
#include "table_window.h"

namespace {

QTextStream out(stdout);

void Click(QWidget& window, const char* name) {
    window.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
    QApplication::processEvents();
}

int DumpMainWindow() {
    gaspipe::FrmJbcs window;
    window.show();
    QApplication::processEvents();
    // Steel DN 100 chosen from the list, as a designer does: the worked example.
    auto* list = window.findChild<QComboBox*>(QStringLiteral("Cob_PipeDia"));
    const int dn100 = list->findText(QStringLiteral("100"));
    list->setCurrentIndex(dn100);
    emit list->activated(dn100);
    Click(window, "CmdCsOk");
    out << "== 高中压\n" << window.resultsPanel()->lines().join('\n') << '\n';
    Click(window, "OptDy");
    Click(window, "CmdCsOk");
    out << "== 低压\n" << window.resultsPanel()->lines().join('\n') << '\n';
    return 0;
}

int DumpTableWindow(const QString& file, const QDir& outDir) {
    const QString settings = outDir.filePath(QStringLiteral("settings.ini"));
    gaspipe::table::TableWindow window({{}, settings});
    window.show();
    if (!window.openFile(file)) return 1;
    QApplication::processEvents();
    const auto* model = window.segmentModel();
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->headerData(c, Qt::Horizontal).toString().replace('\n', ' ');
    out << cells.join('\t') << '\n';
    for (int r = 0; r < model->rowCount(); ++r) {
        cells.clear();
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        out << cells.join('\t') << '\n';
    }
    const bool exported = window.exportResultsCsv(outDir.filePath(QStringLiteral("results.csv"))) &&
                          window.exportXlsx(outDir.filePath(QStringLiteral("table.xlsx")));
    return exported ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    gaspipe::InitResources();
    gaspipe::SetErrorBoxHandler([](QWidget*, const QString& prompt, const QString& title) {
        out << "message box: " << title << ": " << prompt << '\n';
    });
    const QStringList args = QApplication::arguments().mid(1);
    if (args.size() == 1 && args[0] == QLatin1String("main")) return DumpMainWindow();
    if (args.size() == 3 && args[0] == QLatin1String("table")) {
        const QDir dir(args[2]);
        if (!dir.mkpath(QStringLiteral("."))) return 1;
        return DumpTableWindow(args[1], dir);
    }
    QTextStream(stderr) << "usage: gaspipe-window-dump main | table CASE OUTDIR\n";
    return 2;
}
