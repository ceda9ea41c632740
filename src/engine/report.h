// The result report: the lines the window prints into its results panel after
// a successful calculation, also printed by the command-line tool. Pure text
// work on the engine's results; the caller chooses the decimal separator.
#pragma once

#include <string>
#include <vector>

namespace gaspipe {

struct SegmentResult {
    float inletPressure = 0;
    float outletPressure = 0;
    float pressureLoss = 0;
    float meanVelocity = 0;
    float maxVelocity = 0;
};

// Fixed-point text with `decimals` decimals, at least one integer digit, a
// leading minus for negative values, also those that round to zero (-0.000),
// none for zero and -0.0; no grouping.
std::string FormatFixed(float value, int decimals, const std::string& decimalSeparator = ".");

// Five lines for "高中压", four for "低压", none for any other class. The
// high/medium pressure drop is computed here and throws CalcError when it
// overflows a float.
std::vector<std::string> ReportLines(const std::string& pressureClass, const SegmentResult& r,
                                     const std::string& decimalSeparator = ".");

// The inlet - outlet drop as the high/medium report shows it.
float HighMediumPressureDrop(float inletPressure, float outletPressure);

}  // namespace gaspipe
