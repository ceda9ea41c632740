// The operating-system services the tool needs beyond the C library; one
// implementation file per platform.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace gaspipe::cli {

// Standard descriptors that were closed at start are held open on a
// read-only null device, so that no file the tool opens takes their place and
// writing to them fails as writing to a closed stream does. On Windows the
// streams are also put in binary mode, so that CSV and report lines go out
// byte for byte, and the console shows UTF-8.
void GuardStandardStreams();

// The arguments as UTF-8. On Windows they come from the wide command line:
// the narrow one has already lost what the ANSI code page cannot hold.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Asks for a larger buffer where stream is a pipe, so that a stream of many
// megabytes passes in fewer, larger steps; elsewhere, or where the system
// refuses, nothing changes.
void WidenPipe(std::FILE* stream);

// A file by its UTF-8 name, as std::fopen opens it (a wide name on Windows).
std::FILE* OpenFile(const std::string& path, const char* mode);

// The address of symbol in the shared library at path, which stays loaded
// for the rest of the run; null, with the reason in error, when either cannot
// be found.
void* LoadLibrarySymbol(const std::string& path, const char* symbol, std::string& error);

// Directory of the running executable, where PipeParameters.Ini is shipped.
std::string ExecutableDirectory();

// Which regular file a stream is open on, or a path names (links
// followed), so that one file is told under any of its names; none for
// anything else (no such file, a device, a pipe).
struct FileId {
    std::uint64_t volume = 0, index = 0;
    bool operator==(const FileId&) const = default;
};
std::optional<FileId> IdOfFile(std::FILE* stream);
std::optional<FileId> IdOfFile(const std::string& path);

// What an output path names now. A file without write permission is not
// replaced, as a plain write would fail on it.
enum class OutputKind { None, WritableFile, ReadOnlyFile, Special };
OutputKind KindOfOutput(const std::string& path);

}  // namespace gaspipe::cli
