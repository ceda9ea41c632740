// Process start: the application object, the shared resources, then the main
// window. The program ends when its last window has closed.
#include <QApplication>

#include "frm_jbcs.h"
#include "resources.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    gaspipe::InitResources();

    auto* window = new gaspipe::FrmJbcs();  // deletes itself when closed
    window->show();
    return QApplication::exec();
}
