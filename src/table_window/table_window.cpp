#include "table_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include "calc_pipe_segment.h"
#include "case_document.h"
#include "chart_panel.h"
#include "gas_defaults.h"
#include "header_form.h"
#include "library_path.h"
#include "messages.h"
#include "pipe_file.h"
#include "profile.h"
#include "segment_columns.h"
#include "segment_model.h"
#include "segment_table_view.h"
#include "sketch_panel.h"

namespace gaspipe::table {

namespace {

QAction* MakeAction(QObject* parent, const char* name, const QString& text,
                    const QList<QKeySequence>& keys = {}) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    return action;
}

// A column's name in the settings: its heading's first line, which stays
// when the unit changes.
QString ColumnKey(int column) { return ColumnTitle(column, true).section(QLatin1Char('\n'), 0, 0); }

}  // namespace

network::Case TableWindow::NewCase() {
    network::Case c;
    const auto gas = hydraulics::DefaultGasProperties(hydraulics::Gas::NaturalGas);
    c.gas.kind = sel::kNaturalGas;
    c.gas.density = gas.density;
    c.gas.viscosity = gas.viscosity;
    c.gas.temperature = hydraulics::kDefaultTemperature;
    c.pressureClass = sel::kLow;
    c.method.method = network::Method::Gb50028;
    c.source.node = "气源";
    c.source.pressure = 3000;  // the main window's low-pressure inlet
    return c;
}

TableWindow::TableWindow(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    setObjectName(QStringLiteral("TableWindow"));
    if (options_.pipeFile.isEmpty())
        options_.pipeFile = QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                            QString::fromUtf8(kPipeFileName);
    doc_ = new CaseDocument(LibraryPath(options_.pipeFile), this);
    model_ = new SegmentModel(doc_, this);
    proxy_ = new SegmentSortModel(this);
    view_ = new SegmentTableView(model_, proxy_, this);
    view_->setObjectName(QStringLiteral("segmentTable"));
    header_ = new HeaderForm(doc_, this);
    header_->setObjectName(QStringLiteral("headerForm"));
    chart_ = new ChartPanel(this);
    chart_->setObjectName(QStringLiteral("chartPanel"));
    sketch_ = new SketchPanel(doc_, this);
    sketch_->setObjectName(QStringLiteral("sketchPanel"));
    problems_ = new QLabel(this);
    problems_->setObjectName(QStringLiteral("problemBanner"));
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summaryLabel"));

    BuildActions();
    BuildMenus();
    BuildLayout();

    connect(doc_, &CaseDocument::solved, this, [this] {
        // A first part or household shows its columns.
        const network::Case& c = doc_->data();
        for (int column = 0; column < kColumnCount; ++column)
            if (view_->isColumnHidden(column) == ColumnShown(c, column) &&
                !hiddenColumns_.contains(ColumnKey(column))) {
                UpdateColumns();
                break;
            }
        UpdateStatus();
        ShowRowMessage();
        ScheduleChart();
    });
    connect(doc_, &CaseDocument::headerChanged, this, &TableWindow::UpdateColumns);
    connect(doc_->undoStack(), &QUndoStack::cleanChanged, this, &TableWindow::UpdateTitle);
    connect(model_, &SegmentModel::editRefused, this,
            [this](const QString& m) { statusBar()->showMessage(m, 8000); });
    connect(view_, &SegmentTableView::message, this,
            [this](const QString& m) { statusBar()->showMessage(m, 8000); });
    connect(header_, &HeaderForm::refused, this,
            [this](const QString& m) { statusBar()->showMessage(m, 8000); });
    connect(view_, &SegmentTableView::cursorMoved, this, [this](bool chosen) {
        // The first cell the view takes on its own when it gets the focus is
        // no choice of a node: the chart stays on the lowest pressure.
        if (chosen) followSelection_ = true;
        ScheduleChart();
        ShowRowMessage();
        UpdateActions();
    });
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TableWindow::UpdateActions);
    connect(view_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &TableWindow::UpdateActions);
    connect(chart_, &ChartPanel::lowestRequested, this, [this] {
        followSelection_ = false;
        UpdateChart();
    });
    connect(chart_, &ChartPanel::exportRequested, actExportChart_, &QAction::trigger);
    connect(sketch_, &SketchPanel::exportRequested, actExportSketch_, &QAction::trigger);

    setCase(NewCase());
    UpdateActions();
    resize(1280, 860);
}

TableWindow::~TableWindow() {
    // The document goes with this window's children, after this body: its
    // undo stack still signals as it goes, to a window no longer whole.
    doc_->undoStack()->disconnect(this);
    doc_->disconnect(this);
}

void TableWindow::BuildActions() {
    actNew_ = MakeAction(this, "actNew", QStringLiteral("新建(&N)"), {QKeySequence::New});
    actOpen_ = MakeAction(this, "actOpen", QStringLiteral("打开(&O)…"), {QKeySequence::Open});
    actSave_ = MakeAction(this, "actSave", QStringLiteral("保存(&S)"), {QKeySequence::Save});
    actSaveAs_ = MakeAction(this, "actSaveAs", QStringLiteral("另存为(&A)…"),
                            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    actImportCsv_ = MakeAction(this, "actImportCsv", QStringLiteral("导入 CSV(&I)…"));
    actExportCsv_ = MakeAction(this, "actExportCsv", QStringLiteral("导出管段数据 CSV…"));
    actExportResults_ = MakeAction(this, "actExportResults", QStringLiteral("导出计算结果 CSV…"));
    actExportXlsx_ = MakeAction(this, "actExportXlsx", QStringLiteral("导出 Excel 表格(&X)…"));
    actExportChart_ = MakeAction(this, "actExportChart", QStringLiteral("导出压力曲线图(&P)…"));
    actExportSketch_ = MakeAction(this, "actExportSketch", QStringLiteral("导出计算简图(&K)…"));
    actExportSheet_ = MakeAction(this, "actExportSheet", QStringLiteral("导出计算书(&B)…"));
    actClose_ = MakeAction(this, "actClose", QStringLiteral("关闭(&C)"), {QKeySequence::Close});
    connect(actNew_, &QAction::triggered, this, &TableWindow::NewDocument);
    connect(actOpen_, &QAction::triggered, this, &TableWindow::Open);
    connect(actSave_, &QAction::triggered, this, &TableWindow::Save);
    connect(actSaveAs_, &QAction::triggered, this, &TableWindow::SaveAs);
    connect(actImportCsv_, &QAction::triggered, this, &TableWindow::ImportCsv);
    connect(actExportCsv_, &QAction::triggered, this, [this] {
        ExportFile(QStringLiteral("导出管段数据"), QStringLiteral("CSV 文件 (*.csv)"),
                   QStringLiteral("csv"), &TableWindow::exportSegmentsCsv);
    });
    connect(actExportResults_, &QAction::triggered, this, [this] {
        ExportFile(QStringLiteral("导出计算结果"), QStringLiteral("CSV 文件 (*.csv)"),
                   QStringLiteral("csv"), &TableWindow::exportResultsCsv);
    });
    connect(actExportXlsx_, &QAction::triggered, this, [this] {
        ExportFile(QStringLiteral("导出 Excel 表格"), QStringLiteral("Excel 工作簿 (*.xlsx)"),
                   QStringLiteral("xlsx"), &TableWindow::exportXlsx);
    });
    connect(actExportChart_, &QAction::triggered, this, [this] {
        ExportFile(QStringLiteral("导出压力曲线图"),
                   QStringLiteral("PNG 图片 (*.png);;SVG 矢量图 (*.svg)"), QStringLiteral("png"),
                   &TableWindow::exportChart);
    });
    connect(actExportSketch_, &QAction::triggered, this, [this] {
        ExportFile(QStringLiteral("导出计算简图"),
                   QStringLiteral("PNG 图片 (*.png);;SVG 矢量图 (*.svg)"), QStringLiteral("png"),
                   &TableWindow::exportSketch);
    });
    connect(actExportSheet_, &QAction::triggered, this, &TableWindow::ExportSheet);
    connect(actClose_, &QAction::triggered, this, &QWidget::close);

    QUndoStack* stack = doc_->undoStack();
    actUndo_ = stack->createUndoAction(this, QStringLiteral("撤销"));
    actUndo_->setObjectName(QStringLiteral("actUndo"));
    actUndo_->setShortcuts(QKeySequence::Undo);
    actRedo_ = stack->createRedoAction(this, QStringLiteral("重做"));
    actRedo_->setObjectName(QStringLiteral("actRedo"));
    actRedo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    // Only while the table has the focus: in a header field these keys are the field's.
    actCut_ = MakeAction(this, "actCut", QStringLiteral("剪切(&T)"), {QKeySequence::Cut});
    actCopy_ = MakeAction(this, "actCopy", QStringLiteral("复制(&C)"), {QKeySequence::Copy});
    actPaste_ = MakeAction(this, "actPaste", QStringLiteral("粘贴(&P)"), {QKeySequence::Paste});
    actClear_ = MakeAction(this, "actClear", QStringLiteral("清除内容(&D)"),
                           {QKeySequence(Qt::Key_Delete)});
    for (QAction* a : {actCut_, actCopy_, actPaste_, actClear_}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        view_->addAction(a);
    }
    connect(actCut_, &QAction::triggered, view_, &SegmentTableView::cut);
    connect(actCopy_, &QAction::triggered, view_, &SegmentTableView::copy);
    connect(actPaste_, &QAction::triggered, view_, &SegmentTableView::paste);
    connect(actClear_, &QAction::triggered, view_, &SegmentTableView::clearContents);

    actAddRow_ = MakeAction(this, "actAddRow", QStringLiteral("在末尾添加管段"));
    actInsertRow_ = MakeAction(this, "actInsertRow", QStringLiteral("在下方插入管段(&I)"),
                               {QKeySequence(Qt::CTRL | Qt::Key_I)});
    actDuplicateRow_ = MakeAction(this, "actDuplicateRow", QStringLiteral("复制管段(&U)"),
                                  {QKeySequence(Qt::CTRL | Qt::Key_D)});
    actDeleteRow_ = MakeAction(this, "actDeleteRow", QStringLiteral("删除管段(&R)"),
                               {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
    actMoveUp_ =
        MakeAction(this, "actMoveUp", QStringLiteral("上移"), {QKeySequence(Qt::ALT | Qt::Key_Up)});
    actMoveDown_ = MakeAction(this, "actMoveDown", QStringLiteral("下移"),
                              {QKeySequence(Qt::ALT | Qt::Key_Down)});
    actUnsort_ = MakeAction(this, "actUnsort", QStringLiteral("恢复原顺序"));
    connect(actAddRow_, &QAction::triggered, this, [this] { AddRow(false); });
    connect(actInsertRow_, &QAction::triggered, this, [this] { AddRow(true); });
    connect(actDuplicateRow_, &QAction::triggered, this, &TableWindow::DuplicateRows);
    connect(actDeleteRow_, &QAction::triggered, this, &TableWindow::DeleteRows);
    connect(actMoveUp_, &QAction::triggered, this, [this] { MoveRow(-1); });
    connect(actMoveDown_, &QAction::triggered, this, [this] { MoveRow(1); });
    connect(actUnsort_, &QAction::triggered, this,
            [this] { view_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); });

    actSizeSegment_ = MakeAction(this, "actSizeSegment", QStringLiteral("选择本段管径(&S)…"));
    actSizeLine_ = MakeAction(this, "actSizeLine", QStringLiteral("全线管径建议(&L)"));
    connect(actSizeSegment_, &QAction::triggered, this, &TableWindow::SizeSegment);
    connect(actSizeLine_, &QAction::triggered, this, &TableWindow::SizeLine);
}

void TableWindow::BuildMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    fileMenu_->setObjectName(QStringLiteral("fileMenu"));
    fileMenu_->addActions({actNew_, actOpen_});
    recentMenu_ = fileMenu_->addMenu(QStringLiteral("最近打开(&R)"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &TableWindow::FillRecentMenu);
    fileMenu_->addActions({actSave_, actSaveAs_});
    fileMenu_->addSeparator();
    fileMenu_->addAction(actImportCsv_);
    fileMenu_->addSeparator();
    exportEnd_ = fileMenu_->addSeparator();
    for (QAction* a : {actExportCsv_, actExportResults_, actExportXlsx_, actExportChart_,
                       actExportSketch_, actExportSheet_})
        addExportAction(a);
    fileMenu_->addAction(actClose_);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
    edit->addActions({actUndo_, actRedo_});
    edit->addSeparator();
    edit->addActions({actCut_, actCopy_, actPaste_, actClear_});

    QMenu* rows = menuBar()->addMenu(QStringLiteral("管段(&R)"));
    rows->addActions({actAddRow_, actInsertRow_, actDuplicateRow_, actDeleteRow_});
    rows->addSeparator();
    rows->addActions({actMoveUp_, actMoveDown_, actUnsort_});

    QMenu* calc = menuBar()->addMenu(QStringLiteral("计算(&C)"));
    calc->addActions({actSizeSegment_, actSizeLine_});

    // The table's own menu: row commands and the cells' clipboard.
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addActions({actCut_, actCopy_, actPaste_, actClear_});
        menu.addSeparator();
        menu.addActions({actInsertRow_, actDuplicateRow_, actDeleteRow_});
        menu.addSeparator();
        menu.addAction(actSizeSegment_);
        menu.exec(view_->viewport()->mapToGlobal(at));
    });

    auto* tools = addToolBar(QStringLiteral("工具栏"));
    tools->setObjectName(QStringLiteral("mainToolBar"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->addActions({actNew_, actOpen_, actSave_});
    tools->addSeparator();
    tools->addActions({actUndo_, actRedo_});
    tools->addSeparator();
    tools->addActions({actAddRow_, actInsertRow_, actDeleteRow_});
    tools->addSeparator();
    tools->addActions({actSizeSegment_, actSizeLine_});
}

void TableWindow::addExportAction(QAction* action) {
    // Before the separator that closes the export entries.
    fileMenu_->insertAction(exportEnd_, action);
}

void TableWindow::BuildLayout() {
    problems_->setWordWrap(true);
    problems_->setStyleSheet(
        QStringLiteral("QLabel { background: #F8DEDE; color: #7A1010; padding: 4px; }"));
    problems_->hide();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addWidget(header_);
    layout->addWidget(problems_);
    layout->addWidget(view_, 1);
    setCentralWidget(central);
    setTabOrder(header_->lastField(), view_);

    BuildFigures();
    BuildColumnMenu();
    statusBar()->addPermanentWidget(summary_);
}

void TableWindow::BuildColumnMenu() {
    const QString key = QStringLiteral("hiddenColumns");
    hiddenColumns_ = Settings(options_.settingsFile)->value(key).toStringList();
    QHeaderView* heading = view_->horizontalHeader();
    heading->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(heading, &QWidget::customContextMenuRequested, this,
            [this, heading, key](const QPoint& at) {
                QMenu menu(this);
                menu.setObjectName(QStringLiteral("columnMenu"));
                const network::Case& c = doc_->data();
                for (int column = 0; column < kColumnCount; ++column) {
                    // The id names the row; columns the case does not use are not offered.
                    if (column == kId || !ColumnShown(c, column)) continue;
                    QAction* shown =
                        menu.addAction(ColumnTitle(column, network::CaseScale(c))
                                           .replace(QLatin1Char('\n'), QLatin1Char(' ')));
                    shown->setCheckable(true);
                    shown->setChecked(!hiddenColumns_.contains(ColumnKey(column)));
                    connect(shown, &QAction::toggled, this, [this, column, key](bool on) {
                        const QString name = ColumnKey(column);
                        hiddenColumns_.removeAll(name);
                        if (!on) hiddenColumns_ << name;
                        Settings(options_.settingsFile)->setValue(key, hiddenColumns_);
                        UpdateColumns();
                    });
                }
                menu.exec(heading->mapToGlobal(at));
            });
}

void TableWindow::BuildFigures() {
    // The sketch and the profile side by side, as wide as the designer
    // drags them, remembered.
    figures_ = new QSplitter(Qt::Horizontal, this);
    figures_->setObjectName(QStringLiteral("figureSplitter"));
    figures_->addWidget(sketch_);
    figures_->addWidget(chart_);
    figures_->setChildrenCollapsible(true);
    figures_->setSizes({640, 560});
    const QString key = QStringLiteral("figureSplitter");
    auto settings = Settings(options_.settingsFile);
    figures_->restoreState(settings->value(key).toByteArray());
    sketch_->setPipesShown(settings->value(QStringLiteral("sketchPipes"), true).toBool());
    connect(figures_, &QSplitter::splitterMoved, this,
            [this, key] { Settings(options_.settingsFile)->setValue(key, figures_->saveState()); });
    connect(sketch_, &SketchPanel::pipesToggled, this, [this](bool shown) {
        Settings(options_.settingsFile)->setValue(QStringLiteral("sketchPipes"), shown);
    });

    figuresDock_ = new QDockWidget(QStringLiteral("计算简图与压力曲线"), this);
    figuresDock_->setObjectName(QStringLiteral("chartDock"));
    figuresDock_->setWidget(figures_);
    figuresDock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::BottomDockWidgetArea, figuresDock_);
    resizeDocks({figuresDock_}, {340}, Qt::Vertical);
    // A case without segments has nothing to draw: the table has the room.
    connect(doc_, &CaseDocument::solved, this, [this] {
        figuresDock_->setVisible(!doc_->data().segments.empty());
        sketch_->Invalidate();
    });
}

void TableWindow::UpdateTitle() {
    const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
    setWindowTitle(QStringLiteral("%1[*] - 水力计算表").arg(name));
    setWindowModified(!doc_->undoStack()->isClean());
}

void TableWindow::UpdateColumns() {
    const network::Case& c = doc_->data();
    const QFontMetrics metrics(view_->horizontalHeader()->font());
    const network::PressureScale scale = network::CaseScale(c);
    for (int column = 0; column < kColumnCount; ++column) {
        view_->setColumnHidden(
            column, !ColumnShown(c, column) || hiddenColumns_.contains(ColumnKey(column)));
        int width = 0;
        for (const QString& line : ColumnTitle(column, scale).split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        // Room for the sort arrow, and for "2.99924" in a number column.
        const QString sample = column == kToAppliances  ? QStringLiteral("一个双眼灶")
                               : IsNumberColumn(column) ? QStringLiteral("0.00000")
                                                        : QStringLiteral("000");
        width = std::max(width + 18, metrics.horizontalAdvance(sample) + 14);
        view_->setColumnWidth(column, width);
    }
}

void TableWindow::UpdateStatus() {
    const QStringList problems = doc_->Problems();
    if (!problems.isEmpty()) {
        const int shown = std::min<int>(int(problems.size()), 5);
        QString text = QStringLiteral("无法计算这条管线：\n") + problems.mid(0, shown).join('\n');
        if (problems.size() > shown)
            text += QStringLiteral("\n……另有 %1 个问题").arg(problems.size() - shown);
        problems_->setText(text);
        problems_->show();
        summary_->setText(QStringLiteral("%1 段；无法计算").arg(doc_->data().segments.size()));
        return;
    }
    problems_->hide();
    int notCalculated = 0, failedChecks = 0;
    for (const auto& r : doc_->network().results()) {
        if (r.status != network::SegmentStatus::Ok)
            ++notCalculated;
        else if (!r.ChecksHold())
            ++failedChecks;
    }
    const auto count = doc_->data().segments.size();
    QString text = QStringLiteral("%1 段").arg(count);
    if (notCalculated) text += QStringLiteral("；%1 段未能计算").arg(notCalculated);
    if (failedChecks) text += QStringLiteral("；%1 段校核不满足").arg(failedChecks);
    if (count && !notCalculated && !failedChecks) text += QStringLiteral("；校核全部满足");
    summary_->setText(text);
}

void TableWindow::ShowRowMessage() {
    const int row = view_->currentSourceRow();
    const QString message = row >= 0 ? RowMessage(*doc_, std::size_t(row)) : QString();
    if (message.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(QString(message).replace(QLatin1Char('\n'), QStringLiteral("；")));
}

void TableWindow::UpdateActions() {
    const bool current = view_->currentSourceRow() >= 0;
    const bool unsorted = view_->horizontalHeader()->sortIndicatorSection() < 0 ||
                          view_->horizontalHeader()->sortIndicatorSection() >= kColumnCount;
    const int row = view_->currentSourceRow();
    const int rows = model_->rowCount();
    actInsertRow_->setEnabled(true);
    actDuplicateRow_->setEnabled(current);
    actDeleteRow_->setEnabled(current);
    actMoveUp_->setEnabled(current && unsorted && row > 0);
    actMoveDown_->setEnabled(current && unsorted && row + 1 < rows);
    actUnsort_->setEnabled(!unsorted);
    actSizeSegment_->setEnabled(current);
}

std::optional<std::size_t> TableWindow::profileSegment() const {
    const int row = view_->currentSourceRow();
    if (followSelection_ && row >= 0 && std::size_t(row) < doc_->network().results().size())
        return std::size_t(row);
    return network::LowestPressureSegment(doc_->network());
}

void TableWindow::ScheduleChart() {
    // Once per turn of the event loop, however many edits came in.
    if (chartPending_) return;
    chartPending_ = true;
    QTimer::singleShot(0, this, [this] {
        chartPending_ = false;
        UpdateChart();
    });
}

void TableWindow::UpdateChart() {
    const bool low = network::IsLowPressure(doc_->data());
    const auto segment = profileSegment();
    chart_->ShowProfile(segment ? network::PressureProfile(doc_->data(), doc_->network(), *segment)
                                : network::Profile{},
                        low);
}

void TableWindow::closeEvent(QCloseEvent* event) {
    if (MaybeSave())
        event->accept();
    else
        event->ignore();
}

TableWindow* OpenTableWindow(network::Case c, const QString& pipeFile) {
    auto* window = new TableWindow({pipeFile, {}});
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setCase(std::move(c));
    window->show();
    return window;
}

}  // namespace gaspipe::table
