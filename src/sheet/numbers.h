// Numbers as the sheet prints them: fixed decimals per quantity, inputs as
// entered, small ratios in powers of ten. Rich markup (document.h) where a
// number needs an exponent.
#pragma once

#include <string>

namespace gaspipe::sheet {

// Fixed-point with `decimals` decimals; a negative value that rounds to zero
// keeps its sign, since the sign says which way the pressure went.
std::string Fixed(double value, int decimals);

// The shortest text that reads back as the same double, or, for a value
// stored as a float, as the same float: inputs shown as they were entered.
std::string Shortest(double value);
std::string ShortestFloat(double value);

// Fixed with at most `decimals` decimals, trailing zeros dropped: a limit
// given in one unit and shown in another ("30", not "30.000000000000004").
std::string Trimmed(double value, int decimals);

// "1.23×10^{-4}" with `significant` digits; "0" for zero.
std::string Power10(double value, int significant);

}  // namespace gaspipe::sheet
