#include "html.h"

namespace gaspipe::sheet {

namespace {

constexpr const char* kStyle = R"(
@page { size: A4 portrait; margin: 20mm 15mm 18mm 25mm; }
@page wide { size: A4 landscape; margin: 20mm 15mm 18mm 20mm; }
body { font-family: "DejaVu Serif", "AR PL UMing CN", SimSun, serif; font-size: 10.5pt;
       line-height: 1.5; max-width: 190mm; margin: 2em auto; color: #000; }
section.landscape { page: wide; max-width: 270mm; }
section + section { break-before: page; border-top: 1px dashed #999; margin-top: 2em; }
h1, h2, h3, .caption, th { font-family: "WenQuanYi Zen Hei", SimHei, sans-serif; font-weight: normal; }
h1 { font-size: 22pt; text-align: center; margin: 2.5em 0 0.3em; letter-spacing: 0.3em; }
h2 { font-size: 14pt; margin: 1.2em 0 0.4em; }
h3 { font-size: 12pt; margin: 0.8em 0 0.3em; }
p { margin: 0.25em 0; }
p.subtitle { text-align: center; font-size: 16pt; margin-bottom: 3em; }
p.note { font-size: 9pt; }
table { border-collapse: collapse; margin: 0.4em auto 0.8em; }
td, th { border: 0.5pt solid #000; padding: 2pt 5pt; }
table.small { font-size: 8pt; }
table.roomy td { padding: 5pt 8pt; }
.caption { text-align: center; margin-top: 0.8em; font-size: 10.5pt; }
.left { text-align: left; } .center { text-align: center; } .right { text-align: right; }
.emphasis { font-family: "WenQuanYi Zen Hei", SimHei, sans-serif; }
.pass { background: #e2f0d9; color: #1e5c1e; } .fail { background: #f8d7da; color: #9c1c1c; }
table.formula { border: none; width: 100%; margin: 0.2em 0; }
table.formula td { border: none; padding: 1pt 0; }
table.formula td.number { text-align: right; width: 12%; }
table.formula td.condition { font-size: 9pt; width: 28%; }
table.signoff td { height: 2.2em; }
footer { margin-top: 2em; font-size: 9pt; border-top: 0.5pt solid #000; }
figure { text-align: center; margin: 1em 0; }
figure.sketch svg { max-width: 100%; height: auto; }
)";

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
                out += "<br>";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Inline(const Rich& rich) {
    std::string out;
    for (const Span& s : rich) {
        switch (s.script) {
            case Span::Script::Normal:
                out += Escape(s.text);
                break;
            case Span::Script::Sub:
                out += "<sub>" + Escape(s.text) + "</sub>";
                break;
            case Span::Script::Super:
                out += "<sup>" + Escape(s.text) + "</sup>";
                break;
        }
    }
    return out;
}

const char* AlignClass(Align a) {
    switch (a) {
        case Align::Left:
            return "left";
        case Align::Center:
            return "center";
        case Align::Right:
            break;
    }
    return "right";
}

void WriteTable(std::string& out, const Table& t) {
    if (!t.caption.empty()) out += "<p class=\"caption\">" + Escape(t.caption) + "</p>\n";
    const char* density = t.density == Table::Density::Dense   ? "small"
                          : t.density == Table::Density::Roomy ? "roomy"
                                                               : "";
    out += "<table class=\"" + std::string(density) +
           "\" style=\"width:" + std::to_string(t.widthPercent) + "%\">\n";
    int total = 0;
    for (const Column& c : t.columns) total += c.width;
    bool headed = false;
    for (const Column& c : t.columns) headed = headed || !c.title.empty();
    out += "<colgroup>";
    for (const Column& c : t.columns)
        out += "<col style=\"width:" + std::to_string(100 * c.width / (total ? total : 1)) + "%\">";
    out += "</colgroup>\n";
    if (headed) {
        out += "<thead><tr>";
        for (const Column& c : t.columns) out += "<th>" + Inline(c.title) + "</th>";
        out += "</tr></thead>\n";
    }
    out += "<tbody>\n";
    for (const auto& row : t.rows) {
        out += "<tr>";
        for (std::size_t i = 0; i < row.size(); ++i) {
            const Cell& cell = row[i];
            std::string cls = AlignClass(i < t.columns.size() ? t.columns[i].align : Align::Left);
            if (cell.check == Check::Pass) cls += " pass";
            if (cell.check == Check::Fail) cls += " fail";
            if (cell.emphasis) cls += " emphasis";
            out += "<td class=\"" + cls + "\">" + Inline(cell.text) + "</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody></table>\n";
}

struct Writer {
    std::string& out;
    const FigureSvg& figureSvg;
    const SketchSvg& sketchSvg;

    void operator()(const Heading& h) {
        const char* tag = h.level <= 0 ? "h1" : h.level == 1 ? "h2" : "h3";
        out += std::string("<") + tag + ">" + Escape(h.text) + "</" + tag + ">\n";
    }
    void operator()(const Paragraph& p) {
        const char* cls = p.style == Paragraph::Style::Note       ? "note"
                          : p.style == Paragraph::Style::Subtitle ? "subtitle"
                                                                  : "";
        out += (*cls ? "<p class=\"" + std::string(cls) + "\">" : std::string("<p>")) +
               Inline(p.text) + "</p>\n";
    }
    void operator()(const Table& t) { WriteTable(out, t); }
    void operator()(const Formula& f) {
        out += "<table class=\"formula\"><tr><td>" + Inline(f.expression) +
               "</td><td class=\"condition\">" + Inline(f.condition) +
               "</td><td class=\"number\">" + Escape(f.number) + "</td></tr></table>\n";
    }
    void operator()(const Symbols& s) {
        out += "<p>式中：</p>\n<table class=\"formula\">\n";
        for (const auto& [symbol, meaning] : s.entries)
            out += "<tr><td style=\"width:22%;padding-left:2em\">" + Inline(symbol) +
                   "</td><td>—— " + Inline(ParseRich(meaning)) + "</td></tr>\n";
        out += "</table>\n";
    }
    void operator()(const ProfileFigure& f) {
        out += "<figure>";
        const std::string svg = figureSvg ? figureSvg(f) : std::string();
        out += svg.empty() ? "<p class=\"note\">（压力曲线图见本计算书的 PDF 或 ODT 文件。）</p>"
                           : svg;
        out += "<p class=\"caption\">" + Escape(f.caption) + "</p></figure>\n";
    }
    void operator()(const SketchFigure& f) {
        const std::vector<std::string> pages =
            sketchSvg ? sketchSvg(f) : std::vector<std::string>();
        const std::string caption = "<p class=\"caption\">" + Escape(f.caption);
        if (pages.empty())
            out += "<figure><p class=\"note\">（计算简图见本计算书的 PDF 或 ODT 文件。）</p>" +
                   caption + "</p></figure>\n";
        for (std::size_t k = 0; k < pages.size(); ++k)
            out += "<figure class=\"sketch\">" + pages[k] + caption + (k ? "（续）" : "") +
                   "</p></figure>\n";
    }
    void operator()(const SignOff& s) {
        out +=
            "<table class=\"signoff\" style=\"width:86%\"><thead><tr><th style=\"width:22%\">"
            "职　责</th><th>签　名</th><th style=\"width:30%\">日　期</th></tr></thead>"
            "<tbody>\n";
        for (const std::string& role : s.roles)
            out += "<tr><td class=\"center emphasis\">" + Escape(role) +
                   "</td><td></td><td></td></tr>\n";
        out += "</tbody></table>\n";
    }
    void operator()(const PageBreak& b) {
        out += "</section>\n<section class=\"";
        out += b.orientation == Orientation::Landscape ? "landscape" : "portrait";
        out += "\">\n";
    }
};

}  // namespace

std::string RenderHtml(const Document& doc, const FigureSvg& figureSvg,
                       const SketchSvg& sketchSvg) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<title>" + Escape(doc.title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n";
    out += "<body>\n<section class=\"portrait\">\n";
    Writer writer{out, figureSvg, sketchSvg};
    for (const Element& e : doc.elements) std::visit(writer, e);
    out += "</section>\n<footer>" + Escape(doc.footer) + "</footer>\n</body>\n</html>\n";
    return out;
}

}  // namespace gaspipe::sheet
