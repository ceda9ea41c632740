#include "messages.h"

namespace gaspipe::cli {

namespace {

// Longest message line: room for a few quoted texts and the tool's own words.
constexpr std::size_t kMaxLineBytes = 600;

// Length of the well-formed UTF-8 character at text[i], 0 if there is none.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) lo = 0xA0;  // no overlong forms
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + len > text.size() || byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < len; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    return len;
}

void AppendEscaped(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (c) {
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        default:
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
    }
}

}  // namespace

std::string Printable(std::string_view text, std::size_t maxBytes, std::string_view quote) {
    std::string out(quote);
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = Utf8Length(text, i);
        if (i + (len == 0 ? 1 : len) > maxBytes) break;
        const auto c = static_cast<unsigned char>(text[i]);
        // C1 controls are U+0080..U+009F, encoded C2 80..C2 9F.
        const bool control =
            len == 0 || c < 0x20 || c == 0x7F ||
            (len == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
        if (!control) {
            out.append(text.substr(i, len));
        } else {
            for (std::size_t k = 0; k < (len == 0 ? 1 : len); ++k)
                AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
        }
        i += len == 0 ? 1 : len;
    }
    if (i == text.size()) return out.append(quote);
    out += "...";
    out.append(quote);
    return out + " (" + std::to_string(text.size()) + " bytes)";
}

std::string Quoted(std::string_view text) { return Printable(text, 40, "'"); }

std::string QuotedPath(std::string_view path) { return Printable(path, 300, "'"); }

void PrintMessage(std::FILE* err, std::string_view line) {
    const std::string text = Printable(line, kMaxLineBytes) + '\n';
    std::fwrite(text.data(), 1, text.size(), err);
}

}  // namespace gaspipe::cli
