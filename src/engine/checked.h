// Double-precision arithmetic that stops at the first invalid operation,
// division by zero or overflow, the way the reference arithmetic traps, so a
// bad input never turns into a silently wrong number. Testing each result
// explicitly keeps this independent of the compiler's handling of the
// floating-point status flags.
#pragma once

#include <cmath>
#include <limits>
#include <vector>

#include "calc_pipe_segment.h"

namespace gaspipe::detail {

[[noreturn]] inline void Raise(CalcError::Kind kind) {
    switch (kind) {
        case CalcError::Kind::DivideByZero:
            throw CalcError(kind, "division by zero");
        case CalcError::Kind::Invalid:
            throw CalcError(kind, "invalid operation");
        case CalcError::Kind::Overflow:
            throw CalcError(kind, "overflow");
        case CalcError::Kind::NoConvergence:
            break;
    }
    throw CalcError(kind, "no convergence");
}

[[noreturn, gnu::cold]] inline void RaiseNotFinite(double r) {
    Raise(std::isnan(r) ? CalcError::Kind::Invalid : CalcError::Kind::Overflow);
}

// One comparison on the way of every operation: a NaN fails it too.
inline double Check(double r) {
    if (!(std::fabs(r) <= std::numeric_limits<double>::max())) [[unlikely]]
        RaiseNotFinite(r);
    return r;
}

// One intermediate value of a formula, kept in double.
class C {
  public:
    constexpr C(double v) : v_(v) {}  // NOLINT: implicit on purpose, formulas read as written
    constexpr double value() const { return v_; }

    friend C operator+(C a, C b) { return C(Check(a.v_ + b.v_)); }
    friend C operator-(C a, C b) { return C(Check(a.v_ - b.v_)); }
    friend C operator*(C a, C b) { return C(Check(a.v_ * b.v_)); }
    // A zero divisor always gives an infinite or NaN quotient, so it is
    // told apart only after the quotient has failed the check.
    friend C operator/(C a, C b) {
        const double r = a.v_ / b.v_;
        if (!(std::fabs(r) <= std::numeric_limits<double>::max())) [[unlikely]]
            RaiseQuotient(a.v_, b.v_, r);
        return C(r);
    }
    friend C abs(C a) { return C(Check(std::fabs(a.v_))); }

  private:
    [[noreturn, gnu::cold]] static void RaiseQuotient(double a, double b, double r) {
        if (b == 0)
            Raise(a == 0 || std::isnan(a) ? CalcError::Kind::Invalid
                                          : CalcError::Kind::DivideByZero);
        RaiseNotFinite(r);
    }

    double v_;
};

// The general power function, also for the integer powers.
inline C pw(C base, C exponent) {
    if (base.value() == 0 && exponent.value() < 0) Raise(CalcError::Kind::DivideByZero);
    return C(Check(std::pow(base.value(), exponent.value())));
}

// Rounds to single precision as the value is stored; too large for a float is
// an overflow even when the double was finite.
inline float store(C x) {
    const float f = static_cast<float>(x.value());
    if (std::isinf(f)) Raise(CalcError::Kind::Overflow);
    return f;
}

using PassValues = gaspipe::PassValues;

struct CalcOptions {
    int maxPasses = kMaxPasses;
    std::vector<PassValues>* trace = nullptr;
    PassValues* last = nullptr;  // the last pass alone, without a list to grow
};

// The calculation behind CalcPipeSegment, with its pass bound and an optional
// trace of every pass.
void CalcPipeSegmentImpl(const SegmentSelectors& selectors, const float& sngDensity,
                         const float& sngViscosity, const float& sngTemperature,
                         const float& sngInnerDia, const float& sngLength, const float& sngFlow,
                         const float& sngInletPressure, float& sngOutletPressure,
                         float& sngPressureLoss, float& sngMeanVelocity, float& sngMaxVelocity,
                         std::int16_t& intCalcError, int& passes, const CalcOptions& options);

float Roughness(const std::string& gas, const std::string& material);

FrictionLaw FrictionLawOf(const std::string& material);
float Friction(FrictionLaw law, float K, float d, float nu, float Q, float Re, float previous);
float Friction(const std::string& material, float K, float d, float nu, float Q, float Re,
               float previous);

}  // namespace gaspipe::detail
