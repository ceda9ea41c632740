#include "ini_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>

namespace gaspipe::ini_storage {
namespace {

std::atomic<std::size_t> maxFileBytes{kDefaultMaxFileBytes};

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // close() can report a deferred write error, so the writer checks it.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Creates a new file beside path with mode 0666 less the umask, as a plain
// new file would get.
int CreateTemporary(const std::string& path, std::string& tempPath) {
    const std::string dir = DirectoryOf(path);
    const std::string base = path.substr(path.rfind('/') + 1);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto stamp = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        tempPath = dir + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter++) + "-" + std::to_string(stamp % 1000000);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

std::size_t MaxFileBytes() { return maxFileBytes.load(); }
void SetMaxFileBytesForTesting(std::size_t bytes) { maxFileBytes.store(bytes); }

ReadResult ReadWholeFile(const std::string& path) {
    ReadResult result;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        result.status =
            (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unusable;
        return result;
    }
    result.status = ReadStatus::Unusable;
    struct stat st {};
    const std::size_t limit = MaxFileBytes();
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > limit) {
        return result;
    }
    // The size may change while reading; never take more than the limit.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > limit) return result;
            bytes.resize(std::min(limit + 1, bytes.size() * 2));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return result;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) return result;
    bytes.resize(got);
    result.status = ReadStatus::Ok;
    result.bytes = std::move(bytes);
    return result;
}

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

bool ReplaceFile(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.back() == '/') return false;
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) return false;
        // A file without any write permission counts as write-protected even
        // for root, like a read-only file on the original platform.
        if ((old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) return false;
    }

    std::string tempPath;
    Fd fd(CreateTemporary(path, tempPath));
    if (fd.get() < 0) return false;
    bool ok = WriteAll(fd.get(), bytes);
    if (ok && exists) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            // Only root may give the file back to another owner; for anyone
            // else the new file keeps theirs, which is still usable.
            (void)::fchown(fd.get(), old.st_uid, old.st_gid);
        }
        // After fchown, which clears set-id bits.
        ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.Close() && ok;
    if (ok) ok = ::rename(tempPath.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tempPath.c_str());
        return false;
    }
    // Make the rename itself durable; the data is already safe either way.
    Fd dir(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) (void)::fsync(dir.get());
    return true;
}

}  // namespace gaspipe::ini_storage
