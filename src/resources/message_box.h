// The one door through which the windows show their modal message boxes.
// Tests install a recorder so that nothing blocks.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace gaspipe {

// A modal box with the error icon and a single OK button.
void ShowErrorBox(QWidget* parent, const QString& prompt, const QString& title);

// Replaces the real box; an empty function restores it. Returns the previous one.
using ErrorBoxHandler =
    std::function<void(QWidget* parent, const QString& prompt, const QString& title)>;
ErrorBoxHandler SetErrorBoxHandler(ErrorBoxHandler handler);

// A modal box offering buttons; returns the one chosen (Esc and the close box
// choose Cancel or No when offered).
QMessageBox::StandardButton AskBox(QWidget* parent, QMessageBox::Icon icon, const QString& prompt,
                                   const QString& title, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton);

using AskBoxHandler = std::function<QMessageBox::StandardButton(
    QWidget* parent, const QString& prompt, const QString& title,
    QMessageBox::StandardButtons buttons)>;
AskBoxHandler SetAskBoxHandler(AskBoxHandler handler);

}  // namespace gaspipe
