// What the Windows implementation files share: UTF-8 paths as the UTF-16 of
// the Windows API, Windows errors as errno values (so messages read as on
// POSIX), and what a path names. Windows only.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace gaspipe::fileio {

// Empty when utf8 is not valid UTF-8, which then names no file.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// The errno value of a Windows error code, EIO for one without a match.
int ErrnoOf(DWORD error);

enum class PathKind { None, File, ReadOnlyFile, Directory, Other };
// What path names now, links followed: a device or a pipe is Other.
PathKind KindOf(const std::string& path);

}  // namespace gaspipe::fileio
