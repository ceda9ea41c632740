#include "case.h"

#include <cmath>

#include "calc_pipe_segment.h"

namespace gaspipe::network {

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0; }
bool NonNegative(double v) { return std::isfinite(v) && v >= 0; }

}  // namespace

std::string_view MethodName(Method m) {
    return m == Method::Appendix ? kMethodAppendix : kMethodGb50028;
}

std::optional<Method> MethodFromName(std::string_view name) {
    if (name == kMethodAppendix) return Method::Appendix;
    if (name == kMethodGb50028) return Method::Gb50028;
    return std::nullopt;
}

bool IsLowPressure(const Case& c) { return c.pressureClass == sel::kLow; }

double LowPressureAllowedDrop(double appliancePressure) { return 0.75 * appliancePressure + 150; }

std::optional<double> EffectiveMaxDrop(const Case& c) {
    if (c.limits.maxDrop) return c.limits.maxDrop;
    if (IsLowPressure(c) && c.limits.appliancePressure)
        return LowPressureAllowedDrop(*c.limits.appliancePressure);
    return std::nullopt;
}

std::optional<double> MaterialRoughness(const MethodOptions& m, std::string_view material) {
    for (const auto& r : m.roughness)
        if (r.material == material) return r.roughness;
    return std::nullopt;
}

std::vector<CaseProblem> CheckCaseValues(const Case& c) {
    std::vector<CaseProblem> problems;
    auto fail = [&](std::string message) {
        problems.push_back({CaseProblem::Kind::InvalidValue, std::move(message), {}});
    };
    const std::string& gas = c.gas.kind;
    if (gas != sel::kNaturalGas && gas != sel::kManufacturedGas && gas != sel::kLpg)
        fail("gas kind '" + gas + "' is not 天然气, 人工煤气 or 液化石油气");
    if (!Positive(c.gas.density)) fail("the gas density must be above 0");
    if (!Positive(c.gas.viscosity)) fail("the gas viscosity must be above 0");
    if (!Positive(c.gas.temperature)) fail("the gas temperature must be above 0 K");
    const bool high = c.pressureClass == sel::kHighMedium;
    if (!high && !IsLowPressure(c))
        fail("pressure class '" + c.pressureClass + "' is not 高中压 or 低压");
    // High/medium pressures are absolute in 10^5 Pa: at or below 1 there is
    // no gas pressure to lose.
    if (!std::isfinite(c.source.pressure) ||
        (high ? c.source.pressure <= 1 : c.source.pressure <= 0))
        fail(high ? "the source pressure must be above 1 (absolute, 10^5 Pa)"
                  : "the source pressure must be above 0 Pa");
    if (!std::isfinite(c.source.elevation)) fail("the source elevation must be a finite number");
    if (!NonNegative(c.method.localLoss))
        fail("the default local-loss fraction must not be negative");
    for (const auto& r : c.method.roughness)
        if (!Positive(r.roughness)) fail("the roughness of " + r.material + " must be above 0 mm");
    if (c.method.z && !Positive(*c.method.z)) fail("the compressibility factor must be above 0");
    if (c.limits.maxVelocity && !Positive(*c.limits.maxVelocity))
        fail("the velocity limit must be above 0");
    if (c.limits.maxDrop && !Positive(*c.limits.maxDrop)) fail("the drop limit must be above 0");
    if (c.limits.appliancePressure && !Positive(*c.limits.appliancePressure))
        fail("the rated appliance pressure must be above 0 Pa");
    for (const auto& n : c.nodes)
        if (!std::isfinite(n.elevation) || !NonNegative(n.load))
            fail("node '" + n.id + "': the elevation must be finite and the load not negative");
    return problems;
}

}  // namespace gaspipe::network
