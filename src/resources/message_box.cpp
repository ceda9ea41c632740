#include "message_box.h"

#include <utility>

namespace gaspipe {

namespace {
ErrorBoxHandler& Handler() {
    static ErrorBoxHandler handler;
    return handler;
}
AskBoxHandler& AskHandler() {
    static AskBoxHandler handler;
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

QMessageBox::StandardButton AskBox(QWidget* parent, QMessageBox::Icon icon, const QString& prompt,
                                   const QString& title, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton) {
    if (AskHandler()) return AskHandler()(parent, prompt, title, buttons);
    QMessageBox box(icon, title, prompt, buttons, parent);
    box.setDefaultButton(defaultButton);
    const auto chosen = static_cast<QMessageBox::StandardButton>(box.exec());
    return chosen == QMessageBox::NoButton ? QMessageBox::Cancel : chosen;
}

AskBoxHandler SetAskBoxHandler(AskBoxHandler handler) {
    return std::exchange(AskHandler(), std::move(handler));
}

}  // namespace gaspipe
