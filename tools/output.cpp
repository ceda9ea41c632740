#include "output.h"

#include <cerrno>
#include <cstring>

#include "messages.h"

namespace gaspipe::cli {

bool OutputIsNotInput(std::string_view command, const std::string& path,
                      const std::optional<FileId>& input) {
    // Results written over what they come from would destroy it.
    if (!input) return true;
    const std::optional<FileId> output = path.empty() ? IdOfFile(stdout) : IdOfFile(path);
    if (output != input) return true;
    PrintMessage(stderr, std::string(command) + ": " +
                             (path.empty() ? std::string("the standard output")
                                           : "the output " + QuotedPath(path)) +
                             " is the input file; write the results elsewhere");
    return false;
}

std::unique_ptr<Output> Output::Open(std::string_view command, const std::string& path,
                                     const std::optional<FileId>& input) {
    const std::string named = path == "-" ? std::string() : path;
    if (!OutputIsNotInput(command, named, input)) return nullptr;
    std::unique_ptr<Output> out(new Output(command, named));
    if (named.empty()) {
        out->stream_ = stdout;
        return out;
    }
    const std::string target = fileio::FollowLinks(named);
    switch (KindOfOutput(target)) {
        case OutputKind::ReadOnlyFile:
            out->Fail("cannot write output", std::strerror(EACCES));
            return nullptr;
        case OutputKind::Special:
            out->device_ = OpenFile(target, "wb");
            if (!out->device_) {
                out->Fail("cannot open output", std::strerror(errno));
                return nullptr;
            }
            out->stream_ = out->device_;
            return out;
        default:
            break;
    }
    std::string error;
    out->file_ = fileio::AtomicFile::Create(target, error);
    if (!out->file_) {
        out->Fail("cannot create output", error);
        return nullptr;
    }
    out->stream_ = out->file_->stream();
    return out;
}

Output::~Output() {
    if (device_) std::fclose(device_);
}

void Output::Write(std::string_view text) {
    errno = 0;
    if (writeError_ == 0 && !text.empty() &&
        std::fwrite(text.data(), 1, text.size(), stream_) != text.size())
        writeError_ = errno != 0 ? errno : EIO;
}

bool Output::Fail(const std::string& what, const std::string& reason) const {
    PrintMessage(stderr, command_ + ": " + what + " " + QuotedPath(path_) + ": " + reason);
    return false;
}

bool Output::Finish() {
    errno = 0;
    if (standardOutput()) {
        if (writeError_ == 0 && std::fflush(stdout) != 0) writeError_ = errno != 0 ? errno : EIO;
        if (writeError_ == 0) return true;
        PrintMessage(stderr,
                     command_ + ": cannot write to standard output: " + std::strerror(writeError_));
        return false;
    }
    if (device_) {
        const bool closed = std::fclose(device_) == 0;
        device_ = nullptr;
        if (!closed && writeError_ == 0) writeError_ = errno != 0 ? errno : EIO;
        return writeError_ == 0 || Fail("cannot write output", std::strerror(writeError_));
    }
    std::string error;
    if (writeError_ != 0) return Fail("cannot write output", std::strerror(writeError_));
    if (!file_->Commit(error)) return Fail("cannot write output", error);
    return true;
}

}  // namespace gaspipe::cli
