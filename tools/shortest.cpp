#include "shortest.h"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace gaspipe::cli {

namespace {

// The value's integer part exactly (the value is an integer here, below 10²²).
char* WriteInteger(char* out, double value) {
    if (value < 18446744073709551616.0)
        return std::to_chars(out, out + 24, static_cast<std::uint64_t>(value)).ptr;
    __extension__ using Wide = unsigned __int128;
    auto n = static_cast<Wide>(value);
    char digits[40];
    char* p = digits + sizeof digits;
    while (n != 0) {
        *--p = static_cast<char>('0' + static_cast<int>(n % 10));
        n /= 10;
    }
    const auto len = static_cast<std::size_t>(digits + sizeof digits - p);
    std::memcpy(out, p, len);
    return out + len;
}

template <typename T>
char* Write(char* out, T value) {
    if (!std::isfinite(value)) return std::to_chars(out, out + 64, value).ptr;
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    // value = significand · 10^exponent with the fewest digits (the one
    // nearest the value among those).
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    std::uint64_t significand = decimal.significand;
    int exponent = decimal.exponent;
    while (significand % 10 == 0) {
        significand /= 10;
        ++exponent;
    }
    char digits[24];
    const int n =
        static_cast<int>(std::to_chars(digits, digits + sizeof digits, significand).ptr - digits);
    const int x = exponent + n - 1;  // of the scientific form d.ddd·10^x
    const int scientific = n + (n > 1 ? 1 : 0) + 2 + (std::abs(x) >= 100 ? 3 : 2);
    const int fixed = x >= n - 1 ? x + 1 : x >= 0 ? n + 1 : n + 1 - x;
    if (fixed <= scientific) {
        // Without a fraction every digit is written, and the text with the
        // fewest characters nearest the value is the value itself.
        if (x >= n - 1) return WriteInteger(out, static_cast<double>(value));
        if (x >= 0) {
            std::memcpy(out, digits, x + 1);
            out[x + 1] = '.';
            std::memcpy(out + x + 2, digits + x + 1, n - x - 1);
            return out + n + 1;
        }
        *out++ = '0';
        *out++ = '.';
        std::memset(out, '0', -x - 1);
        out += -x - 1;
        std::memcpy(out, digits, n);
        return out + n;
    }
    *out++ = digits[0];
    if (n > 1) {
        *out++ = '.';
        std::memcpy(out, digits + 1, n - 1);
        out += n - 1;
    }
    *out++ = 'e';
    *out++ = x < 0 ? '-' : '+';
    const int e = std::abs(x);
    if (e < 10) *out++ = '0';
    return std::to_chars(out, out + 4, e).ptr;
}

}  // namespace

char* WriteShortest(char* out, float value) { return Write(out, value); }
char* WriteShortest(char* out, double value) { return Write(out, value); }

}  // namespace gaspipe::cli
