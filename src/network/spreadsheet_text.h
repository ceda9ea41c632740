// Text cells of files meant for Excel and WPS. A cell that begins with =, +,
// -, @, a tab or a carriage return is taken there as a formula (and can run
// one, such as =HYPERLINK(...)), so it is written with a leading apostrophe,
// as those programs themselves mark text; a cell that begins with an
// apostrophe gets one more, so that reading the file back restores every
// text exactly. Numbers are written as numbers and never pass through here.
#pragma once

#include <string>
#include <string_view>

namespace gaspipe::network {

// The text as the cell to write.
std::string SpreadsheetCell(std::string_view text);

// The text a cell read back stands for: the apostrophe SpreadsheetCell
// added, taken off again.
std::string_view TextOfSpreadsheetCell(std::string_view cell);

}  // namespace gaspipe::network
