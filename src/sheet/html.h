// The sheet as one self-contained HTML file, for a quick look in a browser;
// print styles put it on A4 with landscape pages where the sheet asks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "document.h"

namespace gaspipe::sheet {

// Inline SVG markup of a figure; empty where it cannot be drawn, which
// leaves a note in its place.
using FigureSvg = std::function<std::string(const ProfileFigure&)>;
// The sketch's pages as inline SVG markup each; none where it cannot be drawn.
using SketchSvg = std::function<std::vector<std::string>(const SketchFigure&)>;

std::string RenderHtml(const Document& doc, const FigureSvg& figureSvg = {},
                       const SketchSvg& sketchSvg = {});

}  // namespace gaspipe::sheet
