#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "pipe_file.h"

namespace gaspipe {

using List = std::vector<std::string>;

TEST(PipeDiaSplit, PiecesAreKeptCharacterForCharacter) {
    const std::pair<std::string, List> rows[] = {
        {"", {}},
        {"50", {"50"}},
        {"15,20,", {"15", "20", ""}},
        {"15,,20", {"15", "", "20"}},
        {",", {"", ""}},
        {"15, 20 ,25", {"15", " 20 ", "25"}},
    };
    for (const auto& [text, pieces] : rows) EXPECT_EQ(SplitPipeDia(text), pieces) << text;
}

TEST(ShippedPipeFile, EachMaterialListsRisingInnerDiametersBelowTheNominal) {
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    const std::pair<std::string, std::size_t> tables[] = {
        {"钢管", 19}, {"PE管", 20}, {"铸铁管", 11}};
    for (const auto& [material, entries] : tables) {
        const List nominals = ReadNominalDiameters(ini, material);
        EXPECT_EQ(nominals.size(), entries) << material;
        double previous = 0;
        for (const std::string& nominal : nominals) {
            const std::string inner = ReadInnerDiameter(ini, material, nominal);
            char* end = nullptr;
            const double mm = std::strtod(inner.c_str(), &end);
            EXPECT_TRUE(!inner.empty() && *end == '\0' && mm > previous &&
                        mm < 1.5 * std::atof(nominal.c_str()))
                << material << ' ' << nominal << ": '" << inner << "'";
            previous = mm;
        }
    }
}

}  // namespace gaspipe
