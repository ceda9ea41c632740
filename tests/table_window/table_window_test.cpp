// The table window as a designer uses it: typing and recalculation, failed
// checks, undo and redo, pasting, files, the chart. Expected numbers are the
// main window's worked examples, or relations a designer would check by hand.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>

#include <set>

#include "case_file.h"
#include "chart_panel.h"
#include "segment_columns.h"
#include "table_fixture.h"

namespace gaspipe::table::test {
namespace {

class TableWindowTest : public TableTest {
  protected:
    // The columns of a row shown in the colour of a failed check.
    std::set<int> FailedColumns(int row) const {
        std::set<int> failed;
        for (int column = 0; column < kColumnCount; ++column)
            if (Background(row, column) == QColor(0xF4, 0xC2, 0xC2)) failed.insert(column);
        return failed;
    }
    QColor Foreground(int row, int column) const {
        return Model()->index(row, column).data(Qt::ForegroundRole).value<QBrush>().color();
    }
};

TEST_F(TableWindowTest, TypingRecalculatesDownstreamAndUndoRedoFollowEveryEdit) {
    Show(WorkedExampleLine());
    Type(0, kLength, QStringLiteral("50"));
    EXPECT_EQ(Cell(0, kLength), QStringLiteral("50"));
    EXPECT_EQ(Cell(0, kDrop), Dec("606.6"));
    EXPECT_EQ(Cell(0, kOutlet), Dec("2393.4"));
    EXPECT_EQ(Cell(0, kMaxVelocity), Dec("7.29"));
    EXPECT_EQ(Cell(1, kInlet), Cell(0, kOutlet)) << "the segment below starts where this one ends";
    EXPECT_EQ(View()->currentIndex().row(), 1) << "Enter moves down";
    EXPECT_TRUE(window_->isWindowModified());

    // A second edit of the same cell is the same undo step; text that is no
    // number changes nothing and says why.
    Type(0, kLength, QStringLiteral("40"));
    Type(0, kLength, QStringLiteral("abc"));
    EXPECT_TRUE(window_->statusBar()->currentMessage().contains(QStringLiteral("不是数字")));
    EXPECT_EQ(Stack()->count(), 1);
    const QString outletAt40 = Cell(0, kOutlet);
    const QString belowAt40 = Cell(1, kOutlet);
    Action("actUndo")->trigger();
    EXPECT_EQ(Cell(0, kLength), QStringLiteral("25"));
    EXPECT_GT(Number(1, kOutlet), belowAt40.toDouble()) << "the shorter pipe loses less";
    EXPECT_FALSE(window_->isWindowModified());
    Action("actRedo")->trigger();
    EXPECT_EQ(Cell(0, kOutlet), outletAt40);
    EXPECT_EQ(Cell(1, kOutlet), belowAt40);

    // A new nominal diameter drops the inner diameter typed for the old pipe:
    // the pipe file's value is then in use, shown as such.
    EXPECT_TRUE(Model()->setData(Model()->index(0, kNominal), QStringLiteral("65")));
    EXPECT_EQ(Cell(0, kInner), Dec("68.1"));
    EXPECT_TRUE(Model()->index(0, kInner).data(SegmentModel::DerivedRole).toBool());
    EXPECT_TRUE(Cell(0, kInner, Qt::EditRole).isEmpty());
    Action("actUndo")->trigger();
    EXPECT_EQ(Cell(0, kInner), QStringLiteral("50"));
}

TEST_F(TableWindowTest, FailedChecksAreColouredExplainedAndGreyWhatLiesBelow) {
    network::Case c = WorkedExampleLine();
    c.segments[0].length = 50;
    c.limits.maxVelocity = 7;  // the worked example reaches 7.286 m/s
    Show(c);
    const QColor plain = Background(0, kMeanVelocity);
    EXPECT_NE(Background(0, kMaxVelocity), plain);
    const QString tip = Cell(0, kMaxVelocity, Qt::ToolTipRole);
    EXPECT_TRUE(tip.contains(Dec("7.29")) && tip.contains(QStringLiteral("超过限值 7")))
        << tip.toStdString();
    View()->setCurrentIndex(View()->model()->index(0, kId));
    EXPECT_EQ(window_->statusBar()->currentMessage(), tip);
    EXPECT_TRUE(window_->findChild<QLabel*>(QStringLiteral("summaryLabel"))
                    ->text()
                    .contains(QStringLiteral("2 段校核不满足")));

    // Both rows run above 7 m/s: the maximum velocity is marked, not the
    // mean one, nor the drops.
    EXPECT_EQ(FailedColumns(0), std::set<int>{kMaxVelocity});
    EXPECT_EQ(FailedColumns(1), std::set<int>{kMaxVelocity});

    // A pipe far too small: its row is marked, the row below is greyed and
    // names the segment where it went wrong; the failed row itself is not.
    Type(0, kInner, QStringLiteral("5"));
    EXPECT_NE(Background(0, kOutlet), plain);
    EXPECT_TRUE(Cell(0, kOutlet).isEmpty());
    EXPECT_TRUE(Cell(1, kInlet).isEmpty());
    const QColor grey(0x90, 0x90, 0x90);
    EXPECT_EQ(Foreground(1, kId), grey);
    EXPECT_NE(Foreground(0, kId), grey);
    EXPECT_NE(Foreground(0, kLength), grey);
    EXPECT_TRUE(Cell(1, kOutlet, Qt::ToolTipRole).contains(QStringLiteral("“1”")));
}

// 50 m lose 606.63 Pa (the worked example), the 10 m below 121.26 Pa (the
// routine's passes redone by hand from 2393.37 Pa): 727.89 Pa from the
// source. A limit of 700 Pa fails the lower row only, in its cumulative drop
// and the outlet it leaves, and nothing else.
TEST_F(TableWindowTest, ADropLimitMarksTheCumulativeDropWhereItIsExceeded) {
    network::Case c = WorkedExampleLine();
    c.segments[0].length = 50;
    Show(c);
    auto* maxDrop = window_->findChild<QLineEdit*>(QStringLiteral("maxDrop"));
    maxDrop->setText(QStringLiteral("700"));
    emit maxDrop->editingFinished();
    ASSERT_EQ(Cell(1, kCumulativeDrop), Dec("727.9"));
    EXPECT_EQ(FailedColumns(0), std::set<int>{});
    EXPECT_EQ(FailedColumns(1), (std::set<int>{kOutlet, kCumulativeDrop}));
    EXPECT_TRUE(Cell(1, kCumulativeDrop, Qt::ToolTipRole).contains(QStringLiteral("700")))
        << Cell(1, kCumulativeDrop, Qt::ToolTipRole).toStdString();
    maxDrop->setText(QStringLiteral("730"));
    emit maxDrop->editingFinished();
    EXPECT_EQ(FailedColumns(1), std::set<int>{});
}

TEST_F(TableWindowTest, PasteIsOneStepFillsASelectionAndAsksBeforeCuttingABlock) {
    Show(WorkedExampleLine());
    View()->setCurrentIndex(View()->model()->index(0, kLength));
    QApplication::clipboard()->setText(QStringLiteral("50\t40\r\n20\t30\r\n"));
    Action("actPaste")->trigger();
    EXPECT_EQ(QStringList({Cell(0, kLength), Cell(0, kFlow), Cell(1, kLength), Cell(1, kFlow)}),
              QStringList({"50", "40", "20", "30"}));
    EXPECT_EQ(Stack()->count(), 1);
    Action("actUndo")->trigger();
    EXPECT_EQ(QStringList({Cell(0, kLength), Cell(1, kFlow)}), QStringList({"25", "50"}));

    // Two rows from the second row do not fit: refused, then cut to the table.
    View()->setCurrentIndex(View()->model()->index(1, kLength));
    answers_ = {QMessageBox::No, QMessageBox::Yes};
    Action("actPaste")->trigger();
    EXPECT_EQ(Cell(1, kLength), QStringLiteral("10"));
    Action("actPaste")->trigger();
    EXPECT_EQ(QStringList({Cell(1, kLength), Cell(1, kFlow)}), QStringList({"50", "40"}));
    EXPECT_EQ(boxes_.size(), 2);

    // One value fills every selected cell; copy gives what the cells show.
    View()->selectionModel()->clearSelection();
    for (int row : {0, 1})
        View()->selectionModel()->select(View()->model()->index(row, kFlow),
                                         QItemSelectionModel::Select);
    QApplication::clipboard()->setText(QStringLiteral("12.5\n"));
    Action("actPaste")->trigger();
    EXPECT_EQ(QStringList({Cell(0, kFlow), Cell(1, kFlow)}),
              QStringList({Dec("12.5"), Dec("12.5")}));
    Action("actCopy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), Dec("12.5\n12.5\n"));
}

TEST_F(TableWindowTest, SortingOrdersTheViewOnlyAndRowCommandsUndo) {
    Show(WorkedExampleLine());
    View()->sortByColumn(kId, Qt::DescendingOrder);
    EXPECT_EQ(View()->model()->index(0, kId).data().toString(), QStringLiteral("2"));
    EXPECT_EQ(window_->document()->data().segments[0].id, "1") << "the case keeps its order";
    EXPECT_FALSE(Action("actMoveUp")->isEnabled());
    Action("actUnsort")->trigger();

    View()->setCurrentIndex(View()->model()->index(0, kId));
    const QString outlet = Cell(1, kOutlet);
    Action("actInsertRow")->trigger();  // a new branch from B, below the first row
    ASSERT_EQ(Model()->rowCount(), 3);
    EXPECT_EQ(Cell(1, kFrom), QStringLiteral("B"));
    Action("actDeleteRow")->trigger();
    EXPECT_EQ(Model()->rowCount(), 2);
    EXPECT_EQ(Cell(1, kOutlet), outlet);
    Action("actUndo")->trigger();
    Action("actUndo")->trigger();
    EXPECT_EQ(Model()->rowCount(), 2);
    EXPECT_EQ(window_->document()->data().nodes, WorkedExampleLine().nodes);
}

TEST_F(TableWindowTest, SavedCaseOpensAsItWasAndADamagedFileOpensNothing) {
    Show(WorkedExampleLine());
    Type(0, kLoad, Dec("2.5"));  // a node load, kept beside the segments
    const QString path = dir_.filePath(QStringLiteral("line.gpcase"));
    ASSERT_TRUE(window_->saveFile(path));
    EXPECT_FALSE(window_->isWindowModified());
    const network::Case saved = window_->document()->data();

    Type(0, kLength, QStringLiteral("99"));
    answers_ = {QMessageBox::Discard};
    ASSERT_TRUE(window_->openFile(path));
    EXPECT_TRUE(window_->document()->data() == saved);
    EXPECT_EQ(Cell(0, kLoad), Dec("2.5"));
    EXPECT_EQ(Stack()->count(), 0);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    const QString damaged = dir_.filePath(QStringLiteral("damaged.gpcase"));
    QFile out(damaged);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(whole.left(whole.size() / 2));
    out.close();
    Type(0, kLength, QStringLiteral("30"));
    EXPECT_FALSE(window_->openFile(damaged));
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_.front().contains(QStringLiteral("damaged.gpcase")) &&
                boxes_.front().contains(QStringLiteral("文件内容不是有效的 JSON")) &&
                boxes_.front().contains(QStringLiteral("行第")))
        << boxes_.front().toStdString();
    EXPECT_EQ(Cell(0, kLength), QStringLiteral("30")) << "the open document is untouched";
    EXPECT_EQ(window_->filePath(), QFileInfo(path).absoluteFilePath());

    // A save that cannot be done keeps the previous file.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_FALSE(window_->saveFile(path));
    ASSERT_EQ(boxes_.size(), 2);
    EXPECT_TRUE(boxes_.back().endsWith(QStringLiteral("原有文件未改动：\n没有权限")))
        << boxes_.back().toStdString();
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_TRUE(*network::LoadCase(path.toStdString()).value == saved);
}

// The riser's first segment carries 12 flats of one stove at 0.7 m³/h: by
// hand from the shipped table, k(12) = 0.54 − 0.06 · 2/5 = 0.516 and
// Q = 0.516 · 12 · 0.7 = 4.334 m³/h.
TEST_F(TableWindowTest, FlowsFromHouseholdsShowTheirArithmetic) {
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/building-riser.gpcase")));
    EXPECT_EQ(Cell(0, kHouseholds), QStringLiteral("12"));
    EXPECT_EQ(Cell(0, kRatedFlow), Dec("0.700"));
    EXPECT_EQ(Cell(0, kFactor), Dec("0.516"));
    EXPECT_EQ(Cell(0, kFlow), Dec("4.334"));
    EXPECT_TRUE(
        Cell(0, kFlow, Qt::ToolTipRole).contains(QStringLiteral("0.516 × 12 × 0.7 = 4.334")))
        << Cell(0, kFlow, Qt::ToolTipRole).toStdString();
    EXPECT_FALSE(View()->isColumnHidden(kHouseholds));
    EXPECT_TRUE(View()->isColumnHidden(kPartDrop)) << "the case gives no parts";
    EXPECT_TRUE(window_->findChild<QLabel*>(QStringLiteral("pressureLevel"))
                    ->text()
                    .startsWith(QStringLiteral("低压")));

    // Three flats at 602 instead of one: 14 below segment 1, k(14) =
    // 0.54 − 0.06 · 4/5 = 0.492, Q = 0.492 · 14 · 0.7 = 4.822 m³/h; 4 below
    // segment 6, k(4) = 0.75, Q = 2.1.
    const int flat = 17, top = 5, first = 0;
    ASSERT_EQ(Cell(flat, kTo), QStringLiteral("602"));
    EXPECT_EQ(Cell(flat, kToAppliances), QStringLiteral("一个双眼灶"));
    EXPECT_EQ(Cell(flat, kToRatedFlow), Dec("0.7"));
    EXPECT_EQ(Model()->index(flat, kToRatedFlow).data(SegmentModel::DerivedRole).toBool(), true);
    Type(flat, kToHouseholds, QStringLiteral("3"));
    EXPECT_EQ(Cell(first, kHouseholds), QStringLiteral("14"));
    EXPECT_EQ(Cell(first, kFactor), Dec("0.492"));
    EXPECT_EQ(Cell(first, kFlow), Dec("4.822"));
    EXPECT_EQ(Cell(top, kFlow), Dec("2.1"));
    Type(flat, kToHouseholds, QStringLiteral("2.5"));  // refused: not a whole number
    EXPECT_EQ(Cell(first, kHouseholds), QStringLiteral("14"));

    // A part typed on the riser foot is inherited by everything above it.
    ASSERT_TRUE(Model()->setData(Model()->index(first, kPart), QStringLiteral("室内")));
    EXPECT_EQ(Cell(top, kPart), QStringLiteral("室内"));
    EXPECT_TRUE(Model()->index(top, kPart).data(SegmentModel::DerivedRole).toBool());
    EXPECT_FALSE(View()->isColumnHidden(kPartDrop));
    // 10 Pa for the indoor pipes: the riser foot alone loses 17.3 Pa.
    auto* indoor = window_->findChild<QLineEdit*>(QStringLiteral("shareIndoor"));
    indoor->setText(QStringLiteral("10"));
    emit indoor->editingFinished();
    ASSERT_EQ(window_->document()->data().limits.shares.size(), 1u);
    EXPECT_EQ(window_->document()->data().limits.shares[0].drop, 10);
    EXPECT_TRUE(window_->document()->network().results()[first].partDropOverLimit);
    EXPECT_NE(Background(first, kPartDrop), Background(first, kDrop));
    indoor->setText(QStringLiteral("50%"));  // of 1650 Pa
    emit indoor->editingFinished();
    EXPECT_EQ(window_->document()->data().limits.shares[0].fraction, 0.5);
    EXPECT_FALSE(window_->document()->network().results()[first].partDropOverLimit);
    for (int undo = 0; undo < 4; ++undo) Action("actUndo")->trigger();
    EXPECT_EQ(Cell(first, kFlow), Dec("4.334"));
    EXPECT_TRUE(Cell(top, kPart).isEmpty());
}

// The designer's hidden columns stay hidden, in every case, until shown
// again from the header's menu.
TEST_F(TableWindowTest, HiddenColumnsAreRememberedPerUser) {
    Settings(dir_.filePath(QStringLiteral("settings.ini")))
        ->setValue(QStringLiteral("hiddenColumns"),
                   QStringList{QStringLiteral("雷诺数"), QStringLiteral("单位长度")});
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/courtyard-medium.gpcase")));
    EXPECT_TRUE(View()->isColumnHidden(kReynolds));
    EXPECT_TRUE(View()->isColumnHidden(kUnitFrictionLoss));
    EXPECT_FALSE(View()->isColumnHidden(kFrictionFactor));
    EXPECT_FALSE(View()->isColumnHidden(kCalculationLength));
}

// The courtyard line starts at 3.01325 × 10⁵ Pa absolute, 0.2000 MPa gauge
// (中压B); 干1 ends at 2.99924 × 10⁵ Pa, 0.1986 MPa gauge.
TEST_F(TableWindowTest, TheDisplayUnitChangesTheTableNotTheCase) {
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/courtyard-medium.gpcase")));
    EXPECT_TRUE(window_->findChild<QLabel*>(QStringLiteral("pressureLevel"))
                    ->text()
                    .startsWith(QStringLiteral("中压B")));
    EXPECT_EQ(Cell(0, kOutlet), Dec("0.1986"));
    EXPECT_TRUE(Model()->headerData(kOutlet, Qt::Horizontal).toString().contains("MPa"));
    const network::Case before = window_->document()->data();
    auto* unit = window_->findChild<QComboBox*>(QStringLiteral("pressureUnit"));
    unit->setCurrentIndex(2);
    emit unit->activated(2);
    EXPECT_EQ(Cell(0, kOutlet), Dec("2.99924"));
    EXPECT_TRUE(Model()->headerData(kOutlet, Qt::Horizontal).toString().contains("10⁵"));
    EXPECT_EQ(window_->document()->data().segments, before.segments);
    EXPECT_EQ(window_->document()->data().display.pressureUnit, network::PressureUnit::BarAbsolute);
    Action("actUndo")->trigger();
    EXPECT_EQ(Cell(0, kOutlet), Dec("0.1986"));
    EXPECT_EQ(window_->document()->data(), before);
}

TEST_F(TableWindowTest, ChartShowsThePathToTheSelectedNodeOrToTheLowestPressure) {
    Show();
    ASSERT_TRUE(window_->openFile(QStringLiteral(GASPIPE_EXAMPLES "/courtyard-medium.gpcase")));
    QTest::qWait(5);
    auto points = [this] {
        const auto series = window_->chartPanel()->chart()->series();
        EXPECT_FALSE(series.isEmpty());
        return static_cast<QLineSeries*>(series.front())->points();
    };
    // By default the end with the lowest outlet pressure of the table. The
    // chart is in 10⁵ Pa absolute, the table in MPa gauge to 4 places.
    auto absolute = [this](int r) { return (Number(r, kOutlet) + 0.101325) * 10; };
    double lowest = 1e9;
    for (int r = 0; r < Model()->rowCount(); ++r) lowest = std::min(lowest, absolute(r));
    EXPECT_NEAR(points().back().y(), lowest, 0.5e-3);

    // 支3 hangs from J2: 80 m + 60 m of main, then its own 20 m.
    const int row = 6;
    ASSERT_EQ(Cell(row, kId), QStringLiteral("支3"));
    View()->setCurrentIndex(View()->model()->index(row, kId));
    QTest::qWait(5);
    const QList<QPointF> path = points();
    ASSERT_EQ(path.size(), 4);
    const double distances[] = {0, 80, 140, 160};
    const double pressures[] = {3.01325, absolute(0), absolute(1), absolute(row)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(path[i].x(), distances[i]);
        EXPECT_NEAR(path[i].y(), pressures[i], 0.5e-3);
    }
    // The button goes back to the lowest pressure.
    window_->findChild<QAbstractButton*>(QStringLiteral("lowestButton"))->click();
    EXPECT_NEAR(points().back().y(), lowest, 0.5e-3);

    const QString png = dir_.filePath(QStringLiteral("profile.png"));
    ASSERT_TRUE(window_->exportChart(png));
    EXPECT_EQ(QImage(png).size(), QSize(1200, 700));
}

}  // namespace
}  // namespace gaspipe::table::test
