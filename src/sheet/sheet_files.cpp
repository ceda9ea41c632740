#include "sheet_files.h"

#include <algorithm>
#include <cctype>

namespace gaspipe::sheet {

std::optional<Format> FormatOfPath(const std::string& path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return std::nullopt;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "pdf") return Format::Pdf;
    if (ext == "odt") return Format::Odt;
    if (ext == "html" || ext == "htm") return Format::Html;
    return std::nullopt;
}

}  // namespace gaspipe::sheet
