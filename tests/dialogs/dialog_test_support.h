// Helpers shared by the dialog tests: finding controls by object name and
// leaving no dialog behind for the next test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include "dialogs.h"
#include "frm_about.h"
#include "frm_about_parameter.h"

namespace gaspipe::test {

// Closed dialogs are deleted through the event queue.
inline void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

template <typename T = QWidget>
T* Child(QWidget* parent, const char* name) {
  return parent->findChild<T*>(QString::fromLatin1(name));
}

class DialogTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) w->close();
    FlushDeletes();
    for (QWidget* w : QApplication::topLevelWidgets()) delete w;
  }
};

}  // namespace gaspipe::test
