// Hydraulics of one gas pipe segment by either method, with its full working.
//
// Front ends (command line, calculation table, calculation sheet) hand a
// SegmentInput and MethodOptions to Calculate and get a SegmentTrace: the
// inputs as used, the working (Re, λ, Z, every pass) and the results. The
// appendix method is the window's own routine, called through its traced entry
// on float inputs, so its results are the window's to the last bit; the
// current-code method computes in double.
//
// Units are the window's: pressures absolute in 10⁵ Pa for "高中压", gauge in
// Pa for "低压"; the loss in (10⁵ Pa)² (P1² − P2²) or Pa; d in mm, L in m,
// Q in m³/h at the standard state, velocities in m/s.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formulas.h"

namespace gaspipe::hydraulics {

enum class Method { Appendix, Gb50028_2006 };
enum class Gas { NaturalGas, ManufacturedGas, Lpg };
enum class PressureClass { HighMedium, Low };
enum class Material { Steel, Pe, CastIron };
enum class Outcome { Ok, PipeTooSmall, CalcError, InputError };

// "appendix", "gb50028-2006"; the reverse accepts exactly these.
std::string_view MethodName(Method m);
std::optional<Method> MethodFromName(std::string_view name);
// The source a calculation sheet cites for the method.
std::string_view MethodBasis(Method m);
// "laminar", "critical", "turbulent".
std::string_view RegimeName(Regime r);
// "ok", "pipe_too_small", "calc_error", "input_error".
std::string_view OutcomeName(Outcome o);

// The window's selector texts ("天然气", "高中压", "钢管", ...) and back.
std::string_view SelectorText(Gas g);
std::string_view SelectorText(PressureClass c);
std::string_view SelectorText(Material m);
std::optional<Gas> GasFromText(std::string_view text);
std::optional<PressureClass> ClassFromText(std::string_view text);
std::optional<Material> MaterialFromText(std::string_view text);

struct SegmentInput {
    Gas gas = Gas::NaturalGas;
    PressureClass pressureClass = PressureClass::HighMedium;
    Material material = Material::Steel;
    double density = 0;      // kg/m³, standard state
    double viscosity = 0;    // 10⁻⁶ m²/s, standard state
    double temperature = 0;  // K
    double diameter = 0;     // inner, mm
    double length = 0;       // m
    double flow = 0;         // m³/h, standard state
    double inlet = 0;        // the class's pressure unit
    double start = 0;        // appendix only: starting estimate of the outlet pressure
};

// Options of the current-code method; the appendix method takes only the
// rise (its constants hold a local-loss allowance of 10 %).
struct MethodOptions {
    Method method = Method::Appendix;
    std::optional<double> localLoss;  // fraction of the friction loss, default 0.10
    std::optional<double> zeta;       // Σζ of the fittings instead: equivalent length Σζ·d/λ
    // m, end minus start elevation; low pressure only (ignored for high/medium).
    // The appendix routine knows no elevation: its outlet gains the head.
    std::optional<double> rise;
    std::optional<double> roughness;  // K in mm, default by material and gas
    std::optional<double> z;          // compressibility, high/medium only; default empirical
};

// The current-code method's roughness: steel 0.1 mm (0.15 for manufactured
// gas), PE 0.01 mm, cast (ductile) iron 0.2 mm.
double DefaultRoughness(Gas gas, Material material);

struct InputProblem {
    std::string field;    // "flow", "local_loss", ... as the command line names it
    std::string message;  // names the input and what is wrong with it
};

// Physically impossible or contradictory inputs for the method: non-positive
// or non-finite numbers, an inlet at or below 1 (10⁵ Pa absolute) or 0 Pa,
// and what ValidateOptions refuses.
std::optional<InputProblem> Validate(const SegmentInput& in, const MethodOptions& options);

// The options alone: those the method or class cannot use, numbers that are
// not finite, negative or zero where they cannot be, both local_loss and zeta.
std::optional<InputProblem> ValidateOptions(const SegmentInput& in, const MethodOptions& options);

// `start` is the appendix routine's outlet estimate; another method, which
// needs none, refuses one given.
std::optional<InputProblem> ValidateStart(Method method, bool startGiven);

struct Pass {
    double outletBefore = 0;
    // None when the pass found no outlet at all (P1² − loss ≤ 0).
    std::optional<double> outletAfter;
    // |after − before| relative to the new value (the appendix routine: to
    // their sum); none when the pass ended without a valid outlet.
    std::optional<double> relativeChange;
    double meanPressure = 0, z = 0, actualFlow = 0, velocity = 0, reynolds = 0, frictionFactor = 0,
           loss = 0;
};

struct SegmentTrace {
    // Inputs as used: for the appendix method rounded to float as the routine
    // stores them.
    SegmentInput input;
    Method method = Method::Appendix;
    double roughness = 0;          // K, mm
    bool roughnessUsed = false;    // false where the friction law takes none
    double localLossFraction = 0;  // as applied (Σζ as its equivalent fraction)
    double equivalentLength = 0;   // m, of Σζ; 0 without it
    double rise = 0;               // m, as applied
    bool zGiven = false;           // Z was the caller's, not the empirical formula

    // Working of the last pass (or of the one calculation).
    Regime regime = Regime::Laminar;
    double reynolds = 0;
    double frictionFactor = 0;
    double z = 1;
    double meanPressure = 0;   // the class's unit (low: gauge)
    double actualFlow = 0;     // m³/h at the mean pressure
    std::vector<Pass> passes;  // empty when nothing was iterated

    // Results, set when the outcome is Ok. loss = frictionLoss + localLoss in
    // the loss unit; drop = inlet − outlet = loss − additionalHead for low
    // pressure, P1 − P2 for high/medium.
    double frictionLoss = 0, localLoss = 0, additionalHead = 0;
    double loss = 0, drop = 0, outlet = 0;
    double meanVelocity = 0;  // at the mean pressure
    double maxVelocity = 0;   // at the outlet

    Outcome outcome = Outcome::Ok;
    std::string reason;  // why, when the outcome is not Ok
    // Passes started, also when the list is left out; for the appendix
    // routine one more than the list when a pass ended in a calculation error.
    int passCount = 0;
};

// One segment by the chosen method. The current-code method validates first
// (InputError with the problem); the appendix method runs the routine on
// whatever it is given, as the window does, so callers that want the checks
// call Validate themselves.
SegmentTrace Calculate(const SegmentInput& in, const MethodOptions& options);

// The same into t, reusing its storage, so that a caller running many
// segments allocates nothing once t has grown (a failure's reason aside).
// Without keepPasses the pass list stays empty; the last pass's working and
// passCount are set all the same.
void CalculateInto(const SegmentInput& in, const MethodOptions& options, SegmentTrace& t,
                   bool keepPasses);

}  // namespace gaspipe::hydraulics
