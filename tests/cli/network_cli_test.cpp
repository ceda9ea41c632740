// The appendix-method rows of a network are what `gaspipe-calc segment`
// gives for the same inputs and the inlet the table hands down.
#include <gtest/gtest.h>

#include <string>

#include "case_file.h"
#include "network.h"
#include "segment_job.h"

namespace gaspipe::cli {
namespace {

using namespace gaspipe::network;

PipeCatalog Shipped(const Case& c) {
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_INI);
    return PipeCatalog::Read(ini, c);
}

SegmentInput AsSegmentCommand(const Case& c, const Segment& s, const SegmentResult& r) {
    SegmentInput in;
    hydraulics::SegmentInput& h = in.segment;
    h.gas = *ParseGas(c.gas.kind);
    h.pressureClass = *ParseClass(c.pressureClass);
    h.material = *ParseMaterial(s.material);
    h.density = static_cast<float>(c.gas.density);
    h.viscosity = static_cast<float>(c.gas.viscosity);
    h.temperature = static_cast<float>(c.gas.temperature);
    h.diameter = static_cast<float>(r.innerDiameter);
    h.length = static_cast<float>(s.length);
    h.flow = static_cast<float>(r.flow);
    h.inlet = static_cast<float>(r.inlet);
    return in;
}

TEST(NetworkAppendixRows, CourtyardExampleEqualsTheSegmentCommandRowByRow) {
    const CaseReadResult read = LoadCase(GASPIPE_EXAMPLES "/courtyard-medium.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    const Case& c = *read.value;
    const PipeCatalog catalog = Shipped(c);
    Network net(catalog);
    ASSERT_TRUE(net.Load(c));
    // Flows from the building loads: 干1 all six, 干2 buildings 3 to 6, ...
    const double flows[] = {520, 300, 220, 130, 120, 100, 80, 90, 60, 70};
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        const SegmentResult& r = net.results()[i];
        SCOPED_TRACE(c.segments[i].id);
        EXPECT_EQ(r.flow, flows[i]);
        const SegmentOutcome o = RunSegment(AsSegmentCommand(c, c.segments[i], r));
        ASSERT_EQ(o.status, Status::Ok);
        EXPECT_EQ(r.outlet, o.outlet);
        EXPECT_EQ(r.loss, o.loss);
        EXPECT_EQ(r.drop, o.drop);
        EXPECT_EQ(r.meanVelocity, o.meanVelocity);
        EXPECT_EQ(r.maxVelocity, o.maxVelocity);
        EXPECT_EQ(r.passes, o.passes);
        EXPECT_EQ(r.cumulativeDrop, c.source.pressure - r.outlet);
    }
    EXPECT_TRUE(net.AllChecksHold());
}

// The appendix routine knows no elevation: a low-pressure riser is the
// segment command's result plus the additional head 9.8·(1.293 − ρ)·h.
TEST(NetworkAppendixRows, LowPressureRiserAddsTheAdditionalHead) {
    Case c;
    c.gas = {"天然气", 0.7247, 14.5, 288, {}};
    c.pressureClass = "低压";
    c.method.method = Method::Appendix;
    c.source = {"A", 2000, 0, {}};
    c.nodes.push_back({"B", 30, 0, {}, {}, {}, {}});
    c.segments.push_back({"1", "A", "B", "钢管", "25", {}, 30, 3.0, {}, {}, {}, {}, {}, {}});
    const PipeCatalog catalog = Shipped(c);
    Network net(catalog);
    ASSERT_TRUE(net.Load(c));
    const SegmentResult& r = net.results()[0];
    const SegmentOutcome o = RunSegment(AsSegmentCommand(c, c.segments[0], r));
    ASSERT_EQ(o.status, Status::Ok);
    EXPECT_NEAR(r.additionalHead, 167.0802, 1e-9);  // 9.8 · 0.5683 · 30
    EXPECT_NEAR(r.outlet, o.outlet + 167.0802, 1e-9);
    EXPECT_EQ(r.loss, o.loss);

    c.segments[0].localLoss = 0.2;  // the appendix constants hold their own allowance
    net.SegmentChanged(c, 0);
    EXPECT_EQ(net.results()[0].status, SegmentStatus::InputError);
    EXPECT_NE(net.results()[0].message.find("gb50028-2006 method only"), std::string::npos);
}

}  // namespace
}  // namespace gaspipe::cli
