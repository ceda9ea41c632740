// "水力计算表…" in the main window's results panel: the table opens with one
// segment holding the window's current inputs.
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include "frm_jbcs_fixture.h"
#include "segment_columns.h"
#include "segment_model.h"
#include "table_window.h"

namespace gaspipe::test {
namespace {

using MainWindowEntryTest = FrmJbcsTest;

TEST_F(MainWindowEntryTest, OpensTheTableWithTheCurrentInputs) {
    Open();  // the start texts: the high/medium worked example on a 100 mm pipe
    QTimer::singleShot(0, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->actions().value(1)->trigger();
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, {5, 5}, Panel()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(Panel(), &event);
    Settle();

    table::TableWindow* table = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<table::TableWindow*>(top); t && t->isVisible()) table = t;
    ASSERT_NE(table, nullptr);
    const network::Case& c = table->document()->data();
    EXPECT_EQ(c.gas.kind, "天然气");
    EXPECT_EQ(c.pressureClass, "高中压");
    EXPECT_EQ(c.method.method, network::Method::Appendix);
    EXPECT_EQ(c.source.pressure, 5);
    ASSERT_EQ(c.segments.size(), 1u);
    EXPECT_EQ(c.segments[0].nominal, "100");
    EXPECT_FALSE(c.segments[0].innerDiameter) << "the pipe file's own inner diameter";
    EXPECT_EQ(c.segments[0].length, 1000);
    EXPECT_EQ(c.segments[0].flow, 500);

    // The window's report of the same inputs: outlet 4.928 (10⁵ Pa absolute),
    // shown in MPa gauge: 0.4928 − 0.101325 = 0.3915; velocities 3.804 / 3.834.
    const auto* model = table->segmentModel();
    auto cell = [model](int column) { return model->index(0, column).data().toDouble(); };
    EXPECT_NEAR(cell(table::kOutlet), 0.3915, 0.0001);
    EXPECT_NEAR(cell(table::kMeanVelocity), 3.80, 0.005);
    EXPECT_NEAR(cell(table::kMaxVelocity), 3.83, 0.005);
    EXPECT_TRUE(boxes_.isEmpty());
}

}  // namespace
}  // namespace gaspipe::test

namespace gaspipe::test {
namespace {

TEST_F(MainWindowEntryTest, ATypedInnerDiameterStaysAndABadBoxIsLeftToTheTable) {
    Open();
    Type({{"TxtGj", "98.5"}, {"TxtGc", "long"}});
    window_->OpenCalculationTable();
    Settle();
    table::TableWindow* table = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<table::TableWindow*>(top); t && t->isVisible()) table = t;
    ASSERT_NE(table, nullptr);
    const network::Segment& s = table->document()->data().segments.at(0);
    EXPECT_EQ(s.innerDiameter, 98.5);
    EXPECT_EQ(s.length, 0);
    const QString tip =
        table->segmentModel()->index(0, table::kId).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("输入数据有误"))) << tip.toStdString();
}

}  // namespace
}  // namespace gaspipe::test
