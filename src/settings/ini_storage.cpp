#include "ini_storage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "atomic_file.h"

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

  private:
    int fd_;
};

FileState StateOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size),
            st.st_mtim.tv_sec,
            st.st_mtim.tv_nsec,
            st.st_ctim.tv_sec,
            st.st_ctim.tv_nsec};
}
}  // namespace

std::size_t MaxFileBytes() { return maxFileBytes.load(); }
void SetMaxFileBytesForTesting(std::size_t bytes) { maxFileBytes.store(bytes); }

ReadResult ReadWholeFile(const std::string& path) {
    ReadResult result;
    const auto fail = [&](ReadStatus status, std::string problem) {
        result.status = status;
        result.problem = std::move(problem);
        return std::move(result);
    };
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        const int error = errno;
        return fail(
            error == ENOENT || error == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unusable,
            std::strerror(error));
    }
    struct stat st {};
    const std::size_t limit = MaxFileBytes();
    if (::fstat(fd.get(), &st) != 0) return fail(ReadStatus::Unusable, std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return fail(ReadStatus::Unusable, "not a regular file");
    const std::string tooLarge = "larger than " + std::to_string(limit) + " bytes";
    if (static_cast<std::size_t>(st.st_size) > limit) return fail(ReadStatus::Unusable, tooLarge);
    result.state = StateOf(st);
    // The size may change while reading; never take more than the limit.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > limit) return fail(ReadStatus::Unusable, tooLarge);
            bytes.resize(std::min(limit + 1, bytes.size() * 2));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(ReadStatus::Unusable, std::strerror(errno));
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) return fail(ReadStatus::Unusable, tooLarge);
    bytes.resize(got);
    result.status = ReadStatus::Ok;
    result.bytes = std::move(bytes);
    return result;
}

std::optional<FileState> StatFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StateOf(st);
}

bool ReplaceFile(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.back() == '/') return false;
    std::string error;
    return fileio::WriteWholeFile(path, bytes, error);
}

}  // namespace gaspipe::ini_storage
