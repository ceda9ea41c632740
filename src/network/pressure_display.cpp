#include "pressure_display.h"

#include <array>
#include <cmath>

#include "formulas.h"

namespace gaspipe::network {

namespace {

// Upper bounds of each level in Pa gauge, as the code's table states them in
// MPa. Compared in Pa with a margin far below any printed digit, so that a
// source typed as 3.01325 (10⁵ Pa absolute), which is 0.2 MPa gauge only up
// to rounding, is still 中压B.
constexpr std::array<double, 7> kUpperPa{1e4, 2e5, 4e5, 8e5, 1.6e6, 2.5e6, 4e6};
constexpr double kMarginPa = 1e-6;

}  // namespace

std::string_view PressureLevelName(PressureLevel level) {
    switch (level) {
        case PressureLevel::Low:
            return "低压";
        case PressureLevel::MediumB:
            return "中压B";
        case PressureLevel::MediumA:
            return "中压A";
        case PressureLevel::SubHighB:
            return "次高压B";
        case PressureLevel::SubHighA:
            return "次高压A";
        case PressureLevel::HighB:
            return "高压B";
        case PressureLevel::HighA:
            return "高压A";
        case PressureLevel::AboveHighA:
            break;
    }
    return "高于高压A";
}

PressureLevel ClassifyGauge(double gaugeMPa) {
    const double pa = gaugeMPa * 1e6;
    // Low pressure is "below 0.01 MPa": 0.01 itself is already medium.
    if (pa < kUpperPa[0] - kMarginPa) return PressureLevel::Low;
    for (std::size_t i = 1; i < kUpperPa.size(); ++i)
        if (pa <= kUpperPa[i] + kMarginPa) return static_cast<PressureLevel>(i);
    return PressureLevel::AboveHighA;
}

double GaugeMPa(double pressure, bool lowPressure) {
    return lowPressure ? pressure / 1e6 : (pressure * 1e5 - hydraulics::kP0Pa) / 1e6;
}

PressureLevel SourceLevel(double sourcePressure, bool lowPressure) {
    return ClassifyGauge(GaugeMPa(sourcePressure, lowPressure));
}

std::string_view PressureUnitName(PressureUnit unit) {
    switch (unit) {
        case PressureUnit::MPaGauge:
            return "MPa";
        case PressureUnit::KPaGauge:
            return "kPa";
        case PressureUnit::BarAbsolute:
            break;
    }
    return "1e5Pa";
}

std::optional<PressureUnit> PressureUnitFromName(std::string_view name) {
    for (PressureUnit u :
         {PressureUnit::MPaGauge, PressureUnit::KPaGauge, PressureUnit::BarAbsolute})
        if (name == PressureUnitName(u)) return u;
    return std::nullopt;
}

PressureScale ScaleFor(bool lowPressure, PressureUnit unit) {
    return PressureScale{lowPressure, unit};
}

std::string_view PressureScale::PressureUnitText() const {
    if (lowPressure) return "Pa";
    // The case file's names read as the units but for 10⁵ Pa.
    return unit == PressureUnit::BarAbsolute ? "10⁵ Pa" : PressureUnitName(unit);
}

std::string_view PressureScale::Reference() const {
    return !lowPressure && unit == PressureUnit::BarAbsolute ? "绝压" : "表压";
}

std::string PressureScale::PressureHeadingUnit() const {
    return std::string(PressureUnitText()) + "（" + std::string(Reference()) + "）";
}

std::string_view PressureScale::DropUnitText() const {
    if (lowPressure) return "Pa";
    return unit == PressureUnit::BarAbsolute ? "10⁵ Pa" : "kPa";
}

double PressureScale::Pressure(double classValue) const {
    if (lowPressure) return classValue;
    switch (unit) {
        case PressureUnit::MPaGauge:
            return (classValue * 1e5 - hydraulics::kP0Pa) / 1e6;
        case PressureUnit::KPaGauge:
            return (classValue * 1e5 - hydraulics::kP0Pa) / 1e3;
        case PressureUnit::BarAbsolute:
            break;
    }
    return classValue;
}

double PressureScale::Drop(double classDifference) const {
    if (lowPressure || unit == PressureUnit::BarAbsolute) return classDifference;
    return classDifference * 100;  // 10⁵ Pa to kPa
}

// 0.1 Pa at low pressure; 100 Pa as MPa, 10 Pa as kPa, 1 Pa as 10⁵ Pa; drops
// to 1 Pa wherever they are not in Pa.
int PressureScale::PressureDecimals() const {
    if (lowPressure) return 1;
    switch (unit) {
        case PressureUnit::MPaGauge:
            return 4;
        case PressureUnit::KPaGauge:
            return 2;
        case PressureUnit::BarAbsolute:
            break;
    }
    return 5;
}

int PressureScale::DropDecimals() const {
    if (lowPressure) return 1;
    return unit == PressureUnit::BarAbsolute ? 5 : 3;
}

std::string_view PressureScale::LossUnitText() const {
    if (lowPressure) return "Pa";
    return unit == PressureUnit::BarAbsolute ? "(10⁵ Pa)²" : "kPa²";
}

double PressureScale::Loss(double classLoss) const {
    if (lowPressure || unit == PressureUnit::BarAbsolute) return classLoss;
    return classLoss * 1e4;  // (10⁵ Pa)² to kPa²
}

int PressureScale::LossDecimals() const {
    if (lowPressure) return 1;
    return unit == PressureUnit::BarAbsolute ? 5 : 1;
}

std::string PressureScale::LossPerLengthUnitText() const {
    if (lowPressure) return "Pa/m";
    return std::string(LossUnitText()) + "/km";
}

double PressureScale::LossPerLength(double classLossPerMetre) const {
    return lowPressure ? classLossPerMetre : Loss(classLossPerMetre) * 1000;
}

int PressureScale::LossPerLengthDecimals() const {
    if (lowPressure) return 2;
    return unit == PressureUnit::BarAbsolute ? 3 : 1;
}

}  // namespace gaspipe::network
