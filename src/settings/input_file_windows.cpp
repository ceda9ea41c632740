#include <algorithm>
#include <cerrno>
#include <cstring>

#include "input_file.h"
#include "windows_paths.h"

namespace gaspipe::ini_storage::detail {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows counts 100 ns ticks; the state keeps seconds and nanoseconds.
void SplitTime(LONGLONG ticks, std::int64_t& seconds, std::int64_t& nanoseconds) {
    seconds = ticks / 10'000'000;
    nanoseconds = ticks % 10'000'000 * 100;
}

// Folders open only with backup semantics; they are then refused as not
// regular files rather than with a misleading "Permission denied".
HANDLE Open(const std::string& path, DWORD access) {
    return ::CreateFileW(fileio::Widen(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool StateOf(HANDLE h, FileState& state, bool& regular) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO times{};
    if (!::GetFileInformationByHandle(h, &info) ||
        !::GetFileInformationByHandleEx(h, FileBasicInfo, &times, sizeof times))
        return false;
    regular =
        ::GetFileType(h) == FILE_TYPE_DISK && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    state.device = info.dwVolumeSerialNumber;
    state.inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    state.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    SplitTime(times.LastWriteTime.QuadPart, state.modifiedSeconds, state.modifiedNanoseconds);
    SplitTime(times.ChangeTime.QuadPart, state.changedSeconds, state.changedNanoseconds);
    return true;
}

}  // namespace

InputFile::InputFile(const std::string& path) {
    const HANDLE h = Open(path, GENERIC_READ);
    if (h == INVALID_HANDLE_VALUE) {
        const int error = fileio::ErrnoOf(::GetLastError());
        status_ = error == ENOENT ? ReadStatus::Missing : ReadStatus::Unusable;
        problem_ = std::strerror(error);
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    if (!StateOf(h, state_, regular_)) {
        status_ = ReadStatus::Unusable;
        problem_ = std::strerror(fileio::ErrnoOf(::GetLastError()));
    }
}

InputFile::~InputFile() {
    if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

long long InputFile::Read(char* buffer, std::size_t size) {
    DWORD got = 0;
    const auto want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, nullptr)) {
        problem_ = std::strerror(fileio::ErrnoOf(::GetLastError()));
        return -1;
    }
    return got;
}

std::optional<FileState> StatPath(const std::string& path) {
    const HANDLE h = Open(path, 0);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    FileState state;
    bool regular = false;
    const bool ok = StateOf(h, state, regular);
    ::CloseHandle(h);
    if (!ok) return std::nullopt;
    return state;
}

}  // namespace gaspipe::ini_storage::detail
