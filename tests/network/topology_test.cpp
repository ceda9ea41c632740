#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_builder.h"
#include "topology.h"

namespace gaspipe::network {
namespace {

using namespace testing;
using Kind = CaseProblem::Kind;

// A ─1─ B ─2─ C ─3─ D, B ─4─ E, A ─5─ F, listed out of order.
Case Branched() {
    Case c = LowPressureCase();
    c.source.elevation = 1;
    AddSegment(c, "4", "B", "E");
    AddSegment(c, "1", "A", "B").simultaneity = 0.5;
    AddSegment(c, "3", "C", "D");
    AddSegment(c, "5", "A", "F");
    AddSegment(c, "2", "B", "C", 10, 20.0);
    AddNode(c, "B", 3, 1);
    AddNode(c, "C", 6, 2);
    AddNode(c, "D", 9, 4);
    AddNode(c, "E", 3, 8);
    AddNode(c, "F", 0, 16);
    return c;
}

std::vector<std::string> Ids(const Case& c, const std::vector<std::size_t>& segments) {
    std::vector<std::string> ids;
    for (std::size_t s : segments) ids.push_back(c.segments[s].id);
    return ids;
}

TEST(Topology, DownstreamPartsAreContiguousAndFlowsComeFromTheLoadsBelow) {
    const Case c = Branched();
    const TopologyResult r = BuildTopology(c);
    ASSERT_TRUE(r.ok()) << r.problems.front().message;
    const Topology& t = r.topology;
    EXPECT_EQ(Ids(c, t.order), (std::vector<std::string>{"1", "4", "2", "3", "5"}));
    // Segment "1" (index 1) carries everything behind B; "2" carries C and D.
    EXPECT_EQ(t.downstreamEnd[1] - t.position[1], 4u);
    EXPECT_EQ(t.downstreamEnd[4] - t.position[4], 2u);
    EXPECT_TRUE(t.IsEnd(0) && t.IsEnd(2) && t.IsEnd(3) && !t.IsEnd(4));
    EXPECT_EQ(t.feeder[2], 4u);
    EXPECT_EQ(t.feeder[1], kNoSegment);
    EXPECT_EQ(t.fromElevation[1], 1);
    EXPECT_EQ(t.fromElevation[4], 3);
    EXPECT_EQ(t.toElevation[4], 6);
    // Loads: B 1 + C 2 + D 4 + E 8 = 15, halved; "2" keeps its own 20.
    EXPECT_EQ(SegmentFlow(c.segments[1], t, 1), 7.5);
    EXPECT_EQ(SegmentFlow(c.segments[4], t, 4), 20);
    EXPECT_EQ(SegmentFlow(c.segments[3], t, 3), 16);

    Case edited = c;
    edited.nodes[2].load = 104;  // D
    Topology moved = t;
    UpdateLoads(edited, moved);
    EXPECT_EQ(SegmentFlow(edited.segments[1], moved, 1), 57.5);
    EXPECT_EQ(SegmentFlow(edited.segments[2], moved, 2), 104);
}

TEST(Topology, EveryFaultNamesTheSegmentsInvolved) {
    struct Row {
        const char* name;
        void (*edit)(Case&);
        Kind kind;
        std::vector<std::string> segments;
        const char* says;
    };
    const Row rows[] = {
        {"detached ring",
         [](Case& c) {
             AddSegment(c, "r1", "P", "Q");
             AddSegment(c, "r2", "Q", "P");
         },
         Kind::Loop,
         {"r1", "r2"},
         "ring mains are out of scope"},
        {"pipe into itself",
         [](Case& c) { AddSegment(c, "r", "D", "D"); },
         Kind::FedTwice,
         {"3", "r"},
         "ring mains"},
        {"back to the source",
         [](Case& c) { AddSegment(c, "back", "D", "A"); },
         Kind::SourceFed,
         {"back"},
         "ring mains are out of scope"},
        {"node fed twice",
         [](Case& c) { AddSegment(c, "x", "A", "C"); },
         Kind::FedTwice,
         {"2", "x"},
         "node 'C'"},
        {"second source",
         [](Case& c) {
             AddNode(c, "G", 0, 1);
             AddSegment(c, "g", "G", "H");
         },
         Kind::SecondSource,
         {"g"},
         "one source, 'A'"},
        {"start node missing",
         [](Case& c) { AddSegment(c, "n", "nowhere", "H"); },
         Kind::UnknownNode,
         {"n"},
         "node 'nowhere', which does not exist"},
        {"duplicate id",
         [](Case& c) { AddSegment(c, "1", "D", "K"); },
         Kind::DuplicateSegmentId,
         {"1", "1"},
         "rows 2, 6"},
        {"no id", [](Case& c) { AddSegment(c, "", "D", "K"); }, Kind::MissingId, {""}, "rows 6"},
        {"node on no segment",
         [](Case& c) { AddNode(c, "Z", 0, 5); },
         Kind::UnconnectedNode,
         {},
         "'Z' is on no segment"},
        {"node listed twice",
         [](Case& c) { AddNode(c, "B", 0, 5); },
         Kind::DuplicateNodeId,
         {},
         "'B' is listed twice"},
        // The line starts at source.elevation and takes no load there.
        {"source listed with a load",
         [](Case& c) { AddNode(c, "A", 1, 2.5); },
         Kind::SourceListed,
         {},
         "node 'A' is the source"},
        {"source listed at another elevation",
         [](Case& c) { AddNode(c, "A", 3, 0); },
         Kind::SourceListed,
         {},
         "node 'A' is the source"},
    };
    for (const Row& row : rows) {
        Case c = Branched();
        row.edit(c);
        const TopologyResult r = BuildTopology(c);
        ASSERT_EQ(r.problems.size(), 1u) << row.name;
        const CaseProblem& p = r.problems.front();
        EXPECT_EQ(p.kind, row.kind) << row.name;
        EXPECT_EQ(Ids(c, p.segments), row.segments) << row.name;
        EXPECT_NE(p.message.find(row.says), std::string::npos) << row.name << ": " << p.message;
    }
}

TEST(Topology, TheSourceListedAsItIsIsNoProblem) {
    Case c = Branched();
    AddNode(c, "A", c.source.elevation, 0);
    EXPECT_TRUE(BuildTopology(c).ok());
}

TEST(Topology, SelfFedSegmentAloneIsARing) {
    Case c = LowPressureCase();
    AddSegment(c, "1", "A", "B");
    AddSegment(c, "s", "Q", "Q");
    const TopologyResult r = BuildTopology(c);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].kind, Kind::Loop);
    EXPECT_NE(r.problems[0].message.find("('Q' → 'Q')"), std::string::npos)
        << r.problems[0].message;
}

}  // namespace
}  // namespace gaspipe::network
