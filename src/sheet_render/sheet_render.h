// The calculation sheet laid out by Qt: the document's elements become
// QTextDocuments (text, tables, the chart as an image resource), printed to
// PDF page by page with the running header, the footer and "第 x 页 共 y 页";
// the ODT is written through libodfgen from the same elements. Needs a QApplication (fonts, the
// chart); WriteSheetFile makes a headless one when the program has none.
#pragma once

#include <QByteArray>

#include <string>
#include <vector>

#include "document.h"

namespace gaspipe::sheet {

// A4, portrait or landscape pages as the document's page breaks ask, with
// the body in 宋体 (AR PL UMing) and headings in 黑体 (WenQuanYi Zen Hei),
// both embedded.
QByteArray RenderPdf(const Document& doc);

// The same pages as an ODF text document (odt_writer.h).
QByteArray RenderOdt(const Document& doc);

// The profile chart as inline SVG for the HTML sheet.
std::string ProfileFigureSvg(const ProfileFigure& figure);

// The sketch's pages as inline SVG for the HTML sheet.
std::vector<std::string> SketchFigureSvg(const SketchFigure& figure);

}  // namespace gaspipe::sheet
