// Whole-file reading and replacement of INI files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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

// What tells one version of a file from another without reading it: a
// replacement changes the inode, a write the size or the times.
struct FileState {
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0, changedNanoseconds = 0;
    bool operator==(const FileState&) const = default;
};

// What made a file Unusable, for a caller that names it in its own words.
enum class UnusableWhy { System, NotRegular, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    UnusableWhy why = UnusableWhy::System;  // when Unusable
    std::string bytes;
    FileState state;      // of the file as it was opened, when Ok
    std::string problem;  // why not, for a message: "Permission denied", ...
};

ReadResult ReadWholeFile(const std::string& path);
// The same with a limit of the caller's (a case file's) instead of MaxFileBytes().
ReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes);

// The state of the file path names now (links followed); nullopt when there is none.
std::optional<FileState> StatFile(const std::string& path);

// Replaces the file at path (no symbolic link) with bytes, whole or not at
// all (fileio::AtomicFile). Returns false, with the old file untouched and no
// temporary file left, when any step fails or the file is write-protected.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace gaspipe::ini_storage
