// The sketch as a reviewer reads it: every segment drawn once, no pipe
// crossing another, no text over a pipe or over other text, a long line
// wrapped onto rows and pages; the texts as the case file gives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "case_builder.h"
#include "case_file.h"
#include "flows.h"
#include "sketch_layout.h"
#include "sketch_tree.h"
#include "topology.h"

namespace gaspipe::sketch {
namespace {

using network::Case;
using network::testing::AddNode;
using network::testing::AddSegment;
using network::testing::LowPressureCase;

// "J12"; built by appending, since GCC 12 warns falsely about "J" + std::string.
std::string Id(const char* prefix, int n) {
    std::string id = prefix;
    return id += std::to_string(n);
}

Tree TreeOf(const Case& c, const TreeOptions& options = {}) {
    auto topology = network::BuildTopology(c);
    EXPECT_TRUE(topology.ok());
    static const SimultaneityTable factors = SimultaneityTable::Read(GASPIPE_SHIPPED_SIMULTANEITY);
    network::SumHouseholds(c, topology.topology, &factors);
    return BuildTree(c, topology.topology, options);
}

Case Example(const char* name) {
    const auto read = network::LoadCase(std::string(GASPIPE_EXAMPLES "/") + name);
    EXPECT_TRUE(read.value) << read.error;
    return read.value ? *read.value : Case{};
}

// Each new node hangs from one of the `reach` nodes before it: small reach
// gives long lines, large reach bushy ones.
Case RandomLine(int segments, int reach, unsigned seed) {
    Case c = LowPressureCase("S");
    std::mt19937 random(seed);
    for (int n = 1; n <= segments; ++n) {
        const int parent =
            std::uniform_int_distribution<int>(std::max(0, n - reach), n - 1)(random);
        AddSegment(c, std::to_string(n), parent == 0 ? "S" : Id("J", parent), Id("J", n),
                   5 + n % 37);
        if (n % 3 == 0) AddNode(c, Id("J", n), 0, 0.5 * n);
    }
    return c;
}

Case Chain(int segments) { return RandomLine(segments, 1, 1); }

Case Star(int segments) {
    Case c = LowPressureCase("S");
    for (int n = 1; n <= segments; ++n) AddSegment(c, std::to_string(n), "S", Id("E", n));
    return c;
}

struct Box {
    double l, t, r, b;
};
bool Overlap(const Box& a, const Box& b) {
    constexpr double e = 0.01;
    return a.l < b.r - e && b.l < a.r - e && a.t < b.b - e && b.t < a.b - e;
}
bool Horizontal(const Line& l) { return l.from.y == l.to.y; }

// What a reader needs of any layout: each segment's pipe drawn once, every
// node marked once, nothing crossing, no text touched by a pipe, a mark or
// other text, everything on its page.
void ExpectClean(const Layout& layout, const Tree& tree, const Metrics& m) {
    std::vector<int> pipes(tree.nodes.size(), 0), marks(tree.nodes.size(), 0);
    for (const Page& page : layout.pages) {
        const double height = &page == &layout.pages[0] && m.firstPageHeight > 0 ? m.firstPageHeight
                              : m.pageHeight > 0                                 ? m.pageHeight
                                                                                 : INFINITY;
        EXPECT_LE(page.height, height);
        for (const Strip& s : page.strips) {
            std::vector<Box> labels;
            for (const Label& l : s.labels)
                labels.push_back({l.left, l.top, l.left + l.width, l.top + m.textHeight});
            for (const Line& l : s.lines) {
                if (l.kind == Line::Kind::Pipe) ++pipes.at(l.node);
                EXPECT_TRUE(Horizontal(l) || l.from.x == l.to.x);
            }
            for (const Mark& mk : s.marks)
                if (mk.kind != Mark::Kind::Ghost) ++marks.at(mk.node);
            for (std::size_t i = 0; i < s.lines.size(); ++i)
                for (std::size_t j = i + 1; j < s.lines.size(); ++j) {
                    const Line *a = &s.lines[i], *b = &s.lines[j];
                    if (Horizontal(*a) == Horizontal(*b)) {
                        // Parallel: no shared stretch.
                        const bool h = Horizontal(*a);
                        if ((h ? a->from.y != b->from.y : a->from.x != b->from.x)) continue;
                        const double a0 = h ? a->from.x : a->from.y, a1 = h ? a->to.x : a->to.y;
                        const double b0 = h ? b->from.x : b->from.y, b1 = h ? b->to.x : b->to.y;
                        EXPECT_FALSE(std::min(a1, b1) - std::max(a0, b0) > 0.01)
                            << "overlapping pipes";
                        continue;
                    }
                    if (!Horizontal(*a)) std::swap(a, b);
                    const bool crosses = a->from.x < b->from.x && b->from.x < a->to.x &&
                                         b->from.y < a->from.y && a->from.y < b->to.y;
                    EXPECT_FALSE(crosses)
                        << "pipes into nodes " << a->node << " and " << b->node << " cross";
                }
            for (std::size_t i = 0; i < labels.size(); ++i) {
                const Label& label = s.labels[i];
                EXPECT_GE(labels[i].l, -0.01);
                EXPECT_LE(labels[i].r, page.width + 0.01);
                EXPECT_GE(labels[i].t, s.top - 0.01);
                EXPECT_LE(labels[i].b, s.bottom + 0.01);
                for (std::size_t j = i + 1; j < labels.size(); ++j)
                    EXPECT_FALSE(Overlap(labels[i], labels[j]))
                        << "'" << label.text << "' over '" << s.labels[j].text << "'";
                for (const Line& l : s.lines)
                    EXPECT_FALSE(Overlap(
                        labels[i],
                        {std::min(l.from.x, l.to.x), std::min(l.from.y, l.to.y),
                         std::max(l.from.x, l.to.x) + 0.02, std::max(l.from.y, l.to.y) + 0.02}))
                        << "a pipe through '" << label.text << "'";
                for (const Mark& mk : s.marks) {
                    const double r = layout.markRadius;
                    EXPECT_FALSE(
                        Overlap(labels[i], {mk.at.x - r, mk.at.y - r, mk.at.x + r, mk.at.y + r}))
                        << "a node mark in '" << label.text << "'";
                }
            }
        }
    }
    for (std::size_t i = 1; i < tree.nodes.size(); ++i) {
        EXPECT_EQ(pipes[i], 1) << "segment into node " << tree.nodes[i].name;
        EXPECT_EQ(marks[i], 1) << "node " << tree.nodes[i].name;
    }
}

TEST(SketchTree, TextsFromTheCaseMainBranchFirstAndTheEndLabelHook) {
    const Tree riser = TreeOf(Example("building-riser.gpcase"));
    ASSERT_EQ(riser.nodes.size(), 19u);
    // The riser goes straight up; each floor's two flats branch off it.
    std::vector<std::string> names;
    for (const Node& n : riser.nodes) names.push_back(n.name);
    EXPECT_EQ(names, (std::vector<std::string>{"进户", "F1", "F2", "F3", "F4", "F5", "F6", "601",
                                               "602", "501", "502", "401", "402", "301", "302",
                                               "201", "202", "101", "102"}));
    EXPECT_EQ(riser.nodes[1].pipe, "DN25 L=8m");
    EXPECT_EQ(riser.nodes[7].segmentId, "6-1");
    EXPECT_EQ(riser.nodes[7].pipe, "DN15 L=3.5m");
    EXPECT_EQ(riser.nodes[7].endLabel, "N=1户");
    EXPECT_EQ(riser.nodes[17].parent, 1u) << "101 hangs from F1";
    EXPECT_TRUE(riser.nodes[3].endLabel.empty()) << "F3 is no end";

    const Tree yard = TreeOf(Example("courtyard-medium.gpcase"));
    EXPECT_EQ(yard.nodes[1].pipe, "dn110 L=80m");
    EXPECT_EQ(yard.nodes[2].name, "J2") << "the main goes on before the branches to 1#楼 and 2#楼";

    // The hook's text replaces the load; ids too long for a label are cut.
    Case c = LowPressureCase();
    std::string longId;
    for (int i = 0; i < 30; ++i) longId += "管";
    AddSegment(c, longId, "A", "B\nC");
    c.segments[0].nominal.clear();
    c.segments[0].innerDiameter = 41.5;
    TreeOptions options;
    options.endLabel = [](const Case&, const network::Topology&, std::size_t s) {
        return "N=" + std::to_string(s + 12) + "户";
    };
    const Tree one = TreeOf(c, options);
    EXPECT_EQ(one.nodes[1].endLabel, "N=12户");
    EXPECT_EQ(one.nodes[1].name, "B C");
    EXPECT_EQ(one.nodes[1].segmentId, longId.substr(0, 20 * 3) + "…");
    EXPECT_EQ(one.nodes[1].pipe, "内径41.5 L=10m");
}

TEST(SketchLayout, ExamplesAndRandomLinesAreDrawnCleanly) {
    Metrics m;
    const Tree riser = TreeOf(Example("building-riser.gpcase"));
    const Layout layout = LayOut(riser, m);
    ExpectClean(layout, riser, m);
    ASSERT_EQ(layout.pages.size(), 1u);
    std::set<double> rows;
    for (const Mark& mk : layout.pages[0].strips[0].marks) rows.insert(mk.at.y);
    EXPECT_EQ(rows.size(), 12u) << "one row per flat";

    for (bool pipes : {true, false}) {
        m.pipes = pipes;
        const Tree yard = TreeOf(Example("courtyard-medium.gpcase"));
        ExpectClean(LayOut(yard, m), yard, m);
    }
    m.pipes = true;
    m.pageHeight = 700;
    for (unsigned seed = 1; seed <= 6; ++seed)
        for (int reach : {2, 8, 40}) {
            const int segments = seed == 1 ? 2 : 200;
            const Tree tree = TreeOf(RandomLine(segments, reach, seed));
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", reach " << reach);
            const Layout layout = LayOut(tree, m);
            ExpectClean(layout, tree, m);
            for (const Page& p : layout.pages) EXPECT_LE(p.width, m.maxWidth);
        }
}

TEST(SketchLayout, LongLineWrapsOntoRowsAndPagesGoingOnFromItsLastNode) {
    Metrics m;
    m.maxWidth = 900;
    const Tree chain = TreeOf(Chain(300));
    Layout layout = LayOut(chain, m);
    ASSERT_EQ(layout.pages.size(), 1u);
    EXPECT_GT(layout.bands, 10u);
    EXPECT_EQ(layout.pages[0].strips.size(), layout.bands);
    EXPECT_LE(layout.pages[0].width, 900);
    // Each band ends in an arrow and the next starts from a copy of its last node.
    std::size_t arrows = 0, ghosts = 0;
    for (std::size_t b = 0; b < layout.bands; ++b) {
        const Strip& s = layout.pages[0].strips[b];
        for (const Line& l : s.lines) arrows += l.kind == Line::Kind::Continuation;
        for (const Mark& mk : s.marks) {
            if (mk.kind != Mark::Kind::Ghost) continue;
            ++ghosts;
            const Strip& above = layout.pages[0].strips[b - 1];
            EXPECT_EQ(mk.node, above.marks.back().node);
        }
    }
    EXPECT_EQ(arrows, layout.bands - 1);
    EXPECT_EQ(ghosts, layout.bands - 1);

    m.pageHeight = 400;
    m.firstPageHeight = 250;  // below a heading
    layout = LayOut(chain, m);
    EXPECT_GT(layout.pages.size(), 2u);
    ExpectClean(layout, chain, m);

    // A band taller than a page goes on at its rows on the next.
    const Tree star = TreeOf(Star(200));
    layout = LayOut(star, m);
    EXPECT_GT(layout.pages.size(), 4u);
    ExpectClean(layout, star, m);
}

// A line of 100 000 segments in a chain, and a source feeding 20 000 ends:
// every segment drawn, no page wasted or overfull.
TEST(SketchLayout, HundredThousandSegmentsStayWithinTheirPages) {
    Metrics m;
    m.pageHeight = 600;
    for (const Case& c : {Chain(100'000), Star(20'000)}) {
        const Tree tree = TreeOf(c);
        const Layout layout = LayOut(tree, m);
        std::size_t pipes = 0;
        for (std::size_t k = 0; k < layout.pages.size(); ++k) {
            const Page& p = layout.pages[k];
            EXPECT_LE(p.height, 600);
            EXPECT_LE(p.width, m.maxWidth);
            // No page wasted: all but the last at least half full.
            if (k + 1 < layout.pages.size()) {
                EXPECT_GE(p.height, 300);
            }
            for (const Strip& s : p.strips)
                for (const Line& l : s.lines) pipes += l.kind == Line::Kind::Pipe;
        }
        EXPECT_EQ(pipes, c.segments.size());
    }
}

}  // namespace
}  // namespace gaspipe::sketch
