// Where a command writes its results: standard output, or the file given
// with -o, as batch and network write them. A file is written beside its
// target and put in place only when the run succeeds (fileio::AtomicFile),
// so a run that fails leaves an earlier file as it was; a device or a pipe
// (-o /dev/null) is written directly. An output that is the command's input
// file, under any name, is refused before anything is written.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "atomic_file.h"
#include "platform.h"

namespace gaspipe::cli {

// The check every output of a command that reads a file makes. path: the
// output as given, "" for standard output (which `>> CASE` can make the
// input). false, with the message printed as "command: ...", when it is the
// input file.
bool OutputIsNotInput(std::string_view command, const std::string& path,
                      const std::optional<FileId>& input);

class Output {
  public:
    // path: as given with -o; "" or "-" is standard output. input: the file
    // the command reads. Null, with the message printed, when the output is
    // the input or cannot be opened.
    static std::unique_ptr<Output> Open(std::string_view command, const std::string& path,
                                        const std::optional<FileId>& input);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    std::FILE* stream() const { return stream_; }
    bool standardOutput() const { return path_.empty(); }

    // Adds text; a failure is reported by Finish.
    void Write(std::string_view text);

    // Ends the output: standard output flushed, a device closed, a file put
    // in place. false, with the message printed: a file was not written.
    bool Finish();

  private:
    Output(std::string_view command, std::string path)
        : command_(command), path_(std::move(path)) {}
    bool Fail(const std::string& what, const std::string& reason) const;

    std::string command_, path_;
    std::FILE* stream_ = nullptr;
    std::FILE* device_ = nullptr;               // a device or pipe written directly
    std::unique_ptr<fileio::AtomicFile> file_;  // a file, until put in place
    int writeError_ = 0;
};

}  // namespace gaspipe::cli
