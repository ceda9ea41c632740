#include "segment_job.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "calc_pipe_segment.h"
#include "messages.h"
#include "shortest.h"

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

TEST(ParseNumber, TheMethodsPrecision) {
    // The appendix routine's float read directly, not a double rounded:
    // 1.00000005960464477539 is the midpoint between 1 and the next float,
    // and its last digit decides the rounding only when read as a float.
    EXPECT_EQ(ParseNumber("1.000000059604644775390625001", true), 1.0000001192092896);
    EXPECT_EQ(ParseNumber("0.1", true), double(0.1f));
    EXPECT_EQ(ParseNumber("0.1", false), 0.1);
    EXPECT_FALSE(ParseNumber("1e39", true));
    EXPECT_EQ(ParseNumber(" +1e39", false), 1e39);
    for (const char* bad : {"", "1e400", "nan", "0x1p3", "1 e3"})
        EXPECT_FALSE(ParseNumber(bad, false)) << bad;
}

// std::from_chars is the reference for every text, the short plain decimals
// the tool reads by itself included: digit counts and decimal places around
// the limits of exact float and double arithmetic, signs and leading zeros.
TEST(ParseNumber, ReadsWhatFromCharsReads) {
    std::mt19937_64 random(7);
    int mismatches = 0;
    for (int i = 0; i < 300000; ++i) {
        std::string text = random() % 4 == 0 ? "-" : "";
        text.append(random() % 5 == 0 ? random() % 3 : 0, '0');
        const int whole = static_cast<int>(random() % 12),
                  fraction = static_cast<int>(random() % 25);
        for (int k = 0; k < whole; ++k) text += static_cast<char>('0' + random() % 10);
        if (whole == 0) text += '0';
        if (fraction > 0 && random() % 8 != 0) {
            text += '.';
            for (int k = 0; k < fraction; ++k) text += static_cast<char>('0' + random() % 10);
        }
        const char* end = text.data() + text.size();
        float f = 0;
        double d = 0;
        const bool fOk = std::from_chars(text.data(), end, f).ptr == end && std::isfinite(f);
        const bool dOk = std::from_chars(text.data(), end, d).ptr == end && std::isfinite(d);
        const auto pf = ParseNumber(text);
        const auto pd = ParseDouble(text);
        mismatches += pf.has_value() != fOk || (fOk && std::memcmp(&*pf, &f, sizeof f) != 0);
        mismatches += pd.has_value() != dOk || (dOk && std::memcmp(&*pd, &d, sizeof d) != 0);
        // Inside a record, with more digits, a point or a comma after it
        // that the word-wide reading sees and must leave out.
        const std::string buffer = text + "9.,7654321"[random() % 3];
        const std::string_view inside(buffer.data(), text.size());
        const char* readable = buffer.data() + buffer.size();
        double wf = 0, wd = 0;
        const bool wfOk = ParseNumber(inside, true, wf, readable);
        const bool wdOk = ParseNumber(inside, false, wd, readable);
        const float wff = static_cast<float>(wf);
        mismatches += wfOk != fOk || (fOk && std::memcmp(&wff, &f, sizeof f) != 0);
        mismatches += wdOk != dOk || (dOk && std::memcmp(&wd, &d, sizeof d) != 0);
    }
    EXPECT_EQ(mismatches, 0);
    for (const char* text : {"1.", "-.5", "-0", "00.10", "9999999", "16777217", "0.0000000001"}) {
        float f = 0;
        std::from_chars(text, text + std::strlen(text), f);
        EXPECT_EQ(ParseNumber(text), f) << text;
    }
}

TEST(Selectors, ChineseTextsAndAsciiAliases) {
    EXPECT_EQ(ParseGas("lpg"), hydraulics::Gas::Lpg);
    EXPECT_EQ(ParseGas("人工煤气"), hydraulics::Gas::ManufacturedGas);
    EXPECT_EQ(ParseClass("high-medium"), hydraulics::PressureClass::HighMedium);
    EXPECT_EQ(ParseMaterial("cast-iron"), hydraulics::Material::CastIron);
    EXPECT_EQ(CanonicalMaterial("PE管"), sel::kPe);
    EXPECT_EQ(ParseMethod("gb50028-2006"), hydraulics::Method::Gb50028_2006);
    EXPECT_FALSE(ParseMaterial("pe管"));
    EXPECT_FALSE(ParseGas("LPG"));
    EXPECT_FALSE(ParseClass(" 低压"));
    EXPECT_FALSE(ParseMethod("GB50028"));
}

SegmentInput WorkedExample() {
    SegmentInput in;
    in.segment.density = 0.7247f, in.segment.viscosity = 14.5f, in.segment.temperature = 288;
    in.segment.diameter = 100, in.segment.length = 1000, in.segment.flow = 500;
    in.segment.inlet = 5;
    return in;
}

TEST(RunSegment, GuardOutcomesAndTheirMessages) {
    SegmentInput in = WorkedExample();
    in.segment.inlet = *ParseNumber("1.00000001");  // exactly 1 as a float
    SegmentOutcome o = RunSegment(in);
    EXPECT_EQ(o.status, Status::InputError);
    EXPECT_EQ(o.message, kMsgInletGuard);
    EXPECT_EQ(o.passes, 0);                                     // the engine was not called
    in.segment.pressureClass = hydraulics::PressureClass::Low;  // no guard under low pressure
    in.segment.inlet = 0.5f;
    EXPECT_NE(RunSegment(in).status, Status::InputError);

    in = WorkedExample();
    in.segment.inlet = 1.2f;
    o = RunSegment(in);
    EXPECT_EQ(o.status, Status::PipeTooSmall);
    EXPECT_EQ(o.message, kMsgPipeTooSmall);
    in = WorkedExample();
    in.segment.flow = 0;
    o = RunSegment(in);
    EXPECT_EQ(o.status, Status::CalcError);
    EXPECT_EQ(o.message, kMsgDataError);
    // The current-code method refuses what no pipe can have, naming it.
    in.options.method = hydraulics::Method::Gb50028_2006;
    o = RunSegment(in);
    EXPECT_EQ(o.status, Status::InputError);
    EXPECT_NE(o.message.find("flow"), std::string::npos) << o.message;
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
                  std::string(kMsgPipeTooSmall) +
                  "\",\"reynolds\":null,\"friction_factor\":null,\"regime\":null,\"z\":null");
}

// std::to_chars is the reference: the tool writes what it writes, faster.
TEST(FormatShortest, WritesWhatToCharsWrites) {
    std::mt19937_64 random(2024);
    const float floats[] = {0.1f, 4.9276142f,   1e-38f,  3.4028235e38f, -2393.374f, 7.0f, 1e4f,
                            1e5f, 123456792.0f, 0.0001f, 0.001f,        -0.0f,      0.0f, 1e-45f};
    const double doubles[] = {
        0.1,    1e21, 1.2345678901234567e21, 1e22, 9007199254740993.0, 123456789012345680.0, 0.0001,
        5e-324, -0.0, 1.7976931348623157e308};
    auto same = [](auto v) {
        char a[64], b[64];
        const std::string expected(a, std::to_chars(a, a + sizeof a, v).ptr);
        return std::string(b, WriteShortest(b, v)) == expected;
    };
    for (float v : floats) EXPECT_TRUE(same(v)) << v;
    for (double v : doubles) EXPECT_TRUE(same(v)) << v;
    int mismatches = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = random();
        float f;
        double d;
        const auto low = static_cast<std::uint32_t>(bits);
        std::memcpy(&f, &low, sizeof f);
        std::memcpy(&d, &bits, sizeof d);
        // Also numbers of the sizes pipes have, where fixed and scientific compete.
        const double human =
            std::ldexp(static_cast<double>(bits >> 11), -53) * std::pow(10, i % 30 - 8);
        for (double v : {d, human, std::round(human)}) mismatches += std::isfinite(v) && !same(v);
        mismatches += std::isfinite(f) && !same(f);
        mismatches +=
            !same(static_cast<float>(human)) + !same(static_cast<float>(std::round(human)));
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(FormatNumber(4.927614212036133, true), "4.927614");  // a float: as a float
    EXPECT_EQ(FormatNumber(4.9276142, true), "4.9276142");         // not one: as a double
}

}  // namespace
}  // namespace gaspipe::cli
