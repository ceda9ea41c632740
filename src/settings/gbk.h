// Code page 936 (GBK) helpers for the INI store. The file is parsed as GBK
// bytes; only values and names cross to UTF-8, through the operating
// system's table (cp936.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gaspipe::gbk {

inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
inline bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

// Length in bytes (1 or 2) of the character starting at text[pos]. A lead
// byte without a valid trail byte counts as one byte of its own, so walking
// never swallows a line break or an ASCII character.
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    if (pos + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
        IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
        return 2;
    }
    return 1;
}

// ASCII letters compare without case; double-byte characters compare
// exactly, because their trail bytes may look like ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// The longest prefix of at most maxBytes bytes that does not split a
// double-byte character.
std::string_view CutToWholeChars(std::string_view text, std::size_t maxBytes);

// UTF-8 to GBK; nullopt when the text is not valid UTF-8 or holds a character
// that GBK cannot store (a private-use character among them).
std::optional<std::string> FromUtf8(std::string_view utf8);

// GBK to UTF-8. Undecodable characters (those of the user-defined areas
// among them) become U+FFFD, so reading a damaged file still yields text.
std::string ToUtf8(std::string_view gbk);

}  // namespace gaspipe::gbk
