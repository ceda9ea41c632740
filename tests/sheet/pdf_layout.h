// Where a PDF's text stands, as pdftotext -bbox-layout (poppler-utils) reads
// it: per page, its lines with their boxes in points.
#pragma once

#include <QXmlStreamReader>

#include <algorithm>
#include <string>
#include <vector>

#include "sheet_text.h"

namespace gaspipe::sheet::test {

// A visual line: the words whose middles lie within the height of its
// tallest word (scripts included), left to right, joined without blanks.
// pdftotext's own lines split a table row into its cells.
struct TextLine {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};

struct LaidPage {
    double width = 0, height = 0;
    std::vector<TextLine> lines;  // top to bottom
};

inline std::vector<TextLine> VisualLines(std::vector<TextLine> words) {
    std::stable_sort(words.begin(), words.end(), [](const TextLine& a, const TextLine& b) {
        return a.yMax - a.yMin > b.yMax - b.yMin;
    });
    std::vector<std::vector<TextLine>> rows;
    for (const TextLine& w : words) {
        const double middle = (w.yMin + w.yMax) / 2;
        auto row = std::find_if(rows.begin(), rows.end(), [middle](const auto& r) {
            return middle >= r.front().yMin && middle <= r.front().yMax;
        });
        if (row == rows.end())
            rows.push_back({w});
        else
            row->push_back(w);
    }
    std::vector<TextLine> lines;
    for (auto& r : rows) {
        std::stable_sort(r.begin(), r.end(),
                         [](const TextLine& a, const TextLine& b) { return a.xMin < b.xMin; });
        TextLine line = r.front();
        line.text.clear();
        for (const TextLine& w : r) {
            line.xMin = std::min(line.xMin, w.xMin);
            line.xMax = std::max(line.xMax, w.xMax);
            line.yMin = std::min(line.yMin, w.yMin);
            line.yMax = std::max(line.yMax, w.yMax);
            line.text += w.text;
        }
        lines.push_back(std::move(line));
    }
    std::sort(lines.begin(), lines.end(),
              [](const TextLine& a, const TextLine& b) { return a.yMin < b.yMin; });
    return lines;
}

inline std::vector<LaidPage> ReadLayout(const std::string& pdf) {
    const std::string xhtml = Run("pdftotext -bbox-layout '" + pdf + "' -");
    std::vector<LaidPage> pages;
    std::vector<TextLine> words;
    QXmlStreamReader xml(QByteArray::fromStdString(xhtml));
    auto number = [&xml](const char* name) { return xml.attributes().value(name).toDouble(); };
    auto close = [&] {
        if (!pages.empty()) pages.back().lines = VisualLines(std::move(words));
        words.clear();
    };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"page") {
            close();
            pages.push_back({number("width"), number("height"), {}});
        } else if (xml.name() == u"word") {
            TextLine w{number("xMin"), number("yMin"), number("xMax"), number("yMax"), {}};
            w.text = Squeezed(xml.readElementText().toStdString());
            words.push_back(std::move(w));
        }
    }
    close();
    return pages;
}

// Lines between the running header and the footer: 24 mm from the top and
// 21 mm from the bottom of the page.
inline std::vector<TextLine> BodyLines(const LaidPage& page) {
    constexpr double mm = 72 / 25.4;
    std::vector<TextLine> body;
    for (const TextLine& l : page.lines)
        if (l.yMin >= 24 * mm && l.yMax <= page.height - 21 * mm) body.push_back(l);
    return body;
}

}  // namespace gaspipe::sheet::test
