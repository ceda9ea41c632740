#include "topology.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>

namespace gaspipe::network {

namespace {

using Kind = CaseProblem::Kind;
using NodeMap = std::unordered_map<std::string_view, std::vector<std::size_t>>;

constexpr std::size_t kNamedInMessages = 8;

std::string Quote(std::string_view text) {
    std::string out = "'";
    out += text;
    return out += '\'';
}

std::string RowList(const std::vector<std::size_t>& rows) {
    std::string out;
    for (std::size_t i = 0; i < rows.size() && i < kNamedInMessages; ++i)
        out += (i ? ", " : "") + std::to_string(rows[i] + 1);
    if (rows.size() > kNamedInMessages) out += ", ... (" + std::to_string(rows.size()) + " in all)";
    return out;
}

class Checker {
  public:
    explicit Checker(const Case& c) : c_(c) {}

    TopologyResult Run() {
        CheckIds();
        incoming_.reserve(c_.segments.size());
        outgoing_.reserve(c_.segments.size());
        if (c_.source.node.empty()) Add(Kind::NoSource, "the case names no source node", {});
        for (std::size_t i = 0; i < c_.segments.size(); ++i) {
            const Segment& s = c_.segments[i];
            if (s.from.empty() || s.to.empty()) continue;
            incoming_[s.to].push_back(i);
            outgoing_[s.from].push_back(i);
        }
        CheckFeeds();
        if (result_.ok()) Lay();
        if (result_.ok()) UpdateLoads(c_, result_.topology);
        return std::move(result_);
    }

  private:
    void Add(Kind kind, std::string message, std::vector<std::size_t> segments) {
        result_.problems.push_back({kind, std::move(message), std::move(segments)});
    }

    void CheckIds() {
        const std::size_t n = c_.segments.size();
        std::unordered_map<std::string_view, std::size_t> first;
        first.reserve(n);
        std::map<std::size_t, std::vector<std::size_t>> same;  // first row -> every row
        std::vector<std::size_t> missing;
        for (std::size_t i = 0; i < n; ++i) {
            const Segment& s = c_.segments[i];
            if (s.id.empty() || s.from.empty() || s.to.empty()) missing.push_back(i);
            if (s.id.empty()) continue;
            const auto [it, fresh] = first.emplace(s.id, i);
            if (fresh) continue;
            auto& rows = same[it->second];
            if (rows.empty()) rows.push_back(it->second);
            rows.push_back(i);
        }
        if (!missing.empty())
            Add(Kind::MissingId,
                "rows " + RowList(missing) + " lack a segment id, from-node or to-node", missing);
        for (const auto& [row, rows] : same)
            Add(Kind::DuplicateSegmentId,
                "segment id " + Quote(c_.segments[row].id) + " is used by rows " + RowList(rows),
                rows);
        listed_.reserve(c_.nodes.size());
        for (std::size_t i = 0; i < c_.nodes.size(); ++i) {
            const auto [it, fresh] = listed_.emplace(c_.nodes[i].id, i);
            if (!fresh)
                Add(Kind::DuplicateNodeId,
                    "node " + Quote(c_.nodes[i].id) + " is listed twice (nodes " +
                        std::to_string(it->second + 1) + " and " + std::to_string(i + 1) + ")",
                    {});
        }
    }

    void CheckFeeds() {
        const std::string_view source = c_.source.node;
        if (auto it = incoming_.find(source); it != incoming_.end())
            Add(Kind::SourceFed,
                "segments " + SegmentList(c_, it->second) + " end at the source node " +
                    Quote(source) +
                    ": a line is fed from its source only (ring mains are out of scope)",
                it->second);
        for (const auto& [node, feeders] : incoming_)
            if (feeders.size() > 1 && node != source)
                Add(Kind::FedTwice,
                    "node " + Quote(node) + " is the to-node of segments " +
                        SegmentList(c_, feeders) +
                        ": every node is fed by one segment (ring mains and parallel pipes are out "
                        "of scope)",
                    feeders);
        for (const auto& [node, starting] : outgoing_) {
            if (node == source || incoming_.count(node)) continue;
            if (listed_.count(node))
                Add(Kind::SecondSource,
                    "node " + Quote(node) + ", where segments " + SegmentList(c_, starting) +
                        " start, is fed by no segment: a case has one source, " + Quote(source),
                    starting);
            else
                Add(Kind::UnknownNode,
                    "segments " + SegmentList(c_, starting) + " start at node " + Quote(node) +
                        ", which does not exist (neither the source nor the end of a segment)",
                    starting);
        }
        for (const auto& n : c_.nodes) {
            if (n.id == source) {
                // The line starts at the source's own elevation and takes no load there.
                if (n.load != 0 || n.elevation != c_.source.elevation)
                    Add(Kind::SourceListed,
                        "node " + Quote(n.id) +
                            " is the source: its elevation is the source's and it takes no "
                            "load, so the nodes list must not give it a load or another elevation",
                        {});
            } else if (!incoming_.count(n.id) && !outgoing_.count(n.id)) {
                Add(Kind::UnconnectedNode,
                    "node " + Quote(n.id) + " is on no segment, so its load would be lost", {});
            }
        }
    }

    // Depth-first from the source, children in case order; then whatever was
    // not reached hangs in a ring, since every other cause was ruled out.
    void Lay() {
        Topology& t = result_.topology;
        const std::size_t n = c_.segments.size();
        t.order.clear();
        t.order.reserve(n);
        t.position.assign(n, kNoSegment);
        t.downstreamEnd.assign(n, kNoSegment);
        t.feeder.assign(n, kNoSegment);
        t.fromElevation.assign(n, 0);
        t.toElevation.assign(n, 0);
        t.households.assign(n, {});
        t.toHouseholds.assign(n, 0);
        std::unordered_map<std::string_view, double> elevation;
        for (const auto& node : c_.nodes) elevation.emplace(node.id, node.elevation);
        elevation[c_.source.node] = c_.source.elevation;
        auto elevationOf = [&](const std::string& id) {
            auto it = elevation.find(id);
            return it == elevation.end() ? 0.0 : it->second;
        };

        struct Frame {
            std::size_t segment;
            std::size_t next;  // next child to visit
        };
        std::vector<Frame> stack;
        auto enter = [&](std::size_t seg, std::size_t feeder) {
            t.position[seg] = t.order.size();
            t.order.push_back(seg);
            t.feeder[seg] = feeder;
            t.fromElevation[seg] = elevationOf(c_.segments[seg].from);
            t.toElevation[seg] = elevationOf(c_.segments[seg].to);
            stack.push_back({seg, 0});
        };
        static const std::vector<std::size_t> kNone;
        auto children = [&](std::string_view node) -> const std::vector<std::size_t>& {
            auto it = outgoing_.find(node);
            return it == outgoing_.end() ? kNone : it->second;
        };
        // A segment is entered once at most, so the walk ends whatever the
        // checks before it let through.
        for (std::size_t root : children(c_.source.node)) {
            if (t.position[root] != kNoSegment) continue;
            enter(root, kNoSegment);
            while (!stack.empty()) {
                Frame& f = stack.back();
                const auto& kids = children(c_.segments[f.segment].to);
                if (f.next < kids.size()) {
                    const std::size_t kid = kids[f.next++];
                    if (t.position[kid] == kNoSegment) enter(kid, f.segment);
                } else {
                    t.downstreamEnd[f.segment] = t.order.size();
                    stack.pop_back();
                }
            }
        }
        if (t.order.size() < n) FindLoops();
    }

    void FindLoops() {
        const Topology& t = result_.topology;
        std::vector<bool> seen(c_.segments.size(), false);
        for (std::size_t start = 0; start < c_.segments.size(); ++start) {
            if (t.position[start] != kNoSegment || seen[start]) continue;
            // Walk up the feeders; every node has exactly one here, so the
            // walk must come back to a segment it already passed.
            std::vector<std::size_t> path;
            std::unordered_map<std::size_t, std::size_t> at;
            std::size_t seg = start;
            while (!seen[seg] && !at.count(seg)) {
                at[seg] = path.size();
                path.push_back(seg);
                seg = incoming_.at(c_.segments[seg].from).front();
            }
            for (std::size_t s : path) seen[s] = true;
            if (!at.count(seg)) continue;  // joined a ring reported before
            std::vector<std::size_t> ring(path.begin() + static_cast<std::ptrdiff_t>(at[seg]),
                                          path.end());
            // In the direction of flow, from the first row in the case.
            std::reverse(ring.begin(), ring.end());
            std::rotate(ring.begin(), std::min_element(ring.begin(), ring.end()), ring.end());
            std::string route = Quote(c_.segments[ring.front()].from);
            for (std::size_t i = 0; i < ring.size() && i < kNamedInMessages; ++i)
                route += " → " + Quote(c_.segments[ring[i]].to);
            if (ring.size() > kNamedInMessages) route += " → ...";
            Add(Kind::Loop,
                "segments " + SegmentList(c_, ring) + " form a ring (" + route +
                    "): ring mains are out of scope; a case is a branched line fed from one source",
                ring);
        }
    }

    const Case& c_;
    NodeMap incoming_, outgoing_;
    std::unordered_map<std::string_view, std::size_t> listed_;  // node -> its place in the list
    TopologyResult result_;
};

}  // namespace

TopologyResult BuildTopology(const Case& c) { return Checker(c).Run(); }

void UpdateLoads(const Case& c, Topology& t) {
    std::unordered_map<std::string_view, double> load;
    for (const auto& node : c.nodes) load.emplace(node.id, node.load);
    t.toLoad.assign(c.segments.size(), 0);
    t.downstreamLoad.assign(c.segments.size(), 0);
    for (auto it = t.order.rbegin(); it != t.order.rend(); ++it) {
        const std::size_t seg = *it;
        if (auto l = load.find(c.segments[seg].to); l != load.end()) t.toLoad[seg] = l->second;
        t.downstreamLoad[seg] += t.toLoad[seg];
        if (t.feeder[seg] != kNoSegment) t.downstreamLoad[t.feeder[seg]] += t.downstreamLoad[seg];
    }
}

std::string SegmentList(const Case& c, const std::vector<std::size_t>& segments) {
    std::string out;
    for (std::size_t i = 0; i < segments.size() && i < kNamedInMessages; ++i)
        out += (i ? ", " : "") + Quote(c.segments[segments[i]].id);
    if (segments.size() > kNamedInMessages)
        out += ", ... (" + std::to_string(segments.size()) + " in all)";
    return out;
}

}  // namespace gaspipe::network
