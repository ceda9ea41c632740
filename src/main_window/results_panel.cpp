#include "results_panel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>

namespace gaspipe {

ResultsPanel::ResultsPanel(QWidget* parent)
    : QFrame(parent),
      copyAction_(new QAction(this)),
      tableAction_(new QAction(this)),
      exportSheetAction_(new QAction(this)) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);

    copyAction_->setObjectName(QStringLiteral("ActCopy"));
    copyAction_->setText(QStringLiteral("复制"));
    copyAction_->setShortcut(QKeySequence::Copy);
    // Only while the panel has the focus: Ctrl+C in a text box copies that box's text.
    copyAction_->setShortcutContext(Qt::WidgetShortcut);
    addAction(copyAction_);
    connect(copyAction_, &QAction::triggered, this, &ResultsPanel::copy);

    tableAction_->setObjectName(QStringLiteral("ActTable"));
    tableAction_->setText(QStringLiteral("水力计算表…"));
    connect(tableAction_, &QAction::triggered, this, &ResultsPanel::calculationTableRequested);

    exportSheetAction_->setObjectName(QStringLiteral("ActExportSheet"));
    exportSheetAction_->setText(QStringLiteral("导出计算书…"));
    connect(exportSheetAction_, &QAction::triggered, this, &ResultsPanel::exportSheetRequested);
}

void ResultsPanel::Cls() {
    lines_.clear();
    sheetAvailable_ = false;
    update();
}

void ResultsPanel::Print(const QString& line) {
    lines_.append(line);
    update();
}

QString ResultsPanel::text() const {
    return lines_.isEmpty() ? QString() : lines_.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void ResultsPanel::copy() const {
    if (!lines_.isEmpty()) QApplication::clipboard()->setText(text());
}

void ResultsPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    const QRect area = contentsRect();
    painter.setClipRect(area);
    const QFontMetrics metrics(font());
    int baseline = area.top() + metrics.ascent();
    for (const QString& line : lines_) {
        painter.drawText(area.left(), baseline, line);
        baseline += metrics.height();
    }
}

void ResultsPanel::contextMenuEvent(QContextMenuEvent* event) {
    copyAction_->setEnabled(!lines_.isEmpty());
    QMenu menu(this);
    menu.addAction(copyAction_);
    menu.addAction(tableAction_);
    exportSheetAction_->setEnabled(sheetAvailable_);
    menu.addAction(exportSheetAction_);
    menu.exec(event->globalPos());
    copyAction_->setEnabled(true);
}

}  // namespace gaspipe
