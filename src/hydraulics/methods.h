// The two methods behind Calculate and Solve, without the input checks.
#pragma once

#include "hydraulics.h"

namespace gaspipe::hydraulics::detail {

// Bound on the compressibility passes; they settle in a handful.
inline constexpr int kMaxPasses = 100;
inline constexpr double kPassTolerance = 1e-12;

SegmentTrace CurrentCode(const SegmentInput& in, const MethodOptions& options);
SegmentTrace Appendix(const SegmentInput& in);

inline SegmentTrace Evaluate(const SegmentInput& in, const MethodOptions& options) {
    return options.method == Method::Appendix ? Appendix(in) : CurrentCode(in, options);
}

}  // namespace gaspipe::hydraulics::detail
