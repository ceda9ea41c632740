#include "sketch_tree.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace gaspipe::sketch {

namespace {

// One line of at most kLabelCharacters characters: control characters (a
// line break in an id) become blanks.
std::string Label(std::string_view text) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool starts = (byte & 0xC0) != 0x80;
        if (starts && ++characters > kLabelCharacters) {
            out += "…";
            break;
        }
        out += byte < 0x20 || byte == 0x7F ? ' ' : text[i];
    }
    return out;
}

std::string PipeText(const network::Segment& s, const std::function<std::string(double)>& number) {
    std::string text;
    // Plastic pipe goes by its outside diameter, dn; steel and cast iron by DN.
    if (!s.nominal.empty())
        text = (s.material == "PE管" ? "dn" : "DN") + s.nominal;
    else if (s.innerDiameter)
        text = "内径" + number(*s.innerDiameter);
    if (!text.empty()) text += ' ';
    return text + "L=" + number(s.length) + "m";
}

}  // namespace

std::string ShortestNumber(double value) {
    char buffer[32];
    const auto end = std::to_chars(std::begin(buffer), std::end(buffer), value).ptr;
    return std::string(buffer, end);
}

Tree BuildTree(const network::Case& c, const network::Topology& t, const TreeOptions& options) {
    const std::size_t n = c.segments.size();
    const auto number = options.number ? options.number : ShortestNumber;

    // Children of each segment (and of the source, at n) in case order, the
    // one with the largest part of the line below it moved to the front.
    std::vector<std::size_t> first(n + 3, 0), children(n);
    auto parentOf = [&](std::size_t s) {
        return t.feeder[s] == network::kNoSegment ? n : t.feeder[s];
    };
    for (std::size_t s = 0; s < n; ++s) ++first[parentOf(s) + 2];
    for (std::size_t p = 3; p < first.size(); ++p) first[p] += first[p - 1];
    for (std::size_t s = 0; s < n; ++s) children[first[parentOf(s) + 1]++] = s;
    auto size = [&](std::size_t s) { return t.downstreamEnd[s] - t.position[s]; };
    for (std::size_t p = 0; p <= n; ++p) {
        const auto begin = children.begin() + static_cast<std::ptrdiff_t>(first[p]);
        const auto end = children.begin() + static_cast<std::ptrdiff_t>(first[p + 1]);
        const auto main = std::max_element(
            begin, end, [&](std::size_t a, std::size_t b) { return size(a) < size(b); });
        std::rotate(begin, main, main == end ? end : main + 1);
    }

    Tree tree;
    tree.nodes.reserve(n + 1);
    tree.nodes.push_back({kNone, kNone, Label(c.source.node), {}, {}, {}});
    std::vector<std::size_t> index(n, kNone);  // segment -> its node in the tree
    std::vector<std::size_t> stack;
    auto push = [&](std::size_t p) {
        for (std::size_t k = first[p + 1]; k > first[p]; --k) stack.push_back(children[k - 1]);
    };
    push(n);
    while (!stack.empty()) {
        const std::size_t s = stack.back();
        stack.pop_back();
        const network::Segment& seg = c.segments[s];
        Node node;
        node.parent = t.feeder[s] == network::kNoSegment ? 0 : index[t.feeder[s]];
        node.segment = s;
        node.name = Label(seg.to);
        node.segmentId = Label(seg.id);
        node.pipe = PipeText(seg, number);
        if (t.IsEnd(s)) {
            double households = 0;
            if (s < t.households.size())
                for (const network::SetSum& sum : t.households[s]) households += sum.households;
            if (options.endLabel)
                node.endLabel = Label(options.endLabel(c, t, s));
            else if (households > 0) {
                // Appended piece by piece, which GCC 12 does not warn about.
                std::string label = "N=";
                label += number(households);
                label += "户";
                if (t.toLoad[s] > 0) (label += "+") += number(t.toLoad[s]) += " m³/h";
                node.endLabel = std::move(label);
            } else if (t.toLoad[s] > 0)
                node.endLabel = number(t.toLoad[s]) + " m³/h";
        }
        index[s] = tree.nodes.size();
        tree.nodes.push_back(std::move(node));
        push(s);
    }
    return tree;
}

}  // namespace gaspipe::sketch
