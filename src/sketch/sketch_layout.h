// The sketch laid out: a layered tree with the source at the left, one
// column per segment from the source, one row per end node. The line to the
// first child runs straight on; the other children hang from a short
// vertical bus just right of their parent, so no two pipes cross and the
// text right of an end node has its row to itself. A line deeper than the
// width allowed wraps onto further rows of the drawing (bands); the band
// goes on from a hollow copy of the node where the band above stopped. With
// a page height the bands are cut into pages, a band taller than a page at
// its rows.
//
// Lengths are in drawing units (1/96 inch at the natural size); the painter
// scales them to its device. Text widths come from the painter's fonts.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sketch_tree.h"

namespace gaspipe::sketch {

struct Metrics {
    // The width of a label in the painter's font; default: a guess from the
    // characters (a full-width character one text height, others half).
    std::function<double(std::string_view)> textWidth;
    double textHeight = 16;      // a label's line
    double maxWidth = 1000;      // a band wraps beyond this, if a column leaves room
    double pageHeight = 0;       // 0: one page however long; else pages at most this high
    double firstPageHeight = 0;  // the first page's, when it differs
    bool pipes = true;           // DN and length under each segment
};

struct Point {
    double x = 0, y = 0;
};

// Horizontal or vertical.
struct Line {
    enum class Kind {
        Pipe,          // the run into node: the segment itself
        Bus,           // a parent's vertical link to its children below
        Continuation,  // to the band below, which goes on from there
    };
    Point from, to;
    Kind kind = Kind::Pipe;
    std::size_t node = kNone;  // Pipe: the node the segment feeds
};

struct Mark {
    enum class Kind {
        Source,
        Junction,
        End,
        Ghost
    };  // Ghost: repeats the node a band goes on from
    Point at;
    Kind kind = Kind::Junction;
    std::size_t node = kNone;
};

struct Label {
    enum class Kind { Node, Source, Segment, Pipe, End, Ghost };
    std::string text;
    double left = 0, top = 0, width = 0;  // its box; the height is Metrics::textHeight
    Kind kind = Kind::Node;
    std::size_t node = kNone;
};

// One band, or the rows of it that fit a page, in page coordinates.
struct Strip {
    double top = 0, bottom = 0;
    std::vector<Line> lines;
    std::vector<Mark> marks;
    std::vector<Label> labels;
};

struct Page {
    double width = 0, height = 0;
    std::vector<Strip> strips;
};

struct Layout {
    std::vector<Page> pages;  // none for a tree without segments
    std::size_t bands = 0;    // rows of the drawing, before pages cut them
    double markRadius = 3.5;
};

Layout LayOut(const Tree& tree, const Metrics& metrics);

}  // namespace gaspipe::sketch
