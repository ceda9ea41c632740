// Text <-> number at the window's edge, with the user's decimal separator.
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace gaspipe {

// A single-precision value from a text box: blanks around the number allowed,
// optional sign and exponent, the locale's decimal separator. Empty or
// non-numeric text, inf/nan and values beyond the float range give nothing.
std::optional<float> TextToSingle(const QString& text, const QLocale& locale = QLocale::system());

// The shortest text that reads back as `value`, without digit grouping.
QString ShortestText(double value, const QLocale& locale = QLocale::system());

}  // namespace gaspipe
