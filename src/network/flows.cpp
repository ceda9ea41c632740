#include "flows.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace gaspipe::network {

namespace {

struct Resolved {
    std::size_t set;
    double rated;
    double households;
};

// The node's appliance set and rated flow; none when the node has no
// households or the table cannot place them.
std::optional<Resolved> Resolve(const Case& c, const Node& n, const SimultaneityTable& table) {
    if (!HasHouseholds(n)) return std::nullopt;
    const auto set = table.FindSet(n.appliances);
    if (!set) return std::nullopt;
    const auto rated = n.ratedFlow ? n.ratedFlow : table.RatedFlow(*set, c.gas.kind);
    if (!rated) return std::nullopt;
    return Resolved{*set, *rated, *n.households};
}

std::string Trimmed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string Fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

}  // namespace

std::vector<CaseProblem> CheckHouseholds(const Case& c, const SimultaneityTable* table) {
    std::vector<CaseProblem> problems;
    std::vector<const Node*> users;
    for (const Node& n : c.nodes)
        if (HasHouseholds(n) && !n.appliances.empty()) users.push_back(&n);
    if (users.empty()) return problems;
    if (!table || !table->readable()) {
        const std::string file = table && !table->path().empty()
                                     ? "'" + table->path() + "'"
                                     : std::string(kSimultaneityFileName);
        const std::string why = table ? table->problem() : "none was given";
        problems.push_back({CaseProblem::Kind::NoSimultaneityFile,
                            "node '" + users.front()->id + "' has households, whose flow needs " +
                                "the simultaneity file " + file + ", which cannot be read: " + why,
                            {},
                            table ? table->path() : std::string()});
        return problems;
    }
    for (const Node* n : users) {
        const auto set = table->FindSet(n->appliances);
        if (!set) {
            std::string sets;
            for (std::size_t i = 0; i < table->SetCount(); ++i)
                sets += (i ? ", " : "") + table->SetName(i);
            problems.push_back({CaseProblem::Kind::UnknownApplianceSet,
                                "node '" + n->id + "': the appliance set '" + n->appliances +
                                    "' is not one of the simultaneity file's (" + sets + ")",
                                {},
                                n->appliances});
        } else if (!n->ratedFlow && !table->RatedFlow(*set, c.gas.kind)) {
            problems.push_back(
                {CaseProblem::Kind::NoRatedFlow,
                 "node '" + n->id + "': the simultaneity file gives no rated flow of '" +
                     n->appliances + "' for " + c.gas.kind + "; give the node its rated_flow",
                 {},
                 n->id});
        }
    }
    return problems;
}

void SumHouseholds(const Case& c, Topology& t, const SimultaneityTable* table) {
    const std::size_t n = t.order.size();
    t.households.assign(t.position.size(), {});
    t.toHouseholds.assign(t.position.size(), 0);
    if (!table || !table->readable() || !UsesHouseholds(c)) return;
    std::unordered_map<std::string_view, Resolved> at;
    for (const Node& node : c.nodes)
        if (const auto r = Resolve(c, node, *table)) at.emplace(node.id, *r);
    for (std::size_t k = n; k-- > 0;) {
        const std::size_t seg = t.order[k];
        auto& sums = t.households[seg];
        if (auto it = at.find(c.segments[seg].to); it != at.end()) {
            t.toHouseholds[seg] = 1;
            const Resolved r = it->second;
            const double households = r.households;
            auto same = std::find_if(sums.begin(), sums.end(),
                                     [&](const SetSum& s) { return s.set == r.set; });
            if (same == sums.end()) {
                sums.push_back({r.set, households, households * r.rated, r.rated, r.rated});
            } else {
                same->households += households;
                same->ratedTotal += households * r.rated;
                same->minRated = std::min(same->minRated, r.rated);
                same->maxRated = std::max(same->maxRated, r.rated);
            }
        }
        const std::size_t up = t.feeder[seg];
        if (up == kNoSegment) continue;
        auto& above = t.households[up];
        for (const SetSum& s : sums) {
            auto same = std::find_if(above.begin(), above.end(),
                                     [&](const SetSum& a) { return a.set == s.set; });
            if (same == above.end()) {
                above.push_back(s);
            } else {
                same->households += s.households;
                same->ratedTotal += s.ratedTotal;
                same->minRated = std::min(same->minRated, s.minRated);
                same->maxRated = std::max(same->maxRated, s.maxRated);
            }
        }
    }
}

std::string_view FlowSourceName(FlowSource source) {
    switch (source) {
        case FlowSource::Typed:
            return "typed";
        case FlowSource::TypedFactor:
            return "typed_factor";
        case FlowSource::Households:
            return "households";
        case FlowSource::Loads:
            break;
    }
    return "loads";
}

FlowBasis SegmentFlowBasis(const Segment& s, const Topology& t, std::size_t segment,
                           const SimultaneityTable* table) {
    FlowBasis b;
    b.loads = t.downstreamLoad[segment];
    double ratedTotal = 0;
    double minRated = 0, maxRated = 0;
    if (segment < t.households.size() && table) {
        for (const SetSum& sum : t.households[segment]) {
            FlowBasis::Term term;
            term.set = sum.set;
            term.households = sum.households;
            term.ratedTotal = sum.ratedTotal;
            term.k = table->Factor(sum.set, sum.households);
            if (sum.minRated == sum.maxRated) term.ratedFlow = sum.minRated;
            minRated = b.terms.empty() ? sum.minRated : std::min(minRated, sum.minRated);
            maxRated = b.terms.empty() ? sum.maxRated : std::max(maxRated, sum.maxRated);
            b.households += sum.households;
            ratedTotal += sum.ratedTotal;
            b.terms.push_back(term);
        }
    }
    // In the file's order of the sets, however the line reached them.
    std::sort(b.terms.begin(), b.terms.end(),
              [](const FlowBasis::Term& x, const FlowBasis::Term& y) { return x.set < y.set; });
    if (!b.terms.empty() && minRated == maxRated) b.ratedFlow = minRated;
    if (s.flow) {
        b.source = FlowSource::Typed;
        b.flow = *s.flow;
        b.simultaneity = s.simultaneity;
        return b;
    }
    if (s.simultaneity) {
        b.source = FlowSource::TypedFactor;
        b.simultaneity = s.simultaneity;
        b.flow = *s.simultaneity * (ratedTotal + b.loads);
        return b;
    }
    b.source = b.terms.empty() ? FlowSource::Loads : FlowSource::Households;
    for (const FlowBasis::Term& term : b.terms) b.flow += term.k * term.ratedTotal;
    b.flow += b.loads;
    if (b.terms.size() == 1) b.simultaneity = b.terms.front().k;
    return b;
}

double SegmentFlow(const Segment& s, const Topology& t, std::size_t segment,
                   const SimultaneityTable* table) {
    return SegmentFlowBasis(s, t, segment, table).flow;
}

std::string FlowArithmetic(const FlowBasis& b, int decimals) {
    if (b.source == FlowSource::Typed) return {};
    // N·Qn of one set: "12 × 0.7", or its sum when the nodes' Qn differ.
    auto households = [&](const FlowBasis::Term& t) {
        return t.ratedFlow ? Trimmed(t.households, 0) + " × " + Trimmed(*t.ratedFlow, decimals)
                           : "ΣN·Qn " + Trimmed(t.ratedTotal, decimals);
    };
    std::vector<std::string> parts;
    if (b.source == FlowSource::TypedFactor) {
        for (const auto& t : b.terms) parts.push_back(households(t));
        if (b.loads > 0 || parts.empty()) parts.push_back(Trimmed(b.loads, decimals));
        std::string inner;
        for (const auto& p : parts) inner += (inner.empty() ? "" : " + ") + p;
        if (parts.size() > 1) inner = "(" + inner + ")";
        return Trimmed(*b.simultaneity, decimals) + " × " + inner + " = " + Fixed(b.flow, decimals);
    }
    if (b.terms.empty()) return {};
    for (const auto& t : b.terms) parts.push_back(Trimmed(t.k, decimals) + " × " + households(t));
    if (b.loads > 0) parts.push_back(Trimmed(b.loads, decimals));
    std::string text;
    for (const auto& p : parts) text += (text.empty() ? "" : " + ") + p;
    return text + " = " + Fixed(b.flow, decimals);
}

}  // namespace gaspipe::network
