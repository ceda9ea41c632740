// The calculation table as an Excel workbook an engineer can print: project
// and case data above, the table with Chinese headings, units and number
// formats, failed checks in the table's colours with the reasons in a last
// column; landscape, one page wide, headings repeated on every page.
#pragma once

#include <string>

namespace gaspipe::table {

class SegmentModel;

// Written whole or not at all; false, with the reason in error, leaves an
// existing file as it was.
bool ExportXlsx(const SegmentModel& model, const std::string& path, std::string& error);

}  // namespace gaspipe::table
