// One segment calculation as the command-line tool runs it: selector and
// number parsing, the window's inlet guard, the engine call and the outcome
// with the window's messages. Shared by the segment, batch and size commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gaspipe::cli {

enum class Status { Ok, PipeTooSmall, CalcError, InputError };

std::string_view StatusName(Status s);

inline constexpr const char* kMsgPipeTooSmall = "管径太小，无法满足要求!";
inline constexpr const char* kMsgDataError = "请检查输入数据是否正确！";
inline constexpr const char* kMsgInletGuard = "进口压力应大于1!";

struct SegmentInput {
    std::string gas, pressureClass, material;
    float density = 0, viscosity = 0, temperature = 0, diameter = 0, length = 0, flow = 0,
          inlet = 0;
    float start = 0;  // starting estimate of the outlet pressure
};

struct SegmentOutcome {
    Status status = Status::Ok;
    float outlet = 0, loss = 0, drop = 0, meanVelocity = 0, maxVelocity = 0;
    int passes = 0;
    std::string message;  // the window's message when status is not Ok
};

SegmentOutcome RunSegment(const SegmentInput& in);

// An input that no real pipe segment can have: a length, flow, density,
// viscosity or temperature (K) of zero or below, and the diameter when the
// caller gives one. The calculation would still run on them and produce
// negative drops and velocities, so commands that judge or search refuse
// them instead. (segment computes whatever the window would.)
struct ImpossibleInput {
    std::string_view name;  // the option and column name, e.g. "length"
    float value;
};
std::optional<ImpossibleInput> FindImpossibleInput(const SegmentInput& in, bool withDiameter);

// Chinese selector text for a Chinese text or its ASCII alias.
std::optional<std::string> CanonicalGas(std::string_view text);
std::optional<std::string> CanonicalClass(std::string_view text);
std::optional<std::string> CanonicalMaterial(std::string_view text);

// A C-locale number that fits a float: surrounding blanks and a leading '+'
// allowed; empty text, trailing junk, inf, nan and out-of-range values fail.
std::optional<float> ParseNumber(std::string_view text);

// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view text);

// The outcome as JSON members (no braces): status, outlet, loss, drop,
// mean_velocity, max_velocity (null unless ok), passes, message.
std::string OutcomeJsonMembers(const SegmentOutcome& o);

// The shortest text that reads back as the same float.
std::string FormatShortest(float value);

}  // namespace gaspipe::cli
