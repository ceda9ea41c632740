// The formulas of the current-code method (GB 50028-2006, 6.2.5 to 6.2.7),
// one function each, in double. The segment calculation strings them
// together; a calculation sheet can show them term by term.
//
// Units throughout: flow Q in m³/h at the standard state, inner diameter d in
// mm, length L in m, standard-state density in kg/m³, standard-state kinematic
// viscosity in 10⁻⁶ m²/s, temperature in K, roughness K in mm.
#pragma once

namespace gaspipe::hydraulics {

inline constexpr double kT0 = 273.15;                // K, standard-state temperature
inline constexpr double kP0Pa = 101325;              // Pa, standard-state pressure
inline constexpr double kP0Bar = 1.01325;            // the same in 10⁵ Pa
inline constexpr double kLowCoefficient = 6.26e7;    // low-pressure friction loss, Pa
inline constexpr double kHighCoefficient = 1.27e10;  // high/medium, kPa² with L in km
inline constexpr double kAirDensity = 1.293;         // kg/m³, for the additional head
inline constexpr double kGravity = 9.8;              // m/s²
inline constexpr double kLaminarLimit = 2100;        // Re ≤ this: laminar
inline constexpr double kCriticalLimit = 3500;       // Re ≤ this: critical zone
inline constexpr double kDefaultLocalLoss = 0.10;    // fraction of the friction loss
// Inlet (10⁵ Pa absolute) from which the gas is no longer taken as ideal: a
// gauge pressure of 1.2 MPa.
inline constexpr double kCompressibleInlet = 13.01325;

enum class Regime { Laminar, Critical, Turbulent };

struct FrictionFactor {
    Regime regime;
    double lambda;
};

// Reynolds number of the standard-state flow: the mass flux is the same at
// every pressure, so this is also the Reynolds number of the actual flow.
double ReynoldsNumber(double flow, double diameter, double viscosity);

// 64/Re up to 2100, the critical-zone formula up to 3500, Colebrook-White above.
FrictionFactor Friction(double reynolds, double roughness, double diameter);

// Colebrook-White 1/√λ = −2·lg(ε/3.7 + 2.51/(Re·√λ)) solved by Newton's
// method to the last bits of a double; ε = K/d. NaN where it has no solution.
double ColebrookWhite(double reynolds, double relativeRoughness);

// Empirical compressibility factor at a mean pressure in 10⁵ Pa absolute.
double Compressibility(double meanPressure);

// Low pressure: ΔP = 6.26e7·λ·Q²/d⁵·ρ·T/T0·L, in Pa.
double LowPressureLoss(double lambda, double flow, double diameter, double density,
                       double temperature, double length);

// High/medium pressure: P1² − P2² = 1.27e10·λ·Q²/d⁵·ρ·T/T0·Z·L with kPa and
// km, returned in (10⁵ Pa)² for L in m.
double HighMediumSquareLoss(double lambda, double flow, double diameter, double density,
                            double temperature, double z, double length);

// Additional head of a rise h (m, end minus start elevation), in Pa: positive
// for gas lighter than air rising.
double AdditionalHead(double density, double rise);

// Mean pressure of a segment, on absolute pressures in any one unit.
double MeanPressure(double inletAbsolute, double outletAbsolute);

// Actual flow (m³/h) of the standard-state flow at an absolute pressure in Pa:
// Q·P0/P·T/T0·Z.
double ActualFlow(double flow, double absolutePressurePa, double temperature, double z);

// Velocity (m/s) of an actual flow in m³/h.
double Velocity(double actualFlow, double diameter);

}  // namespace gaspipe::hydraulics
