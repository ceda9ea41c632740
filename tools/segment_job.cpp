#include "segment_job.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "calc_pipe_segment.h"
#include "shortest.h"

namespace gaspipe::cli {

namespace {

namespace hy = hydraulics;

template <typename E>
struct Alias {
    std::string_view alias, chinese;
    E value;
};

constexpr Alias<hy::Gas> kGases[] = {
    {"natural-gas", sel::kNaturalGas, hy::Gas::NaturalGas},
    {"manufactured-gas", sel::kManufacturedGas, hy::Gas::ManufacturedGas},
    {"lpg", sel::kLpg, hy::Gas::Lpg}};
constexpr Alias<hy::PressureClass> kClasses[] = {
    {"high-medium", sel::kHighMedium, hy::PressureClass::HighMedium},
    {"low", sel::kLow, hy::PressureClass::Low}};
constexpr Alias<hy::Material> kMaterials[] = {
    {"steel", sel::kSteel, hy::Material::Steel},
    {"pe", sel::kPe, hy::Material::Pe},
    {"cast-iron", sel::kCastIron, hy::Material::CastIron}};

template <typename E, std::size_t N>
const Alias<E>* Find(std::string_view text, const Alias<E> (&aliases)[N]) {
    for (const auto& a : aliases)
        if (text == a.chinese || text == a.alias) return &a;
    return nullptr;
}

template <typename E, std::size_t N>
std::optional<E> Value(std::string_view text, const Alias<E> (&aliases)[N]) {
    if (const auto* a = Find(text, aliases)) return a->value;
    return std::nullopt;
}

template <typename E, std::size_t N>
std::optional<std::string> Chinese(std::string_view text, const Alias<E> (&aliases)[N]) {
    if (const auto* a = Find(text, aliases)) return std::string(a->chinese);
    return std::nullopt;
}

template <typename T>
std::optional<T> Parse(std::string_view text) {
    T value = 0;
    if (detail::ParseText(text, value)) return value;
    return std::nullopt;
}

// From a blank outcome: the message keeps its storage.
void Reset(SegmentOutcome& out, bool single) {
    static const SegmentOutcome kBlank;
    out = kBlank;
    out.single = single;
}

}  // namespace

std::string_view StatusName(Status s) {
    switch (s) {
        case Status::Ok:
            return "ok";
        case Status::PipeTooSmall:
            return "pipe_too_small";
        case Status::CalcError:
            return "calc_error";
        case Status::InputError:
            return "input_error";
    }
    return "input_error";
}

std::optional<hy::Gas> ParseGas(std::string_view t) { return Value(t, kGases); }
std::optional<hy::PressureClass> ParseClass(std::string_view t) { return Value(t, kClasses); }
std::optional<hy::Material> ParseMaterial(std::string_view t) { return Value(t, kMaterials); }
std::optional<hy::Method> ParseMethod(std::string_view t) { return hy::MethodFromName(t); }

std::optional<std::string> CanonicalGas(std::string_view t) { return Chinese(t, kGases); }
std::optional<std::string> CanonicalClass(std::string_view t) { return Chinese(t, kClasses); }
std::optional<std::string> CanonicalMaterial(std::string_view t) { return Chinese(t, kMaterials); }

namespace detail {

template <typename T>
bool ParseFromChars(const char* begin, const char* end, T& out) {
    T value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) return false;
    out = value;
    return true;
}
template bool ParseFromChars(const char*, const char*, float&);
template bool ParseFromChars(const char*, const char*, double&);

}  // namespace detail

std::optional<float> ParseNumber(std::string_view text) { return Parse<float>(text); }
std::optional<double> ParseDouble(std::string_view text) { return Parse<double>(text); }
std::optional<double> ParseNumber(std::string_view text, bool single) {
    double value = 0;
    if (ParseNumber(text, single, value)) return value;
    return std::nullopt;
}

std::string_view NumberProblem(bool single) {
    return single ? "is not a number that fits a 32-bit float" : "is not a finite number";
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string OutcomeJsonMembers(const SegmentOutcome& o) {
    const bool ok = o.status == Status::Ok;
    std::string out = "\"status\":\"" + std::string(StatusName(o.status)) + '"';
    auto number = [&](const char* name, double value) {
        out += ",\"";
        out += name;
        out += "\":";
        if (ok)
            AppendNumber(out, value, o.single);
        else
            out += "null";
    };
    number("outlet", o.outlet);
    number("loss", o.loss);
    number("drop", o.drop);
    number("mean_velocity", o.meanVelocity);
    number("max_velocity", o.maxVelocity);
    out += ",\"passes\":" + std::to_string(o.passes);
    out += ",\"message\":" + JsonString(o.message);
    number("reynolds", o.reynolds);
    number("friction_factor", o.frictionFactor);
    out += ",\"regime\":";
    out += ok ? '"' + std::string(hy::RegimeName(o.regime)) + '"' : "null";
    number("z", o.z);
    return out;
}

std::string FormatShortest(float value) {
    char buf[64];
    return std::string(buf, WriteShortest(buf, value));
}

void AppendNumber(std::string& out, double value, bool single) {
    char buf[64];
    const float f = static_cast<float>(value);
    out.append(buf,
               single && double(f) == value ? WriteShortest(buf, f) : WriteShortest(buf, value));
}

std::string FormatNumber(double value, bool single) {
    std::string out;
    AppendNumber(out, value, single);
    return out;
}

void RunSegment(const SegmentInput& in, hy::SegmentTrace& t, SegmentOutcome& out) {
    Reset(out, in.single());
    auto fail = [&](Status status, std::string_view message) {
        out.status = status;
        out.message = message;
    };
    if (in.single()) {
        if (auto problem = hy::ValidateOptions(in.segment, in.options))
            return fail(Status::InputError, problem->message);
        if (in.segment.pressureClass == hy::PressureClass::HighMedium &&
            static_cast<float>(in.segment.inlet) <= 1.0f)
            return fail(Status::InputError, kMsgInletGuard);
    }
    hy::CalculateInto(in.segment, in.options, t, false);
    out.passes = t.passCount;
    switch (t.outcome) {
        case hy::Outcome::Ok:
            break;
        case hy::Outcome::PipeTooSmall:
            return fail(Status::PipeTooSmall, in.single() ? kMsgPipeTooSmall : t.reason);
        case hy::Outcome::CalcError:
            return fail(Status::CalcError, in.single() ? kMsgDataError : t.reason);
        case hy::Outcome::InputError:
            return fail(Status::InputError, t.reason);
    }
    out.outlet = t.outlet;
    out.loss = t.loss;
    out.drop = t.drop;
    out.meanVelocity = t.meanVelocity;
    out.maxVelocity = t.maxVelocity;
    out.additionalHead = t.additionalHead;
    out.reynolds = t.reynolds;
    out.frictionFactor = t.frictionFactor;
    out.z = t.z;
    out.regime = t.regime;
}

SegmentOutcome RunSegment(const SegmentInput& in) {
    hy::SegmentTrace scratch;
    SegmentOutcome out;
    RunSegment(in, scratch, out);
    return out;
}

}  // namespace gaspipe::cli
