#include "sheet_export.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <ctime>
#include <memory>
#include <utility>

#include "pipe_dimensions.h"
#include "pipe_file.h"
#include "sheet_dialog.h"
#include "sheet_files.h"
#include "table_sheet.h"

namespace gaspipe {

namespace {

SheetFileChooser& Chooser() {
    static SheetFileChooser chooser;
    return chooser;
}

QString& SettingsFile() {
    static QString path;
    return path;
}

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

std::unique_ptr<QSettings> Settings() {
    if (!SettingsFile().isEmpty())
        return std::make_unique<QSettings>(SettingsFile(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("gaspipe"), QStringLiteral("sheet"));
}

// The date is not remembered: a sheet carries the day it was made unless
// the designer says otherwise.
sheet::Project Remembered(const QSettings& s) {
    auto text = [&s](const char* key) {
        return s.value(QLatin1String(key)).toString().toStdString();
    };
    sheet::Project p;
    p.name = text("project/name");
    p.number = text("project/number");
    p.stage = text("project/stage");
    p.designer = text("project/designer");
    p.organization = text("project/organization");
    p.sheetNumber = text("project/sheetNumber");
    p.revision = text("project/revision");
    return p;
}

void Remember(QSettings& s, const sheet::Project& p) {
    s.setValue(QStringLiteral("project/name"), Q(p.name));
    s.setValue(QStringLiteral("project/number"), Q(p.number));
    s.setValue(QStringLiteral("project/stage"), Q(p.stage));
    s.setValue(QStringLiteral("project/designer"), Q(p.designer));
    s.setValue(QStringLiteral("project/organization"), Q(p.organization));
    s.setValue(QStringLiteral("project/sheetNumber"), Q(p.sheetNumber));
    s.setValue(QStringLiteral("project/revision"), Q(p.revision));
}

std::optional<double> Limit(const QSettings& s, const QString& key) {
    bool ok = false;
    const double v = s.value(key).toDouble(&ok);
    return ok && v > 0 ? std::optional<double>(v) : std::nullopt;
}

void RememberLimit(QSettings& s, const QString& key, std::optional<double> value) {
    if (value)
        s.setValue(key, *value);
    else
        s.remove(key);
}

// The file to write, with an extension a writer knows; empty when cancelled.
// The dialog starts in `start` when given (the case's folder), else where the
// last sheet went.
QString ChooseFile(QWidget* parent, QSettings& s, const sheet::Project& p,
                   const QString& start = {}) {
    const QString folder =
        !start.isEmpty() ? start : s.value(QStringLiteral("folder"), QDir::homePath()).toString();
    QString stem = Q(p.number.empty() ? p.name : p.number);
    stem.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    const QString suggested = QDir(folder).filePath(stem + QStringLiteral("计算书.pdf"));
    QString path = Chooser() ? Chooser()(parent, suggested)
                             : QFileDialog::getSaveFileName(
                                   parent, QStringLiteral("导出计算书"), suggested,
                                   QStringLiteral("PDF 文件 (*.pdf);;ODT 文档 (*.odt);;"
                                                  "HTML 网页 (*.html *.htm)"));
    if (path.isEmpty()) return path;
    if (!sheet::FormatOfPath(path.toStdString())) path += QStringLiteral(".pdf");
    s.setValue(QStringLiteral("folder"), QFileInfo(path).absolutePath());
    return path;
}

ExportResult Write(const sheet::Document& doc, const QString& path) {
    std::string error;
    if (!sheet::WriteSheetFile(doc, path.toStdString(), error))
        return {ExportResult::Status::Failed, path,
                QStringLiteral("计算书未能保存到 %1：%2").arg(path, Q(error))};
    return {ExportResult::Status::Written, path, {}};
}

sheet::Produced Now() {
    return sheet::ProducedAt(static_cast<std::time_t>(QDateTime::currentSecsSinceEpoch()));
}

}  // namespace

SheetFileChooser SetSheetFileChooser(SheetFileChooser chooser) {
    return std::exchange(Chooser(), std::move(chooser));
}

void SetSheetSettingsFile(const QString& path) { SettingsFile() = path; }

ExportResult ExportSegmentSheet(QWidget* parent, const WindowCalculation& calc) {
    // The window's own routine again on the same inputs and estimate: its
    // trace, checked against what the window shows.
    sheet::SegmentSheet s;
    s.trace = hydraulics::Calculate(calc.input, {});
    const hydraulics::SegmentTrace& t = s.trace;
    if (t.outcome != hydraulics::Outcome::Ok || float(t.outlet) != calc.outlet ||
        float(t.loss) != calc.loss || float(t.meanVelocity) != calc.meanVelocity ||
        float(t.maxVelocity) != calc.maxVelocity)
        return {ExportResult::Status::Failed,
                {},
                QStringLiteral("计算过程与窗口显示的结果不一致，未生成计算书。")};

    const auto settings = Settings();
    const bool low = calc.input.pressureClass == hydraulics::PressureClass::Low;
    const QString dropKey =
        low ? QStringLiteral("limits/maxDropLow") : QStringLiteral("limits/maxDropHighMedium");
    SheetDialog::Limits limits{true, low ? QStringLiteral("Pa") : QStringLiteral("10⁵ Pa"),
                               Limit(*settings, QStringLiteral("limits/maxVelocity")),
                               Limit(*settings, dropKey)};
    SheetDialog dialog(parent, Remembered(*settings), limits, {});
    if (dialog.exec() != QDialog::Accepted) return {};
    s.project = dialog.project();
    s.limits.maxVelocity = dialog.maxVelocity();
    s.limits.maxDrop = dialog.maxDrop();
    Remember(*settings, s.project);
    RememberLimit(*settings, QStringLiteral("limits/maxVelocity"), s.limits.maxVelocity);
    RememberLimit(*settings, dropKey, s.limits.maxDrop);

    const QString path = ChooseFile(parent, *settings, s.project);
    if (path.isEmpty()) return {};
    s.produced = Now();
    s.pipe.nominal = calc.nominal;
    s.pipe.pipeFile = calc.pipeFile;
    s.pipe.fileInner = calc.fileInner;
    if (!calc.nominal.empty() && !calc.pipeFile.empty()) {
        classIniFile ini;
        ini.INIFileName(calc.pipeFile);
        const PipeFile file(ini);
        s.pipe.dimensions = network::ReadPipeDimensions(
            file, std::string(hydraulics::SelectorText(calc.input.material)), calc.nominal);
        s.pipe.fileTitle = network::PipeFileTitle(file);
    }
    return Write(sheet::BuildSegmentSheet(s), path);
}

ExportResult ExportTableSheet(QWidget* parent, const network::Case& c, const network::Network& net,
                              const network::PipeCatalog& catalog, const std::string& pipeFile,
                              std::optional<std::size_t> chosen, const QString& caseFolder) {
    if (!net.problems().empty() || net.results().size() != c.segments.size())
        return {ExportResult::Status::Failed, {}, QStringLiteral("管网未能计算，无法生成计算书。")};
    SheetDialog::Segments segments;
    for (std::size_t i = 0; i < c.segments.size(); ++i)
        if (net.results()[i].status == network::SegmentStatus::Ok)
            segments.choices.emplace_back(Q(c.segments[i].id), i);
    const bool calculated = chosen && *chosen < c.segments.size() &&
                            net.results()[*chosen].status == network::SegmentStatus::Ok;
    segments.chosen = calculated ? chosen : sheet::LargestLossSegment(net);

    // The case's own fields first; what it leaves empty, from the last sheet.
    const auto settings = Settings();
    sheet::Project project = sheet::CaseProject(c);
    const sheet::Project remembered = Remembered(*settings);
    for (auto [field, fallback] : {std::pair{&project.name, &remembered.name},
                                   {&project.number, &remembered.number},
                                   {&project.stage, &remembered.stage},
                                   {&project.designer, &remembered.designer},
                                   {&project.organization, &remembered.organization}})
        if (field->empty()) *field = *fallback;

    SheetDialog dialog(parent, project, {}, segments);
    if (dialog.exec() != QDialog::Accepted) return {};
    sheet::TableSheet t;
    t.project = dialog.project();
    Remember(*settings, t.project);
    const QString path = ChooseFile(parent, *settings, t.project, caseFolder);
    if (path.isEmpty()) return {};
    t.produced = Now();
    t.pipeFile = pipeFile;
    t.catalog = &catalog;
    t.pressureUnit = network::CaseScale(c).unit;
    t.detail = dialog.segment();
    return Write(sheet::BuildTableSheet(c, net, t), path);
}

}  // namespace gaspipe
