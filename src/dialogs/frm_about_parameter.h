// The dialog that explains the default gas parameters of the main window
// (gas source, temperature, density, viscosity). Its texts are fixed design
// data and do not follow what the user typed into the main window.
#pragma once

#include <QDialog>

namespace gaspipe {

class frmAbout_Parameter : public QDialog {
    Q_OBJECT

  public:
    // Built without a parent and deleted when closed; use ShowFrmAboutParameter().
    frmAbout_Parameter();
};

}  // namespace gaspipe
