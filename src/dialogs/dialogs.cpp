#include "dialogs.h"

#include <QPointer>

#include "frm_about.h"
#include "frm_about_parameter.h"

namespace gaspipe {

namespace {

QPointer<FrmAbout> g_about;
QPointer<frmAbout_Parameter> g_about_parameter;

// A closed dialog is hidden at once but deleted only when the event loop gets
// to it; until then it must count as gone, or a quick reopen would show the
// instance that is about to be deleted.
template <typename Dialog>
Dialog* Open(const QPointer<Dialog>& slot) {
    return (slot && slot->isVisible()) ? slot.data() : nullptr;
}

template <typename Dialog>
Dialog* ShowSingle(QPointer<Dialog>& slot) {
    Dialog* dialog = Open(slot);
    if (dialog == nullptr) {
        dialog = new Dialog;
        slot = dialog;
    }
    dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

}  // namespace

FrmAbout* ShowFrmAbout() { return ShowSingle(g_about); }

frmAbout_Parameter* ShowFrmAboutParameter() { return ShowSingle(g_about_parameter); }

FrmAbout* CurrentFrmAbout() { return Open(g_about); }

frmAbout_Parameter* CurrentFrmAboutParameter() { return Open(g_about_parameter); }

}  // namespace gaspipe
