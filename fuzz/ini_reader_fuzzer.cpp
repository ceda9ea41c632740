// libFuzzer target for the INI reader and the edits built on it. Beyond "no
// crash", it checks what callers rely on: a read hands out at most 1023
// bytes of well-formed UTF-8 without zeros, the index finds what the plain
// search finds, a write reads back, a delete leaves nothing to read and
// removes lines without altering the others.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "gbk.h"
#include "ini_index.h"
#include "ini_text.h"

namespace {

using namespace gaspipe;

void Check(bool condition) {
    if (!condition) std::abort();
}

// An independent line splitter: the oracle for "other lines are kept".
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t brk = text.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) brk = text.size();
        lines.push_back(text.substr(pos, brk - pos));
        pos = brk;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
    return lines;
}

bool IsSubsequence(const std::vector<std::string_view>& part,
                   const std::vector<std::string_view>& whole) {
    std::size_t j = 0;
    for (std::string_view line : part) {
        while (j < whole.size() && whole[j] != line) ++j;
        if (j == whole.size()) return false;
        ++j;
    }
    return true;
}

bool IsWellFormedUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80         ? 1
                          : (c >> 5) == 6  ? 2
                          : (c >> 4) == 14 ? 3
                          : (c >> 3) == 30 ? 4
                                           : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += len;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string text = input.ConsumeRemainingBytesAsString();
    const std::vector<std::string_view> before = Lines(text);

    // The pipe file's one-pass index answers as the line-by-line search does.
    const auto stored = ini::FindValue(text, section, key);
    Check(ini::Index(text).Find(section, key) == stored);
    if (stored) {
        const std::string_view delivered = ini::DeliveredValue(*stored);
        Check(delivered.size() <= ini::kMaxValueBytes);
        Check(delivered.find('\0') == std::string_view::npos);
        const std::string utf8 = gbk::ToUtf8(delivered);
        Check(IsWellFormedUtf8(utf8));
        Check(utf8.find('\0') == std::string::npos);
    }

    if (const auto written = ini::SetKey(text, section, key, value)) {
        const auto readBack = ini::FindValue(*written, section, key);
        Check(readBack && *readBack == TrimBlanks(value));
        // One line replaced, or up to three added (blank, header, key).
        const std::vector<std::string_view> after = Lines(*written);
        Check(after.size() >= before.size() && after.size() <= before.size() + 3);
        if (after.size() == before.size()) {
            std::size_t changed = 0;
            for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
            Check(changed <= 1);
        } else {
            Check(IsSubsequence(before, after));
        }
    }

    if (const auto deleted = ini::DeleteKey(text, section, key)) {
        Check(!ini::FindValue(*deleted, section, key));
        const std::vector<std::string_view> after = Lines(*deleted);
        Check(after.size() < before.size() && IsSubsequence(after, before));
    }

    if (const auto deleted = ini::DeleteSection(text, section)) {
        Check(!ini::FindValue(*deleted, section, key));
        const std::vector<std::string_view> after = Lines(*deleted);
        Check(after.size() < before.size() && IsSubsequence(after, before));
    }
    return 0;
}
