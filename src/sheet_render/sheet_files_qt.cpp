// The writer of the Qt build: PDF, ODT and HTML with the chart inline.
#include <QApplication>

#include <cstdio>
#include <memory>

#include "atomic_file.h"
#include "headless_platform.h"
#include "html.h"
#include "sheet_files.h"
#include "sheet_render.h"

namespace gaspipe::sheet {

namespace {

// Qt's note about a missing runtime directory means nothing to a user of the
// command-line tool.
QtMessageHandler standardHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (standardHandler)
        standardHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// A program without an application object (the command-line tool) gets a
// headless one for the fonts while the sheet is laid out.
std::unique_ptr<QApplication> HeadlessApplication() {
    if (QCoreApplication::instance()) return nullptr;
    if (!standardHandler) standardHandler = qInstallMessageHandler(QuietHandler);
    static char program[] = "gaspipe-calc", option[] = "-platform", platform[32];
    std::snprintf(platform, sizeof platform, "%s", detail::HeadlessPlatform());
    static char* argv[] = {program, option, platform, nullptr};
    static int argc;
    argc = 3;
    argv[1] = option, argv[2] = platform;
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

bool CanWrite(Format) { return true; }

bool WriteSheetFile(const Document& doc, const std::string& path, std::string& error) {
    const auto format = FormatOfPath(path);
    if (!format) {
        error = "the file name must end in .pdf, .odt or .html";
        return false;
    }
    const auto app = HeadlessApplication();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        error = "laying out a PDF or ODT needs a QApplication (the chart is drawn with widgets)";
        return false;
    }
    std::string bytes;
    switch (*format) {
        case Format::Pdf:
            bytes = RenderPdf(doc).toStdString();
            break;
        case Format::Odt:
            bytes = RenderOdt(doc).toStdString();
            break;
        case Format::Html:
            bytes = RenderHtml(doc, ProfileFigureSvg, SketchFigureSvg);
            break;
    }
    if (bytes.empty()) {
        error = "the document could not be laid out";
        return false;
    }
    return fileio::WriteWholeFile(path, bytes, error);
}

}  // namespace gaspipe::sheet
