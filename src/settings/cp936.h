// Code page 936 by the operating system's own table: glibc iconv on POSIX,
// the Windows code page functions on Windows (one implementation file each).
//
// The two tables agree except on the user-defined areas (AAA1-AFFE,
// F8A1-FEFE, A140-A7A0) and a few unassigned pairs: 2 149 two-byte sequences
// that glibc rejects and Windows maps to private-use characters. Those have
// no meaning outside one machine's fonts, and a file that used them would
// read differently on the other platform, so every platform rejects them:
// a private-use character is never decoded nor encoded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gaspipe::gbk::cp936 {

// Appends to out the UTF-8 of the longest prefix of gbk that decodes, and
// returns its length in bytes: gbk.size() when all of it decodes.
std::size_t Decode(std::string_view gbk, std::string& out);

// Appends to out the code page 936 bytes of utf8; false when utf8 is not
// valid UTF-8 or holds a character the code page cannot store.
bool Encode(std::string_view utf8, std::string& out);

}  // namespace gaspipe::gbk::cp936
