#include "gbk.h"

#include "cp936.h"

namespace gaspipe::gbk {
namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

}  // namespace

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    while (i < a.size()) {
        const std::size_t len = CharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else if (FoldAscii(static_cast<unsigned char>(a[i])) !=
                   FoldAscii(static_cast<unsigned char>(b[i]))) {
            return false;
        }
        i += len;
    }
    return true;
}

std::string_view CutToWholeChars(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t len = CharLength(text, end);
        if (end + len > maxBytes) break;
        end += len;
    }
    return text.substr(0, end);
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
    std::string out;
    if (!cp936::Encode(utf8, out)) return std::nullopt;
    return out;
}

std::string ToUtf8(std::string_view gbk) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        pos += cp936::Decode(gbk.substr(pos), out);
        if (pos == gbk.size()) break;
        // Skip the whole offending character, so that a bad trail byte that
        // looks like ASCII does not reappear as a letter.
        out.append(kReplacement);
        pos += CharLength(gbk, pos);
    }
    return out;
}

}  // namespace gaspipe::gbk
