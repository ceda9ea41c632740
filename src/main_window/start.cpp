#include "start.h"

#include <QApplication>
#include <QIcon>

#include "frm_jbcs.h"
#include "resources.h"

namespace gaspipe {

FrmJbcs* OpenMainWindow() {
    InitResources();
    // Lets the desktop match the window to its .desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.gaspipe.Gaspipe"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/gaspipe/icon-128.png")));
    auto* window = new FrmJbcs();  // deletes itself when closed
    window->show();
    return window;
}

}  // namespace gaspipe
