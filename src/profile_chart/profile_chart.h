// The pressure-profile chart of a line, built from the network library's
// plain profile data by one function and painted by one routine on every
// device: the table window's view, PNG and SVG exports, the calculation
// sheet's page. Computes nothing: the numbers are the profile's.
#pragma once

#include <QRectF>
#include <QSize>
#include <QString>

#include <string>

#include "profile.h"

class QPainter;
QT_BEGIN_NAMESPACE
class QChart;
QT_END_NAMESPACE

namespace gaspipe {

// A new chart: pressure against distance along the path, a marked point with
// the node's name at the end of every segment, and the lowest allowed
// pressure as a dashed line. lowPressure picks the axis unit (gauge Pa, or
// absolute 10^5 Pa).
QChart* BuildProfileChart(const network::Profile& profile, bool lowPressure);

// Paints the profile's chart into target on any painter (screen, image, SVG
// generator, printed page).
void PaintProfileChart(const network::Profile& profile, bool lowPressure, QPainter& painter,
                       const QRectF& target);

// The chart as a PNG or SVG file of the given size, written whole or not at
// all; false with the reason in error.
bool ExportProfileChartPng(const network::Profile& profile, bool lowPressure, QSize size,
                           const std::string& path, std::string& error);
bool ExportProfileChartSvg(const network::Profile& profile, bool lowPressure, QSize size,
                           const std::string& path, std::string& error);

}  // namespace gaspipe
