// The engine against the worked cases of gas-pipe practice and its failure
// rules. Expected values are the published figures, compared to the digits
// published.
#include "calc_pipe_segment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "checked.h"
#include "report.h"

namespace gaspipe {
namespace {

using detail::PassValues;

// Rounds as the published figures were rounded.
std::string Dec(float v, int decimals) { return FormatFixed(v, decimals); }

struct Case {
    std::string gas = sel::kNaturalGas, cls = sel::kHighMedium, material = sel::kSteel;
    float rho = 0.7247f, nu = 14.5f, T = 288, d = 100, L = 1000, Q = 500, P1 = 5;
    float start = 0;
};

struct Outcome {
    float outlet = 0, loss = 0, mean = 0, max = 0;
    std::int16_t flag = 0;
    int passes = 0;
    std::vector<PassValues> trace;
};

Outcome Calc(const Case& c, int maxPasses = kMaxPasses) {
    Outcome r;
    r.outlet = c.start;
    detail::CalcPipeSegmentImpl(c.gas, c.cls, c.material, c.rho, c.nu, c.T, c.d, c.L, c.Q, c.P1,
                                r.outlet, r.loss, r.mean, r.max, r.flag, r.passes,
                                {maxPasses, &r.trace});
    return r;
}

CalcError::Kind ErrorKind(const Case& c, Outcome& r) {
    r.outlet = c.start;
    try {
        detail::CalcPipeSegmentImpl(c.gas, c.cls, c.material, c.rho, c.nu, c.T, c.d, c.L, c.Q,
                                    c.P1, r.outlet, r.loss, r.mean, r.max, r.flag, r.passes,
                                    {kMaxPasses, &r.trace});
    } catch (const CalcError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no calculation error";
    return CalcError::Kind::NoConvergence;
}

TEST(WorkedExamples, HighMediumPressureTwoPasses) {
    const Outcome r = Calc({});
    ASSERT_EQ(r.flag, 0);
    ASSERT_EQ(r.passes, 2);
    const PassValues& p1 = r.trace[0];
    EXPECT_EQ(Dec(p1.Pm, 4), "3.3333");
    EXPECT_EQ(Dec(p1.v, 4), "5.6675");
    EXPECT_EQ(Dec(p1.Re, 0), "39086");
    EXPECT_EQ(Dec(p1.lambda, 6), "0.025166");
    EXPECT_EQ(Dec(p1.loss, 5), "0.67157");
    EXPECT_EQ(Dec(p1.P2, 5), "4.93239");
    EXPECT_EQ(p1.rel, 1.0f);
    const PassValues& p2 = r.trace[1];
    EXPECT_EQ(Dec(p2.Pm, 5), "4.96627");
    EXPECT_EQ(Dec(p2.v, 5), "3.80398");
    EXPECT_EQ(Dec(p2.Re, 0), "26234");
    EXPECT_EQ(Dec(p2.lambda, 6), "0.026929");
    EXPECT_EQ(Dec(p2.loss, 5), "0.71862");
    EXPECT_EQ(Dec(p2.P2, 5), "4.92761");
    EXPECT_EQ(Dec(p2.rel, 5), "0.00048");
    EXPECT_EQ(Dec(r.max, 4), "3.8338");
    EXPECT_EQ(Dec(r.outlet, 3), "4.928");
    EXPECT_EQ(Dec(r.loss, 3), "0.719");
    EXPECT_EQ(Dec(r.mean, 3), "3.804");
    EXPECT_EQ(Dec(r.max, 3), "3.834");
}

TEST(WorkedExamples, CarriedOverEstimateChangesOnlyTheMeanVelocity) {
    const Outcome first = Calc({});
    Case again;
    again.start = 4.9276f;
    const Outcome r = Calc(again);
    EXPECT_EQ(r.passes, 1);
    EXPECT_EQ(Dec(r.outlet, 3), Dec(first.outlet, 3));
    EXPECT_EQ(Dec(r.loss, 3), Dec(first.loss, 3));
    EXPECT_EQ(Dec(r.max, 3), Dec(first.max, 3));
    EXPECT_EQ(Dec(r.mean, 3), "3.806");
}

TEST(WorkedExamples, LowPressureTurbulent) {
    Case c;
    c.cls = sel::kLow;
    c.d = 50, c.L = 50, c.Q = 50, c.P1 = 3000;
    const Outcome r = Calc(c);
    EXPECT_EQ(r.passes, 2);
    EXPECT_EQ(Dec(r.trace.back().Re, 0), "25047");
    EXPECT_EQ(Dec(r.loss, 2), "606.63");
    EXPECT_EQ(Dec(r.outlet, 2), "2393.37");
    EXPECT_EQ(Dec(r.mean, 3), "7.264");
    EXPECT_EQ(Dec(r.max, 3), "7.286");
}

TEST(WorkedExamples, LowPressureLaminar) {
    Case c;
    c.cls = sel::kLow;
    c.d = 100, c.L = 100, c.Q = 1, c.P1 = 3000;
    const Outcome r = Calc(c);
    EXPECT_EQ(Dec(r.trace.back().Re, 1), "249.8");
    EXPECT_EQ(Dec(r.trace.back().lambda, 4), "0.2562");
    EXPECT_EQ(r.trace.back().lambda, detail::store(detail::C(64) / r.trace.back().Re));
    EXPECT_EQ(Dec(r.loss, 3), "0.135");
}

TEST(WorkedExamples, HighMediumWithCompressibility) {
    Case c;
    c.Q = 5000, c.P1 = 20;
    const Outcome r = Calc(c);
    EXPECT_EQ(r.passes, 3);
    EXPECT_EQ(Dec(r.outlet, 3), "18.433");
    EXPECT_EQ(Dec(r.loss, 3), "60.216");
    EXPECT_EQ(Dec(r.mean, 3), "9.485");
    EXPECT_EQ(Dec(r.max, 3), "9.909");
}

TEST(WorkedExamples, LowPressureTooSmallKeepsTheRejectedOutlet) {
    Case c;
    c.cls = sel::kLow;
    c.P1 = 5000;
    float untouchedMax = 42;
    Outcome r = Calc(c);
    r.max = untouchedMax;  // the flag must not reach the outlet state
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.passes, 1);
    EXPECT_NEAR(r.loss, 28691, 1);
    EXPECT_NEAR(r.outlet, -23691, 1);
    EXPECT_EQ(r.outlet, r.trace[0].P2);
}

TEST(Friction, RegimeLimitsAreInclusive) {
    using detail::Friction;
    const float K = 0.1f, d = 100, nu = 14.5f, Q = 500;
    EXPECT_EQ(Friction(sel::kSteel, K, d, nu, Q, 2100, 0), float(64.0 / 2100));
    EXPECT_EQ(Friction(sel::kSteel, K, d, nu, Q, 3500, 0), float(1400.0 / 127500 + 0.03));
    EXPECT_EQ(Dec(Friction(sel::kSteel, K, d, nu, Q, 3500, 0), 5), "0.04098");
    const float above = std::nextafter(3500.0f, 4000.0f);
    const float turbulent = float(0.11 * std::pow(double(K) / d + 68 / double(above), 0.25));
    EXPECT_EQ(Friction(sel::kSteel, K, d, nu, Q, above, 0), turbulent);
    const float aboveLaminar = std::nextafter(2100.0f, 3000.0f);
    EXPECT_EQ(Friction(sel::kSteel, K, d, nu, Q, aboveLaminar, 0),
              float((double(aboveLaminar) - 2100) / (65 * double(aboveLaminar) - 1e5) + 0.03));
}

TEST(Friction, MaterialLawsInTheTurbulentRegime) {
    using detail::Friction;
    const float d = 100, nu = 14.5f, Q = 500, Re = 40000;
    // Laminar and transition ignore the material, even an unknown one.
    EXPECT_EQ(Friction("塑料管", 0, d, nu, Q, 1000, 7), float(64.0 / 1000));
    EXPECT_EQ(Friction(sel::kPe, 0.01f, d, nu, Q, Re, 0),
              float(0.11 * std::pow(double(0.01f) / d + 68.0 / Re, 0.25)));
    // Cast iron uses the standard-state flow, not the roughness.
    EXPECT_EQ(Friction(sel::kCastIron, 123, d, nu, Q, Re, 0),
              float(0.102236 * std::pow(1.0 / d + 5158 * double(d) * 1e-6 * double(nu) / Q, 0.284)));
    // An unknown material keeps what the previous pass left.
    EXPECT_EQ(Friction("塑料管", 0, d, nu, Q, Re, 0.5f), 0.5f);
}

TEST(Roughness, ByMaterialAndGas) {
    using detail::Roughness;
    EXPECT_EQ(Roughness(sel::kNaturalGas, sel::kSteel), 0.1f);
    EXPECT_EQ(Roughness(sel::kLpg, sel::kSteel), 0.1f);
    EXPECT_EQ(Roughness(sel::kManufacturedGas, sel::kSteel), 0.15f);
    EXPECT_EQ(Roughness("沼气", sel::kSteel), 0.0f);
    for (const char* gas : {sel::kNaturalGas, sel::kManufacturedGas, sel::kLpg, "沼气"})
        EXPECT_EQ(Roughness(gas, sel::kPe), 0.01f) << gas;
    EXPECT_EQ(Roughness(sel::kNaturalGas, sel::kCastIron), 0.0f);
    // Exact, case-sensitive, untrimmed comparison.
    EXPECT_EQ(Roughness(sel::kNaturalGas, "pe管"), 0.0f);
    EXPECT_EQ(Roughness(sel::kNaturalGas, " 钢管"), 0.0f);
}

TEST(Compressibility, AppliesFromAnInletOfThirteen) {
    Case c;
    c.Q = 5000;
    c.P1 = 13;
    EXPECT_LT(Calc(c).trace[0].Z, 1.0f);
    c.P1 = 12.99f;
    for (const auto& pass : Calc(c).trace) EXPECT_EQ(pass.Z, 1.0f);
    c.cls = sel::kLow;
    c.P1 = 3000;
    c.d = 50, c.L = 50, c.Q = 50;
    for (const auto& pass : Calc(c).trace) EXPECT_EQ(pass.Z, 0.0f);  // never computed
}

// An unknown material in turbulent flow has no friction at all, so the outlet
// equals the inlet: that lets the outlet limits be hit exactly.
TEST(OutletLimits, ExactlyOneOrZeroIsTooSmall) {
    Case c;
    c.material = "塑料管";
    c.P1 = 1;
    Outcome r = Calc(c);
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.outlet, 1.0f);

    c.cls = sel::kLow;
    c.P1 = 0;
    c.start = 5;  // a start of 0 would divide 0 by 0
    r = Calc(c);
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.outlet, 0.0f);
}

TEST(OutletLimits, NoFrictionConvergesOnTheFirstUnchangedPass) {
    Case c;
    c.material = "塑料管";
    c.P1 = 5;
    const Outcome r = Calc(c);
    EXPECT_EQ(r.flag, 0);
    EXPECT_EQ(r.loss, 0.0f);
    EXPECT_EQ(r.outlet, 5.0f);
    EXPECT_EQ(r.passes, 2);  // 0 -> 5 (rel 1), then 5 -> 5 (rel 0)
}

TEST(TooSmall, SquaredDifferenceNotPositiveLeavesTheEstimate) {
    Case c;
    c.Q = 50000;
    c.start = 3;
    Outcome r;
    r.max = 42;
    r.outlet = c.start;
    detail::CalcPipeSegmentImpl(c.gas, c.cls, c.material, c.rho, c.nu, c.T, c.d, c.L, c.Q, c.P1,
                                r.outlet, r.loss, r.mean, r.max, r.flag, r.passes,
                                {kMaxPasses, &r.trace});
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.outlet, 3.0f);  // the failing pass's P2old
    EXPECT_GT(r.loss, 25.0f);   // that pass's loss was written
    EXPECT_EQ(r.mean, r.trace.back().v);
    EXPECT_EQ(r.max, 42.0f);
}

TEST(TooSmall, HighMediumOutletAtOrBelowOneKeepsTheRejectedValue) {
    Case c;
    c.P1 = 1.2f;
    Outcome r;
    r.max = 42;
    r.outlet = 0;
    detail::CalcPipeSegmentImpl(c.gas, c.cls, c.material, c.rho, c.nu, c.T, c.d, c.L, c.Q, c.P1,
                                r.outlet, r.loss, r.mean, r.max, r.flag, r.passes,
                                {kMaxPasses, &r.trace});
    ASSERT_EQ(r.flag, -1);
    EXPECT_LE(r.outlet, 1.0f);
    EXPECT_GT(r.outlet, 0.0f);
    EXPECT_EQ(r.max, 42.0f);
}

TEST(CalcErrors, BadInputsRaiseInsteadOfReturningNumbers) {
    Outcome r;
    Case c;
    c.d = 0;
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::DivideByZero);  // the velocity
    c = {};
    c.nu = 0;
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::DivideByZero);
    c = {};
    c.Q = 0;
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::DivideByZero);  // 64 / 0
    c = {};
    c.cls = "中压";
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::DivideByZero);
    c = {};
    c.cls = sel::kLow;
    c.P1 = 0;
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::Invalid);  // 0 / 0 in the mean pressure
    c = {};
    c.P1 = 20;
    c.start = -30;  // a failed low-pressure result used as the estimate
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::Invalid);  // negative base ^ 1.15
    c = {};
    c.d = -10;
    c.Q = -500;  // turbulent, with K / d outweighing 68 / Re
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::Invalid);  // negative base ^ 0.25
    c = {};
    c.Q = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::Invalid);
    c = {};
    c.L = std::numeric_limits<float>::max();
    c.rho = std::numeric_limits<float>::max();
    EXPECT_EQ(ErrorKind(c, r), CalcError::Kind::Overflow);  // loss too large for a float
}

TEST(CalcErrors, OutputsWrittenBeforeTheErrorStay) {
    Case c;
    c.cls = "中压";
    Outcome r;
    r.loss = 7, r.max = 8;
    ErrorKind(c, r);
    EXPECT_EQ(r.mean, 0.0f);  // written by the failing pass
    EXPECT_EQ(r.loss, 7.0f);  // an unknown class never writes the loss
    EXPECT_EQ(r.max, 8.0f);
    EXPECT_EQ(r.flag, 0);
}

TEST(PassBound, ARunawayIterationEndsWithAnError) {
    Case c;
    Outcome r;
    r.outlet = 0;
    try {
        detail::CalcPipeSegmentImpl(c.gas, c.cls, c.material, c.rho, c.nu, c.T, c.d, c.L, c.Q,
                                    c.P1, r.outlet, r.loss, r.mean, r.max, r.flag, r.passes,
                                    {1, &r.trace});
        FAIL() << "the bound did not stop the iteration";
    } catch (const CalcError& e) {
        EXPECT_EQ(e.kind(), CalcError::Kind::NoConvergence);
    }
    EXPECT_EQ(r.passes, 1);
    EXPECT_EQ(Dec(r.outlet, 5), "4.93239");  // the first pass's result stays
    EXPECT_EQ(r.flag, 0);
}

TEST(PublicEntry, MatchesTheCountedCallAndNeverClearsTheFlag) {
    const std::string gas = sel::kNaturalGas, cls = sel::kHighMedium, mat = sel::kSteel;
    const float rho = 0.7247f, nu = 14.5f, T = 288, d = 100, L = 1000, Q = 500, P1 = 5;
    float out1 = 0, loss1 = 0, mean1 = 0, max1 = 0, out2 = 0, loss2 = 0, mean2 = 0, max2 = 0;
    std::int16_t flag1 = -1, flag2 = 0;
    int passes = 0;
    CalcPipeSegment(gas, cls, mat, rho, nu, T, d, L, Q, P1, out1, loss1, mean1, max1, flag1);
    CalcPipeSegmentCounted(gas, cls, mat, rho, nu, T, d, L, Q, P1, out2, loss2, mean2, max2,
                           flag2, passes);
    EXPECT_EQ(flag1, -1);  // only the caller resets it
    EXPECT_EQ(out1, out2);
    EXPECT_EQ(loss1, loss2);
    EXPECT_EQ(mean1, mean2);
    EXPECT_EQ(max1, max2);
    EXPECT_EQ(passes, 2);
}

}  // namespace
}  // namespace gaspipe
