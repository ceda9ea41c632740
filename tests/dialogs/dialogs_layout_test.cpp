// The dialogs are fixed design data: every control at its twips position with
// its exact text and font, and every text readable inside its control.
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "dialog_test_support.h"

namespace gaspipe::test {
namespace {

constexpr int Px(int twips) { return twips / 15; }

struct LabelRow {
  const char* name;
  const char* parent;  // object name of the widget the position is relative to
  const char* text;    // nullptr: our own credits text, any non-empty line
  int left, top, width, height;  // twips
  const char* family;  // nullptr: the dialog's default font
  qreal point_size;
  bool bold;
};

void PrintTo(const LabelRow& row, std::ostream* os) { *os << row.name; }

// Ink of the text as the label paints it (top-left aligned) must lie inside the
// label, otherwise the substitute font clips it.
void ExpectTextFits(const QLabel* label) {
  const QFontMetrics fm(label->font());
  if (label->wordWrap()) {
    const QRect needed = fm.boundingRect(QRect(0, 0, label->width(), 10000),
                                         Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                                         label->text());
    EXPECT_LE(needed.height(), label->height()) << label->objectName().toStdString();
    return;
  }
  const QRect ink = fm.tightBoundingRect(label->text()).translated(0, fm.ascent());
  EXPECT_LE(ink.right(), label->width()) << label->objectName().toStdString();
  EXPECT_LE(ink.bottom(), label->height()) << label->objectName().toStdString();
}

void ExpectLabel(QWidget* dialog, const LabelRow& row) {
  auto* label = Child<QLabel>(dialog, row.name);
  ASSERT_NE(label, nullptr) << row.name;
  EXPECT_EQ(label->parentWidget()->objectName().toStdString(), row.parent);
  if (row.text != nullptr)
    EXPECT_EQ(label->text(), QString::fromUtf8(row.text));
  else
    EXPECT_FALSE(label->text().trimmed().isEmpty());
  EXPECT_EQ(label->geometry(),
            QRect(Px(row.left), Px(row.top), Px(row.width), Px(row.height)));
  if (row.family != nullptr) {
    EXPECT_EQ(label->font().family(), QString::fromUtf8(row.family));
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), row.point_size);
    EXPECT_EQ(label->font().bold(), row.bold);
  } else {
    EXPECT_EQ(label->font(), dialog->font());
  }
  EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
  ExpectTextFits(label);
}

class FrmAboutLabels : public DialogTest, public ::testing::WithParamInterface<LabelRow> {};

TEST_P(FrmAboutLabels, PlacedWithTextAndFont) { ExpectLabel(ShowFrmAbout(), GetParam()); }

INSTANTIATE_TEST_SUITE_P(
    Design, FrmAboutLabels,
    ::testing::Values(
        LabelRow{"lblTitle", "FrmAbout", "燃气管道Quarnel软件", 1290, 240, 4125, 495, "黑体", 15.75, true},
        LabelRow{"lblVersion", "FrmAbout", "版本：V2.0", 2760, 840, 1365, 255, "黑体", 10.5, false},
        LabelRow{"lblDisclaimer_0", "FrmAbout", nullptr, 1200, 1440, 3855, 315, "宋体", 10.5, false},
        LabelRow{"lblDisclaimer_1", "FrmAbout", nullptr, 1200, 1800, 3855, 315, "宋体", 10.5, false},
        LabelRow{"Label1", "FrmAbout", nullptr, 1200, 2160, 3615, 495, "宋体", 10.5, false},
        LabelRow{"Label2_0", "FrmAbout", "联合开发", 4200, 2640, 1335, 375, "宋体", 10.5, false},
        LabelRow{"Label2_1", "FrmAbout", "2004年11月18日", 3840, 3000, 2415, 375, "宋体", 10.5, false}),
    [](const auto& info) { return std::string(info.param.name); });

class FrmAboutParameterLabels : public DialogTest,
                                public ::testing::WithParamInterface<LabelRow> {};

TEST_P(FrmAboutParameterLabels, PlacedWithTextAndFont) {
  ExpectLabel(ShowFrmAboutParameter(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Design, FrmAboutParameterLabels,
    ::testing::Values(
        LabelRow{"lblDescription", "Frame1", "燃气介质： 涩-宁-兰天然气", 1200, 480, 3885, 330, nullptr, 0, false},
        LabelRow{"Label2", "Frame1", "计算温度： 288K", 1200, 840, 2655, 255, nullptr, 0, false},
        LabelRow{"Label3", "Frame1", "介质密度 ：0.7247Kg/m", 1200, 1185, 2055, 255, nullptr, 0, false},
        LabelRow{"Label4_0", "Frame1", "运动粘度： 0.0000145m /s", 1200, 1515, 2295, 375, nullptr, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogTest, FrmAboutWindowAndLogo) {
  FrmAbout* about = ShowFrmAbout();
  EXPECT_EQ(about->windowTitle(), QStringLiteral("关于ziderevi"));
  EXPECT_EQ(about->size(), QSize(Px(6630), Px(4245)));
  auto* image = Child<QLabel>(about, "Image1");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->geometry(), QRect(Px(120), Px(120), Px(1125), Px(705)));
  EXPECT_EQ(image->pixmap().size(), QSize(75, 47));
  auto* ok = Child<QPushButton>(about, "cmdOK");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), QStringLiteral("确定"));
  EXPECT_EQ(ok->geometry(), QRect(Px(5040), Px(3720), Px(1500), Px(345)));
  EXPECT_EQ(ok->font(), about->font());
}

TEST_F(DialogTest, FrmAboutParameterWindowAndFrame) {
  frmAbout_Parameter* dialog = ShowFrmAboutParameter();
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("关于计算参数说明"));
  EXPECT_EQ(dialog->size(), QSize(Px(5730), Px(3330)));
  auto* frame = Child<QGroupBox>(dialog, "Frame1");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->title(), QStringLiteral("系统默认计算参数说明："));
  EXPECT_EQ(frame->geometry(), QRect(Px(240), Px(240), Px(5295), Px(2415)));
  auto* ok = Child<QPushButton>(dialog, "cmdOK");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->parentWidget(), dialog);
  EXPECT_EQ(ok->text(), QStringLiteral("确定"));
  EXPECT_EQ(ok->geometry(), QRect(Px(4005), Px(2865), Px(1500), Px(345)));
}

struct ExponentRow {
  const char* name;
  const char* digit;
  int left, top;             // twips, inside Frame1
  const char* base;          // the text line the digit belongs to
  const char* before;        // the part of the line the digit follows
};

void PrintTo(const ExponentRow& row, std::ostream* os) { *os << row.name; }

class Exponents : public DialogTest, public ::testing::WithParamInterface<ExponentRow> {};

// The digit must read as the unit's exponent: small Arial, raised above the
// line, to the right of the unit letter, painted over the line, not clipped.
TEST_P(Exponents, ReadableAsExponentOfTheUnit) {
  const ExponentRow& row = GetParam();
  frmAbout_Parameter* dialog = ShowFrmAboutParameter();
  auto* digit = Child<QLabel>(dialog, row.name);
  auto* base = Child<QLabel>(dialog, row.base);
  ASSERT_NE(digit, nullptr);
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(digit->text(), QString::fromLatin1(row.digit));
  EXPECT_EQ(digit->pos(), QPoint(Px(row.left), Px(row.top)));
  EXPECT_EQ(digit->font().family(), QStringLiteral("Arial"));
  EXPECT_DOUBLE_EQ(digit->font().pointSizeF(), 6.75);
  EXPECT_FALSE(digit->font().bold());

  const QFontMetrics digit_fm(digit->font());
  const QRect ink = digit_fm.tightBoundingRect(digit->text()).translated(digit->pos().x(),
                                                                          digit->pos().y() + digit_fm.ascent());
  EXPECT_LE(digit_fm.tightBoundingRect(digit->text()).right(), digit->width());
  EXPECT_LE(digit_fm.ascent() + digit_fm.descent(), digit->height());

  const QFontMetrics base_fm(base->font());
  const int unit_end = base->x() + base_fm.horizontalAdvance(QString::fromUtf8(row.before));
  const int base_line = base->y() + base_fm.ascent();
  EXPECT_GE(ink.left(), unit_end - 1) << "digit overlaps the unit letter";
  EXPECT_LE(ink.bottom(), base_line - base_fm.xHeight() / 2) << "digit not raised";
  const QString rest = base->text().mid(QString::fromUtf8(row.before).size()).trimmed();
  if (!rest.isEmpty()) {
    const int rest_start = base->x() + base_fm.horizontalAdvance(base->text()) -
                           base_fm.horizontalAdvance(rest);
    EXPECT_LE(ink.right(), rest_start + 1) << "digit runs into the text after the gap";
  }
  const QObjectList& stack = digit->parentWidget()->children();
  EXPECT_GT(stack.indexOf(digit), stack.indexOf(base)) << "digit painted below its line";
}

INSTANTIATE_TEST_SUITE_P(
    Design, Exponents,
    ::testing::Values(ExponentRow{"Label4_1", "3", 3120, 1080, "Label3", "介质密度 ：0.7247Kg/m"},
                      ExponentRow{"Label8", "2", 3120, 1440, "Label4_0", "运动粘度： 0.0000145m"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace gaspipe::test
