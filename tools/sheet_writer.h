// Sheet files as the command-line tool writes them. A build with Qt writes
// every format through the sheet writer module, loaded beside the tool only
// when a sheet is written; a build without it writes HTML alone.
#pragma once

#include <string>

#include "document.h"
#include "sheet_files.h"

namespace gaspipe::cli {

bool CanWriteSheet(sheet::Format format);

// As sheet::WriteSheetFile; a missing or broken module is an error naming it.
bool WriteSheet(const sheet::Document& doc, const std::string& path, std::string& error);

}  // namespace gaspipe::cli
