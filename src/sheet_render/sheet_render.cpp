#include "sheet_render.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QTextCursor>

#include <algorithm>
#include <memory>
#include <vector>

#include "measure.h"
#include "odt_writer.h"
#include "page_painter.h"
#include "profile_chart.h"
#include "sketch_object.h"
#include "sketch_paint.h"
#include "text_document.h"

namespace gaspipe::sheet {

namespace {

using namespace detail;

constexpr int kDpi = 720;
constexpr Units kPdfUnits{kDpi / 72.0, 96.0 / 72.0};

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

double Px(double mm) { return mm / 25.4 * kDpi; }

QPageLayout PageLayoutOf(Orientation o) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       o == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// The text area: a wider left margin for binding.
QRectF BodyRect(Orientation o) {
    const PageGeometry p = PageOf(o);
    return QRectF(Px(p.left), Px(p.top), Px(p.TextWidth()), Px(p.TextHeight()));
}

QFont SmallFont(const QStringList& families) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(8);
    return font;
}

void DrawRunningTexts(QPainter& painter, const Document& doc, const QRectF& body, int page,
                      int pages) {
    const QFont font = SmallFont(PdfTypeface().body);
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, 0.5 * kDpi / 72.0));
    const QFontMetricsF metrics(font, painter.device());
    const double gap = Px(3);
    if (page > 1) {
        const double rule = body.top() - gap;
        painter.drawLine(QPointF(body.left(), rule), QPointF(body.right(), rule));
        const QRectF line(body.left(), rule - gap / 2 - metrics.height(), body.width(),
                          metrics.height());
        // Project name left, number right: when both do not fit, the number
        // keeps up to 40 % of the line and the name the rest, each elided,
        // so that they never overprint each other.
        const QString left = Q(doc.headerLeft), right = Q(doc.headerRight);
        const double room = body.width() - Px(5);
        const double leftWidth = metrics.horizontalAdvance(left);
        const double rightWidth = metrics.horizontalAdvance(right);
        double rightRoom = rightWidth, leftRoom = leftWidth;
        if (leftWidth + rightWidth > room) {
            rightRoom = std::min(rightWidth, std::max(room * 0.4, room - leftWidth));
            leftRoom = room - rightRoom;
        }
        painter.drawText(line, Qt::AlignLeft | Qt::AlignBottom,
                         metrics.elidedText(left, Qt::ElideRight, leftRoom));
        painter.drawText(line, Qt::AlignRight | Qt::AlignBottom,
                         metrics.elidedText(right, Qt::ElideRight, rightRoom));
    }
    const double rule = body.bottom() + gap;
    painter.drawLine(QPointF(body.left(), rule), QPointF(body.right(), rule));
    const QRectF line(body.left(), rule + gap / 2, body.width(), metrics.height());
    const QString number = Q(PageNumberText(page, pages));
    painter.drawText(line, Qt::AlignRight | Qt::AlignTop, number);
    const double room = body.width() - metrics.horizontalAdvance(number) - Px(6);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop,
                     metrics.elidedText(Q(doc.footer), Qt::ElideRight, room));
    painter.restore();
}

}  // namespace

QByteArray RenderPdf(const Document& doc) {
    LoadShippedFonts();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const std::vector<PageRun> runs = SplitRuns(doc);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setTitle(Q(doc.title));
        writer.setCreator(QStringLiteral("gaspipe"));
        writer.setPageLayout(PageLayoutOf(runs.front().orientation));

        // Every run is laid out first: the footers need the page total.
        std::vector<std::unique_ptr<QTextDocument>> docs;
        int total = 0;
        for (const PageRun& run : runs) {
            const QRectF body = BodyRect(run.orientation);
            const Pages pages{&writer, body.size()};
            auto text = BuildTextDocument(run.elements, PdfTypeface(), kPdfUnits,
                                          body.width() * 72 / kDpi, true, &pages);
            KeepWithNext(*text, body.height());
            total += text->pageCount();

            docs.push_back(std::move(text));
        }

        QPainter painter(&writer);
        int page = 0;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            const QRectF body = BodyRect(runs[k].orientation);
            QTextDocument& text = *docs[k];
            const PagePainter pages(text, body.height());
            for (int i = 0; i < text.pageCount(); ++i) {
                if (page > 0) {
                    // Takes effect on the page newPage starts.
                    if (i == 0) writer.setPageLayout(PageLayoutOf(runs[k].orientation));
                    writer.newPage();
                }
                ++page;
                painter.save();
                painter.translate(body.left(), body.top() - i * body.height());
                QAbstractTextDocumentLayout::PaintContext context;
                context.clip = QRectF(0, i * body.height(), body.width(), body.height());
                context.palette.setColor(QPalette::Text, Qt::black);
                painter.setClipRect(context.clip);
                if (!pages.Draw(painter, i)) text.documentLayout()->draw(&painter, context);
                painter.restore();
                DrawRunningTexts(painter, doc, body, page, total);
            }
        }
    }
    return bytes;
}

QByteArray RenderOdt(const Document& doc) { return WriteOdt(doc); }

std::string ProfileFigureSvg(const ProfileFigure& figure) {
    const QSize size(qRound(figure.widthMm / 25.4 * 96), qRound(figure.heightMm / 25.4 * 96));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(Q(figure.caption));
    {
        QPainter painter(&svg);
        PaintProfileChart(figure.profile, figure.lowPressure, painter, QRectF(QPointF(0, 0), size));
    }
    // Inline in HTML: from the svg element on, without the XML prologue.
    const qsizetype start = bytes.indexOf("<svg");
    return start < 0 ? std::string() : bytes.mid(start).toStdString();
}

}  // namespace gaspipe::sheet

namespace gaspipe::sheet {

std::vector<std::string> SketchFigureSvg(const SketchFigure& figure) {
    const auto layout = detail::LaySketch(figure);
    std::vector<std::string> pages;
    for (std::size_t k = 0; k < layout->pages.size(); ++k) {
        const QByteArray bytes = SketchPageSvg(*layout, k, detail::SketchFont(), Q(figure.caption));
        // Inline in HTML: from the svg element on, without the XML prologue.
        const qsizetype start = bytes.indexOf("<svg");
        if (start >= 0) pages.push_back(bytes.mid(start).toStdString());
    }
    return pages;
}

}  // namespace gaspipe::sheet
