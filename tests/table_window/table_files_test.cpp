// What the window writes, it and gaspipe-calc open again, and nothing typed is
// lost: a value still in its editor is taken in before a save, an export or
// closing; fields keep to the case file's limits; a case the reader would
// refuse is not saved; what cannot be opened or imported is said in Chinese.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QUndoStack>

#include "case_file.h"
#include "segment_columns.h"
#include "table_fixture.h"

namespace gaspipe::table::test {
namespace {

using TableFilesTest = TableTest;

// Types into a field without leaving it, as before pressing Ctrl+S.
void TypeWithoutLeaving(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

QString Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST_F(TableFilesTest, AValueStillBeingTypedIsSavedExportedAndAskedAbout) {
    Show(WorkedExampleLine());
    const QString path = dir_.filePath(QStringLiteral("line.gpcase"));
    ASSERT_TRUE(window_->saveFile(path));

    // 2500 typed into the source pressure, then Ctrl+S at once.
    auto* pressure = window_->findChild<QLineEdit*>(QStringLiteral("sourcePressure"));
    TypeWithoutLeaving(pressure, QStringLiteral("2500"));
    Action("actSave")->trigger();
    EXPECT_EQ(network::LoadCase(path.toStdString()).value->source.pressure, 2500);
    EXPECT_EQ(Number(0, kInlet), 2500) << "the table computes with it";
    EXPECT_FALSE(window_->isWindowModified());

    // A value the field refuses is no save: the file stays, the reason shows.
    auto* density = window_->findChild<QLineEdit*>(QStringLiteral("gasDensity"));
    TypeWithoutLeaving(density, QStringLiteral("abc"));
    Action("actSave")->trigger();
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains(QStringLiteral("不是数字")));
    EXPECT_EQ(network::LoadCase(path.toStdString()).value->gas.density, 0.7247);

    // A length still in the cell's editor goes into an export...
    auto typeInCell = [this](int column, const QString& text) {
        View()->setFocus();
        View()->setCurrentIndex(View()->model()->index(0, column));
        QTest::keyClick(View(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
    };
    typeInCell(kLength, QStringLiteral("40"));
    const QString csv = dir_.filePath(QStringLiteral("rows.csv"));
    ASSERT_TRUE(window_->exportSegmentsCsv(csv));
    EXPECT_TRUE(Slurp(csv).contains(QStringLiteral("\r\n1,A,B,钢管,50,50,40,50,")))
        << Slurp(csv).toStdString();

    // ... and closing asks about it; Cancel keeps the window and the value.
    Action("actUndo")->trigger();
    EXPECT_FALSE(window_->isWindowModified());
    typeInCell(kFlow, QStringLiteral("45"));
    answers_ = {QMessageBox::Cancel};
    EXPECT_FALSE(window_->close());
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_.front().contains(QStringLiteral("是否保存修改")))
        << boxes_.front().toStdString();
    EXPECT_EQ(Cell(0, kFlow), QStringLiteral("45"));
}

TEST_F(TableFilesTest, FieldsKeepToTheCaseFileLimitsAndAnUnreadableCaseIsNotSaved) {
    Show(WorkedExampleLine());
    // 5 000 characters pasted into 工程名称: cut to 4 096 bytes, and said so;
    // Chinese counts three bytes a character.
    auto* name = window_->findChild<QLineEdit*>(QStringLiteral("projectName"));
    name->setFocus();
    QApplication::clipboard()->setText(QString(5000, QLatin1Char('x')));
    name->paste();
    EXPECT_EQ(name->text().size(), 4096);
    EXPECT_TRUE(
        window_->statusBar()->currentMessage().contains(QStringLiteral("工程名称：最多 4096 字节")))
        << window_->statusBar()->currentMessage().toStdString();
    auto* number = window_->findChild<QLineEdit*>(QStringLiteral("projectNumber"));
    number->setFocus();
    QApplication::clipboard()->setText(QString(2000, QChar(0x7BA1)));  // 管
    number->paste();
    EXPECT_EQ(number->text().toUtf8().size(), 4095);
    QTest::keyClick(number, Qt::Key_Tab);

    // A 300-byte id typed into a cell: cut to 256.
    Type(0, kId, QString(300, QLatin1Char('a')));
    EXPECT_EQ(Cell(0, kId), QString(256, QLatin1Char('a')));
    // An id with an escape pasted into a cell is refused, with the reason.
    View()->setCurrentIndex(View()->model()->index(1, kTo));
    QApplication::clipboard()->setText(QStringLiteral("C\x1b[31m"));
    Action("actPaste")->trigger();
    EXPECT_EQ(Cell(1, kTo), QStringLiteral("C"));
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains(QStringLiteral("控制字符")));

    const QString path = dir_.filePath(QStringLiteral("limits.gpcase"));
    ASSERT_TRUE(window_->saveFile(path));
    const network::CaseReadResult read = network::LoadCase(path.toStdString());
    ASSERT_TRUE(read.value) << read.error;
    EXPECT_EQ(read.value->project.name, std::string(4096, 'x'));
    EXPECT_EQ(read.value->segments[0].id, std::string(256, 'a'));

    // A case from elsewhere that the reader would refuse is not written.
    network::Case c = WorkedExampleLine();
    c.segments[1].from = std::string(300, 'B');
    window_->setCase(c);
    const QString other = dir_.filePath(QStringLiteral("other.gpcase"));
    boxes_.clear();
    EXPECT_FALSE(window_->saveFile(other));
    EXPECT_FALSE(QFile::exists(other));
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_.front(),
              QStringLiteral("保存文件|未保存“other.gpcase”：保存后将无法再打开，请先修改：\n"
                             "第 2 个管段（编号“2”）：起点（from）超过 256 字节"));
}

TEST_F(TableFilesTest, WhatCannotBeOpenedOrImportedIsSaidInChinese) {
    Show(WorkedExampleLine());
    const QString path = dir_.filePath(QStringLiteral("twice.gpcase"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"({"format":"gaspipe-case","version":1,
"gas":{"kind":"天然气","density":0.7247,"viscosity":14.5,"temperature":288,"density":0.8}})");
    file.close();
    const std::pair<QString, QString> files[] = {
        {path,
         QStringLiteral("第 2 行第 73 列：燃气：密度（density）出现了两次，无法确定取哪一个")},
        {dir_.filePath(QStringLiteral("missing.gpcase")), QStringLiteral("文件不存在")},
        {dir_.path(), QStringLiteral("不是普通文件（而是文件夹、管道或设备）")},
    };
    for (const auto& [file, says] : files) {
        boxes_.clear();
        EXPECT_FALSE(window_->openFile(file));
        ASSERT_EQ(boxes_.size(), 1);
        EXPECT_EQ(
            boxes_.front(),
            QStringLiteral("打开文件|无法打开“%1”：\n%2").arg(QFileInfo(file).fileName(), says));
    }

    const QString csv = dir_.filePath(QStringLiteral("rows.csv"));
    QFile rows(csv);
    ASSERT_TRUE(rows.open(QIODevice::WriteOnly));
    rows.write("id,from,to,material,nominal,length\n1,A,B,钢管,50,ten\n");
    rows.close();
    boxes_.clear();
    EXPECT_FALSE(window_->importCsv(csv));
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_.front(), QStringLiteral("导入 CSV|无法导入“rows.csv”，表格未改动：\n"
                                             "第 2 行“length”列：“ten”不是数字"));
}

// Choosing the appendix method drops the other method's options, which the
// case file would refuse with it: the line stays solved.
TEST_F(TableFilesTest, TheAppendixMethodTakesNoOptionsOfTheOther) {
    network::Case c = WorkedExampleLine();
    c.method.method = network::Method::Gb50028;
    c.method.localLoss = 0.05;
    c.method.roughness.push_back({"钢管", 0.2});
    Show(c);
    auto* method = window_->findChild<QComboBox*>(QStringLiteral("method"));
    method->setCurrentIndex(1);
    emit method->activated(1);
    const network::Case& now = window_->document()->data();
    EXPECT_EQ(now.method.method, network::Method::Appendix);
    EXPECT_EQ(now.method.localLoss, 0.1);
    EXPECT_TRUE(now.method.roughness.empty());
    EXPECT_FALSE(window_->findChild<QLabel*>(QStringLiteral("problemBanner"))->isVisible());
    Action("actUndo")->trigger();
    EXPECT_EQ(window_->document()->data().method.localLoss, 0.05);

    // A file that still holds one says so in Chinese; choosing the method
    // again clears it.
    network::Case stored = WorkedExampleLine();
    stored.method.localLoss = 0.3;
    window_->setCase(stored);
    auto* banner = window_->findChild<QLabel*>(QStringLiteral("problemBanner"));
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->text().contains(QStringLiteral("附录公式不用计算方法的局部阻力")))
        << banner->text().toStdString();
    emit method->activated(1);
    EXPECT_FALSE(banner->isVisible());
    EXPECT_EQ(window_->document()->data().method.localLoss, 0.1);
}

}  // namespace
}  // namespace gaspipe::table::test
