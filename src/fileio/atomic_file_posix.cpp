#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "atomic_file.h"
#include "temporary_name.h"

namespace gaspipe::fileio {

namespace {

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// Removes temporary files of base whose writer has died (killed midway).
void RemoveStale(const std::string& dir, const std::string& base) {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return;
    while (const dirent* entry = ::readdir(d)) {
        const auto pid = detail::WriterOf(entry->d_name, base);
        if (pid && ::kill(static_cast<pid_t>(*pid), 0) != 0 && errno == ESRCH)
            (void)::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
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
        std::string temporary = detail::TemporaryName(dir, base, ::getpid());
        // Mode 0666 less the umask, as a plain new file would get.
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error = std::strerror(errno);
            return nullptr;
        }
        std::FILE* stream = ::fdopen(fd, "wb");
        if (stream == nullptr) {
            error = std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
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
    ::unlink(temporary_.c_str());
}

bool AtomicFile::Commit(std::string& error) {
    std::FILE* stream = stream_;
    stream_ = nullptr;
    const int fd = ::fileno(stream);
    bool ok = std::fflush(stream) == 0 && !std::ferror(stream);
    struct stat old {};
    if (ok && ::stat(target_.c_str(), &old) == 0) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Only root may give the file back to another owner; for anyone
            // else the new file keeps theirs, which is still usable.
            (void)::fchown(fd, old.st_uid, old.st_gid);
        }
        // After fchown, which clears set-id bits.
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    int saved = errno;
    // close() can report a deferred write error.
    if (std::fclose(stream) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        error = std::strerror(saved != 0 ? saved : EIO);
        ::unlink(temporary_.c_str());
        return false;
    }
    // Make the rename itself durable; the data is already safe either way.
    const int dir = ::open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

namespace detail {

bool Replaceable(const std::string& target, std::string& error) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) return true;
    if (!S_ISREG(old.st_mode)) {
        error = std::strerror(S_ISDIR(old.st_mode) ? EISDIR : EINVAL);
        return false;
    }
    // A file without any write permission counts as write-protected even
    // for root, like a read-only file on Windows.
    if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
        error = std::strerror(EACCES);
        return false;
    }
    return true;
}

}  // namespace detail

std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return current;
        target.resize(static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : DirectoryOf(current) + "/" + target;
    }
    return current;  // a loop: the write then fails on the link itself
}

}  // namespace gaspipe::fileio
