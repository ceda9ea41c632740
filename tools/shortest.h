// Numbers written as std::to_chars(first, last, value) writes them: the
// shortest text that reads back as the same float or double, fixed or
// scientific, whichever is shorter. libstdc++'s own takes about 50 ns a
// number, which a batch row pays eight times; the digits from fmt's
// Dragonbox take about 15.
#pragma once

namespace gaspipe::cli {

// Room enough: 64 bytes at out. Returns the end of the text.
char* WriteShortest(char* out, float value);
char* WriteShortest(char* out, double value);

}  // namespace gaspipe::cli
