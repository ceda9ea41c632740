#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform.h"
#include "windows_paths.h"

// After windows.h: shellapi.h needs its types.
#include <shellapi.h>

namespace gaspipe::cli {

namespace {

UINT consoleOutputCodePage = 0;

// The console keeps its code page after the tool ends; the shell that
// started it gets its own back.
void RestoreConsoleOutputCodePage() { ::SetConsoleOutputCP(consoleOutputCodePage); }

}  // namespace

void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::_get_osfhandle(fd) >= 0) continue;
        const int held = ::_wopen(L"NUL", _O_RDONLY | _O_BINARY);
        if (held >= 0 && held != fd) {
            ::_dup2(held, fd);
            ::_close(held);
        }
    }
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // Whole blocks to anything but a console, as glibc writes them: a batch
    // is not written row by row, and a failed write shows when the last
    // block is flushed, with its reason.
    const auto out = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stdout)));
    DWORD mode = 0;
    if (!::GetConsoleMode(out, &mode)) std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
    consoleOutputCodePage = ::GetConsoleOutputCP();
    if (consoleOutputCodePage != 0 && consoleOutputCodePage != CP_UTF8 &&
        ::SetConsoleOutputCP(CP_UTF8))
        std::atexit(RestoreConsoleOutputCodePage);
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    args.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) args.push_back(fileio::Narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

void WidenPipe(std::FILE*) {}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::wstring widePath = fileio::Widen(path);
    if (widePath.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    return ::_wfopen(widePath.c_str(), fileio::Widen(mode).c_str());
}

void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error) {
    // The library's own dependencies are looked for beside it.
    const HMODULE library =
        ::LoadLibraryExW(fileio::Widen(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    FARPROC address = library ? ::GetProcAddress(library, symbol) : nullptr;
    if (!address) {
        const DWORD code = ::GetLastError();  // before anything else can reset it
        error = path + ": " + (library ? "no " + std::string(symbol) : "cannot be loaded") +
                " (Windows error " + std::to_string(code) + ")";
        return nullptr;
    }
    return reinterpret_cast<void*>(address);
}

std::string ExecutableDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return ".";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "." : fileio::Narrow(path.substr(0, slash));
}

namespace {

std::optional<FileId> IdOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileId{info.dwVolumeSerialNumber,
                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileId> IdOfFile(std::FILE* stream) {
    return IdOf(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream))));
}

std::optional<FileId> IdOfFile(const std::string& path) {
    const HANDLE named = ::CreateFileW(fileio::Widen(path).c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) return std::nullopt;
    const auto id = IdOf(named);
    ::CloseHandle(named);
    return id;
}

OutputKind KindOfOutput(const std::string& path) {
    switch (fileio::KindOf(path)) {
        case fileio::PathKind::None:
            return OutputKind::None;
        case fileio::PathKind::File:
            return OutputKind::WritableFile;
        case fileio::PathKind::ReadOnlyFile:
            return OutputKind::ReadOnlyFile;
        default:
            return OutputKind::Special;
    }
}

}  // namespace gaspipe::cli
