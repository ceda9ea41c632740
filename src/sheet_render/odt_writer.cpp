#include "odt_writer.h"

#include <QBuffer>
#include <QImage>

#include <librevenge/librevenge.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "measure.h"
#include "odt_package.h"
#include "sketch_object.h"
#include "text_document.h"

namespace gaspipe::sheet::detail {

namespace {

using librevenge::RVNG_INCH;
using librevenge::RVNG_PERCENT;
using librevenge::RVNG_POINT;
using librevenge::RVNGPropertyList;
using librevenge::RVNGPropertyListVector;

// Family lists as the office suites read them: the first one a Chinese
// Windows has, then Linux's.
constexpr const char* kLatin = "'Times New Roman', 'DejaVu Serif'";
constexpr const char* kSong = "SimSun, 宋体, 'AR PL UMing CN'";
constexpr const char* kHei = "SimHei, 黑体, 'WenQuanYi Zen Hei'";

constexpr const char* kRule = "0.6pt solid #000000";

double Inch(double mm) { return mm / 25.4; }
double InchOfPt(double pt) { return pt / 72.0; }

enum class Face { Body, Heading };

struct Run {
    Face face = Face::Body;
    double size = 10.5;
    const char* color = "#000000";
};

struct Block {
    const char* align = "start";
    double top = 0, bottom = 0, indent = 0;
    double lineHeight = 0;  // percent; 0: single
    bool keepWithNext = false;
    bool breakBefore = false;
};

QByteArray Png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    // zlib's fastest level: a drawing of lines and text packs nearly as well,
    // and a long line's sketch is many pictures.
    image.save(&buffer, "PNG", 80);
    return png;
}

class Builder {
  public:
    explicit Builder(OdtGenerator& g) : g_(g), fonts_(PdfMeasureFonts()) {}

    void OpenPages(Orientation o, const Document& doc, bool header) {
        page_ = PageOf(o);
        // The header's and the footer's height with their gap of 3 mm to
        // the text, taken from the PDF's margins.
        const double headerRoom = 7, footerRoom = 7, gap = 3;
        RVNGPropertyList span;
        span.insert("fo:page-width", Inch(page_.width), RVNG_INCH);
        span.insert("fo:page-height", Inch(page_.height), RVNG_INCH);
        span.insert("style:print-orientation",
                    o == Orientation::Landscape ? "landscape" : "portrait");
        span.insert("fo:margin-left", Inch(page_.left), RVNG_INCH);
        span.insert("fo:margin-right", Inch(page_.right), RVNG_INCH);
        span.insert("fo:margin-top", Inch(page_.top - (header ? headerRoom : 0)), RVNG_INCH);
        span.insert("fo:margin-bottom", Inch(page_.bottom - footerRoom), RVNG_INCH);
        g_.openPageSpan(span);
        RVNGPropertyList every;
        every.insert("librevenge:occurrence", "all");
        if (header) {
            g_.openHeader(every);
            RuledLine("bottom", gap);
            Text(doc.headerLeft, {Face::Body, 8});
            g_.insertTab();
            Text(doc.headerRight, {Face::Body, 8});
            g_.closeParagraph();
            g_.closeHeader();
        }
        g_.openFooter(every);
        RuledLine("top", gap);
        Text(doc.footer, {Face::Body, 8});
        g_.insertTab();
        // "第 x 页 共 y 页" with the office suite's own page fields.
        const std::string number = PageNumberText(1, 2);
        const std::size_t x = number.find('1'), y = number.find('2');
        Text(number.substr(0, x), {Face::Body, 8});
        Field("text:page-number");
        Text(number.substr(x + 1, y - x - 1), {Face::Body, 8});
        Field("text:page-count");
        Text(number.substr(y + 1), {Face::Body, 8});
        g_.closeParagraph();
        g_.closeFooter();
    }

    void operator()(const Heading& h) {
        Block b;
        b.keepWithNext = true;
        double size = 14;
        if (h.level <= 0) {
            // Less room above than the PDF's: office suites set Chinese
            // lines taller, and the cover must stay one page.
            size = 26;
            b.align = "center";
            b.top = 40;
            b.bottom = 14;
        } else if (h.level == 1) {
            b.top = 16;
            b.bottom = 6;
        } else {
            size = 12;
            b.top = 10;
            b.bottom = 4;
        }
        Para(b);
        Text(h.text, {Face::Heading, size});
        g_.closeParagraph();
    }

    void operator()(const Paragraph& p) {
        Block b;
        b.top = b.bottom = 2;
        b.lineHeight = 135;
        double size = 10.5;
        if (p.style == Paragraph::Style::Note) size = 9;
        if (p.style == Paragraph::Style::Body)
            size = EquationSizePt(p.text, TextWidthPt(), fonts_, size);
        b.keepWithNext = IntroducesNext(p.text);
        if (p.style == Paragraph::Style::Subtitle) {
            size = 16;
            b.align = "center";
            b.bottom = 30;
        }
        Para(b);
        Rich_(p.text, {Face::Body, size});
        g_.closeParagraph();
    }

    void operator()(const Table& t) {
        if (!t.caption.empty()) {
            Block b;
            b.align = "center";
            b.top = 8;
            b.bottom = 3;
            b.keepWithNext = true;
            Para(b);
            Text(t.caption, {Face::Heading, 10.5});
            g_.closeParagraph();
        }
        const double width = TextWidthPt() * t.widthPercent / 100.0;
        const std::vector<double> columns = ColumnWidthsPt(t, width, fonts_);
        OpenTable(columns, 4);
        const double size = TableFontPt(t), padding = CellPaddingPt(t);
        bool headed = false;
        for (const Column& c : t.columns) headed = headed || !c.title.empty();
        if (headed) {
            OpenRow(true);
            for (const Column& c : t.columns) {
                Cell_(padding, "#eeeeee");
                CellText(c.title, "center", {Face::Heading, size});
            }
            g_.closeTableRow();
        }
        for (const auto& cells : t.rows) {
            OpenRow(false);
            for (std::size_t c = 0; c < t.columns.size(); ++c) {
                const Cell empty;
                const Cell& cell = c < cells.size() ? cells[c] : empty;
                const char* background = cell.check == Check::Pass   ? "#e2f0d9"
                                         : cell.check == Check::Fail ? "#f8d7da"
                                                                     : nullptr;
                const char* color = cell.check == Check::Pass   ? "#1e5c1e"
                                    : cell.check == Check::Fail ? "#9c1c1c"
                                                                : "#000000";
                Cell_(padding, background);
                CellText(cell.text, AlignOf(t.columns[c].align),
                         {cell.emphasis ? Face::Heading : Face::Body, size, color});
            }
            g_.closeTableRow();
        }
        g_.closeTable();
    }

    void operator()(const Formula& f) {
        const FormulaFit fit = FitFormula(f, TextWidthPt(), fonts_);
        std::vector<double> columns = {fit.expressionPt};
        if (!fit.conditionBelow && !f.condition.empty())
            columns.push_back(fit.conditionPt);
        else
            columns.front() += fit.conditionPt;
        columns.push_back(fit.numberPt);
        OpenTable(columns, 0, false);
        OpenRow(false);
        Cell_(1, nullptr, false);
        Block b;
        b.indent = 21;
        Para(b);
        Rich_(f.expression, {Face::Body, fit.expressionFontPt});
        g_.closeParagraph();
        if (fit.conditionBelow) {
            b.indent = 42;
            Para(b);
            Rich_(f.condition, {Face::Body, 9});
            g_.closeParagraph();
        }
        g_.closeTableCell();
        if (columns.size() == 3) {
            Cell_(1, nullptr, false);
            CellText(f.condition, "start", {Face::Body, 9});
        }
        Cell_(1, nullptr, false);
        CellText(ParseRich(f.number), "end", {Face::Body, 10.5});
        g_.closeTableRow();
        g_.closeTable();
    }

    void operator()(const Symbols& s) {
        Block b;
        b.top = 4;
        b.keepWithNext = true;
        Para(b);
        Text("式中：", {Face::Body, 10.5});
        g_.closeParagraph();
        OpenTable(SymbolColumnsPt(s, TextWidthPt(), fonts_), 0, false);
        for (const auto& [symbol, meaning] : s.entries) {
            OpenRow(false);
            Cell_(1, nullptr, false);
            Block indented;
            indented.indent = 21;
            Para(indented);
            Rich_(symbol, {Face::Body, 10.5});
            g_.closeParagraph();
            g_.closeTableCell();
            Cell_(1, nullptr, false);
            CellText(ParseRich("—— " + meaning), "start", {Face::Body, 10.5});
            g_.closeTableRow();
        }
        g_.closeTable();
    }

    void operator()(const ProfileFigure& f) {
        Picture(Png(FigureImage(f)), f.widthMm, f.heightMm, f.caption, false);
    }

    void operator()(const SketchFigure& f) {
        const auto layout = LaySketch(f);
        for (std::size_t k = 0; k < layout->pages.size(); ++k) {
            QSizeF logical;
            const QImage image = SketchPicture(*layout, k, logical);
            // The picture's size at 96 dpi, in mm.
            Picture(Png(image), logical.width() * 25.4 / 96, logical.height() * 25.4 / 96,
                    f.caption + (k > 0 ? "（续）" : ""), k > 0);
        }
    }

    void operator()(const SignOff& s) {
        Table form;
        form.widthPercent = 86;
        form.columns = {{ParseRich("职　责"), Align::Center, 22},
                        {ParseRich("签　名"), Align::Center, 48},
                        {ParseRich("日　期"), Align::Center, 30}};
        const double width = TextWidthPt() * form.widthPercent / 100.0;
        std::vector<double> columns;
        for (const Column& c : form.columns) columns.push_back(width * c.width / 100.0);
        OpenTable(columns, 4, true, 36);
        OpenRow(true);
        for (const Column& c : form.columns) {
            Cell_(5, nullptr);
            CellText(c.title, "center", {Face::Heading, 12});
        }
        g_.closeTableRow();
        for (const std::string& role : s.roles) {
            OpenRow(false);
            Cell_(10, nullptr);
            CellText(ParseRich(role), "center", {Face::Heading, 12});
            for (int i = 0; i < 2; ++i) {
                Cell_(10, nullptr);
                CellText({}, "center", {Face::Heading, 12});
            }
            g_.closeTableRow();
        }
        g_.closeTable();
    }

    void operator()(const PageBreak&) {}  // the runs' page spans

  private:
    double TextWidthPt() const { return page_.TextWidth() / 25.4 * 72; }

    static const char* AlignOf(Align a) {
        return a == Align::Center ? "center" : a == Align::Right ? "end" : "start";
    }

    // The header's or the footer's line: a rule on the side towards the
    // text, gapMm from it, and a tab stop at the right margin.
    void RuledLine(const std::string& side, double gapMm) {
        RVNGPropertyList p;
        RVNGPropertyListVector tabs;
        RVNGPropertyList tab;
        tab.insert("style:type", "right");
        tab.insert("style:position", Inch(page_.TextWidth()), RVNG_INCH);
        tabs.append(tab);
        p.insert("style:tab-stops", tabs);
        p.insert(("fo:border-" + side).c_str(), "0.5pt solid #000000");
        p.insert(("fo:padding-" + side).c_str(), 1.5, RVNG_POINT);
        p.insert(("fo:margin-" + side).c_str(), Inch(gapMm), RVNG_INCH);
        g_.openParagraph(p);
    }

    // A picture with its caption below, the two kept on one page.
    void Picture(const QByteArray& png, double widthMm, double heightMm,
                 const std::string& caption, bool newPage) {
        Block b;
        b.align = "center";
        b.top = 6;
        b.keepWithNext = true;
        b.breakBefore = newPage;
        Para(b);
        RVNGPropertyList frame;
        frame.insert("text:anchor-type", "as-char");
        frame.insert("svg:width", Inch(widthMm), RVNG_INCH);
        frame.insert("svg:height", Inch(heightMm), RVNG_INCH);
        g_.openFrame(frame);
        RVNGPropertyList image;
        image.insert("librevenge:mime-type", "image/png");
        image.insert(
            "office:binary-data",
            librevenge::RVNGBinaryData(reinterpret_cast<const unsigned char*>(png.constData()),
                                       static_cast<unsigned long>(png.size())));
        g_.insertBinaryObject(image);
        g_.closeFrame();
        g_.closeParagraph();
        Block below;
        below.align = "center";
        below.bottom = 6;
        Para(below);
        Text(caption, {Face::Heading, 10.5});
        g_.closeParagraph();
    }

    void Para(const Block& b) {
        RVNGPropertyList p;
        p.insert("fo:text-align", b.align);
        p.insert("fo:margin-top", b.top, RVNG_POINT);
        p.insert("fo:margin-bottom", b.bottom, RVNG_POINT);
        if (b.indent > 0) p.insert("fo:margin-left", b.indent, RVNG_POINT);
        if (b.lineHeight > 0) p.insert("fo:line-height", b.lineHeight / 100.0, RVNG_PERCENT);
        if (b.keepWithNext) p.insert("fo:keep-with-next", "always");
        if (b.breakBefore) p.insert("fo:break-before", "page");
        // Lines break between words and numbers only where the text allows.
        p.insert("style:line-break", "strict");
        g_.openParagraph(p);
    }

    void Field(const char* type) {
        RVNGPropertyList f;
        f.insert("librevenge:field-type", type);
        f.insert("style:num-format", "1");
        RVNGPropertyList span = SpanOf(Span{}, {Face::Body, 8});
        g_.openSpan(span);
        g_.insertField(f);
        g_.closeSpan();
    }

    static RVNGPropertyList SpanOf(const Span& s, const Run& r) {
        RVNGPropertyList p;
        const bool heading = r.face == Face::Heading;
        p.insert("fo:font-family", heading ? kHei : kLatin);
        p.insert("style:font-family-asian", heading ? kHei : kSong);
        p.insert("fo:font-size", r.size, RVNG_POINT);
        p.insert("fo:color", r.color);
        if (s.script == Span::Script::Super) p.insert("style:text-position", "super 58%");
        if (s.script == Span::Script::Sub) p.insert("style:text-position", "sub 58%");
        return p;
    }

    void Rich_(const Rich& rich, const Run& r) {
        for (const Span& s : rich) {
            g_.openSpan(SpanOf(s, r));
            Insert(s.text);
            g_.closeSpan();
        }
    }

    void Text(const std::string& text, const Run& r) { Rich_({Span{text}}, r); }

    // Line breaks and runs of blanks as the format has them.
    void Insert(const std::string& text) {
        std::string pending;
        auto flush = [&] {
            if (!pending.empty()) g_.insertText(librevenge::RVNGString(pending.c_str()));
            pending.clear();
        };
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '\n') {
                flush();
                g_.insertLineBreak();
            } else if (c == ' ' && (i == 0 || text[i - 1] == ' ')) {
                flush();
                g_.insertSpace();
            } else {
                pending += c;
            }
        }
        flush();
    }

    void OpenTable(const std::vector<double>& columnsPt, double bottomPt, bool ruled = true,
                   double topPt = 0) {
        double total = 0;
        RVNGPropertyListVector columns;
        for (double w : columnsPt) {
            RVNGPropertyList c;
            c.insert("style:column-width", InchOfPt(w), RVNG_INCH);
            columns.append(c);
            total += w;
        }
        RVNGPropertyList t;
        t.insert("style:width", InchOfPt(total), RVNG_INCH);
        t.insert("table:align", "center");
        t.insert("fo:margin-top", topPt, RVNG_POINT);
        t.insert("fo:margin-bottom", bottomPt, RVNG_POINT);
        t.insert("librevenge:table-columns", columns);
        g_.openTable(t);
        ruled_ = ruled;
    }

    void OpenRow(bool header) {
        RVNGPropertyList r;
        if (header) r.insert("librevenge:is-header-row", true);
        // A row stays on one page.
        r.insert("fo:keep-together", "always");
        g_.openTableRow(r);
    }

    void Cell_(double paddingPt, const char* background, bool ruled = true) {
        RVNGPropertyList c;
        if (ruled && ruled_) c.insert("fo:border", kRule);
        if (background) c.insert("fo:background-color", background);
        c.insert("fo:padding", paddingPt, RVNG_POINT);
        c.insert("style:vertical-align", "middle");
        g_.openTableCell(c);
    }

    void CellText(const Rich& text, const char* align, const Run& r) {
        Block b;
        b.align = align;
        Para(b);
        Rich_(text, r);
        g_.closeParagraph();
        g_.closeTableCell();
    }

    OdtGenerator& g_;
    MeasureFonts fonts_;
    PageGeometry page_ = PageOf(Orientation::Portrait);
    bool ruled_ = true;
};

}  // namespace

QByteArray WriteOdt(const Document& doc) {
    XmlStream content, styles, meta, manifest;
    {
        OdtGenerator generator;
        generator.addDocumentHandler(&content, ODF_CONTENT_XML);
        generator.addDocumentHandler(&styles, ODF_STYLES_XML);
        generator.addDocumentHandler(&meta, ODF_META_XML);
        generator.addDocumentHandler(&manifest, ODF_MANIFEST_XML);
        RVNGPropertyList metadata;
        metadata.insert("dc:title", doc.title.c_str());
        metadata.insert("meta:generator", "gaspipe");
        generator.setDocumentMetaData(metadata);
        generator.startDocument(RVNGPropertyList());
        Builder builder(generator);
        const std::vector<PageRun> runs = SplitRuns(doc);
        for (std::size_t k = 0; k < runs.size(); ++k) {
            // The cover has no running header.
            builder.OpenPages(runs[k].orientation, doc, k > 0);
            for (const Element* e : runs[k].elements) std::visit(builder, *e);
            generator.closePageSpan();
        }
        generator.endDocument();
    }
    return OdfPackage("application/vnd.oasis.opendocument.text",
                      {{"content.xml", content.bytes()},
                       {"styles.xml", styles.bytes()},
                       {"meta.xml", meta.bytes()},
                       {"META-INF/manifest.xml", manifest.bytes()}});
}

}  // namespace gaspipe::sheet::detail
