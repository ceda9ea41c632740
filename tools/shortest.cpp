#include "shortest.h"

#include <fmt/format.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace gaspipe::cli {

namespace {

int Digits(std::uint64_t v) {
    static constexpr std::uint64_t kPowers[] = {1,
                                                10,
                                                100,
                                                1000,
                                                10000,
                                                100000,
                                                1000000,
                                                10000000,
                                                100000000,
                                                1000000000,
                                                10000000000,
                                                100000000000,
                                                1000000000000,
                                                10000000000000,
                                                100000000000000,
                                                1000000000000000,
                                                10000000000000000,
                                                100000000000000000,
                                                1000000000000000000,
                                                10000000000000000000u};
    // 1233/4096 is just above lg 2.
    const int guess = (std::bit_width(v) * 1233) >> 12;
    return guess + (v >= kPowers[guess] ? 1 : 0) + (v == 0 ? 1 : 0);
}

// The n decimal digits of v at out, two at a time from the last.
void WriteDigits(char* out, std::uint64_t v, int n) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char* p = out + n;
    while (v >= 100) {
        const auto pair = static_cast<std::size_t>(v % 100) * 2;
        v /= 100;
        *--p = kPairs[pair + 1];
        *--p = kPairs[pair];
    }
    if (v >= 10) {
        *--p = kPairs[v * 2 + 1];
        *--p = kPairs[v * 2];
    } else {
        *--p = static_cast<char>('0' + v);
    }
}

// The value's integer part exactly (the value is an integer here, below 10²²).
char* WriteInteger(char* out, double value) {
    if (value < 18446744073709551616.0) {
        const auto v = static_cast<std::uint64_t>(value);
        const int n = Digits(v);
        WriteDigits(out, v, n);
        return out + n;
    }
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

// Up to eight digits as the bytes of one word, the first digit lowest, so
// that a text is stored whole rather than a byte or a pair at a time (a
// narrow store read back wide stalls). Lanes of the word split the number
// into halves, quarters and digits at once; the multipliers divide exactly
// in the ranges used (by 100 below 43 699, by 10 below 179). Digit values,
// not characters: leading zeros are zero bytes.
std::uint64_t EightDigits(std::uint64_t v) {
    const std::uint64_t halves = v / 10000 | (v % 10000) << 32;
    const std::uint64_t hundreds = (halves * 10486 >> 20) & 0x0000007F0000007F;
    const std::uint64_t quarters = hundreds | (halves - hundreds * 100) << 16;
    const std::uint64_t tens = (quarters * 103 >> 10) & 0x000F000F000F000F;
    return tens | (quarters - tens * 10) << 8;
}

void Store(char* out, std::uint64_t word) { std::memcpy(out, &word, sizeof word); }

// significand · 10^exponent (significand > 0) in the fixed form, when it has
// at most eight digits and the fixed form is the shorter one with a point
// or none needed: every store a whole word (the room allows the excess).
// False where the general path is needed.
[[gnu::always_inline]] inline bool WriteFixedShort(char*& out, std::uint64_t significand,
                                                   int exponent) {
    if constexpr (std::endian::native != std::endian::little) return false;
    if (significand >= 100000000) return false;
    const std::uint64_t digits = EightDigits(significand);
    const int leading = std::countr_zero(digits) / 8;  // zeros before the first digit
    const int n = 8 - leading;
    const int x = exponent + n - 1;  // of the scientific form d.ddd·10^x
    // Shorter than d.ddde-xx down to 0.000ddd (0.00d for one digit); an
    // integer with trailing zeros is the general path's.
    if (x > n - 1 || x < (n > 1 ? -4 : -3)) return false;
    const std::uint64_t word = (digits >> (8 * leading)) + 0x3030303030303030;
    if (x < 0) {  // 0.000ddd
        Store(out, 0x3030303030303030);
        out[1] = '.';
        Store(out + 1 - x, word);
        out += n + 1 - x;
    } else if (x == n - 1) {  // ddd, the significand is the value
        Store(out, word);
        out += n;
    } else {  // dd.ddd
        Store(out, word);
        out[x + 1] = '.';
        Store(out + x + 2, word >> (8 * (x + 1)));
        out += n + 1;
    }
    return true;
}

// The same for nine to seventeen digits (doubles), put together a word at a
// time in digits[] first; every store stays within 40 bytes of out.
inline bool WriteFixedLong(char*& out, std::uint64_t significand, int exponent) {
    if constexpr (std::endian::native != std::endian::little) return false;
    constexpr std::uint64_t kZeros = 0x3030303030303030, kE8 = 100000000;
    if (significand < kE8 || significand >= kE8 * kE8 * 10) return false;
    char digits[40];
    const std::uint64_t high = significand / kE8;
    int n = 8;  // digits of high
    if (high >= kE8) {
        digits[0] = static_cast<char>('0' + high / kE8);
        Store(digits + 1, EightDigits(high % kE8) + kZeros);
        n = 9;
    } else {
        const std::uint64_t word = EightDigits(high);
        const int leading = std::countr_zero(word) / 8;
        Store(digits, (word >> (8 * leading)) + kZeros);
        n = 8 - leading;
    }
    Store(digits + n, EightDigits(significand % kE8) + kZeros);
    n += 8;
    const int x = exponent + n - 1;
    if (x > n - 1 || x < -4) return false;
    if (x < 0) {  // 0.000ddd
        Store(out, kZeros);
        out[1] = '.';
        std::memcpy(out + 1 - x, digits, 24);
        out += n + 1 - x;
    } else if (x == n - 1) {  // ddd
        std::memcpy(out, digits, 24);
        out += n;
    } else {  // dd.ddd: at most sixteen digits on either side of the point
        std::memcpy(out, digits, 16);
        out[x + 1] = '.';
        std::memcpy(out + x + 2, digits + x + 1, 16);
        out += n + 1;
    }
    return true;
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
    if constexpr (std::is_same_v<T, float>) {
        // A whole float below 2^24 not ending in 0 (a compressibility of 1)
        // is its own shortest text: a text with fewer digits is a multiple of
        // ten, and at least 1 away where neighbouring floats are at most 1.
        if (value < 16777216.0f) {
            const auto whole = static_cast<std::uint32_t>(value);
            if (static_cast<float>(whole) == value && whole % 10 != 0 &&
                WriteFixedShort(out, whole, 0))
                return out;
        }
    }
    // value = significand · 10^exponent with the fewest digits (the one
    // nearest the value among those), trailing zeros removed.
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    if (WriteFixedShort(out, decimal.significand, decimal.exponent)) return out;
    if constexpr (std::is_same_v<T, double>)
        if (WriteFixedLong(out, decimal.significand, decimal.exponent)) return out;
    const std::uint64_t significand = decimal.significand;
    const int n = Digits(significand);
    const int x = decimal.exponent + n - 1;  // of the scientific form d.ddd·10^x
    const int scientific = n + (n > 1 ? 1 : 0) + 2 + (x >= 100 || x <= -100 ? 3 : 2);
    const int fixed = x >= n - 1 ? x + 1 : x >= 0 ? n + 1 : n + 1 - x;
    if (fixed <= scientific) {
        // Without a fraction every digit is written, and the text with the
        // fewest characters nearest the value is the value itself.
        if (x >= n - 1) return WriteInteger(out, static_cast<double>(value));
        if (x < 0) {
            *out++ = '0';
            *out++ = '.';
            for (int i = 0; i < -x - 1; ++i) *out++ = '0';
            WriteDigits(out, significand, n);
            return out + n;
        }
        // The digits one place on, then the integer ones back before the point.
        WriteDigits(out + 1, significand, n);
        for (int i = 0; i <= x; ++i) out[i] = out[i + 1];
        out[x + 1] = '.';
        return out + n + 1;
    }
    WriteDigits(out + 1, significand, n);
    out[0] = out[1];
    out += n > 1 ? (out[1] = '.', n + 1) : 1;
    *out++ = 'e';
    *out++ = x < 0 ? '-' : '+';
    const int e = x < 0 ? -x : x;
    if (e < 10) *out++ = '0';
    return std::to_chars(out, out + 4, e).ptr;
}

}  // namespace

char* WriteShortest(char* out, float value) { return Write(out, value); }
char* WriteShortest(char* out, double value) { return Write(out, value); }

}  // namespace gaspipe::cli
