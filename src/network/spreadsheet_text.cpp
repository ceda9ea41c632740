#include "spreadsheet_text.h"

namespace gaspipe::network {

namespace {

bool Marked(char first) {
    switch (first) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r':
        case '\'':
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string SpreadsheetCell(std::string_view text) {
    if (text.empty() || !Marked(text.front())) return std::string(text);
    std::string cell(1, '\'');
    return cell += text;
}

std::string_view TextOfSpreadsheetCell(std::string_view cell) {
    if (cell.size() >= 2 && cell.front() == '\'' && Marked(cell[1])) cell.remove_prefix(1);
    return cell;
}

}  // namespace gaspipe::network
