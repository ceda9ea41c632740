// The Qt writer of sheet files, as the module the command-line tool loads.
#include "sheet_files.h"

extern "C" bool gaspipe_write_sheet_file(const gaspipe::sheet::Document& doc,
                                         const std::string& path, std::string& error) {
    return gaspipe::sheet::WriteSheetFile(doc, path, error);
}

// The tool calls it through this type.
[[maybe_unused]] constexpr gaspipe::sheet::WriterEntry kEntry = &gaspipe_write_sheet_file;
