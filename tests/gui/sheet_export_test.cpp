// "导出计算书…" of the results panel: offered while the panel shows a
// calculation's report, written from exactly that calculation, with the
// project fields remembered outside the pipe file.
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <string>

#include "case_file.h"
#include "frm_jbcs_fixture.h"
#include "network.h"
#include "pipe_catalog.h"
#include "sheet_export.h"

namespace gaspipe::test {
namespace {

std::string Output(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    std::erase_if(out, [](char c) { return c == ' ' || c == '\n' || c == '\f'; });
    return out;
}

class SheetExportTest : public FrmJbcsTest {
  protected:
    SheetExportTest() {
        SetSheetSettingsFile(dir_.filePath(QStringLiteral("sheet.ini")));
        previousChooser_ = SetSheetFileChooser([this](QWidget*, const QString&) { return file_; });
    }
    ~SheetExportTest() override {
        SetSheetFileChooser(previousChooser_);
        SetSheetSettingsFile({});
    }

    // Triggers the panel's action; `fill` edits the dialog before OK.
    void Export(const QString& file, const std::function<void(QDialog*)>& fill) {
        file_ = dir_.filePath(file);
        QTimer::singleShot(0, [fill] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            fill(dialog);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        Panel()->findChild<QAction*>(QStringLiteral("ActExportSheet"))->trigger();
    }

    QString file_;
    SheetFileChooser previousChooser_;
};

TEST_F(SheetExportTest, WrittenFromTheCalculationShownAndItsFieldsRemembered) {
    Open();
    EXPECT_FALSE(Panel()->sheetAvailable());
    Press();
    ASSERT_TRUE(Panel()->sheetAvailable());
    Type({{"TxtLl", "900"}});  // typed after the calculation: not in its sheet

    Export(QStringLiteral("sheet.pdf"), [](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("EdtProjectName"))
            ->setText(QStringLiteral("某工程"));
        d->findChild<QLineEdit*>(QStringLiteral("EdtMaxVelocity"))->setText(QStringLiteral("3"));
    });
    const std::string pdf =
        Output("pdftotext '" + dir_.filePath("sheet.pdf").toStdString() + "' -");
    // The window's drop of 0.072 (10⁵ Pa) as the sheet shows it, in kPa.
    for (const char* shown : {"某工程", "7.239", "4.928", "0.719", "3.804", "3.834", "不满足",
                              "500", "钢管", "4.92761"})
        EXPECT_NE(pdf.find(shown), std::string::npos) << shown;
    EXPECT_EQ(pdf.find("900"), std::string::npos);
    EXPECT_TRUE(boxes_.isEmpty());

    // The next calculation starts from the last outlet pressure; its sheet
    // says so, and the dialog offers the fields given last time.
    Type({{"TxtLl", "500"}});
    Press();
    QString remembered;
    Export(QStringLiteral("sheet.odt"), [&remembered](QDialog* d) {
        remembered = d->findChild<QLineEdit*>(QStringLiteral("EdtProjectName"))->text();
    });
    EXPECT_EQ(remembered, QStringLiteral("某工程"));
    const std::string odt = Output("unzip -p '" + dir_.filePath("sheet.odt").toStdString() +
                                   "' content.xml | sed 's/<[^>]*>//g'");
    for (const char* shown : {"某工程", "4.927614", "3.806", "4.928"})
        EXPECT_NE(odt.find(shown), std::string::npos) << shown;

    // The guard's message in the panel is no calculation.
    Type({{"TxtJkyl", "1"}});
    Press();
    EXPECT_FALSE(Panel()->sheetAvailable());
}

TEST_F(SheetExportTest, ALimitThatIsNoNumberKeepsTheDialogOpen) {
    Open();
    Press();
    bool kept = false;
    Export(QStringLiteral("sheet.html"), [&kept](QDialog* d) {
        auto* velocity = d->findChild<QLineEdit*>(QStringLiteral("EdtMaxVelocity"));
        velocity->setText(QStringLiteral("快"));
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        kept = d->isVisible() && d->findChild<QLabel*>(QStringLiteral("LblProblem"))->isVisible();
        velocity->clear();
    });
    EXPECT_TRUE(kept);
    EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("sheet.html"))));
}

// The table window's export: the case's own project fields, the segment
// chosen in the dialog worked in detail.
TEST_F(SheetExportTest, TableSheetOfACaseWithTheChosenSegment) {
    const auto read = network::LoadCase(GASPIPE_EXAMPLES "/courtyard-medium.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_INI);
    const auto catalog = network::PipeCatalog::Read(ini, *read.value);
    network::Network net(catalog);
    ASSERT_TRUE(net.Load(*read.value));

    file_ = dir_.filePath(QStringLiteral("line.pdf"));
    QString offered;
    QTimer::singleShot(0, [&offered] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* segment = dialog->findChild<QComboBox*>(QStringLiteral("CboSegment"));
        offered = segment->currentText();
        segment->setCurrentText(QStringLiteral("支6"));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    const ExportResult result =
        ExportTableSheet(nullptr, *read.value, net, catalog, GASPIPE_SHIPPED_INI);
    ASSERT_EQ(result.status, ExportResult::Status::Written) << result.error.toStdString();
    EXPECT_EQ(offered, QStringLiteral("干1")) << "the largest loss";
    const std::string pdf = Output("pdftotext '" + file_.toStdString() + "' -");
    for (const char* shown : {"示例：小区中压庭院管网", "EX-02", "管段支6详细计算"})
        EXPECT_NE(pdf.find(shown), std::string::npos) << shown;
}

}  // namespace
}  // namespace gaspipe::test
