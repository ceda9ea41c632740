// Writing a sheet to a file in the format its name gives: .pdf, .odt, .html
// (or .htm). PDF and ODT are laid out by Qt; a build without Qt links the
// HTML-only writer instead, and says so for the other two.
#pragma once

#include <optional>
#include <string>

#include "document.h"

namespace gaspipe::sheet {

enum class Format { Pdf, Odt, Html };

// By the extension, in any letter case; none for any other name.
std::optional<Format> FormatOfPath(const std::string& path);

// Whether this build can write the format.
bool CanWrite(Format format);

// Writes doc to path whole or not at all. false, with the reason in error,
// leaves an existing file as it was.
bool WriteSheetFile(const Document& doc, const std::string& path, std::string& error);

// The Qt build's WriteSheetFile is also a module of its own, which the
// command-line tool loads only to write a sheet, so that its other commands
// start without loading Qt. The module exports it under this name.
inline constexpr const char* kWriterEntry = "gaspipe_write_sheet_file";
using WriterEntry = bool (*)(const Document& doc, const std::string& path, std::string& error);

}  // namespace gaspipe::sheet
