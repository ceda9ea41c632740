// The Windows font names of the forms must land on installed fonts of the same
// style; fontconfig's fallback alone would render them all in one sans face.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>

#include "resources.h"

namespace gaspipe::test {
namespace {

struct FontRow {
  const char* windows_name;
  const char* expected;  // the preferred installed family for that style
  const char* id;
};

void PrintTo(const FontRow& row, std::ostream* os) { *os << row.id; }

class FontSubstitution : public ::testing::TestWithParam<FontRow> {};

TEST_P(FontSubstitution, ResolvesToTheNearestInstalledStyle) {
  const FontRow& row = GetParam();
  const QString expected = QString::fromUtf8(row.expected);
  if (!QFontDatabase::families().contains(expected))
    GTEST_SKIP() << row.expected << " is not installed";
  const QString family = QFontInfo(QFont(QString::fromUtf8(row.windows_name))).family();
  EXPECT_TRUE(family.startsWith(expected)) << family.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    WindowsNames, FontSubstitution,
    ::testing::Values(FontRow{"隶书", "AR PL UKai CN", "Lishu"},
                      FontRow{"LiSu", "AR PL UKai CN", "LiSu"},
                      FontRow{"黑体", "WenQuanYi Zen Hei", "Heiti"},
                      FontRow{"SimHei", "WenQuanYi Zen Hei", "SimHei"},
                      FontRow{"宋体", "AR PL UMing CN", "Songti"},
                      FontRow{"SimSun", "AR PL UMing CN", "SimSun"}),
    [](const auto& info) { return std::string(info.param.id); });

TEST(FontSubstitutionArial, ResolvesToALatinSans) {
  const QString family = QFontInfo(QFont(QStringLiteral("Arial"))).family();
  const bool latin_sans = family.startsWith(QLatin1String("Liberation Sans")) ||
                          family.startsWith(QLatin1String("Arimo")) ||
                          family.startsWith(QLatin1String("Nimbus Sans")) ||
                          family.startsWith(QLatin1String("DejaVu Sans"));
  EXPECT_TRUE(latin_sans) << family.toStdString();
}

TEST(Logo, IsSeventyFiveByFortySevenWithTransparentBackground) {
  const QImage logo = LogoPixmap().toImage();
  ASSERT_FALSE(logo.isNull());
  EXPECT_EQ(logo.size(), QSize(75, 47));
  EXPECT_TRUE(logo.hasAlphaChannel());
  EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(logo.pixel(37, 35)), 255) << "the pipe is drawn";
}

}  // namespace
}  // namespace gaspipe::test
