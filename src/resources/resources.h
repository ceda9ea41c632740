// Pictures of the program and the mapping of the Windows Chinese font names
// used by the windows (隶书, 黑体, 宋体, Arial) to installed fonts.
#pragma once

#include <QPixmap>

namespace gaspipe {

// Call once after the QApplication exists, before any window is built.
void InitResources();

// The program's logo, 75 x 47 pixels.
QPixmap LogoPixmap();

}  // namespace gaspipe
