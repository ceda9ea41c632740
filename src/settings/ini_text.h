// The INI text itself, as code page 936 bytes: finding a value and the three
// edits. Names are given as GBK bytes; they are matched after trimming blanks
// and without regard to ASCII letter case. Edits return the whole new text
// and leave every line they do not concern byte for byte as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace gaspipe::ini {

// The private-profile read delivers at most this many bytes of a value.
inline constexpr std::size_t kMaxValueBytes = 1023;

// The value of key in the first section named section, as written in the
// file (blanks around it removed); nullopt when the section or key is absent.
// Lines before the first section header belong to no section.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key);

// What a read hands out for a stored value: one pair of enclosing quotes
// removed, cut at a zero byte and at kMaxValueBytes on a whole character.
std::string_view DeliveredValue(std::string_view stored);

// A text of the program's (UTF-8) as the file holds it: in code page 936,
// cut at a zero byte (the platform calls take C strings); nullopt when it is
// not UTF-8 or holds a character that code page 936 lacks.
std::optional<std::string> ToFileText(std::string_view utf8);

// What a read hands the program for a stored value: DeliveredValue in
// UTF-8, without leading spaces.
std::string ToProgramText(std::string_view stored);

// Sets key=value in the first section named section, adding the key at the
// end of that section or a new section at the end of the text. nullopt when
// the entry could not be read back as written (empty name, line breaks, a
// byte that is half a character in a name, a key holding '=' or starting
// with '[' or ';').
std::optional<std::string> SetKey(std::string_view text, std::string_view section,
                                  std::string_view key, std::string_view value);

// Removes every line of key in every section named section; nullopt when
// there is none, so the caller can leave the file alone.
std::optional<std::string> DeleteKey(std::string_view text, std::string_view section,
                                     std::string_view key);

// Removes every section named section, from its header to the next header;
// nullopt when there is none.
std::optional<std::string> DeleteSection(std::string_view text, std::string_view section);

}  // namespace gaspipe::ini
