// Numbers typed or pasted in either separator; shown without "-0".
#include <gtest/gtest.h>

#include <QLocale>

#include "delegates.h"
#include "number_text.h"

namespace gaspipe::table {
namespace {

TEST(NumberText, ReadsTheUsersSeparatorAndTheDotAndRoundsWithoutNegativeZero) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ParseNumber(QStringLiteral(" 2,5 ")), 2.5);
    EXPECT_EQ(ParseNumber(QStringLiteral("2.5")), 2.5) << "pasted from a '.' spreadsheet";
    EXPECT_EQ(ParseNumber(QStringLiteral("1.500")), 1.5) << "never a digit group";
    EXPECT_EQ(ShortestText(0.7247), QStringLiteral("0,7247"));
    QLocale::setDefault(QLocale::c());
    for (const char* bad : {"", "abc", "1e999", "nan", "1,5"})
        EXPECT_FALSE(ParseNumber(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(RoundedText(-0.00001, 1), QStringLiteral("0"));
    EXPECT_EQ(FixedText(-0.00001, 2), QStringLiteral("0.00"));
    EXPECT_EQ(RoundedText(2.184, 2), QStringLiteral("2.18"));
    QLocale::setDefault(previous);
}

// Input columns line their decimal points up by padding with zeros; a value
// with more decimals keeps them all (never rounded), and what is not a plain
// number is left as it is.
TEST(NumberText, InputNumbersPaddedToTheirColumnsDecimals) {
    const QLocale c = QLocale::c(), german(QLocale::German, QLocale::Germany);
    const struct {
        const char* text;
        int decimals;
        const char* shown;
    } cases[] = {
        {"80", 2, "80.00"},   {"0.7", 2, "0.70"}, {"4.334", 3, "4.334"}, {"1.23456", 2, "1.23456"},
        {"-2.5", 2, "-2.50"}, {"12", 0, "12"},    {"1e-07", 3, "1e-07"}, {"", 2, ""},
        {"钢管", 2, "钢管"},  {"80", -1, "80"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(PaddedDecimals(QString::fromUtf8(k.text), k.decimals, c),
                  QString::fromUtf8(k.shown))
            << k.text;
    EXPECT_EQ(PaddedDecimals(QStringLiteral("2,5"), 3, german), QStringLiteral("2,500"));
    EXPECT_EQ(PaddedDecimals(QStringLiteral("7"), 1, german), QStringLiteral("7,0"));
}

}  // namespace
}  // namespace gaspipe::table
