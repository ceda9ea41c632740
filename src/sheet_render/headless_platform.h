// The platform of the headless application the sheet writer makes for a
// program that has none (gaspipe-calc): one that needs no display and knows
// the system's fonts. One implementation file per platform.
#pragma once

namespace gaspipe::sheet::detail {

const char* HeadlessPlatform();

}  // namespace gaspipe::sheet::detail
