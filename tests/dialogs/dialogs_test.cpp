// The two information dialogs: one instance each, discarded by every way of
// closing them, readable in the substitute fonts, and never ending the program
// while they are the last window open; and the fonts and logo they share with
// the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

#include "dialogs.h"
#include "frm_about.h"
#include "frm_about_parameter.h"
#include "resources.h"

namespace gaspipe::test {
namespace {

struct Kind {
    const char* name;
    QDialog* (*show)();
    QDialog* (*current)();
};

void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }

const Kind kKinds[] = {
    {"FrmAbout", [] { return static_cast<QDialog*>(ShowFrmAbout()); },
     [] { return static_cast<QDialog*>(CurrentFrmAbout()); }},
    {"frmAbout_Parameter", [] { return static_cast<QDialog*>(ShowFrmAboutParameter()); },
     [] { return static_cast<QDialog*>(CurrentFrmAboutParameter()); }}};

// Shows the dialog and waits until it has the keyboard, as after a real show.
QDialog* ShowActive(const Kind& kind) {
    QDialog* dialog = kind.show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    return dialog;
}

// Every test starts without a dialog, open or closed and waiting for deletion,
// so the single-instance bookkeeping starts clean.
class NoWindowsLeft : public ::testing::Test {
  protected:
    void TearDown() override { qDeleteAll(QApplication::topLevelWidgets()); }
};

class Dialogs : public NoWindowsLeft, public ::testing::WithParamInterface<Kind> {
  protected:
    const Kind& kind = GetParam();
};

INSTANTIATE_TEST_SUITE_P(Both, Dialogs, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(Dialogs, ShowingAgainBringsTheOneModelessInstanceToTheFrontMinimisedOrNot) {
    EXPECT_EQ(kind.current(), nullptr);
    QDialog* first = ShowActive(kind);
    EXPECT_FALSE(first->isModal());
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));

    EXPECT_EQ(kind.show(), first);
    EXPECT_EQ(kind.current(), first);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == first; }, 2000));

    first->showMinimized();
    EXPECT_EQ(kind.show(), first);
    EXPECT_FALSE(first->isMinimized());
}

TEST_P(Dialogs, CmdOkIsTheDefaultAndTheOnlyFocusableControl) {
    QDialog* dialog = ShowActive(kind);
    auto* ok = dialog->findChild<QPushButton*>("cmdOK");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), ok);
    for (QWidget* w : dialog->findChildren<QWidget*>())
        EXPECT_TRUE(w == ok || w->focusPolicy() == Qt::NoFocus) << w->objectName().toStdString();
    QTest::keyClick(ok, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), ok);
}

// The label sizes were made for the Windows fonts; a taller or wider substitute
// would cut the text off at the label's edge.
TEST_P(Dialogs, EveryTextFitsItsLabel) {
    for (const QLabel* label : kind.show()->findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics fm(label->font());
        if (label->wordWrap()) {
            const QRect box(0, 0, label->width(), 10000);
            EXPECT_LE(fm.boundingRect(box, Qt::TextWordWrap, label->text()).height(),
                      label->height());
            continue;
        }
        const QRect ink = fm.tightBoundingRect(label->text()).translated(0, fm.ascent());
        EXPECT_LE(ink.right(), label->width());
        EXPECT_LE(ink.bottom(), label->height());
    }
}

// The program ends when its last window closes, not with the main window.
TEST_P(Dialogs, ProgramEndsOnlyWithItsLastWindow) {
    QWidget main;
    main.show();
    QPointer<QDialog> dialog = kind.show();
    bool dialog_outlived_main = false;
    QTimer::singleShot(0, &main, &QWidget::close);
    QTimer::singleShot(100, dialog, [&] {
        dialog_outlived_main = true;
        dialog->close();
    });
    QObject guard;
    QTimer::singleShot(5000, &guard, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0) << "the program did not end with its last window";
    EXPECT_TRUE(dialog_outlived_main);
}

void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

const std::pair<const char*, void (*)(QDialog*)> kWaysToClose[] = {
    {"Enter", [](QDialog*) { Press(Qt::Key_Return); }},
    {"keypad Enter", [](QDialog*) { Press(Qt::Key_Enter, Qt::KeypadModifier); }},
    {"Esc", [](QDialog*) { Press(Qt::Key_Escape); }},
    {"cmdOK",
     [](QDialog* d) { QTest::mouseClick(d->findChild<QWidget*>("cmdOK"), Qt::LeftButton); }},
    {"close box", [](QDialog* d) { d->windowHandle()->close(); }}};

// A show that comes before the queued deletion has run must not hand out the
// dying instance.
TEST_P(Dialogs, EveryWayOfClosingDiscardsOnlyThisDialogAndAShowBuildsANewOne) {
    for (const auto& [way, close] : kWaysToClose) {
        SCOPED_TRACE(way);
        ShowFrmAbout();
        ShowFrmAboutParameter();
        QPointer<QDialog> closed = ShowActive(kind);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        close(closed);
        EXPECT_EQ(kind.current(), nullptr);
        QPointer<QDialog> reopened = kind.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return closed.isNull(); })) << "not deleted";
        ASSERT_FALSE(reopened.isNull());
        EXPECT_TRUE(reopened->isVisible());
        EXPECT_EQ(kind.current(), reopened.data());
        EXPECT_TRUE(CurrentFrmAbout() && CurrentFrmAboutParameter())
            << "the other dialog closed too";
    }
}

// Each unit exponent is a separate small digit over the gap its line leaves
// after the metre sign: raised off the line, clear of the text on either side,
// and painted over its line.
TEST_F(NoWindowsLeft, ExponentsReadAsTheUnitsExponents) {
    QDialog* dialog = ShowFrmAboutParameter();
    for (auto [digit_name, digit_text, line_name] :
         {std::tuple{"Label4_1", "3", "Label3"}, std::tuple{"Label8", "2", "Label4_0"}}) {
        SCOPED_TRACE(digit_name);
        auto* digit = dialog->findChild<QLabel*>(digit_name);
        auto* line = dialog->findChild<QLabel*>(line_name);
        ASSERT_TRUE(digit && line);
        EXPECT_EQ(digit->text(), digit_text);

        const QFontMetrics digit_fm(digit->font()), line_fm(line->font());
        const QRect ink = digit_fm.tightBoundingRect(digit->text())
                              .translated(digit->x(), digit->y() + digit_fm.ascent());
        const QString unit = line->text().left(line->text().lastIndexOf(u'm') + 1);
        const QString rest = line->text().mid(unit.size()).trimmed();
        EXPECT_GE(ink.left(), line->x() + line_fm.horizontalAdvance(unit) - 1)
            << "overlaps the unit";
        EXPECT_LE(ink.bottom(), line->y() + line_fm.ascent() - line_fm.xHeight() / 2)
            << "not raised";
        const int rest_left =
            line->x() + line_fm.horizontalAdvance(line->text()) - line_fm.horizontalAdvance(rest);
        EXPECT_TRUE(rest.isEmpty() || ink.right() <= rest_left + 1)
            << "runs into the text after the gap";
        const QObjectList& stack = line->parentWidget()->children();
        EXPECT_GT(stack.indexOf(digit), stack.indexOf(line)) << "painted below its line";
    }
}

// The forms name Windows fonts; fontconfig's own fallback would render them all
// in one sans face, so each must land on the installed face of its style.
// A Windows name and the faces of its style, best first: the first installed
// one must win.
class FontSubstitution : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(FontSubstitution, ResolvesToTheBestInstalledFaceOfItsStyle) {
    const auto resolved = [](const QString& name) { return QFontInfo(QFont(name)).family(); };
    for (const QString& face : QString::fromUtf8(GetParam().second).split(u'|')) {
        if (!resolved(face).startsWith(face)) continue;  // not installed
        const QString family = resolved(QString::fromUtf8(GetParam().first));
        EXPECT_TRUE(family.startsWith(face)) << family.toStdString();
        return;
    }
    GTEST_SKIP() << "none of " << GetParam().second << " is installed";
}

INSTANTIATE_TEST_SUITE_P(
    WindowsNames, FontSubstitution,
    ::testing::Values(std::pair{"隶书", "AR PL UKai CN"}, std::pair{"黑体", "WenQuanYi Zen Hei"},
                      std::pair{"宋体", "AR PL UMing CN"},
                      std::pair{"Arial", "Liberation Sans|Arimo|Nimbus Sans|DejaVu Sans"}));

TEST(Logo, IsSeventyFiveByFortySevenWithTransparentBackground) {
    const QImage logo = LogoPixmap().toImage();
    ASSERT_EQ(logo.size(), QSize(75, 47));
    EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(logo.pixel(37, 35)), 255) << "the pipe is drawn";
}

// Qt's own texts follow the Chinese interface, whatever the locale.
TEST(QtTexts, AreChinese) {
    QMessageBox box(QMessageBox::Critical, QString(), QString(), QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList offered;
    for (const QAction* action : menu->actions()) offered << action->text().section(u'\t', 0, 0);
    for (const char* text : {"撤消(&U)", "剪切(&T)", "复制(&C)", "粘贴(&P)"})
        EXPECT_TRUE(offered.contains(QString::fromUtf8(text))) << offered.join(' ').toStdString();
}

}  // namespace
}  // namespace gaspipe::test

int main(int argc, char** argv) {
    // Headless by default; a caller may still pick another platform (e.g. xcb).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    gaspipe::InitResources();
    return RUN_ALL_TESTS();
}
