#include "gbk.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace gaspipe::test {
namespace {

std::uint64_t Fnv1a(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3u;
    return hash;
}

// Every one- and two-byte sequence decodes as Python's cp936 codec decodes it
// (plus 0x80, the euro sign, which Python lacks): 21 792 characters, and
// U+FFFD for the rest, the user-defined areas among them, which Windows
// alone would map to private-use characters. Each character encodes back to
// its bytes; a private-use character does not encode at all.
TEST(Gbk, OneTableOnEveryPlatform) {
    const std::string replacement = "\xEF\xBF\xBD";
    std::string text;  // the decoded sequences, one per line
    int decoded = 0;
    auto check = [&](const std::string& bytes) {
        const std::string utf8 = gbk::ToUtf8(bytes);
        text += (bytes == "\x80" ? "" : "\n") + utf8;
        if (utf8 == replacement) return;
        ++decoded;
        const auto back = gbk::FromUtf8(utf8);
        EXPECT_TRUE(back && *back == bytes)
            << std::hex << int(static_cast<unsigned char>(bytes[0]));
    };
    for (int lead = 0x80; lead <= 0xFF; ++lead) check(std::string(1, static_cast<char>(lead)));
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (trail != 0x7F) check({static_cast<char>(lead), static_cast<char>(trail)});
    EXPECT_EQ(decoded, 21792);
    EXPECT_EQ(Fnv1a(text), 0xce1cfa2844c9b83cu);
    EXPECT_FALSE(gbk::FromUtf8("\xEE\x80\x80"));  // U+E000: AAA1 in Windows' table
    EXPECT_FALSE(gbk::FromUtf8("\xEF\xA3\xB5"));  // U+F8F5
}

}  // namespace
}  // namespace gaspipe::test
