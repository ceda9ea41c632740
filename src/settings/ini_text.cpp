#include "ini_text.h"

#include <vector>

#include "gbk.h"

namespace gaspipe::ini {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Blank bytes never occur as GBK trail bytes, so trimming from either end is
// safe on double-byte text.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

enum class Kind { Blank, Comment, Section, Key };

struct Line {
    std::size_t begin = 0;  // first byte
    std::size_t end = 0;    // end of content, before the line break
    std::size_t next = 0;   // first byte of the following line
    Kind kind = Kind::Blank;
    std::string_view name;  // section or key name, trimmed
    std::size_t nameEnd = 0;
    std::optional<std::string_view> value;  // a key line without '=' has none
};

Line Classify(std::string_view text, std::size_t begin, std::size_t end, std::size_t next) {
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    const std::string_view content = Trim(text.substr(begin, end - begin));
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

// Line breaks are CRLF, LF or a lone CR.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", pos);
        if (brk == std::string_view::npos) {
            lines.push_back(Classify(text, pos, text.size(), text.size()));
            break;
        }
        std::size_t next = brk + 1;
        if (text[brk] == '\r' && next < text.size() && text[next] == '\n') ++next;
        lines.push_back(Classify(text, pos, brk, next));
        pos = next;
    }
    return lines;
}

bool Matches(std::string_view fileName, std::string_view wanted) {
    return gbk::EqualIgnoringAsciiCase(fileName, wanted);
}

// The line break a new line gets: the one of the line it follows, else the
// file's first one, CRLF for a new file.
std::string_view LineBreakAfter(std::string_view text, const std::vector<Line>& lines,
                                std::size_t anchor) {
    if (anchor < lines.size() && lines[anchor].next > lines[anchor].end) {
        return text.substr(lines[anchor].end, lines[anchor].next - lines[anchor].end);
    }
    for (const Line& line : lines) {
        if (line.next > line.end) return text.substr(line.end, line.next - line.end);
    }
    return "\r\n";
}

// Appends a piece of text. In a file that mixes line breaks, a lone CR
// followed by a piece that starts with LF would read as one CRLF and swallow
// a line; turning that CR into CRLF keeps both lines.
void Join(std::string& out, std::string_view piece) {
    if (!out.empty() && out.back() == '\r' && !piece.empty() && piece.front() == '\n')
        out.push_back('\n');
    out.append(piece);
}

bool HasLineBreakOrZero(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A byte of 0x81 or more that is not part of a double-byte character; a name
// holding one might merge with the ']' or '=' after it.
bool HasBrokenCharacter(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); i += gbk::CharLength(s, i)) {
        if (gbk::CharLength(s, i) == 1 && gbk::IsLeadByte(static_cast<unsigned char>(s[i])))
            return true;
    }
    return false;
}

std::string RemoveLines(std::string_view text, const std::vector<bool>& drop,
                        const std::vector<Line>& lines) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!drop[i]) Join(out, text.substr(lines[i].begin, lines[i].next - lines[i].begin));
    }
    return out;
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view text, std::string_view section,
                                          std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty()) return std::nullopt;
    bool inSection = false;
    for (const Line& line : SplitLines(text)) {
        if (line.kind == Kind::Section) {
            // Only the first section of a name is searched.
            if (inSection) return std::nullopt;
            inSection = Matches(line.name, section);
        } else if (inSection && line.kind == Kind::Key && Matches(line.name, key)) {
            return line.value.value_or(std::string_view());
        }
    }
    return std::nullopt;
}

std::string_view DeliveredValue(std::string_view stored) {
    if (stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') &&
        stored.back() == stored.front()) {
        stored = stored.substr(1, stored.size() - 2);
    }
    stored = stored.substr(0, stored.find('\0'));
    return gbk::CutToWholeChars(stored, kMaxValueBytes);
}

std::optional<std::string> SetKey(std::string_view text, std::string_view section,
                                  std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty() || HasLineBreakOrZero(section) || HasLineBreakOrZero(key) ||
        HasLineBreakOrZero(value) || HasBrokenCharacter(section) || HasBrokenCharacter(key) ||
        key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';') {
        return std::nullopt;
    }
    const std::vector<Line> lines = SplitLines(text);

    // Find the first section of that name, its key line, and the line after
    // which a new key goes (its last key line, or its header).
    std::optional<std::size_t> header;
    std::optional<std::size_t> keyLine;
    std::size_t anchor = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Kind::Section) {
            if (header) break;
            if (Matches(line.name, section)) header = anchor = i;
        } else if (header && line.kind == Kind::Key) {
            if (Matches(line.name, key)) {
                keyLine = i;
                break;
            }
            anchor = i;
        }
    }

    std::string out;
    out.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    if (keyLine) {
        // Keep the indentation and spelling of the stored name.
        const Line& line = lines[*keyLine];
        out.append(text.substr(0, line.nameEnd));
        out.append("=").append(value);
        out.append(text.substr(line.end));
        return out;
    }
    if (header) {
        const Line& line = lines[anchor];
        const std::string_view br = LineBreakAfter(text, lines, anchor);
        out.append(text.substr(0, line.next));
        if (line.next == line.end) out.append(br);  // the anchor was the unterminated last line
        out.append(key).append("=").append(value).append(br);
        Join(out, text.substr(line.next));
        return out;
    }
    out.append(text);
    if (!lines.empty()) {
        const std::string_view br = LineBreakAfter(text, lines, lines.size() - 1);
        if (lines.back().next == lines.back().end) out.append(br);
        if (lines.back().kind != Kind::Blank) out.append(br);
        out.append("[").append(section).append("]").append(br);
        out.append(key).append("=").append(value).append(br);
        return out;
    }
    out.append("[").append(section).append("]\r\n").append(key).append("=").append(value).append(
        "\r\n");
    return out;
}

std::optional<std::string> DeleteKey(std::string_view text, std::string_view section,
                                     std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty()) return std::nullopt;
    const std::vector<Line> lines = SplitLines(text);
    std::vector<bool> drop(lines.size(), false);
    bool inSection = false;
    bool any = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Kind::Section) {
            inSection = Matches(line.name, section);
        } else if (inSection && line.kind == Kind::Key && Matches(line.name, key)) {
            drop[i] = any = true;
        }
    }
    if (!any) return std::nullopt;
    return RemoveLines(text, drop, lines);
}

std::optional<std::string> DeleteSection(std::string_view text, std::string_view section) {
    section = Trim(section);
    if (section.empty()) return std::nullopt;
    const std::vector<Line> lines = SplitLines(text);
    std::vector<bool> drop(lines.size(), false);
    bool inSection = false;
    bool any = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section) {
            inSection = Matches(lines[i].name, section);
            any = any || inSection;
        }
        drop[i] = inSection;
    }
    if (!any) return std::nullopt;
    return RemoveLines(text, drop, lines);
}

}  // namespace gaspipe::ini
