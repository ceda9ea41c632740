// The engine against the published worked cases and its failure rules.
// Expected values are the published figures, compared to the digits given.
#include "calc_pipe_segment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "checked.h"
#include "report.h"

namespace gaspipe {
namespace {

using detail::PassValues;
using Kind = CalcError::Kind;

std::string Dec(float v, int decimals) { return FormatFixed(v, decimals); }

struct Case {
    std::string gas = sel::kNaturalGas, cls = sel::kHighMedium, material = sel::kSteel;
    float rho = 0.7247f, nu = 14.5f, T = 288, d = 100, L = 1000, Q = 500, P1 = 5;
    float start = 0;
};

// Outputs start as given, so a test can see what the call left untouched.
struct Outcome {
    float outlet = 0, loss = 0, mean = 0, max = 0;
    std::int16_t flag = 0;
    int passes = 0;
    std::vector<PassValues> trace;
    std::optional<Kind> error;
};

Outcome Calc(const Case& c, Outcome r = {}, int maxPasses = kMaxPasses) {
    r.outlet = c.start;
    try {
        detail::CalcPipeSegmentImpl(ReadSelectors(c.gas, c.cls, c.material), c.rho, c.nu, c.T, c.d,
                                    c.L, c.Q, c.P1, r.outlet, r.loss, r.mean, r.max, r.flag,
                                    r.passes, {maxPasses, &r.trace});
    } catch (const CalcError& e) {
        r.error = e.kind();
    }
    return r;
}

// Each pass as the published case gives it: Pm v Re lambda loss P2 rel.
std::string Pass(const PassValues& p, int digits) {
    return Dec(p.Pm, digits) + ' ' + Dec(p.v, digits) + ' ' + Dec(p.Re, 0) + ' ' +
           Dec(p.lambda, 6) + ' ' + Dec(p.loss, 5) + ' ' + Dec(p.P2, 5) + ' ' + Dec(p.rel, 5);
}

TEST(WorkedExamples, HighMediumPressureTwoPasses) {
    const Outcome r = Calc({});
    ASSERT_EQ(r.passes, 2);
    EXPECT_EQ(Pass(r.trace[0], 4), "3.3333 5.6675 39086 0.025166 0.67157 4.93239 1.00000");
    EXPECT_EQ(Pass(r.trace[1], 5), "4.96627 3.80398 26234 0.026929 0.71862 4.92761 0.00048");
    EXPECT_EQ(Dec(r.max, 4), "3.8338");
    EXPECT_EQ(Dec(r.outlet, 3) + Dec(r.loss, 3) + Dec(r.mean, 3) + Dec(r.max, 3),
              "4.9280.7193.8043.834");
    EXPECT_EQ(r.flag, 0);
}

// The carried-over estimate and the low-pressure case are checked through the
// window's calculate command.
TEST(WorkedExamples, OtherPublishedCases) {
    Case laminar;
    laminar.cls = sel::kLow;
    laminar.L = 100, laminar.Q = 1, laminar.P1 = 3000;
    Outcome r = Calc(laminar);
    EXPECT_EQ(Dec(r.trace.back().Re, 1), "249.8");
    EXPECT_EQ(Dec(r.trace.back().lambda, 4), "0.2562");
    EXPECT_EQ(Dec(r.loss, 3), "0.135");

    Case compressed;
    compressed.Q = 5000, compressed.P1 = 20;
    r = Calc(compressed);
    EXPECT_EQ(r.passes, 3);
    EXPECT_EQ(Dec(r.outlet, 3) + " " + Dec(r.loss, 3), "18.433 60.216");
    EXPECT_EQ(Dec(r.mean, 3) + " " + Dec(r.max, 3), "9.485 9.909");
}

TEST(Friction, RegimeLimitsAreInclusive) {
    using detail::Friction;
    const float K = 0.1f, d = 100, nu = 14.5f, Q = 500;
    EXPECT_EQ(Friction(sel::kSteel, K, d, nu, Q, 2100, 0), float(64.0 / 2100));
    EXPECT_EQ(Dec(Friction(sel::kSteel, K, d, nu, Q, 3500, 0), 5), "0.04098");
    // Just above: Altshul, 0.04158648 by python3-fluids' Tsal_1989 (Altshul above 0.018).
    EXPECT_FLOAT_EQ(Friction(sel::kSteel, K, d, nu, Q, std::nextafter(3500.0f, 4000.0f), 0),
                    0.04158648f);
    // In laminar and transition flow the material does not matter, even an unknown one.
    EXPECT_EQ(Dec(Friction("塑料管", 0, d, nu, Q, 3500, 7), 5), "0.04098");
    // Turbulent cast iron takes the standard-state flow, not the roughness, by
    // hand 0.102236 (1/100 + 5158 * 100e-6 * 14.5 / 500)^0.284 = 0.03584367;
    // an unknown material keeps what the previous pass left.
    EXPECT_FLOAT_EQ(Friction(sel::kCastIron, 123, d, nu, Q, 40000, 0), 0.03584367f);
    EXPECT_EQ(Friction("塑料管", 0, d, nu, Q, 40000, 0.5f), 0.5f);
}

TEST(Roughness, ByMaterialAndGasWithExactSelectors) {
    using detail::Roughness;
    EXPECT_EQ(Roughness(sel::kNaturalGas, sel::kSteel), 0.1f);
    EXPECT_EQ(Roughness(sel::kLpg, sel::kSteel), 0.1f);
    EXPECT_EQ(Roughness(sel::kManufacturedGas, sel::kSteel), 0.15f);
    EXPECT_EQ(Roughness("沼气", sel::kSteel), 0.0f);
    EXPECT_EQ(Roughness("沼气", sel::kPe), 0.01f);
    EXPECT_EQ(Roughness(sel::kNaturalGas, sel::kCastIron), 0.0f);
    EXPECT_EQ(Roughness(sel::kNaturalGas, "pe管") + Roughness(sel::kNaturalGas, " 钢管"), 0.0f);
}

TEST(Compressibility, AppliesFromAnInletOfThirteen) {
    Case c;
    c.Q = 5000, c.P1 = 13;
    EXPECT_LT(Calc(c).trace[0].Z, 1.0f);
    c.P1 = 12.99f;
    for (const auto& pass : Calc(c).trace) EXPECT_EQ(pass.Z, 1.0f);
}

// An unknown material in turbulent flow has no friction, so the outlet equals
// the inlet: that hits the outlet limits exactly.
TEST(OutletLimits, FrictionlessSegments) {
    Case c;
    c.material = "塑料管";
    Outcome r = Calc(c);
    EXPECT_EQ(r.loss, 0.0f);
    EXPECT_EQ(r.outlet, 5.0f);
    EXPECT_EQ(r.passes, 2);  // 0 -> 5, then 5 -> 5
    c.P1 = 1;
    r = Calc(c);
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.outlet, 1.0f);
    c.cls = sel::kLow;
    c.P1 = 0;
    c.start = 5;  // a start of 0 would divide 0 by 0
    r = Calc(c);
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.outlet, 0.0f);
}

TEST(TooSmall, WhatEachCaseLeavesInTheOutputs) {
    Outcome untouched;
    untouched.max = 42;

    Case squared;  // P1² - loss <= 0: the estimate stays
    squared.Q = 50000, squared.start = 3;
    Outcome r = Calc(squared, untouched);
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.outlet, 3.0f);
    EXPECT_GT(r.loss, 25.0f);
    EXPECT_EQ(r.max, 42.0f);

    Case belowOne;  // 0 < P2 <= 1 is written, then rejected
    belowOne.P1 = 1.2f;
    r = Calc(belowOne, untouched);
    EXPECT_EQ(r.flag, -1);
    EXPECT_GT(r.outlet, 0.0f);
    EXPECT_LE(r.outlet, 1.0f);
    EXPECT_EQ(r.max, 42.0f);

    Case low;  // low pressure: the negative outlet is written, then rejected
    low.cls = sel::kLow, low.P1 = 5000;
    r = Calc(low, untouched);
    EXPECT_EQ(r.flag, -1);
    EXPECT_EQ(r.passes, 1);
    EXPECT_NEAR(r.loss, 28691, 1);
    EXPECT_NEAR(r.outlet, -23691, 1);
    EXPECT_EQ(r.max, 42.0f);
}

TEST(CalcErrors, BadInputsRaiseInsteadOfReturningNumbers) {
    struct Row {
        const char* name;
        Case c;
        Kind kind;
    };
    auto with = [](auto change) {
        Case c;
        change(c);
        return c;
    };
    const float big = std::numeric_limits<float>::max();
    const Row rows[] = {
        {"zero diameter", with([](Case& c) { c.d = 0; }), Kind::DivideByZero},
        {"zero viscosity", with([](Case& c) { c.nu = 0; }), Kind::DivideByZero},
        {"zero flow", with([](Case& c) { c.Q = 0; }), Kind::DivideByZero},
        {"unknown class", with([](Case& c) { c.cls = "中压"; }), Kind::DivideByZero},
        {"low, inlet and start 0", with([](Case& c) { c.cls = sel::kLow, c.P1 = 0; }),
         Kind::Invalid},
        {"negative mean pressure ^ 1.15", with([](Case& c) { c.P1 = 20, c.start = -30; }),
         Kind::Invalid},
        {"negative base ^ 0.25", with([](Case& c) { c.d = -10, c.Q = -500; }), Kind::Invalid},
        {"NaN input", with([](Case& c) { c.Q = std::nanf(""); }), Kind::Invalid},
        {"loss too large for a float", with([big](Case& c) { c.L = big, c.rho = big; }),
         Kind::Overflow},
    };
    for (const Row& row : rows) EXPECT_EQ(Calc(row.c).error, row.kind) << row.name;
}

TEST(CalcErrors, OutputsWrittenBeforeTheErrorStay) {
    Case c;
    c.cls = "中压";
    Outcome before;
    before.loss = 7, before.max = 8, before.mean = 9;
    const Outcome r = Calc(c, before);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.mean, 0.0f);  // written by the failing pass
    EXPECT_EQ(r.loss, 7.0f);  // an unknown class never writes the loss
    EXPECT_EQ(r.max, 8.0f);
    EXPECT_EQ(r.flag, 0);
}

TEST(PassBound, ARunawayIterationEndsWithAnError) {
    // Re straddles the transition limit of 3500, so the friction law flips
    // every pass and the outlet pressure cycles between two values forever.
    Case cycling;
    cycling.gas = sel::kManufacturedGas, cycling.material = sel::kCastIron;
    cycling.rho = 1.53030849f, cycling.nu = 14.801425f, cycling.T = 252.194183f;
    cycling.d = 57.9817467f, cycling.L = 8490.45898f, cycling.Q = 385.531769f;
    cycling.P1 = 40.1330147f;
    const Outcome runaway = Calc(cycling);
    EXPECT_EQ(runaway.error, Kind::NoConvergence);
    EXPECT_EQ(runaway.passes, kMaxPasses);
    EXPECT_EQ(Dec(Calc({}, {}, 1).outlet, 5), "4.93239");  // a stopped pass's result stays
}

TEST(PublicEntry, NeverClearsTheFlag) {
    const Case c;
    float outlet = 0, loss = 0, mean = 0, max = 0;
    std::int16_t flag = -1;
    CalcPipeSegment(c.gas, c.cls, c.material, c.rho, c.nu, c.T, c.d, c.L, c.Q, c.P1, outlet, loss,
                    mean, max, flag);
    EXPECT_EQ(flag, -1);  // only the caller resets it
    EXPECT_EQ(Dec(outlet, 3) + Dec(max, 3), "4.9283.834");
}

}  // namespace
}  // namespace gaspipe
