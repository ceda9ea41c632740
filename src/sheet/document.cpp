#include "document.h"

namespace gaspipe::sheet {

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
        add(markup.substr(i + 2, close - i - 2),
            c == '_' ? Span::Script::Sub : Span::Script::Super);
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
