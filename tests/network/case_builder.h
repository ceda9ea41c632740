// Small cases for the network tests, written as one line per segment.
#pragma once

#include <optional>
#include <string>

#include "case.h"

namespace gaspipe::network::testing {

inline Case LowPressureCase(const std::string& source = "A") {
    Case c;
    c.gas = {"天然气", 0.7247, 14.5, 288, {}};
    c.pressureClass = "低压";
    c.method.method = Method::Gb50028;
    c.source = {source, 3000, 0, {}};
    return c;
}

inline Segment& AddSegment(Case& c, const std::string& id, const std::string& from,
                           const std::string& to, double length = 10,
                           std::optional<double> flow = std::nullopt) {
    Segment s;
    s.id = id;
    s.from = from;
    s.to = to;
    s.material = "钢管";
    s.nominal = "50";
    s.length = length;
    s.flow = flow;
    c.segments.push_back(s);
    return c.segments.back();
}

inline void AddNode(Case& c, const std::string& id, double elevation, double load) {
    c.nodes.push_back({id, elevation, load, {}, {}, {}, {}});
}

}  // namespace gaspipe::network::testing
