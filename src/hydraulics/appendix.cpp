// The appendix method: the window's routine on float inputs, its passes and
// results carried over unchanged.
#include <cstdint>
#include <string>
#include <vector>

#include "calc_pipe_segment.h"
#include "methods.h"
#include "report.h"

namespace gaspipe::hydraulics::detail {

namespace {

// The routine's constants are the friction formulas' times 1.1.
constexpr double kAllowance = 0.1;

Regime RegimeOf(double re) {
    if (re <= kLaminarLimit) return Regime::Laminar;
    if (re <= kCriticalLimit) return Regime::Critical;
    return Regime::Turbulent;
}

}  // namespace

SegmentTrace Appendix(const SegmentInput& in) {
    const std::string gas(SelectorText(in.gas)), cls(SelectorText(in.pressureClass)),
        material(SelectorText(in.material));
    const bool high = in.pressureClass == PressureClass::HighMedium;
    const float rho = static_cast<float>(in.density), nu = static_cast<float>(in.viscosity),
                T = static_cast<float>(in.temperature), d = static_cast<float>(in.diameter),
                L = static_cast<float>(in.length), Q = static_cast<float>(in.flow),
                P1 = static_cast<float>(in.inlet), start = static_cast<float>(in.start);

    SegmentTrace t;
    t.method = Method::Appendix;
    t.input = in;
    t.input.density = rho, t.input.viscosity = nu, t.input.temperature = T;
    t.input.diameter = d, t.input.length = L, t.input.flow = Q, t.input.inlet = P1;
    t.input.start = start;
    t.roughness = PipeRoughness(gas, material);
    t.roughnessUsed = in.material != Material::CastIron;
    t.localLossFraction = kAllowance;

    float outlet = start, loss = 0, mean = 0, max = 0, drop = 0;
    std::int16_t flag = 0;
    int count = 0;
    std::vector<PassValues> passes;
    try {
        CalcPipeSegmentTraced(gas, cls, material, rho, nu, T, d, L, Q, P1, outlet, loss, mean, max,
                              flag, count, passes);
        if (flag == -1) {
            t.outcome = Outcome::PipeTooSmall;
            t.reason = "no valid outlet pressure";
        } else {
            drop = high ? HighMediumPressureDrop(P1, outlet) : loss;
        }
    } catch (const CalcError& e) {
        t.outcome = Outcome::CalcError;
        t.reason = e.what();
    }

    float before = start;
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const PassValues& v = passes[i];
        Pass p;
        p.outletBefore = before;
        // The low-pressure formulas take the gas as ideal.
        p.meanPressure = v.Pm, p.z = high ? v.Z : 1, p.actualFlow = v.Qa, p.velocity = v.v;
        p.reynolds = v.Re, p.frictionFactor = v.lambda, p.loss = v.loss;
        const bool failed = flag == -1 && i + 1 == passes.size();
        // A failing high/medium pass leaves the outlet as it was when the
        // loss reaches P1², and writes the outlet it found otherwise.
        if (!failed || !high || double(P1) * P1 - v.loss > 0) p.outletAfter = v.P2;
        if (!failed) p.relativeChange = v.rel;
        t.passes.push_back(p);
        before = v.P2;
    }
    if (!passes.empty()) {
        const PassValues& last = passes.back();
        t.regime = RegimeOf(last.Re);
        t.reynolds = last.Re, t.frictionFactor = last.lambda, t.z = t.passes.back().z;
        t.meanPressure = last.Pm, t.actualFlow = last.Qa;
    }
    if (t.outcome != Outcome::Ok) return t;

    t.loss = loss;
    t.frictionLoss = t.loss / (1 + kAllowance);
    t.localLoss = t.loss - t.frictionLoss;
    t.outlet = outlet;
    t.drop = drop;
    t.meanVelocity = mean;
    t.maxVelocity = max;
    return t;
}

}  // namespace gaspipe::hydraulics::detail
