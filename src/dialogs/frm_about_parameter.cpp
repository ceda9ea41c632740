#include "frm_about_parameter.h"

#include <QGroupBox>

#include "dialog_layout.h"
#include "group_frame_style.h"

namespace gaspipe {

using namespace dialog_layout;

namespace {

// The unit exponents are separate small labels raised over the blank the text
// line leaves for them. They are created after the lines so they paint on top,
// and keep their own size (fitted to the digit) so they never hide the text.
void PlaceExponent(QWidget* frame, const char* name, const QString& digit, int left, int top) {
    QLabel* exponent = PlaceLabel(frame, name, digit, left, top, 75, 180);
    exponent->setFont(DesignFont(QStringLiteral("Arial"), 6.75));
    exponent->adjustSize();
    exponent->raise();
}

}  // namespace

// The control array Label4 becomes Label4_0 (viscosity line) and Label4_1
// (the density exponent).
frmAbout_Parameter::frmAbout_Parameter() {
    setObjectName(QStringLiteral("frmAbout_Parameter"));
    SetUpFixedDialog(this, QStringLiteral("关于计算参数说明"), 5730, 3330);

    auto* frame = new QGroupBox(QStringLiteral("系统默认计算参数说明："), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(Px(240), Px(240), Px(5295), Px(2415));
    ApplyGroupFrameStyle(this);

    PlaceLabel(frame, "lblDescription", QStringLiteral("燃气介质： 涩-宁-兰天然气"), 1200, 480,
               3885, 330);
    PlaceLabel(frame, "Label2", QStringLiteral("计算温度： 288K"), 1200, 840, 2655, 255);
    PlaceLabel(frame, "Label3", QStringLiteral("介质密度 ：0.7247Kg/m"), 1200, 1185, 2055, 255);
    PlaceLabel(frame, "Label4_0", QStringLiteral("运动粘度： 0.0000145m /s"), 1200, 1515, 2295,
               375);
    PlaceExponent(frame, "Label4_1", QStringLiteral("3"), 3120, 1080);
    PlaceExponent(frame, "Label8", QStringLiteral("2"), 3120, 1440);

    FitLabelsToTheirFonts(this);
    PlaceOkButton(this, 4005, 2865, 1500, 345);
}

}  // namespace gaspipe
