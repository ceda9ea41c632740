#include "locale_number.h"

#include <cmath>
#include <limits>

namespace gaspipe {

std::optional<float> TextToSingle(const QString& text, const QLocale& locale) {
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    // Beyond FLT_MAX the value would round to FLT_MAX or to infinity: overflow either way.
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(value);
}

QString ShortestText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace gaspipe
