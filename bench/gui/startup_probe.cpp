// The program's own start-up, reporting "shown" on
// stdout once the main window has painted for the first time, then quitting.
// The start-up benchmark runs it as a child process.
#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <cstdio>

#include "frm_jbcs.h"
#include "start.h"

namespace {

class FirstPaint : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    FirstPaint probe;
    // The window is already shown but cannot have painted before exec().
    gaspipe::OpenMainWindow()->installEventFilter(&probe);
    return QApplication::exec();  // quit() closes the window
}
