#include "undo_commands.h"

#include <utility>

namespace gaspipe::table {

EditLineCommand::EditLineCommand(CaseDocument* doc, LineEdit edit, const QString& text, int row,
                                 int column)
    : QUndoCommand(text), doc_(doc), edit_(std::move(edit)), row_(row), column_(column) {}

void EditLineCommand::redo() { doc_->ApplyLineEdit(edit_, true); }
void EditLineCommand::undo() { doc_->ApplyLineEdit(edit_, false); }

int EditLineCommand::id() const { return row_ >= 0 ? kMergeCell : -1; }

bool EditLineCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const EditLineCommand*>(other);
    if (next->row_ != row_ || next->column_ != column_) return false;
    // Segment values merge by row; node steps apply in sequence.
    for (const SegmentEdit& e : next->edit_.segments) {
        bool merged = false;
        for (SegmentEdit& mine : edit_.segments) {
            if (mine.row == e.row) {
                mine.after = e.after;
                merged = true;
            }
        }
        if (!merged) edit_.segments.push_back(e);
    }
    edit_.nodes.insert(edit_.nodes.end(), next->edit_.nodes.begin(), next->edit_.nodes.end());
    bool unchanged = true;
    for (const SegmentEdit& e : edit_.segments) unchanged = unchanged && e.before == e.after;
    // One cell's node steps all act on the same node: back where it began
    // means no step is needed.
    if (!edit_.nodes.empty()) {
        const NodeEdit& first = edit_.nodes.front();
        const NodeEdit& last = edit_.nodes.back();
        unchanged = unchanged && first.index == last.index && first.before == last.after;
    }
    setObsolete(unchanged);
    return true;
}

EditHeaderCommand::EditHeaderCommand(CaseDocument* doc, CaseHeader before, CaseHeader after,
                                     int field, const QString& text)
    : QUndoCommand(text),
      doc_(doc),
      before_(std::move(before)),
      after_(std::move(after)),
      field_(field) {}

void EditHeaderCommand::redo() { doc_->ApplyHeader(after_); }
void EditHeaderCommand::undo() { doc_->ApplyHeader(before_); }

bool EditHeaderCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const EditHeaderCommand*>(other);
    if (next->field_ != field_) return false;
    after_ = next->after_;
    setObsolete(after_ == before_);
    return true;
}

RowsCommand::RowsCommand(CaseDocument* doc, RowsChange change, Kind kind, const QString& text)
    : QUndoCommand(text), doc_(doc), change_(std::move(change)), kind_(kind) {}

void RowsCommand::redo() {
    if (kind_ == Kind::Insert)
        doc_->InsertRows(change_);
    else
        doc_->RemoveRows(change_);
}

void RowsCommand::undo() {
    if (kind_ == Kind::Insert)
        doc_->RemoveRows(change_);
    else
        doc_->InsertRows(change_);
}

MoveRowCommand::MoveRowCommand(CaseDocument* doc, std::size_t from, std::size_t to,
                               const QString& text)
    : QUndoCommand(text), doc_(doc), from_(from), to_(to) {}

void MoveRowCommand::redo() { doc_->MoveRow(from_, to_); }
void MoveRowCommand::undo() { doc_->MoveRow(to_, from_); }

ReplaceLineCommand::ReplaceLineCommand(CaseDocument* doc, std::vector<network::Segment> segments,
                                       std::vector<network::Node> nodes, const QString& text)
    : QUndoCommand(text), doc_(doc), segments_(std::move(segments)), nodes_(std::move(nodes)) {}

void ReplaceLineCommand::Swap() {
    std::vector<network::Segment> segments = doc_->data().segments;
    std::vector<network::Node> nodes = doc_->data().nodes;
    doc_->ReplaceLine(std::move(segments_), std::move(nodes_));
    segments_ = std::move(segments);
    nodes_ = std::move(nodes);
}

void ReplaceLineCommand::redo() { Swap(); }
void ReplaceLineCommand::undo() { Swap(); }

}  // namespace gaspipe::table
