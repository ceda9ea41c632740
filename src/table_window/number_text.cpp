#include "number_text.h"

#include <QLocale>

#include <cmath>

namespace gaspipe::table {

namespace {

QLocale Plain(QLocale locale) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

}  // namespace

std::optional<double> ParseNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    bool ok = false;
    double value = Plain(QLocale()).toDouble(t, &ok);
    if (!ok) value = Plain(QLocale::c()).toDouble(t, &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

QString ShortestText(double value) {
    return Plain(QLocale()).toString(value, 'g', QLocale::FloatingPointShortest);
}

QString RoundedText(double value, int decimals) {
    const double factor = std::pow(10.0, decimals);
    const double rounded = std::round(value * factor) / factor;
    return ShortestText(rounded == 0 ? 0.0 : rounded);  // no "-0"
}

QString FixedText(double value, int decimals) {
    QString text = Plain(QLocale()).toString(value, 'f', decimals);
    const QString zero = Plain(QLocale()).toString(0.0, 'f', decimals);
    if (text == QLatin1Char('-') + zero) text = zero;
    return text;
}

}  // namespace gaspipe::table
