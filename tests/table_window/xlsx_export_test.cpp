// The Excel export read back by another tool (Python's zipfile): the
// headings with units, the number formats, the check colours, and an
// existing file kept when the export cannot be written.
#include <QFile>
#include <QLineEdit>
#include <QProcess>

#include "table_fixture.h"

namespace gaspipe::table::test {
namespace {

using XlsxExportTest = TableTest;

// The workbook's parts, one per line: "name: text".
QString ReadWorkbook(const QString& path) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, zipfile\n"
                                 "z = zipfile.ZipFile(sys.argv[1])\n"
                                 "for n in ('xl/sharedStrings.xml', 'xl/styles.xml', "
                                 "'xl/worksheets/sheet1.xml'):\n"
                                 "    print(n + ': ' + z.read(n).decode('utf-8'))\n"),
                  path});
    python.waitForFinished(30000);
    return QString::fromUtf8(python.readAllStandardOutput());
}

TEST_F(XlsxExportTest, WorkbookHoldsTheTableAsShownAndNeverAHalfFile) {
    if (!QFile::exists(QStringLiteral("/usr/bin/python3"))) GTEST_SKIP() << "no python3";
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/courtyard-medium.gpcase")));
    auto* limit = window_->findChild<QLineEdit*>(QStringLiteral("maxVelocity"));
    limit->setText(QStringLiteral("8"));  // 干1 runs at 8.09 m/s
    emit limit->editingFinished();
    const QString path = dir_.filePath(QStringLiteral("table.xlsx"));
    ASSERT_TRUE(window_->exportXlsx(path));
    const QString book = ReadWorkbook(path);
    for (const char* part :
         {"累计压降\n(kPa)", "起点压力\n(MPa，表压)", "最大流速\n(m/s)", "示例：小区中压庭院管网",
          "最大流速 8.09 m/s 超过限值 8 m/s", "formatCode=\"0.00000\"", "rgb=\"FFF4C2C2\""})
        EXPECT_TRUE(book.contains(QString::fromUtf8(part))) << part;
    // Appendix method at high pressure: no Σζ, local-loss, roughness or
    // additional-head column.
    EXPECT_FALSE(book.contains(QStringLiteral("附加压头")));
    EXPECT_FALSE(book.contains(QStringLiteral("Σζ")));

    // A directory in the way: refused, and the previous workbook stays.
    const QString blocked = dir_.filePath(QStringLiteral("sub"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("sub/table.xlsx")));
    EXPECT_FALSE(window_->exportXlsx(blocked + QStringLiteral("/table.xlsx")));
    EXPECT_EQ(boxes_.size(), 1);
    EXPECT_EQ(ReadWorkbook(path), book);
}

}  // namespace
}  // namespace gaspipe::table::test
