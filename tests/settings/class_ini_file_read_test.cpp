#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "class_ini_file.h"
#include "ini_test_util.h"

namespace gaspipe {
namespace {

using test::Gbk;

class IniRead : public ::testing::Test {
protected:
    std::string Read(const std::string& fileBytes, const std::string& section, const std::string& key)
    {
        test::WriteBytes(path_, fileBytes);
        return ini_.GetIniKey(section, key);
    }

    test::TempDir dir_;
    std::string path_ = dir_.File("settings.ini");
    classIniFile ini_ = [this] {
        classIniFile ini;
        ini.INIFileName(path_);
        return ini;
    }();
};

TEST(IniFileName, NewInstanceIsEmptyAndNameIsStoredUnchanged)
{
    classIniFile ini;
    EXPECT_EQ(ini.INIFileName(), "");
    ini.INIFileName("some dir\\PipeParameters.Ini");
    EXPECT_EQ(ini.INIFileName(), "some dir\\PipeParameters.Ini");
}

TEST_F(IniRead, ValueIsReturnedAsStored)
{
    EXPECT_EQ(Read("[a]\r\nPipeDia=15,20,25\r\n", "a", "PipeDia"), "15,20,25");
}

TEST_F(IniRead, AbsentFileSectionOrKeyReadsEmptyAndCreatesNothing)
{
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "");
    EXPECT_FALSE(std::filesystem::exists(path_));

    classIniFile inMissingFolder;
    inMissingFolder.INIFileName(dir_.File("no such folder/settings.ini"));
    EXPECT_EQ(inMissingFolder.GetIniKey("a", "k"), "");
    EXPECT_FALSE(std::filesystem::exists(dir_.File("no such folder")));

    EXPECT_EQ(Read("[a]\nk=1\n", "b", "k"), "");
    EXPECT_EQ(Read("[a]\nk=1\n", "a", "j"), "");
    EXPECT_EQ(Read("k=1\n[a]\n", "a", "k"), "") << "a key above every section belongs to none";
    EXPECT_EQ(Read("[a]\nk=1\n", "", "k"), "");
    EXPECT_EQ(Read("[a]\n=1\n", "a", ""), "");
}

TEST_F(IniRead, EmptyValueAndKeyWithoutEqualsReadEmpty)
{
    EXPECT_EQ(Read("[a]\nk=\nj=2\n", "a", "k"), "");
    // The first occurrence decides, even when it has no value at all.
    EXPECT_EQ(Read("[a]\nk\nk=2\n", "a", "k"), "");
}

TEST_F(IniRead, NamesMatchWithoutAsciiCase)
{
    const std::string file = Gbk("[PE管]\r\nPipeDia=20,25\r\n");
    EXPECT_EQ(Read(file, "pe管", "pipedia"), "20,25");
    EXPECT_EQ(Read(file, "Pe管", "PIPEDIA"), "20,25");
}

TEST_F(IniRead, DoubleByteCharactersAreNotCaseFolded)
{
    // 0x81 0x41 and 0x81 0x61 are two different characters whose trail
    // bytes happen to be 'A' and 'a'.
    const std::string upper = "\x81\x41";
    const std::string lower = "\x81\x61";
    ASSERT_NE(Gbk("丄"), Gbk("乤"));
    ASSERT_EQ(Gbk("丄"), upper);
    ASSERT_EQ(Gbk("乤"), lower);
    EXPECT_EQ(Read("[" + upper + "]\nk=1\n", "丄", "k"), "1");
    EXPECT_EQ(Read("[" + upper + "]\nk=1\n", "乤", "k"), "");
    EXPECT_EQ(Read("[s]\n" + lower + "=1\n", "s", "丄"), "");
}

TEST_F(IniRead, BlanksAroundNamesAndValuesAreNotPartOfThem)
{
    const std::string file = "  [ a b ]  \r\n\t key one \t=  \t value  x \t \r\n";
    EXPECT_EQ(Read(file, "a b", "key one"), "value  x");
    EXPECT_EQ(Read(file, " a b ", " key one\t"), "value  x");
    EXPECT_EQ(Read(file, "ab", "keyone"), "");
}

TEST_F(IniRead, CommentLinesAreNeverKeysOrSections)
{
    const std::string file = "[a]\n;k=commented\n  ; [b]\nk=real\n[b]\nx=1\n";
    EXPECT_EQ(Read(file, "a", "k"), "real");
    EXPECT_EQ(Read(file, "a", ";k"), "");
    EXPECT_EQ(Read(file, "b", "x"), "1");
}

TEST_F(IniRead, FirstOfTwoEqualKeysWins)
{
    EXPECT_EQ(Read("[a]\nk=first\nK=second\n", "a", "k"), "first");
    // Only the first section of a name is searched.
    EXPECT_EQ(Read("[a]\nk=1\n[A]\nj=2\n", "a", "j"), "");
}

TEST_F(IniRead, LineBreaksMayBeCrlfLfOrCrAndTheLastMayBeMissing)
{
    EXPECT_EQ(Read("[a]\r\nk=1\r\nj=2\r\n", "a", "j"), "2");
    EXPECT_EQ(Read("[a]\nk=1\nj=2", "a", "j"), "2");
    EXPECT_EQ(Read("[a]\rk=1\rj=2\r", "a", "k"), "1");
    EXPECT_EQ(Read("[a]\r\r\nk=1\r\r\n", "a", "k"), "1");
}

TEST_F(IniRead, ValueIsCutAt1023BytesOnAWholeCharacter)
{
    const std::string longAscii(1100, 'x');
    EXPECT_EQ(Read("[a]\nk=" + longAscii + "\n", "a", "k"), std::string(1023, 'x'));

    // With one ASCII byte in front, the 512th double-byte character would
    // straddle the cut: it is dropped whole.
    std::string chinese;
    for (int i = 0; i < 600; ++i) chinese += "管";
    const std::string got = Read("[a]\nk=x" + Gbk(chinese) + "\n", "a", "k");
    std::string expected = "x";
    for (int i = 0; i < 511; ++i) expected += "管";
    EXPECT_EQ(got, expected);

    const std::string exact = "y" + std::string(1022, 'z');
    EXPECT_EQ(Read("[a]\nk=" + exact + "\n", "a", "k"), exact);
}

TEST_F(IniRead, ChineseTextReadsBackAsTheSameUnicodeText)
{
    const std::string file = Gbk("[钢管]\r\nPipeDia=15,20\r\n说明=天然气，低压\r\n");
    EXPECT_EQ(Read(file, "钢管", "说明"), "天然气，低压");
    EXPECT_EQ(Read(file, "钢管", "PipeDia"), "15,20");
}

TEST_F(IniRead, ResultNeverHoldsZeroNorStartsWithSpace)
{
    EXPECT_EQ(Read("[a]\nk=\"   quoted\"\n", "a", "k"), "quoted");
    EXPECT_EQ(Read(std::string("[a]\nk=ab\0cd\n", 11), "a", "k"), "ab");
    const std::string got = Read(std::string("[a]\nk= \0x\n", 10), "a", "k");
    EXPECT_EQ(got.find('\0'), std::string::npos);
    EXPECT_EQ(got, "");
}

TEST_F(IniRead, OnePairOfEnclosingQuotesIsRemoved)
{
    EXPECT_EQ(Read("[a]\nk=\"x y\"\n", "a", "k"), "x y");
    EXPECT_EQ(Read("[a]\nk='x'\n", "a", "k"), "x");
    EXPECT_EQ(Read("[a]\nk=\"x'\n", "a", "k"), "\"x'");
    EXPECT_EQ(Read("[a]\nk=\"\n", "a", "k"), "\"");
}

TEST_F(IniRead, NameThatCodePage936CannotHoldFindsNothing)
{
    EXPECT_EQ(Read("[a]\nk=1\n?=2\n", "a", "\xF0\x9F\x98\x80"), "");
    EXPECT_EQ(Read("[a]\nk=1\n", "a", "\xFFk"), "") << "invalid UTF-8";
}

}  // namespace
}  // namespace gaspipe
