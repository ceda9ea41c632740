#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform.h"

namespace gaspipe::cli {

void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) continue;
        // open() takes the lowest free descriptor, which is fd itself.
        const int held = ::open("/dev/null", O_RDONLY);
        if (held != -1 && held != fd) ::close(held);
    }
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void WidenPipe(std::FILE* stream) {
#ifdef F_SETPIPE_SZ  // Linux
    struct stat st {};
    const int fd = ::fileno(stream);
    if (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode)) ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#else
    (void)stream;
#endif
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* address = library ? ::dlsym(library, symbol) : nullptr;
    if (!address) {
        const char* why = ::dlerror();
        error = why ? why : path + ": no " + symbol;
    }
    return address;
}

std::string ExecutableDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

namespace {

std::optional<FileId> IdOf(const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return std::nullopt;
    return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

std::optional<FileId> IdOfFile(std::FILE* stream) {
    struct stat st {};
    return ::fstat(::fileno(stream), &st) == 0 ? IdOf(st) : std::nullopt;
}

std::optional<FileId> IdOfFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? IdOf(st) : std::nullopt;
}

OutputKind KindOfOutput(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return OutputKind::None;
    if (!S_ISREG(st.st_mode)) return OutputKind::Special;
    return ::access(path.c_str(), W_OK) == 0 ? OutputKind::WritableFile : OutputKind::ReadOnlyFile;
}

}  // namespace gaspipe::cli
