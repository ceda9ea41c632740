// Row commands worked out as values: the segments a new, inserted or
// duplicated row gets, the node steps that go with deleting rows, and the
// sizings turned into edits. Nothing is pushed here.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <vector>

#include "case_document.h"

namespace gaspipe::table {

// A new row after `after` (none: at the end), continuing the line from that
// row's end node (at the end: from the last row's; in an empty case: from
// the source), with its pipe, a new id and a new end node.
RowsChange PlanNewRow(const CaseDocument& doc, std::optional<std::size_t> after);

// Copies of the rows, each below its original, with new ids and end nodes
// carrying the original end node's elevation and load.
RowsChange PlanDuplicate(const CaseDocument& doc, std::vector<std::size_t> rows);

// The rows as an insertion, so that RowsCommand::Kind::Remove deletes them;
// their end nodes go too when no remaining segment touches them.
RowsChange PlanRemove(const CaseDocument& doc, std::vector<std::size_t> rows);

// One segment set to a nominal diameter of the pipe file.
LineEdit PlanNominal(const CaseDocument& doc, std::size_t row, const std::string& nominal);

// The whole-line proposal as an edit of the rows it changes; notes, or why
// nothing could be proposed, go to messages.
LineEdit PlanProposal(const CaseDocument& doc, QStringList& messages);

}  // namespace gaspipe::table
