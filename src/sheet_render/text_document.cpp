#include "text_document.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>

#include "measure.h"
#include "profile_chart.h"
#include "sketch_object.h"

namespace gaspipe::sheet::detail {

namespace {

constexpr int kKeepWithNext = QTextFormat::UserProperty + 1;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

Qt::Alignment ToQt(Align a) {
    switch (a) {
        case Align::Left:
            return Qt::AlignLeft;
        case Align::Center:
            return Qt::AlignHCenter;
        case Align::Right:
            break;
    }
    return Qt::AlignRight;
}

class Builder {
  public:
    Builder(QTextDocument& doc, const Typeface& typeface, Units units, double textWidthPt,
            bool vectorSketch)
        : doc_(doc),
          cursor_(&doc),
          typeface_(typeface),
          units_(units),
          textWidthPt_(textWidthPt),
          vector_(vectorSketch) {}

    void operator()(const Heading& h) {
        QTextBlockFormat block;
        double size = 14;
        if (h.level <= 0) {
            // The layout drops the top margin of a page's first paragraph:
            // a fixed-height empty one lowers the title instead.
            QTextBlockFormat spacer;
            spacer.setLineHeight(Pt(70), QTextBlockFormat::FixedHeight);
            NewBlock(spacer);
            size = 26;
            block.setAlignment(Qt::AlignHCenter);
            block.setBottomMargin(Pt(14));
        } else if (h.level == 1) {
            block.setTopMargin(Pt(16));
            block.setBottomMargin(Pt(6));
        } else {
            size = 12;
            block.setTopMargin(Pt(10));
            block.setBottomMargin(Pt(4));
        }
        block.setProperty(kKeepWithNext, true);
        NewBlock(block);
        cursor_.insertText(Q(h.text), Font(typeface_.heading, size));
    }

    void operator()(const Paragraph& p) {
        QTextBlockFormat block;
        double size = 10.5;
        block.setLineHeight(135, QTextBlockFormat::ProportionalHeight);
        block.setTopMargin(Pt(2));
        block.setBottomMargin(Pt(2));
        if (p.style == Paragraph::Style::Note) size = 9;
        if (p.style == Paragraph::Style::Body)
            size = EquationSizePt(p.text, textWidthPt_, PdfMeasureFonts(), size);
        if (IntroducesNext(p.text)) block.setProperty(kKeepWithNext, true);
        if (p.style == Paragraph::Style::Subtitle) {
            size = 16;
            block.setAlignment(Qt::AlignHCenter);
            block.setBottomMargin(Pt(48));
        }
        NewBlock(block);
        InsertRich(p.text, Font(typeface_.body, size));
    }

    void operator()(const Table& t) {
        if (!t.caption.empty()) {
            QTextBlockFormat caption;
            caption.setAlignment(Qt::AlignHCenter);
            caption.setTopMargin(Pt(8));
            caption.setBottomMargin(Pt(3));
            caption.setProperty(kKeepWithNext, true);
            NewBlock(caption);
            cursor_.insertText(Q(t.caption), Font(typeface_.heading, 10.5));
        }
        bool headed = false;
        for (const Column& c : t.columns) headed = headed || !c.title.empty();
        const double size = t.density == Table::Density::Dense ? 8 : 10.5;
        const std::vector<double> widths =
            ColumnWidthsPt(t, textWidthPt_ * t.widthPercent / 100, PdfMeasureFonts());
        QTextTable* table =
            InsertTable(static_cast<int>(t.rows.size()) + (headed ? 1 : 0), widths, t.widthPercent,
                        true, headed, t.density == Table::Density::Roomy ? 5 : 2.5);
        int row = 0;
        if (headed) {
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                QTextTableCell cell = table->cellAt(0, int(c));
                QTextTableCellFormat format = cell.format().toTableCellFormat();
                format.setBackground(QColor(0xEE, 0xEE, 0xEE));
                cell.setFormat(format);
                FillCell(cell, t.columns[c].title, Qt::AlignHCenter, Font(typeface_.heading, size));
            }
            row = 1;
        }
        for (const auto& cells : t.rows) {
            for (std::size_t c = 0; c < cells.size() && c < t.columns.size(); ++c) {
                const Cell& cell = cells[c];
                QTextTableCell qcell = table->cellAt(row, int(c));
                if (cell.check != Check::None) {
                    QTextTableCellFormat format = qcell.format().toTableCellFormat();
                    format.setBackground(cell.check == Check::Pass ? QColor(0xE2, 0xF0, 0xD9)
                                                                   : QColor(0xF8, 0xD7, 0xDA));
                    qcell.setFormat(format);
                }
                QTextCharFormat font =
                    Font(cell.emphasis ? typeface_.heading : typeface_.body, size);
                if (cell.check == Check::Fail) font.setForeground(QColor(0x9C, 0x1C, 0x1C));
                if (cell.check == Check::Pass) font.setForeground(QColor(0x1E, 0x5C, 0x1E));
                FillCell(qcell, cell.text, ToQt(t.columns[c].align), font);
            }
            ++row;
        }
        LeaveTable(table);
    }

    void operator()(const Formula& f) {
        const FormulaFit fit = FitFormula(f, textWidthPt_, PdfMeasureFonts());
        const bool beside = !fit.conditionBelow && !f.condition.empty();
        std::vector<double> widths = {fit.expressionPt};
        if (beside)
            widths.push_back(fit.conditionPt);
        else
            widths.front() += fit.conditionPt;
        widths.push_back(fit.numberPt);
        QTextTable* table = InsertTable(1, widths, 100, false, false);
        FillCell(table->cellAt(0, 0), f.expression, Qt::AlignLeft,
                 Font(typeface_.body, fit.expressionFontPt), IndentPt(21));
        if (fit.conditionBelow) {
            QTextBlockFormat below;
            below.setLeftMargin(IndentPt(42));
            cursor_.insertBlock(below);
            InsertRich(f.condition, Font(typeface_.body, 9));
        }
        if (beside)
            FillCell(table->cellAt(0, 1), f.condition, Qt::AlignLeft, Font(typeface_.body, 9));
        FillCell(table->cellAt(0, beside ? 2 : 1), ParseRich(f.number), Qt::AlignRight,
                 Font(typeface_.body, 10.5));
        LeaveTable(table);
    }

    void operator()(const Symbols& s) {
        QTextBlockFormat block;
        block.setTopMargin(Pt(4));
        block.setProperty(kKeepWithNext, true);
        NewBlock(block);
        cursor_.insertText(QStringLiteral("式中："), Font(typeface_.body, 10.5));
        QTextTable* table =
            InsertTable(static_cast<int>(s.entries.size()),
                        SymbolColumnsPt(s, textWidthPt_, PdfMeasureFonts()), 100, false, false);
        for (std::size_t i = 0; i < s.entries.size(); ++i) {
            FillCell(table->cellAt(int(i), 0), s.entries[i].first, Qt::AlignLeft,
                     Font(typeface_.body, 10.5), IndentPt(21));
            FillCell(table->cellAt(int(i), 1), ParseRich("—— " + s.entries[i].second),
                     Qt::AlignLeft, Font(typeface_.body, 10.5));
        }
        LeaveTable(table);
    }

    void operator()(const ProfileFigure& f) {
        const QImage image = FigureImage(f);
        FigureBlock();
        InsertPicture(image, image.deviceIndependentSize());
        Caption(Q(f.caption));
    }

    void operator()(const SketchFigure& f) {
        const auto layout = LaySketch(f);
        for (std::size_t k = 0; k < layout->pages.size(); ++k) {
            if (k > 0) breakBefore_ = true;
            FigureBlock();
            if (vector_) {
                cursor_.insertText(QString(QChar::ObjectReplacementCharacter),
                                   SketchObjectFormat(doc_, layout, k));
            } else {
                QSizeF logical;
                const QImage image = SketchPicture(*layout, k, logical);
                InsertPicture(image, logical);
            }
            Caption(Q(f.caption) + (k > 0 ? QStringLiteral("（续）") : QString()));
        }
    }

    void operator()(const SignOff& s) {
        const std::vector<Column> columns = {{ParseRich("职　责"), Align::Center, 22},
                                             {ParseRich("签　名"), Align::Center, 48},
                                             {ParseRich("日　期"), Align::Center, 30}};
        QTextTable* table =
            InsertTable(static_cast<int>(s.roles.size()) + 1, {22, 48, 30}, 86, true, true, 5, 36);
        for (int c = 0; c < 3; ++c)
            FillCell(table->cellAt(0, c), columns[c].title, Qt::AlignHCenter,
                     Font(typeface_.heading, 12));
        for (std::size_t r = 0; r < s.roles.size(); ++r) {
            QTextTableCell cell = table->cellAt(int(r) + 1, 0);
            QTextTableCellFormat format = cell.format().toTableCellFormat();
            format.setTopPadding(Pt(10));
            format.setBottomPadding(Pt(10));
            cell.setFormat(format);
            FillCell(cell, ParseRich(s.roles[r]), Qt::AlignHCenter, Font(typeface_.heading, 12));
        }
        LeaveTable(table);
    }

    void operator()(const PageBreak&) { breakBefore_ = true; }

  private:
    // The paragraph of a figure, kept on the page of its caption.
    void FigureBlock() {
        QTextBlockFormat block;
        block.setAlignment(Qt::AlignHCenter);
        block.setTopMargin(Pt(6));
        block.setProperty(kKeepWithNext, true);
        NewBlock(block);
    }

    void InsertPicture(const QImage& image, QSizeF logical) {
        const QString name = QStringLiteral("sheet-figure-%1.png").arg(++figures_);
        doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat format;
        format.setName(name);
        // Image sizes are in pixels at 96 dpi, scaled to the paint device.
        format.setWidth(logical.width());
        format.setHeight(logical.height());
        cursor_.insertImage(format);
    }

    void Caption(const QString& text) {
        QTextBlockFormat caption;
        caption.setAlignment(Qt::AlignHCenter);
        caption.setBottomMargin(Pt(6));
        NewBlock(caption);
        cursor_.insertText(text, Font(typeface_.heading, 10.5));
    }

    // Indents, and every other length.
    double IndentPt(double points) const { return points * units_.indent; }
    double Pt(double points) const { return points * units_.length; }

    QTextCharFormat Font(const QStringList& families, double points) const {
        QTextCharFormat format;
        format.setFontFamilies(families);
        format.setFontPointSize(points);
        format.setForeground(Qt::black);
        return format;
    }

    // The next paragraph: the empty one the document starts with or a table
    // leaves behind, else a new one.
    void NewBlock(QTextBlockFormat block) {
        if (breakBefore_) block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        breakBefore_ = false;
        if (emptyBlock_) {
            // The layout drops the top margin of a paragraph right below a
            // table; the table keeps the distance instead.
            if (lastTable_ && block.topMargin() > 0) {
                QTextTableFormat format = lastTable_->format().toTableFormat();
                format.setBottomMargin(std::max(format.bottomMargin(), block.topMargin()));
                lastTable_->setFormat(format);
            }
            cursor_.setBlockFormat(block);
        } else {
            cursor_.insertBlock(block);
        }
        emptyBlock_ = false;
        lastTable_ = nullptr;
    }

    void InsertRich(const Rich& rich, const QTextCharFormat& base) {
        for (const Span& s : rich) {
            QTextCharFormat format = base;
            if (s.script == Span::Script::Sub)
                format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
            if (s.script == Span::Script::Super)
                format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            cursor_.insertText(Q(s.text).replace(QLatin1Char('\n'), QChar::LineSeparator), format);
        }
    }

    // Columns in proportion to widths.
    QTextTable* InsertTable(int rows, const std::vector<double>& columns, int widthPercent,
                            bool ruled, bool headed, double padding = 1, double topMargin = 0) {
        QTextTableFormat format;
        if (breakBefore_) format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        breakBefore_ = false;
        format.setWidth(QTextLength(QTextLength::PercentageLength, widthPercent));
        format.setAlignment(Qt::AlignHCenter);
        format.setCellSpacing(0);
        format.setCellPadding(Pt(padding));
        format.setBorder(ruled ? Pt(0.6) : 0);
        format.setBorderBrush(Qt::black);
        format.setBorderStyle(ruled ? QTextFrameFormat::BorderStyle_Solid
                                    : QTextFrameFormat::BorderStyle_None);
        format.setBorderCollapse(true);
        format.setTopMargin(Pt(topMargin));
        format.setBottomMargin(Pt(ruled ? 4 : 0));
        if (headed) format.setHeaderRowCount(1);
        double total = 0;
        for (double w : columns) total += w;
        QList<QTextLength> widths;
        for (double w : columns)
            widths << QTextLength(QTextLength::PercentageLength,
                                  100.0 * w / (total > 0 ? total : 1));
        format.setColumnWidthConstraints(widths);
        QTextTable* table = cursor_.insertTable(rows, int(columns.size()), format);
        // With collapsed borders the grid is drawn from the cells' borders.
        if (ruled) {
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < int(columns.size()); ++c) {
                    QTextTableCell cell = table->cellAt(r, c);
                    QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                    cellFormat.setBorder(Pt(0.6));
                    cellFormat.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
                    cellFormat.setBorderBrush(Qt::black);
                    cellFormat.setVerticalAlignment(QTextCharFormat::AlignMiddle);
                    cell.setFormat(cellFormat);
                }
            }
        }
        return table;
    }

    void FillCell(QTextTableCell cell, const Rich& text, Qt::Alignment align,
                  const QTextCharFormat& font, double indent = 0) {
        cursor_ = cell.firstCursorPosition();
        QTextBlockFormat block;
        block.setAlignment(align | Qt::AlignVCenter);
        block.setLeftMargin(indent);
        cursor_.setBlockFormat(block);
        InsertRich(text, font);
    }

    void LeaveTable(QTextTable* table) {
        lastTable_ = table;
        cursor_ = table->lastCursorPosition();
        cursor_.movePosition(QTextCursor::NextBlock);
        emptyBlock_ = true;
    }

    QTextDocument& doc_;
    QTextCursor cursor_;
    const Typeface& typeface_;
    Units units_;
    double textWidthPt_;
    QTextTable* lastTable_ = nullptr;  // the one just above an empty paragraph
    bool emptyBlock_ = true, breakBefore_ = false;
    int figures_ = 0;
    bool vector_;
};

}  // namespace

// DejaVu Sans gives the heading face what it lacks (the minus sign), as the
// system's fallback would on Linux; named here, it is the same on Windows.
Typeface PdfTypeface() {
    return {{QStringLiteral("DejaVu Serif"), QStringLiteral("AR PL UMing CN")},
            {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("DejaVu Sans")}};
}

const QStringList& LoadShippedFonts() {
    static const QStringList families = [] {
        QStringList loaded;
        const QDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
        for (const QString& name :
             dir.entryList({QStringLiteral("*.ttf"), QStringLiteral("*.ttc")}, QDir::Files))
            loaded << QFontDatabase::applicationFontFamilies(
                QFontDatabase::addApplicationFont(dir.filePath(name)));
        return loaded;
    }();
    return families;
}

QImage FigureImage(const ProfileFigure& f) {
    constexpr double scale = 200.0 / 96.0;
    const QSizeF logical(f.widthMm / 25.4 * 96, f.heightMm / 25.4 * 96);
    QImage image((logical * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintProfileChart(f.profile, f.lowPressure, painter, QRectF(QPointF(0, 0), logical));
    }
    return image;
}

std::vector<PageRun> SplitRuns(const Document& doc) {
    std::vector<PageRun> runs(1);
    for (const Element& e : doc.elements) {
        if (const auto* b = std::get_if<PageBreak>(&e)) {
            if (!runs.back().elements.empty()) runs.emplace_back();
            runs.back().orientation = b->orientation;
            continue;
        }
        runs.back().elements.push_back(&e);
    }
    return runs;
}

std::unique_ptr<QTextDocument> BuildTextDocument(const std::vector<const Element*>& elements,
                                                 const Typeface& typeface, Units units,
                                                 double textWidthPt, bool vectorSketch,
                                                 const Pages* pages) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    // The layout starts every page below this margin: superscripts in a
    // page's first line rise above the line, into the page before otherwise.
    doc->setDocumentMargin(4 * units.length);
    QFont font;
    font.setFamilies(typeface.body);
    font.setPointSizeF(10.5);
    doc->setDefaultFont(font);
    if (pages) {
        // Pages first, then the content as one edit: laid out once, on
        // them, rather than on an endless page and again on the pages.
        doc->documentLayout()->setPaintDevice(pages->device);
        doc->setPageSize(pages->size);
    }
    QTextCursor edit(doc.get());
    edit.beginEditBlock();
    Builder builder(*doc, typeface, units, textWidthPt, vectorSketch);
    for (const Element* e : elements) std::visit(builder, *e);
    // Before the edit ends, which lays the content out with the objects' sizes.
    RegisterSketchObjects(*doc);
    edit.endEditBlock();
    return doc;
}

void KeepWithNext(QTextDocument& doc, double pageHeight) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    auto page = [&](double y) { return static_cast<int>(std::floor(y / pageHeight)); };
    // Moving a block to the next page changes nothing above it, so one pass
    // from the top finds every block to move.
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QTextBlockFormat format = b.blockFormat();
        if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore ||
            QTextCursor(b).currentTable())
            continue;
        const QRectF here = layout->blockBoundingRect(b);
        // A short paragraph is not split over two pages either: a line of
        // working would otherwise leave its result on the next page.
        const bool split =
            page(here.top()) != page(here.bottom() - 1) && here.height() < pageHeight / 4;
        const QTextBlock next = b.next();
        const bool parted = format.boolProperty(kKeepWithNext) && next.isValid() &&
                            page(here.top()) != page(layout->blockBoundingRect(next).bottom() - 1);
        if (!split && !parted) continue;
        // A heading over a figure or a caption goes with it.
        QTextBlock first = b;
        for (QTextBlock p = b.previous();
             p.isValid() && p.blockFormat().boolProperty(kKeepWithNext) &&
             !(p.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) &&
             !QTextCursor(p).currentTable() &&
             page(layout->blockBoundingRect(p).top()) == page(here.top());
             p = p.previous())
            first = p;
        if (std::fmod(layout->blockBoundingRect(first).top(), pageHeight) < 1) first = b;
        if (std::fmod(layout->blockBoundingRect(first).top(), pageHeight) < 1)
            continue;  // already at a page's top
        format = first.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(first).setBlockFormat(format);
        // The layout redoes only part of the document after a format change
        // and leaves paragraphs below tables unlaid: all of it again.
        doc.markContentsDirty(0, doc.characterCount());
    }
}

}  // namespace gaspipe::sheet::detail
