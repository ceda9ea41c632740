#include "ini_lines.h"

#include "gbk.h"

namespace gaspipe::ini {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

}  // namespace

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

Line LineAt(std::string_view text, std::size_t pos) {
    Line line;
    line.begin = pos;
    const std::size_t brk = text.find_first_of("\r\n", pos);
    line.end = brk == std::string_view::npos ? text.size() : brk;
    line.next = line.end;
    if (line.next < text.size()) {
        ++line.next;
        if (text[brk] == '\r' && line.next < text.size() && text[line.next] == '\n') ++line.next;
    }
    const std::string_view content = Trim(text.substr(line.begin, line.end - line.begin));
    if (content.empty()) return line;
    if (content.front() == ';') {
        line.kind = Kind::Comment;
        return line;
    }
    if (content.front() == '[') {
        // The name ends at the last ']' that is a character of its own:
        // walking by characters skips ']' bytes that are trail bytes.
        std::size_t close = std::string_view::npos;
        for (std::size_t i = 1; i < content.size(); i += gbk::CharLength(content, i)) {
            if (content[i] == ']') close = i;
        }
        if (close != std::string_view::npos) {
            line.kind = Kind::Section;
            line.name = Trim(content.substr(1, close - 1));
            return line;
        }
    }
    // '=' is below the GBK trail byte range, so the first one is a real one.
    line.kind = Kind::Key;
    const std::size_t eq = content.find('=');
    line.name = Trim(content.substr(0, eq));
    line.nameEnd = static_cast<std::size_t>(line.name.data() + line.name.size() - text.data());
    if (eq != std::string_view::npos) line.value = Trim(content.substr(eq + 1));
    return line;
}

bool Matches(std::string_view fileName, std::string_view wanted) {
    return gbk::EqualIgnoringAsciiCase(fileName, wanted);
}

}  // namespace gaspipe::ini
