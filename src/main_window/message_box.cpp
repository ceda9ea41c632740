#include "message_box.h"

#include <QMessageBox>

#include <utility>

namespace gaspipe {

namespace {
ErrorBoxHandler& Handler() {
    static ErrorBoxHandler handler;
    return handler;
}
}  // namespace

void ShowErrorBox(QWidget* parent, const QString& prompt, const QString& title) {
    if (Handler()) {
        Handler()(parent, prompt, title);
        return;
    }
    QMessageBox box(QMessageBox::Critical, title, prompt, QMessageBox::Ok, parent);
    box.exec();
}

ErrorBoxHandler SetErrorBoxHandler(ErrorBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace gaspipe
