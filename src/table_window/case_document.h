// The case a table window edits, with its line solved by the network library.
//
// Every change reaches the case through an undo command (undo_commands.h),
// which calls one of the Apply/Insert/Remove/Move functions below; those
// change the case, tell the network what changed so that only the affected
// part of the line is solved again, and signal the rows to the model. The
// document holds no results of its own: they are the network's.
#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "case.h"
#include "network.h"
#include "pipe_catalog.h"

class QUndoStack;

namespace gaspipe::table {

// The members of a case that are not rows: what the header form edits.
struct CaseHeader {
    network::Project project;
    network::Gas gas;
    std::string pressureClass;
    network::MethodOptions method;
    network::Source source;
    network::Limits limits;
    network::Display display;
    std::string unknown;

    bool operator==(const CaseHeader&) const = default;
};

CaseHeader HeaderOf(const network::Case& c);

// One segment's values before and after an edit.
struct SegmentEdit {
    std::size_t row;
    network::Segment before, after;
};

// One step on the node list: insert (no before), erase (no after) or replace
// at index. Steps apply in order and undo in reverse, so the list comes back
// exactly as it was.
struct NodeEdit {
    std::size_t index;
    std::optional<network::Node> before, after;
};

struct LineEdit {
    std::vector<SegmentEdit> segments;
    std::vector<NodeEdit> nodes;
    bool empty() const { return segments.empty() && nodes.empty(); }
};

// Segments to insert at the given rows (ascending, each row as it will be
// after the earlier ones are in place), with the node steps that go with them.
struct RowsChange {
    std::vector<std::pair<std::size_t, network::Segment>> rows;
    std::vector<NodeEdit> nodes;
};

class CaseDocument : public QObject {
    Q_OBJECT

  public:
    // pipeFile: the pipe parameter file the nominal diameters come from.
    explicit CaseDocument(std::string pipeFile, QObject* parent = nullptr);
    ~CaseDocument() override;

    const network::Case& data() const { return case_; }
    const network::Network& network() const { return network_; }
    const network::PipeCatalog& catalog() const { return catalog_; }
    // The simultaneity file beside the pipe file, read at each Reset.
    const SimultaneityTable& factors() const { return factors_; }
    QUndoStack* undoStack() const { return undoStack_; }
    const std::string& pipeFile() const { return pipeFile_; }
    // Why the pipe file could not be read at the last Reset; "" when it was.
    const std::string& pipeFileProblem() const { return pipeFileProblem_; }

    // A new document: the pipe file read again, the line solved, the undo
    // history emptied and the state marked as saved.
    void Reset(network::Case c);

    // The listed node with this id, if any.
    const network::Node* FindNode(std::string_view id) const;
    std::optional<std::size_t> NodeIndex(std::string_view id) const;
    // The case-wide problem texts naming a row ("" for none).
    QString RowProblem(std::size_t row) const;
    // Why the case cannot be solved at all, one line per problem.
    QStringList Problems() const;

    // For the undo commands only.
    void ApplyLineEdit(const LineEdit& edit, bool forward);
    void ApplyHeader(const CaseHeader& header);
    void InsertRows(const RowsChange& change);
    void RemoveRows(const RowsChange& change);  // the inverse of InsertRows
    void MoveRow(std::size_t from, std::size_t to);
    void ReplaceLine(std::vector<network::Segment> segments, std::vector<network::Node> nodes);

  signals:
    // Values (inputs or results) of rows [first, last] changed.
    void rowsChanged(int first, int last);
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted();
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved();
    void rowAboutToMove(int from, int to);
    void rowMoved();
    void aboutToReset();
    void reset();
    void headerChanged();
    // After every recalculation, once the rows have been signalled.
    void solved();

  private:
    void ApplyNodeEdits(const std::vector<NodeEdit>& edits, bool forward);
    void IndexNodes();
    // Checks and solves the whole line again.
    void Solve();
    void CollectRowProblems();
    void EmitAll();

    std::string pipeFile_;
    std::string pipeFileProblem_;
    network::Case case_;
    network::PipeCatalog catalog_;
    SimultaneityTable factors_;
    // Holds on to catalog_ and factors_, which stay in place.
    network::Network network_{catalog_, &factors_};
    std::unordered_map<std::string, std::size_t> nodeIndex_;
    std::unordered_map<std::size_t, QString> rowProblems_;
    QUndoStack* undoStack_;
};

}  // namespace gaspipe::table
