// What every window of the program shares: its pictures, the mapping of the
// Windows Chinese font names the windows use (隶书, 黑体, 宋体, Arial) to
// installed fonts, and Qt's own texts in Chinese.
#pragma once

#include <QPixmap>

namespace gaspipe {

// Call once after the QApplication exists, before any window is built. Runs
// LoadQtChineseTexts.
void InitResources();

// Qt's own texts (message box buttons, text box context menus) in Simplified
// Chinese, whatever the system locale, since the whole interface is Chinese.
// Without Qt's translation files installed they stay English.
void LoadQtChineseTexts();

// The program's logo, 75 x 47 pixels.
QPixmap LogoPixmap();

}  // namespace gaspipe
