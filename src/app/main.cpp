// The calculator program. It ends when its last window has closed: with an
// information dialog still open, closing the main window leaves it running.
#include <QApplication>

#include "start.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    gaspipe::OpenMainWindow();
    return QApplication::exec();
}
