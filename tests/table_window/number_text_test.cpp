// Numbers typed or pasted in either separator; shown without "-0".
#include <gtest/gtest.h>

#include <QLocale>

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

}  // namespace
}  // namespace gaspipe::table
