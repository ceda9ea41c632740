// The lines of an INI text (code page 936 bytes), classified one at a time:
// shared by the lookups and the edits. Line breaks are CRLF, LF or a lone CR.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace gaspipe::ini {

// Blank bytes never occur as GBK trail bytes, so trimming from either end is
// safe on double-byte text.
std::string_view Trim(std::string_view s);

enum class Kind { Blank, Comment, Section, Key };

struct Line {
    std::size_t begin = 0;  // first byte
    std::size_t end = 0;    // end of content, before the line break
    std::size_t next = 0;   // first byte of the following line
    Kind kind = Kind::Blank;
    std::string_view name;  // section or key name, trimmed
    std::size_t nameEnd = 0;
    std::optional<std::string_view> value;  // a key line without '=' has none
};

// The line that starts at text[pos], pos < text.size().
Line LineAt(std::string_view text, std::size_t pos);

// Names match without regard to ASCII letter case; double-byte characters
// match exactly.
bool Matches(std::string_view fileName, std::string_view wanted);

}  // namespace gaspipe::ini
