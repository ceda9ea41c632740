#include "report.h"

#include <gtest/gtest.h>

#include <limits>

#include "calc_pipe_segment.h"

namespace gaspipe {
namespace {

TEST(FormatFixed, TemplatesRoundPadAndSign) {
    EXPECT_EQ(FormatFixed(0.5f, 3), "0.500");
    EXPECT_EQ(FormatFixed(12345.6789f, 3), "12345.679");  // no grouping, no integer limit
    EXPECT_EQ(FormatFixed(1500, 2), "1500.00");
    EXPECT_EQ(FormatFixed(1234.567f, 2), "1234.57");
    EXPECT_EQ(FormatFixed(1234.567f, 3), "1234.567");
    EXPECT_EQ(FormatFixed(-0.25f, 3), "-0.250");
    EXPECT_EQ(FormatFixed(-0.0f, 3), "0.000");
    EXPECT_EQ(FormatFixed(0.0001f, 3), "0.000");
    EXPECT_EQ(FormatFixed(-0.0004f, 3), "-0.000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<float>::max(), 2).size(), 39u + 3u);
}

// A comma is checked by the window tests, which also run in a comma locale.
TEST(FormatFixed, TakesAMultiByteSeparator) { EXPECT_EQ(FormatFixed(3, 2, "٫"), "3٫00"); }

// The two full layouts are checked through the window's calculate command.
TEST(ReportLines, OutletAboveInletPrintsANegativeDrop) {
    EXPECT_EQ(ReportLines(sel::kHighMedium, {5, 5.5f, 0, 0, 0}).front(), "压力降=    -0.500公斤");
    EXPECT_EQ(ReportLines(sel::kHighMedium, {5, 5.0003f, 0, 0, 0}).front(),
              "压力降=    -0.000公斤");
}

TEST(ReportLines, UnknownClassPrintsNothing) {
    EXPECT_TRUE(ReportLines("中压", {5, 4, 1, 1, 1}).empty());
    EXPECT_TRUE(ReportLines("", {5, 4, 1, 1, 1}).empty());
}

TEST(ReportLines, DropOverflowRaisesBeforeAnyLine) {
    const float big = std::numeric_limits<float>::max();
    EXPECT_THROW(ReportLines(sel::kHighMedium, {big, -big, 0, 0, 0}), CalcError);
    // The same values under low pressure compute nothing and print.
    EXPECT_EQ(ReportLines(sel::kLow, {big, -big, 0, 0, 0}).size(), 4u);
}

}  // namespace
}  // namespace gaspipe
