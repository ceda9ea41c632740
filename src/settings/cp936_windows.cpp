#include "cp936.h"

#include "gbk.h"
#include "windows_paths.h"

namespace gaspipe::gbk::cp936 {
namespace {

constexpr UINT kCodePage = 936;

bool PrivateUse(wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; }

// The UTF-16 of gbk, or empty when any character of it does not decode.
std::wstring Wide(std::string_view gbk) {
    const int size = static_cast<int>(gbk.size());
    const int n =
        ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, gbk.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, gbk.data(), size, wide.data(), n);
    for (wchar_t c : wide)
        if (PrivateUse(c)) return {};
    return wide;
}

}  // namespace

std::size_t Decode(std::string_view gbk, std::string& out) {
    if (gbk.empty()) return 0;
    const std::wstring whole = Wide(gbk);
    if (!whole.empty()) {
        out += fileio::Narrow(whole);
        return gbk.size();
    }
    // Something does not decode: find where, one character at a time.
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        const std::size_t len = CharLength(gbk, pos);
        const std::wstring one = Wide(gbk.substr(pos, len));
        if (one.empty()) break;
        out += fileio::Narrow(one);
        pos += len;
    }
    return pos;
}

bool Encode(std::string_view utf8, std::string& out) {
    if (utf8.empty()) return true;
    const std::wstring wide = fileio::Widen(utf8);
    if (wide.empty()) return false;
    for (wchar_t c : wide)
        if (PrivateUse(c)) return false;
    const int size = static_cast<int>(wide.size());
    BOOL substituted = FALSE;
    const int n = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                        0, nullptr, &substituted);
    if (n <= 0 || substituted) return false;
    std::string bytes(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), n,
                          nullptr, nullptr);
    out += bytes;
    return true;
}

}  // namespace gaspipe::gbk::cp936
