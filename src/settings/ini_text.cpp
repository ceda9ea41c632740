#include "ini_text.h"

#include <vector>

#include "gbk.h"
#include "ini_lines.h"

namespace gaspipe::ini {
namespace {

// Line breaks are CRLF, LF or a lone CR.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t pos = 0; pos < text.size(); pos = lines.back().next)
        lines.push_back(LineAt(text, pos));
    return lines;
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
    for (std::size_t pos = 0; pos < text.size();) {
        const Line line = LineAt(text, pos);
        pos = line.next;
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

std::optional<std::string> ToFileText(std::string_view utf8) {
    return gbk::FromUtf8(utf8.substr(0, utf8.find('\0')));
}

std::string ToProgramText(std::string_view stored) {
    std::string value = gbk::ToUtf8(DeliveredValue(stored));
    value.erase(0, value.find_first_not_of(' '));
    return value;
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
