#include "headless_platform.h"

namespace gaspipe::sheet::detail {

const char* HeadlessPlatform() { return "offscreen"; }

}  // namespace gaspipe::sheet::detail
