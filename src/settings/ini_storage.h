// Whole-file reading and replacement of INI files (POSIX).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gaspipe::ini_storage {

// Settings files are a few kilobytes; anything above this is not one, and
// reading it would only cost memory and time. Such a file reads as missing.
inline constexpr std::size_t kDefaultMaxFileBytes = 16u << 20;

// Lets tests lower the limit; not for the program.
std::size_t MaxFileBytes();
void SetMaxFileBytesForTesting(std::size_t bytes);

enum class ReadStatus {
    Ok,
    Missing,   // no such file (or no such folder)
    Unusable,  // exists but cannot be read whole: no permission, too large, not a regular file
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

ReadResult ReadWholeFile(const std::string& path);

// Replaces the file at path (no symbolic link) with bytes, whole or not at
// all (fileio::AtomicFile). Returns false, with the old file untouched and no
// temporary file left, when any step fails or the file is write-protected.
bool ReplaceFile(const std::string& path, std::string_view bytes);

}  // namespace gaspipe::ini_storage
