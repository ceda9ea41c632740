#include "hydraulics.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "calc_pipe_segment.h"
#include "methods.h"

namespace gaspipe::hydraulics {

namespace {

template <typename E, std::size_t N>
std::optional<E> Find(std::string_view text, const std::pair<E, std::string_view> (&table)[N]) {
    for (const auto& [value, name] : table)
        if (name == text) return value;
    return std::nullopt;
}

template <typename E, std::size_t N>
std::string_view Name(E value, const std::pair<E, std::string_view> (&table)[N]) {
    for (const auto& [v, name] : table)
        if (v == value) return name;
    return {};
}

constexpr std::pair<Method, std::string_view> kMethods[] = {{Method::Appendix, "appendix"},
                                                            {Method::Gb50028_2006, "gb50028-2006"}};
constexpr std::pair<Gas, std::string_view> kGases[] = {
    {Gas::NaturalGas, sel::kNaturalGas},
    {Gas::ManufacturedGas, sel::kManufacturedGas},
    {Gas::Lpg, sel::kLpg}};
constexpr std::pair<PressureClass, std::string_view> kClasses[] = {
    {PressureClass::HighMedium, sel::kHighMedium}, {PressureClass::Low, sel::kLow}};
constexpr std::pair<Material, std::string_view> kMaterials[] = {
    {Material::Steel, sel::kSteel}, {Material::Pe, sel::kPe}, {Material::CastIron, sel::kCastIron}};

InputProblem Problem(const char* field, std::string what, double value) {
    return {field, std::string(field) + " " + std::move(what) + " (got " +
                       detail::MessageNumber(value) + ")"};
}

}  // namespace

namespace detail {

std::string MessageNumber(double v, int digits) {
    if (std::isnan(v)) return "no number";
    if (std::isinf(v)) return "a number out of range";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
}

}  // namespace detail

std::string_view MethodName(Method m) { return Name(m, kMethods); }
std::optional<Method> MethodFromName(std::string_view name) { return Find(name, kMethods); }

std::string_view MethodBasis(Method m) {
    return m == Method::Appendix ? "GB 50028 附录 C 手算公式"
                                 : "GB 50028-2006 第 6.2.5 / 6.2.6 / 6.2.7 条";
}

std::string_view RegimeName(Regime r) {
    switch (r) {
        case Regime::Laminar:
            return "laminar";
        case Regime::Critical:
            return "critical";
        case Regime::Turbulent:
            return "turbulent";
    }
    return {};
}

std::string_view OutcomeName(Outcome o) {
    switch (o) {
        case Outcome::Ok:
            return "ok";
        case Outcome::PipeTooSmall:
            return "pipe_too_small";
        case Outcome::CalcError:
            return "calc_error";
        case Outcome::InputError:
            return "input_error";
    }
    return {};
}

std::string_view SelectorText(Gas g) { return Name(g, kGases); }
std::string_view SelectorText(PressureClass c) { return Name(c, kClasses); }
std::string_view SelectorText(Material m) { return Name(m, kMaterials); }
std::optional<Gas> GasFromText(std::string_view t) { return Find(t, kGases); }
std::optional<PressureClass> ClassFromText(std::string_view t) { return Find(t, kClasses); }
std::optional<Material> MaterialFromText(std::string_view t) { return Find(t, kMaterials); }

double DefaultRoughness(Gas gas, Material material) {
    switch (material) {
        case Material::Steel:
            return gas == Gas::ManufacturedGas ? 0.15 : 0.1;
        case Material::Pe:
            return 0.01;
        case Material::CastIron:
            return 0.2;
    }
    return 0;
}

std::optional<InputProblem> Validate(const SegmentInput& in, const MethodOptions& options) {
    const bool appendix = options.method == Method::Appendix;
    // The appendix routine stores every input as a float.
    const double largest =
        appendix ? std::numeric_limits<float>::max() : std::numeric_limits<double>::max();
    const std::pair<const char*, double> positive[] = {
        {"density", in.density},   {"viscosity", in.viscosity}, {"temperature", in.temperature},
        {"diameter", in.diameter}, {"length", in.length},       {"flow", in.flow}};
    for (const auto& [field, value] : positive) {
        if (!(value > 0)) return Problem(field, "must be greater than 0", value);
        if (!(value <= largest)) return Problem(field, "is too large", value);
    }
    const bool high = in.pressureClass == PressureClass::HighMedium;
    if (!(std::fabs(in.inlet) <= largest))
        return Problem("inlet", "is not a usable number", in.inlet);
    if (high && !(in.inlet > 1))
        return Problem("inlet", "must be above 1 × 10⁵ Pa absolute", in.inlet);
    if (!high && !(in.inlet > 0)) return Problem("inlet", "must be above 0 Pa gauge", in.inlet);
    if (appendix && !(std::fabs(in.start) <= largest))
        return Problem("start", "is not a usable number", in.start);

    return ValidateOptions(in, options);
}

std::optional<InputProblem> ValidateStart(Method method, bool startGiven) {
    if (!startGiven || method == Method::Appendix) return std::nullopt;
    return InputProblem{"start", "start applies to the appendix method only"};
}

std::optional<InputProblem> ValidateOptions(const SegmentInput& in, const MethodOptions& options) {
    const bool appendix = options.method == Method::Appendix;
    const bool high = in.pressureClass == PressureClass::HighMedium;
    const std::pair<const char*, const std::optional<double>&> extras[] = {
        {"local_loss", options.localLoss},
        {"zeta", options.zeta},
        {"rise", options.rise},
        {"roughness", options.roughness},
        {"z", options.z}};
    for (const auto& [field, value] : extras) {
        if (!value) continue;
        if (appendix && std::string_view(field) != "rise")
            return InputProblem{field,
                                std::string(field) + " applies to the gb50028-2006 method only"};
        if (!std::isfinite(*value)) return Problem(field, "is not a usable number", *value);
    }
    if (appendix) return std::nullopt;
    if (options.localLoss && options.zeta)
        return InputProblem{"zeta", "give either local_loss or zeta, not both"};
    if (options.localLoss && *options.localLoss < 0)
        return Problem("local_loss", "must not be negative", *options.localLoss);
    if (options.zeta && *options.zeta < 0)
        return Problem("zeta", "must not be negative", *options.zeta);
    if (options.roughness && *options.roughness < 0)
        return Problem("roughness", "must not be negative", *options.roughness);
    if (options.z && !high) return InputProblem{"z", "z applies to high/medium pressure only"};
    if (options.z && !(*options.z > 0)) return Problem("z", "must be greater than 0", *options.z);
    return std::nullopt;
}

SegmentTrace Calculate(const SegmentInput& in, const MethodOptions& options) {
    SegmentTrace t;
    CalculateInto(in, options, t, true);
    return t;
}

void CalculateInto(const SegmentInput& in, const MethodOptions& options, SegmentTrace& t,
                   bool keepPasses) {
    // Assigned from a blank trace: the list and the reason keep their storage,
    // and nothing is zeroed anew for every segment.
    static const SegmentTrace kBlank;
    t = kBlank;
    if (options.method == Method::Appendix) return detail::Appendix(in, options, t, keepPasses);
    if (auto problem = Validate(in, options)) {
        t.input = in;
        t.method = options.method;
        t.outcome = Outcome::InputError;
        t.reason = problem->message;
        return;
    }
    detail::CurrentCode(in, options, t, keepPasses);
}

}  // namespace gaspipe::hydraulics
