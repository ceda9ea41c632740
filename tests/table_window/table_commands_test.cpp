// The header form, row commands, sizing, CSV import and the question on
// close: each one undoable step that a designer can check by hand.
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QUndoStack>

#include "segment_columns.h"
#include "sheet_export.h"
#include "table_fixture.h"

namespace gaspipe::table::test {
namespace {

using TableCommandsTest = TableTest;

TEST_F(TableCommandsTest, HeaderFieldsAreUndoableAndFollowTheMainWindowsDefaults) {
    Show(WorkedExampleLine());
    auto* gas = window_->findChild<QComboBox*>(QStringLiteral("gasKind"));
    gas->setCurrentIndex(2);
    emit gas->activated(2);
    EXPECT_EQ(window_->document()->data().gas.density, 2.38);
    EXPECT_EQ(window_->document()->data().gas.viscosity, 3.25);
    EXPECT_EQ(Stack()->count(), 1) << "the gas and its properties are one step";

    // Pn = 2000 Pa allows 0.75 × 2000 + 150 = 1650 Pa.
    auto* pn = window_->findChild<QLineEdit*>(QStringLiteral("appliancePressure"));
    pn->setText(QStringLiteral("2000"));
    emit pn->editingFinished();
    auto* maxDrop = window_->findChild<QLineEdit*>(QStringLiteral("maxDrop"));
    EXPECT_TRUE(maxDrop->text().isEmpty());
    EXPECT_TRUE(maxDrop->placeholderText().contains(QStringLiteral("1650")));
    window_->findChild<QPushButton*>(QStringLiteral("applyAllowedDrop"))->click();
    EXPECT_EQ(maxDrop->text(), QStringLiteral("1650"));

    // A refused value says why and shows the value in force again.
    auto* density = window_->findChild<QLineEdit*>(QStringLiteral("gasDensity"));
    density->setText(QStringLiteral("-1"));
    emit density->editingFinished();
    EXPECT_EQ(density->text(), Dec("2.38"));
    EXPECT_TRUE(window_->statusBar()->currentMessage().startsWith(QStringLiteral("密度")));

    // High/medium pressure: the main window's inlet, absolute units, no
    // additional head column.
    auto* cls = window_->findChild<QComboBox*>(QStringLiteral("pressureClass"));
    cls->setCurrentIndex(1);
    emit cls->activated(1);
    EXPECT_EQ(window_->document()->data().source.pressure, 5);
    EXPECT_TRUE(Model()->headerData(kInlet, Qt::Horizontal).toString().contains("MPa"));
    EXPECT_TRUE(View()->isColumnHidden(kAdditionalHead));
    for (int i = 0; i < 4; ++i) Action("actUndo")->trigger();
    EXPECT_TRUE(window_->document()->data() == WorkedExampleLine());
    EXPECT_FALSE(View()->isColumnHidden(kAdditionalHead));
}

TEST_F(TableCommandsTest, RowsAddDuplicateMoveAndDeleteWithTheirNodes) {
    network::Case c = WorkedExampleLine();
    c.segments[1].flow.reset();
    c.nodes.push_back({"C", 0, 4, {}, {}, {}, {}});
    Show(c);
    Action("actAddRow")->trigger();  // continues from the last row's end
    EXPECT_EQ(QStringList({Cell(2, kId), Cell(2, kFrom), Cell(2, kNominal)}),
              QStringList({"3", "C", "50"}));

    View()->setCurrentIndex(View()->model()->index(1, kId));
    Action("actDuplicateRow")->trigger();  // a second branch to a 4 m³/h appliance
    ASSERT_EQ(Model()->rowCount(), 4);
    EXPECT_EQ(Cell(2, kFrom), QStringLiteral("B"));
    EXPECT_EQ(Cell(2, kLoad), QStringLiteral("4"));
    EXPECT_EQ(Cell(2, kFlow), QStringLiteral("4"));

    View()->setCurrentIndex(View()->model()->index(2, kId));
    Action("actMoveUp")->trigger();
    EXPECT_EQ(Cell(1, kLoad), QStringLiteral("4"));
    EXPECT_EQ(View()->currentIndex().row(), 1);

    // Deleting the copy takes its end node along; the original's stays.
    Action("actDeleteRow")->trigger();
    EXPECT_EQ(window_->document()->data().nodes.size(), 1u);
    EXPECT_TRUE(window_->document()->Problems().isEmpty());
    for (int i = 0; i < 4; ++i) Action("actUndo")->trigger();
    EXPECT_TRUE(window_->document()->data() == c);
}

TEST_F(TableCommandsTest, ARingIsNamedAndMarkedUntilItIsUndone) {
    Show(WorkedExampleLine());
    Type(0, kFrom, QStringLiteral("C"));  // A→B→C→B: a ring
    auto* banner = window_->findChild<QLabel*>(QStringLiteral("problemBanner"));
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(banner->text().contains(QStringLiteral("环")));
    EXPECT_NE(Background(0, kFrom), Background(0, kLength));
    EXPECT_TRUE(Cell(0, kOutlet).isEmpty());
    Action("actUndo")->trigger();
    EXPECT_FALSE(banner->isVisible());
    EXPECT_FALSE(Cell(1, kOutlet).isEmpty());
}

TEST_F(TableCommandsTest, KeysOfASpreadsheet) {
    Show(WorkedExampleLine());
    // Delete empties a cell: the flow then comes from the loads downstream.
    View()->setFocus();
    View()->setCurrentIndex(View()->model()->index(1, kFlow));
    QTest::keyClick(View(), Qt::Key_Delete);
    EXPECT_TRUE(Model()->index(1, kFlow).data(SegmentModel::DerivedRole).toBool());
    EXPECT_EQ(Cell(1, kFlow), QStringLiteral("0"));
    // Typing over a cell replaces what it held.
    View()->setCurrentIndex(View()->model()->index(1, kLength));
    QTest::keyClicks(View(), QStringLiteral("7"));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Cell(1, kLength), QStringLiteral("7"));
}

TEST_F(TableCommandsTest, WholeLineSizingIsOneStepThatMeetsTheLimits) {
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/building-riser.gpcase")));
    const network::Case before = window_->document()->data();
    auto* limit = window_->findChild<QLineEdit*>(QStringLiteral("maxVelocity"));
    limit->setText(QStringLiteral("1.5"));  // segment 1 runs at about 2 m/s in DN25
    emit limit->editingFinished();
    ASSERT_FALSE(window_->document()->network().AllChecksHold());
    Action("actSizeLine")->trigger();
    EXPECT_EQ(Stack()->count(), 2);
    EXPECT_TRUE(window_->document()->network().AllChecksHold());
    EXPECT_NE(window_->document()->data().segments[0].nominal, before.segments[0].nominal);
    Action("actUndo")->trigger();
    EXPECT_EQ(window_->document()->data().segments, before.segments);
}

TEST_F(TableCommandsTest, CsvImportIsOneStepAndABadFileChangesNothing) {
    Show(WorkedExampleLine());
    const QString good = dir_.filePath(QStringLiteral("rows.csv"));
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "\xEF\xBB\xBFid,from,to,material,nominal,inner_diameter,length,flow,to_load\n"
        "干1,A,J1,PE管,110,,80,,0\n干2,J1,J2,PE管,90,,60,,35\n");
    file.close();
    window_->setCase([] {
        network::Case c = WorkedExampleLine();
        c.nodes.push_back({"B", 2, 1, {}, {}, {}, {}});  // on no imported segment: dropped
        return c;
    }());
    ASSERT_TRUE(window_->importCsv(good));
    EXPECT_TRUE(window_->document()->Problems().isEmpty())
        << window_->document()->Problems().join('\n').toStdString();
    EXPECT_EQ(QStringList({Cell(1, kId), Cell(1, kInner), Cell(0, kFlow)}),
              QStringList({"干2", Dec("73.6"), "35"}));
    EXPECT_EQ(Stack()->count(), 1);

    const QString bad = dir_.filePath(QStringLiteral("bad.csv"));
    QFile badFile(bad);
    ASSERT_TRUE(badFile.open(QIODevice::WriteOnly));
    badFile.write("id,from,to,material,nominal,length\n1,A,B,钢管,50,很长\n");
    badFile.close();
    EXPECT_FALSE(window_->importCsv(bad));
    EXPECT_EQ(boxes_.size(), 1);
    EXPECT_EQ(Model()->rowCount(), 2);
    EXPECT_EQ(Stack()->count(), 1);
    Action("actUndo")->trigger();
    EXPECT_EQ(window_->document()->data().nodes.size(), 1u);
}

TEST_F(TableCommandsTest, ClosingAsksAboutUnsavedChanges) {
    Show(WorkedExampleLine());
    window_->close();
    EXPECT_FALSE(window_->isVisible()) << "nothing changed, nothing asked";
    EXPECT_TRUE(boxes_.isEmpty());
    delete window_.data();
    Show(WorkedExampleLine());
    Type(0, kLength, QStringLiteral("30"));
    answers_ = {QMessageBox::Cancel};
    window_->close();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(boxes_.size(), 1);
    ASSERT_TRUE(window_->saveFile(dir_.filePath(QStringLiteral("line.gpcase"))));
    window_->close();
    EXPECT_FALSE(window_->isVisible()) << "saved: nothing asked";
    EXPECT_EQ(boxes_.size(), 1);
}

}  // namespace
}  // namespace gaspipe::table::test

namespace gaspipe::table::test {
namespace {

TEST_F(TableCommandsTest, EditsThatEndWhereTheyBeganLeaveNoStep) {
    Show(WorkedExampleLine());
    auto* density = window_->findChild<QLineEdit*>(QStringLiteral("gasDensity"));
    for (const char* text : {"0.8", "0.7247"}) {
        density->setText(Dec(text));
        emit density->editingFinished();
    }
    EXPECT_EQ(Stack()->count(), 0);
    EXPECT_FALSE(window_->isWindowModified());

    // A load typed twice on a node not yet listed is one step, and undoing
    // it leaves the node list as it was.
    Type(0, kLoad, QStringLiteral("2"));
    Type(0, kLoad, QStringLiteral("3"));
    EXPECT_EQ(Stack()->count(), 1);
    Action("actUndo")->trigger();
    EXPECT_TRUE(window_->document()->data().nodes.empty());
}

// Each cell typed is its own step, also several cells of one row in turn;
// the same cell typed again right after is still one.
TEST_F(TableCommandsTest, EveryCellTypedIsOneStep) {
    Show(WorkedExampleLine());
    Type(0, kLength, QStringLiteral("30"));
    Type(0, kFlow, QStringLiteral("40"));
    Type(0, kFlow, QStringLiteral("45"));
    EXPECT_EQ(Stack()->count(), 2);
    Action("actUndo")->trigger();
    EXPECT_EQ(QStringList({Cell(0, kLength), Cell(0, kFlow)}), QStringList({"30", "50"}));
    Action("actUndo")->trigger();
    EXPECT_EQ(Cell(0, kLength), QStringLiteral("25"));
    EXPECT_EQ(Stack()->index(), 0);

    // A simultaneity factor may be 1 exactly: taken, and the row computes.
    Type(1, kSimultaneity, QStringLiteral("1"));
    EXPECT_EQ(Cell(1, kSimultaneity), QStringLiteral("1"));
    EXPECT_EQ(Stack()->count(), 1);
    EXPECT_FALSE(Cell(1, kOutlet).isEmpty()) << Cell(1, kOutlet, Qt::ToolTipRole).toStdString();
}

// Rows 1 and 2 copied at once: A→B (25 m) gets its copy below it, then
// B→C (10 m) and its copy.
TEST_F(TableCommandsTest, EachCopyLandsBelowItsOwnOriginal) {
    Show(WorkedExampleLine());
    View()->setCurrentIndex(View()->model()->index(0, kId));
    View()->selectionModel()->select(View()->model()->index(1, kId), QItemSelectionModel::Select);
    Action("actDuplicateRow")->trigger();
    ASSERT_EQ(Model()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const bool copy = row % 2 == 1;
        const bool first = row < 2;
        SCOPED_TRACE(row);
        EXPECT_EQ(Cell(row, kFrom), first ? QStringLiteral("A") : QStringLiteral("B"));
        EXPECT_EQ(Cell(row, kLength), first ? QStringLiteral("25") : QStringLiteral("10"));
        if (!copy) {
            EXPECT_EQ(Cell(row, kId), first ? QStringLiteral("1") : QStringLiteral("2"));
        }
    }
    EXPECT_EQ(Stack()->count(), 1);
}

TEST_F(TableCommandsTest, PasteInASortedTableLandsOnTheRowsShownAndSkipsResults) {
    Show(WorkedExampleLine());
    View()->sortByColumn(kId, Qt::DescendingOrder);  // "2" above "1"
    View()->setCurrentIndex(View()->model()->index(0, kLength));
    QApplication::clipboard()->setText(QStringLiteral("11\n12\n"));
    Action("actPaste")->trigger();
    EXPECT_EQ(QStringList({Cell(1, kLength), Cell(0, kLength)}), QStringList({"11", "12"}));

    View()->setCurrentIndex(View()->model()->index(0, kFrictionFactor - 1));  // the regime
    QApplication::clipboard()->setText(QStringLiteral("x\ty\n"));
    answers_ = {QMessageBox::Yes};
    Action("actPaste")->trigger();
    EXPECT_TRUE(
        window_->statusBar()->currentMessage().startsWith(QStringLiteral("2 个单元格未改变")));
    EXPECT_EQ(Stack()->count(), 1);
}

TEST_F(TableCommandsTest, ExportedRowsImportAsTheyWereAndOpenedFilesAreRecent) {
    Show();
    const QString example = QStringLiteral(GASPIPE_EXAMPLES "/building-riser.gpcase");
    ASSERT_TRUE(window_->openFile(example));
    const network::Case opened = window_->document()->data();
    const QString csv = dir_.filePath(QStringLiteral("rows.csv"));
    ASSERT_TRUE(window_->exportSegmentsCsv(csv));
    window_->setCase(TableWindow::NewCase());
    ASSERT_TRUE(window_->importCsv(csv));
    EXPECT_EQ(window_->document()->data().segments, opened.segments);

    auto* recent = window_->findChild<QMenu*>(QStringLiteral("recentMenu"));
    emit recent->aboutToShow();
    ASSERT_FALSE(recent->actions().isEmpty());
    EXPECT_EQ(recent->actions().front()->toolTip(), QFileInfo(example).absoluteFilePath());
}

// The File menu's sheet: the line as the window solved it, or a message
// when the line cannot be solved. Its file dialog starts in the case's
// folder, not where the last sheet went.
TEST_F(TableCommandsTest, SheetOfTheLineShownOrAMessage) {
    SetSheetSettingsFile(dir_.filePath(QStringLiteral("sheet.ini")));
    const QString file = dir_.filePath(QStringLiteral("line.html"));
    QString suggested;
    const SheetFileChooser previous = SetSheetFileChooser([&](QWidget*, const QString& s) {
        suggested = s;
        return file;
    });
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/courtyard-medium.gpcase")));
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    Action("actExportSheet")->trigger();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(written.readAll());
    for (const char* id : {"干1", "支6", "计算书"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(id))) << id;
    EXPECT_TRUE(boxes_.isEmpty());
    EXPECT_EQ(QFileInfo(suggested).absolutePath(),
              QFileInfo(QStringLiteral(GASPIPE_EXAMPLES)).absoluteFilePath());

    // A second source: nothing to write, and the designer is told.
    network::Case twoSources = window_->document()->data();
    twoSources.segments.push_back(twoSources.segments.back());
    twoSources.segments.back().id = "环";
    twoSources.segments.back().from = "别处";
    window_->setCase(twoSources);
    Action("actExportSheet")->trigger();
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_.front().contains(QStringLiteral("无法生成计算书")));
    SetSheetFileChooser(previous);
    SetSheetSettingsFile({});
}

}  // namespace
}  // namespace gaspipe::table::test
