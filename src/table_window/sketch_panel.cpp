#include "sketch_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "case_document.h"
#include "number_text.h"
#include "sketch_paint.h"

namespace gaspipe::table {

namespace {

// Paints the layout's one page at its natural size.
class SketchView : public QWidget {
  public:
    SketchView(const sketch::Layout& layout, QWidget* parent) : QWidget(parent), layout_(layout) {
        setObjectName(QStringLiteral("sketchView"));
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        if (layout_.pages.empty()) return;
        QPainter painter(this);
        painter.setClipRect(event->rect());
        const sketch::Page& page = layout_.pages.front();
        PaintSketchPage(layout_, 0, font(), painter,
                        QRectF(kMargin, kMargin, page.width, page.height));
    }

  public:
    static constexpr int kMargin = 6;

  private:
    const sketch::Layout& layout_;
};

}  // namespace

SketchPanel::SketchPanel(const CaseDocument* doc, QWidget* parent)
    : QWidget(parent),
      doc_(doc),
      view_(new SketchView(layout_, this)),
      scroll_(new QScrollArea(this)),
      hint_(new QLabel(this)),
      stack_(new QStackedLayout),
      pipes_(new QCheckBox(QStringLiteral("标注管径与长度"), this)) {
    hint_->setObjectName(QStringLiteral("sketchHint"));
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setWordWrap(true);
    scroll_->setObjectName(QStringLiteral("sketchScroll"));
    scroll_->setWidget(view_);
    scroll_->setBackgroundRole(QPalette::Base);
    scroll_->installEventFilter(this);
    pipes_->setObjectName(QStringLiteral("sketchPipes"));
    pipes_->setChecked(true);
    pipes_->setToolTip(QStringLiteral("在各管段下方标注公称直径与长度"));
    auto* exportButton = new QPushButton(QStringLiteral("导出简图…"), this);
    exportButton->setObjectName(QStringLiteral("exportSketchButton"));
    connect(exportButton, &QPushButton::clicked, this, &SketchPanel::exportRequested);
    connect(pipes_, &QCheckBox::toggled, this, [this](bool shown) {
        LayOut();
        emit pipesToggled(shown);
    });

    auto* title = new QLabel(QStringLiteral("计算简图"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(title);
    buttons->addSpacing(8);
    buttons->addWidget(pipes_);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    stack_->addWidget(scroll_);
    stack_->addWidget(hint_);
    layout->addLayout(stack_, 1);
    Refresh();
}

bool SketchPanel::pipesShown() const { return pipes_->isChecked(); }

void SketchPanel::setPipesShown(bool shown) { pipes_->setChecked(shown); }

void SketchPanel::Invalidate() {
    // Once per turn of the event loop, however many edits came in.
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) Refresh();
    });
}

void SketchPanel::Refresh() {
    pending_ = false;
    const network::Case& c = doc_->data();
    const network::Network& net = doc_->network();
    sketch::Tree tree;
    QString hint;
    if (c.segments.empty())
        hint = QStringLiteral("添加管段后在此显示计算简图。");
    else if (!net.problems().empty())
        hint = QStringLiteral("管段的连接有误（见表格上方的说明），无法绘制计算简图。");
    else {
        sketch::TreeOptions options;
        options.number = [](double v) { return ShortestText(v).toStdString(); };
        tree = sketch::BuildTree(c, net.topology(), options);
    }
    hint_->setText(hint);
    stack_->setCurrentWidget(hint.isEmpty() ? static_cast<QWidget*>(scroll_) : hint_);
    // An edit that changes no label leaves the picture as it is.
    if (tree == tree_ && laidWidth_ >= 0) return;
    tree_ = std::move(tree);
    LayOut();
}

// The view's width with room for a vertical scroll bar, so that the bar
// coming or going does not wrap the sketch again.
int SketchPanel::AvailableWidth() const {
    return scroll_->maximumViewportSize().width() -
           scroll_->verticalScrollBar()->sizeHint().width();
}

void SketchPanel::LayOut() {
    const int width = AvailableWidth();
    if (!metrics_.textWidth || font_ != view_->font()) {
        font_ = view_->font();
        metrics_ = SketchMetrics(font_);
    }
    sketch::Metrics m = metrics_;
    m.maxWidth = std::max(240, width - 2 * SketchView::kMargin);
    m.pipes = pipes_->isChecked();
    layout_ = sketch::LayOut(tree_, m);
    laidWidth_ = width;
    QSize size(0, 0);
    if (!layout_.pages.empty()) {
        const sketch::Page& page = layout_.pages.front();
        size = QSizeF(page.width + 2 * SketchView::kMargin, page.height + 2 * SketchView::kMargin)
                   .toSize() +
               QSize(1, 1);
    }
    view_->resize(size);
    view_->update();
}

bool SketchPanel::eventFilter(QObject* watched, QEvent* event) {
    // Wrapped to the view's width: laid out again when that changes, once
    // however many steps a splitter drag takes.
    if (watched == scroll_ && event->type() == QEvent::Resize && !resizing_) {
        resizing_ = true;
        QTimer::singleShot(0, this, [this] {
            resizing_ = false;
            if (AvailableWidth() != laidWidth_) LayOut();
        });
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace gaspipe::table
