// How a line's pressures are named and shown to the designer: the pressure
// level of the code's classification (GB 50028-2006, table 6.1.7, gauge) and
// the unit a table or a sheet prints pressures and drops in. Only the display
// changes: cases, the solver and the case file keep the class's own units
// (高中压: absolute, 10⁵ Pa; 低压: gauge, Pa).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gaspipe::network {

enum class PressureLevel { Low, MediumB, MediumA, SubHighB, SubHighA, HighB, HighA, AboveHighA };

// 低压, 中压B, 中压A, 次高压B, 次高压A, 高压B, 高压A; above 4.0 MPa the
// code has no level: "高于高压A".
std::string_view PressureLevelName(PressureLevel level);

// The level of a gauge pressure in MPa. The bounds belong to the lower level
// (0.2 MPa is 中压B), except 0.01 MPa, the lowest medium pressure.
PressureLevel ClassifyGauge(double gaugeMPa);

// The level of a line from its source pressure in the class's unit.
PressureLevel SourceLevel(double sourcePressure, bool lowPressure);

// The gauge pressure in MPa of a pressure in the class's unit.
double GaugeMPa(double pressure, bool lowPressure);

// What a high/medium-pressure table shows its pressures in. Low pressure is
// always Pa gauge.
enum class PressureUnit { MPaGauge, KPaGauge, BarAbsolute };

inline constexpr PressureUnit kDefaultPressureUnit = PressureUnit::MPaGauge;

// The case file's names: "MPa", "kPa", "1e5Pa".
std::string_view PressureUnitName(PressureUnit unit);
std::optional<PressureUnit> PressureUnitFromName(std::string_view name);

// Pressures and drops converted from the class's unit for display, with the
// units' texts and the decimals every table and sheet print them with, so
// that the same figure reads the same everywhere.
struct PressureScale {
    bool lowPressure = false;
    PressureUnit unit = kDefaultPressureUnit;

    // "MPa", "kPa", "10⁵ Pa" or "Pa".
    std::string_view PressureUnitText() const;
    // "表压" or "绝压".
    std::string_view Reference() const;
    // "MPa（表压）": the unit with its reference, for headings.
    std::string PressureHeadingUnit() const;
    // Drops are differences, so they have no reference: "kPa", "10⁵ Pa", "Pa".
    std::string_view DropUnitText() const;

    double Pressure(double classValue) const;
    double Drop(double classDifference) const;
    int PressureDecimals() const;
    int DropDecimals() const;

    // Losses: Pa at low pressure, P₁² − P₂² otherwise, in kPa² (the unit of
    // the code's high/medium-pressure formula) or, shown in 10⁵ Pa, (10⁵ Pa)².
    std::string_view LossUnitText() const;
    double Loss(double classLoss) const;
    int LossDecimals() const;
    // A loss per length: Pa/m at low pressure, per km otherwise ("kPa²/km").
    std::string LossPerLengthUnitText() const;
    double LossPerLength(double classLossPerMetre) const;
    int LossPerLengthDecimals() const;
};

PressureScale ScaleFor(bool lowPressure, PressureUnit unit = kDefaultPressureUnit);

}  // namespace gaspipe::network
