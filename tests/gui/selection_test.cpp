// Defaults that follow each selection, the diameter list, and the restore command.
#include <QLabel>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>

#include <tuple>

#include "frm_jbcs_fixture.h"

namespace gaspipe::test {
namespace {

using SelectionTest = FrmJbcsTest;

TEST_F(SelectionTest, GasKindSetsDensityAndViscosityOnly) {
    Open();
    Type({{"TxtWd", "300"}, {"TxtGc", "77"}});
    // Natural gas first: clicking the selected option writes its defaults again.
    for (const auto& [option, density, viscosity] : {std::tuple{"OptTrq", "0.7247", "14.5"},
                                                     {"OptRgmq", "0.45", "25"},
                                                     {"OptYhq", "2.38", "3.25"}}) {
        SCOPED_TRACE(option);
        Type({{"TxtMd", "1"}, {"TxtNd", "1"}});
        Click(option);
        EXPECT_EQ(Texts({"TxtMd", "TxtNd"}), Dec({density, viscosity}));
    }
    EXPECT_EQ(Texts({"TxtWd", "TxtGc"}), QStringList({"300", "77"}));
    EXPECT_TRUE(window_->strGasKind.isEmpty()) << "only the calculate command reads options";
}

TEST_F(SelectionTest, PressureClassSwitchesBackAndForth) {
    Open();
    // Texts: length, inner diameter, flow, inlet pressure.
    for (const auto& [option, caption, exponent, texts] :
         {std::tuple{"OptDy", "进口压力(Pa)", false, QStringList{"100", "50", "30", "3000"}},
          {"OptGzy", "进口压力(绝压 10 Pa)", true, QStringList{"1000", "100", "500", "5"}}}) {
        SCOPED_TRACE(option);
        Type({{"TxtGc", "9"}, {"TxtGj", "9"}, {"TxtLl", "9"}, {"TxtJkyl", "9"}, {"TxtMd", "9"}});
        Click(option);
        EXPECT_EQ(W<QLabel>("LabJkyl")->text(), QString::fromUtf8(caption));
        EXPECT_EQ(W<QLabel>("Label9")->isVisible(), exponent);
        EXPECT_EQ(Texts({"TxtGc", "TxtGj", "TxtLl", "TxtJkyl"}), texts);
        EXPECT_EQ(Box("TxtMd")->text(), QStringLiteral("9"));
        EXPECT_EQ(Entries(), QStringList({"100", "50", "15"}));
    }
}

TEST_F(SelectionTest, MaterialReloadsTheListAndAChosenEntryReadsItsOwnSection) {
    Open();
    const auto chooseSecond = [this] {
        Combo()->setFocus();
        QTest::keyClick(Combo(), Qt::Key_Down);
    };
    chooseSecond();
    // Steel first: clicking the selected material reloads it too.
    for (const auto& [option, entries, first, second] :
         {std::tuple{"OptGg", QStringList{"100", "50", "15"}, "100", "52.7"},
          {"OptPeg", QStringList{"32", "63", "110"}, "26.0", "51.4"},
          {"OptZtg", QStringList{"100", "50"}, "105", "53"}}) {
        SCOPED_TRACE(option);
        Click(option);
        EXPECT_EQ(Entries(), entries);
        EXPECT_EQ(Combo()->currentText(), entries.value(0));
        EXPECT_EQ(Box("TxtGj")->text(), QString::fromLatin1(first));
        chooseSecond();
        EXPECT_EQ(Combo()->currentText(), entries.value(1));
        EXPECT_EQ(Box("TxtGj")->text(), QString::fromLatin1(second));
    }

    delete window_.data();
    Open("[钢管]\r\nPipeDia=15\r\n15=15.7\r\n");
    Click("OptZtg");
    EXPECT_TRUE(Entries().isEmpty());
    EXPECT_TRUE(Box("TxtGj")->text().isEmpty()) << "no cast-iron section";
}

// A wheel turned over the list while the focus is elsewhere must not replace
// the inner diameter; on the focused list it chooses, as the arrow keys do.
TEST_F(SelectionTest, WheelChoosesOnlyOnTheFocusedList) {
    Open();
    const auto turnDown = [this] {
        // Over the arrow: the text field stops a wheel on its own.
        const QPointF at(Combo()->width() - 5, Combo()->height() / 2);
        QWheelEvent wheel(at, Combo()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);  // as from the mouse: may move the focus
        QApplication::sendEvent(Combo(), &wheel);
    };
    turnDown();
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("100"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_TRUE(Box("TxtJkyl")->hasFocus());

    Combo()->setFocus();
    turnDown();
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("50"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("52.7"));
}

TEST_F(SelectionTest, TypingIntoTheListLooksNothingUpAndInsertsNothing) {
    Open();
    QLineEdit* field = Combo()->lineEdit();
    QTest::mouseClick(field, Qt::LeftButton);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("50"));  // an entry's text, typed
    QTest::keyClick(field, Qt::Key_Tab);            // ends editing
    Settle();
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("50"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));

    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("999"));
    QTest::keyClick(field, Qt::Key_Return);  // calculates instead
    Settle();
    EXPECT_EQ(Entries(), QStringList({"100", "50", "15"}));
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("999"));
    EXPECT_EQ(Box("TxtGj")->text(), QStringLiteral("100"));
    EXPECT_EQ(Lines().size(), 5);
}

TEST_F(SelectionTest, RestoreBringsBackTheStandardCaseFromLowPressure) {
    Open();
    for (const char* option : {"OptYhq", "OptPeg", "OptDy"}) Click(option);
    // Every box away from its restored text, and a report in the panel.
    Type({{"TxtGc", "50"}, {"TxtGj", "50"}, {"TxtLl", "7"}, {"TxtWd", "300"}});
    Combo()->setEditText(QStringLiteral("63"));
    Press();
    const QStringList report = Lines();
    ASSERT_EQ(report.size(), 4);

    Click("Btn_ChanageParametes");

    for (const char* on : {"OptTrq", "OptGg", "OptGzy"}) EXPECT_TRUE(W(on)->isChecked()) << on;
    EXPECT_EQ(Entries(), QStringList({"100", "50", "15"}));
    EXPECT_EQ(Combo()->currentText(), QStringLiteral("50"));
    EXPECT_EQ(Texts({"TxtJkyl", "TxtGc", "TxtGj", "TxtLl", "TxtMd", "TxtNd", "TxtWd"}),
              Dec({"5", "1000", "100", "500", "0.7247", "14.5", "288"}));
    EXPECT_TRUE(W<QLabel>("Label9")->isVisible());
    // Neither the panel, the credits frame nor the state fields.
    EXPECT_EQ(Lines(), report);
    EXPECT_TRUE(Frame1()->isHidden());
    EXPECT_EQ(window_->strPressureClass, QStringLiteral("低压"));
}

}  // namespace
}  // namespace gaspipe::test
