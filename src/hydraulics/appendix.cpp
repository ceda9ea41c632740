// The appendix method: the window's routine on float inputs, its passes and
// results carried over unchanged. A low-pressure rise adds the additional
// head to the routine's outlet, which knows no elevation.
#include <cmath>
#include <cstdint>
#include <limits>
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

// The routine's selector arguments, made once at start-up rather than for
// every call (nor guarded at every call, as function statics are).
const std::string kGasTexts[] = {sel::kNaturalGas, sel::kManufacturedGas, sel::kLpg};
const std::string kClassTexts[] = {sel::kHighMedium, sel::kLow};
const std::string kMaterialTexts[] = {sel::kSteel, sel::kPe, sel::kCastIron};

const std::string& Text(Gas g) { return kGasTexts[static_cast<int>(g)]; }
const std::string& Text(PressureClass c) { return kClassTexts[static_cast<int>(c)]; }
const std::string& Text(Material m) { return kMaterialTexts[static_cast<int>(m)]; }

// Every set of them as the routine reads it.
struct SelectorSets {
    SegmentSelectors sets[3][2][3];
    SelectorSets() {
        for (int g = 0; g < 3; ++g)
            for (int c = 0; c < 2; ++c)
                for (int m = 0; m < 3; ++m)
                    sets[g][c][m] = ReadSelectors(kGasTexts[g], kClassTexts[c], kMaterialTexts[m]);
    }
    const SegmentSelectors& of(const SegmentInput& in) const {
        return sets[static_cast<int>(in.gas)][static_cast<int>(in.pressureClass)]
                   [static_cast<int>(in.material)];
    }
};
const SelectorSets kSelectorSets;

// The working of the routine's last pass.
void TakeWorking(SegmentTrace& t, const PassValues& last, bool high) {
    t.regime = RegimeOf(last.Re);
    t.reynolds = last.Re, t.frictionFactor = last.lambda;
    // The low-pressure formulas take the gas as ideal.
    t.z = high ? last.Z : 1;
    t.meanPressure = last.Pm, t.actualFlow = last.Qa;
}

}  // namespace

void Appendix(const SegmentInput& in, const MethodOptions& options, SegmentTrace& t,
              bool keepPasses) {
    const bool high = in.pressureClass == PressureClass::HighMedium;
    const float rho = static_cast<float>(in.density), nu = static_cast<float>(in.viscosity),
                T = static_cast<float>(in.temperature), d = static_cast<float>(in.diameter),
                L = static_cast<float>(in.length), Q = static_cast<float>(in.flow),
                P1 = static_cast<float>(in.inlet), start = static_cast<float>(in.start);

    t.method = Method::Appendix;
    t.input = in;
    t.input.density = rho, t.input.viscosity = nu, t.input.temperature = T;
    t.input.diameter = d, t.input.length = L, t.input.flow = Q, t.input.inlet = P1;
    t.input.start = start;
    const SegmentSelectors& selectors = kSelectorSets.of(in);
    t.roughness = selectors.roughness;
    t.roughnessUsed = in.material != Material::CastIron;
    t.localLossFraction = kAllowance;

    float outlet = start, loss = 0, mean = 0, max = 0, drop = 0;
    std::int16_t flag = 0;
    PassValues last{};
    last.Re = std::numeric_limits<float>::quiet_NaN();  // no pass recorded yet
    std::vector<PassValues> passes;
    try {
        if (keepPasses)
            CalcPipeSegmentTraced(Text(in.gas), Text(in.pressureClass), Text(in.material), rho, nu,
                                  T, d, L, Q, P1, outlet, loss, mean, max, flag, t.passCount,
                                  passes);
        else
            CalcPipeSegmentTraced(selectors, rho, nu, T, d, L, Q, P1, outlet, loss, mean, max, flag,
                                  t.passCount, last);
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
    if (!passes.empty()) TakeWorking(t, passes.back(), high);
    if (!keepPasses && !std::isnan(last.Re)) TakeWorking(t, last, high);
    if (t.outcome != Outcome::Ok) return;

    t.loss = loss;
    t.frictionLoss = t.loss / (1 + kAllowance);
    t.localLoss = t.loss - t.frictionLoss;
    t.outlet = outlet;
    t.drop = drop;
    t.meanVelocity = mean;
    t.maxVelocity = max;
    if (options.rise && !high) {
        // The caller's density, not the routine's float copy: the head is
        // computed in double beside the routine.
        t.rise = *options.rise;
        t.additionalHead = AdditionalHead(in.density, t.rise);
        t.outlet += t.additionalHead;
        t.drop -= t.additionalHead;
        if (!(t.outlet > 0)) {
            t.outcome = Outcome::PipeTooSmall;
            t.reason = "with the additional head the outlet pressure is not above 0";
        }
    }
}

}  // namespace gaspipe::hydraulics::detail
