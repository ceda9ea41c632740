// What only POSIX has: symbolic links, file modes, a file size limit, FIFOs.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <string>

#include "ini_test_util.h"

namespace gaspipe::test {

using IniWrite = IniTest;

TEST_F(IniWrite, ReplacementKeepsPermissionsAndWritesThroughSymbolicLinks) {
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    WriteBytes(path_, "[a]\nk=1\n");
    fs::permissions(path_, mode);
    fs::create_symlink("settings.ini", dir_ / "link.ini");  // relative target
    ini_.INIFileName((dir_ / "link.ini").string());
    ini_.WriteIniKey("a", "k", "2");
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=2\n");
    EXPECT_EQ(fs::status(path_).permissions(), mode);
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(IniWrite, AFullDiskLeavesTheFileUntouched) {
    const std::string before = "[a]\nk=1\n";
    WriteBytes(path_, before);
    // A file size limit makes write() fail as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit tight{16, saved.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    ini_.WriteIniKey("a", "k", std::string(100, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(Entries(), 1u);
}

TEST_F(IniWrite, AFifoIsNeitherWaitedForNorReplaced) {
    ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
    EXPECT_EQ(ini_.GetIniKey("a", "k"), "");  // at once, though the FIFO has no writer
    ini_.WriteIniKey("a", "k", "1");
    EXPECT_TRUE(fs::is_fifo(path_));
}

}  // namespace gaspipe::test
