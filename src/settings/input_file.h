// The operating system's part of reading a settings file whole: one
// implementation file per platform (input_file_posix.cpp, _windows.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ini_storage.h"

namespace gaspipe::ini_storage::detail {

// A file opened for reading, without waiting for anything (a FIFO without a
// writer, a lock).
class InputFile {
  public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Ok when open; otherwise why not, in problem().
    ReadStatus status() const { return status_; }
    const std::string& problem() const { return problem_; }
    // Of the open file: only a regular file (no folder, FIFO or device) is read.
    bool regular() const { return regular_; }
    const FileState& state() const { return state_; }

    // Reads up to size bytes into buffer: how many, 0 at the end, -1 on an
    // error (problem() says which).
    long long Read(char* buffer, std::size_t size);

  private:
    std::intptr_t handle_ = -1;
    ReadStatus status_ = ReadStatus::Ok;
    std::string problem_;
    bool regular_ = false;
    FileState state_;
};

// The state of the file path names now (links followed); nullopt when there is none.
std::optional<FileState> StatPath(const std::string& path);

}  // namespace gaspipe::ini_storage::detail
