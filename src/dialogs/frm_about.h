// The About dialog: product title, version, release date, logo and credits.
// Everything it shows is fixed design data; it reads nothing from the main
// window or the settings file.
#pragma once

#include <QDialog>

namespace gaspipe {

class FrmAbout : public QDialog {
    Q_OBJECT

  public:
    // Built without a parent: the dialog is a top-level window of its own that
    // deletes itself when closed. Use ShowFrmAbout() rather than constructing it.
    FrmAbout();
};

}  // namespace gaspipe
