// Solving one segment for one unknown: the largest flow or length, the
// smallest inner diameter or inlet pressure that keeps the drop (and the
// maximum velocity) within the limits. The limits are monotone in each
// unknown, so the answer is bracketed by doubling or halving from the given
// value and then bisected to 10⁻⁶ relative. Every evaluation is a full
// Calculate by the chosen method; the answer is always a value that was
// evaluated and met the limits.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hydraulics.h"

namespace gaspipe::hydraulics {

enum class Unknown { Flow, Length, Diameter, Inlet };
// "flow", "length", "diameter", "inlet", and back.
std::string_view UnknownName(Unknown u);
std::optional<Unknown> UnknownFromName(std::string_view name);

struct Limits {
    std::optional<double> maxDrop;      // inlet − outlet, in the class's pressure unit
    std::optional<double> maxVelocity;  // m/s, on the maximum (outlet) velocity
};

// What stops the unknown from going further.
enum class Binding { Drop, Velocity, NoOutlet, CalcError };
std::string_view BindingName(Binding b);  // "drop", "velocity", "no_outlet", "calc_error"

enum class SolveStatus {
    Solved,      // value is the answer
    NoSolution,  // no value meets the limits; message says what breaks them
    Unbounded,   // the limits hold as far as the search goes; value is the last one tried
    InputError,  // message names the input
};
std::string_view SolveStatusName(
    SolveStatus s);  // "solved", "no_solution", "unbounded", "input_error"

struct SolveResult {
    SolveStatus status = SolveStatus::InputError;
    double value = 0;                // m³/h, m, mm, or the class's pressure unit
    std::optional<Binding> binding;  // the limit met at the answer
    SegmentTrace trace;              // the calculation at value
    int evaluations = 0;
    std::string message;
};

// The unknown's field of `in` is only the starting point of the search (any
// value, a default when it is not positive); every other input is validated
// as Validate does, for both methods.
SolveResult Solve(const SegmentInput& in, const MethodOptions& options, Unknown unknown,
                  const Limits& limits);

}  // namespace gaspipe::hydraulics
