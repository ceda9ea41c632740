#include "cell_edits.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <unordered_map>

#include "number_text.h"
#include "segment_columns.h"
#include "text_limits.h"

namespace gaspipe::table {

namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

// A number for a column, or the reason it is refused.
struct Parsed {
    std::optional<double> value;  // empty: the cell is cleared
    QString error;
};

Parsed ParseFor(int column, const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        if (column == kLength) return {{}, QStringLiteral("长度不能为空")};
        if (column == kLoad || column == kElevation) return {0.0, {}};
        return {};
    }
    const auto v = ParseNumber(t);
    if (!v) return {{}, QStringLiteral("“%1”不是数字").arg(t.left(40))};
    switch (column) {
        case kInner:
        case kLength:
        case kFlow:
        case kRoughness:
            if (*v <= 0) return {{}, QStringLiteral("应大于 0")};
            break;
        case kLoad:
        case kLocalLoss:
        case kZeta:
            if (*v < 0) return {{}, QStringLiteral("不能为负数")};
            break;
        case kSimultaneity:
            if (!(*v > 0 && *v <= 1)) return {{}, QStringLiteral("应大于 0 且不大于 1")};
            break;
        case kToHouseholds:
            if (!(*v >= 0 && *v <= 1e6 && *v == std::floor(*v)))
                return {{}, QStringLiteral("应为 0 到 1000000 的整数")};
            break;
        case kToRatedFlow:
            if (*v <= 0) return {{}, QStringLiteral("应大于 0")};
            break;
        default:
            break;
    }
    return {v, {}};
}

class Planner {
  public:
    explicit Planner(const CaseDocument& doc) : doc_(doc), c_(doc.data()) {}

    void Apply(const CellText& cell) {
        const QString where = QStringLiteral("第 %1 行“%2”")
                                  .arg(cell.row + 1)
                                  .arg(ColumnTitle(cell.column, true).replace('\n', ' '));
        if (cell.row >= c_.segments.size() || cell.column < 0 || cell.column >= kColumnCount)
            return;
        if (IsResultColumn(cell.column)) {
            rejected_ << where + QStringLiteral("不能编辑");
            return;
        }
        network::Segment& s = Row(cell.row);
        const QString text = cell.text.trimmed();
        if (cell.column <= kNominal) {
            // Ids, as the case file takes them.
            const QString problem = CaseTextProblem(text, true);
            if (!problem.isEmpty()) {
                rejected_ << where + QStringLiteral("：") + problem;
                return;
            }
        }
        switch (cell.column) {
            case kId:
                s.id = Utf8(text);
                return;
            case kFrom:
                s.from = Utf8(text);
                return;
            case kTo:
                RenameEnd(cell.row, s, Utf8(text));
                return;
            case kMaterial:
            case kNominal: {
                std::string& field = cell.column == kMaterial ? s.material : s.nominal;
                if (field == Utf8(text)) return;
                field = Utf8(text);
                s.innerDiameter.reset();  // it belonged to the old pipe
                return;
            }
            case kToAppliances: {
                const QString problem = CaseTextProblem(text, false);
                if (!problem.isEmpty()) {
                    rejected_ << where + QStringLiteral("：") + problem;
                    return;
                }
                const std::string set = Utf8(text);
                SetNode(s.to, [&](network::Node& n) { n.appliances = set; });
                return;
            }
            case kPart:
                if (text.isEmpty()) {
                    s.part.reset();
                } else if (const auto part = network::PartFromName(Utf8(text))) {
                    s.part = part;
                } else {
                    rejected_ << where + QStringLiteral("：应为街区、庭院或室内，或留空随上游管段");
                }
                return;
            default:
                break;
        }
        const Parsed p = ParseFor(cell.column, text);
        if (!p.error.isEmpty()) {
            rejected_ << where + QStringLiteral("：") + p.error;
            return;
        }
        switch (cell.column) {
            case kInner: {
                const network::PipeSize* size = doc_.catalog().Find(s.material, s.nominal);
                // The pipe file's own value is no override.
                const bool own = size && size->inner && p.value && *size->inner == *p.value;
                s.innerDiameter = own ? std::nullopt : p.value;
                return;
            }
            case kLength:
                s.length = *p.value;
                return;
            case kFlow:
                s.flow = p.value;
                return;
            case kSimultaneity:
                s.simultaneity = p.value;
                return;
            case kLocalLoss:
                s.localLoss = p.value;
                if (p.value) s.zeta.reset();
                return;
            case kZeta:
                s.zeta = p.value;
                if (p.value) s.localLoss.reset();
                return;
            case kRoughness:
                s.roughness = p.value;
                return;
            case kLoad:
                SetNode(s.to, [&](network::Node& n) { n.load = *p.value; });
                return;
            case kElevation:
                SetNode(s.to, [&](network::Node& n) { n.elevation = *p.value; });
                return;
            case kToHouseholds:
                SetNode(s.to, [&](network::Node& n) { n.households = p.value; });
                return;
            case kToRatedFlow:
                SetNode(s.to, [&](network::Node& n) { n.ratedFlow = p.value; });
                return;
            default:
                return;
        }
    }

    PlannedEdit Finish() {
        PlannedEdit planned;
        for (auto& [row, after] : after_)
            if (!(after == c_.segments[row]))
                planned.edit.segments.push_back({row, c_.segments[row], after});
        for (NodeEdit& e : steps_)
            if (!(e.before && e.after && *e.before == *e.after)) planned.edit.nodes.push_back(e);
        planned.rejected = rejected_;
        return planned;
    }

  private:
    network::Segment& Row(std::size_t row) {
        auto it = after_.find(row);
        if (it == after_.end()) it = after_.emplace(row, c_.segments[row]).first;
        return it->second;
    }

    // The node list as the steps so far leave it, indexed by id.
    void EnsureNodes() {
        if (nodes_) return;
        nodes_ = c_.nodes;
        for (std::size_t i = 0; i < nodes_->size(); ++i) index_.try_emplace((*nodes_)[i].id, i);
    }

    template <typename Change>
    void SetNode(const std::string& id, Change change) {
        EnsureNodes();
        const auto it = index_.find(id);
        if (it == index_.end()) {
            network::Node n;
            n.id = id;
            change(n);
            network::Node unlisted;
            unlisted.id = id;
            if (n == unlisted) return;  // an unlisted node has nothing already
            steps_.push_back({nodes_->size(), std::nullopt, n});
            index_.emplace(id, nodes_->size());
            nodes_->push_back(std::move(n));
            return;
        }
        network::Node& n = (*nodes_)[it->second];
        network::Node changed = n;
        change(changed);
        steps_.push_back({it->second, n, changed});
        n = std::move(changed);
    }

    void RenameEnd(std::size_t row, network::Segment& s, const std::string& to) {
        if (s.to == to) return;
        const std::string old = std::exchange(s.to, to);
        EnsureNodes();
        const auto it = index_.find(old);
        if (it == index_.end() || to.empty() || to == c_.source.node || index_.count(to)) return;
        for (std::size_t i = 0; i < c_.segments.size(); ++i) {
            if (i == row) continue;
            const auto mine = after_.find(i);
            const network::Segment& other = mine == after_.end() ? c_.segments[i] : mine->second;
            if (other.to == old) return;  // the node stays with that segment
        }
        network::Node& n = (*nodes_)[it->second];
        network::Node renamed = n;
        renamed.id = to;
        steps_.push_back({it->second, n, renamed});
        const std::size_t index = it->second;
        index_.erase(it);
        index_.emplace(to, index);
        n = std::move(renamed);
    }

    const CaseDocument& doc_;
    const network::Case& c_;
    std::map<std::size_t, network::Segment> after_;
    std::optional<std::vector<network::Node>> nodes_;
    std::unordered_map<std::string, std::size_t> index_;
    std::vector<NodeEdit> steps_;
    QStringList rejected_;
};

}  // namespace

PlannedEdit PlanCellEdits(const CaseDocument& doc, std::vector<CellText> cells) {
    std::stable_sort(cells.begin(), cells.end(), [](const CellText& a, const CellText& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    Planner planner(doc);
    for (const CellText& cell : cells) planner.Apply(cell);
    return planner.Finish();
}

}  // namespace gaspipe::table
