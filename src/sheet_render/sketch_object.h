// The sketch in a sheet's QTextDocument: its pages laid out in the sheet's
// font, each either an object the sketch routine paints when the document is
// drawn (vector lines and searchable text in the PDF) or a picture (ODT,
// whose writer keeps only pictures). Internal to the renderers.
#pragma once

#include <QImage>
#include <QTextCharFormat>

#include <memory>

#include "document.h"
#include "sketch_layout.h"

class QTextDocument;

namespace gaspipe::sheet::detail {

// The font of the sketch's labels in every sheet: 黑体, as the table heads.
QFont SketchFont();

// The figure's pages: at most widthMm wide and heightMm high.
std::shared_ptr<const sketch::Layout> LaySketch(const SketchFigure& figure);

// A character format that draws the layout's page as a vector object of doc.
QTextCharFormat SketchObjectFormat(QTextDocument& doc,
                                   const std::shared_ptr<const sketch::Layout>& layout,
                                   std::size_t page);

// Draws the objects of SketchObjectFormat: after the document is built.
void RegisterSketchObjects(QTextDocument& doc);

// The page as a picture at 200 dpi; its size at 96 dpi in logical.
QImage SketchPicture(const sketch::Layout& layout, std::size_t page, QSizeF& logical);

}  // namespace gaspipe::sheet::detail
