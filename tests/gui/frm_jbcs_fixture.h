// A fresh main window per test, bound to a pipe file of the test's own, with
// message boxes recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <string>

#include "cp936.h"
#include "frm_jbcs.h"
#include "message_box.h"
#include "results_panel.h"

namespace gaspipe::test {

// The first steel entry has the inner diameter 100, so the start texts are the
// worked example. Cast iron has steel's nominal diameters with other inner ones.
inline const char* const kPipeFile =
    "[钢管]\r\nPipeDia=100,50,15\r\n100=100\r\n50=52.7\r\n15=15.7\r\n"
    "[PE管]\r\nPipeDia=32,63,110\r\n32=26.0\r\n63=51.4\r\n110=90.0\r\n"
    "[铸铁管]\r\nPipeDia=100,50\r\n100=105\r\n50=53\r\n";

// Number texts are written with '.'; the window shows the system's separator.
inline QStringList Dec(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* text : texts)
        out << QString::fromUtf8(text).replace('.', QLocale::system().decimalPoint());
    return out;
}
inline QString Dec(const char* text) { return Dec({text}).first(); }

class FrmJbcsTest : public ::testing::Test {
  protected:
    FrmJbcsTest() {
        previousHandler_ = SetErrorBoxHandler(
            [this](QWidget*, auto& prompt, auto& title) { boxes_ << title + '|' + prompt; });
    }

    ~FrmJbcsTest() override {
        delete window_.data();
        // The dialogs outlive the main window by design.
        for (QWidget* top : QApplication::topLevelWidgets()) top->close();
        Settle();
        SetErrorBoxHandler(previousHandler_);
    }

    // Shows a window on `pipeFile`, stored in code page 936; null: no file.
    void Open(const char* pipeFile = kPipeFile) {
        QFile file(dir_.filePath(QStringLiteral("PipeParameters.Ini")));
        file.remove();
        // The system's own code page 936 table: Qt has GB18030 only with ICU,
        // which the Windows build's Qt lacks.
        std::string bytes;
        if (pipeFile && gbk::cp936::Encode(pipeFile, bytes) && file.open(QIODevice::WriteOnly))
            file.write(bytes.data(), qint64(bytes.size()));
        file.close();
        window_ = new FrmJbcs(dir_.path());
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
        Settle();
    }

    template <class T = QAbstractButton>
    T* W(const char* name) const {
        auto* w = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* Box(const char* name) const { return W<QLineEdit>(name); }
    QComboBox* Combo() const { return W<QComboBox>("Cob_PipeDia"); }
    QWidget* Frame1() const { return W<QWidget>("Frame1"); }
    ResultsPanel* Panel() const { return window_->resultsPanel(); }
    QStringList Lines() const { return Panel()->lines(); }

    QStringList Entries() const {
        QStringList entries;
        for (int i = 0; i < Combo()->count(); ++i) entries << Combo()->itemText(i);
        return entries;
    }
    QStringList Texts(std::initializer_list<const char*> boxes) const {
        QStringList texts;
        for (const char* box : boxes) texts << Box(box)->text();
        return texts;
    }
    void Type(std::initializer_list<std::pair<const char*, const char*>> boxTexts) const {
        for (const auto& [box, text] : boxTexts) Box(box)->setText(Dec(text));
    }

    void Click(const char* button) const { QTest::mouseClick(W(button), Qt::LeftButton); }
    // Whatever the outcome, every press flips the credits frame over the panel.
    void Press() const {
        const bool covered = !Frame1()->isHidden();
        Click("CmdCsOk");
        EXPECT_EQ(Frame1()->isHidden(), covered) << "the credits frame did not flip";
    }

    // Lets deferred work (select-on-focus, deletion) run.
    static void Settle() { QTest::qWait(20); }

    QTemporaryDir dir_;
    QPointer<FrmJbcs> window_;
    QStringList boxes_;  // "title|prompt" of each message box
    ErrorBoxHandler previousHandler_;
};

}  // namespace gaspipe::test
