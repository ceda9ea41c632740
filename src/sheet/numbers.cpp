#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace gaspipe::sheet {

std::string Fixed(double value, int decimals) {
    if (!std::isfinite(value)) return "—";
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value == 0 ? 0.0 : value,
                                 std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

std::string Trimmed(double value, int decimals) {
    std::string text = Fixed(value, decimals);
    if (text.find('.') == std::string::npos) return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

std::string Shortest(double value) {
    if (!std::isfinite(value)) return "—";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value == 0 ? 0.0 : value);
    return std::string(buf, r.ptr);
}

std::string ShortestFloat(double value) {
    if (!std::isfinite(value)) return "—";
    char buf[64];
    const float f = static_cast<float>(value);
    const auto r = std::to_chars(buf, buf + sizeof buf, f == 0 ? 0.0f : f);
    return std::string(buf, r.ptr);
}

std::string Power10(double value, int significant) {
    if (!std::isfinite(value)) return "—";
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, value);
    const std::string text(buf);
    const std::size_t e = text.find('e');
    const int exponent = std::stoi(text.substr(e + 1));
    const std::string mantissa = text.substr(0, e);
    if (exponent == 0) return mantissa;
    return mantissa + "×10^{" + (exponent < 0 ? "−" : "") + std::to_string(std::abs(exponent)) +
           "}";
}

}  // namespace gaspipe::sheet
