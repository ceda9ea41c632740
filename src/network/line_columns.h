// The columns of a line's hydraulic calculation table, defined once for every
// table that shows them: the command line's text and CSV, the calculation
// sheet and the table window's result columns. Each column has its Chinese
// name, its unit for the pressure scale in use, the decimals it is printed
// with and the value of a row in display units, so that the same figure
// reads the same everywhere.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "case.h"
#include "network.h"
#include "pressure_display.h"

namespace gaspipe::network {

enum class LineColumn {
    Id,
    From,
    To,
    Material,
    Nominal,
    Inner,
    Length,
    CalculationLength,  // L + Le
    Part,
    Households,    // N below the segment
    RatedFlow,     // Qn
    Simultaneity,  // k
    Flow,          // Q
    Inlet,
    Outlet,
    Drop,
    UnitFrictionLoss,
    FrictionLoss,
    LocalLoss,
    AdditionalHead,
    CumulativeDrop,
    PartDrop,
    MeanVelocity,
    MaxVelocity,
    Reynolds,
    Regime,
    FrictionFactor,
    Check,
};

// "起点压力", "计算流量 Q", ...
std::string_view ColumnName(LineColumn column);
// The unit for the scale: "MPa（表压）", "kPa", "m³/h"; "" for none.
std::string ColumnUnit(LineColumn column, const PressureScale& scale);
int ColumnDecimals(LineColumn column, const PressureScale& scale);
bool IsTextColumn(LineColumn column);

// The columns a printed table of the case shows, in order: N, Qn and k when
// flows come from households or a typed factor, the part and its drop when
// the case gives parts, the additional head at low pressure; not the regime
// (the sheet's working names it).
std::vector<LineColumn> TableColumns(const Case& c);

// Whether the case gives any segment a part, any node households, any
// segment a typed simultaneity factor.
bool UsesParts(const Case& c);
bool UsesFlowBasis(const Case& c);

// One cell in display units. No number and no text: nothing to show (not
// calculated, or not used).
struct ColumnCell {
    std::optional<double> number;
    std::string text;
    bool typed = false;   // a flow or factor given for the segment, not derived
    bool failed = false;  // a check on this figure fails
};
ColumnCell CellOf(LineColumn column, const Case& c, const Network& net, std::size_t row,
                  const PressureScale& scale);

// "满足"; or what fails: "流速超限、压降超限", "管径太小", "计算错误", "未计算".
std::string CheckWords(const SegmentResult& r);

// 层流, 临界, 紊流.
std::string_view RegimeWords(hydraulics::Regime regime);

}  // namespace gaspipe::network
