// The case file's reader on files POSIX systems make easily: a FIFO, a file
// without permissions.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "case_file.h"

namespace gaspipe::network {
namespace {

// A file the reader cannot take at all is named by the one reason that applies.
TEST(CaseFile, AnUnreadableFileSaysWhy) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("gpcase-why-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string fifo = (dir / "pipe.gpcase").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = (dir / "large.gpcase").string();
    std::ofstream(large).close();
    fs::resize_file(large, (16u << 20) + 1);
    const std::string closed = (dir / "closed.gpcase").string();
    std::ofstream(closed) << "{}";
    fs::permissions(closed, fs::perms::none);
    const std::pair<std::string, const char*> files[] = {
        {fifo, "not a regular file (a folder, a pipe or a device)"},
        {dir.string(), "not a regular file (a folder, a pipe or a device)"},
        {large, "the file is larger than 16 MiB, more than any case holds"},
        {(dir / "missing").string(), "no such file"},
    };
    for (const auto& [path, says] : files) EXPECT_EQ(LoadCase(path).error, says) << path;
    // Root reads any file; everyone else is refused by the permissions.
    const CaseReadResult denied = LoadCase(closed);
    if (::geteuid() != 0) {
        EXPECT_EQ(denied.error, "cannot be read: Permission denied");
    }
    fs::remove_all(dir);
}

}  // namespace
}  // namespace gaspipe::network
