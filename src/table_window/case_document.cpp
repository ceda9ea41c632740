#include "case_document.h"

#include <QUndoStack>

#include <algorithm>
#include <set>

#include "calc_pipe_segment.h"
#include "class_ini_file.h"
#include "messages.h"
#include "pipe_file.h"

namespace gaspipe::table {

namespace {

// Beyond this many edited rows one whole solve is cheaper than re-solving
// below each of them.
constexpr std::size_t kPartialSolveRows = 16;

bool SameEnds(const network::Segment& a, const network::Segment& b) {
    return a.id == b.id && a.from == b.from && a.to == b.to;
}

}  // namespace

CaseHeader HeaderOf(const network::Case& c) {
    return {c.project, c.gas, c.pressureClass, c.method, c.source, c.limits, c.display, c.unknown};
}

CaseDocument::CaseDocument(std::string pipeFile, QObject* parent)
    : QObject(parent), pipeFile_(std::move(pipeFile)), undoStack_(new QUndoStack(this)) {}

CaseDocument::~CaseDocument() = default;

void CaseDocument::Reset(network::Case c) {
    emit aboutToReset();
    case_ = std::move(c);
    // Every material the table offers, and any other the case names, from
    // one version of the pipe file.
    network::Case materials;
    std::set<std::string> seen;
    auto want = [&](const std::string& material) {
        if (!seen.insert(material).second) return;
        network::Segment s;
        s.material = material;
        materials.segments.push_back(std::move(s));
    };
    for (const char* m : {sel::kSteel, sel::kPe, sel::kCastIron}) want(m);
    for (const auto& s : case_.segments) want(s.material);
    classIniFile ini;
    ini.INIFileName(pipeFile_);
    const PipeFile file(ini);
    pipeFileProblem_ = file.readable() ? std::string() : file.problem();
    catalog_ = network::PipeCatalog::Read(file, materials);
    const std::size_t slash = pipeFile_.find_last_of("/\\");
    factors_ = SimultaneityTable::Read(
        (slash == std::string::npos ? std::string() : pipeFile_.substr(0, slash + 1)) +
        kSimultaneityFileName);
    IndexNodes();
    Solve();
    undoStack_->clear();
    undoStack_->setClean();
    emit reset();
    emit headerChanged();
    emit solved();
}

const network::Node* CaseDocument::FindNode(std::string_view id) const {
    const auto index = NodeIndex(id);
    return index ? &case_.nodes[*index] : nullptr;
}

std::optional<std::size_t> CaseDocument::NodeIndex(std::string_view id) const {
    const auto it = nodeIndex_.find(std::string(id));
    if (it == nodeIndex_.end()) return std::nullopt;
    return it->second;
}

QString CaseDocument::RowProblem(std::size_t row) const {
    const auto it = rowProblems_.find(row);
    return it == rowProblems_.end() ? QString() : it->second;
}

QStringList CaseDocument::Problems() const {
    QStringList lines;
    for (const auto& p : network_.problems()) lines << ProblemText(p, case_);
    return lines;
}

void CaseDocument::IndexNodes() {
    nodeIndex_.clear();
    // The first of duplicate ids wins, as a listing shows the first.
    for (std::size_t i = 0; i < case_.nodes.size(); ++i)
        nodeIndex_.try_emplace(case_.nodes[i].id, i);
}

void CaseDocument::Solve() {
    network_.Load(case_);
    CollectRowProblems();
}

void CaseDocument::CollectRowProblems() {
    rowProblems_.clear();
    for (const auto& p : network_.problems()) {
        const QString text = ProblemText(p, case_);
        for (std::size_t row : p.segments) {
            QString& slot = rowProblems_[row];
            slot += (slot.isEmpty() ? QString() : QStringLiteral("\n")) + text;
        }
    }
}

void CaseDocument::EmitAll() {
    if (!case_.segments.empty()) emit rowsChanged(0, int(case_.segments.size()) - 1);
    emit solved();
}

void CaseDocument::ApplyNodeEdits(const std::vector<NodeEdit>& edits, bool forward) {
    auto step = [this](const NodeEdit& e, const std::optional<network::Node>& from,
                       const std::optional<network::Node>& to) {
        auto at = case_.nodes.begin() + std::ptrdiff_t(e.index);
        if (!from)
            case_.nodes.insert(at, *to);
        else if (!to)
            case_.nodes.erase(at);
        else
            *at = *to;
    };
    if (forward) {
        for (const NodeEdit& e : edits) step(e, e.before, e.after);
    } else {
        for (auto it = edits.rbegin(); it != edits.rend(); ++it) step(*it, it->after, it->before);
    }
    if (!edits.empty()) IndexNodes();
}

void CaseDocument::ApplyLineEdit(const LineEdit& edit, bool forward) {
    bool whole = !network_.problems().empty() || edit.segments.size() > kPartialSolveRows;
    std::set<std::string> nodes;
    for (const NodeEdit& e : edit.nodes) {
        // Inserting or erasing moves the indices; only values may change in place.
        whole = whole || !e.before || !e.after || e.before->id != e.after->id;
        if (e.before) nodes.insert(e.before->id);
    }
    std::size_t first = case_.segments.size(), last = 0;
    auto touch = [&](std::size_t row) {
        first = std::min(first, row);
        last = std::max(last, row);
    };
    if (forward) {
        for (const SegmentEdit& e : edit.segments) case_.segments[e.row] = e.after;
    } else {
        for (auto it = edit.segments.rbegin(); it != edit.segments.rend(); ++it)
            case_.segments[it->row] = it->before;
    }
    for (const SegmentEdit& e : edit.segments) {
        whole = whole || !SameEnds(e.before, e.after);
        touch(e.row);
    }
    ApplyNodeEdits(edit.nodes, forward);

    if (whole) {
        Solve();
        EmitAll();
        return;
    }
    for (const SegmentEdit& e : edit.segments)
        for (std::size_t row : network_.SegmentChanged(case_, e.row)) touch(row);
    for (const std::string& node : nodes)
        for (std::size_t row : network_.NodeChanged(case_, node)) touch(row);
    if (first <= last) emit rowsChanged(int(first), int(last));
    emit solved();
}

void CaseDocument::ApplyHeader(const CaseHeader& h) {
    const CaseHeader old = HeaderOf(case_);
    case_.project = h.project;
    case_.gas = h.gas;
    case_.pressureClass = h.pressureClass;
    case_.method = h.method;
    case_.source = h.source;
    case_.limits = h.limits;
    case_.display = h.display;
    case_.unknown = h.unknown;
    CaseHeader limitsOnly = old;
    limitsOnly.project = h.project;
    limitsOnly.limits = h.limits;
    limitsOnly.display = h.display;
    if (limitsOnly == h && network_.problems().empty())
        network_.LimitsChanged(case_);
    else
        Solve();
    emit headerChanged();
    EmitAll();
}

void CaseDocument::InsertRows(const RowsChange& change) {
    for (const auto& [row, segment] : change.rows) {
        emit rowsAboutToBeInserted(int(row), int(row));
        case_.segments.insert(case_.segments.begin() + std::ptrdiff_t(row), segment);
        emit rowsInserted();
    }
    ApplyNodeEdits(change.nodes, true);
    Solve();
    EmitAll();
}

void CaseDocument::RemoveRows(const RowsChange& change) {
    ApplyNodeEdits(change.nodes, false);
    for (auto it = change.rows.rbegin(); it != change.rows.rend(); ++it) {
        emit rowsAboutToBeRemoved(int(it->first), int(it->first));
        case_.segments.erase(case_.segments.begin() + std::ptrdiff_t(it->first));
        emit rowsRemoved();
    }
    Solve();
    EmitAll();
}

void CaseDocument::MoveRow(std::size_t from, std::size_t to) {
    if (from == to) return;
    emit rowAboutToMove(int(from), int(to));
    auto& rows = case_.segments;
    if (from < to)
        std::rotate(rows.begin() + std::ptrdiff_t(from), rows.begin() + std::ptrdiff_t(from) + 1,
                    rows.begin() + std::ptrdiff_t(to) + 1);
    else
        std::rotate(rows.begin() + std::ptrdiff_t(to), rows.begin() + std::ptrdiff_t(from),
                    rows.begin() + std::ptrdiff_t(from) + 1);
    emit rowMoved();
    Solve();
    EmitAll();
}

void CaseDocument::ReplaceLine(std::vector<network::Segment> segments,
                               std::vector<network::Node> nodes) {
    emit aboutToReset();
    case_.segments = std::move(segments);
    case_.nodes = std::move(nodes);
    IndexNodes();
    Solve();
    emit reset();
    emit solved();
}

}  // namespace gaspipe::table
