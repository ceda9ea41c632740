// The current-code method against a published spreadsheet case, friction
// factors from python3-fluids (fluids.friction.Colebrook) and hand
// calculations of the formulas (Python, independent of this code); the
// appendix method against the window's routine called directly.
#include "hydraulics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "calc_pipe_segment.h"

namespace gaspipe::hydraulics {
namespace {

void ExpectRel(double actual, double expected, double tol, const std::string& what) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * tol) << what;
}

SegmentInput High(double P1 = 5, double Q = 500) {
    SegmentInput in;
    in.density = 0.7247, in.viscosity = 14.5, in.temperature = 288;
    in.diameter = 100, in.length = 1000, in.flow = Q, in.inlet = P1;
    return in;
}

SegmentInput Low(double Q = 50, double d = 50, double L = 50) {
    SegmentInput in = High(3000, Q);
    in.pressureClass = PressureClass::Low;
    in.diameter = d, in.length = L;
    return in;
}

MethodOptions Current() {
    MethodOptions o;
    o.method = Method::Gb50028_2006;
    return o;
}

TEST(Friction, RegimeLimitsAndColebrookWhite) {
    struct Row {
        double re, K, d, lambda;
        Regime regime;
    } const rows[] = {
        {2000, 0.1, 100, 0.032, Regime::Laminar},
        {2100, 0.1, 100, 0.030476190476190476, Regime::Laminar},
        {3000, 0.1, 100, 0.039473684210526314, Regime::Critical},
        {3500, 0.1, 100, 0.04098039215686274, Regime::Critical},
        {3500.5, 0, 100, 0.041526534042547254, Regime::Turbulent},
        {1e5, 0.01, 100, 0.018513866077471648, Regime::Turbulent},
        {2e4, 5, 100, 0.07269007675267418, Regime::Turbulent},
        {1e7, 1, 100, 0.0379098257518066, Regime::Turbulent},
        {1e8, 0, 100, 0.005940466351636761, Regime::Turbulent},
    };
    for (const Row& r : rows) {
        const FrictionFactor f = Friction(r.re, r.K, r.d);
        EXPECT_EQ(f.regime, r.regime) << r.re;
        ExpectRel(f.lambda, r.lambda, 1e-14, "Re " + std::to_string(r.re));
    }
}

TEST(CurrentCode, PublishedSpreadsheetCase) {
    // 180 kPa absolute, 2500 m³/h, d 259 mm, ρ 0.78, 1 km, λ 0.01934, T = T0,
    // Z = 1, no local losses: P2 = 177.123 kPa.
    const double loss = HighMediumSquareLoss(0.01934, 2500, 259, 0.78, kT0, 1, 1000);
    EXPECT_NEAR(std::sqrt(1.8 * 1.8 - loss) * 100, 177.123, 0.0005);
}

TEST(CurrentCode, WholeSegmentsByHand) {
    struct Expect {
        double re, lambda, z, friction, local, head, outlet, meanPressure, actualFlow, mean, max;
    };
    struct Row {
        const char* name;
        SegmentInput in;
        MethodOptions options;
        Expect e;
    };
    MethodOptions rising = Current(), fittings = Current();
    rising.rise = 10;
    fittings.zeta = 5;
    const Row rows[] = {
        {"high/medium, ideal gas",
         High(),
         Current(),
         {121957.81079838723, 0.021785851799799718, 1, 0.5813805574601082 / 1.1,
          0.5813805574601082 / 11, 0, 4.941519952660304, 4.970817310217947, 107.46080698654652,
          3.800648582345102, 3.823181924623314}},
        {"high/medium, Z iterated",
         High(20, 5000),
         Current(),
         {1219578.1079838723, 0.019889258285888462, 0.9650618766622406, 51.22237442805911 / 1.1,
          51.22237442805911 / 11, 0, 18.67558902878142, 19.34535339267687, 266.47495149164104,
          9.424623497792822, 9.776183132653946}},
        {"low, natural gas rising 10 m",
         Low(),
         rising,
         {24391.562159677447, 0.02890562147542375, 1, 553.0522709575691, 55.30522709575692, 55.6934,
          2447.3359019466743, 2723.9125781682233, 51.338166474100696, 7.262864856557995,
          7.282222029203422}},
        {"low, fittings as Σζ = 5",
         Low(),
         fittings,
         {24391.562159677447, 0.02890562147542375, 1, 553.0522709575691, 95.66517561779244, 0,
          2351.2825534246385, 2675.9784816246392, 51.36182825751915, 7.266212314152144,
          7.2889688163504776}},
        {"low, laminar",
         Low(1, 100, 100),
         Current(),
         {243.91562159677446, 0.26238581842781955, 1, 0.1255059269975778, 0.012550592699757779, 0,
          2999.8619434803027, 2999.9309717553697, 1.0240467634401489, 0.036218245413056994,
          0.03621826937745972}},
    };
    for (const Row& row : rows) {
        const SegmentTrace t = Calculate(row.in, row.options);
        ASSERT_EQ(t.outcome, Outcome::Ok) << row.name << ": " << t.reason;
        const Expect& e = row.e;
        const std::pair<double, double> values[] = {{t.reynolds, e.re},
                                                    {t.frictionFactor, e.lambda},
                                                    {t.z, e.z},
                                                    {t.frictionLoss, e.friction},
                                                    {t.localLoss, e.local},
                                                    {t.additionalHead, e.head},
                                                    {t.outlet, e.outlet},
                                                    {t.meanPressure, e.meanPressure},
                                                    {t.actualFlow, e.actualFlow},
                                                    {t.meanVelocity, e.mean},
                                                    {t.maxVelocity, e.max}};
        for (std::size_t i = 0; i < std::size(values); ++i)
            ExpectRel(values[i].first, values[i].second, 1e-11,
                      std::string(row.name) + ", value " + std::to_string(i));
        EXPECT_EQ(t.drop, t.input.inlet - t.outlet) << row.name;
        // Only the empirical Z depends on the outlet, so only it iterates.
        EXPECT_EQ(t.passes.empty(), e.z == 1) << row.name;
    }
}

TEST(CurrentCode, RoughnessByMaterialAndGas) {
    // λ at Re 121958 in a 100 mm pipe, for K = 0.1, 0.15, 0.01, 0.2 mm.
    struct Row {
        Gas gas;
        Material material;
        std::optional<double> roughness;
        double lambda;
    } const rows[] = {
        {Gas::NaturalGas, Material::Steel, {}, 0.021785851799799718},
        {Gas::ManufacturedGas, Material::Steel, {}, 0.023413217361073654},
        {Gas::Lpg, Material::Pe, {}, 0.017852214859289606},
        {Gas::NaturalGas, Material::CastIron, {}, 0.02482854211235909},
        {Gas::NaturalGas, Material::Steel, 0.2, 0.02482854211235909},
    };
    for (const Row& r : rows) {
        SegmentInput in = High();
        in.gas = r.gas, in.material = r.material;
        MethodOptions options = Current();
        options.roughness = r.roughness;
        ExpectRel(Calculate(in, options).frictionFactor, r.lambda, 1e-13,
                  std::string(SelectorText(r.material)));
    }
}

TEST(CurrentCode, FailuresAndRefusedInputs) {
    struct Row {
        const char* name;
        SegmentInput in;
        MethodOptions options;
        Outcome outcome;
        const char* field;  // named in the reason of an input error
    };
    auto with = [](SegmentInput in, auto change) {
        change(in);
        return in;
    };
    auto opt = [](auto change) {
        MethodOptions o = Current();
        change(o);
        return o;
    };
    const Row rows[] = {
        {"P1² below the loss", High(5, 5000), Current(), Outcome::PipeTooSmall, ""},
        {"outlet at or below 1", High(1.2), Current(), Outcome::PipeTooSmall, ""},
        {"low outlet at or below 0", Low(500), Current(), Outcome::PipeTooSmall, ""},
        {"zero density", with(High(), [](auto& i) { i.density = 0; }), Current(),
         Outcome::InputError, "density"},
        {"negative length", with(Low(), [](auto& i) { i.length = -1; }), Current(),
         Outcome::InputError, "length"},
        {"NaN flow", with(High(), [](auto& i) { i.flow = NAN; }), Current(), Outcome::InputError,
         "flow"},
        {"inlet 1 absolute", High(1), Current(), Outcome::InputError, "inlet"},
        {"both local losses", Low(), opt([](auto& o) { o.localLoss = 0.05, o.zeta = 2; }),
         Outcome::InputError, "local_loss"},
        {"roughness beyond 3.7 d: no Colebrook-White root", High(),
         opt([](auto& o) { o.roughness = 400; }), Outcome::CalcError, "Colebrook"},
        {"Z for low pressure", Low(), opt([](auto& o) { o.z = 0.9; }), Outcome::InputError, "z"},
        // P1² overflows a double: out of range like any other overflow, not
        // "-nan is not below inf".
        {"inlet 1e160", High(1e160), Current(), Outcome::CalcError, "out of range"},
        {"inlet 1e200 with Z given", High(1e200), opt([](auto& o) { o.z = 0.9; }),
         Outcome::CalcError, "out of range"},
    };
    for (const Row& row : rows) {
        const SegmentTrace t = Calculate(row.in, row.options);
        EXPECT_EQ(t.outcome, row.outcome) << row.name;
        EXPECT_FALSE(t.reason.empty()) << row.name;
        EXPECT_NE(t.reason.find(row.field), std::string::npos) << row.name << ": " << t.reason;
        for (const char* never : {"nan", "inf"})
            EXPECT_EQ(t.reason.find(never), std::string::npos) << row.name << ": " << t.reason;
    }
    MethodOptions appendixWithOption;
    appendixWithOption.localLoss = 0.1;
    EXPECT_EQ(Validate(High(), appendixWithOption)->field, "local_loss");
}

TEST(Appendix, TheWindowsRoutineBitForBit) {
    struct Row {
        const char* name;
        SegmentInput in;
        Outcome outcome;
    } const rows[] = {
        {"worked example", High(), Outcome::Ok},
        {"low pressure", Low(), Outcome::Ok},
        {"too small", High(5, 50000), Outcome::PipeTooSmall},
        {"zero flow", High(5, 0), Outcome::CalcError},
    };
    for (const Row& row : rows) {
        const SegmentInput& in = row.in;
        const std::string gas(SelectorText(in.gas)), cls(SelectorText(in.pressureClass)),
            material(SelectorText(in.material));
        const float rho = in.density, nu = in.viscosity, T = in.temperature, d = in.diameter,
                    L = in.length, Q = in.flow, P1 = in.inlet;
        float outlet = 0, loss = 0, mean = 0, max = 0;
        std::int16_t flag = 0;
        std::optional<std::string> error;
        try {
            CalcPipeSegment(gas, cls, material, rho, nu, T, d, L, Q, P1, outlet, loss, mean, max,
                            flag);
        } catch (const CalcError& e) {
            error = e.what();
        }
        const SegmentTrace t = Calculate(in, {});
        EXPECT_EQ(t.outcome, row.outcome) << row.name;
        if (error) {
            EXPECT_EQ(t.reason, *error) << row.name;
        }
        if (row.outcome != Outcome::Ok) continue;
        EXPECT_EQ(t.outlet, double(outlet)) << row.name;
        EXPECT_EQ(t.loss, double(loss)) << row.name;
        EXPECT_EQ(t.meanVelocity, double(mean)) << row.name;
        EXPECT_EQ(t.maxVelocity, double(max)) << row.name;
        EXPECT_EQ(t.drop, row.in.pressureClass == PressureClass::Low ? loss : float(P1 - outlet));
        ASSERT_FALSE(t.passes.empty());
        EXPECT_EQ(t.passes.back().outletAfter, double(outlet)) << row.name;
        for (std::size_t i = 1; i < t.passes.size(); ++i)
            EXPECT_EQ(t.passes[i].outletBefore, t.passes[i - 1].outletAfter) << row.name;
    }
}

// The routine knows no elevation: a low-pressure rise adds the head
// 9.8 · (1.293 − 0.7247) · 30 = 167.0802 Pa (by hand) to its outlet; a rise of
// 0 changes nothing, nor does one at high/medium pressure; LPG, heavier than
// air, loses 9.8 · (2.38 − 1.293) · 300 = 3195.78 Pa rising 300 m, more than
// the 3000 Pa at the inlet.
TEST(Appendix, ARiseAddsTheAdditionalHead) {
    MethodOptions rising;
    const SegmentTrace plain = Calculate(Low(), rising);
    rising.rise = 30;
    const SegmentTrace up = Calculate(Low(), rising);
    ASSERT_EQ(up.outcome, Outcome::Ok);
    EXPECT_NEAR(up.additionalHead, 167.0802, 1e-9);
    EXPECT_EQ(up.outlet, plain.outlet + up.additionalHead);
    EXPECT_EQ(up.drop, plain.drop - up.additionalHead);
    EXPECT_EQ(up.loss, plain.loss);
    EXPECT_FALSE(Validate(Low(), rising));

    rising.rise = 0;
    const SegmentTrace level = Calculate(Low(), rising);
    EXPECT_EQ(level.outlet, plain.outlet);
    EXPECT_EQ(level.drop, plain.drop);
    rising.rise = 30;
    EXPECT_EQ(Calculate(High(), rising).outlet, Calculate(High(), {}).outlet);

    SegmentInput lpg = Low(5);
    lpg.gas = Gas::Lpg, lpg.density = 2.38;
    rising.rise = 300;
    const SegmentTrace heavy = Calculate(lpg, rising);
    EXPECT_EQ(heavy.outcome, Outcome::PipeTooSmall);
    EXPECT_NE(heavy.reason.find("additional head"), std::string::npos);
}

}  // namespace
}  // namespace gaspipe::hydraulics
