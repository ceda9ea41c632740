// The calculate command: report, guard, message boxes, what each outcome leaves.
#include <QTest>

#include "frm_jbcs_fixture.h"

namespace gaspipe::test {
namespace {

using CalculateTest = FrmJbcsTest;

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* line : lines)
        out << Dec(line);
    return out;
}

// Natural gas, steel, high/medium pressure: the start texts are the worked example.
TEST_F(CalculateTest, WorkedExamplePrintsTheFiveHighMediumLines) {
    Open();
    Press();

    EXPECT_EQ(Panel()->lines(), Lines({"压力降=    0.072公斤", "出口压力=  4.928公斤",
                                       "压力平方差=0.719公斤^2", "平均流速=  3.804米/秒",
                                       "最大流速=  3.834米/秒"}));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(window_->strGasKind, QStringLiteral("天然气"));
    EXPECT_EQ(window_->strPressureClass, QStringLiteral("高中压"));
    EXPECT_EQ(window_->strPipeMaterial, QStringLiteral("钢管"));
    EXPECT_EQ(window_->intCalcError, 0);
    EXPECT_FLOAT_EQ(window_->sngInnerDia, 100.0F);
    EXPECT_FLOAT_EQ(window_->sngLength, 1000.0F);
    EXPECT_TRUE(Frame1()->isHidden()) << "the first press uncovers the panel";
}

TEST_F(CalculateTest, LowPressurePrintsFourLines) {
    Open();
    Button("OptDy")->click();
    SetBox("TxtGj", QStringLiteral("50"));
    SetBox("TxtGc", QStringLiteral("50"));
    SetBox("TxtLl", QStringLiteral("50"));
    Press();

    EXPECT_EQ(Panel()->lines(), Lines({"压力降=  606.63帕", "出口压力=2393.37帕", "平均流速=7.264米/秒",
                                       "最大流速=7.286米/秒"}));
    EXPECT_EQ(window_->strPressureClass, QStringLiteral("低压"));
}

TEST_F(CalculateTest, InletGuardUnderHighMediumPressure) {
    Open();
    struct Row {
        const char* inlet;
        bool tripped;
    };
    // 1.00000001 is exactly 1 in single precision.
    for (const Row& row : {Row{"1", true}, Row{"1.00000001", true}, Row{"0", true},
                           Row{"-3", true}, Row{"1.5", false}}) {
        SCOPED_TRACE(row.inlet);
        window_->sngOutletPressure = 0;
        SetBox("TxtJkyl", Dec(row.inlet));
        Press();
        const QStringList guard = {QStringLiteral("错误："), QStringLiteral("进口压力应大于1!")};
        if (row.tripped) {
            EXPECT_EQ(Panel()->lines(), guard);
            EXPECT_FLOAT_EQ(window_->sngOutletPressure, 0.0F) << "the engine must not run";
        } else {
            EXPECT_NE(Panel()->lines(), guard);
        }
        EXPECT_TRUE(boxes_.empty()) << "the guard shows no message box";
    }
}

TEST_F(CalculateTest, NoGuardUnderLowPressure) {
    Open();
    Button("OptDy")->click();
    SetBox("TxtJkyl", QStringLiteral("0"));
    Press();
    EXPECT_FALSE(Panel()->lines().contains(QStringLiteral("错误：")));
    ASSERT_EQ(boxes_.size(), 1U) << "the engine ran and failed on its own";
}

TEST_F(CalculateTest, PipeTooSmallShowsItsBoxAndLeavesThePanelEmpty) {
    Open();
    Press();  // something in the panel first
    ASSERT_FALSE(Panel()->lines().isEmpty());
    Button("OptDy")->click();
    SetBox("TxtGj", QStringLiteral("100"));
    SetBox("TxtGc", QStringLiteral("1000"));
    SetBox("TxtLl", QStringLiteral("500"));
    SetBox("TxtJkyl", QStringLiteral("5000"));
    Press();

    ASSERT_EQ(boxes_.size(), 1U);
    EXPECT_EQ(boxes_[0].prompt, QStringLiteral("管径太小，无法满足要求!"));
    EXPECT_EQ(boxes_[0].title, QStringLiteral("错误"));
    EXPECT_TRUE(Panel()->lines().isEmpty());
    EXPECT_EQ(window_->intCalcError, -1);
    EXPECT_LT(window_->sngOutletPressure, 0.0F) << "the failed run's outlet pressure stays";
}

TEST_F(CalculateTest, NegativeCarriedOverEstimateIsNotUsed) {
    Open();
    Button("OptDy")->click();
    SetBox("TxtGj", QStringLiteral("100"));
    SetBox("TxtGc", QStringLiteral("1000"));
    SetBox("TxtLl", QStringLiteral("500"));
    SetBox("TxtJkyl", QStringLiteral("5000"));
    Press();
    ASSERT_LT(window_->sngOutletPressure, 0.0F);

    // Valid high/medium inputs with P1 >= 13 would fail from a negative start.
    Button("OptGzy")->click();
    SetBox("TxtLl", QStringLiteral("5000"));
    SetBox("TxtJkyl", QStringLiteral("20"));
    Press();
    ASSERT_EQ(boxes_.size(), 1U) << "only the earlier pipe-too-small box";
    EXPECT_EQ(Panel()->lines().value(1), Dec("出口压力=  18.433公斤"));
}

TEST_F(CalculateTest, EmptyFirstBoxIsADataErrorThatChangesNothing) {
    Open();
    Press();
    const QStringList before = Panel()->lines();
    const float density = window_->sngDensity;
    SetBox("TxtMd", QString());
    SetBox("TxtJkyl", QStringLiteral("7"));
    Press();

    ASSERT_EQ(boxes_.size(), 1U);
    EXPECT_EQ(boxes_[0].prompt, QStringLiteral("请检查输入数据是否正确！"));
    EXPECT_EQ(boxes_[0].title, QStringLiteral("数据错误"));
    EXPECT_EQ(Panel()->lines(), before);
    EXPECT_EQ(window_->sngDensity, density);
    EXPECT_FLOAT_EQ(window_->sngInletPressure, 5.0F);
    EXPECT_EQ(Box("TxtMd")->text(), QString()) << "the boxes keep what the user typed";
}

TEST_F(CalculateTest, ConversionErrorLeavesEarlierFieldsNewAndLaterOnesOld) {
    Open();
    SetBox("TxtMd", Dec("0.8"));
    SetBox("TxtNd", QStringLiteral("20"));
    SetBox("TxtWd", QStringLiteral("abc"));
    SetBox("TxtJkyl", QStringLiteral("9"));
    Press();

    ASSERT_EQ(boxes_.size(), 1U);
    EXPECT_EQ(boxes_[0].title, QStringLiteral("数据错误"));
    EXPECT_FLOAT_EQ(window_->sngDensity, 0.8F);
    EXPECT_FLOAT_EQ(window_->sngViscosity, 20.0F);
    EXPECT_EQ(window_->sngTemperature, 0.0F);
    EXPECT_EQ(window_->sngInletPressure, 0.0F);
    EXPECT_EQ(window_->sngFlow, 0.0F);
    EXPECT_EQ(window_->strGasKind, QStringLiteral("天然气")) << "options are read before the boxes";
}

TEST_F(CalculateTest, ConversionErrorWinsOverTheGuard) {
    Open();
    SetBox("TxtJkyl", QStringLiteral("0"));
    SetBox("TxtLl", QString());
    Press();
    ASSERT_EQ(boxes_.size(), 1U);
    EXPECT_EQ(boxes_[0].prompt, QStringLiteral("请检查输入数据是否正确！"));
    EXPECT_TRUE(Panel()->lines().isEmpty());
}

TEST_F(CalculateTest, EngineErrorIsADataErrorWithAnEmptyPanel) {
    Open();
    Press();
    SetBox("TxtLl", QStringLiteral("0"));  // zero flow ends in a calculation error
    Press();
    ASSERT_EQ(boxes_.size(), 1U);
    EXPECT_EQ(boxes_[0].prompt, QStringLiteral("请检查输入数据是否正确！"));
    EXPECT_TRUE(Panel()->lines().isEmpty());
    EXPECT_EQ(window_->intCalcError, 0);
    EXPECT_EQ(window_->sngFlow, 0.0F);
}

TEST_F(CalculateTest, CreditsFrameTogglesOnEveryPressWhateverTheOutcome) {
    Open();
    ASSERT_FALSE(Frame1()->isHidden());
    bool covered = true;
    const auto pressAndCheck = [&] {
        Press();
        covered = !covered;
        EXPECT_EQ(Frame1()->isHidden(), !covered);
    };
    pressAndCheck();                         // success
    SetBox("TxtJkyl", QStringLiteral("1"));  // guard
    pressAndCheck();
    SetBox("TxtMd", QStringLiteral("x"));  // data error
    pressAndCheck();
    SetBox("TxtMd", Dec("0.7247"));
    SetBox("TxtJkyl", QStringLiteral("5"));
    SetBox("TxtGj", QStringLiteral("1"));  // pipe too small
    pressAndCheck();
    EXPECT_EQ(boxes_.size(), 2U);
}

TEST_F(CalculateTest, SecondPressStartsFromTheFirstOutletPressure) {
    Open();
    Press();
    EXPECT_EQ(Panel()->lines().value(3), Dec("平均流速=  3.804米/秒"));
    Press();
    // From the estimate 4.9276 the iteration settles in one pass, at a
    // slightly different mean pressure.
    EXPECT_EQ(Panel()->lines().value(3), Dec("平均流速=  3.806米/秒"));
    EXPECT_EQ(Panel()->lines().value(1), Dec("出口压力=  4.928公斤"));
    EXPECT_FALSE(Frame1()->isHidden()) << "the second report lies under the credits";
}

TEST_F(CalculateTest, ReportUsesTheLocaleDecimalSeparatorAndAcceptsBlanks) {
    Open();
    SetBox("TxtGj", QStringLiteral("  100 "));
    SetBox("TxtMd", Dec(" 0.7247"));
    Press();
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(Panel()->lines().value(0), Dec("压力降=    0.072公斤"));
}

}  // namespace
}  // namespace gaspipe::test
