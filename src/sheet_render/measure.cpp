#include "measure.h"

#include <QFont>
#include <QFontMetricsF>

#include <algorithm>
#include <numeric>

namespace gaspipe::sheet::detail {

namespace {

// Scripts are set at about two thirds of the size.
constexpr double kScriptScale = 0.66;

QFont FontOf(const QStringList& families, double points) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    return font;
}

bool BreaksAround(QChar c) {
    const char16_t u = c.unicode();
    // CJK ideographs, punctuation and fullwidth forms: a line may break
    // before or after any of them.
    return (u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFFEF);
}

// The widest piece no line can break inside (a number, a Latin word, a
// symbol with its scripts; a whole line where whole) and the widest line,
// in points.
struct Extent {
    double least = 0, line = 0;
};

Extent Measure(const Rich& rich, const QStringList& families, double points, bool whole = false) {
    const QFontMetricsF normal(FontOf(families, points));
    const QFontMetricsF small(FontOf(families, points * kScriptScale));
    // Metrics are in pixels at the font's resolution.
    const double toPt = 72.0 / normal.fontDpi();
    Extent e;
    double line = 0, piece = 0;
    auto endPiece = [&] {
        e.least = std::max(e.least, piece);
        piece = 0;
    };
    auto endLine = [&] {
        endPiece();
        e.line = std::max(e.line, line);
        line = 0;
    };
    for (const Span& s : rich) {
        const QFontMetricsF& m = s.script == Span::Script::Normal ? normal : small;
        const QString text = QString::fromStdString(s.text);
        for (const QChar c : text) {
            if (c == QLatin1Char('\n')) {
                endLine();
                continue;
            }
            const double w = m.horizontalAdvance(c) * toPt;
            line += w;
            if (whole) {
                piece += w;
            } else if (c == QLatin1Char(' ')) {
                endPiece();
            } else if (BreaksAround(c)) {
                endPiece();
                piece = w;
                endPiece();
            } else {
                piece += w;
            }
        }
    }
    endLine();
    if (whole) e.least = e.line;
    return e;
}

}  // namespace

PageGeometry PageOf(Orientation o) {
    if (o == Orientation::Landscape) return {297, 210, 22, 20, 22, 18};
    return {210, 297, 27, 22, 25, 20};
}

MeasureFonts PdfMeasureFonts() {
    return {{QStringLiteral("DejaVu Serif"), QStringLiteral("AR PL UMing CN")},
            {QStringLiteral("WenQuanYi Zen Hei")}};
}

double TableFontPt(const Table& t) { return t.density == Table::Density::Dense ? 8 : 10.5; }

double CellPaddingPt(const Table& t) {
    return t.density == Table::Density::Roomy ? 5 : t.density == Table::Density::Dense ? 2 : 2.5;
}

std::vector<double> ColumnWidthsPt(const Table& t, double widthPt, const MeasureFonts& fonts) {
    const std::size_t n = t.columns.size();
    if (n == 0) return {};
    const double size = TableFontPt(t);
    // Both paddings and a rule, and a little room for the fonts' differences.
    const double extra = 2 * CellPaddingPt(t) + 1.5 + size * 0.3;
    std::vector<double> least(n), line(n), weight(n);
    for (std::size_t c = 0; c < n; ++c) {
        // A head's lines are terms, never broken.
        Extent e = Measure(t.columns[c].title, fonts.heading, size, true);
        for (const auto& row : t.rows) {
            if (c >= row.size()) continue;
            const Extent cell =
                Measure(row[c].text, row[c].emphasis ? fonts.heading : fonts.body, size);
            e.least = std::max(e.least, cell.least);
            e.line = std::max(e.line, cell.line);
        }
        // A term wider than half the table (a long code or number) breaks
        // anywhere rather than squeeze the other columns below their words.
        least[c] = std::min(e.least + extra, widthPt / 2);
        line[c] = e.line + extra;
        weight[c] = std::max(1, t.columns[c].width);
    }
    const auto sum = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0);
    };
    std::vector<double> widths(n);
    const double lines = sum(line), leasts = sum(least);
    if (lines <= widthPt) {
        // Every cell on one line; the room left shared by the relative widths.
        for (std::size_t c = 0; c < n; ++c)
            widths[c] = line[c] + (widthPt - lines) * weight[c] / sum(weight);
        return widths;
    }
    if (leasts >= widthPt) {
        for (std::size_t c = 0; c < n; ++c) widths[c] = least[c] * widthPt / leasts;
        return widths;
    }
    // A column whose lines fit in its share of the width by the relative
    // widths keeps them whole; the others share the rest by their relative
    // widths, none below its least.
    std::vector<bool> whole(n, false), floor(n, false);
    for (bool changed = true; changed;) {
        changed = false;
        double room = widthPt, shared = 0;
        for (std::size_t c = 0; c < n; ++c) {
            if (whole[c])
                room -= line[c];
            else if (floor[c])
                room -= least[c];
            else
                shared += weight[c];
        }
        for (std::size_t c = 0; c < n && !changed; ++c) {
            if (whole[c] || floor[c]) continue;
            const double share = shared > 0 ? room * weight[c] / shared : 0;
            if (line[c] <= share)
                whole[c] = changed = true;
            else if (least[c] > share)
                floor[c] = changed = true;
            widths[c] = share;
        }
        if (shared == 0) break;
    }
    for (std::size_t c = 0; c < n; ++c) {
        if (whole[c]) widths[c] = line[c];
        if (floor[c]) widths[c] = least[c];
    }
    // Rounding aside, the widths fill the table; any rest goes to the widest.
    const double rest = widthPt - sum(widths);
    *std::max_element(widths.begin(), widths.end()) += rest;
    return widths;
}

std::vector<double> SymbolColumnsPt(const Symbols& s, double widthPt, const MeasureFonts& fonts) {
    constexpr double indent = 21;
    Table list;
    list.columns = {{{}, Align::Left, 18}, {{}, Align::Left, 82}};
    for (const auto& [symbol, meaning] : s.entries)
        list.rows.push_back({Cell{symbol}, Cell{ParseRich("—— " + meaning)}});
    std::vector<double> widths = ColumnWidthsPt(list, widthPt - indent, fonts);
    widths.front() += indent;
    return widths;
}

double EquationSizePt(const Rich& text, double widthPt, const MeasureFonts& fonts, double size) {
    for (const Span& s : text)
        for (const QChar c : QString::fromStdString(s.text))
            if (BreaksAround(c) || c == QLatin1Char('\n')) return size;
    const double width = Measure(text, fonts.body, size).line;
    return width <= widthPt ? size : std::max(7.5, size * widthPt / width * 0.98);
}

bool IntroducesNext(const Rich& text) {
    return !text.empty() && (text.back().text.ends_with("：") || text.back().text.ends_with(":"));
}

FormulaFit FitFormula(const Formula& f, double widthPt, const MeasureFonts& fonts) {
    FormulaFit fit;
    const double indent = 21, gap = 12;
    fit.numberPt = std::max(42.0, Measure(ParseRich(f.number), fonts.body, 10.5).line + 6);
    const double room = widthPt - fit.numberPt;
    // With a margin for the fonts' differences and the layouts' own spacing.
    const double expression = indent + Measure(f.expression, fonts.body, 10.5).line * 1.05 + gap;
    const double condition =
        f.condition.empty() ? 0 : Measure(f.condition, fonts.body, 9).line * 1.1 + 8;
    if (expression + condition <= room) {
        // Conditions line up a little right of the middle where they can.
        const double middle = room * 0.52;
        fit.expressionPt = expression <= middle && condition <= room - middle
                               ? middle
                               : std::max(expression, room - condition);
        fit.conditionPt = room - fit.expressionPt;
        return fit;
    }
    fit.conditionBelow = !f.condition.empty();
    fit.expressionPt = room;
    if (expression > room)
        fit.expressionFontPt =
            std::max(7.0, 10.5 * (room - indent - gap) / (expression - indent - gap));
    return fit;
}

}  // namespace gaspipe::sheet::detail
