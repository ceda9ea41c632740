#include "case.h"

#include <algorithm>
#include <cmath>

#include "calc_pipe_segment.h"
#include "hydraulics.h"

namespace gaspipe::network {

namespace {

bool Positive(double v) { return std::isfinite(v) && v > 0; }

// More households on one node than any building holds: a typing error.
constexpr double kMaxHouseholds = 1e6;
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

PressureScale CaseScale(const Case& c) {
    return ScaleFor(IsLowPressure(c), c.display.pressureUnit.value_or(kDefaultPressureUnit));
}

std::string_view PartName(Part part) {
    switch (part) {
        case Part::Street:
            return "街区";
        case Part::Courtyard:
            return "庭院";
        case Part::Indoor:
            break;
    }
    return "室内";
}

std::optional<Part> PartFromName(std::string_view name) {
    for (Part p : {Part::Street, Part::Courtyard, Part::Indoor})
        if (name == PartName(p)) return p;
    return std::nullopt;
}

std::optional<double> PartAllowedDrop(const Case& c, Part part) {
    for (const PartShare& share : c.limits.shares) {
        if (share.part != part) continue;
        if (share.drop) return share.drop;
        const auto total = EffectiveMaxDrop(c);
        if (share.fraction && total) return *share.fraction * *total;
    }
    return std::nullopt;
}

bool HasHouseholds(const Node& n) { return n.households && *n.households > 0; }

bool UsesHouseholds(const Case& c) {
    return std::any_of(c.nodes.begin(), c.nodes.end(), HasHouseholds);
}

std::string UnknownMaterial(std::string_view material) {
    return "material '" + std::string(material) + "' is not 钢管, PE管 or 铸铁管";
}

namespace {

// The case's method options as the command line would give them, checked by
// the same rule: what the method or class cannot use is refused, not
// ignored. Under the appendix method the default local_loss 0.1 stands for
// what its constants hold (every case file gaspipe wrote has it).
void CheckMethodOptions(const Case& c, std::vector<CaseProblem>& problems) {
    const bool appendix = c.method.method == Method::Appendix;
    const bool low = c.pressureClass != sel::kHighMedium;
    hydraulics::SegmentInput in;
    in.pressureClass = low ? hydraulics::PressureClass::Low : hydraulics::PressureClass::HighMedium;
    auto check = [&](const hydraulics::MethodOptions& options, const std::string& prefix) {
        const auto problem = hydraulics::ValidateOptions(in, options);
        if (!problem) return true;
        // An option refused for the method or the class, named for the window's words.
        using Kind = CaseProblem::Kind;
        const bool option = problem->field == "local_loss" || problem->field == "roughness" ||
                            problem->field == "z";
        const Kind kind = appendix && option                          ? Kind::OptionNotForMethod
                          : problem->field == "z" && low && options.z ? Kind::OptionNotForClass
                                                                      : Kind::InvalidValue;
        problems.push_back({kind, prefix + problem->message, {}, problem->field});
        return false;
    };
    hydraulics::MethodOptions options;
    options.method = appendix ? hydraulics::Method::Appendix : hydraulics::Method::Gb50028_2006;
    if (!appendix || c.method.localLoss != hydraulics::kDefaultLocalLoss)
        options.localLoss = c.method.localLoss;
    options.z = c.method.z;
    check(options, "method: ");
    for (const auto& r : c.method.roughness) {
        if (!hydraulics::MaterialFromText(r.material)) {
            problems.push_back({CaseProblem::Kind::UnknownRoughnessMaterial,
                                "method: roughness of " + UnknownMaterial(r.material),
                                {},
                                r.material});
            continue;
        }
        hydraulics::MethodOptions one;
        one.method = options.method;
        one.roughness = r.roughness;
        if (check(one, "method: roughness of " + r.material + ": ") && !Positive(r.roughness))
            problems.push_back({CaseProblem::Kind::InvalidValue,
                                "the roughness of " + r.material + " must be above 0 mm",
                                {}});
    }
}

// The shares of the allowed drop by part: low pressure's, each part once, a
// drop in Pa or a fraction of an allowed drop the case gives.
void CheckShares(const Case& c, std::vector<CaseProblem>& problems) {
    bool seen[kPartCount] = {};
    for (const PartShare& share : c.limits.shares) {
        const std::string part(PartName(share.part));
        if (!IsLowPressure(c)) {
            problems.push_back({CaseProblem::Kind::SharesNotForClass,
                                "limits: the shares of the allowed drop by part (" + part +
                                    ") are for low pressure only",
                                {},
                                part});
            return;
        }
        auto fail = [&](std::string message) {
            problems.push_back({CaseProblem::Kind::InvalidValue,
                                "limits: the share of " + part + " " + message,
                                {}});
        };
        const auto index = static_cast<std::size_t>(share.part);
        if (seen[index]) fail("is given twice");
        seen[index] = true;
        if (share.drop.has_value() == share.fraction.has_value())
            fail("needs either a drop in Pa or a fraction of the allowed drop");
        else if (share.drop && !Positive(*share.drop))
            fail("must be above 0 Pa");
        else if (share.fraction && !(*share.fraction > 0 && *share.fraction <= 1))
            fail("must be a fraction above 0 and at most 1");
        else if (share.fraction && !EffectiveMaxDrop(c))
            problems.push_back({CaseProblem::Kind::FractionWithoutTotal,
                                "limits: the share of " + part +
                                    " is a fraction of the allowed drop, which the case does "
                                    "not give (max_drop or appliance_pressure)",
                                {},
                                part});
    }
}

}  // namespace

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
    CheckMethodOptions(c, problems);
    if (c.limits.maxVelocity && !Positive(*c.limits.maxVelocity))
        fail("the velocity limit must be above 0");
    if (c.limits.maxDrop && !Positive(*c.limits.maxDrop)) fail("the drop limit must be above 0");
    if (c.limits.appliancePressure && !Positive(*c.limits.appliancePressure))
        fail("the rated appliance pressure must be above 0 Pa");
    CheckShares(c, problems);
    for (const auto& n : c.nodes) {
        if (!std::isfinite(n.elevation) || !NonNegative(n.load))
            fail("node '" + n.id + "': the elevation must be finite and the load not negative");
        if (n.households && !(NonNegative(*n.households) && *n.households <= kMaxHouseholds &&
                              *n.households == std::floor(*n.households)))
            fail("node '" + n.id + "': the households must be a whole number from 0 to " +
                 std::to_string(static_cast<long>(kMaxHouseholds)));
        if (n.ratedFlow && !Positive(*n.ratedFlow))
            fail("node '" + n.id + "': the rated flow must be above 0");
        if (HasHouseholds(n) && n.appliances.empty())
            fail("node '" + n.id + "': households need their appliance set");
    }
    return problems;
}

}  // namespace gaspipe::network
