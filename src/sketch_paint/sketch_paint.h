// The calculation sketch painted by one routine on every device: the table
// window's view, PNG and SVG exports, the calculation sheet's pages (PDF
// vector, ODT picture, HTML inline SVG). Computes nothing: positions and
// texts are the layout's, measured in the font the labels are painted in.
#pragma once

#include <QByteArray>
#include <QFont>
#include <QRectF>
#include <QString>

#include <string>

#include "sketch_layout.h"

class QPainter;

namespace gaspipe {

// The layout's measures in base's family at the labels' size (9 pt at the
// natural size); maxWidth, pageHeight and pipes as the caller wants them.
// Keep it to lay out again: it remembers the widths it measured.
sketch::Metrics SketchMetrics(const QFont& base);

// One page of the layout into target, scaled to fit it, on any painter;
// strips outside the painter's clip are skipped.
void PaintSketchPage(const sketch::Layout& layout, std::size_t page, const QFont& base,
                     QPainter& painter, const QRectF& target);

// The page's natural size with the white margin the pictures get.
QSizeF SketchPictureSize(const sketch::Page& page);

// One page as an SVG document.
QByteArray SketchPageSvg(const sketch::Layout& layout, std::size_t page, const QFont& base,
                         const QString& title);

// The whole sketch, wrapped at width, as one PNG (twice the natural size, for
// print) or SVG file, written whole or not at all; false with the reason in
// error.
bool ExportSketchPng(const sketch::Tree& tree, bool pipes, const QFont& base, double width,
                     const std::string& path, std::string& error);
bool ExportSketchSvg(const sketch::Tree& tree, bool pipes, const QFont& base, double width,
                     const std::string& path, std::string& error);

}  // namespace gaspipe
