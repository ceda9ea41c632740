#include "atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gaspipe::fileio {

bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string target = FollowLinks(path);
    if (!detail::Replaceable(target, error)) return false;
    const auto file = AtomicFile::Create(target, error);
    if (!file) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file->stream()) != bytes.size()) {
        error = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    return file->Commit(error);
}

}  // namespace gaspipe::fileio
