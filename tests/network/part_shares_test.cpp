#include <gtest/gtest.h>

#include <string>

#include "case_builder.h"
#include "shipped.h"
#include "network.h"

namespace gaspipe::network {
namespace {

using namespace testing;

// A courtyard pipe and two indoor pipes in a row to one stove, 2000 Pa
// appliances: 1650 Pa allowed in all, of which the indoor pipes get 150 Pa.
// 4 m³/h through 9 m of DN15 loses a few hundred Pa: well within the total,
// over the indoor share.
Case IndoorBinds() {
    Case c = LowPressureCase();
    c.source.pressure = 2400;
    c.limits.appliancePressure = 2000;
    AddSegment(c, "庭院管", "A", "B", 40, 4.0).part = Part::Courtyard;
    AddSegment(c, "立管", "B", "C", 8, 4.0).part = Part::Indoor;
    AddSegment(c, "户内", "C", "D", 1, 4.0);  // inherits 室内 from the riser
    for (std::size_t i = 1; i < 3; ++i) c.segments[i].nominal = "15";
    c.limits.shares.push_back({Part::Indoor, 150.0, std::nullopt, {}});
    c.limits.shares.push_back({Part::Courtyard, std::nullopt, 0.5, {}});
    return c;
}

TEST(PartShares, TheIndoorShareBindsWhereTheTotalDoesNot) {
    Case c = IndoorBinds();
    EXPECT_EQ(PartAllowedDrop(c, Part::Courtyard), 825);  // 0.5 · (0.75 · 2000 + 150)
    EXPECT_EQ(PartAllowedDrop(c, Part::Indoor), 150);
    EXPECT_FALSE(PartAllowedDrop(c, Part::Street));
    const PipeCatalog catalog = ShippedCatalog(c);
    Network net(catalog);
    ASSERT_TRUE(net.Load(c)) << net.problems().front().message;
    const auto& r = net.results();
    ASSERT_EQ(r[2].status, SegmentStatus::Ok);
    EXPECT_EQ(r[2].part, Part::Indoor);
    // The indoor drop is counted from where the indoor part begins.
    EXPECT_DOUBLE_EQ(r[1].partDrop, r[1].drop);
    EXPECT_DOUBLE_EQ(r[2].partDrop, r[1].drop + r[2].drop);
    EXPECT_DOUBLE_EQ(r[2].partDrops[static_cast<std::size_t>(Part::Courtyard)], r[0].drop);
    EXPECT_GT(r[2].partDrop, 150);
    EXPECT_LT(r[2].cumulativeDrop, 1650);
    EXPECT_FALSE(r[2].dropOverLimit);
    EXPECT_TRUE(r[2].partDropOverLimit);
    EXPECT_EQ(FailedChecks(r[2]), std::vector<std::string_view>{"part_drop_over_limit"});
    EXPECT_FALSE(r[0].partDropOverLimit);
    EXPECT_FALSE(net.AllChecksHold());

    // Sizing the riser keeps the indoor drop below it within the share.
    const SegmentSizing sizing = net.SizeSegment(c, 1);
    ASSERT_TRUE(sizing.choice) << sizing.message;
    const std::string chosen = sizing.trials[*sizing.choice].nominal;
    EXPECT_NE(chosen, "15");
    Case sized = c;
    sized.segments[1].nominal = chosen;
    Network check(catalog);
    ASSERT_TRUE(check.Load(sized));
    EXPECT_LE(check.results()[2].partDrop, 150);

    // Without the share DN15 passes: only the share makes the difference.
    Case total = c;
    total.limits.shares.clear();
    ASSERT_TRUE(check.Load(total));
    EXPECT_TRUE(check.AllChecksHold());
}

TEST(PartShares, TheProposalKeepsEachPartWithinItsShare) {
    Case c = IndoorBinds();
    const PipeCatalog catalog = ShippedCatalog(c);
    const SizingProposal p = ProposeSizes(c, catalog);
    ASSERT_TRUE(p.sized) << p.error;
    Network net(catalog);
    ASSERT_TRUE(net.Load(*p.sized));
    const auto& r = net.results();
    EXPECT_LE(r[0].partDrop, 825);
    EXPECT_LE(r[2].partDrop, 150);
    EXPECT_TRUE(net.AllChecksHold());

    // With the total alone the indoor pipes may take more of it: smaller pipes.
    Case total = c;
    total.limits.shares.clear();
    const SizingProposal q = ProposeSizes(total, catalog);
    ASSERT_TRUE(q.sized) << q.error;
    Network loose(catalog);
    ASSERT_TRUE(loose.Load(*q.sized));
    EXPECT_GT(loose.results()[2].cumulativeDrop - loose.results()[0].drop, 150);
}

TEST(PartShares, SharesAreCheckedAsTheyAreGiven) {
    Case c = IndoorBinds();
    c.limits.shares.push_back({Part::Indoor, std::nullopt, 0.2, {}});
    c.limits.shares.push_back({Part::Street, 0.0, std::nullopt, {}});
    std::vector<std::string> messages;
    for (const CaseProblem& p : CheckCaseValues(c)) messages.push_back(p.message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("室内 is given twice"), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find("街区 must be above 0 Pa"), std::string::npos) << messages[1];

    c = IndoorBinds();
    c.limits.appliancePressure.reset();
    ASSERT_EQ(CheckCaseValues(c).size(), 1u);
    EXPECT_EQ(CheckCaseValues(c).front().kind, CaseProblem::Kind::FractionWithoutTotal);

    c = IndoorBinds();
    c.pressureClass = "高中压";
    c.source.pressure = 2;
    const auto problems = CheckCaseValues(c);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.front().kind, CaseProblem::Kind::SharesNotForClass);
}

}  // namespace
}  // namespace gaspipe::network
