#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "class_ini_file.h"
#include "ini_test_util.h"

namespace gaspipe {
namespace {

namespace fs = std::filesystem;
using test::Gbk;
using test::ReadBytes;
using test::WriteBytes;

class IniWrite : public ::testing::Test {
protected:
    IniWrite() { ini_.INIFileName(path_); }

    // Every entry of the folder except the settings file and its links:
    // catches temporary files left behind.
    std::vector<std::string> Leftovers() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "settings.ini" && name != "link.ini") names.push_back(name);
        }
        return names;
    }

    test::TempDir dir_;
    std::string path_ = dir_.File("settings.ini");
    classIniFile ini_;
};

TEST_F(IniWrite, CreatesMissingFileAndSectionThenReadsBack)
{
    ini_.WriteIniKey("a", "k", "15,20,25");
    EXPECT_EQ(ReadBytes(path_), "[a]\r\nk=15,20,25\r\n");
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "15,20,25");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(IniWrite, ChineseTextIsStoredInCodePage936AndReadsBack)
{
    ini_.WriteIniKey("钢管", "说明", "天然气，低压");
    EXPECT_EQ(ReadBytes(path_), Gbk("[钢管]\r\n说明=天然气，低压\r\n"));
    EXPECT_EQ(ini_.GetIniKey("钢管", "说明"), "天然气，低压");
}

TEST_F(IniWrite, ReplacingAValueKeepsEveryOtherLineAndTheStoredName)
{
    WriteBytes(path_, "; pipes\r\n[A]\r\n  Key = old\r\nz=1\r\n\r\n[b]\r\nKey=other\r\n");
    ini_.WriteIniKey("a", "key", "new");
    EXPECT_EQ(ReadBytes(path_), "; pipes\r\n[A]\r\n  Key=new\r\nz=1\r\n\r\n[b]\r\nKey=other\r\n");
}

TEST_F(IniWrite, NewKeyGoesAfterTheLastKeyOfItsSectionInTheFilesLineBreaks)
{
    WriteBytes(path_, "[a]\nk=1\n; next comes b\n\n[b]\nx=1\n");
    ini_.WriteIniKey("a", "j", "2");
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=1\nj=2\n; next comes b\n\n[b]\nx=1\n");

    WriteBytes(path_, "[a]\n[b]\nx=1\n");
    ini_.WriteIniKey("A", "j", "2");
    EXPECT_EQ(ReadBytes(path_), "[a]\nj=2\n[b]\nx=1\n");
}

TEST_F(IniWrite, NewSectionIsAppendedEvenWithoutFinalLineBreak)
{
    WriteBytes(path_, "[a]\nk=1");
    ini_.WriteIniKey("b", "x", "2");
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=1\n\n[b]\nx=2\n");

    WriteBytes(path_, "[a]");
    ini_.WriteIniKey("a", "x", "2");
    EXPECT_EQ(ReadBytes(path_), "[a]\r\nx=2\r\n");
}

TEST_F(IniWrite, MixedLineBreaksLoseNoLine)
{
    // New lines take the break of the line they follow.
    WriteBytes(path_, "[a]\nk=1\r\n[b]\n");
    ini_.WriteIniKey("a", "j", "2");
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=1\r\nj=2\r\n[b]\n");

    // Dropping k=1 would put the lone CR before the blank line's LF, which
    // reads as one CRLF: the blank line must survive.
    WriteBytes(path_, "[a]\rk=1\n\n[b]\n");
    ini_.DelIniKey("a", "k");
    EXPECT_EQ(ReadBytes(path_), "[a]\r\n\n[b]\n");
}

TEST_F(IniWrite, WritesTheEntryThatReadsFindFirst)
{
    WriteBytes(path_, "[a]\nk=1\nk=2\n[a]\nk=3\n");
    ini_.WriteIniKey("a", "k", "new");
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=new\nk=2\n[a]\nk=3\n");
}

TEST_F(IniWrite, TextsThatCouldNotBeReadBackAsWrittenAreNotWritten)
{
    const std::string before = "[a]\r\nk=1\r\n";
    WriteBytes(path_, before);
    ini_.WriteIniKey("a", "k", "\xF0\x9F\x98\x80");  // not in code page 936
    ini_.WriteIniKey("a", "k=j", "1");
    ini_.WriteIniKey("a", "k", "1\r\n[b]");
    ini_.WriteIniKey("a", "[k]", "1");
    ini_.WriteIniKey("a", ";k", "1");
    ini_.WriteIniKey("a", " ", "1");
    ini_.WriteIniKey("", "k", "1");
    EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(IniWrite, DeletingAKeyKeepsTheRestOfTheFile)
{
    WriteBytes(path_, "[a]\r\nk=1\r\n; note\r\nj=2\r\nK=3\r\n[b]\r\nk=4\r\n[A]\r\nk=5\r\n");
    ini_.DelIniKey("A", "k");
    EXPECT_EQ(ReadBytes(path_), "[a]\r\n; note\r\nj=2\r\n[b]\r\nk=4\r\n[A]\r\n");
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "");
    EXPECT_EQ(ini_.GetIniKey("a", "j"), "2");
    EXPECT_EQ(ini_.GetIniKey("b", "k"), "4");
}

TEST_F(IniWrite, DeletingASectionKeepsTheOtherSections)
{
    WriteBytes(path_, "; top\n[b]\nx=1\n[a]\nk=1\nj=2\n\n[c]\ny=3\n[A]\nk=4");
    ini_.DelIniSec("a");
    EXPECT_EQ(ReadBytes(path_), "; top\n[b]\nx=1\n[c]\ny=3\n");
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "");
    EXPECT_EQ(ini_.GetIniKey("a", "j"), "");
    EXPECT_EQ(ini_.GetIniKey("b", "x"), "1");
    EXPECT_EQ(ini_.GetIniKey("c", "y"), "3");
}

TEST_F(IniWrite, DeletingFromAMissingFileCreatesNothing)
{
    ini_.DelIniKey("a", "k");
    ini_.DelIniSec("a");
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(IniWrite, DeletingSomethingAbsentLeavesTheFileAlone)
{
    WriteBytes(path_, "[a]\nk=1\n");
    fs::last_write_time(path_, fs::file_time_type::clock::now() - std::chrono::hours(1));
    const auto stamp = fs::last_write_time(path_);
    ini_.DelIniKey("a", "j");
    ini_.DelIniKey("b", "k");
    ini_.DelIniSec("b");
    EXPECT_EQ(fs::last_write_time(path_), stamp);
}

TEST_F(IniWrite, KeepsPermissionsAndWritesThroughSymbolicLinks)
{
    WriteBytes(path_, "[a]\nk=1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("settings.ini", dir_.File("link.ini"));  // relative target

    classIniFile viaLink;
    viaLink.INIFileName(dir_.File("link.ini"));
    viaLink.WriteIniKey("a", "k", "2");

    EXPECT_TRUE(fs::is_symlink(dir_.File("link.ini")));
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=2\n");
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(IniWrite, WriteProtectedFileAndMissingFolderAreLeftAlone)
{
    WriteBytes(path_, "[a]\nk=1\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
    ini_.WriteIniKey("a", "k", "2");
    ini_.DelIniKey("a", "k");
    ini_.DelIniSec("a");
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=1\n");

    classIniFile nowhere;
    nowhere.INIFileName(dir_.File("missing/settings.ini"));
    nowhere.WriteIniKey("a", "k", "1");
    EXPECT_FALSE(fs::exists(dir_.File("missing")));
    EXPECT_EQ(Leftovers(), std::vector<std::string>{});
}

TEST_F(IniWrite, AFullDiskLeavesTheOldFileWholeAndNoTemporaryFile)
{
    const std::string before = "[a]\nk=1\n";
    WriteBytes(path_, before);

    // A file size limit makes write() fail like a full disk does.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = saved;
    tight.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    ini_.WriteIniKey("a", "k", std::string(100, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_TRUE(Leftovers().empty());
}

}  // namespace
}  // namespace gaspipe
