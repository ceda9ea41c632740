// A build without libxlsxwriter (Windows, where Debian's package is not at
// hand): the export refuses with the reason instead of writing anything.
#include "xlsx_export.h"

namespace gaspipe::table {

bool ExportXlsx(const SegmentModel&, const std::string&, std::string& error) {
    error = "此版本未带 Excel 写入库（libxlsxwriter），请导出 CSV。";
    return false;
}

}  // namespace gaspipe::table
