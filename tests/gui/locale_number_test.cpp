// Text <-> number conversion at the window's edge.
#include <gtest/gtest.h>

#include <QLocale>

#include <limits>

#include "locale_number.h"

namespace gaspipe::test {
namespace {

const QLocale kC(QLocale::C);
const QLocale kGerman(QLocale::German, QLocale::Germany);

TEST(TextToSingle, AcceptsNumbersWithBlanksSignAndExponent) {
    struct Row {
        const char* text;
        const QLocale& locale;
        float expected;
    };
    const Row rows[] = {
        {"5", kC, 5.0F},          {"  1.5 ", kC, 1.5F},   {"-3", kC, -3.0F},
        {"+0.25", kC, 0.25F},     {"1e3", kC, 1000.0F},   {"2.5E-2", kC, 0.025F},
        {"1.00000001", kC, 1.0F}, {"0,7247", kGerman, 0.7247F},
        {"3.4e38", kC, 3.4e38F},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto value = TextToSingle(QString::fromLatin1(row.text), row.locale);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, row.expected);
    }
}

TEST(TextToSingle, RejectsWhatIsNotASingle) {
    for (const char* text : {"", "   ", "abc", "1.2.3", "5x", "inf", "-inf", "nan", "1e39",
                             "-1e39", "1e400", "0,5"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TextToSingle(QString::fromLatin1(text), kC).has_value());
    }
}

TEST(ShortestText, UsesTheLocaleSeparatorWithoutGrouping) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ShortestText(0.45, english), QStringLiteral("0.45"));
    EXPECT_EQ(ShortestText(25, english), QStringLiteral("25"));
    EXPECT_EQ(ShortestText(0.7247, english), QStringLiteral("0.7247"));
    EXPECT_EQ(ShortestText(1234567, english), QStringLiteral("1234567"));
    EXPECT_EQ(ShortestText(14.5, kGerman), QStringLiteral("14,5"));
    EXPECT_EQ(ShortestText(3.25, kGerman), QStringLiteral("3,25"));
}

}  // namespace
}  // namespace gaspipe::test
