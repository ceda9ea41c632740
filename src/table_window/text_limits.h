// The case file's limits on texts, as the window's fields apply them: ids
// (nodes, segments) and free texts (the project fields) are counted in UTF-8
// bytes, the way the file stores them, so that nothing typed or pasted makes
// a file the reader would refuse.
#pragma once

#include <QString>
#include <QValidator>

#include <cstddef>

#include "case_file.h"

namespace gaspipe::table {

inline constexpr std::size_t kIdBytes = network::CaseFileLimits{}.maxIdBytes;
inline constexpr std::size_t kTextBytes = network::CaseFileLimits{}.maxTextBytes;

// The longest start of text that fits in maxBytes UTF-8 bytes, whole
// characters only.
QString CutToUtf8Bytes(const QString& text, std::size_t maxBytes);

// Why text cannot be an id (or, with id false, a free text) of a case file,
// in Chinese; "" when it can. The rule is the reader's.
QString CaseTextProblem(const QString& text, bool id);

// Keeps a line field within maxBytes: a paste or typing beyond it is cut on a
// character boundary, and cut() says so.
class Utf8LimitValidator : public QValidator {
    Q_OBJECT

  public:
    Utf8LimitValidator(std::size_t maxBytes, QObject* parent);
    State validate(QString& input, int& pos) const override;

  signals:
    // The text was cut to the limit; message says so, in Chinese.
    void cut(const QString& message) const;

  private:
    std::size_t maxBytes_;
};

}  // namespace gaspipe::table
