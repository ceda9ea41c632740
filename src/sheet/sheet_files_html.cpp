// The writer of a build without Qt: HTML only.
#include "atomic_file.h"
#include "html.h"
#include "sheet_files.h"

namespace gaspipe::sheet {

bool CanWrite(Format format) { return format == Format::Html; }

bool WriteSheetFile(const Document& doc, const std::string& path, std::string& error) {
    const auto format = FormatOfPath(path);
    if (!format) {
        error = "the file name must end in .html or .htm";
        return false;
    }
    if (!CanWrite(*format)) {
        error = "PDF and ODT need the build with Qt; this one writes .html";
        return false;
    }
    return fileio::WriteWholeFile(path, RenderHtml(doc), error);
}

}  // namespace gaspipe::sheet
