// The columns of the segment table: what each shows and whether it may be
// edited. Inputs first, in the order of the case file, then the results of
// the solved line. Shared by the model and the XLSX export, so that both
// tables of a case read alike.
#pragma once

#include <QString>
#include <QVariant>

#include <cstddef>

#include <optional>

#include "case.h"
#include "line_columns.h"
#include "pressure_display.h"

namespace gaspipe::table {

class CaseDocument;

enum Column : int {
    kId,
    kFrom,
    kTo,
    kMaterial,
    kNominal,
    kInner,
    kLength,
    kFlow,
    kLoad,
    kToHouseholds,  // the to-node's households N, appliance set and rated flow
    kToAppliances,
    kToRatedFlow,
    kSimultaneity,
    kElevation,
    kLocalLoss,
    kZeta,
    kRoughness,
    kPart,  // its own, or (shown as derived) the feeding segment's
    // The results, as the line's calculation table has them (line_columns.h).
    kHouseholds,
    kRatedFlow,
    kFactor,
    kCalculationLength,
    kInlet,
    kOutlet,
    kDrop,
    kUnitFrictionLoss,
    kFrictionLoss,
    kLocalLossValue,
    kAdditionalHead,
    kCumulativeDrop,
    kPartDrop,
    kMeanVelocity,
    kMaxVelocity,
    kReynolds,
    kRegime,
    kFrictionFactor,
    kColumnCount
};

inline bool IsResultColumn(int column) { return column >= kHouseholds; }
inline bool IsNumberColumn(int column) {
    return column >= kInner && column != kRegime && column != kPart && column != kToAppliances;
}

// The catalogue's column of a result column.
std::optional<network::LineColumn> CatalogColumn(int column);

// The heading with its unit on a second line ("长度\n(m)"), pressures in
// the unit the case is shown in.
QString ColumnTitle(int column, const network::PressureScale& scale);
QString ColumnTitle(int column, bool lowPressure);

// Whether the case's method uses the column at all (Σζ, local losses and
// roughness are the current-code method's; the additional head is low
// pressure's).
bool ColumnApplies(const network::Case& c, int column);
// Whether a table shows it: when it applies, or when segments still hold
// values the method refuses (after a change of method), so that they can be
// seen and cleared. Every input column is editable.
bool ColumnShown(const network::Case& c, int column);

struct Shown {
    QString text;
    // Not set for this segment: the text is the value in use (from the pipe
    // file, the loads downstream or the method's default).
    bool derived = false;
};

Shown CellShown(const CaseDocument& doc, std::size_t row, int column);
// The cell's own value as an editor starts with it; "" when not set.
QString CellEditText(const CaseDocument& doc, std::size_t row, int column);
// Numbers as numbers, so that sorting orders them by value.
QVariant CellSortValue(const CaseDocument& doc, std::size_t row, int column);

}  // namespace gaspipe::table
