#include "frm_about.h"

#include "dialog_layout.h"
#include "resources.h"

namespace gaspipe {

using namespace dialog_layout;

// Control arrays of the form (lblDisclaimer, Label2) become separate widgets
// named <array>_<index>; the title label, unnamed on the form, is lblTitle.
FrmAbout::FrmAbout() {
    setObjectName(QStringLiteral("FrmAbout"));
    SetUpFixedDialog(this, QStringLiteral("关于ziderevi"), 6630, 4245);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(LogoPixmap());
    image->setGeometry(Px(120), Px(120), Px(1125), Px(705));
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const QFont heiti_title = DesignFont(QStringLiteral("黑体"), 15.75, true);
    const QFont heiti = DesignFont(QStringLiteral("黑体"), 10.5);
    const QFont songti = DesignFont(QStringLiteral("宋体"), 10.5);

    PlaceLabel(this, "lblTitle", QStringLiteral("燃气管道Quarnel软件"), 1290, 240, 4125, 495)
        ->setFont(heiti_title);
    PlaceLabel(this, "lblVersion", QStringLiteral("版本：V2.0"), 2760, 840, 1365, 255)
        ->setFont(heiti);
    PlaceLabel(this, "lblDisclaimer_0", QStringLiteral("gaspipe 开源项目组"), 1200, 1440, 3855, 315)
        ->setFont(songti);
    PlaceLabel(this, "lblDisclaimer_1", QStringLiteral("城市燃气管网设计课题组"), 1200, 1800, 3855,
               315)
        ->setFont(songti);
    QLabel* third =
        PlaceLabel(this, "Label1", QStringLiteral("燃气输配工程计算协作组"), 1200, 2160, 3615, 495);
    third->setFont(songti);
    third->setWordWrap(true);
    PlaceLabel(this, "Label2_0", QStringLiteral("联合开发"), 4200, 2640, 1335, 375)
        ->setFont(songti);
    PlaceLabel(this, "Label2_1", QStringLiteral("2004年11月18日"), 3840, 3000, 2415, 375)
        ->setFont(songti);

    FitLabelsToTheirFonts(this);
    PlaceOkButton(this, 5040, 3720, 1500, 345);
}

}  // namespace gaspipe
