// Defaults that follow each selection, the diameter list, and the restore command.
#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include "frm_jbcs_fixture.h"

namespace gaspipe::test {
namespace {

using SelectionTest = FrmJbcsTest;

TEST_F(SelectionTest, GasKindSetsDensityAndViscosityOnly) {
    Open();
    struct Row {
        const char* option;
        const char* density;
        const char* viscosity;
    };
    for (const Row& row : {Row{"OptRgmq", "0.45", "25"}, Row{"OptYhq", "2.38", "3.25"},
                           Row{"OptTrq", "0.7247", "14.5"}}) {
        SCOPED_TRACE(row.option);
        SetBox("TxtWd", QStringLiteral("300"));
        SetBox("TxtGc", QStringLiteral("77"));
        QTest::mouseClick(Button(row.option), Qt::LeftButton);
        EXPECT_EQ(Box("TxtMd")->text(), Dec(row.density));
        EXPECT_EQ(Box("TxtNd")->text(), Dec(row.viscosity));
        EXPECT_EQ(Box("TxtWd")->text(), QStringLiteral("300"));
        EXPECT_EQ(Box("TxtGc")->text(), QStringLiteral("77"));
    }
    // Clicking the selected option again writes its defaults again.
    SetBox("TxtMd", QStringLiteral("1"));
    QTest::mouseClick(Button("OptTrq"), Qt::LeftButton);
    EXPECT_EQ(Box("TxtMd")->text(), Dec("0.7247"));
}

TEST_F(SelectionTest, ArrowKeyInAGroupCountsAsAClick) {
    Open();
    Button("OptTrq")->setFocus();
    QTest::keyClick(Button("OptTrq"), Qt::Key_Right);
    EXPECT_TRUE(Button("OptRgmq")->isChecked());
    EXPECT_EQ(Box("TxtMd")->text(), Dec("0.45"));
}

TEST_F(SelectionTest, PressureClassSwitchesBackAndForth) {
    Open();
    const QStringList entries = ComboEntries();
    const auto typeOver = [this] {
        for (const char* box : {"TxtGc", "TxtGj", "TxtLl", "TxtJkyl"})
            SetBox(box, QStringLiteral("9"));
    };
    typeOver();
    QTest::mouseClick(Button("OptDy"), Qt::LeftButton);
    EXPECT_EQ(Label("LabJkyl")->text(), QStringLiteral("进口压力(Pa)"));
    EXPECT_TRUE(Label("Label9")->isHidden());
    EXPECT_EQ(Box("TxtGc")->text(), QStringLiteral("100"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("50"));
    EXPECT_EQ(Box("TxtLl")->text(), QStringLiteral("30"));
    EXPECT_EQ(Box("TxtJkyl")->text(), QStringLiteral("3000"));

    typeOver();
    QTest::mouseClick(Button("OptGzy"), Qt::LeftButton);
    EXPECT_EQ(Label("LabJkyl")->text(), QStringLiteral("进口压力(绝压 10 Pa)"));
    EXPECT_TRUE(Label("Label9")->isVisible());
    EXPECT_EQ(Box("TxtGc")->text(), QStringLiteral("1000"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_EQ(Box("TxtLl")->text(), QStringLiteral("500"));
    EXPECT_EQ(Box("TxtJkyl")->text(), QStringLiteral("5"));
    EXPECT_EQ(Box("TxtMd")->text(), Dec("0.7247"));
    EXPECT_EQ(ComboEntries(), entries) << "the list stays";
}

TEST_F(SelectionTest, MaterialReloadsListAndFirstInnerDiameter) {
    Open();
    struct Row {
        const char* option;
        QStringList entries;
        const char* inner;
    };
    for (const Row& row : {Row{"OptPeg", {"32", "63", "110"}, "26.0"},
                           Row{"OptZtg", {"75", "100", "150"}, "81.0"},
                           Row{"OptGg", {"100", "50", "15"}, "100"}}) {
        SCOPED_TRACE(row.option);
        QTest::mouseClick(Button(row.option), Qt::LeftButton);
        EXPECT_EQ(ComboEntries(), row.entries);
        EXPECT_EQ(Combo()->currentText(), row.entries.first());
        EXPECT_EQ(Box("TxtGj")->text(), QString::fromLatin1(row.inner));
    }
}

TEST_F(SelectionTest, ClickingTheSelectedMaterialAgainResetsTheList) {
    Open();
    Combo()->setFocus();
    QTest::keyClick(Combo(), Qt::Key_Down);
    QTest::keyClick(Combo(), Qt::Key_Down);
    ASSERT_EQ(Box("TxtGj")->text(), QStringLiteral("15.7"));
    QTest::mouseClick(Button("OptGg"), Qt::LeftButton);
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("100"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_EQ(Combo()->count(), 3);
}

TEST_F(SelectionTest, ListPiecesAreKeptAsWritten) {
    Open("[钢管]\r\nPipeDia=100\r\n100=100\r\n"
         "[PE管]\r\nPipeDia=32, 63,,110,\r\n32=26.0\r\n"
         "[铸铁管]\r\nPipeDia=75\r\n");
    EXPECT_EQ(ComboEntries(), QStringList({"100"}));
    QTest::mouseClick(Button("OptPeg"), Qt::LeftButton);
    EXPECT_EQ(ComboEntries(), QStringList({"32", " 63", "", "110", ""}));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("26.0"));
    // A nominal diameter without a key of its own, then no list at all.
    QTest::mouseClick(Button("OptZtg"), Qt::LeftButton);
    EXPECT_EQ(ComboEntries(), QStringList({"75"}));
    EXPECT_EQ(Box("TxtGj")->text(), QString());
}

TEST_F(SelectionTest, MissingSectionEmptiesListAndInnerDiameter) {
    Open("[钢管]\r\nPipeDia=100\r\n100=100\r\n");
    QTest::mouseClick(Button("OptPeg"), Qt::LeftButton);
    EXPECT_EQ(Combo()->count(), 0);
    EXPECT_EQ(Combo()->currentText(), QString());
    EXPECT_EQ(Box("TxtGj")->text(), QString());
}

TEST_F(SelectionTest, ChoosingFromTheListLooksUpTheInnerDiameter) {
    Open();
    Combo()->setFocus();
    QTest::keyClick(Combo(), Qt::Key_Down);
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("52.7"));

    Combo()->showPopup();
    QAbstractItemView* list = Combo()->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    list->setCurrentIndex(Combo()->model()->index(2, 0));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("15"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("15.7"));
}

TEST_F(SelectionTest, TypingIntoTheListLooksNothingUpAndInsertsNothing) {
    Open();
    QLineEdit* field = Combo()->lineEdit();
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("50"));  // an entry's text, typed
    QTest::keyClick(field, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("50"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));

    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("999"));
    QTest::keyClick(field, Qt::Key_Return);  // calculates instead
    Settle();
    EXPECT_EQ(Combo()->count(), 3);
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("999"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_EQ(Panel()->lines().size(), 5);
}

TEST_F(SelectionTest, SelectionsLeaveTheStateFieldsAlone) {
    Open();
    for (const char* option : {"OptYhq", "OptDy", "OptZtg", "OptGzy", "OptPeg"})
        Button(option)->click();
    QTest::keyClick(Combo(), Qt::Key_Down);
    EXPECT_TRUE(window_->strGasKind.isEmpty());
    EXPECT_TRUE(window_->strPressureClass.isEmpty());
    EXPECT_EQ(window_->sngDensity, 0.0F);
    EXPECT_EQ(window_->sngInnerDia, 0.0F);
    EXPECT_EQ(window_->sngInletPressure, 0.0F);
}

TEST_F(SelectionTest, RestoreBringsBackTheStandardCaseFromLowPressure) {
    Open();
    QTest::mouseClick(Button("OptYhq"), Qt::LeftButton);
    QTest::mouseClick(Button("OptPeg"), Qt::LeftButton);
    QTest::mouseClick(Button("OptDy"), Qt::LeftButton);
    for (const char* box : {"TxtJkyl", "TxtGc", "TxtGj", "TxtLl", "TxtMd", "TxtNd", "TxtWd"})
        SetBox(box, QStringLiteral("7"));
    Combo()->setEditText(QStringLiteral("63"));
    Press();
    const QStringList report = Panel()->lines();
    const float outlet = window_->sngOutletPressure;
    const bool covered = Frame1()->isVisible();

    QTest::mouseClick(Button("Btn_ChanageParametes"), Qt::LeftButton);

    for (const char* on : {"OptTrq", "OptGg", "OptGzy"})
        EXPECT_TRUE(Button(on)->isChecked()) << on;
    EXPECT_EQ(ComboEntries(), QStringList({"100", "50", "15"}));
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("50"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_EQ(Box("TxtLl")->text(), QStringLiteral("500"));
    EXPECT_EQ(Box("TxtGc")->text(), QStringLiteral("1000"));
    EXPECT_EQ(Box("TxtJkyl")->text(), QStringLiteral("5"));
    EXPECT_EQ(Box("TxtMd")->text(), Dec("0.7247"));
    EXPECT_EQ(Box("TxtNd")->text(), Dec("14.5"));
    EXPECT_EQ(Box("TxtWd")->text(), QStringLiteral("288"));
    EXPECT_EQ(Label("LabJkyl")->text(), QStringLiteral("进口压力(绝压 10 Pa)"));
    EXPECT_TRUE(Label("Label9")->isVisible());
    // Neither the panel, the credits frame nor the state fields.
    EXPECT_EQ(Panel()->lines(), report);
    EXPECT_EQ(Frame1()->isVisible(), covered);
    EXPECT_EQ(window_->sngOutletPressure, outlet);
    EXPECT_EQ(window_->strPressureClass, QStringLiteral("低压"));
}

TEST_F(SelectionTest, RestoreWithoutAFileStillSetsEveryText) {
    Open(nullptr);
    SetBox("TxtGj", QStringLiteral("7"));
    Button("Btn_ChanageParametes")->click();
    EXPECT_EQ(Combo()->count(), 0);
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("50"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_EQ(Box("TxtJkyl")->text(), QStringLiteral("5"));
}

}  // namespace
}  // namespace gaspipe::test
