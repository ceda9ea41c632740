#include "row_edits.h"

#include <algorithm>
#include <set>
#include <string>
#include <unordered_set>

#include "calc_pipe_segment.h"

namespace gaspipe::table {

namespace {

// Ids and node names not yet used: the next number after the highest
// numeric id, and "N1", "N2", ... for nodes.
class Names {
  public:
    explicit Names(const network::Case& c) {
        for (const auto& s : c.segments) {
            ids_.insert(s.id);
            nodes_.insert(s.from);
            nodes_.insert(s.to);
            std::size_t used = 0;
            try {
                const unsigned long n = std::stoul(s.id, &used);
                if (used == s.id.size()) next_ = std::max<unsigned long>(next_, n + 1);
            } catch (const std::exception&) {
            }
        }
        for (const auto& n : c.nodes) nodes_.insert(n.id);
        nodes_.insert(c.source.node);
    }

    std::string Id() {
        std::string id;
        do id = std::to_string(next_++);
        while (!ids_.insert(id).second);
        return id;
    }

    std::string Node() {
        std::string node;
        do {
            node = std::to_string(nextNode_++);
            node.insert(node.begin(), 'N');  // not "N" + ...: GCC 12 warns falsely
        } while (!nodes_.insert(node).second);
        return node;
    }

  private:
    std::unordered_set<std::string> ids_, nodes_;
    unsigned long next_ = 1, nextNode_ = 1;
};

}  // namespace

RowsChange PlanNewRow(const CaseDocument& doc, std::optional<std::size_t> after) {
    const network::Case& c = doc.data();
    Names names(c);
    network::Segment s;
    const std::size_t row = after ? std::min(*after + 1, c.segments.size()) : c.segments.size();
    const network::Segment* above = row > 0 ? &c.segments[row - 1] : nullptr;
    s.id = names.Id();
    s.from = above ? above->to : c.source.node;
    s.to = names.Node();
    if (above) {
        s.material = above->material;
        s.nominal = above->nominal;
    } else {
        s.material = sel::kSteel;
        const auto& sizes = doc.catalog().Sizes(s.material);
        if (!sizes.empty()) s.nominal = sizes.front().nominal;
    }
    return {{{row, std::move(s)}}, {}};
}

RowsChange PlanDuplicate(const CaseDocument& doc, std::vector<std::size_t> rows) {
    const network::Case& c = doc.data();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    Names names(c);
    RowsChange change;
    std::size_t nodes = c.nodes.size();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (rows[k] >= c.segments.size()) continue;
        network::Segment copy = c.segments[rows[k]];
        copy.id = names.Id();
        copy.to = names.Node();
        if (const network::Node* end = doc.FindNode(c.segments[rows[k]].to)) {
            network::Node n = *end;
            n.id = copy.to;
            change.nodes.push_back({nodes++, std::nullopt, std::move(n)});
        }
        // Below the original, which the copies inserted above it have moved down.
        change.rows.push_back({rows[k] + k + 1, std::move(copy)});
    }
    return change;
}

RowsChange PlanRemove(const CaseDocument& doc, std::vector<std::size_t> rows) {
    const network::Case& c = doc.data();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](std::size_t r) { return r >= c.segments.size(); }),
               rows.end());
    RowsChange change;
    std::unordered_set<std::size_t> removed(rows.begin(), rows.end());
    std::unordered_set<std::string> kept;
    kept.insert(c.source.node);
    for (std::size_t i = 0; i < c.segments.size(); ++i) {
        if (removed.count(i)) continue;
        kept.insert(c.segments[i].from);
        kept.insert(c.segments[i].to);
    }
    std::set<std::size_t> gone;
    for (std::size_t row : rows) {
        change.rows.push_back({row, c.segments[row]});
        const auto index = doc.NodeIndex(c.segments[row].to);
        if (index && !kept.count(c.segments[row].to)) gone.insert(*index);
    }
    // As insertion steps in ascending order, each index as it ends up.
    for (std::size_t index : gone) change.nodes.push_back({index, std::nullopt, c.nodes[index]});
    return change;
}

LineEdit PlanNominal(const CaseDocument& doc, std::size_t row, const std::string& nominal) {
    LineEdit edit;
    const network::Case& c = doc.data();
    if (row >= c.segments.size()) return edit;
    network::Segment after = c.segments[row];
    after.nominal = nominal;
    after.innerDiameter.reset();
    if (!(after == c.segments[row])) edit.segments.push_back({row, c.segments[row], after});
    return edit;
}

LineEdit PlanProposal(const CaseDocument& doc, QStringList& messages) {
    LineEdit edit;
    const network::Case& c = doc.data();
    const network::SizingProposal proposal =
        network::ProposeSizes(c, doc.catalog(), &doc.factors());
    if (!proposal.sized) {
        messages << QString::fromStdString(proposal.error);
        return edit;
    }
    for (std::size_t row = 0; row < c.segments.size(); ++row) {
        const network::Segment& after = proposal.sized->segments[row];
        if (!(after == c.segments[row])) edit.segments.push_back({row, c.segments[row], after});
    }
    for (const auto& note : proposal.notes)
        messages << QStringLiteral("管段“%1”：%2")
                        .arg(QString::fromStdString(c.segments[note.segment].id),
                             QString::fromStdString(note.message));
    return edit;
}

}  // namespace gaspipe::table
