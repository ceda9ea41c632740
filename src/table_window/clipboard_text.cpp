#include "clipboard_text.h"

namespace gaspipe::table {

namespace {

bool NeedsQuotes(const QString& cell) {
    return cell.contains(QLatin1Char('\t')) || cell.contains(QLatin1Char('\n')) ||
           cell.contains(QLatin1Char('\r')) || cell.startsWith(QLatin1Char('"'));
}

}  // namespace

CellBlock ParseClipboardTable(const QString& input) {
    QString text = input;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    CellBlock rows;
    if (text.isEmpty()) return rows;
    QStringList row;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (true) {
        QString cell;
        qsizetype end = i;
        bool quoted = false;
        if (i < n && text[i] == QLatin1Char('"')) {
            // A quoted cell runs to the quote that is not doubled.
            qsizetype j = i + 1;
            QString inner;
            while (j < n) {
                if (text[j] == QLatin1Char('"')) {
                    if (j + 1 < n && text[j + 1] == QLatin1Char('"')) {
                        inner += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    break;
                }
                inner += text[j++];
            }
            if (j < n) {
                quoted = true;
                cell = inner;
                end = j + 1;
                // Anything between the closing quote and the separator is kept as text.
                while (end < n && text[end] != QLatin1Char('\t') && text[end] != QLatin1Char('\n'))
                    cell += text[end++];
            }
        }
        if (!quoted) {
            while (end < n && text[end] != QLatin1Char('\t') && text[end] != QLatin1Char('\n'))
                ++end;
            cell = text.mid(i, end - i);
        }
        row << cell;
        if (end >= n) {
            rows << row;
            break;
        }
        if (text[end] == QLatin1Char('\n')) {
            rows << row;
            row.clear();
            if (end + 1 >= n) break;  // the line break that ends the last row
        }
        i = end + 1;
    }
    return rows;
}

QString ToTabSeparated(const CellBlock& block) {
    QString out;
    for (const QStringList& row : block) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c) out += QLatin1Char('\t');
            const QString& cell = row[c];
            if (NeedsQuotes(cell)) {
                QString doubled = cell;
                doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
                out += QLatin1Char('"') + doubled + QLatin1Char('"');
            } else {
                out += cell;
            }
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString ToHtmlTable(const CellBlock& block) {
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\"></head><body><table>");
    for (const QStringList& row : block) {
        out += QStringLiteral("<tr>");
        for (const QString& cell : row) {
            QString escaped = cell.toHtmlEscaped();
            escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
            out += QStringLiteral("<td>") + escaped + QStringLiteral("</td>");
        }
        out += QStringLiteral("</tr>");
    }
    return out + QStringLiteral("</table></body></html>");
}

}  // namespace gaspipe::table
