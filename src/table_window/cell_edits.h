// From texts typed or pasted into cells to the values of a LineEdit: each
// text read for its column, checked, and applied to the segment of its row
// or to the node the row ends at. Nothing is pushed here; the model pushes
// the result as one command.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <vector>

#include "case_document.h"

namespace gaspipe::table {

struct CellText {
    std::size_t row;
    int column;
    QString text;
};

struct PlannedEdit {
    LineEdit edit;         // only what changes
    QStringList rejected;  // one reason per cell left as it was
};

// Cells of one row apply in column order, so a pasted nominal diameter is in
// place before the inner diameter beside it is compared with the pipe file's.
// Side effects a designer expects: a new material or nominal diameter drops
// an inner diameter typed for the old pipe; Σζ and the local-loss fraction
// replace each other; renaming a row's end node takes the node's elevation
// and load along when no other segment ends there.
PlannedEdit PlanCellEdits(const CaseDocument& doc, std::vector<CellText> cells);

}  // namespace gaspipe::table
