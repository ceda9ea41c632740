#include "sizing.h"

#include <gtest/gtest.h>

#include <cmath>

#include "calc_pipe_segment.h"
#include "class_ini_file.h"

namespace gaspipe::cli {
namespace {

classIniFile Shipped() {
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_INI);
    return ini;
}

SegmentInput LowPressureService() {
    SegmentInput in;
    in.gas = sel::kNaturalGas;
    in.pressureClass = sel::kLow;
    in.material = sel::kSteel;
    in.density = 0.7247f, in.viscosity = 14.5f, in.temperature = 288;
    in.length = 100, in.flow = 30, in.inlet = 3000;
    return in;
}

TEST(Sizing, EveryListEntryInOrderFromTheShippedTables) {
    const auto rows = SizeSegment(Shipped(), LowPressureService(), {});
    ASSERT_GE(rows.size(), 10u);
    EXPECT_EQ(rows.front().nominal, "15");
    for (const auto& r : rows) {
        ASSERT_TRUE(r.inner) << r.nominal;
        // Each row is the plain segment calculation on that diameter.
        SegmentInput in = LowPressureService();
        in.diameter = *r.inner;
        const SegmentOutcome alone = RunSegment(in);
        EXPECT_EQ(r.outcome.status, alone.status) << r.nominal;
        EXPECT_EQ(r.outcome.drop, alone.drop) << r.nominal;
    }
    // Without limits the smallest pipe that carries the flow at all wins.
    const auto choice = SmallestFitting(rows);
    ASSERT_TRUE(choice);
    for (std::size_t i = 0; i < *choice; ++i) EXPECT_FALSE(rows[i].meets);
}

TEST(Sizing, ALimitEqualToTheDropStillMeets) {
    auto rows = SizeSegment(Shipped(), LowPressureService(), {});
    const SizingRow target = rows[6];  // DN65, copied: rows is reassigned below
    ASSERT_EQ(target.outcome.status, Status::Ok);
    SizingLimits limits;
    limits.maxDrop = target.outcome.drop;
    rows = SizeSegment(Shipped(), LowPressureService(), limits);
    const auto choice = SmallestFitting(rows);
    ASSERT_TRUE(choice);
    EXPECT_EQ(rows[*choice].nominal, target.nominal);
    limits.maxDrop = std::nextafter(target.outcome.drop, 0.0f);
    rows = SizeSegment(Shipped(), LowPressureService(), limits);
    EXPECT_NE(rows[*SmallestFitting(rows)].nominal, target.nominal);
}

TEST(Sizing, NoDiameterMeetsOrNoList) {
    SizingLimits limits;
    limits.maxVelocity = 1e-4f;
    const auto rows = SizeSegment(Shipped(), LowPressureService(), limits);
    EXPECT_FALSE(rows.empty());
    EXPECT_FALSE(SmallestFitting(rows));

    classIniFile missing;
    missing.INIFileName("/nonexistent/PipeParameters.Ini");
    EXPECT_TRUE(SizeSegment(missing, LowPressureService(), {}).empty());
    EXPECT_FALSE(SmallestFitting({}));
}

}  // namespace
}  // namespace gaspipe::cli
