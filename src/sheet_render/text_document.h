// The sheet's elements as a QTextDocument. Internal to the renderers.
#pragma once

#include <QStringList>
#include <QTextDocument>

#include <memory>
#include <vector>

#include "document.h"

namespace gaspipe::sheet::detail {

struct Typeface {
    QStringList body, heading;
};

// PDF: fonts whose glyphs map back to their characters, so the PDF's text
// can be searched and copied (Noto CJK's shared radical glyphs come back as
// Kangxi radicals). ODT: the names a Chinese office suite has.
Typeface PdfTypeface();
Typeface OdtTypeface();

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

// The elements as one document; page breaks start a new page.
std::unique_ptr<QTextDocument> BuildTextDocument(const std::vector<const Element*>& elements,
                                                 const Typeface& typeface, Units units);

// After layout on pages of pageHeight: headings and captions that ended up
// at the foot of a page, apart from what they introduce, and short
// paragraphs split by a page's end move to the next page.
void KeepWithNext(QTextDocument& doc, double pageHeight);

}  // namespace gaspipe::sheet::detail
