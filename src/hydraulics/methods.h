// The two methods behind Calculate and Solve, without the input checks. Both
// write into a trace that the caller has reset.
#pragma once

#include <string>

#include "hydraulics.h"

namespace gaspipe::hydraulics::detail {

// Bound on the compressibility passes; they settle in a handful.
inline constexpr int kMaxPasses = 100;
inline constexpr double kPassTolerance = 1e-12;

// A number for a message, to `digits` significant digits; never "nan" or
// "inf", which mean nothing to a designer.
std::string MessageNumber(double v, int digits = 6);

void CurrentCode(const SegmentInput& in, const MethodOptions& options, SegmentTrace& t,
                 bool keepPasses);
void Appendix(const SegmentInput& in, const MethodOptions& options, SegmentTrace& t,
              bool keepPasses);

inline SegmentTrace Evaluate(const SegmentInput& in, const MethodOptions& options) {
    SegmentTrace t;
    if (options.method == Method::Appendix)
        Appendix(in, options, t, true);
    else
        CurrentCode(in, options, t, true);
    return t;
}

}  // namespace gaspipe::hydraulics::detail
