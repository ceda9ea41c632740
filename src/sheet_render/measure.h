// Widths both layouts (PDF and ODT) give a table's columns and a formula's
// parts, from the text they hold in the sheet's fonts, so that no head word,
// number or formula is broken inside. Internal to the renderers.
#pragma once

#include <QStringList>

#include <vector>

#include "document.h"

namespace gaspipe::sheet::detail {

// An A4 page of the sheet in mm: a wider left margin for binding; the
// running header and footer sit in the top and bottom margins.
struct PageGeometry {
    double width, height, top, bottom, left, right;
    double TextWidth() const { return width - left - right; }
    double TextHeight() const { return height - top - bottom; }
};
PageGeometry PageOf(Orientation o);

// Fonts the widths are measured in: the PDF's, whose Chinese glyphs are as
// wide as any 宋体 and whose Latin ones are a little wider than Times New
// Roman's, so a width that fits here fits in the ODT's fonts too.
struct MeasureFonts {
    QStringList body, heading;
};
MeasureFonts PdfMeasureFonts();

// Points of a table's font size, and of the padding around a cell's text on
// each side.
double TableFontPt(const Table& t);
double CellPaddingPt(const Table& t);

// Column widths in points summing to widthPt. Every cell on one line where
// they fit, the room left shared by the columns' relative widths; else each
// column at least as wide as its head's lines (terms, never broken) and its
// widest number, word or symbol, the room above that shared by how much the
// columns' longest lines need.
std::vector<double> ColumnWidthsPt(const Table& t, double widthPt, const MeasureFonts& fonts);

// The two columns of a list of symbols, the first indented 21 pt.
std::vector<double> SymbolColumnsPt(const Symbols& s, double widthPt, const MeasureFonts& fonts);

// A line of working or an equation (no Chinese in it) in the size that
// keeps it on one line, down to 7.5 pt; other text keeps its size.
double EquationSizePt(const Rich& text, double widthPt, const MeasureFonts& fonts, double size);

// A paragraph that ends in a colon introduces what follows and stays on its
// page.
bool IntroducesNext(const Rich& text);

// A formula line: the expression, its condition and its number on one line
// when they fit, else the condition on a line of its own under the
// expression; an expression wider than its room is set in a smaller size.
struct FormulaFit {
    double expressionPt = 0, conditionPt = 0, numberPt = 0;  // column widths
    bool conditionBelow = false;
    double expressionFontPt = 10.5;
};
FormulaFit FitFormula(const Formula& f, double widthPt, const MeasureFonts& fonts);

}  // namespace gaspipe::sheet::detail
