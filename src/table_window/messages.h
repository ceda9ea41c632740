// The table's words for what the network library reports: case problems,
// segment states and failed checks, in Chinese, with the library's own
// detail where it names the values involved.
#pragma once

#include <QString>

#include <cstddef>

#include "case.h"
#include "hydraulics.h"
#include "network.h"

namespace gaspipe::table {

class CaseDocument;

QString ProblemText(const network::CaseProblem& problem, const network::Case& c);

// "Pa" for low pressure, "10⁵ Pa" (absolute) for high/medium.
QString PressureUnit(bool lowPressure);

QString RegimeText(hydraulics::Regime regime);

// Why a row was not calculated, or "" when it was.
QString StatusText(const CaseDocument& doc, std::size_t row);
// The row's failed velocity check, or "".
QString VelocityCheckText(const CaseDocument& doc, std::size_t row);
// The row's failed drop check, or "".
QString DropCheckText(const CaseDocument& doc, std::size_t row);
// Everything wrong with a row, one line each; "" when it holds.
QString RowMessage(const CaseDocument& doc, std::size_t row);

}  // namespace gaspipe::table
