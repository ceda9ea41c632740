#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_file.h"
#include "profile.h"

namespace gaspipe::network {
namespace {

struct Solved {
    Case c;
    PipeCatalog catalog;
    Network net{catalog};
    explicit Solved(Case from) : c(std::move(from)), catalog(ReadCatalog(c)) {
        net = Network(catalog);
        EXPECT_TRUE(net.Load(c));
    }
    static PipeCatalog ReadCatalog(const Case& c) {
        classIniFile ini;
        ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
        return PipeCatalog::Read(ini, c);
    }
    std::size_t Row(const std::string& id) const {
        for (std::size_t i = 0; i < c.segments.size(); ++i)
            if (c.segments[i].id == id) return i;
        return c.segments.size();
    }
};

Case RiserExample() {
    const CaseReadResult r =
        LoadCase(std::string(GASPIPE_TEST_CASES) + "/riser-typed-factors.gpcase");
    EXPECT_TRUE(r.value) << r.error;
    return r.value.value_or(Case{});
}

// Up the riser to the top-floor stove 602: 8 m to the first floor, five
// storeys of 3 m, 3.5 m of branch; the allowed drop for 2000 Pa appliances is
// 0.75·2000 + 150 = 1650 Pa below the 2400 Pa source.
TEST(PressureProfile, FollowsThePathFromTheSource) {
    const Solved s(RiserExample());
    const Profile p = PressureProfile(s.c, s.net, s.Row("6-2"));
    ASSERT_TRUE(p.complete);
    std::vector<std::string> nodes;
    for (const auto& point : p.points) nodes.push_back(point.node);
    EXPECT_EQ(nodes, (std::vector<std::string>{"进户", "F1", "F2", "F3", "F4", "F5", "F6", "602"}));
    EXPECT_DOUBLE_EQ(p.points.back().distance, 26.5);
    EXPECT_DOUBLE_EQ(p.points.front().pressure, 2400);
    EXPECT_EQ(p.points.back().pressure, s.net.results()[s.Row("6-2")].outlet);
    ASSERT_TRUE(p.lowestAllowed);
    EXPECT_DOUBLE_EQ(*p.lowestAllowed, 750);
}

TEST(PressureProfile, StopsWhereTheLineWasNotCalculated) {
    Case c = RiserExample();
    for (auto& seg : c.segments)
        if (seg.id == "3") seg.innerDiameter = 1.0;  // far too small for the floors above
    const Solved s(std::move(c));
    const Profile p = PressureProfile(s.c, s.net, s.Row("6-2"));
    EXPECT_FALSE(p.complete);
    ASSERT_EQ(p.points.size(), 3u);  // the source, F1, F2
    EXPECT_EQ(p.points.back().node, "F2");
    EXPECT_TRUE(PressureProfile(s.c, s.net, s.c.segments.size()).points.empty());
}

}  // namespace
}  // namespace gaspipe::network
