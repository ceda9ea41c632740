#include "sketch_object.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QTextObjectInterface>

#include <vector>

#include "sketch_paint.h"

namespace gaspipe::sheet::detail {

namespace {

constexpr int kSketchObject = QTextFormat::UserObject + 1;
constexpr int kLayoutProperty = QTextFormat::UserProperty + 10;
constexpr int kPageProperty = QTextFormat::UserProperty + 11;
constexpr double kPictureScale = 200.0 / 96.0;
// The labels at 8 pt, as the calculation table's, where the window's are 9.
constexpr double kSheetScale = 8.0 / 9.0;

double Units(double mm) { return mm / 25.4 * 96; }

// Sizes in drawing units (96 dpi), as the document's images: the layout
// scales them to its paint device.
class SketchHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

  public:
    using QObject::QObject;

    std::vector<std::shared_ptr<const sketch::Layout>> layouts;

    QSizeF intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) override {
        const sketch::Page* page = PageOf(format);
        if (!page) return {};
        const QPaintDevice* device = doc->documentLayout()->paintDevice();
        const double scale = device ? device->logicalDpiY() / 96.0 : 1.0;
        return QSizeF(page->width, page->height) * kSheetScale * scale;
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                    const QTextFormat& format) override {
        if (!PageOf(format)) return;
        PaintSketchPage(*layouts[std::size_t(format.intProperty(kLayoutProperty))],
                        std::size_t(format.intProperty(kPageProperty)), SketchFont(), *painter,
                        rect);
    }

  private:
    const sketch::Page* PageOf(const QTextFormat& format) const {
        const auto k = std::size_t(format.intProperty(kLayoutProperty));
        const auto p = std::size_t(format.intProperty(kPageProperty));
        if (k >= layouts.size() || p >= layouts[k]->pages.size()) return nullptr;
        return &layouts[k]->pages[p];
    }
};

}  // namespace

QFont SketchFont() {
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Zen Hei")});
    return font;
}

std::shared_ptr<const sketch::Layout> LaySketch(const SketchFigure& figure) {
    sketch::Metrics m = SketchMetrics(SketchFont());
    m.maxWidth = Units(figure.widthMm) / kSheetScale;
    m.firstPageHeight = Units(figure.heightMm) / kSheetScale;
    m.pageHeight = Units(figure.nextHeightMm) / kSheetScale;
    return std::make_shared<const sketch::Layout>(sketch::LayOut(figure.tree, m));
}

QTextCharFormat SketchObjectFormat(QTextDocument& doc,
                                   const std::shared_ptr<const sketch::Layout>& layout,
                                   std::size_t page) {
    // Registered once the document is built: a layout that exists while it
    // is built lays out again after every insertion.
    auto* handler = doc.findChild<SketchHandler*>();
    if (!handler) handler = new SketchHandler(&doc);
    if (handler->layouts.empty() || handler->layouts.back() != layout)
        handler->layouts.push_back(layout);
    QTextCharFormat format;
    format.setObjectType(kSketchObject);
    format.setProperty(kLayoutProperty, int(handler->layouts.size() - 1));
    format.setProperty(kPageProperty, int(page));
    return format;
}

void RegisterSketchObjects(QTextDocument& doc) {
    if (auto* handler = doc.findChild<SketchHandler*>())
        doc.documentLayout()->registerHandler(kSketchObject, handler);
}

QImage SketchPicture(const sketch::Layout& layout, std::size_t page, QSizeF& logical) {
    logical = QSizeF(layout.pages[page].width, layout.pages[page].height) * kSheetScale;
    QImage image((logical * kPictureScale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kPictureScale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintSketchPage(layout, page, SketchFont(), painter, QRectF(QPointF(0, 0), logical));
    }
    return image;
}

}  // namespace gaspipe::sheet::detail

#include "sketch_object.moc"
