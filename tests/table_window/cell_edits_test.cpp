// What a typed or pasted cell does beyond its own value, and what it refuses.
#include "cell_edits.h"
#include "segment_columns.h"
#include "table_fixture.h"

namespace gaspipe::table::test {
namespace {

using CellEditsTest = TableTest;

TEST_F(CellEditsTest, SideEffectsADesignerExpects) {
    network::Case c = WorkedExampleLine();
    c.method.method = network::Method::Gb50028;
    c.segments[0].zeta = 2;
    c.nodes.push_back({"B", 3, 1.5, {}, {}, {}, {}});
    Show(c);
    const CaseDocument& doc = *window_->document();
    auto plan = [&](std::vector<CellText> cells) { return PlanCellEdits(doc, std::move(cells)); };

    // Σζ and the local-loss fraction replace each other.
    PlannedEdit p = plan({{0, kLocalLoss, "0.15"}});
    ASSERT_EQ(p.edit.segments.size(), 1u);
    EXPECT_EQ(p.edit.segments[0].after.localLoss, 0.15);
    EXPECT_FALSE(p.edit.segments[0].after.zeta);

    // The pipe file's own inner diameter for the pasted diameter is no override.
    p = plan({{0, kNominal, "65"}, {0, kInner, "68.1"}});
    EXPECT_EQ(p.edit.segments[0].after.nominal, "65");
    EXPECT_FALSE(p.edit.segments[0].after.innerDiameter);

    // Renaming the end node takes its elevation and load along.
    p = plan({{0, kTo, "B1"}});
    ASSERT_EQ(p.edit.nodes.size(), 1u);
    EXPECT_EQ(p.edit.nodes[0].after, (network::Node{"B1", 3, 1.5, {}, {}, {}, {}}));

    // A load for a node not yet listed adds it.
    p = plan({{1, kLoad, "0.8"}});
    ASSERT_EQ(p.edit.nodes.size(), 1u);
    EXPECT_FALSE(p.edit.nodes[0].before);
    EXPECT_EQ(p.edit.nodes[0].after->id, "C");

    // Refused, each with its reason: the edit keeps the rest.
    p = plan({{0, kLength, ""},
              {0, kSimultaneity, "1.2"},
              {0, kFlow, "-3"},
              {0, kOutlet, "1"},
              {1, kLength, "7"}});
    EXPECT_EQ(p.rejected.size(), 4);
    ASSERT_EQ(p.edit.segments.size(), 1u);
    EXPECT_EQ(p.edit.segments[0].after.length, 7);

    // Unchanged values give an empty edit, so nothing is pushed.
    EXPECT_TRUE(plan({{0, kLength, "25"}, {0, kId, "1"}, {0, kLoad, "1.5"}}).edit.empty());
}

}  // namespace
}  // namespace gaspipe::table::test
