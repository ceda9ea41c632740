#include "text_limits.h"

namespace gaspipe::table {

QString CutToUtf8Bytes(const QString& text, std::size_t maxBytes) {
    std::size_t bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char32_t c = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                          QChar::isLowSurrogate(text.at(i + 1).unicode());
        const std::size_t size = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + size > maxBytes) break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

QString CaseTextProblem(const QString& text, bool id) {
    switch (network::CheckCaseText(text.toStdString(), id ? kIdBytes : kTextBytes, id)) {
        case network::TextFault::None:
            return {};
        case network::TextFault::TooLong:
            return QStringLiteral("超过 %1 字节").arg(id ? kIdBytes : kTextBytes);
        case network::TextFault::ControlCharacter:
            break;
    }
    return QStringLiteral("不能含有控制字符（制表符、换行、转义等）");
}

Utf8LimitValidator::Utf8LimitValidator(std::size_t maxBytes, QObject* parent)
    : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State Utf8LimitValidator::validate(QString& input, int& pos) const {
    // Most texts are far below the limit in characters already.
    if (std::size_t(input.size()) * 3 <= maxBytes_ ||
        std::size_t(input.toUtf8().size()) <= maxBytes_)
        return Acceptable;
    input = CutToUtf8Bytes(input, maxBytes_);
    pos = std::min(pos, int(input.size()));
    emit cut(QStringLiteral("最多 %1 字节（一个汉字占 3 字节），超出的部分已截去").arg(maxBytes_));
    return Acceptable;
}

}  // namespace gaspipe::table
