// The current-code method: friction factor from the Reynolds number of the
// standard-state flow, the low-pressure loss formula with the additional head,
// and the high/medium squared-pressure formula, iterated on the outlet pressure
// only where the compressibility depends on it.
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>

#include "methods.h"

namespace gaspipe::hydraulics::detail {

namespace {

std::string Num(double v) { return MessageNumber(v); }

void Fail(SegmentTrace& t, Outcome outcome, std::string_view reason) {
    t.outcome = outcome;
    t.reason = reason;
}

bool AllFinite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

constexpr const char* kOutOfRange = "a number of the calculation is out of range";

void Low(SegmentTrace& t, double localLength) {
    const SegmentInput& in = t.input;
    t.frictionLoss = LowPressureLoss(t.frictionFactor, in.flow, in.diameter, in.density,
                                     in.temperature, in.length);
    t.localLoss = LowPressureLoss(t.frictionFactor, in.flow, in.diameter, in.density,
                                  in.temperature, localLength);
    t.additionalHead = AdditionalHead(in.density, t.rise);
    t.loss = t.frictionLoss + t.localLoss;
    t.outlet = in.inlet - t.loss + t.additionalHead;
    if (!AllFinite({t.loss, t.outlet})) {
        t.outcome = Outcome::CalcError;
        t.reason = kOutOfRange;
        return;
    }
    if (!(t.outlet > 0)) {
        t.outcome = Outcome::PipeTooSmall;
        t.reason = "the outlet pressure " + Num(t.outlet) + " Pa is not above 0";
        return;
    }
    t.drop = in.inlet - t.outlet;
    const double p1 = in.inlet + kP0Pa, p2 = t.outlet + kP0Pa, pm = MeanPressure(p1, p2);
    t.meanPressure = pm - kP0Pa;
    t.actualFlow = ActualFlow(in.flow, pm, in.temperature, t.z);
    t.meanVelocity = Velocity(t.actualFlow, in.diameter);
    t.maxVelocity = Velocity(ActualFlow(in.flow, p2, in.temperature, t.z), in.diameter);
}

void HighMedium(SegmentTrace& t, const MethodOptions& options, double localLength,
                bool keepPasses) {
    const SegmentInput& in = t.input;
    // Both parts of the loss at Z = 1; Z scales them alike.
    const double friction = HighMediumSquareLoss(t.frictionFactor, in.flow, in.diameter, in.density,
                                                 in.temperature, 1, in.length);
    const double local = HighMediumSquareLoss(t.frictionFactor, in.flow, in.diameter, in.density,
                                              in.temperature, 1, localLength);
    if (!AllFinite({friction, local})) {
        t.outcome = Outcome::CalcError;
        t.reason = kOutOfRange;
        return;
    }
    const double p1 = in.inlet, p1sq = p1 * p1;
    if (!std::isfinite(p1sq)) {
        t.outcome = Outcome::CalcError;
        t.reason = kOutOfRange;
        return;
    }
    const bool empirical = !t.zGiven && p1 >= kCompressibleInlet;
    auto zAt = [&](double p) { return t.zGiven ? *options.z : empirical ? Compressibility(p) : 1; };

    // Without the empirical Z nothing depends on the outlet: one calculation.
    // With it, the passes start from no drop and approach the outlet from above.
    double p2 = p1;
    if (empirical && keepPasses) t.passes.reserve(8);
    for (int n = 0;; ++n) {
        if (n == kMaxPasses) {
            t.outcome = Outcome::CalcError;
            t.reason =
                "the outlet pressure does not settle in " + std::to_string(kMaxPasses) + " passes";
            return;
        }
        Pass pass;
        pass.outletBefore = p2;
        pass.meanPressure = MeanPressure(p1, p2);
        pass.z = empirical ? Compressibility(pass.meanPressure) : zAt(p2);
        pass.loss = (friction + local) * pass.z;
        const double x = p1sq - pass.loss;
        if (!AllFinite({pass.loss, x, pass.meanPressure})) {
            t.outcome = Outcome::CalcError;
            t.reason = kOutOfRange;
            return;
        }
        if (x > 0) pass.outletAfter = std::sqrt(x);
        const bool valid = pass.outletAfter && *pass.outletAfter > 1;
        if (valid) pass.relativeChange = std::fabs(*pass.outletAfter - p2) / *pass.outletAfter;
        if (empirical) {
            ++t.passCount;
            if (keepPasses) {
                pass.actualFlow =
                    ActualFlow(in.flow, pass.meanPressure * 1e5, in.temperature, pass.z);
                pass.velocity = Velocity(pass.actualFlow, in.diameter);
                pass.reynolds = t.reynolds;
                pass.frictionFactor = t.frictionFactor;
                t.passes.push_back(pass);
            }
        }
        t.z = pass.z;
        if (!(x > 0)) {
            t.outcome = Outcome::PipeTooSmall;
            t.reason = "the loss P1² − P2² = " + Num(pass.loss) +
                       " (10⁵ Pa)² is not below P1² = " + Num(p1sq) + ": no outlet pressure";
            return;
        }
        if (!valid) {
            t.outcome = Outcome::PipeTooSmall;
            t.reason = "the outlet pressure " + Num(*pass.outletAfter) +
                       " × 10⁵ Pa absolute is not above 1 × 10⁵ Pa";
            return;
        }
        p2 = *pass.outletAfter;
        if (!empirical || *pass.relativeChange < kPassTolerance) break;
    }

    t.frictionLoss = friction * t.z;
    t.localLoss = local * t.z;
    t.loss = t.frictionLoss + t.localLoss;
    t.outlet = p2;
    t.drop = p1 - p2;
    t.meanPressure = MeanPressure(p1, p2);
    t.actualFlow = ActualFlow(in.flow, t.meanPressure * 1e5, in.temperature, t.z);
    t.meanVelocity = Velocity(t.actualFlow, in.diameter);
    t.maxVelocity = Velocity(ActualFlow(in.flow, p2 * 1e5, in.temperature, zAt(p2)), in.diameter);
}

}  // namespace

void CurrentCode(const SegmentInput& in, const MethodOptions& options, SegmentTrace& t,
                 bool keepPasses) {
    t.input = in;
    t.method = Method::Gb50028_2006;
    t.roughness = options.roughness.value_or(DefaultRoughness(in.gas, in.material));
    t.reynolds = ReynoldsNumber(in.flow, in.diameter, in.viscosity);
    const FrictionFactor f = Friction(t.reynolds, t.roughness, in.diameter);
    t.regime = f.regime;
    t.frictionFactor = f.lambda;
    t.roughnessUsed = f.regime == Regime::Turbulent;
    if (!AllFinite({t.reynolds, t.frictionFactor}) || !(t.frictionFactor > 0))
        return Fail(
            t, Outcome::CalcError,
            f.regime == Regime::Turbulent && std::isfinite(t.reynolds)
                ? "Colebrook-White has no solution for K/d = " + Num(t.roughness / in.diameter)
                : kOutOfRange);

    // Local losses as a length of pipe: a fraction of the length, or Σζ·d/λ.
    double localLength = 0;
    if (options.zeta) {
        t.equivalentLength = *options.zeta * (in.diameter / 1000) / t.frictionFactor;
        localLength = t.equivalentLength;
        t.localLossFraction = in.length > 0 ? localLength / in.length : 0;
    } else {
        t.localLossFraction = options.localLoss.value_or(kDefaultLocalLoss);
        localLength = in.length * t.localLossFraction;
    }
    t.zGiven = options.z.has_value();
    t.z = options.z.value_or(1);

    if (in.pressureClass == PressureClass::Low) {
        t.rise = options.rise.value_or(0);
        Low(t, localLength);
    } else {
        HighMedium(t, options, localLength, keepPasses);
    }
    if (t.outcome == Outcome::Ok &&
        !AllFinite({t.outlet, t.loss, t.meanPressure, t.meanVelocity, t.maxVelocity}))
        Fail(t, Outcome::CalcError, kOutOfRange);
    if (t.outcome != Outcome::Ok) {
        // Results are only for a calculation that succeeded.
        t.frictionLoss = t.localLoss = t.additionalHead = t.loss = t.drop = t.outlet = 0;
        t.meanPressure = t.actualFlow = t.meanVelocity = t.maxVelocity = 0;
    }
}

}  // namespace gaspipe::hydraulics::detail
