#include "sheet_writer.h"

#include "platform.h"

namespace gaspipe::cli {

namespace {

// The module's file name, empty in a build without it.
constexpr const char* kModule = GASPIPE_SHEET_MODULE;

}  // namespace

bool CanWriteSheet(sheet::Format format) { return *kModule != '\0' || sheet::CanWrite(format); }

bool WriteSheet(const sheet::Document& doc, const std::string& path, std::string& error) {
    if (*kModule == '\0') return sheet::WriteSheetFile(doc, path, error);
    const std::string module = ExecutableDirectory() + "/" + kModule;
    std::string why;
    const auto write =
        reinterpret_cast<sheet::WriterEntry>(LoadLibrarySymbol(module, sheet::kWriterEntry, why));
    if (!write) {
        error = "the sheet writer is missing or broken (" + why + ")";
        return false;
    }
    return write(doc, path, error);
}

}  // namespace gaspipe::cli
