// Numbers as the tool reads them: the C locale, surrounding blanks and one
// leading '+' allowed; empty text, trailing junk, inf, nan and values out of
// the type's range refused. Inline, because a batch reads millions.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace gaspipe::cli {

namespace detail {

// from_chars with the rules above, out of line: the rare path.
template <typename T>
bool ParseFromChars(const char* begin, const char* end, T& out);

// The significands and powers of ten a float / double holds exactly.
template <typename T>
inline constexpr std::uint64_t kMaxExact = std::is_same_v<T, float> ? 1u << 24 : 1ull << 53;
template <typename T>
inline constexpr T kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain decimals ("-12.345") with few digits, the bulk of any register, are
// exact by one division of exact operands: the significand and the power of
// ten are both representable, so the quotient is the correctly rounded value,
// which from_chars gives too. Anything else is from_chars' (false here).
// Results go through references, not optionals: a returned optional<float>
// is stored in two parts and read back whole, which stalls every call.
template <typename T>
[[gnu::always_inline]] inline bool ParseShortDecimal(const char* p, const char* end, T& out) {
    constexpr std::ptrdiff_t kMaxScale = std::is_same_v<T, float> ? 10 : 22;  // 10^k exact
    auto isDigit = [&](const char* q) { return q < end && static_cast<unsigned>(*q - '0') < 10; };
    const bool negative = *p == '-';
    if (negative) ++p;
    const char* const first = p;
    std::uint64_t m = 0;
    for (; isDigit(p); ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
    if (p == first) return false;
    std::ptrdiff_t scale = 0;
    if (p < end && *p == '.') {
        const char* const point = p++;
        for (; isDigit(p); ++p) m = m * 10 + static_cast<unsigned>(*p - '0');
        scale = p - point - 1;
        if (scale == 0) return false;
    }
    const std::ptrdiff_t digits = p - first - (scale != 0 ? 1 : 0);
    // Up to nineteen digits m cannot have wrapped.
    if (p != end || digits > 19 || m > kMaxExact<T> || scale > kMaxScale) return false;
    const T value = static_cast<T>(m) / kPowersOfTen<T>[scale];
    out = negative ? -value : value;
    return true;
}

// The same for up to eight characters after the sign, all of them looked at
// in one word, which needs eight bytes from p readable. Digits are told from
// other bytes lane by lane, the point is cut out and the digits are summed in
// three multiplications. False where ParseShortDecimal must decide.
template <typename T>
[[gnu::always_inline]] inline bool ParseWordDecimal(const char* p, const char* end, T& out) {
    if constexpr (std::endian::native != std::endian::little) return false;
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    const bool negative = *p == '-';
    p += negative;
    const std::ptrdiff_t n = end - p;
    if (n < 1 || n > 8) return false;
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t mask = ~0ull >> (8 * (8 - n));     // the text's bytes
    const std::uint64_t x = (word ^ 0x30 * kOnes) & mask;  // digits are 0-9 now
    // A lane above 9 is no digit: its high bit is set by adding 0x76 (lanes
    // kept below 0x80 first so nothing carries), or it was set already.
    const std::uint64_t other = (((x & 0x7F * kOnes) + 0x76 * kOnes) | x) & 0x80 * kOnes;
    std::uint64_t digits = x;
    int count = static_cast<int>(n), scale = 0;
    if (other != 0) {
        const int at = std::countr_zero(other) / 8;  // must be the point, inside the digits
        if ((x >> 8 * at & 0xFF) != ('.' ^ 0x30) || at == 0 || at == n - 1 ||
            (other & (other - 1)) != 0)
            return false;
        const std::uint64_t before = ~0ull >> (64 - 8 * at);
        digits = (x & before) | (x >> 8 * (at + 1)) << 8 * at;
        count -= 1;
        scale = count - at;
    }
    // Leading zeros shifted in; the first digit lowest, as the multiplications want.
    std::uint64_t v = digits << 8 * (8 - count);
    v = v * 10 + (v >> 8);
    v = ((v & 0x000000FF000000FF) * (100 + (1000000ull << 32)) +
         (v >> 16 & 0x000000FF000000FF) * (1 + (10000ull << 32))) >>
        32;
    if (v > kMaxExact<T>) return false;
    // A whole number needs no division, and a division is most of the time here.
    const T value = scale == 0 ? static_cast<T>(v) : static_cast<T>(v) / kPowersOfTen<T>[scale];
    out = negative ? -value : value;
    return true;
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// out is left alone when the text is no number. Bytes up to readable may be
// read past the text (none when it is null).
template <typename T>
bool ParseText(std::string_view text, T& out, const char* readable = nullptr) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    // Blanks and a '+' are rare: the word-wide reading goes first, on the
    // text as it is, and refuses them.
    if (readable != nullptr && readable - begin >= 9 && ParseWordDecimal(begin, end, out))
        return true;
    while (begin < end && IsBlank(*begin)) ++begin;
    while (begin < end && IsBlank(end[-1])) --end;
    if (begin < end && *begin == '+') {
        ++begin;
        if (begin < end && (*begin == '-' || *begin == '+')) return false;
    }
    if (begin == end) return false;
    return ParseShortDecimal(begin, end, out) || ParseFromChars(begin, end, out);
}

}  // namespace detail

// A float widened (single) or a double, into out, which it leaves alone
// when the text is no number. A text inside a larger buffer may say how far
// that may be read (readable), for a faster reading of short numbers.
inline bool ParseNumber(std::string_view text, bool single, double& out,
                        const char* readable = nullptr) {
    if (!single) return detail::ParseText(text, out, readable);
    float value = 0;
    if (!detail::ParseText(text, value, readable)) return false;
    out = value;
    return true;
}

}  // namespace gaspipe::cli
