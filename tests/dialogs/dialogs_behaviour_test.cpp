// How the dialogs live: one instance each, modeless and ownerless, closed and
// discarded by their one button, Enter, Esc or the close box, and independent
// of the main window.
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "dialog_test_support.h"

namespace gaspipe::test {
namespace {

struct DialogKind {
  const char* name;
  QDialog* (*show)();
  QDialog* (*current)();
  const char* label;  // a label whose text is design data
  const char* design_text;
};

void PrintTo(const DialogKind& kind, std::ostream* os) { *os << kind.name; }

const DialogKind kAbout{"FrmAbout", []() -> QDialog* { return ShowFrmAbout(); },
                        []() -> QDialog* { return CurrentFrmAbout(); }, "lblVersion", "版本：V2.0"};
const DialogKind kParameter{"frmAbout_Parameter", []() -> QDialog* { return ShowFrmAboutParameter(); },
                            []() -> QDialog* { return CurrentFrmAboutParameter(); }, "Label2",
                            "计算温度： 288K"};

// Shows the dialog and waits until it has the keyboard, as after a real show.
QDialog* ShowActive(const DialogKind& kind) {
  QDialog* dialog = kind.show();
  EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
  return dialog;
}

bool WaitDeleted(const QPointer<QDialog>& dialog) {
  return QTest::qWaitFor([&] {
    FlushDeletes();
    return dialog.isNull();
  }, 2000);
}

int OpenInstances(const char* object_name) {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->objectName() == QLatin1String(object_name)) ++n;
  return n;
}

class EachDialog : public DialogTest, public ::testing::WithParamInterface<DialogKind> {};

INSTANTIATE_TEST_SUITE_P(Both, EachDialog, ::testing::Values(kAbout, kParameter),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(EachDialog, FixedModelessTopLevelWithoutOwner) {
  QDialog* dialog = GetParam().show();
  EXPECT_EQ(dialog->parentWidget(), nullptr);
  EXPECT_TRUE(dialog->isWindow());
  EXPECT_FALSE(dialog->isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(dialog->testAttribute(Qt::WA_DeleteOnClose));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
  const Qt::WindowFlags flags = dialog->windowFlags();
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
}

TEST_P(EachDialog, CmdOkIsDefaultAndTheOnlyFocusableControl) {
  QDialog* dialog = ShowActive(GetParam());
  auto* ok = Child<QPushButton>(dialog, "cmdOK");
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(QApplication::focusWidget(), ok);
  for (QWidget* w : dialog->findChildren<QWidget*>()) {
    if (w != ok) {
      EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
    }
  }
  QTest::keyClick(ok, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), ok);
}

TEST_P(EachDialog, ShowingAgainKeepsOneInstanceAndBringsItToTheFront) {
  QDialog* first = ShowActive(GetParam());
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

  QDialog* second = GetParam().show();
  EXPECT_EQ(second, first);
  EXPECT_EQ(GetParam().current(), first);
  EXPECT_EQ(OpenInstances(GetParam().name), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == first; }, 2000));
}

TEST_P(EachDialog, NotOpenBeforeShown) { EXPECT_EQ(GetParam().current(), nullptr); }

enum class CloseBy { kEnter, kEsc, kClickOk, kKeypadEnter, kCloseBox };

struct CloseRow {
  CloseBy how;
  const char* name;
};

void PrintTo(const CloseRow& row, std::ostream* os) { *os << row.name; }

class CloseDialog : public DialogTest,
                    public ::testing::WithParamInterface<std::tuple<DialogKind, CloseRow>> {};

TEST_P(CloseDialog, ClosesAndDiscardsTheDialog) {
  const auto& [kind, row] = GetParam();
  QPointer<QDialog> dialog = ShowActive(kind);
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  switch (row.how) {
    case CloseBy::kEnter: QTest::keyClick(focus, Qt::Key_Return); break;
    case CloseBy::kKeypadEnter: QTest::keyClick(focus, Qt::Key_Enter, Qt::KeypadModifier); break;
    case CloseBy::kEsc: QTest::keyClick(focus, Qt::Key_Escape); break;
    case CloseBy::kClickOk: QTest::mouseClick(Child(dialog, "cmdOK"), Qt::LeftButton); break;
    case CloseBy::kCloseBox: dialog->windowHandle()->close(); break;
  }
  EXPECT_EQ(kind.current(), nullptr);
  EXPECT_TRUE(WaitDeleted(dialog));
}

INSTANTIATE_TEST_SUITE_P(
    Both, CloseDialog,
    ::testing::Combine(::testing::Values(kAbout, kParameter),
                       ::testing::Values(CloseRow{CloseBy::kEnter, "Enter"},
                                         CloseRow{CloseBy::kKeypadEnter, "KeypadEnter"},
                                         CloseRow{CloseBy::kEsc, "Esc"},
                                         CloseRow{CloseBy::kClickOk, "ClickOk"},
                                         CloseRow{CloseBy::kCloseBox, "CloseBox"})),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
    });

TEST_P(EachDialog, ReopenedDialogIsBuiltAfreshFromTheDesign) {
  const DialogKind& kind = GetParam();
  QPointer<QDialog> first = kind.show();
  Child<QLabel>(first, kind.label)->setText(QStringLiteral("changed"));
  first->close();
  ASSERT_TRUE(WaitDeleted(first));

  QDialog* second = kind.show();
  EXPECT_EQ(Child<QLabel>(second, kind.label)->text(), QString::fromUtf8(kind.design_text));
}

// Closing queues the deletion; a show before the queue runs must not hand out
// the instance that is about to disappear.
TEST_P(EachDialog, ShowRightAfterCloseGivesALiveDialog) {
  const DialogKind& kind = GetParam();
  kind.show()->close();
  QPointer<QDialog> shown = kind.show();
  FlushDeletes();
  ASSERT_FALSE(shown.isNull());
  EXPECT_TRUE(shown->isVisible());
  EXPECT_EQ(kind.current(), shown.data());
  EXPECT_EQ(OpenInstances(kind.name), 1);
}

// Stand-in for the main window: input boxes with the names the real one uses.
class FakeMainWindow : public QWidget {
 public:
  FakeMainWindow() {
    for (const char* name : {"TxtMd", "TxtNd", "TxtWd"}) {
      auto* box = new QLineEdit(this);
      box->setObjectName(QString::fromLatin1(name));
    }
    Child<QLineEdit>(this, "TxtMd")->setText(QStringLiteral("1.95"));
    Child<QLineEdit>(this, "TxtNd")->setText(QStringLiteral("3.8"));
    Child<QLineEdit>(this, "TxtWd")->setText(QStringLiteral("300"));
    show();
  }
};

TEST_F(DialogTest, ParameterDialogShowsDefaultsWhateverTheMainWindowHolds) {
  FakeMainWindow main;
  frmAbout_Parameter* dialog = ShowFrmAboutParameter();
  EXPECT_EQ(Child<QLabel>(dialog, "Label2")->text(), QStringLiteral("计算温度： 288K"));
  EXPECT_EQ(Child<QLabel>(dialog, "Label3")->text(), QStringLiteral("介质密度 ：0.7247Kg/m"));
  EXPECT_EQ(Child<QLabel>(dialog, "Label4_0")->text(), QStringLiteral("运动粘度： 0.0000145m /s"));
}

TEST_P(EachDialog, MainWindowStaysUsableAndUntouched) {
  FakeMainWindow main;
  QPointer<QDialog> dialog = GetParam().show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  auto* box = Child<QLineEdit>(&main, "TxtMd");
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "0.8");
  EXPECT_EQ(box->text(), QStringLiteral("0.8"));

  dialog->close();
  ASSERT_TRUE(WaitDeleted(dialog));
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(box->text(), QStringLiteral("0.8"));
  EXPECT_EQ(Child<QLineEdit>(&main, "TxtWd")->text(), QStringLiteral("300"));
}

TEST_F(DialogTest, TheTwoDialogsAreIndependent) {
  QPointer<QDialog> about = ShowFrmAbout();
  QPointer<QDialog> parameter = ShowFrmAboutParameter();
  EXPECT_NE(about.data(), parameter.data());
  about->close();
  ASSERT_TRUE(WaitDeleted(about));
  EXPECT_EQ(CurrentFrmAboutParameter(), parameter.data());
  EXPECT_TRUE(parameter->isVisible());
}

// The program ends when its last window closes: closing the main window while
// a dialog is open keeps it running until the dialog is closed too.
TEST_P(EachDialog, ProgramEndsOnlyWithTheLastWindow) {
  ASSERT_TRUE(QApplication::quitOnLastWindowClosed());
  auto* main = new QWidget;
  main->setAttribute(Qt::WA_DeleteOnClose);
  main->show();
  QPointer<QDialog> dialog = GetParam().show();
  bool alive_after_main_closed = false;
  QTimer::singleShot(0, main, [&] {
    main->close();
    QTimer::singleShot(100, dialog, [&] {
      alive_after_main_closed = true;
      dialog->close();
    });
  });
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  guard.start(5000);
  const int rc = QApplication::exec();
  guard.stop();
  EXPECT_TRUE(alive_after_main_closed);
  EXPECT_EQ(rc, 0) << "the program did not end after the last window closed";
}

}  // namespace
}  // namespace gaspipe::test
