#include <gtest/gtest.h>

#include "test_platform.h"
#include "windows_paths.h"

namespace gaspipe::test {

std::string Gbk(const std::string& utf8) {
    const std::wstring wide = fileio::Widen(utf8);
    std::string out(wide.size() * 2, '\0');
    BOOL substituted = FALSE;
    const int n =
        ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                              out.data(), static_cast<int>(out.size()), nullptr, &substituted);
    EXPECT_TRUE(n > 0 && !substituted) << utf8;
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

long CurrentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

// This test program itself, run once more to list its tests and end.
long EndedProcessId() {
    wchar_t self[MAX_PATH];
    EXPECT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_list_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // no handles: its output goes nowhere
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                 nullptr, nullptr, &startup, &process));
    ::WaitForSingleObject(process.hProcess, INFINITE);
    const DWORD id = process.dwProcessId;
    // Once the last handle is closed the id may be given to a new process;
    // a test needs it only for a moment.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<long>(id);
}

}  // namespace gaspipe::test
