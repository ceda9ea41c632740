// The byte-level edits, for inputs the UTF-8 interface cannot produce.
#include <gtest/gtest.h>

#include <string>

#include "ini_text.h"

namespace gaspipe::ini {
namespace {

TEST(IniTextSetKey, RefusesNamesWithAByteThatIsHalfACharacter)
{
    // "[\x81]" would read as a '[' line without a closing bracket.
    EXPECT_EQ(SetKey("", "\x81", "k", "1"), std::nullopt);
    EXPECT_EQ(SetKey("", "a", "k\x81", "1"), std::nullopt);
    EXPECT_EQ(SetKey("", "\x81\x41", "k", "1"), std::optional<std::string>("[\x81\x41]\r\nk=1\r\n"));
}

TEST(IniTextSetKey, ValueBytesAreStoredAsGiven)
{
    const auto text = SetKey("[a]\n", "a", "k", "\x81\xFF 'x' ");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "[a]\nk=\x81\xFF 'x' \n");
    EXPECT_EQ(FindValue(*text, "a", "k"), std::optional<std::string_view>("\x81\xFF 'x'"));
}

}  // namespace
}  // namespace gaspipe::ini
