// The sheet as an ODF text document, for editing in WPS, Word or
// LibreOffice: the PDF's pages (A4 portrait and landscape, the same
// margins, the running header and the footer with "第 x 页 共 y 页" as
// fields), its paragraph and table styles, tables at their width of the
// text with the PDF's column widths, and the figures as PNG pictures.
// Written through libodfgen; fonts named as Chinese Windows has them
// (宋体 SimSun, 黑体 SimHei, Times New Roman), with the fonts of a Linux
// desktop after them. Internal to the renderers.
#pragma once

#include <QByteArray>

#include "document.h"

namespace gaspipe::sheet::detail {

// Empty when the package cannot be made.
QByteArray WriteOdt(const Document& doc);

}  // namespace gaspipe::sheet::detail
