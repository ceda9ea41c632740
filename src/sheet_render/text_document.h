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

// Where a document is printed: pages of `size` on `device`.
struct Pages {
    QPaintDevice* device;
    QSizeF size;
};

// The elements as one document; page breaks start a new page. Laid out on
// `pages` when given.
std::unique_ptr<QTextDocument> BuildTextDocument(const std::vector<const Element*>& elements,
                                                 const Typeface& typeface, Units units,
                                                 const Pages* pages = nullptr);

// After layout on pages of pageHeight: headings and captions that ended up
// at the foot of a page, apart from what they introduce, and short
// paragraphs split by a page's end move to the next page.
void KeepWithNext(QTextDocument& doc, double pageHeight);

}  // namespace gaspipe::sheet::detail
