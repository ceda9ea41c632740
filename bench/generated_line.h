// The benchmarks' generated line: a branched medium-pressure line in which
// each new node hangs from one of the 40 before it (a shallow tree, as
// courtyard networks are), every node draws 2 m³/h, and each pipe's bore
// keeps the velocity moderate. The same every run.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "case.h"

namespace gaspipe::bench {

inline std::string NodeName(int n) {
    std::string name = "N";
    return name += std::to_string(n);
}

// Sets the source and class and adds the nodes and segments N1 … N`segments`.
inline void AddGeneratedLine(network::Case& c, int segments) {
    c.pressureClass = "高中压";
    c.source = {"N0", 5, 0, {}};
    std::mt19937 random(12);
    std::vector<int> parent(segments + 1, -1), below(segments + 1, 1);
    for (int n = 1; n <= segments; ++n)
        parent[n] = std::uniform_int_distribution<int>(std::max(0, n - 40), n - 1)(random);
    for (int n = segments; n >= 1; --n) below[parent[n]] += below[n];
    for (int n = 1; n <= segments; ++n) {
        const std::string node = NodeName(n);
        c.nodes.push_back({node, 0, 2, {}, {}, {}, {}});
        network::Segment s;
        s.id = std::to_string(n);
        s.from = NodeName(parent[n]);
        s.to = node;
        s.material = "钢管";
        s.innerDiameter = std::max(25.0, 6 * std::sqrt(2.0 * below[n]));
        s.length = 15;
        c.segments.push_back(std::move(s));
    }
}

}  // namespace gaspipe::bench
