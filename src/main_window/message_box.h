// The one door through which the main window shows its modal message boxes.
// Tests install a recorder so that nothing blocks.
#pragma once

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

}  // namespace gaspipe
