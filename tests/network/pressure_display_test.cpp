#include <gtest/gtest.h>

#include "pressure_display.h"

namespace gaspipe::network {
namespace {

// The levels and their bounds as the code's table 6.1.7 gives them (gauge
// MPa); a bound belongs to the lower level, except 0.01 MPa.
TEST(PressureLevel, BoundsOfTheCodesTable) {
    struct Row {
        double mpa;
        const char* level;
    };
    const Row rows[] = {
        {0.0, "低压"},     {0.0099, "低压"},   {0.01, "中压B"},   {0.2, "中压B"},
        {0.2001, "中压A"}, {0.4, "中压A"},     {0.41, "次高压B"}, {0.8, "次高压B"},
        {1.6, "次高压A"},  {1.61, "高压B"},    {2.5, "高压B"},    {4.0, "高压A"},
        {4.01, "高于高压A"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PressureLevelName(ClassifyGauge(r.mpa)), r.level) << r.mpa << " MPa";
}

// High/medium sources are absolute in 10⁵ Pa: 1.01325 is the atmosphere. A
// source typed at a bound stays in the lower level despite the rounding of
// the conversion.
TEST(PressureLevel, OfASourceInTheClassesUnit) {
    EXPECT_EQ(PressureLevelName(SourceLevel(3.01325, false)), "中压B");    // 0.2 MPa
    EXPECT_EQ(PressureLevelName(SourceLevel(5, false)), "中压A");          // 0.398675 MPa
    EXPECT_EQ(PressureLevelName(SourceLevel(13.01325, false)), "次高压A");  // 1.2 MPa
    EXPECT_EQ(PressureLevelName(SourceLevel(3000, true)), "低压");
    EXPECT_EQ(PressureLevelName(SourceLevel(10000, true)), "中压B");
    EXPECT_DOUBLE_EQ(GaugeMPa(5, false), 0.398675);
}

TEST(PressureScale, ConvertsPressuresAndDropsForDisplay) {
    const PressureScale mpa = ScaleFor(false, PressureUnit::MPaGauge);
    EXPECT_DOUBLE_EQ(mpa.Pressure(5), 0.398675);
    EXPECT_DOUBLE_EQ(mpa.Drop(0.043), 4.3);  // kPa
    EXPECT_EQ(mpa.PressureHeadingUnit(), "MPa（表压）");
    EXPECT_EQ(mpa.DropUnitText(), "kPa");

    const PressureScale kpa = ScaleFor(false, PressureUnit::KPaGauge);
    EXPECT_DOUBLE_EQ(kpa.Pressure(5), 398.675);
    EXPECT_DOUBLE_EQ(kpa.Drop(0.043), 4.3);

    const PressureScale bar = ScaleFor(false, PressureUnit::BarAbsolute);
    EXPECT_DOUBLE_EQ(bar.Pressure(5), 5);
    EXPECT_DOUBLE_EQ(bar.Drop(0.043), 0.043);
    EXPECT_EQ(bar.PressureHeadingUnit(), "10⁵ Pa（绝压）");

    // Low pressure stays in Pa gauge whatever the case's choice.
    const PressureScale low = ScaleFor(true, PressureUnit::MPaGauge);
    EXPECT_DOUBLE_EQ(low.Pressure(2400), 2400);
    EXPECT_EQ(low.PressureHeadingUnit(), "Pa（表压）");
}

TEST(PressureScale, UnitNamesOfTheCaseFile) {
    for (PressureUnit u : {PressureUnit::MPaGauge, PressureUnit::KPaGauge, PressureUnit::BarAbsolute})
        EXPECT_EQ(PressureUnitFromName(PressureUnitName(u)), u);
    EXPECT_FALSE(PressureUnitFromName("bar"));
}

}  // namespace
}  // namespace gaspipe::network
