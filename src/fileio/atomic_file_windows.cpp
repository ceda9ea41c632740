#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>

#include "atomic_file.h"
#include "temporary_name.h"
#include "windows_paths.h"

namespace gaspipe::fileio {

namespace {

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = LastSeparator(path);
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ErrorText(DWORD error) { return std::strerror(ErrnoOf(error)); }

// Wine's ReplaceFileW fails on relative names; Windows takes either.
std::wstring FullPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0) return wide;
    std::wstring full(n, L'\0');
    const DWORD written = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (written == 0 || written >= n) return wide;
    full.resize(written);
    return full;
}

bool Running(DWORD pid) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return ::GetLastError() != ERROR_INVALID_PARAMETER;
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

// Removes temporary files of base whose writer has died (killed midway).
void RemoveStale(const std::string& dir, const std::string& base) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = ::FindFirstFileW(Widen(dir + "/." + base + ".*.tmp").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = Narrow(entry.cFileName);
        const auto pid = detail::WriterOf(name, base);
        if (pid && !Running(static_cast<DWORD>(*pid)))
            ::DeleteFileW(Widen(dir + "/" + name).c_str());
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

// Puts temporary in place of target. ReplaceFileW keeps the target's
// attributes and access control list; where the file system cannot do that
// (or the target is new) the plain rename is still atomic.
bool PutInPlace(const std::wstring& temporary, const std::wstring& target, DWORD& error) {
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                       nullptr))
        return true;
    if (::MoveFileExW(temporary.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = ::GetLastError();
    return false;
}

}  // namespace

std::unique_ptr<AtomicFile> AtomicFile::Create(const std::string& target, std::string& error) {
    const std::string dir = DirectoryOf(target);
    const std::string base = BaseOf(target);
    if (base.empty()) {
        error = std::strerror(EISDIR);
        return nullptr;
    }
    RemoveStale(dir, base);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temporary = detail::TemporaryName(dir, base, ::GetCurrentProcessId());
        const std::wstring wide = Widen(temporary);
        // Not shared: nobody reads a half-written version.
        const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_FILE_EXISTS) continue;
            error = ErrorText(code);
            return nullptr;
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
        std::FILE* stream = fd < 0 ? nullptr : ::_fdopen(fd, "wb");
        if (stream == nullptr) {
            error = std::strerror(errno != 0 ? errno : EIO);
            if (fd < 0)
                ::CloseHandle(h);
            else
                ::_close(fd);
            ::DeleteFileW(wide.c_str());
            return nullptr;
        }
        return std::unique_ptr<AtomicFile>(new AtomicFile(target, std::move(temporary), stream));
    }
    error = std::strerror(EEXIST);
    return nullptr;
}

AtomicFile::~AtomicFile() {
    if (stream_ == nullptr) return;
    std::fclose(stream_);
    ::DeleteFileW(Widen(temporary_).c_str());
}

bool AtomicFile::Commit(std::string& error) {
    std::FILE* stream = stream_;
    stream_ = nullptr;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    bool ok = std::fflush(stream) == 0 && !std::ferror(stream);
    int saved = ok ? 0 : errno;
    if (ok && !::FlushFileBuffers(handle)) {
        ok = false;
        saved = ErrnoOf(::GetLastError());
    }
    if (std::fclose(stream) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    const std::wstring temporary = Widen(temporary_);
    if (ok) {
        const DWORD attributes = ::GetFileAttributesW(Widen(target_).c_str());
        DWORD code = 0;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            ok = false;
            saved = EACCES;
        } else if (!PutInPlace(FullPath(temporary_), FullPath(target_), code)) {
            ok = false;
            saved = ErrnoOf(code);
        }
    }
    if (!ok) {
        error = std::strerror(saved != 0 ? saved : EIO);
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

namespace detail {

bool Replaceable(const std::string& target, std::string& error) {
    switch (KindOf(target)) {
        case PathKind::None:
        case PathKind::File:
            return true;
        case PathKind::Directory:
            error = std::strerror(EISDIR);
            return false;
        case PathKind::Other:
            error = std::strerror(EINVAL);
            return false;
        case PathKind::ReadOnlyFile:
            // The read-only attribute is Windows' write protection.
            error = std::strerror(EACCES);
            return false;
    }
    return false;
}

}  // namespace detail

std::string FollowLinks(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path;
    const HANDLE h =
        ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return path;  // a dangling link: the write fails on it
    std::wstring final(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()), 0);
    if (n >= final.size()) {
        final.resize(n);
        n = ::GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()), 0);
    }
    ::CloseHandle(h);
    if (n == 0 || n >= final.size()) return path;
    final.resize(n);
    // Without the \\?\ prefix, under which '/' would not separate the
    // temporary file's name from its folder.
    if (final.starts_with(L"\\\\?\\UNC\\")) return Narrow(L"\\\\" + final.substr(8));
    if (final.starts_with(L"\\\\?\\")) return Narrow(final.substr(4));
    return Narrow(final);
}

}  // namespace gaspipe::fileio
