#include "pipe_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "ini_index.h"
#include "ini_test_util.h"
#include "ini_text.h"

namespace gaspipe::test {

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

using PipeFileTest = IniTest;

TEST_F(PipeFileTest, OneVersionAnswersEveryLookupWhateverHappensToTheFile) {
    WriteBytes(path_, Gbk("[钢管]\nPipeDia=15,20\n15=15.7\n20=21.3\n"));
    const PipeFile first(ini_);
    ASSERT_TRUE(first.readable());
    // Replaced as an editor or the settings store replaces it: a new inode.
    const std::string next = path_ + ".next";
    WriteBytes(next, Gbk("[钢管]\nPipeDia=25\n15=99\n25=27.3\n"));
    fs::rename(next, path_);
    EXPECT_EQ(first.NominalDiameters("钢管"), (List{"15", "20"}));
    EXPECT_EQ(first.InnerDiameter("钢管", "15"), "15.7");
    EXPECT_EQ(PipeFile(ini_).InnerDiameter("钢管", "15"), "99");

    // Rewritten in place at once, with the same size: still seen.
    WriteBytes(path_, Gbk("[钢管]\nPipeDia=25\n15=88\n25=27.3\n"));
    EXPECT_EQ(PipeFile(ini_).InnerDiameter("钢管", "15"), "88");
    EXPECT_EQ(ReadInnerDiameter(ini_, "钢管", "25"), "27.3");

    fs::remove(path_);
    const PipeFile missing(ini_);
    EXPECT_FALSE(missing.readable());
    EXPECT_EQ(missing.problem(), "No such file or directory");
    EXPECT_TRUE(missing.NominalDiameters("钢管").empty());
    EXPECT_EQ(first.InnerDiameter("钢管", "20"), "21.3");
}

// The index answers as the plain search does, on files that repeat and
// misspell names.
TEST(IniIndex, FindsWhatTheLineByLineSearchFinds) {
    const std::string texts[] = {
        "k=0\n[a]\nk=1\nK=2\nk\n[b]\nk=3\n[A]\nk=4\nj=5\n[a]\nj=6\n",
        "[ a ]\r\n  k  =  1 \r[b]\n=2\n[]\nk=3\n;[c]\n[c\nk=4\n",
        "[\x81\x41]\n\x81\x61=1\n[\x81\x61]\nk=2\n[\xB0\x5D\nk=3\n",
        std::string("[a]\nk=x\0y\n[a]\n", 14),
    };
    const char* names[] = {"a", "A", " a ",      "b",        "c",        "k", "K",
                           "j", "",  "\x81\x41", "\x81\x61", "\xB0\x5D", "x"};
    for (const std::string& text : texts) {
        const ini::Index index(text);
        for (const char* section : names)
            for (const char* key : names)
                EXPECT_EQ(index.Find(section, key), ini::FindValue(text, section, key))
                    << text << " [" << section << "] " << key;
    }
}

}  // namespace gaspipe::test
