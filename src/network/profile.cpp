#include "profile.h"

#include <algorithm>

namespace gaspipe::network {

Profile PressureProfile(const Case& c, const Network& net, std::size_t segment) {
    Profile profile;
    const Topology& t = net.topology();
    const auto& results = net.results();
    if (segment >= results.size() || segment >= t.feeder.size()) return profile;

    std::vector<std::size_t> path;
    for (std::size_t s = segment; s != kNoSegment; s = t.feeder[s]) {
        path.push_back(s);
        if (path.size() > results.size()) return profile;  // not a tree: never loop
    }
    std::reverse(path.begin(), path.end());

    profile.points.push_back({c.source.node, 0, c.source.pressure, kNoSegment});
    double distance = 0;
    profile.complete = true;
    for (std::size_t s : path) {
        if (results[s].status != SegmentStatus::Ok) {
            profile.complete = false;
            break;
        }
        distance += c.segments[s].length;
        profile.points.push_back({c.segments[s].to, distance, results[s].outlet, s});
    }
    if (const auto limit = EffectiveMaxDrop(c)) profile.lowestAllowed = c.source.pressure - *limit;
    return profile;
}

std::optional<std::size_t> LowestPressureSegment(const Network& net) {
    std::optional<std::size_t> lowest;
    const auto& results = net.results();
    for (std::size_t s = 0; s < results.size(); ++s) {
        if (results[s].status != SegmentStatus::Ok) continue;
        if (!lowest || results[s].outlet < results[*lowest].outlet) lowest = s;
    }
    return lowest;
}

}  // namespace gaspipe::network
