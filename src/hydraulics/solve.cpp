#include "solve.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "methods.h"

namespace gaspipe::hydraulics {

namespace {

// Bracketing moves by factors of two from the start, at most 2^40 (10¹²)
// either way, short of where the pressures lose their last digits; the
// bisection then needs about twenty steps for 10⁻⁶.
constexpr int kMaxSteps = 40;
constexpr int kMaxBisections = 200;
constexpr double kTolerance = 1e-6;

constexpr std::pair<Unknown, std::string_view> kUnknowns[] = {{Unknown::Flow, "flow"},
                                                              {Unknown::Length, "length"},
                                                              {Unknown::Diameter, "diameter"},
                                                              {Unknown::Inlet, "inlet"}};

std::string Num(double v) { return detail::MessageNumber(v, 7); }

// A value of the unknown as it was tried, to its last digit: an answer of
// 1.0000001 must not read as the forbidden boundary 1. The appendix routine
// searches on floats.
std::string Exact(double v, Method method) {
    if (!std::isfinite(v)) return detail::MessageNumber(v);
    char buf[64];
    const auto end = method == Method::Appendix
                         ? std::to_chars(buf, buf + sizeof buf, static_cast<float>(v)).ptr
                         : std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

double& Field(SegmentInput& in, Unknown u) {
    switch (u) {
        case Unknown::Flow:
            return in.flow;
        case Unknown::Length:
            return in.length;
        case Unknown::Diameter:
            return in.diameter;
        case Unknown::Inlet:
            break;
    }
    return in.inlet;
}

struct Probe {
    double x = 0;
    SegmentTrace trace;
    std::optional<Binding> broken;
};

class Search {
  public:
    Search(const SegmentInput& in, const MethodOptions& options, Unknown unknown,
           const Limits& limits)
        : in_(in), options_(options), unknown_(unknown), limits_(limits) {}

    Probe At(double x) {
        // The appendix routine takes floats: search on floats, so the answer
        // is exactly what a caller's float input reproduces.
        if (options_.method == Method::Appendix) x = static_cast<float>(x);
        Probe p;
        p.x = x;
        Field(in_, unknown_) = x;
        p.trace = detail::Evaluate(in_, options_);
        ++evaluations_;
        const SegmentTrace& t = p.trace;
        if (t.outcome == Outcome::PipeTooSmall)
            p.broken = Binding::NoOutlet;
        else if (t.outcome != Outcome::Ok)
            p.broken = Binding::CalcError;
        else if (limits_.maxDrop && !(t.drop <= *limits_.maxDrop))
            p.broken = Binding::Drop;
        else if (limits_.maxVelocity && !(t.maxVelocity <= *limits_.maxVelocity))
            p.broken = Binding::Velocity;
        return p;
    }
    int evaluations() const { return evaluations_; }

  private:
    SegmentInput in_;
    const MethodOptions& options_;
    Unknown unknown_;
    const Limits& limits_;
    int evaluations_ = 0;
};

std::string Unit(Unknown u, PressureClass c) {
    switch (u) {
        case Unknown::Flow:
            return "m³/h";
        case Unknown::Length:
            return "m";
        case Unknown::Diameter:
            return "mm";
        case Unknown::Inlet:
            break;
    }
    return c == PressureClass::HighMedium ? "× 10⁵ Pa absolute" : "Pa";
}

std::string Where(Unknown u, double x, PressureClass c, Method m) {
    if (u == Unknown::Length && x == 0) return "at zero length";
    const char* what = u == Unknown::Flow       ? "a flow"
                       : u == Unknown::Length   ? "a length"
                       : u == Unknown::Diameter ? "a diameter"
                                                : "an inlet pressure";
    return std::string("at ") + what + " of " + Exact(x, m) + " " + Unit(u, c);
}

std::string Why(const Probe& p, const Limits& limits, PressureClass c) {
    const std::string pressure = c == PressureClass::HighMedium ? "× 10⁵ Pa" : "Pa";
    switch (*p.broken) {
        case Binding::Drop:
            return "the drop is " + Num(p.trace.drop) + " " + pressure + ", above the limit of " +
                   Num(*limits.maxDrop) + " " + pressure;
        case Binding::Velocity:
            return "the maximum velocity is " + Num(p.trace.maxVelocity) +
                   " m/s, above the limit of " + Num(*limits.maxVelocity) + " m/s";
        case Binding::NoOutlet:
            return "there is no valid outlet pressure (" + p.trace.reason + ")";
        case Binding::CalcError:
            break;
    }
    return "the calculation fails (" + p.trace.reason + ")";
}

SolveResult InputError(std::string message) {
    SolveResult r;
    r.status = SolveStatus::InputError;
    r.message = std::move(message);
    return r;
}

std::optional<std::string> CheckLimits(const Limits& limits) {
    if (!limits.maxDrop && !limits.maxVelocity) return "give max_drop, max_velocity or both";
    if (limits.maxDrop && !(*limits.maxDrop > 0 && std::isfinite(*limits.maxDrop)))
        return "max_drop must be a number greater than 0 (got " + Num(*limits.maxDrop) + ")";
    if (limits.maxVelocity && !(*limits.maxVelocity > 0 && std::isfinite(*limits.maxVelocity)))
        return "max_velocity must be a number greater than 0 (got " + Num(*limits.maxVelocity) +
               ")";
    return std::nullopt;
}

}  // namespace

std::string_view UnknownName(Unknown u) {
    for (const auto& [value, name] : kUnknowns)
        if (value == u) return name;
    return {};
}

std::optional<Unknown> UnknownFromName(std::string_view name) {
    for (const auto& [value, n] : kUnknowns)
        if (n == name) return value;
    return std::nullopt;
}

std::string_view BindingName(Binding b) {
    switch (b) {
        case Binding::Drop:
            return "drop";
        case Binding::Velocity:
            return "velocity";
        case Binding::NoOutlet:
            return "no_outlet";
        case Binding::CalcError:
            break;
    }
    return "calc_error";
}

std::string_view SolveStatusName(SolveStatus s) {
    switch (s) {
        case SolveStatus::Solved:
            return "solved";
        case SolveStatus::NoSolution:
            return "no_solution";
        case SolveStatus::Unbounded:
            return "unbounded";
        case SolveStatus::InputError:
            break;
    }
    return "input_error";
}

SolveResult Solve(const SegmentInput& input, const MethodOptions& options, Unknown unknown,
                  const Limits& limits) {
    if (auto problem = CheckLimits(limits)) return InputError(std::move(*problem));
    const PressureClass cls = input.pressureClass;
    const Method method = options.method;
    const bool high = cls == PressureClass::HighMedium;

    // Flow and length meet the limits near zero and break them further out;
    // diameter and inlet the other way round. Inlet pressures approach the
    // lowest one possible, 1 (10⁵ Pa absolute) or 0 Pa, rather than zero.
    const bool feasibleNearEdge = unknown == Unknown::Flow || unknown == Unknown::Length;
    const double edge = unknown == Unknown::Inlet && high ? 1 : 0;
    const double defaults[] = {100, 1000, 100, high ? 2.0 : 2000.0};
    SegmentInput in = input;
    double& field = Field(in, unknown);
    if (!(field > edge && std::isfinite(field))) field = defaults[static_cast<int>(unknown)];
    if (auto problem = Validate(in, options)) return InputError(std::move(problem->message));

    Search search(in, options, unknown, limits);
    auto toward = [&](double x) { return edge + (x - edge) / 2; };
    auto away = [&](double x) { return edge + (x - edge) * 2; };
    SolveResult r;
    auto finish = [&](SolveStatus status, Probe&& p, std::string message) {
        r.status = status;
        r.value = p.x;
        r.trace = std::move(p.trace);
        r.evaluations = search.evaluations();
        r.message = std::move(message);
        return std::move(r);
    };

    // Bracket: `good` meets the limits, `bad` does not.
    Probe good, bad;
    Probe start = search.At(field);
    const bool startGood = !start.broken;
    (startGood ? good : bad) = start;
    // Moving from a good start toward the breaking side, or from a bad start
    // toward the meeting side.
    const bool outward = startGood == feasibleNearEdge;
    bool bracketed = false;
    for (int step = 0; step < kMaxSteps && !bracketed; ++step) {
        const double from = startGood ? good.x : bad.x;
        // A zero length can be calculated: try it first.
        double x = outward ? away(from) : toward(from);
        if (!outward && unknown == Unknown::Length) x = 0;
        Probe p = search.At(x);
        bracketed = startGood == bool(p.broken);
        (p.broken ? bad : good) = std::move(p);
        if (!outward && unknown == Unknown::Length && !bracketed) break;
    }
    const std::string name(UnknownName(unknown));
    if (!bracketed && startGood)
        return finish(SolveStatus::Unbounded, std::move(good),
                      "the limits hold for every " + name + " tried, " +
                          (feasibleNearEdge ? "up to " : "down to ") + Exact(good.x, method) + " " +
                          Unit(unknown, cls));
    if (!bracketed) {
        // The start tells the user most; the furthest value tried shows how
        // far the search went.
        std::string message = "no " + name + " meets the limits: ";
        if (bad.x == 0 && unknown == Unknown::Length)
            message += Where(unknown, 0, cls, method) + " " + Why(bad, limits, cls);
        else
            message += Where(unknown, start.x, cls, method) + " " + Why(start, limits, cls) +
                       ", nor at any " + name + (feasibleNearEdge ? " down to " : " up to ") +
                       Exact(bad.x, method) + " " + Unit(unknown, cls);
        return finish(SolveStatus::NoSolution, std::move(bad), std::move(message));
    }

    for (int i = 0; i < kMaxBisections; ++i) {
        if (std::fabs(bad.x - good.x) <=
            kTolerance * std::fmax(std::fabs(good.x), std::fabs(bad.x)))
            break;
        double mid = (good.x + bad.x) / 2;
        if (options.method == Method::Appendix) mid = static_cast<float>(mid);
        if (mid == good.x || mid == bad.x) break;
        Probe p = search.At(mid);
        (p.broken ? bad : good) = std::move(p);
    }
    r.binding = bad.broken;
    const char* limited = *bad.broken == Binding::Drop       ? "the drop"
                          : *bad.broken == Binding::Velocity ? "the maximum velocity"
                          : *bad.broken == Binding::NoOutlet ? "the outlet pressure"
                                                             : "a failing calculation";
    return finish(SolveStatus::Solved, std::move(good),
                  std::string(feasibleNearEdge ? "largest " : "smallest ") + name + " " +
                      Exact(good.x, method) + " " + Unit(unknown, cls) + ", limited by " + limited);
}

}  // namespace gaspipe::hydraulics
