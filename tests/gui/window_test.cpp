// The window as started: the list from the pipe file, keys, select-on-focus,
// the dialog buttons and exit, the results panel.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <tuple>

#include "dialogs.h"
#include "frm_jbcs_fixture.h"

namespace gaspipe::test {
namespace {

using WindowTest = FrmJbcsTest;

TEST_F(WindowTest, StartUpShowsTheFirstSteelEntryOrKeepsTheStartDiameter) {
    for (const auto& [file, entries, inner] :
         {std::tuple{static_cast<const char*>(nullptr), QStringList{}, "100"},
          {"[钢管]\r\nPipeDia=\r\n", QStringList{}, "100"},
          {"[PE管]\r\nPipeDia=32\r\n32=26\r\n", QStringList{}, "100"},
          {"[钢管]\r\nPipeDia=20,25,32\r\n20=21.3\r\n25=27.3\r\n32=35.4\r\n",
           QStringList{"20", "25", "32"}, "21.3"}}) {
        SCOPED_TRACE(file ? file : "no file");
        Open(file);
        EXPECT_EQ(Entries(), entries);
        EXPECT_EQ(Combo()->currentText(), entries.value(0));
        EXPECT_EQ(Box("TxtGj")->text(), QString::fromLatin1(inner));
        EXPECT_EQ(QApplication::focusWidget(), Box("TxtJkyl"));
        delete window_.data();
    }
}

// The form places each frame's first row 8 px below the frame's top: the
// frame's top border must run above it, not through it.
TEST_F(WindowTest, FrameBordersRunAboveTheFirstRowAndExponentsAreWhole) {
    Open();
    for (QGroupBox* frame : window_->findChildren<QGroupBox*>()) {
        SCOPED_TRACE(frame->objectName().toStdString());
        const QImage image = frame->grab().toImage();
        const int x = frame->width() - 10;  // right of every control
        const QRgb background = frame->palette().color(QPalette::Window).rgb();
        int below = 0;
        while (below < image.height() && image.pixel(x, below) == background) ++below;
        while (below < image.height() && image.pixel(x, below) != background) ++below;
        int firstRow = frame->height();
        for (const QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            firstRow = std::min(firstRow, child->y());
        EXPECT_LE(below, firstRow);
    }
    // The exponents' text needs a full line of their font, at their place.
    for (const auto& [name, top] : {std::pair{"Label9", 8}, {"Label7", 184}}) {
        const auto* label = W<QLabel>(name);
        EXPECT_EQ(label->y(), top) << name;
        EXPECT_GE(label->height(), QFontMetrics(label->font()).height()) << name;
    }
}

TEST_F(WindowTest, EnterInATextBoxCalculatesEnterOnAnotherButtonPressesThatOne) {
    Open();
    QTest::keyClick(Box("TxtGc"), Qt::Key_Return);
    EXPECT_EQ(Lines().size(), 5);
    EXPECT_TRUE(Frame1()->isHidden());

    W("Command2")->setFocus();
    QTest::keyClick(W("Command2"), Qt::Key_Return);
    Settle();
    EXPECT_NE(CurrentFrmAbout(), nullptr);
    EXPECT_TRUE(Frame1()->isHidden()) << "no calculation";
}

TEST_F(WindowTest, FocusSelectsTheWholeText) {
    Open();
    QTest::keyClick(Box("TxtJkyl"), Qt::Key_Tab);
    Settle();
    ASSERT_TRUE(Box("TxtGc")->hasFocus());
    EXPECT_EQ(Box("TxtGc")->selectedText(), QStringLiteral("1000"));

    // By mouse, in the middle of the text: still everything.
    QLineEdit* density = Box("TxtMd");
    QTest::mouseClick(density, Qt::LeftButton, {}, {density->width() / 3, density->height() / 2});
    Settle();
    EXPECT_EQ(density->selectedText(), Dec("0.7247"));
}

// One instance each is the dialogs' own business (dialog tests).
TEST_F(WindowTest, DialogButtonsOpenDialogsThatOutliveTheWindow) {
    Open();
    for (const char* button : {"Command2", "Command1"}) W(button)->click();
    Press();
    EXPECT_EQ(Lines().size(), 5) << "the window stays usable";

    QTest::keyClick(Box("TxtJkyl"), Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(window_.isNull());
    EXPECT_NE(CurrentFrmAbout(), nullptr);
    EXPECT_NE(CurrentFrmAboutParameter(), nullptr);
}

TEST_F(WindowTest, PanelDrawsItsReportAndCopiesIt) {
    Open();
    const QImage blank = Panel()->grab().toImage();
    Press();
    EXPECT_NE(Panel()->grab().toImage(), blank) << "the lines are drawn";
    const QString report = Lines().join('\n') + '\n';

    // Ctrl+C in a text box copies that box, not the report.
    Box("TxtGc")->setFocus();
    Box("TxtGc")->selectAll();
    QTest::keyClick(Box("TxtGc"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1000"));
    Panel()->setFocus();
    QTest::keyClick(Panel(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), report);

    QApplication::clipboard()->clear();
    QString offered;
    QTimer::singleShot(0, [&offered] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) offered += action->text();
            menu->actions().value(0)->trigger();
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, {5, 5}, Panel()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Panel(), &event);
    EXPECT_EQ(offered, QStringLiteral("复制水力计算表…导出计算书…"));
    EXPECT_EQ(QApplication::clipboard()->text(), report);
    EXPECT_EQ(Lines().size(), 5) << "copying changes nothing";
}

}  // namespace
}  // namespace gaspipe::test
