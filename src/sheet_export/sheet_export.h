// "导出计算书…" of the windows: asks for the project fields (remembered in the
// user's settings, not in the pipe file), then for a file (.pdf, .odt or
// .html), builds the sheet from the calculation the window shows and writes
// it whole. The caller reports a failure in its own way.
#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "case.h"
#include "hydraulics.h"
#include "network.h"
#include "pipe_catalog.h"

class QWidget;

namespace gaspipe {

// The main window's last successful calculation, as its report shows it:
// the inputs in its state fields, the outlet estimate the routine began
// from, and the results it wrote back.
struct WindowCalculation {
    hydraulics::SegmentInput input;  // input.start: the estimate it began from
    float outlet = 0, loss = 0, meanVelocity = 0, maxVelocity = 0;
    std::string nominal;              // the diameter list's text
    std::string pipeFile;             // the window's pipe file
    std::optional<double> fileInner;  // that file's inner diameter for the entry
};

struct ExportResult {
    enum class Status { Written, Cancelled, Failed } status = Status::Cancelled;
    QString path;   // when written
    QString error;  // when failed, in Chinese for the user
};

ExportResult ExportSegmentSheet(QWidget* parent, const WindowCalculation& calculation);

// The table window's: every segment of the solved case, and the detailed
// working of `chosen` (default: the largest loss), which the dialog offers
// to change. The file dialog starts in caseFolder when given.
ExportResult ExportTableSheet(QWidget* parent, const network::Case& c, const network::Network& net,
                              const network::PipeCatalog& catalog, const std::string& pipeFile,
                              std::optional<std::size_t> chosen = std::nullopt,
                              const QString& caseFolder = {});

// Seams for tests: the file dialog, and where the fields are remembered
// (empty: the user's configuration folder).
using SheetFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
SheetFileChooser SetSheetFileChooser(SheetFileChooser chooser);
void SetSheetSettingsFile(const QString& path);

}  // namespace gaspipe
