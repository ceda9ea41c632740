// The two information dialogs. Each exists at most once: showing it creates it
// when needed, otherwise brings the open one to the front. Both are modeless,
// without owner, and are discarded when closed.
#pragma once

namespace gaspipe {

class FrmAbout;
class frmAbout_Parameter;

FrmAbout* ShowFrmAbout();
frmAbout_Parameter* ShowFrmAboutParameter();

// The open instance, or nullptr (for tests).
FrmAbout* CurrentFrmAbout();
frmAbout_Parameter* CurrentFrmAboutParameter();

}  // namespace gaspipe
