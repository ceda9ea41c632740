#include "temporary_name.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <random>

namespace gaspipe::fileio::detail {

namespace {
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kNonceDigits = 8;
}  // namespace

std::string TemporaryName(const std::string& dir, const std::string& base, long pid) {
    static thread_local std::mt19937 random{std::random_device{}()};
    char nonce[kNonceDigits + 1];
    std::snprintf(nonce, sizeof nonce, "%08x", static_cast<unsigned>(random()));
    return dir + "/." + base + "." + std::to_string(pid) + "-" + nonce + std::string(kSuffix);
}

std::optional<long> WriterOf(std::string_view name, const std::string& base) {
    const std::string prefix = "." + base + ".";
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) return std::nullopt;
    name.remove_prefix(prefix.size());
    name.remove_suffix(kSuffix.size());
    const std::size_t dash = name.find('-');
    if (dash == std::string_view::npos || name.size() - dash - 1 != kNonceDigits)
        return std::nullopt;
    for (char c : name.substr(dash + 1))
        if (!std::isxdigit(static_cast<unsigned char>(c)) ||
            std::isupper(static_cast<unsigned char>(c)))
            return std::nullopt;
    long pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + dash, pid);
    if (ec != std::errc() || end != name.data() + dash || pid <= 0 || pid > INT_MAX ||
        name.front() == '0')
        return std::nullopt;
    return pid;
}

}  // namespace gaspipe::fileio::detail
