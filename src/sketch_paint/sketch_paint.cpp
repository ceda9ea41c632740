#include "sketch_paint.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <unordered_map>

#include "atomic_file.h"

namespace gaspipe {

namespace {

constexpr double kTextSize = 12;       // drawing units: 9 pt at the natural size
constexpr double kMargin = 12;         // white around an exported picture
constexpr double kPngScale = 2;        // pixels per drawing unit in a PNG
constexpr double kLongestPng = 12000;  // drawing units; beyond, the PNG would take too much memory
constexpr std::size_t kMostKnownWidths = 300'000;

// The labels' font as device sets it: point sizes go by the device's
// resolution, and the painter's scale does the rest. No hinting, so that
// widths measured once hold on every device.
QFont LabelFont(const QFont& base, const QPaintDevice* device) {
    QFont font = base;
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(kTextSize * 72.0 / (device ? device->logicalDpiY() : 96));
    return font;
}

// Looks up a string_view without making a string.
struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>()(text);
    }
};

// A 96-dpi device for measuring.
const QImage& MeasureDevice() {
    static const QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    return image;
}

QColor LabelColour(sketch::Label::Kind kind) {
    switch (kind) {
        case sketch::Label::Kind::Segment:
            return QColor(0x1A, 0x4B, 0x8C);
        case sketch::Label::Kind::Pipe:
            return QColor(0x50, 0x50, 0x50);
        case sketch::Label::Kind::End:
            return QColor(0x8A, 0x3A, 0x10);
        case sketch::Label::Kind::Ghost:
            return QColor(0x80, 0x80, 0x80);
        default:
            return Qt::black;
    }
}

void PaintMark(QPainter& p, const sketch::Mark& m, double r) {
    const QPointF at(m.at.x, m.at.y);
    switch (m.kind) {
        case sketch::Mark::Kind::Source: {
            const double s = r * 1.5;
            p.setPen(QPen(Qt::black, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(at.x() - s, at.y() - s, 2 * s, 2 * s));
            p.setBrush(Qt::black);
            p.drawRect(QRectF(at.x() - s / 2, at.y() - s / 2, s, s));
            break;
        }
        case sketch::Mark::Kind::Junction:
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawEllipse(at, r * 0.85, r * 0.85);
            break;
        case sketch::Mark::Kind::End:
            p.setPen(QPen(Qt::black, 1.2));
            p.setBrush(Qt::white);
            p.drawEllipse(at, r, r);
            break;
        case sketch::Mark::Kind::Ghost:
            p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DashLine));
            p.setBrush(Qt::white);
            p.drawEllipse(at, r, r);
            break;
    }
}

void PaintLine(QPainter& p, const sketch::Line& l, double r) {
    const QPointF a(l.from.x, l.from.y), b(l.to.x, l.to.y);
    if (l.kind != sketch::Line::Kind::Continuation) {
        p.setPen(QPen(Qt::black, 1.3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(a, b);
        return;
    }
    // Dashed to an arrowhead: the line goes on in the band below.
    p.setPen(QPen(Qt::black, 1.1, Qt::DashLine, Qt::FlatCap));
    const QPointF tip = b, base = b - QPointF(2.2 * r, 0);
    p.drawLine(a, base);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(base + QPointF(0, -1.3 * r));
    head.lineTo(base + QPointF(0, 1.3 * r));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawPath(head);
}

sketch::Layout WholeSketch(const sketch::Tree& tree, bool pipes, const QFont& base, double width) {
    sketch::Metrics m = SketchMetrics(base);
    m.maxWidth = width;
    m.pipes = pipes;
    return sketch::LayOut(tree, m);
}

bool Empty(const sketch::Layout& layout, std::string& error) {
    if (!layout.pages.empty()) return false;
    error = "没有管段，无法绘制计算简图";
    return true;
}

}  // namespace

sketch::Metrics SketchMetrics(const QFont& base) {
    const QFontMetricsF metrics(LabelFont(base, &MeasureDevice()), &MeasureDevice());
    sketch::Metrics m;
    m.textHeight = metrics.height();
    // Labels repeat ("DN15 L=3.5m") and a window lays the same ones out again
    // after every edit: each is measured once while the metrics are kept.
    auto known = std::make_shared<std::unordered_map<std::string, double, Hash, std::equal_to<>>>();
    m.textWidth = [metrics, known](std::string_view text) {
        const auto it = known->find(text);
        if (it != known->end()) return it->second;
        if (known->size() > kMostKnownWidths) known->clear();
        // A little over the advance: the last glyph's ink may pass it.
        const double width =
            metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size()))) + 1;
        known->emplace(text, width);
        return width;
    };
    return m;
}

QSizeF SketchPictureSize(const sketch::Page& page) {
    return QSizeF(page.width + 2 * kMargin, page.height + 2 * kMargin);
}

void PaintSketchPage(const sketch::Layout& layout, std::size_t index, const QFont& base,
                     QPainter& painter, const QRectF& target) {
    if (index >= layout.pages.size()) return;
    const sketch::Page& page = layout.pages[index];
    if (page.width <= 0 || page.height <= 0) return;
    const double scale = std::min(target.width() / page.width, target.height() / page.height);
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = LabelFont(base, painter.device());
    const double h = QFontMetricsF(LabelFont(base, &MeasureDevice()), &MeasureDevice()).height();
    painter.setFont(font);
    const QRectF exposed = painter.hasClipping() ? painter.clipBoundingRect() : QRectF();
    const double r = layout.markRadius;
    for (const sketch::Strip& s : page.strips) {
        if (!exposed.isNull() && (s.bottom < exposed.top() - h || s.top > exposed.bottom() + h))
            continue;
        for (const sketch::Line& l : s.lines) PaintLine(painter, l, r);
        for (const sketch::Mark& m : s.marks) PaintMark(painter, m, r);
        for (const sketch::Label& l : s.labels) {
            painter.setPen(LabelColour(l.kind));
            painter.drawText(QRectF(l.left, l.top, l.width, h),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                             QString::fromStdString(l.text));
        }
    }
    painter.restore();
}

QByteArray SketchPageSvg(const sketch::Layout& layout, std::size_t page, const QFont& base,
                         const QString& title) {
    if (page >= layout.pages.size()) return {};
    const QSizeF size = SketchPictureSize(layout.pages[page]);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), size));
    svg.setTitle(title);
    {
        QPainter painter(&svg);
        PaintSketchPage(layout, page, base, painter,
                        QRectF(QPointF(kMargin, kMargin), size - QSizeF(2 * kMargin, 2 * kMargin)));
    }
    return bytes;
}

bool ExportSketchPng(const sketch::Tree& tree, bool pipes, const QFont& base, double width,
                     const std::string& path, std::string& error) {
    const sketch::Layout layout = WholeSketch(tree, pipes, base, width);
    if (Empty(layout, error)) return false;
    const QSizeF size = SketchPictureSize(layout.pages.front());
    if (size.height() > kLongestPng) {
        error = "计算简图太长，不能存为 PNG 图片，请导出为 SVG";
        return false;
    }
    QImage image((size * kPngScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPngScale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintSketchPage(layout, 0, base, painter,
                        QRectF(QPointF(kMargin, kMargin), size - QSizeF(2 * kMargin, 2 * kMargin)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = "无法生成 PNG 图片";
        return false;
    }
    return fileio::WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()), error);
}

bool ExportSketchSvg(const sketch::Tree& tree, bool pipes, const QFont& base, double width,
                     const std::string& path, std::string& error) {
    const sketch::Layout layout = WholeSketch(tree, pipes, base, width);
    if (Empty(layout, error)) return false;
    const QByteArray bytes = SketchPageSvg(layout, 0, base, QStringLiteral("计算简图"));
    return fileio::WriteWholeFile(path, std::string_view(bytes.constData(), bytes.size()), error);
}

}  // namespace gaspipe
