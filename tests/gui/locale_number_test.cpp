// Text <-> number conversion at the window's edge.
#include <gtest/gtest.h>

#include <QLocale>

#include <utility>

#include "locale_number.h"

namespace gaspipe::test {
namespace {

const QLocale kC(QLocale::C);

TEST(TextToSingle, AcceptsNumbersWithBlanksSignAndExponent) {
    for (const auto& [text, expected] : {std::pair{"5", 5.0F},
                                         {"  1.5 ", 1.5F},
                                         {"-3", -3.0F},
                                         {"+0.25", 0.25F},
                                         {"2.5E-2", 0.025F},
                                         {"3.4e38", 3.4e38F}}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(TextToSingle(QString::fromLatin1(text), kC), expected);
    }
}

TEST(TextToSingle, RejectsWhatIsNotASingle) {
    for (const char* text :
         {"", "   ", "abc", "1.2.3", "5x", "inf", "-inf", "nan", "1e39", "-1e39", "1e400", "0,5"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(TextToSingle(QString::fromLatin1(text), kC).has_value());
    }
}

// The separator is checked by the window tests, which also run in a comma locale.
TEST(ShortestText, HasNoGrouping) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ShortestText(1234567.5, german), QStringLiteral("1234567,5"));
}

}  // namespace
}  // namespace gaspipe::test
