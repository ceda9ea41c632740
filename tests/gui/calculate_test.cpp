// The calculate command: report, guard, message boxes, what each outcome leaves;
// every Press() also checks that the credits frame flips.
#include "frm_jbcs_fixture.h"

namespace gaspipe::test {
namespace {

using CalculateTest = FrmJbcsTest;

const QString kDataError = QStringLiteral("数据错误|请检查输入数据是否正确！");
const QString kTooSmall = QStringLiteral("错误|管径太小，无法满足要求!");
const QStringList kGuard = {QStringLiteral("错误："), QStringLiteral("进口压力应大于1!")};

// Natural gas, steel, high/medium pressure: the start texts are the worked example.
TEST_F(CalculateTest, HighMediumPressurePrintsFiveLinesAndCarriesTheOutletPressureOver) {
    Open();
    Press();
    EXPECT_EQ(Lines(),
              Dec({"压力降=    0.072公斤", "出口压力=  4.928公斤", "压力平方差=0.719公斤^2",
                   "平均流速=  3.804米/秒", "最大流速=  3.834米/秒"}));
    // From the estimate 4.9276 the iteration settles in one pass, at a
    // slightly different mean pressure.
    Press();
    EXPECT_EQ(Lines().value(1), Dec("出口压力=  4.928公斤"));
    EXPECT_EQ(Lines().value(3), Dec("平均流速=  3.806米/秒"));
    EXPECT_TRUE(boxes_.isEmpty());
}

TEST_F(CalculateTest, LowPressurePrintsFourLines) {
    Open();
    Click("OptDy");
    Type({{"TxtGj", "50"}, {"TxtGc", "50"}, {"TxtLl", "50"}});
    Press();
    EXPECT_EQ(Lines(), Dec({"压力降=  606.63帕", "出口压力=2393.37帕", "平均流速=7.264米/秒",
                            "最大流速=7.286米/秒"}));
}

TEST_F(CalculateTest, InletGuardOnlyUnderHighMediumPressure) {
    Open();
    // 1.00000001 is exactly 1 in single precision.
    for (const char* inlet : {"1", "1.00000001", "0", "-3"}) {
        SCOPED_TRACE(inlet);
        Type({{"TxtJkyl", inlet}});
        Press();
        EXPECT_EQ(Lines(), kGuard);
        EXPECT_EQ(window_->sngOutletPressure, 0.0F) << "the engine must not run";
    }
    EXPECT_TRUE(boxes_.isEmpty()) << "the guard shows no message box";
    Type({{"TxtJkyl", "1.5"}});
    Press();
    EXPECT_EQ(Lines().size(), 5);

    Click("OptDy");
    Type({{"TxtJkyl", "0"}});
    Press();
    EXPECT_NE(Lines(), kGuard);
    EXPECT_EQ(boxes_, QStringList{kTooSmall}) << "the engine ran and failed on its own";
}

TEST_F(CalculateTest, PipeTooSmallEmptiesThePanelAndItsNegativeOutletIsNotCarriedOver) {
    Open();
    Press();
    Click("OptDy");
    Type({{"TxtGj", "100"}, {"TxtGc", "1000"}, {"TxtLl", "500"}, {"TxtJkyl", "5000"}});
    Press();
    EXPECT_EQ(boxes_, QStringList{kTooSmall});
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(window_->intCalcError, -1);
    ASSERT_LT(window_->sngOutletPressure, 0.0F);

    // Valid high/medium inputs with P1 >= 13 would fail from a negative start.
    Click("OptGzy");
    Type({{"TxtLl", "5000"}, {"TxtJkyl", "20"}});
    Press();
    EXPECT_EQ(boxes_.size(), 1);
    EXPECT_EQ(Lines().value(1), Dec("出口压力=  18.433公斤"));
}

TEST_F(CalculateTest, DataErrors) {
    Open();
    Press();
    const QStringList report = Lines();

    // Boxes are read in the order density, viscosity, temperature, inlet
    // pressure, length, inner diameter, flow; an unreadable one stops there.
    Type({{"TxtMd", "0.8"}, {"TxtNd", "20"}, {"TxtWd", "abc"}, {"TxtJkyl", "9"}, {"TxtLl", "7"}});
    Press();
    EXPECT_EQ(boxes_, QStringList{kDataError});
    EXPECT_EQ(Lines(), report);
    EXPECT_FLOAT_EQ(window_->sngDensity, 0.8F);
    EXPECT_EQ(window_->sngViscosity, 20.0F);
    EXPECT_EQ(window_->sngTemperature, 288.0F);
    EXPECT_EQ(window_->sngInletPressure, 5.0F);
    EXPECT_EQ(window_->sngFlow, 500.0F);
    EXPECT_EQ(Box("TxtWd")->text(), QStringLiteral("abc")) << "the boxes keep what was typed";

    // An unreadable box wins over the inlet guard.
    Type({{"TxtWd", "288"}, {"TxtJkyl", "0"}, {"TxtLl", ""}});
    Press();
    EXPECT_EQ(boxes_.size(), 2);
    EXPECT_EQ(Lines(), report);

    // Zero flow makes the engine itself fail.
    Type({{"TxtJkyl", "5"}, {"TxtLl", "0"}});
    Press();
    EXPECT_EQ(boxes_, QStringList(3, kDataError));
    EXPECT_TRUE(Lines().isEmpty());
    EXPECT_EQ(window_->intCalcError, 0);
}

}  // namespace
}  // namespace gaspipe::test
