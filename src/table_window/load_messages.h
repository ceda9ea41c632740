// Why a case file or CSV rows cannot be read (or a case cannot be saved so
// that it reads again), in Chinese, from the parts the network library
// reports; gaspipe-calc says the same in English.
#pragma once

#include <QString>

#include "case_file.h"
#include "segments_csv.h"

namespace gaspipe::table {

QString CaseProblemText(const network::CaseFileProblem& problem);

// The system's reason a file could not be read or written (strerror's words),
// in Chinese where it is a common one; others as the system gives them.
QString SystemReasonText(const std::string& reason);
QString CsvProblemText(const network::CsvImportProblem& problem);

}  // namespace gaspipe::table
