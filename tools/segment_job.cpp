#include "segment_job.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "calc_pipe_segment.h"
#include "report.h"

namespace gaspipe::cli {

namespace {

using Alias = std::pair<std::string_view, const char*>;

constexpr Alias kGasAliases[] = {{"natural-gas", sel::kNaturalGas},
                                 {"manufactured-gas", sel::kManufacturedGas},
                                 {"lpg", sel::kLpg}};
constexpr Alias kClassAliases[] = {{"high-medium", sel::kHighMedium}, {"low", sel::kLow}};
constexpr Alias kMaterialAliases[] = {
    {"steel", sel::kSteel}, {"pe", sel::kPe}, {"cast-iron", sel::kCastIron}};

template <std::size_t N>
std::optional<std::string> Canonical(std::string_view text, const Alias (&aliases)[N]) {
    for (const auto& [alias, chinese] : aliases)
        if (text == alias || text == chinese) return std::string(chinese);
    return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

std::optional<std::string> CanonicalGas(std::string_view t) { return Canonical(t, kGasAliases); }
std::optional<std::string> CanonicalClass(std::string_view t) {
    return Canonical(t, kClassAliases);
}
std::optional<std::string> CanonicalMaterial(std::string_view t) {
    return Canonical(t, kMaterialAliases);
}

std::optional<float> ParseNumber(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    float value = 0;
    const auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
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
    const std::pair<const char*, float> numbers[] = {{"outlet", o.outlet},
                                                     {"loss", o.loss},
                                                     {"drop", o.drop},
                                                     {"mean_velocity", o.meanVelocity},
                                                     {"max_velocity", o.maxVelocity}};
    for (const auto& [name, value] : numbers) {
        out += ",\"";
        out += name;
        out += "\":";
        out += ok ? FormatShortest(value) : "null";
    }
    out += ",\"passes\":" + std::to_string(o.passes);
    out += ",\"message\":" + JsonString(o.message);
    return out;
}

std::string FormatShortest(float value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::optional<ImpossibleInput> FindImpossibleInput(const SegmentInput& in, bool withDiameter) {
    const ImpossibleInput inputs[] = {{"density", in.density},         {"viscosity", in.viscosity},
                                      {"temperature", in.temperature}, {"diameter", in.diameter},
                                      {"length", in.length},           {"flow", in.flow}};
    for (const auto& input : inputs) {
        if (input.name == "diameter" && !withDiameter) continue;
        if (!(input.value > 0)) return input;
    }
    return std::nullopt;
}

SegmentOutcome RunSegment(const SegmentInput& in) {
    SegmentOutcome out;
    if (in.pressureClass == sel::kHighMedium && in.inlet <= 1.0f) {
        out.status = Status::InputError;
        out.message = kMsgInletGuard;
        return out;
    }
    float outlet = in.start, loss = 0, mean = 0, max = 0;
    std::int16_t calcError = 0;
    try {
        CalcPipeSegmentCounted(in.gas, in.pressureClass, in.material, in.density, in.viscosity,
                               in.temperature, in.diameter, in.length, in.flow, in.inlet, outlet,
                               loss, mean, max, calcError, out.passes);
        if (calcError == -1) {
            out.status = Status::PipeTooSmall;
            out.message = kMsgPipeTooSmall;
            return out;
        }
        out.drop =
            in.pressureClass == sel::kHighMedium ? HighMediumPressureDrop(in.inlet, outlet) : loss;
    } catch (const CalcError&) {
        out.status = Status::CalcError;
        out.message = kMsgDataError;
        return out;
    }
    out.outlet = outlet;
    out.loss = loss;
    out.meanVelocity = mean;
    out.maxVelocity = max;
    return out;
}

}  // namespace gaspipe::cli
