#include "sizing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "calc_pipe_segment.h"

namespace gaspipe::cli {
namespace {

// Low-pressure natural gas in steel: for a 50 mm pipe the published worked
// example gives a drop of 606.63 Pa, a mean velocity of 7.264 m/s and a
// maximum velocity of 7.286 m/s; by hand, 40 mm gives 1846.0 Pa and
// 11.52 m/s, 65 mm 166.4 Pa and 4.293 m/s.
SegmentInput LowPressureService() {
    SegmentInput in;
    hydraulics::SegmentInput& s = in.segment;
    s.pressureClass = hydraulics::PressureClass::Low;
    s.density = 0.7247f, s.viscosity = 14.5f, s.temperature = 288;
    s.length = 50, s.flow = 50, s.inlet = 3000;
    return in;
}

TEST(Sizing, TheSmallestInnerDiameterWithinEveryLimitWins) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("gaspipe-sizing-" + std::to_string(std::random_device{}())))
                                 .string();
    // [钢管] in code page 936; the list is not in size order.
    std::ofstream(path, std::ios::binary)
        << "[\xB8\xD6\xB9\xDC]\nPipeDia=65,40,50,x\n40=40\n50=50\n65=65\nx=abc\n";
    classIniFile ini;
    ini.INIFileName(path);
    const PipeFile pipes(ini);

    const auto all = SizeSegment(pipes, LowPressureService(), {});
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[2].nominal, "50");
    EXPECT_NEAR(all[2].outcome.drop, 606.63, 0.01);
    EXPECT_EQ(all[3].outcome.status, Status::InputError);  // "abc" is no diameter
    EXPECT_FALSE(all[3].meets);

    const struct {
        std::optional<double> maxDrop, maxVelocity;
        const char* choice;  // nullptr: none fits
    } cases[] = {
        {{}, {}, "40"},     {606.0f, {}, "65"},
        {607.0f, {}, "50"}, {{}, 7.275f, "65"},  // above the mean velocity, below the maximum
        {{}, 7.30f, "50"},  {607.0f, 4.0f, nullptr},
    };
    for (const auto& c : cases) {
        const auto rows = SizeSegment(pipes, LowPressureService(), {c.maxDrop, c.maxVelocity});
        const auto choice = SmallestFitting(rows);
        ASSERT_EQ(choice.has_value(), c.choice != nullptr) << (c.choice ? c.choice : "none");
        if (choice) {
            EXPECT_EQ(rows[*choice].nominal, c.choice);
        }
    }
    std::remove(path.c_str());
}

}  // namespace
}  // namespace gaspipe::cli
