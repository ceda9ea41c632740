// The operating-system services the tool needs beyond the C library; one
// implementation file per platform.
#pragma once

#include <cstdio>
#include <string>

namespace gaspipe::cli {

// Standard descriptors that were closed at start are held open on a
// read-only /dev/null, so that no file the tool opens takes their place and
// writing to them fails as writing to a closed stream does.
void GuardStandardStreams();

// Directory of the running executable, where PipeParameters.Ini is shipped.
std::string ExecutableDirectory();

// True when stream is open on the file that path names (links followed).
bool IsSameFile(std::FILE* stream, const std::string& path);

// What an output path names now. A file without write permission is not
// replaced, as a plain write would fail on it.
enum class OutputKind { None, WritableFile, ReadOnlyFile, Special };
OutputKind KindOfOutput(const std::string& path);

}  // namespace gaspipe::cli
