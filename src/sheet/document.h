// The calculation sheet (计算书) as a list of elements: headings, paragraphs,
// tables, formulas with their symbols, figures, the sign-off table and page
// breaks with the orientation of the pages after them.
//
// Data flow: the builders (segment_sheet.h, table_sheet.h) turn a hydraulics
// trace or a solved case into a Document whose every number is already text;
// the renderers (HTML here, PDF and ODT in the Qt library) only lay the
// elements out, so every format shows the same figures.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "profile.h"
#include "sketch_tree.h"

namespace gaspipe::sheet {

// A run of text, raised or lowered for exponents and indices.
struct Span {
    enum class Script { Normal, Sub, Super };
    std::string text;
    Script script = Script::Normal;
};
using Rich = std::vector<Span>;

// "P_{1}^{2} − P_{2}^{2}": _{…} lowers and ^{…} raises its braces' content,
// a power of digits, signs and parentheses as Unicode's superscript
// characters (P₁² − P₂²), which copied text keeps; a '_' or '^' without a
// brace, and an unclosed brace, stay plain text. A line break ('\n') stays
// in the text; renderers break the line there.
Rich ParseRich(std::string_view markup);
// The text without the scripts' markup, as a reader copying it gets it.
std::string PlainText(const Rich& rich);

enum class Align { Left, Center, Right };

// What a table cell says about a check, shown in colour as the table window
// does.
enum class Check { None, Pass, Fail };

struct Heading {
    int level = 1;  // 0 the document's title, 1 a chapter (一、), 2 a section
    std::string text;
};

struct Paragraph {
    enum class Style {
        Body,
        Note,      // a smaller explanatory line under a table or figure
        Subtitle,  // under the title on the cover
    };
    Rich text;
    Style style = Style::Body;
};

struct Column {
    Rich title;
    Align align = Align::Left;
    int width = 1;  // relative share of the table's width
};

struct Cell {
    Rich text;
    Check check = Check::None;
    bool emphasis = false;  // a label column or a total
};

struct Table {
    std::string caption;          // "表 4-1 迭代计算过程"; empty: none
    std::vector<Column> columns;  // headers shown when any has a title
    std::vector<std::vector<Cell>> rows;
    int widthPercent = 100;
    // Dense: the small font of a wide calculation table; Roomy: a form to
    // fill in or sign.
    enum class Density { Normal, Dense, Roomy } density = Density::Normal;
};

// One numbered formula, with the condition under which it applies.
struct Formula {
    std::string number;  // "(3-1)"
    Rich expression;
    Rich condition;  // may be empty
};

// "式中：" followed by one line per symbol.
struct Symbols {
    std::vector<std::pair<Rich, std::string>> entries;  // symbol, meaning with its unit
};

// The pressure profile of a line, drawn by the chart routine where the
// renderer has one.
struct ProfileFigure {
    network::Profile profile;
    bool lowPressure = false;
    std::string caption;
    double widthMm = 160, heightMm = 90;
};

// The calculation sketch of the line. The renderer lays it out in its own
// font on pages whose drawing takes at most widthMm × heightMm; a sketch
// longer than that goes on over more pages, each with the caption, whose
// drawing may be nextHeightMm high (no chapter heading above it).
struct SketchFigure {
    sketch::Tree tree;
    std::string caption;
    double widthMm = 250, heightMm = 148, nextHeightMm = 154;
};

// Signature rows left blank for the design institute's sign-off.
struct SignOff {
    std::vector<std::string> roles;  // 设计, 校对, 审核, 审定
};

enum class Orientation { Portrait, Landscape };

// The pages after it start on a new page in this orientation.
struct PageBreak {
    Orientation orientation = Orientation::Portrait;
};

using Element = std::variant<Heading, Paragraph, Table, Formula, Symbols, ProfileFigure,
                             SketchFigure, SignOff, PageBreak>;

struct Document {
    std::string title;  // also the PDF's title
    // The running header of every page but the first, and the footer of
    // every page (program and version, method, time produced); the page
    // number "第 x 页 共 y 页" is the renderer's.
    std::string headerLeft, headerRight, footer;
    std::vector<Element> elements;
};

// Page numbers as the sheet prints them.
std::string PageNumberText(int page, int pages);

}  // namespace gaspipe::sheet
