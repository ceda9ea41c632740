// The calculation-table program: opens the case named on the command line,
// or a new one. A case that cannot be read says why and leaves a new case.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "resources.h"
#include "table_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gaspipe-table"));
    gaspipe::InitResources();
    // Lets the desktop match the window to its .desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.gaspipe.GaspipeTable"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/gaspipe/table-icon-128.png")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("燃气管道水力计算表"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("CASE.gpcase"), QStringLiteral("要打开的计算文件"));
    parser.process(app);

    auto* window = new gaspipe::table::TableWindow();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    if (!parser.positionalArguments().isEmpty())
        window->openFile(parser.positionalArguments().front());
    return QApplication::exec();
}
