// Solving for one unknown: answers with closed forms worked out by hand
// (the low-pressure drop is linear in length, and in flow while laminar; with
// Z = 1 the high/medium inlet for a drop D is (D² + loss)/(2D)), and for every
// answer a fresh calculation there that meets the limit and sits on it.
#include "solve.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace gaspipe::hydraulics {
namespace {

SegmentInput Base(PressureClass cls, double Q, double d, double L) {
    SegmentInput in;
    in.pressureClass = cls;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.diameter = d, in.length = L, in.flow = Q;
    in.inlet = cls == PressureClass::Low ? 3000 : 5;
    return in;
}

MethodOptions Options(Method m) {
    MethodOptions o;
    o.method = m;
    return o;
}
const MethodOptions kAppendix = Options(Method::Appendix);
const MethodOptions kCurrent = Options(Method::Gb50028_2006);

TEST(Solve, AnswersMeetTheLimitAndAgreeWithClosedForms) {
    struct Row {
        const char* name;
        SegmentInput in;
        MethodOptions options;
        Unknown unknown;
        Limits limits;
        std::optional<double> expected;  // closed form
        Binding binding;
    };
    const SegmentInput low = Base(PressureClass::Low, 50, 50, 50);
    const SegmentInput high = Base(PressureClass::HighMedium, 500, 100, 1000);
    const Row rows[] = {
        {"length, low, drop linear in L",
         low,
         kCurrent,
         Unknown::Length,
         {150, {}},
         12.328277409252186,
         Binding::Drop},
        {"flow, low laminar, drop linear in Q",
         Base(PressureClass::Low, 3, 100, 100),
         kCurrent,
         Unknown::Flow,
         {1, {}},
         7.24341017861614,
         Binding::Drop},
        {"inlet, high/medium with Z = 1",
         high,
         kCurrent,
         Unknown::Inlet,
         {0.1, {}},
         2.9569027873005407,
         Binding::Drop},
        {"diameter, high/medium, velocity",
         high,
         kCurrent,
         Unknown::Diameter,
         {0.5, 5},
         {},
         Binding::Velocity},
        {"diameter, low", low, kCurrent, Unknown::Diameter, {100, {}}, {}, Binding::Drop},
        {"flow, appendix", high, kAppendix, Unknown::Flow, {0.5, {}}, {}, Binding::Drop},
        {"diameter, appendix, velocity",
         low,
         kAppendix,
         Unknown::Diameter,
         {{}, 4},
         {},
         Binding::Velocity},
        {"inlet, low: lowest with an outlet",
         low,
         kCurrent,
         Unknown::Inlet,
         {1000, {}},
         {},
         Binding::NoOutlet},
    };
    for (const Row& row : rows) {
        const SolveResult r = Solve(row.in, row.options, row.unknown, row.limits);
        ASSERT_EQ(r.status, SolveStatus::Solved) << row.name << ": " << r.message;
        EXPECT_EQ(r.binding, row.binding) << row.name;
        if (row.expected) {
            EXPECT_NEAR(r.value, *row.expected, *row.expected * 1e-6) << row.name;
        }

        SegmentInput at = row.in;
        (row.unknown == Unknown::Flow       ? at.flow
         : row.unknown == Unknown::Length   ? at.length
         : row.unknown == Unknown::Diameter ? at.diameter
                                            : at.inlet) = r.value;
        const SegmentTrace t = Calculate(at, row.options);
        ASSERT_EQ(t.outcome, Outcome::Ok) << row.name;
        EXPECT_EQ(t.outlet, r.trace.outlet) << row.name;
        // 10⁻⁶ on the unknown; the drop goes with up to d⁻⁵.
        const double tol = 6e-6;
        if (row.binding == Binding::Drop) {
            EXPECT_LE(t.drop, *row.limits.maxDrop) << row.name;
            EXPECT_GE(t.drop, *row.limits.maxDrop * (1 - tol)) << row.name;
        } else if (row.binding == Binding::Velocity) {
            EXPECT_LE(t.maxVelocity, *row.limits.maxVelocity) << row.name;
            EXPECT_GE(t.maxVelocity, *row.limits.maxVelocity * (1 - tol)) << row.name;
        } else {
            EXPECT_LE(t.outlet, t.input.inlet * tol) << row.name;
        }
    }
}

TEST(Solve, SaysWhenNothingMeetsTheLimits) {
    struct Row {
        const char* name;
        SegmentInput in;
        MethodOptions options;
        Unknown unknown;
        Limits limits;
        SolveStatus status;
        const char* says;
    };
    SegmentInput rising = Base(PressureClass::Low, 1, 100, 100);
    SegmentInput noDensity = rising;
    noDensity.density = 0;
    MethodOptions up = kCurrent;
    up.rise = 100;  // natural gas gains 557 Pa, more than the tiny loss
    SegmentInput lpg = rising;
    lpg.gas = Gas::Lpg, lpg.density = 2.35;
    MethodOptions lpgUp = kCurrent;
    lpgUp.rise = 10;  // costs 103.6 Pa whatever the pipe
    const Row rows[] = {
        {"velocity broken at zero length",
         Base(PressureClass::Low, 50, 50, 50),
         kCurrent,
         Unknown::Length,
         {{}, 5},
         SolveStatus::NoSolution,
         "at zero length"},
        {"LPG rising: drop broken at every diameter",
         lpg,
         lpgUp,
         Unknown::Diameter,
         {50, {}},
         SolveStatus::NoSolution,
         "the drop is"},
        {"the head carries the gas at any inlet",
         rising,
         up,
         Unknown::Inlet,
         {1, {}},
         SolveStatus::Unbounded,
         "down to"},
        {"no limit", rising, kCurrent, Unknown::Flow, {}, SolveStatus::InputError, "max_"},
        {"impossible input",
         noDensity,
         kAppendix,
         Unknown::Flow,
         {1, {}},
         SolveStatus::InputError,
         "density"},
    };
    for (const Row& row : rows) {
        const SolveResult r = Solve(row.in, row.options, row.unknown, row.limits);
        EXPECT_EQ(r.status, row.status) << row.name << ": " << r.message;
        EXPECT_NE(r.message.find(row.says), std::string::npos) << row.name << ": " << r.message;
        EXPECT_LE(r.evaluations, 200) << row.name;
    }
}

}  // namespace
}  // namespace gaspipe::hydraulics
