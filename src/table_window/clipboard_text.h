// Cell ranges as spreadsheets put them on the clipboard: tab-separated rows,
// a cell holding a tab, a line break or a leading quote written in quotes
// with its quotes doubled. Read the way Excel, WPS and LibreOffice write it
// (a trailing line break, CRLF or LF), and written so that they read it back.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace gaspipe::table {

using CellBlock = QList<QStringList>;

// Rows of cells. "" gives no rows; a line break at the end ends the last row
// rather than starting an empty one. A quote that never closes is taken as
// text.
CellBlock ParseClipboardTable(const QString& text);

// Every row ends with a line break, as spreadsheets copy it.
QString ToTabSeparated(const CellBlock& block);

// An HTML table, which word processors and spreadsheets paste as a table.
QString ToHtmlTable(const CellBlock& block);

}  // namespace gaspipe::table
