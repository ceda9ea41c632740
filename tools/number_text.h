// Numbers as the tool reads them: the C locale, surrounding blanks and one
// leading '+' allowed; empty text, trailing junk, inf, nan and values out of
// the type's range refused. Inline, because a batch reads millions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace gaspipe::cli {

namespace detail {

// from_chars with the rules above, out of line: the rare path.
template <typename T>
bool ParseFromChars(const char* begin, const char* end, T& out);

// Plain decimals ("-12.345") with few digits, the bulk of any register, are
// exact by one division of exact operands: the significand and the power of
// ten are both representable, so the quotient is the correctly rounded value,
// which from_chars gives too. Anything else is from_chars' (false here).
// Results go through references, not optionals: a returned optional<float>
// is stored in two parts and read back whole, which stalls every call.
template <typename T>
[[gnu::always_inline]] inline bool ParseShortDecimal(const char* p, const char* end, T& out) {
    constexpr std::uint64_t kMaxExact = std::is_same_v<T, float> ? 1u << 24 : 1ull << 53;
    constexpr std::ptrdiff_t kMaxScale = std::is_same_v<T, float> ? 10 : 22;  // 10^k exact
    static constexpr T kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
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
    if (p != end || digits > 19 || m > kMaxExact || scale > kMaxScale) return false;
    const T value = static_cast<T>(m) / kPowers[scale];
    out = negative ? -value : value;
    return true;
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// out is left alone when the text is no number.
template <typename T>
bool ParseText(std::string_view text, T& out) {
    const char* begin = text.data();
    const char* end = begin + text.size();
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
// when the text is no number.
inline bool ParseNumber(std::string_view text, bool single, double& out) {
    if (!single) return detail::ParseText(text, out);
    float value = 0;
    if (!detail::ParseText(text, value)) return false;
    out = value;
    return true;
}

}  // namespace gaspipe::cli
