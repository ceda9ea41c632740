// Process start after the QApplication exists: resources, desktop identity,
// then the main window, shown. Shared by the program and its start-up probe so
// the benchmark measures the real thing.
#pragma once

namespace gaspipe {

class FrmJbcs;

FrmJbcs* OpenMainWindow();

}  // namespace gaspipe
