// The window as built and started: controls, start-up from the pipe file,
// keys, select-on-focus, exit, the dialog buttons and the results panel.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGroupBox>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs.h"
#include "frm_jbcs_fixture.h"

namespace gaspipe::test {
namespace {

using WindowTest = FrmJbcsTest;

QRect Twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

TEST_F(WindowTest, ControlsHaveTheirCaptionsPlacesAndStartState) {
    Open();
    struct Row {
        const char* name;
        const char* text;
        QRect geometry;
    };
    const Row rows[] = {
        {"OptTrq", "天然气", Twips(120, 240, 855, 375)},
        {"OptYhq", "液化石油气", Twips(2640, 240, 1215, 375)},
        {"OptPeg", "PE管", Twips(1380, 240, 735, 375)},
        {"OptDy", "低压", Twips(2520, 240, 975, 375)},
        {"TxtJkyl", "5", Twips(360, 480, 3255, 390)},
        {"TxtGc", "1000", Twips(360, 1200, 3255, 390)},
        {"TxtLl", "500", Twips(360, 3120, 3255, 390)},
        {"TxtMd", "0.7247", Twips(2400, 240, 1215, 375)},
        {"TxtNd", "14.5", Twips(2400, 840, 1215, 375)},
        {"TxtWd", "288", Twips(2400, 1440, 1215, 375)},
        {"LabJkyl", "进口压力(绝压 10 Pa)", Twips(120, 240, 2295, 255)},
        {"LabNd", "运动粘度(X10  m /S)", Twips(360, 960, 2055, 255)},
        {"Label2", "计算结果：", Twips(4800, 4080, 4095, 255)},
        {"CmdCsOk", "计算.&C", Twips(7440, 6600, 1575, 375)},
        {"Btn_ChanageParametes", "恢复默认值.&R", Twips(1440, 7320, 1575, 375)},
        {"CmdCsCancel", "退出.&E", Twips(7440, 7320, 1575, 375)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), row.geometry);
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(widget)) text = b->text();
        if (auto* e = qobject_cast<QLineEdit*>(widget)) text = e->text();
        if (auto* l = qobject_cast<QLabel*>(widget)) text = l->text();
        EXPECT_EQ(text, QString::fromUtf8(row.text));
    }
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("燃气管道Quarnel软件V2.0"));
    EXPECT_EQ(window_->size(), QSize(606, 524));
    EXPECT_EQ(Panel()->geometry(), Frame1()->geometry());
    for (const char* on : {"OptTrq", "OptGg", "OptGzy"})
        EXPECT_TRUE(Button(on)->isChecked()) << on;
    for (const char* off : {"OptRgmq", "OptYhq", "OptPeg", "OptZtg", "OptDy"})
        EXPECT_FALSE(Button(off)->isChecked()) << off;
    EXPECT_TRUE(Label("Label9")->isVisible());
    EXPECT_TRUE(Frame1()->isVisible());
    EXPECT_TRUE(window_->strGasKind.isEmpty());
    EXPECT_TRUE(window_->strPressureClass.isEmpty());
    EXPECT_TRUE(window_->strPipeMaterial.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), Box("TxtJkyl"));
}

TEST_F(WindowTest, TabFollowsTheDesignedOrder) {
    Open();
    const char* order[] = {"TxtJkyl", "TxtGc", "TxtLl", "CmdCsOk", "CmdCsCancel", "OptTrq",
                           "OptGzy", "OptGg", "TxtMd", "TxtNd", "TxtWd"};
    for (const char* name : order) {
        ASSERT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST_F(WindowTest, StartUpWithThreeEntriesShowsTheFirstAndItsInnerDiameter) {
    Open("[钢管]\r\nPipeDia=20,25,32\r\n20=21.3\r\n25=27.3\r\n32=35.4\r\n");
    EXPECT_EQ(ComboEntries(), QStringList({"20", "25", "32"}));
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("20"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("21.3"));
    ASSERT_TRUE(window_->HasIniFile());
    EXPECT_EQ(QString::fromStdString(window_->IniFile().INIFileName()),
              QDir::toNativeSeparators(dir_.path()) + QDir::separator() +
                  QStringLiteral("PipeParameters.Ini"));
}

TEST_F(WindowTest, StartUpWithoutFileOrListKeepsTheStartDiameter) {
    for (const char* file : {static_cast<const char*>(nullptr), "[钢管]\r\nPipeDia=\r\n",
                             "[PE管]\r\nPipeDia=32\r\n32=26\r\n"}) {
        SCOPED_TRACE(file ? file : "no file");
        Open(file);
        EXPECT_EQ(Combo()->count(), 0);
        EXPECT_EQ(Combo()->currentText(), QString());
        EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
        delete window_.data();
        QFile::remove(dir_.filePath(QStringLiteral("PipeParameters.Ini")));
    }
}

TEST_F(WindowTest, EnterInATextBoxCalculates) {
    Open();
    QTest::keyClick(Box("TxtGc"), Qt::Key_Return);
    EXPECT_EQ(Panel()->lines().size(), 5);
    QTest::keyClick(Box("TxtWd"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Frame1()->isVisible()) << "the second Enter pressed the button again";
}

TEST_F(WindowTest, AccessKeysPressTheirButtons) {
    Open();
    // A mnemonic clicks through animateClick(), a moment later.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Panel()->lines().size() == 5; }));
    SetBox("TxtWd", QStringLiteral("300"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Box("TxtWd")->text() == QStringLiteral("288"); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] {
        Settle();
        return window_.isNull();
    }));
}

TEST_F(WindowTest, EnterOnAFocusedButtonPressesThatButton) {
    Open();
    Button("Command2")->setFocus();
    QTest::keyClick(Button("Command2"), Qt::Key_Return);
    Settle();
    EXPECT_NE(CurrentFrmAbout(), nullptr);
    EXPECT_TRUE(Frame1()->isVisible()) << "no calculation";
    EXPECT_TRUE(Panel()->lines().isEmpty());
}

TEST_F(WindowTest, EscCloseBoxAndExitButtonUnloadTheWindow) {
    const auto escape = [this] { QTest::keyClick(Box("TxtNd"), Qt::Key_Escape); };
    const auto closeBox = [this] { window_->close(); };
    const auto exitButton = [this] { QTest::mouseClick(Button("CmdCsCancel"), Qt::LeftButton); };
    for (const auto& exit : {std::function<void()>(escape), std::function<void()>(closeBox),
                             std::function<void()>(exitButton)}) {
        Open();
        exit();
        Settle();
        EXPECT_TRUE(window_.isNull());
        EXPECT_TRUE(boxes_.empty()) << "no question asked";
    }
}

TEST_F(WindowTest, FocusSelectsTheWholeText) {
    Open();
    QTest::keyClick(Box("TxtJkyl"), Qt::Key_Tab);
    Settle();
    QLineEdit* length = Box("TxtGc");
    ASSERT_TRUE(length->hasFocus());
    EXPECT_EQ(length->selectedText(), QStringLiteral("1000"));
    QTest::keyClick(length, Qt::Key_5);
    EXPECT_EQ(length->text(), QStringLiteral("5"));

    // By mouse, in the middle of the text: still everything.
    QLineEdit* density = Box("TxtMd");
    QTest::mouseClick(density, Qt::LeftButton, {}, QPoint(density->width() / 3, density->height() / 2));
    Settle();
    EXPECT_EQ(density->selectedText(), QStringLiteral("0.7247"));

    // By the program, on an empty box: an empty selection at 0.
    QLineEdit* temperature = Box("TxtWd");
    temperature->clear();
    temperature->setFocus(Qt::OtherFocusReason);
    Settle();
    EXPECT_FALSE(temperature->hasSelectedText());
    EXPECT_EQ(temperature->cursorPosition(), 0);
}

TEST_F(WindowTest, DialogButtonsOpenOneModelessInstanceEach) {
    Open();
    Button("Command2")->click();
    Button("Command2")->click();
    Button("Command1")->click();
    Settle();
    int about = 0;
    int parameter = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        if (top->windowTitle() == QStringLiteral("关于ziderevi")) ++about;
        if (top->windowTitle() == QStringLiteral("关于计算参数说明")) ++parameter;
    }
    EXPECT_EQ(about, 1);
    EXPECT_EQ(parameter, 1);
    EXPECT_FALSE(reinterpret_cast<QWidget*>(CurrentFrmAbout())->parentWidget());

    // The main window stays usable.
    Press();
    EXPECT_EQ(Panel()->lines().size(), 5);
}

TEST_F(WindowTest, EnterAndEscCloseTheDialogs) {
    Open();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        Button("Command2")->click();
        Settle();
        QWidget* about = QApplication::activeWindow();
        ASSERT_NE(about, nullptr);
        ASSERT_NE(about, window_.data());
        QTest::keyClick(about->focusWidget() ? about->focusWidget() : about, key);
        Settle();
        EXPECT_EQ(CurrentFrmAbout(), nullptr) << key;
    }
    EXPECT_TRUE(Frame1()->isVisible()) << "Enter in the dialog did not calculate";
}

TEST_F(WindowTest, ExitLeavesAnOpenDialogOpen) {
    Open();
    Button("Command1")->click();
    Settle();
    QTest::keyClick(Box("TxtJkyl"), Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(window_.isNull());
    EXPECT_NE(CurrentFrmAboutParameter(), nullptr);
}

TEST_F(WindowTest, PanelRedrawsItsLinesAfterBeingHiddenAndShown) {
    Open();
    Press();
    const QImage shown = Panel()->grab().toImage();
    ResultsPanel blank;
    blank.resize(Panel()->size());
    blank.setFont(Panel()->font());
    EXPECT_NE(shown, blank.grab().toImage()) << "the lines are drawn";

    window_->hide();
    window_->show();
    Panel()->repaint();
    EXPECT_EQ(Panel()->grab().toImage(), shown);
}

TEST_F(WindowTest, CopyPutsTheReportOnTheClipboard) {
    Open();
    Press();
    const QString report = Panel()->lines().join(QLatin1Char('\n')) + QLatin1Char('\n');
    QApplication::clipboard()->clear();

    // Ctrl+C in a text box copies that box, not the report.
    QLineEdit* length = Box("TxtGc");
    length->setFocus();
    length->selectAll();
    QTest::keyClick(length, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("1000"));

    Panel()->setFocus();
    QTest::keyClick(Panel(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), report);

    // The context menu offers "复制".
    QApplication::clipboard()->clear();
    QString offered;
    QTimer::singleShot(0, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions()) offered += action->text();
        menu->actions().value(0)->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), Panel()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Panel(), &event);
    EXPECT_EQ(offered, QStringLiteral("复制"));
    EXPECT_EQ(QApplication::clipboard()->text(), report);
    EXPECT_EQ(Panel()->lines().size(), 5) << "copying changes nothing";
    EXPECT_TRUE(boxes_.empty());
}

}  // namespace
}  // namespace gaspipe::test
