// Undo commands of the table window.
//
// Who owns what. The window owns one CaseDocument; the document owns the
// case, the solved network and the QUndoStack; the stack owns every command
// pushed on it. A command owns plain values only: the rows, nodes or header
// before and after its change, never a pointer into the case, so it stays
// valid whatever happens to the vectors in between. It holds a plain pointer
// to the document, which outlives its stack.
//
// The one edit path: a model's setData, the header form, a paste, a row
// command or a sizing works out the values before and after, and pushes a
// command. The stack calls redo() at once; redo() and undo() hand the values
// to the document, which changes the case, re-solves what the change
// affects and signals the rows. Nothing else writes to the case, so what is
// on screen is always what undo will restore. A change that changes nothing
// is never pushed, and successive edits of one cell or one header field
// merge into one step.
#pragma once

#include <QUndoCommand>

#include <cstddef>

#include "case_document.h"

namespace gaspipe::table {

// Merge ids: one per kind of command that merges.
enum MergeId : int { kMergeCell = 1, kMergeHeaderField };

// Values of segments and nodes: cell edits, pastes, deleted contents, sizing.
class EditLineCommand : public QUndoCommand {
  public:
    // cell: (row, column) of a one-cell edit, which merges with the next
    // edit of the same cell; (-1, -1) for anything else.
    EditLineCommand(CaseDocument* doc, LineEdit edit, const QString& text, int row = -1,
                    int column = -1);
    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

  private:
    CaseDocument* doc_;
    LineEdit edit_;
    int row_, column_;
};

// The case header, one field at a time; successive edits of a field merge.
class EditHeaderCommand : public QUndoCommand {
  public:
    EditHeaderCommand(CaseDocument* doc, CaseHeader before, CaseHeader after, int field,
                      const QString& text);
    void redo() override;
    void undo() override;
    int id() const override { return kMergeHeaderField; }
    bool mergeWith(const QUndoCommand* other) override;

  private:
    CaseDocument* doc_;
    CaseHeader before_, after_;
    int field_;
};

// Rows added (insert) or deleted (the same change, undone).
class RowsCommand : public QUndoCommand {
  public:
    enum class Kind { Insert, Remove };
    RowsCommand(CaseDocument* doc, RowsChange change, Kind kind, const QString& text);
    void redo() override;
    void undo() override;

  private:
    CaseDocument* doc_;
    RowsChange change_;
    Kind kind_;
};

class MoveRowCommand : public QUndoCommand {
  public:
    MoveRowCommand(CaseDocument* doc, std::size_t from, std::size_t to, const QString& text);
    void redo() override;
    void undo() override;

  private:
    CaseDocument* doc_;
    std::size_t from_, to_;
};

// Every row and node at once: an imported CSV file.
class ReplaceLineCommand : public QUndoCommand {
  public:
    ReplaceLineCommand(CaseDocument* doc, std::vector<network::Segment> segments,
                       std::vector<network::Node> nodes, const QString& text);
    void redo() override;
    void undo() override;

  private:
    void Swap();
    CaseDocument* doc_;
    std::vector<network::Segment> segments_;
    std::vector<network::Node> nodes_;
};

}  // namespace gaspipe::table
