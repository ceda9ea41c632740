// The sheet's elements as a QTextDocument. Internal to the renderers.
#pragma once

#include <QImage>
#include <QStringList>
#include <QTextDocument>

#include <memory>
#include <vector>

#include "document.h"

namespace gaspipe::sheet::detail {

struct Typeface {
    QStringList body, heading;
};

// Fonts whose glyphs map back to their characters, so the PDF's text can be
// searched and copied (Noto CJK's shared radical glyphs come back as Kangxi
// radicals).
Typeface PdfTypeface();

// The PDF's faces are shipped in fonts/ beside the program; loaded from
// there, a sheet embeds the same fonts on every system. Loads them once per
// process and gives the families they hold.
const QStringList& LoadShippedFonts();

// Elements up to a page break, printed on pages of one orientation.
struct PageRun {
    Orientation orientation = Orientation::Portrait;
    std::vector<const Element*> elements;
};
std::vector<PageRun> SplitRuns(const Document& doc);

// Lengths per point: on a paint device the layout scales lengths from 96
// dpi itself, except a paragraph's indent, taken in the device's pixels.
struct Units {
    double indent, length;
};

// A figure's picture at 200 dpi, its device-independent size that of the
// figure at 96 dpi, as the chart routine lays it out.
QImage FigureImage(const ProfileFigure& f);

// Where a document is printed: pages of `size` on `device`.
struct Pages {
    QPaintDevice* device;
    QSizeF size;
};

// The elements as one document on pages textWidthPt wide; page breaks start a
// new page. vectorSketch: the sketch as objects painted with the document
// (PDF), else as pictures. Laid out on `pages` when given.
std::unique_ptr<QTextDocument> BuildTextDocument(const std::vector<const Element*>& elements,
                                                 const Typeface& typeface, Units units,
                                                 double textWidthPt, bool vectorSketch = false,
                                                 const Pages* pages = nullptr);

// After layout on pages of pageHeight: headings and captions that ended up
// at the foot of a page, apart from what they introduce, and short
// paragraphs split by a page's end move to the next page.
void KeepWithNext(QTextDocument& doc, double pageHeight);

}  // namespace gaspipe::sheet::detail
