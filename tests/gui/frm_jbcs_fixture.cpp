#include "frm_jbcs_fixture.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QStringEncoder>
#include <QTest>


namespace gaspipe::test {

const char* const kThreeMaterials =
    "[钢管]\r\nPipeDia=100,50,15\r\n100=100\r\n50=52.7\r\n15=15.7\r\n"
    "[PE管]\r\nPipeDia=32,63,110\r\n32=26.0\r\n63=51.4\r\n110=90.0\r\n"
    "[铸铁管]\r\nPipeDia=75,100,150\r\n75=81.0\r\n100=104.0\r\n150=155.0\r\n";

void WritePipeFile(const QString& dir, const QString& utf8Text) {
    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    const QByteArray bytes = gbk.encode(utf8Text);
    QFile file(dir + QStringLiteral("/PipeParameters.Ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString Dec(const char* text) {
    return QString::fromUtf8(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

void FrmJbcsTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    previousHandler_ = SetErrorBoxHandler([this](QWidget*, const QString& prompt, const QString& title) {
        boxes_.push_back({prompt, title});
    });
}

void FrmJbcsTest::TearDown() {
    delete window_.data();
    // The dialogs outlive the main window by design; close them between tests.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible())
            top->close();
    Settle();
    SetErrorBoxHandler(previousHandler_);
}

void FrmJbcsTest::Open(const char* pipeFile) {
    if (pipeFile)
        WritePipeFile(dir_.path(), QString::fromUtf8(pipeFile));
    window_ = new FrmJbcs(dir_.path());
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    Settle();
}

QLineEdit* FrmJbcsTest::Box(const char* name) const {
    auto* w = window_->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QAbstractButton* FrmJbcsTest::Button(const char* name) const {
    auto* w = window_->findChild<QAbstractButton*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QLabel* FrmJbcsTest::Label(const char* name) const {
    auto* w = window_->findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QComboBox* FrmJbcsTest::Combo() const { return window_->findChild<QComboBox*>(QStringLiteral("Cob_PipeDia")); }

ResultsPanel* FrmJbcsTest::Panel() const { return window_->findChild<ResultsPanel*>(QStringLiteral("PictureJsjg")); }

QWidget* FrmJbcsTest::Frame1() const { return window_->findChild<QWidget*>(QStringLiteral("Frame1")); }

QStringList FrmJbcsTest::ComboEntries() const {
    QStringList entries;
    for (int i = 0; i < Combo()->count(); ++i)
        entries << Combo()->itemText(i);
    return entries;
}

void FrmJbcsTest::Press() const { QTest::mouseClick(Button("CmdCsOk"), Qt::LeftButton); }

void FrmJbcsTest::Settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace gaspipe::test
