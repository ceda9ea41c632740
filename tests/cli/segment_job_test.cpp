#include "segment_job.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc_pipe_segment.h"
#include "messages.h"

namespace gaspipe::cli {
namespace {

TEST(ParseNumber, AcceptsCLocaleNumbersWithBlanks) {
    EXPECT_EQ(ParseNumber("5"), 5.0f);
    EXPECT_EQ(ParseNumber("  0.7247\t"), 0.7247f);
    EXPECT_EQ(ParseNumber("+14.5"), 14.5f);
    EXPECT_EQ(ParseNumber("-3"), -3.0f);
    EXPECT_EQ(ParseNumber("1e3"), 1000.0f);
    EXPECT_EQ(ParseNumber("1.00000001"), 1.0f);  // rounds to the nearest float
}

TEST(ParseNumber, RefusesWhatIsNotAFiniteFloat) {
    for (const char* bad : {"", "   ", "5a", "a5", "1,5", "0x10", "inf", "-inf", "nan", "1e39",
                            "-1e39", "+-5", "++5", "1e", ".", "5 5", "１２"})
        EXPECT_FALSE(ParseNumber(bad).has_value()) << '"' << bad << '"';
    const std::string huge(100000, '9');
    EXPECT_FALSE(ParseNumber(huge).has_value());
}

TEST(Selectors, ChineseTextsAndAsciiAliases) {
    EXPECT_EQ(CanonicalGas("lpg"), sel::kLpg);
    EXPECT_EQ(CanonicalGas("人工煤气"), sel::kManufacturedGas);
    EXPECT_EQ(CanonicalClass("high-medium"), sel::kHighMedium);
    EXPECT_EQ(CanonicalMaterial("cast-iron"), sel::kCastIron);
    EXPECT_EQ(CanonicalMaterial("PE管"), sel::kPe);
    EXPECT_FALSE(CanonicalMaterial("pe管"));
    EXPECT_FALSE(CanonicalGas("LPG"));
    EXPECT_FALSE(CanonicalClass(" 低压"));
}

SegmentInput WorkedExample() {
    return {
        sel::kNaturalGas, sel::kHighMedium, sel::kSteel, 0.7247f, 14.5f, 288, 100, 1000, 500, 5};
}

TEST(RunSegment, GuardOutcomesAndTheirMessages) {
    SegmentInput in = WorkedExample();
    in.inlet = *ParseNumber("1.00000001");  // exactly 1 as a float
    SegmentOutcome o = RunSegment(in);
    EXPECT_EQ(o.status, Status::InputError);
    EXPECT_EQ(o.message, kMsgInletGuard);
    EXPECT_EQ(o.passes, 0);        // the engine was not called
    in.pressureClass = sel::kLow;  // no guard under low pressure
    in.inlet = 0.5f;
    EXPECT_NE(RunSegment(in).status, Status::InputError);

    in = WorkedExample();
    in.inlet = 1.2f;
    o = RunSegment(in);
    EXPECT_EQ(o.status, Status::PipeTooSmall);
    EXPECT_EQ(o.message, kMsgPipeTooSmall);
    in = WorkedExample();
    in.flow = 0;
    o = RunSegment(in);
    EXPECT_EQ(o.status, Status::CalcError);
    EXPECT_EQ(o.message, kMsgDataError);
}

TEST(FindImpossibleInput, NamesTheFirstInputNoPipeCanHave) {
    const SegmentInput ok = WorkedExample();
    EXPECT_FALSE(FindImpossibleInput(ok, true));
    const struct {
        float SegmentInput::*field;
        float value;
        bool withDiameter;
        const char* name;  // nullptr: accepted
    } cases[] = {
        {&SegmentInput::length, -5, false, "length"},
        {&SegmentInput::flow, 0, false, "flow"},
        {&SegmentInput::density, -0.0f, false, "density"},
        {&SegmentInput::viscosity, -1, false, "viscosity"},
        {&SegmentInput::temperature, 0, false, "temperature"},
        {&SegmentInput::diameter, 0, true, "diameter"},
        {&SegmentInput::diameter, 0, false, nullptr},  // sizing picks the diameter itself
        {&SegmentInput::inlet, -1, true, nullptr},     // the calculation judges the pressures
    };
    for (const auto& c : cases) {
        SegmentInput in = ok;
        in.*c.field = c.value;
        const auto bad = FindImpossibleInput(in, c.withDiameter);
        ASSERT_EQ(bad.has_value(), c.name != nullptr) << c.value;
        if (bad) {
            EXPECT_EQ(bad->name, c.name);
        }
    }
}

TEST(Messages, OutsideTextIsEscapedAndCut) {
    const std::string nul(1, '\0');
    const std::pair<std::string, std::string> cases[] = {
        {"abc", "'abc'"},
        {"管 \\x", "'管 \\x'"},
        {"a\tb\nc\rd" + nul + "e\x1b[31m\x7f", "'a\\tb\\nc\\rd\\x00e\\x1b[31m\\x7f'"},
        {"\xC2\x9B\xC2\xA0", "'\\xc2\\x9b\xC2\xA0'"},         // C1 control; no-break space stays
        {"\xFF\xE7\xAE\xA1\xE7\xAE", "'\\xff管\\xe7\\xae'"},  // not UTF-8, cut short
        {"\xED\xA0\x80\xC0\xAF", "'\\xed\\xa0\\x80\\xc0\\xaf'"},  // surrogate, overlong
        {std::string(100, '9'), "'" + std::string(40, '9') + "...' (100 bytes)"},
    };
    for (const auto& [text, quoted] : cases) EXPECT_EQ(Quoted(text), quoted) << text;
    std::string chinese, kept;
    for (int i = 0; i < 20; ++i) chinese += "管";  // 3 bytes each
    for (int i = 0; i < 13; ++i) kept += "管";
    EXPECT_EQ(Quoted(chinese), "'" + kept + "...' (60 bytes)");
    // A message made of printable texts passes unchanged.
    EXPECT_EQ(Printable(Quoted("a\x01"), 100), Quoted("a\x01"));
}

TEST(Json, StringsAreEscapedAndFailuresHaveNoNumbers) {
    EXPECT_EQ(JsonString("a\"b\\c\n管"), "\"a\\\"b\\\\c\\u000a管\"");
    SegmentOutcome failed;
    failed.status = Status::PipeTooSmall;
    failed.outlet = 3;  // whatever the engine left, it is not a result
    failed.message = kMsgPipeTooSmall;
    EXPECT_EQ(OutcomeJsonMembers(failed),
              "\"status\":\"pipe_too_small\",\"outlet\":null,\"loss\":null,\"drop\":null,"
              "\"mean_velocity\":null,\"max_velocity\":null,\"passes\":0,\"message\":\"" +
                  std::string(kMsgPipeTooSmall) + "\"");
}

TEST(FormatShortest, ReadsBackAsTheSameFloat) {
    for (float v : {0.1f, 4.9276142f, 1e-38f, 3.4028235e38f, -2393.374f, 7.0f}) {
        const auto back = ParseNumber(FormatShortest(v));
        ASSERT_TRUE(back) << FormatShortest(v);
        EXPECT_EQ(*back, v);
    }
    EXPECT_EQ(FormatShortest(0.1f), "0.1");
}

}  // namespace
}  // namespace gaspipe::cli
