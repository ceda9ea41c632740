#include "ini_storage.h"

#include <algorithm>
#include <atomic>

#include "atomic_file.h"
#include "input_file.h"

namespace gaspipe::ini_storage {
namespace {

std::atomic<std::size_t> maxFileBytes{kDefaultMaxFileBytes};

}  // namespace

std::size_t MaxFileBytes() { return maxFileBytes.load(); }
void SetMaxFileBytesForTesting(std::size_t bytes) { maxFileBytes.store(bytes); }

ReadResult ReadWholeFile(const std::string& path) { return ReadWholeFile(path, MaxFileBytes()); }

ReadResult ReadWholeFile(const std::string& path, std::size_t limit) {
    ReadResult result;
    const auto fail = [&](ReadStatus status, std::string problem,
                          UnusableWhy why = UnusableWhy::System) {
        result.status = status;
        result.problem = std::move(problem);
        result.why = why;
        return std::move(result);
    };
    detail::InputFile file(path);
    if (file.status() != ReadStatus::Ok) return fail(file.status(), file.problem());
    if (!file.regular())
        return fail(ReadStatus::Unusable, "not a regular file", UnusableWhy::NotRegular);
    const std::string tooLarge = "larger than " + std::to_string(limit) + " bytes";
    if (file.state().size > limit)
        return fail(ReadStatus::Unusable, tooLarge, UnusableWhy::TooLarge);
    result.state = file.state();
    // The size may change while reading; never take more than the limit.
    std::string bytes(static_cast<std::size_t>(file.state().size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > limit)
                return fail(ReadStatus::Unusable, tooLarge, UnusableWhy::TooLarge);
            bytes.resize(std::min(limit + 1, bytes.size() * 2));
        }
        const long long n = file.Read(bytes.data() + got, bytes.size() - got);
        if (n < 0) return fail(ReadStatus::Unusable, file.problem());
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > limit) return fail(ReadStatus::Unusable, tooLarge, UnusableWhy::TooLarge);
    bytes.resize(got);
    result.status = ReadStatus::Ok;
    result.bytes = std::move(bytes);
    return result;
}

std::optional<FileState> StatFile(const std::string& path) { return detail::StatPath(path); }

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.back() == '/') return false;
    std::string error;
    return fileio::WriteWholeFile(path, bytes, error);
}

}  // namespace gaspipe::ini_storage
