#include "page_painter.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace gaspipe::sheet::detail {

namespace {

// The layout's lengths: in its 1/64 units, from lengths at 96 dpi.
double Fixed(double v) { return std::round(v * 64) / 64; }

struct Cell {
    double left = 0, right = 0, top = 0, bottom = 0;  // of the text, as laid out
    double padTop = 0, padBottom = 0, padLeft = 0, padRight = 0;
};

// The cells' padding as Qt's table layout takes it: the table's or the
// cell's own, and half of a collapsed rule.
Cell Padding(const QTextTableFormat& table, const QTextTableCellFormat& f, double scale) {
    auto pad = [&](QTextFormat::Property property, double edge) {
        const QVariant v = f.property(property);
        return Fixed((v.isNull() ? table.cellPadding() : v.toDouble()) * scale) +
               Fixed(edge / 2 * scale);
    };
    Cell c;
    c.padTop = pad(QTextFormat::TableCellTopPadding, f.topBorder());
    c.padBottom = pad(QTextFormat::TableCellBottomPadding, f.bottomBorder());
    c.padLeft = pad(QTextFormat::TableCellLeftPadding, f.leftBorder());
    c.padRight = pad(QTextFormat::TableCellRightPadding, f.rightBorder());
    return c;
}

// Records where the first run of text is drawn.
class TextProbe : public QPaintEngine {
  public:
    TextProbe() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        if (!found && !item.text().trimmed().isEmpty()) found = p;
    }
    Type type() const override { return QPaintEngine::User; }
    std::optional<QPointF> found;
};

class ProbeDevice : public QPaintDevice {
  public:
    explicit ProbeDevice(const QPaintDevice* like) : like_(like) {}
    QPaintEngine* paintEngine() const override { return &probe; }
    mutable TextProbe probe;

  protected:
    // The fonts as on the device the document was laid out for.
    int metric(PaintDeviceMetric m) const override {
        if (!like_) return QPaintDevice::metric(m);
        switch (m) {
            case PdmWidth:
                return like_->width();
            case PdmHeight:
                return like_->height();
            case PdmDpiX:
                return like_->logicalDpiX();
            case PdmDpiY:
                return like_->logicalDpiY();
            case PdmPhysicalDpiX:
                return like_->physicalDpiX();
            case PdmPhysicalDpiY:
                return like_->physicalDpiY();
            case PdmWidthMM:
                return like_->widthMM();
            case PdmHeightMM:
                return like_->heightMM();
            case PdmNumColors:
                return like_->colorCount();
            case PdmDepth:
                return like_->depth();
            case PdmDevicePixelRatio:
                return int(like_->devicePixelRatio());
            case PdmDevicePixelRatioScaled:
                return int(like_->devicePixelRatio() * devicePixelRatioFScale());
        }
        return 0;
    }

  private:
    const QPaintDevice* like_;
};

// Where the first text of a block is drawn: by Qt's own drawing of the
// document (clipped to the block), or from the block's layout at offset.
std::optional<QPointF> FirstText(QAbstractTextDocumentLayout& layout, const QTextBlock& block,
                                 std::optional<QPointF> offset) {
    ProbeDevice device(layout.paintDevice());
    {
        QPainter painter(&device);
        if (offset) {
            block.layout()->draw(&painter, *offset);
        } else {
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = layout.blockBoundingRect(block).adjusted(-1, -1, 1, 1);
            painter.setClipRect(context.clip);
            layout.draw(&painter, context);
        }
    }
    return device.probe.found;
}

// Qt draws a table at its layout position rounded to whole pixels, which
// the layout does not report (for a table it adds the first cell's text
// position): the shift is taken from one drawing of the first text, by Qt
// and from the layout.
QPointF DrawingShift(QAbstractTextDocumentLayout& layout, QTextTable& table) {
    for (int r = 0; r < table.rows(); ++r) {
        for (int c = 0; c < table.columns(); ++c) {
            for (auto it = table.cellAt(r, c).begin(); !it.atEnd(); ++it) {
                const QTextBlock b = it.currentBlock();
                if (b.text().trimmed().isEmpty()) continue;
                const QRectF rect = layout.blockBoundingRect(b);
                const auto mine = FirstText(layout, b, rect.topLeft() - b.layout()->position());
                const auto qt = FirstText(layout, b, std::nullopt);
                return mine && qt ? *qt - *mine : QPointF();
            }
        }
    }
    return {};
}

}  // namespace

PagePainter::PagePainter(const QTextDocument& doc, double pageHeight) : pageHeight_(pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    auto pagesOf = [this](const QRectF& r) {
        return std::pair{int(std::floor(r.top() / pageHeight_)),
                         int(std::floor((r.bottom() - 1) / pageHeight_))};
    };
    auto addBlock = [&](const QTextBlock& b, QPointF shift) {
        const QRectF r = layout->blockBoundingRect(b);
        const auto [first, last] = pagesOf(r);
        for (int page = first; page <= std::max(first, last); ++page)
            texts_.push_back({b.layout(), r.topLeft() - b.layout()->position() + shift, page});
    };
    for (QTextFrame::iterator it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto* table = qobject_cast<QTextTable*>(it.currentFrame())) {
            if (table->format().border() > 0) {
                AddTable(doc, *table);
            } else {
                const QPointF shift = DrawingShift(*layout, *table);
                for (int r = 0; r < table->rows(); ++r)
                    for (int c = 0; c < table->columns(); ++c)
                        for (auto cell = table->cellAt(r, c).begin(); !cell.atEnd(); ++cell)
                            addBlock(cell.currentBlock(), shift);
            }
        } else if (it.currentBlock().isValid()) {
            addBlock(it.currentBlock(), {});
        }
    }
    // A line the layout moved past a page break while its paragraph's box
    // stayed above it would be drawn off its page: such pages are Qt's.
    std::map<const QTextLayout*, std::set<int>> drawnOn;
    for (const Text& t : texts_) drawnOn[t.layout].insert(t.page);
    for (const Text& t : texts_) {
        const std::set<int>& pages = drawnOn[t.layout];
        for (int i = 0; i < t.layout->lineCount(); ++i) {
            const QRectF line =
                t.layout->lineAt(i).rect().translated(t.offset + t.layout->position());
            const int from = int(std::floor(line.top() / pageHeight_));
            const int to = int(std::floor((line.bottom() - 1) / pageHeight_));
            if (pages.count(from) && pages.count(to)) continue;
            byQt_.insert(pages.begin(), pages.end());
            byQt_.insert({from, to});
        }
    }
    // By page, each page's in the order Qt draws them.
    auto byPage = [](const auto& a, const auto& b) { return a.page < b.page; };
    std::stable_sort(texts_.begin(), texts_.end(), byPage);
    std::stable_sort(fills_.begin(), fills_.end(), byPage);
    std::stable_sort(rules_.begin(), rules_.end(), byPage);
}

// Geometry as Qt's table layout makes it with collapsed borders: each cell's
// padding holds half the rule; a row's cells are centred on it, so the
// tallest gives its height; the last row on a page reaches down to the
// page's foot. Qt draws the table at its position rounded to whole pixels,
// and a continued table's header at the top of each further page.
void PagePainter::AddTable(const QTextDocument& doc, QTextTable& table) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const QPaintDevice* device = layout->paintDevice();
    const double scale = device ? device->logicalDpiY() / 96.0 : 1;
    const QTextTableFormat format = table.format();
    const int rows = table.rows(), columns = table.columns();
    const int header = std::min(format.headerRowCount(), rows - 1);
    const QPointF shift = DrawingShift(*layout, table);

    std::vector<Cell> cells(std::size_t(rows) * columns);
    std::vector<double> center(rows), natural(rows);
    std::vector<std::pair<int, Text>> texts;  // row, text
    double rule = 0;
    for (int r = 0; r < rows; ++r) {
        double tallest = -1;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            const QTextTableCellFormat f = cell.format().toTableCellFormat();
            Cell& g = cells[std::size_t(r) * columns + c];
            g = Padding(format, f, scale);
            rule = std::max(rule, f.topBorder() * scale);
            bool first = true;
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                const QTextBlock b = it.currentBlock();
                const QRectF rect = layout->blockBoundingRect(b);
                g.left = first ? rect.left() : std::min(g.left, rect.left());
                g.right = first ? rect.right() : std::max(g.right, rect.right());
                g.top = first ? rect.top() : std::min(g.top, rect.top());
                g.bottom = first ? rect.bottom() : std::max(g.bottom, rect.bottom());
                first = false;
                texts.push_back(
                    {r, {b.layout(), rect.topLeft() - b.layout()->position() + shift, 0}});
            }
            const double height = g.bottom - g.top + g.padTop + g.padBottom;
            if (height > tallest) {
                tallest = height;
                center[r] = g.top - g.padTop + height / 2;
                natural[r] = std::floor(height + 0.5);
            }
        }
    }

    // Rows as drawn: the first on a page where the layout put it, each next
    // one a rounded height lower; a row that a page break stretches reaches
    // to the page's foot (its text is centred in all of it).
    std::vector<int> page(rows);
    std::vector<double> top(rows), bottom(rows);
    for (int r = 0; r < rows; ++r) {
        page[r] = int(std::floor(center[r] / pageHeight_));
        // A row that a page break cuts (a cell's lines on both pages) is
        // drawn in pieces on each: those pages are left to Qt.
        for (int c = 0; c < columns; ++c) {
            const Cell& g = cells[std::size_t(r) * columns + c];
            const int from = int(std::floor(g.top / pageHeight_));
            const int to = int(std::floor((g.bottom - 1) / pageHeight_));
            for (int p : {from, to, page[r]})
                if (p != from || p != to || p != page[r]) byQt_.insert(p);
        }
    }
    for (int r = 0; r < rows; ++r) {
        const double middle = center[r] + shift.y();
        top[r] = r > 0 && page[r] == page[r - 1] ? bottom[r - 1] : middle - natural[r] / 2;
        const bool stretched = r + 1 < rows && page[r + 1] != page[r];
        bottom[r] = stretched ? 2 * middle - top[r] : top[r] + natural[r];
    }
    std::vector<double> xs(columns + 1);
    for (int c = 0; c < columns; ++c) xs[c] = cells[c].left - cells[c].padLeft + shift.x();
    xs[columns] = cells[columns - 1].right + cells[columns - 1].padRight + shift.x();

    // Qt draws the rules on whole pixels.
    const double half = rule / 2;
    auto addRule = [&](double x0, double y0, double x1, double y1, int p) {
        rules_.push_back({QRectF(QPointF(std::round(x0), std::round(y0)),
                                 QPointF(std::round(x1), std::round(y1))),
                          p});
    };
    auto horizontal = [&](double y, int p) {
        addRule(xs.front() - std::ceil(half), y - std::ceil(half), xs.back() + std::floor(half),
                y + rule - std::ceil(half), p);
    };
    // Rows [first, last] on page p, below the header drawn from headerTop.
    auto segment = [&](int first, int last, int p, std::optional<double> headerTop) {
        const bool continued = last + 1 < rows;
        std::vector<std::pair<int, double>> drawn;  // row, top as drawn
        // Drawn in Qt's order, the repeated header first, so that text
        // comes out of the PDF in the same order.
        if (headerTop) {
            const double dy = *headerTop - top[0];
            for (int r = 0; r < header; ++r) drawn.push_back({r, top[r] + dy});
            for (const auto& [r, text] : texts)
                if (r < header) texts_.push_back({text.layout, text.offset + QPointF(0, dy), p});
        }
        for (int r = first; r <= last; ++r) drawn.push_back({r, top[r]});
        for (const auto& [r, text] : texts)
            if (r >= first && r <= last) texts_.push_back({text.layout, text.offset, p});
        const double segmentTop = drawn.front().second;
        const double segmentBottom = bottom[last];
        for (const auto& [r, y] : drawn) {
            for (int c = 0; c < columns; ++c) {
                const QBrush brush = table.cellAt(r, c).format().background();
                if (brush.style() != Qt::NoBrush)
                    fills_.push_back(
                        {QRectF(QPointF(xs[c], y), QPointF(xs[c + 1], y + bottom[r] - top[r])),
                         brush, p});
            }
            horizontal(y, p);
        }
        if (!continued) horizontal(segmentBottom, p);
        for (double x : xs)
            addRule(x - std::ceil(half), segmentTop - std::ceil(half), x + rule - std::ceil(half),
                    continued ? segmentBottom : segmentBottom + std::floor(half), p);
    };
    // Qt draws a repeated header at the page's top margin, which the layout
    // left above the first row there, unshifted.
    const double headerHeight = header > 0 ? bottom[header - 1] - top[0] : 0;
    int first = 0;
    for (int r = 1; r <= rows; ++r) {
        if (r < rows && page[r] == page[first]) continue;
        std::optional<double> headerTop;
        if (first > 0 && header > 0) headerTop = top[first] - shift.y() - headerHeight;
        segment(first, r - 1, page[first], headerTop);
        first = r;
    }
}

namespace {

template <class T>
std::pair<typename std::vector<T>::const_iterator, typename std::vector<T>::const_iterator> OnPage(
    const std::vector<T>& items, int page) {
    return {std::lower_bound(items.begin(), items.end(), page,
                             [](const T& a, int p) { return a.page < p; }),
            std::upper_bound(items.begin(), items.end(), page,
                             [](int p, const T& a) { return p < a.page; })};
}

}  // namespace

bool PagePainter::Draw(QPainter& painter, int page) const {
    if (byQt_.count(page)) return false;
    for (auto [f, end] = OnPage(fills_, page); f != end; ++f) painter.fillRect(f->rect, f->brush);
    painter.setPen(Qt::black);
    for (auto [t, end] = OnPage(texts_, page); t != end; ++t) t->layout->draw(&painter, t->offset);
    // Smoothed, as Qt draws table rules: the same on paper, closer on screen.
    const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    for (auto [r, end] = OnPage(rules_, page); r != end; ++r) painter.fillRect(r->rect, Qt::black);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    return true;
}

}  // namespace gaspipe::sheet::detail
