#include "document.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace gaspipe::sheet {

namespace {

// A power as Unicode's superscript characters, which keep their meaning in
// copied text (1.27×10¹⁰, not 1.27×1010); empty when a character has none.
std::string SuperscriptCharacters(std::string_view text) {
    static const std::pair<std::string_view, std::string_view> map[] = {
        {"0", "⁰"}, {"1", "¹"}, {"2", "²"}, {"3", "³"}, {"4", "⁴"}, {"5", "⁵"},
        {"6", "⁶"}, {"7", "⁷"}, {"8", "⁸"}, {"9", "⁹"}, {"−", "⁻"}, {"-", "⁻"},
        {"+", "⁺"}, {"(", "⁽"}, {")", "⁾"}, {"n", "ⁿ"}};
    std::string out;
    while (!text.empty()) {
        const auto* m = std::find_if(std::begin(map), std::end(map),
                                     [text](const auto& e) { return text.starts_with(e.first); });
        if (m == std::end(map)) return {};
        out += m->second;
        text.remove_prefix(m->first.size());
    }
    return out;
}

}  // namespace

Rich ParseRich(std::string_view markup) {
    Rich rich;
    auto add = [&rich](std::string_view text, Span::Script script) {
        if (text.empty()) return;
        if (!rich.empty() && rich.back().script == script)
            rich.back().text += text;
        else
            rich.push_back({std::string(text), script});
    };
    std::size_t plainStart = 0;
    for (std::size_t i = 0; i < markup.size(); ++i) {
        const char c = markup[i];
        if ((c != '_' && c != '^') || i + 1 >= markup.size() || markup[i + 1] != '{') continue;
        const std::size_t close = markup.find('}', i + 2);
        if (close == std::string_view::npos) break;
        add(markup.substr(plainStart, i - plainStart), Span::Script::Normal);
        const std::string_view inner = markup.substr(i + 2, close - i - 2);
        const std::string power = c == '^' ? SuperscriptCharacters(inner) : std::string();
        if (!power.empty())
            add(power, Span::Script::Normal);
        else
            add(inner, c == '_' ? Span::Script::Sub : Span::Script::Super);
        i = close;
        plainStart = close + 1;
    }
    add(markup.substr(plainStart), Span::Script::Normal);
    return rich;
}

std::string PlainText(const Rich& rich) {
    std::string text;
    for (const Span& s : rich) text += s.text;
    return text;
}

std::string PageNumberText(int page, int pages) {
    return "第 " + std::to_string(page) + " 页 共 " + std::to_string(pages) + " 页";
}

}  // namespace gaspipe::sheet
