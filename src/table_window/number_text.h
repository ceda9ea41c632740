// Numbers as the table shows and reads them: the user's decimal separator on
// screen; typed or pasted text read in the user's locale, else with '.', so
// that numbers pasted from any spreadsheet come in.
#pragma once

#include <QString>

#include <optional>

namespace gaspipe::table {

// Blanks around the number allowed; no digit grouping. Empty, non-numeric
// or non-finite text gives nothing.
std::optional<double> ParseNumber(const QString& text);

// The shortest text that reads back as value.
QString ShortestText(double value);

// At most `decimals` places, trailing zeros dropped ("2.5", "12").
QString RoundedText(double value, int decimals);

// Exactly `decimals` places, for columns of results that line up.
QString FixedText(double value, int decimals);

}  // namespace gaspipe::table
