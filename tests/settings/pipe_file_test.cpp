#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ini_test_util.h"
#include "pipe_file.h"

namespace gaspipe {
namespace {

using test::Gbk;
using List = std::vector<std::string>;

struct SplitRow {
    const char* name;
    std::string text;
    List pieces;
};

class SplitPipeDiaRows : public ::testing::TestWithParam<SplitRow> {};

TEST_P(SplitPipeDiaRows, PiecesAreKeptCharacterForCharacter)
{
    EXPECT_EQ(SplitPipeDia(GetParam().text), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitPipeDiaRows,
    ::testing::Values(SplitRow{"Empty", "", {}},
                      SplitRow{"OneWithoutComma", "50", {"50"}},
                      SplitRow{"Several", "15,20,25", {"15", "20", "25"}},
                      SplitRow{"TrailingComma", "15,20,", {"15", "20", ""}},
                      SplitRow{"LeadingComma", ",15", {"", "15"}},
                      SplitRow{"AdjacentCommas", "15,,20", {"15", "", "20"}},
                      SplitRow{"OnlyAComma", ",", {"", ""}},
                      SplitRow{"BlankAfterComma", "15, 20 ,25", {"15", " 20 ", "25"}},
                      SplitRow{"Chinese", "一,二", {"一", "二"}}),
    [](const ::testing::TestParamInfo<SplitRow>& row) { return std::string(row.param.name); });

class PipeFile : public ::testing::Test {
protected:
    PipeFile()
    {
        test::WriteBytes(path_, Gbk("[钢管]\r\n"
                                    "PipeDia=15,20,,25\r\n"
                                    "15=15.7\r\n"
                                    "20=21.3\r\n"
                                    "[PE管]\r\n"
                                    "PipeDia= 32, 40,\r\n"
                                    "32=26.0\r\n"
                                    "40=32.6\r\n"
                                    "[铸铁管]\r\n"
                                    "PipeDia=\r\n"));
        ini_.INIFileName(path_);
    }

    test::TempDir dir_;
    std::string path_ = dir_.File(kPipeFileName);
    classIniFile ini_;
};

TEST_F(PipeFile, ListOfAMaterialKeepsEmptyEntriesAndBlanksAfterCommas)
{
    EXPECT_EQ(ReadNominalDiameters(ini_, "钢管"), (List{"15", "20", "", "25"}));
    // The leading blank of the whole value goes, those after commas stay.
    EXPECT_EQ(ReadNominalDiameters(ini_, "PE管"), (List{"32", " 40", ""}));
}

TEST_F(PipeFile, MaterialSectionIsFoundWithoutAsciiCase)
{
    EXPECT_EQ(ReadNominalDiameters(ini_, "pe管"), (List{"32", " 40", ""}));
    EXPECT_EQ(ReadInnerDiameter(ini_, "Pe管", "32"), "26.0");
}

TEST_F(PipeFile, EmptyOrMissingListGivesNoEntries)
{
    EXPECT_TRUE(ReadNominalDiameters(ini_, "铸铁管").empty());
    EXPECT_TRUE(ReadNominalDiameters(ini_, "铜管").empty());
    classIniFile noFile;
    noFile.INIFileName(dir_.File("missing.Ini"));
    EXPECT_TRUE(ReadNominalDiameters(noFile, "钢管").empty());
}

TEST_F(PipeFile, InnerDiameterOfEachEntry)
{
    EXPECT_EQ(ReadInnerDiameter(ini_, "钢管", "15"), "15.7");
    EXPECT_EQ(ReadInnerDiameter(ini_, "钢管", "25"), "") << "listed without a key of its own";
    EXPECT_EQ(ReadInnerDiameter(ini_, "钢管", ""), "");
    EXPECT_EQ(ReadInnerDiameter(ini_, "PE管", " 40"), "32.6");
    EXPECT_EQ(ReadInnerDiameter(ini_, "PE管", "15"), "") << "another material's key";
}

TEST(ShippedPipeFile, IsCodePage936WithPlainCrlfLines)
{
    const std::string bytes = test::ReadBytes(GASPIPE_SHIPPED_PIPE_FILE);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.find(Gbk("[钢管]\r\nPipeDia=")), std::string::npos);
    EXPECT_NE(bytes.find(Gbk("\r\n[PE管]\r\n")), std::string::npos);
    EXPECT_NE(bytes.find(Gbk("\r\n[铸铁管]\r\n")), std::string::npos);
    EXPECT_EQ(bytes.find("\r\r"), std::string::npos);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }
    }
}

struct MaterialTable {
    const char* material;
    std::size_t entries;
    const char* firstNominal;
    const char* firstInner;
};

class ShippedPipeFileTables : public ::testing::TestWithParam<MaterialTable> {};

TEST_P(ShippedPipeFileTables, EveryNominalDiameterHasAPlausibleInnerDiameter)
{
    classIniFile ini;
    ini.INIFileName(GASPIPE_SHIPPED_PIPE_FILE);
    const List nominals = ReadNominalDiameters(ini, GetParam().material);
    ASSERT_EQ(nominals.size(), GetParam().entries);
    EXPECT_EQ(nominals.front(), GetParam().firstNominal);
    EXPECT_EQ(ReadInnerDiameter(ini, GetParam().material, nominals.front()), GetParam().firstInner);
    double previous = 0;
    for (const std::string& nominal : nominals) {
        const std::string inner = ReadInnerDiameter(ini, GetParam().material, nominal);
        char* end = nullptr;
        const double mm = std::strtod(inner.c_str(), &end);
        EXPECT_TRUE(!inner.empty() && *end == '\0') << nominal << " -> '" << inner << "'";
        EXPECT_GT(mm, previous) << nominal;
        EXPECT_LT(mm, 1.5 * std::atof(nominal.c_str())) << nominal;
        previous = mm;
    }
}

INSTANTIATE_TEST_SUITE_P(Materials, ShippedPipeFileTables,
                         ::testing::Values(MaterialTable{"钢管", 19, "15", "15.7"},
                                           MaterialTable{"PE管", 20, "20", "14.0"},
                                           MaterialTable{"铸铁管", 11, "80", "86.0"}));

}  // namespace
}  // namespace gaspipe
