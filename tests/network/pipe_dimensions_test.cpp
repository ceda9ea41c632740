// Pipes named as a reviewer identifies them, from the shipped pipe file's
// optional entries (the values of the pipe tables' sources: GB/T 3091 steel,
// GB 15558 PE SDR11, GB/T 13295 K9 ductile iron), and from a file of old
// that has inner diameters only.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "pipe_catalog.h"
#include "pipe_dimensions.h"

namespace gaspipe::network {
namespace {

TEST(PipeDimensions, ShippedFileNamesEachMaterialItsWay) {
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    const PipeFile file(ini);
    struct Row {
        const char *material, *nominal, *designation;
    };
    for (const Row& r : {Row{"钢管", "100", "DN100（D114.3×4.0，GB/T 3091-2008）"},
                         Row{"钢管", "200", "DN200（D219×6.0，GB/T 8163、GB/T 9711）"},
                         Row{"PE管", "110", "dn110 SDR11（GB 15558.1-2015）"},
                         Row{"铸铁管", "100", "DN100 K9（D118×6.0，GB/T 13295-2013）"}})
        EXPECT_EQ(
            PipeDesignation(r.material, r.nominal, ReadPipeDimensions(file, r.material, r.nominal)),
            r.designation);
    EXPECT_EQ(PipeFileTitle(file), "城镇燃气常用管道规格（钢管、PE管、球墨铸铁管）");
    // The window's list is the nominal diameters alone.
    EXPECT_EQ(file.NominalDiameters("钢管").size(), 19u);

    Case c;
    c.segments.push_back({});
    c.segments.back().material = "钢管";
    const PipeCatalog catalog = PipeCatalog::Read(file, c);
    ASSERT_NE(catalog.Find("钢管", "50"), nullptr);
    EXPECT_EQ(catalog.Find("钢管", "50")->dimensions.outer, 60.3);
    EXPECT_EQ(catalog.Find("钢管", "50")->dimensions.wall, 3.8);
}

TEST(PipeDimensions, AnOlderFileGivesTheNominalDiameterAlone) {
    const std::string path = testing::TempDir() + "old-pipes.ini";
    // "[钢管]" in code page 936, as pipe files are stored.
    std::ofstream(path) << "[\xB8\xD6\xB9\xDC]\r\nPipeDia=100\r\n100=106.3\r\nOD.100=x\r\n";
    classIniFile ini;
    ini.INIFileName(path);
    const PipeDimensions dimensions = ReadPipeDimensions(PipeFile(ini), "钢管", "100");
    EXPECT_FALSE(dimensions.outer);  // not a number: as if absent
    EXPECT_EQ(PipeDesignation("钢管", "100", dimensions), "DN100");
    EXPECT_EQ(PipeDesignation("PE管", "110", {}), "dn110");
    std::remove(path.c_str());
}

}  // namespace
}  // namespace gaspipe::network
