#include "formulas.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace gaspipe::hydraulics {

namespace {

constexpr double kPi = std::numbers::pi;

double Area(double diameter) {
    const double dm = diameter / 1000;
    return kPi / 4 * dm * dm;
}

// λ·Q²/d⁵·ρ·T/T0, the factor both loss formulas share.
double LossFactor(double lambda, double flow, double diameter, double density, double temperature) {
    return lambda * flow * flow / std::pow(diameter, 5) * density * temperature / kT0;
}

}  // namespace

double ReynoldsNumber(double flow, double diameter, double viscosity) {
    return flow / 3600 / Area(diameter) * (diameter / 1000) / (viscosity * 1e-6);
}

FrictionFactor Friction(double reynolds, double roughness, double diameter) {
    if (reynolds <= kLaminarLimit) return {Regime::Laminar, 64 / reynolds};
    if (reynolds <= kCriticalLimit)
        return {Regime::Critical, 0.03 + (reynolds - 2100) / (65 * reynolds - 1e5)};
    return {Regime::Turbulent, ColebrookWhite(reynolds, roughness / diameter)};
}

double ColebrookWhite(double reynolds, double relativeRoughness) {
    // f(x) = x + 2·lg(a + b·x) with x = 1/√λ is increasing and concave, so
    // Newton's method converges from any start in the physical range; from
    // x = 8 it takes two to five steps.
    const double a = relativeRoughness / 3.7;
    const double b = 2.51 / reynolds;
    double x = 8;
    for (int i = 0; i < 100; ++i) {
        const double s = a + b * x;
        const double step = (x + 2 * std::log10(s)) / (1 + 2 * b / (s * std::numbers::ln10));
        x -= step;
        if (!(std::fabs(step) > 1e-15 * x)) break;  // also ends on NaN
    }
    // Roughness beyond about 3.7 diameters leaves no positive root.
    return x > 0 ? 1 / (x * x) : std::numeric_limits<double>::quiet_NaN();
}

double Compressibility(double meanPressure) {
    return 100 / (std::pow(meanPressure, 1.15) * 0.12 + 100);
}

double LowPressureLoss(double lambda, double flow, double diameter, double density,
                       double temperature, double length) {
    return kLowCoefficient * LossFactor(lambda, flow, diameter, density, temperature) * length;
}

double HighMediumSquareLoss(double lambda, double flow, double diameter, double density,
                            double temperature, double z, double length) {
    // kPa² = 10⁻⁴ (10⁵ Pa)², km = 1000 m.
    return kHighCoefficient * LossFactor(lambda, flow, diameter, density, temperature) * z *
           (length / 1000) / 1e4;
}

double AdditionalHead(double density, double rise) {
    return kGravity * (kAirDensity - density) * rise;
}

double MeanPressure(double inletAbsolute, double outletAbsolute) {
    return 2.0 / 3 *
           (inletAbsolute + outletAbsolute * outletAbsolute / (inletAbsolute + outletAbsolute));
}

double ActualFlow(double flow, double absolutePressurePa, double temperature, double z) {
    return flow * kP0Pa / absolutePressurePa * temperature / kT0 * z;
}

double Velocity(double actualFlow, double diameter) { return actualFlow / 3600 / Area(diameter); }

}  // namespace gaspipe::hydraulics
