#include "headless_platform.h"

namespace gaspipe::sheet::detail {

// Qt's offscreen platform has no font database on Windows: the PDF would
// come out in empty boxes, with success. The windows platform needs a
// desktop, and where there is none (a service, Wine without a display) it
// opens a message box and waits. The minimal one, with fonts enabled, reads
// Windows' own font database and needs neither.
const char* HeadlessPlatform() { return "minimal:enable_fonts"; }

}  // namespace gaspipe::sheet::detail
