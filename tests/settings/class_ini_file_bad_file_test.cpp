#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "class_ini_file.h"
#include "ini_storage.h"
#include "ini_test_util.h"

namespace gaspipe {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

constexpr const char* kReplacement = "\xEF\xBF\xBD";

class LimitGuard {
public:
    explicit LimitGuard(std::size_t bytes) { ini_storage::SetMaxFileBytesForTesting(bytes); }
    ~LimitGuard() { ini_storage::SetMaxFileBytesForTesting(ini_storage::kDefaultMaxFileBytes); }
    LimitGuard(const LimitGuard&) = delete;
    LimitGuard& operator=(const LimitGuard&) = delete;
};

class BadFile : public ::testing::Test {
protected:
    BadFile() { ini_.INIFileName(path_); }

    std::string Read(const std::string& fileBytes, const std::string& section, const std::string& key)
    {
        WriteBytes(path_, fileBytes);
        return ini_.GetIniKey(section, key);
    }

    test::TempDir dir_;
    std::string path_ = dir_.File("settings.ini");
    classIniFile ini_;
};

TEST_F(BadFile, BinaryGarbageAroundTheEntryDoesNotHideIt)
{
    std::mt19937 random(936);
    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage += static_cast<char>(random() & 0xFF);
    // The garbage may open sections of its own; the entry follows a line break.
    EXPECT_EQ(Read(garbage + "\n[a]\nk=1\n" + garbage, "a", "k"), "1");
    EXPECT_EQ(Read(garbage, "a", "k"), "");
}

TEST_F(BadFile, InvalidCodePage936SequencesBecomeReplacementCharacters)
{
    // A lead byte before '0', an unassigned pair, a lead byte at the end.
    EXPECT_EQ(Read("[a]\nk=x\x81" "0y\n", "a", "k"), std::string("x") + kReplacement + "0y");
    EXPECT_EQ(Read("[a]\nk=x\xAA\xA1y\n", "a", "k"), std::string("x") + kReplacement + "y");
    EXPECT_EQ(Read("[a]\nk=xy\x81", "a", "k"), std::string("xy") + kReplacement);
    EXPECT_EQ(Read("[a]\nk=\xFF\n", "a", "k"), kReplacement);
}

TEST_F(BadFile, TrailByteThatLooksLikeABracketDoesNotCloseASectionName)
{
    // 0xB0 0x5D is one character; its second byte is ']'. The line is no
    // section header, so j still belongs to [a].
    EXPECT_EQ(Read("[a]\nk=1\n[\xB0\x5D\nj=2\n", "a", "j"), "2");
}

TEST_F(BadFile, LinesOfMegabytesAreReadWhole)
{
    const std::string huge(4 << 20, 'v');
    EXPECT_EQ(Read("x=" + huge + "\n[a]\nk=1\n", "a", "k"), "1");
    EXPECT_EQ(Read("[a]\nk=" + huge + "\n", "a", "k"), std::string(1023, 'v'));
    EXPECT_EQ(Read("[a]\n" + huge + "=2\nk=1\n", "a", "k"), "1");
}

TEST_F(BadFile, FileAboveTheSizeLimitReadsAsMissingAndIsNotRewritten)
{
    const std::string file = "[a]\nk=1\n";
    {
        LimitGuard limit(file.size());
        EXPECT_EQ(Read(file, "a", "k"), "1");
    }
    {
        LimitGuard limit(file.size() - 1);
        EXPECT_EQ(Read(file, "a", "k"), "");
        ini_.WriteIniKey("a", "j", "2");
        ini_.DelIniSec("a");
        EXPECT_EQ(ReadBytes(path_), file);
    }
}

TEST_F(BadFile, SparseFileOfHundredsOfMegabytesReadsAsMissingAtOnce)
{
    WriteBytes(path_, "[a]\nk=1\n");
    fs::resize_file(path_, 300u << 20);
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "");
    ini_.WriteIniKey("a", "k", "2");
    EXPECT_EQ(fs::file_size(path_), 300u << 20);

    fs::resize_file(path_, ini_storage::kDefaultMaxFileBytes);
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "1") << "the default limit itself is allowed";
}

TEST_F(BadFile, FoldersFifosAndDevicesReadAsMissingWithoutWaiting)
{
    classIniFile ini;
    ini.INIFileName(dir_.path().string());
    EXPECT_EQ(ini.GetIniKey("a", "k"), "");
    ini.WriteIniKey("a", "k", "1");
    EXPECT_TRUE(fs::is_directory(dir_.path()));

    const std::string fifo = dir_.File("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ini.INIFileName(fifo);
    EXPECT_EQ(ini.GetIniKey("a", "k"), "");
    ini.WriteIniKey("a", "k", "1");
    EXPECT_TRUE(fs::is_fifo(fifo));

    ini.INIFileName("/dev/zero");
    EXPECT_EQ(ini.GetIniKey("a", "k"), "");
}

TEST_F(BadFile, SymbolicLinkLoopIsNeitherReadNorReplaced)
{
    fs::create_symlink("b.ini", dir_.File("a.ini"));
    fs::create_symlink("a.ini", dir_.File("b.ini"));
    classIniFile ini;
    ini.INIFileName(dir_.File("a.ini"));
    EXPECT_EQ(ini.GetIniKey("a", "k"), "");
    ini.WriteIniKey("a", "k", "1");
    EXPECT_TRUE(fs::is_symlink(dir_.File("a.ini")));
    EXPECT_TRUE(fs::is_symlink(dir_.File("b.ini")));
}

}  // namespace
}  // namespace gaspipe
