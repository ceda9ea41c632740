#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "input_file.h"

namespace gaspipe::ini_storage::detail {
namespace {

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

InputFile::InputFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        status_ = error == ENOENT || error == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unusable;
        problem_ = std::strerror(error);
        return;
    }
    handle_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        status_ = ReadStatus::Unusable;
        problem_ = std::strerror(errno);
        return;
    }
    regular_ = S_ISREG(st.st_mode);
    state_ = StateOf(st);
}

InputFile::~InputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

long long InputFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        problem_ = std::strerror(errno);
        return -1;
    }
}

std::optional<FileState> StatPath(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StateOf(st);
}

}  // namespace gaspipe::ini_storage::detail
