#include <gtest/gtest.h>

#include <string>

#include "case_builder.h"
#include "shipped.h"
#include "case_file.h"
#include "flows.h"
#include "network.h"

namespace gaspipe::network {
namespace {

using namespace testing;

const SimultaneityTable& Shipped() {
    static const SimultaneityTable table = SimultaneityTable::Read(GASPIPE_SHIPPED_SIMULTANEITY);
    return table;
}

Node Households(const std::string& id, double n, const std::string& set) {
    Node node;
    node.id = id;
    node.households = n;
    node.appliances = set;
    return node;
}

constexpr const char* kStove = "一个双眼灶";
constexpr const char* kStoveAndHeater = "一个双眼灶和一个快速热水器";

// k(N) from the shipped table by hand: tabulated rows as they stand, linear
// between them (N = 12 lies 2/5 of the way from 10 to 15), the last row
// above the end of the table.
TEST(SimultaneityTable, ShippedFactorsInterpolateLinearly) {
    const SimultaneityTable& t = Shipped();
    ASSERT_TRUE(t.readable()) << t.problem();
    const auto stove = t.FindSet(kStove), heater = t.FindSet(kStoveAndHeater);
    ASSERT_TRUE(stove && heater);
    EXPECT_DOUBLE_EQ(t.Factor(*stove, 1), 1.0);
    EXPECT_DOUBLE_EQ(t.Factor(*stove, 6), 0.64);
    EXPECT_DOUBLE_EQ(t.Factor(*stove, 12), 0.516);   // 0.54 − 0.06 · 2/5
    EXPECT_DOUBLE_EQ(t.Factor(*heater, 12), 0.238);  // 0.25 − 0.03 · 2/5
    EXPECT_DOUBLE_EQ(t.Factor(*stove, 150), 0.325);  // halfway from 0.34 to 0.31
    EXPECT_DOUBLE_EQ(t.Factor(*heater, 2), 0.56);
    EXPECT_DOUBLE_EQ(t.Factor(*stove, 5000), 0.24);  // beyond 2000: the last row
    EXPECT_DOUBLE_EQ(*t.RatedFlow(*stove, "天然气"), 0.70);
    EXPECT_DOUBLE_EQ(*t.RatedFlow(*heater, "液化石油气"), 0.90);
    EXPECT_FALSE(t.RatedFlow(*stove, "沼气"));
    EXPECT_NE(t.source().find("GB 50028-2006"), std::string::npos);
}

TEST(SimultaneityTable, MissingOrDamagedFilesSayWhereAndWhy) {
    const SimultaneityTable missing = SimultaneityTable::Read("/nonexistent/Simultaneity.ini");
    EXPECT_FALSE(missing.readable());
    EXPECT_EQ(missing.problem(), "no such file");
    EXPECT_EQ(missing.path(), "/nonexistent/Simultaneity.ini");

    const std::string head = "[Simultaneity]\nSets=A,B\n[Factors]\n";
    const struct {
        std::string text, says;
    } damaged[] = {
        {head + "1=1.0,1.0\n2=0.9\n", "line 5: the row gives 1 factors for 2 sets"},
        {head + "2=1.0,1.0\n1=0.9,0.9\n", "line 5: N must rise"},
        {head + "1=1.0,1.2\n", "line 4: a factor must be a number above 0 and at most 1"},
        {head + "1.5=1.0,1.0\n", "line 4: N must be a whole number"},
        {"[Factors]\n1=1\n", "no appliance sets"},
        {"[Simultaneity]\nSets=A\n", "no factors"},
        {"[Simultaneity]\nSets=A,A\n", "line 2: the set 'A' is named twice"},
        {head + "1=1,1\n[RatedFlow]\nC.天然气=0.7\n", "line 6: 'C' is not one of the sets"},
        {head + "1=1,1\n[RatedFlow]\nA.天然气=-1\n",
         "line 6: a rated flow must be a number above 0"},
    };
    for (const auto& d : damaged) {
        const SimultaneityTable t = SimultaneityTable::Parse(d.text, "x.ini");
        EXPECT_FALSE(t.readable()) << d.text;
        EXPECT_NE(t.problem().find(d.says), std::string::npos) << d.text << "\n" << t.problem();
    }
    const SimultaneityTable ok =
        SimultaneityTable::Parse("\xEF\xBB\xBF" + head + "1=1,1 ; [K]\n10=0.5,0.25\n");
    ASSERT_TRUE(ok.readable()) << ok.problem();
    EXPECT_DOUBLE_EQ(ok.Factor(1, 4), 0.75);  // 1 − 0.75 · 3/9
}

// The riser example: two flats a floor on six floors, each with one
// double-burner stove of 0.7 m³/h (the file's natural-gas default). By hand
// from the shipped table: k·N·Qn with N counted above each riser segment.
TEST(Households, RiserFlowsMatchTheHandCalculation) {
    const CaseReadResult read = LoadCase(std::string(GASPIPE_EXAMPLES) + "/building-riser.gpcase");
    ASSERT_TRUE(read.value) << read.error;
    const Case& c = *read.value;
    const PipeCatalog catalog = ShippedCatalog(c);
    Network net(catalog, &Shipped());
    ASSERT_TRUE(net.Load(c)) << net.problems().front().message;
    const struct {
        const char* id;
        double n, k, q;
    } rows[] = {{"1", 12, 0.516, 4.3344}, {"2", 10, 0.54, 3.78}, {"3", 8, 0.58, 3.248},
                {"4", 6, 0.64, 2.688},    {"5", 4, 0.75, 2.1},   {"6", 2, 1.0, 1.4},
                {"6-1", 1, 1.0, 0.7}};
    for (const auto& row : rows) {
        const SegmentResult& r = net.results()[Row(c, row.id)];
        EXPECT_EQ(r.flowSource, FlowSource::Households) << row.id;
        EXPECT_EQ(r.households, row.n) << row.id;
        EXPECT_DOUBLE_EQ(*r.ratedFlow, 0.7) << row.id;
        EXPECT_NEAR(*r.simultaneity, row.k, 1e-12) << row.id;
        EXPECT_NEAR(r.flow, row.q, 1e-12) << row.id;
    }
    EXPECT_EQ(FlowArithmetic(net.Flow(c, Row(c, "1"))), "0.516 × 12 × 0.7 = 4.334");
    EXPECT_TRUE(net.AllChecksHold());

    // Without the table the case cannot be solved, and the message says why.
    Network none(catalog);
    EXPECT_FALSE(none.Load(c));
    ASSERT_FALSE(none.problems().empty());
    EXPECT_EQ(none.problems().front().kind, CaseProblem::Kind::NoSimultaneityFile);
    const SimultaneityTable missing = SimultaneityTable::Read("/nonexistent/Simultaneity.ini");
    Network broken(catalog, &missing);
    EXPECT_FALSE(broken.Load(c));
    EXPECT_NE(broken.problems().front().message.find("'/nonexistent/Simultaneity.ini'"),
              std::string::npos);
}

// Two appliance sets and a non-residential load below one segment:
//   0.54 · 10 · 0.7 + 0.56 · 2 · 2.7 + 3.5 = 3.78 + 3.024 + 3.5 = 10.304 m³/h;
// a node's own rated flow replaces the file's; a typed factor multiplies
// everything below; a typed flow wins.
TEST(Households, SetsAddUpWithLoadsAndTypedValuesOverride) {
    Case c = LowPressureCase();
    AddSegment(c, "main", "A", "B", 20);
    AddSegment(c, "flats", "B", "C", 10);
    AddSegment(c, "villas", "B", "D", 10);
    AddSegment(c, "shop", "B", "E", 10);
    c.nodes.push_back(Households("C", 10, kStove));
    c.nodes.push_back(Households("D", 2, kStoveAndHeater));
    AddNode(c, "E", 0, 3.5);
    const PipeCatalog catalog = ShippedCatalog(c);
    Network net(catalog, &Shipped());
    ASSERT_TRUE(net.Load(c)) << net.problems().front().message;
    const SegmentResult& main = net.results()[0];
    EXPECT_NEAR(main.flow, 10.304, 1e-12);
    EXPECT_EQ(main.households, 12);
    EXPECT_FALSE(main.ratedFlow) << "two rated flows";
    EXPECT_FALSE(main.simultaneity) << "two factors";
    EXPECT_EQ(FlowArithmetic(net.Flow(c, 0)), "0.54 × 10 × 0.7 + 0.56 × 2 × 2.7 + 3.5 = 10.304");
    EXPECT_NEAR(net.results()[2].flow, 3.024, 1e-12);  // k(2) = 0.56
    EXPECT_EQ(net.results()[3].flowSource, FlowSource::Loads);

    c.nodes[0].ratedFlow = 1.0;  // 0.54 · 10 · 1.0 = 5.4
    ASSERT_TRUE(net.Load(c));
    EXPECT_NEAR(net.results()[1].flow, 5.4, 1e-12);
    EXPECT_NEAR(net.results()[0].flow, 5.4 + 3.024 + 3.5, 1e-12);

    c.segments[0].simultaneity = 0.5;  // 0.5 · (10 · 1.0 + 2 · 2.7 + 3.5) = 9.45
    c.segments[1].flow = 4.0;
    ASSERT_TRUE(net.Load(c));
    EXPECT_EQ(net.results()[0].flowSource, FlowSource::TypedFactor);
    EXPECT_NEAR(net.results()[0].flow, 9.45, 1e-12);
    EXPECT_EQ(FlowArithmetic(net.Flow(c, 0)), "0.5 × (10 × 1 + 2 × 2.7 + 3.5) = 9.450");
    EXPECT_EQ(net.results()[1].flowSource, FlowSource::Typed);
    EXPECT_EQ(net.results()[1].flow, 4.0);
    EXPECT_EQ(FlowArithmetic(net.Flow(c, 1)), "");

    c.nodes[1].appliances = "一个壁挂炉";
    EXPECT_FALSE(net.Load(c));
    EXPECT_EQ(net.problems().front().kind, CaseProblem::Kind::UnknownApplianceSet);
    c.nodes[1].appliances = kStoveAndHeater;
    const SimultaneityTable noDefaults = SimultaneityTable::Parse(
        "[Simultaneity]\nSets=一个双眼灶,一个双眼灶和一个快速热水器\n[Factors]\n1=1,1\n");
    Network bare(catalog, &noDefaults);
    EXPECT_FALSE(bare.Load(c));
    ASSERT_EQ(bare.problems().size(), 1u) << "C gives its own rated flow";
    EXPECT_EQ(bare.problems().front().kind, CaseProblem::Kind::NoRatedFlow);
    EXPECT_EQ(bare.problems().front().subject, "D");
}

// Households and shares make a version 2 file; without them it stays
// version 1, byte for byte as before.
TEST(Households, CaseFileKeepsThemAndOlderFilesUnchanged) {
    Case c = LowPressureCase();
    AddSegment(c, "1", "A", "B", 10);
    AddNode(c, "B", 1.5, 0.7);
    const std::string plain = CaseToJson(c);
    EXPECT_NE(plain.find("\"version\": 1"), std::string::npos);
    EXPECT_EQ(plain.find("households"), std::string::npos);

    c.nodes[0].households = 12;
    c.nodes[0].appliances = kStove;
    c.nodes[0].ratedFlow = 0.75;
    c.segments[0].part = Part::Indoor;
    c.limits.shares.push_back({Part::Indoor, 150.0, std::nullopt, {}});
    c.display.pressureUnit = PressureUnit::KPaGauge;
    const std::string text = CaseToJson(c);
    EXPECT_NE(text.find("\"version\": 2"), std::string::npos);
    EXPECT_NE(text.find("\"households\":12,"), std::string::npos) << text;
    const CaseReadResult back = ParseCase(text);
    ASSERT_TRUE(back.value) << back.error;
    EXPECT_EQ(*back.value, c);

    const CaseReadResult wrong = ParseCase(
        R"({"format":"gaspipe-case","version":2,"gas":{"kind":"天然气","density":0.7,)"
        R"("viscosity":14,"temperature":288},"pressure_class":"低压","method":{"name":"gb50028-2006"},)"
        R"("source":{"node":"A","pressure":3000},"segments":[{"id":"1","from":"A","to":"B",)"
        R"("material":"钢管","nominal":"50","length":1,"part":"地下"}]})");
    EXPECT_FALSE(wrong.value);
    EXPECT_NE(wrong.error.find("'part' must be 街区, 庭院 or 室内, not '地下'"), std::string::npos)
        << wrong.error;
}

}  // namespace
}  // namespace gaspipe::network
