// A file written whole or not at all. The new content goes to a temporary
// file beside the target, and one rename puts it in place once it is written
// and flushed to disk: readers see the old file or the new one, never a part,
// and a writer that fails or is killed leaves the old file as it was.
//
// Temporary files are named ".<target name>.<pid>-<8 hex digits>.tmp", so a
// writer killed midway leaves a file that says whose it was; the next writer
// of the same target removes those whose process no longer runs.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace gaspipe::fileio {

class AtomicFile {
  public:
    // Starts a new version of target, a regular file or none yet (no
    // symbolic link: see FollowLinks). nullptr, with the reason in error,
    // when no temporary file can be made.
    static std::unique_ptr<AtomicFile> Create(const std::string& target, std::string& error);
    ~AtomicFile();  // an uncommitted version is thrown away
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Where the new content is written.
    std::FILE* stream() const { return stream_; }

    // Puts the new version in place, with an existing target's permissions
    // and owner (on Windows its attributes and access control list). false,
    // with the reason in error, leaves the target as it was.
    bool Commit(std::string& error);

  private:
    AtomicFile(std::string target, std::string temporary, std::FILE* stream)
        : target_(std::move(target)), temporary_(std::move(temporary)), stream_(stream) {}

    std::string target_, temporary_;
    std::FILE* stream_;
};

// Replaces the file at path (symbolic links followed) with bytes, whole or not
// at all. An existing target that is not a regular file or has no write
// permission is refused, like a read-only file. false, with the reason in
// error, leaves the old file as it was.
bool WriteWholeFile(const std::string& path, std::string_view bytes, std::string& error);

namespace detail {
// The platform's part of WriteWholeFile: whether the file at target (links
// already followed) may be replaced; false with the reason in error.
bool Replaceable(const std::string& target, std::string& error);
}  // namespace detail

// path with symbolic links of its last component followed, so that replacing
// the result keeps the link.
std::string FollowLinks(const std::string& path);

}  // namespace gaspipe::fileio
