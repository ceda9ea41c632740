// One segment calculation as the command-line tool runs it: selector and
// number parsing, the window's inlet guard for the appendix method, the
// hydraulics library's call and the outcome with its message. Shared by the
// segment, batch, size and solve commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hydraulics.h"
#include "number_text.h"

namespace gaspipe::cli {

enum class Status { Ok, PipeTooSmall, CalcError, InputError };

std::string_view StatusName(Status s);

inline constexpr const char* kMsgPipeTooSmall = "管径太小，无法满足要求!";
inline constexpr const char* kMsgDataError = "请检查输入数据是否正确！";
inline constexpr const char* kMsgInletGuard = "进口压力应大于1!";

// One segment as the tool reads it. The appendix routine stores its inputs as
// floats, so its numbers are read as floats (a double rounded to a float can
// differ from the float read directly) and held widened; the current-code
// method's are read as doubles.
struct SegmentInput {
    hydraulics::SegmentInput segment;
    hydraulics::MethodOptions options;
    bool single() const { return options.method == hydraulics::Method::Appendix; }
};

struct SegmentOutcome {
    Status status = Status::Ok;
    bool single = true;  // the appendix routine's numbers: floats, printed as floats
    double outlet = 0, loss = 0, drop = 0, meanVelocity = 0, maxVelocity = 0;
    double additionalHead = 0;
    double reynolds = 0, frictionFactor = 0, z = 0;
    hydraulics::Regime regime = hydraulics::Regime::Laminar;
    int passes = 0;
    // The window's message for the appendix method, the library's reason for
    // the current-code method; empty when ok.
    std::string message;
};

SegmentOutcome RunSegment(const SegmentInput& in);

// The same into out, reusing its storage and scratch's, for batches.
void RunSegment(const SegmentInput& in, hydraulics::SegmentTrace& scratch, SegmentOutcome& out);

// The library's enums for a Chinese selector text or its ASCII alias.
std::optional<hydraulics::Gas> ParseGas(std::string_view text);
std::optional<hydraulics::PressureClass> ParseClass(std::string_view text);
std::optional<hydraulics::Material> ParseMaterial(std::string_view text);
std::optional<hydraulics::Method> ParseMethod(std::string_view text);  // exact names only

// Chinese selector text for a Chinese text or its ASCII alias.
std::optional<std::string> CanonicalGas(std::string_view text);
std::optional<std::string> CanonicalClass(std::string_view text);
std::optional<std::string> CanonicalMaterial(std::string_view text);

// A C-locale number that fits a float: surrounding blanks and a leading '+'
// allowed; empty text, trailing junk, inf, nan and out-of-range values fail.
std::optional<float> ParseNumber(std::string_view text);
// The same rules for a double.
std::optional<double> ParseDouble(std::string_view text);
// A float widened (single) or a double.
std::optional<double> ParseNumber(std::string_view text, bool single);
// Why ParseNumber(text, single) failed, after the quoted text.
std::string_view NumberProblem(bool single);

// A JSON string literal of UTF-8 text.
std::string JsonString(std::string_view text);

// The outcome as JSON members (no braces): status, outlet, loss, drop,
// mean_velocity, max_velocity (null unless ok), passes, message, then
// reynolds, friction_factor, regime and z (null unless ok).
std::string OutcomeJsonMembers(const SegmentOutcome& o);

// The shortest text that reads back as the same float.
std::string FormatShortest(float value);
// The shortest text that reads back as the same number: as a float when
// single and the value is one, as a double otherwise.
std::string FormatNumber(double value, bool single);
void AppendNumber(std::string& out, double value, bool single);

}  // namespace gaspipe::cli
