// The calculation sketch (计算简图) of a line as a tree of label texts: the
// source, every node with the segment that feeds it, the segment's id and
// pipe, and what an end node draws. Built from the topology alone, so a line
// whose segments could not all be calculated still has its sketch.
//
// Data flow: BuildTree (case + topology) -> Tree (texts, drawing order) ->
// LayOut (sketch_layout.h, with the painter's text widths) -> pages of lines,
// marks and labels that one Qt routine paints on every device.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "case.h"
#include "topology.h"

namespace gaspipe::sketch {

inline constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Node {
    std::size_t parent = kNone;   // index in Tree::nodes; none for the source
    std::size_t segment = kNone;  // the segment into it (index in Case::segments)
    std::string name;             // the node's id
    std::string segmentId;        // the id of the segment into it
    std::string pipe;             // "DN50 L=12.5m"
    std::string endLabel;         // drawn beside an end node: its load, or the hook's text

    bool operator==(const Node&) const = default;
};

// Nodes in drawing order: the source first, every node followed by its
// subtree, the child with the most segments below it first (it continues the
// parent's line straight on; the others branch off below it).
struct Tree {
    std::vector<Node> nodes;

    bool operator==(const Tree&) const = default;
};

struct TreeOptions {
    // The text beside an end node (one no segment leaves), given the segment
    // into it. Default: the node's households and load, "N=12户",
    // "2.5 m³/h" or "N=12户+2.5 m³/h", and nothing without either.
    std::function<std::string(const network::Case&, const network::Topology&, std::size_t segment)>
        endLabel;
    // Numbers in the labels; default: the shortest text that reads back, with '.'.
    std::function<std::string(double)> number;
};

// The topology must be the case's, checked (BuildTopology succeeded).
Tree BuildTree(const network::Case& c, const network::Topology& t, const TreeOptions& options = {});

// The shortest text of a number that reads back as the same double, with '.'.
std::string ShortestNumber(double value);

// Longer labels end in "…" after this many characters: an id may be 256
// bytes, and one label must not widen every column of the drawing.
inline constexpr std::size_t kLabelCharacters = 20;

}  // namespace gaspipe::sketch
