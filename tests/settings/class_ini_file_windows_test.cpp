// The Windows counterparts of the POSIX-only cases, and the cases Windows
// has none for, skipped.
#include <gtest/gtest.h>

#include <string>

#include "ini_test_util.h"
#include "windows_paths.h"

namespace gaspipe::test {

using IniWrite = IniTest;

// Windows keeps a replaced file's access control list itself (ReplaceFileW);
// what is left to check is that a link is written through, not replaced.
TEST_F(IniWrite, ReplacementWritesThroughSymbolicLinks) {
    WriteBytes(path_, "[a]\nk=1\n");
    const std::wstring link = fileio::Widen((dir_ / "link.ini").string());
    const auto isLink = [&] {
        const DWORD attributes = ::GetFileAttributesW(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    };
    if (!::CreateSymbolicLinkW(link.c_str(), L"settings.ini",
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        !isLink())
        GTEST_SKIP() << "no symbolic link a program sees as one can be made here "
                        "(Windows without developer mode, or Wine)";
    ini_.INIFileName((dir_ / "link.ini").string());
    ini_.WriteIniKey("a", "k", "2");
    EXPECT_TRUE(isLink());
    EXPECT_EQ(ReadBytes(path_), "[a]\nk=2\n");
    EXPECT_EQ(Entries(), 2u);
}

TEST_F(IniWrite, AFullDiskLeavesTheFileUntouched) {
    GTEST_SKIP() << "Windows has no per-process file size limit to make a write fail as a "
                    "full disk does";
}

// A pipe is what a FIFO is on Windows: reading it would wait for a writer.
TEST_F(IniWrite, APipeIsNeitherWaitedForNorReplaced) {
    const std::string name = "\\\\.\\pipe\\gaspipe-test-" + std::to_string(CurrentProcessId());
    const HANDLE pipe = ::CreateNamedPipeW(fileio::Widen(name).c_str(), PIPE_ACCESS_OUTBOUND,
                                           PIPE_TYPE_BYTE | PIPE_NOWAIT, 4, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    classIniFile ini;
    ini.INIFileName(name);
    EXPECT_EQ(ini.GetIniKey("a", "k"), "");  // at once, though nothing is written to it
    ini.WriteIniKey("a", "k", "1");
    EXPECT_EQ(Entries(), 0u);
    ::CloseHandle(pipe);
}

}  // namespace gaspipe::test
