// The sketch and the pressure profile below the table: out of the way for a
// new case, side by side as wide as the designer left them last time, the
// sketch exported as a picture from the case's folder.
#include <QCheckBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QSettings>
#include <QSplitter>
#include <QTimer>

#include "segment_columns.h"
#include "sketch_panel.h"
#include "table_fixture.h"

namespace gaspipe::table::test {
namespace {

using FiguresTest = TableTest;

TEST_F(FiguresTest, NewCaseShowsTheTableAndTheFirstSegmentBringsTheSketch) {
    Show();
    auto* dock = window_->findChild<QDockWidget*>(QStringLiteral("chartDock"));
    ASSERT_NE(dock, nullptr);
    EXPECT_FALSE(dock->isVisible()) << "nothing to draw for an empty case";
    EXPECT_TRUE(View()->isVisible());

    Action("actAddRow")->trigger();
    QTest::qWait(5);
    EXPECT_TRUE(dock->isVisible());
    const sketch::Tree& tree = window_->sketchPanel()->tree();
    ASSERT_EQ(tree.nodes.size(), 2u);
    EXPECT_EQ(tree.nodes[0].name, "气源");

    // A line that cannot be solved says why instead of drawing.
    ASSERT_TRUE(Model()->setData(Model()->index(0, kTo), QStringLiteral("气源")));
    QTest::qWait(5);
    auto* hint = window_->findChild<QLabel*>(QStringLiteral("sketchHint"));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("无法绘制计算简图")));
}

TEST_F(FiguresTest, SplitterAndLabelsAreRememberedForTheNextWindow) {
    Show(WorkedExampleLine());
    auto* splitter = window_->findChild<QSplitter*>(QStringLiteral("figureSplitter"));
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->widget(0), window_->sketchPanel());
    const int total = splitter->sizes()[0] + splitter->sizes()[1];
    // As a drag of the handle leaves it.
    splitter->setSizes({total / 4, total - total / 4});
    emit splitter->splitterMoved(total / 4, 1);
    window_->findChild<QCheckBox*>(QStringLiteral("sketchPipes"))->setChecked(false);
    const QList<int> sizes = splitter->sizes();
    const QSize size = window_->size();
    delete window_.data();

    Show(WorkedExampleLine());
    window_->resize(size);
    QTest::qWait(5);
    splitter = window_->findChild<QSplitter*>(QStringLiteral("figureSplitter"));
    EXPECT_EQ(splitter->sizes(), sizes);
    EXPECT_FALSE(window_->sketchPanel()->pipesShown());
    EXPECT_TRUE(window_->sketchPanel()->layout().pages.size() == 1);
}

TEST_F(FiguresTest, SketchExportsAsPngAndSvgStartingInTheCasesFolder) {
    const QString folder = dir_.filePath(QStringLiteral("项目"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/courtyard.gpcase");
    ASSERT_TRUE(QFile::copy(QStringLiteral(GASPIPE_EXAMPLES "/courtyard-medium.gpcase"), file));
    Show();
    ASSERT_TRUE(window_->openFile(file));

    QString startedIn, offered;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        startedIn = dialog->directory().absolutePath();
        offered = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    Action("actExportSketch")->trigger();
    EXPECT_EQ(startedIn, QDir(folder).absolutePath());
    EXPECT_EQ(QFileInfo(offered).fileName(), QStringLiteral("courtyard.png"));

    const QString png = dir_.filePath(QStringLiteral("sketch.png"));
    ASSERT_TRUE(window_->exportSketch(png));
    const QImage image(png);
    EXPECT_GT(image.width(), 400);
    EXPECT_LE(image.width(), 2 * (1200 + 24)) << "twice the natural size of at most 1200";

    const QString svg = dir_.filePath(QStringLiteral("sketch.svg"));
    ASSERT_TRUE(window_->exportSketch(svg));
    QFile in(svg);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(in.readAll());
    // Labels of one script: the SVG splits the others at each change of font.
    for (const char* label : {"接口（气源）", "J4", "dn110 L=80m", "dn50 L=22m"})
        EXPECT_TRUE(text.contains(QStringLiteral(">") + QString::fromUtf8(label) + '<')) << label;
    EXPECT_TRUE(text.contains(QStringLiteral(">") + Dec("120") + QStringLiteral(" m³/h<")));

    // Nowhere to write: a box says so.
    EXPECT_FALSE(window_->exportSketch(dir_.filePath(QStringLiteral("missing/sketch.png"))));
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_.front().startsWith(QStringLiteral("导出计算简图|")));
}

}  // namespace
}  // namespace gaspipe::table::test
