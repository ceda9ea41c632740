// Text <-> number conversion at the window's edge.
#include <gtest/gtest.h>

#include <QLocale>

#include <utility>

#include "locale_number.h"

namespace gaspipe::test {
namespace {

const QLocale kC(QLocale::C);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(TextToSingle, AcceptsNumbersWithBlanksSignAndExponent) {
    for (const auto& [text, expected] : {std::pair{"5", 5.0F},
                                         {"  1.5 ", 1.5F},
                                         {"-3", -3.0F},
                                         {"+0.25", 0.25F},
                                         {"2.5E-2", 0.025F},
                                         {"1.00000001", 1.0F},
                                         {"3.4e38", 3.4e38F}}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TextToSingle(QString::fromLatin1(text), kC), expected);
    }
    EXPECT_EQ(TextToSingle(QStringLiteral("0,7247"), kGerman), 0.7247F);
}

TEST(TextToSingle, RejectsWhatIsNotASingle) {
    for (const char* text :
         {"", "   ", "abc", "1.2.3", "5x", "inf", "-inf", "nan", "1e39", "-1e39", "1e400", "0,5"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TextToSingle(QString::fromLatin1(text), kC).has_value());
    }
}

TEST(ShortestText, UsesTheLocaleSeparatorWithoutGrouping) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ShortestText(0.7247, english), QStringLiteral("0.7247"));
    EXPECT_EQ(ShortestText(1234567, english), QStringLiteral("1234567"));
    EXPECT_EQ(ShortestText(14.5, kGerman), QStringLiteral("14,5"));
}

}  // namespace
}  // namespace gaspipe::test
