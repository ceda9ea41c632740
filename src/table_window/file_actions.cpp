// The table window's File menu: documents, CSV import, exports and the
// recent-files list. Every file is written whole or not at all; a file that
// cannot be read changes nothing and says why.
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>

#include <memory>
#include <unordered_set>

#include "atomic_file.h"
#include "case_document.h"
#include "case_file.h"
#include "chart_panel.h"
#include "header_form.h"
#include "library_path.h"
#include "load_messages.h"
#include "message_box.h"
#include "profile_chart.h"
#include "segment_table_view.h"
#include "segments_csv.h"
#include "sheet_export.h"
#include "sketch_paint.h"
#include "sketch_panel.h"
#include "table_window.h"
#include "undo_commands.h"
#include "xlsx_export.h"

namespace gaspipe::table {

namespace {

constexpr int kRecentFiles = 8;
const QSize kChartExportSize(1200, 700);
constexpr double kSketchExportWidth = 1200;  // drawing units; the picture is twice that in pixels

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

const QString kCaseFilter = QStringLiteral("水力计算文件 (*.gpcase);;所有文件 (*)");

}  // namespace

void TableWindow::setCase(network::Case c) {
    doc_->Reset(std::move(c));
    path_.clear();
    Opened();
}

void TableWindow::Opened() {
    UpdateTitle();
    followSelection_ = false;
    ScheduleChart();
    view_->setFocus();
    if (!doc_->pipeFileProblem().empty())
        statusBar()->showMessage(
            QStringLiteral("无法读取管道参数文件 %1（%2）：公称直径没有内径可取")
                .arg(QString::fromStdString(doc_->pipeFile()), Q(doc_->pipeFileProblem())));
}

bool TableWindow::CommitPendingEdit() { return header_->CommitPending() && view_->CommitEdit(); }

bool TableWindow::openFile(const QString& path) {
    const network::CaseReadResult read = network::LoadCase(LibraryPath(path));
    if (!read.value) {
        ShowErrorBox(this,
                     QStringLiteral("无法打开“%1”：\n%2")
                         .arg(QFileInfo(path).fileName(),
                              read.problem ? CaseProblemText(*read.problem) : Q(read.error)),
                     QStringLiteral("打开文件"));
        return false;
    }
    doc_->Reset(*read.value);
    path_ = QFileInfo(path).absoluteFilePath();
    AddRecent(path_);
    Opened();
    return true;
}

bool TableWindow::saveFile(const QString& path) {
    if (!CommitPendingEdit()) return false;
    const network::SaveResult saved = network::SaveCase(LibraryPath(path), doc_->data());
    if (!saved.ok) {
        const QString name = QFileInfo(path).fileName();
        ShowErrorBox(this,
                     saved.problem
                         ? QStringLiteral("未保存“%1”：保存后将无法再打开，请先修改：\n%2")
                               .arg(name, CaseProblemText(*saved.problem))
                         : QStringLiteral("无法保存“%1”，原有文件未改动：\n%2")
                               .arg(name, SystemReasonText(saved.systemError)),
                     QStringLiteral("保存文件"));
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    doc_->undoStack()->setClean();
    AddRecent(path_);
    UpdateTitle();
    statusBar()->showMessage(QStringLiteral("已保存 %1").arg(path_), 5000);
    return true;
}

bool TableWindow::importCsv(const QString& path) {
    QFile file(path);
    const network::CsvImportLimits limits;
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.read(qint64(limits.maxBytes) + 1);
    QString error = file.error() == QFileDevice::NoError ? QString() : file.errorString();
    network::Case imported = doc_->data();
    if (error.isEmpty())
        if (const auto problem = network::ImportSegments(
                std::string_view(bytes.constData(), std::size_t(bytes.size())), imported, limits))
            error = CsvProblemText(*problem);
    if (!error.isEmpty()) {
        ShowErrorBox(
            this,
            QStringLiteral("无法导入“%1”，表格未改动：\n%2").arg(QFileInfo(path).fileName(), error),
            QStringLiteral("导入 CSV"));
        return false;
    }
    // The rows replace the line: nodes on none of them would only be reported as lost loads.
    std::unordered_set<std::string> used = {imported.source.node};
    for (const auto& s : imported.segments) used.insert({s.from, s.to});
    std::erase_if(imported.nodes, [&](const network::Node& n) { return !used.count(n.id); });
    doc_->undoStack()->push(new ReplaceLineCommand(
        doc_, std::move(imported.segments), std::move(imported.nodes), QStringLiteral("导入 CSV")));
    return true;
}

bool TableWindow::WriteFile(const QString& path, const std::string& bytes) {
    std::string error;
    if (fileio::WriteWholeFile(LibraryPath(path), bytes, error)) return true;
    ShowErrorBox(this,
                 QStringLiteral("无法写入“%1”，原有文件未改动：\n%2")
                     .arg(QFileInfo(path).fileName(), SystemReasonText(error)),
                 QStringLiteral("导出"));
    return false;
}

bool TableWindow::exportSegmentsCsv(const QString& path) {
    return CommitPendingEdit() && WriteFile(path, network::SegmentsToCsv(doc_->data()));
}

bool TableWindow::exportResultsCsv(const QString& path) {
    return CommitPendingEdit() &&
           WriteFile(path, network::ResultsToCsv(doc_->data(), doc_->network()));
}

bool TableWindow::exportXlsx(const QString& path) {
    if (!CommitPendingEdit()) return false;
    std::string error;
    if (ExportXlsx(*model_, LibraryPath(path), error)) return true;
    ShowErrorBox(this,
                 QStringLiteral("无法写入“%1”，原有文件未改动：\n%2")
                     .arg(QFileInfo(path).fileName(), SystemReasonText(error)),
                 QStringLiteral("导出 Excel 表格"));
    return false;
}

bool TableWindow::exportChart(const QString& path) {
    if (!CommitPendingEdit()) return false;
    if (chartPending_) UpdateChart();  // the edit just taken in
    std::string error;
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    const bool ok = svg ? ExportProfileChartSvg(chart_->profile(), chart_->lowPressure(),
                                                kChartExportSize, LibraryPath(path), error)
                        : ExportProfileChartPng(chart_->profile(), chart_->lowPressure(),
                                                kChartExportSize, LibraryPath(path), error);
    if (!ok)
        ShowErrorBox(this,
                     QStringLiteral("无法写入“%1”，原有文件未改动：\n%2")
                         .arg(QFileInfo(path).fileName(), SystemReasonText(error)),
                     QStringLiteral("导出压力曲线图"));
    return ok;
}

bool TableWindow::exportSketch(const QString& path) {
    sketch_->Refresh();
    std::string error;
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    bool ok = false;
    if (sketch_->tree().nodes.size() < 2)
        error = "没有可以绘制的管段";
    else if (svg)
        ok = ExportSketchSvg(sketch_->tree(), sketch_->pipesShown(), font(), kSketchExportWidth,
                             LibraryPath(path), error);
    else
        ok = ExportSketchPng(sketch_->tree(), sketch_->pipesShown(), font(), kSketchExportWidth,
                             LibraryPath(path), error);
    if (!ok)
        ShowErrorBox(this,
                     QStringLiteral("无法导出计算简图“%1”，原有文件未改动：\n%2")
                         .arg(QFileInfo(path).fileName(), Q(error)),
                     QStringLiteral("导出计算简图"));
    return ok;
}

void TableWindow::NewDocument() {
    if (MaybeSave()) setCase(NewCase());
}

void TableWindow::Open() {
    if (!MaybeSave()) return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("打开"),
                                                      QFileInfo(path_).path(), kCaseFilter);
    if (!path.isEmpty()) openFile(path);
}

bool TableWindow::Save() {
    if (!CommitPendingEdit()) return false;
    return path_.isEmpty() ? SaveAs() : saveFile(path_);
}

bool TableWindow::SaveAs() {
    if (!CommitPendingEdit()) return false;
    QFileDialog dialog(this, QStringLiteral("另存为"), path_, kCaseFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("gpcase"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return saveFile(dialog.selectedFiles().front());
}

void TableWindow::ImportCsv() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("导入 CSV"), QFileInfo(path_).path(),
                                     QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
    if (!path.isEmpty()) importCsv(path);
}

void TableWindow::ExportFile(const QString& title, const QString& filter, const QString& suffix,
                             bool (TableWindow::*write)(const QString&)) {
    if (!CommitPendingEdit()) return;
    const QString base =
        path_.isEmpty() ? QStringLiteral("水力计算表") : QFileInfo(path_).completeBaseName();
    QFileDialog dialog(this, title, QFileInfo(path_).dir().filePath(base + '.' + suffix), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        // "(*.svg)" chosen: the name follows.
        dialog.setDefaultSuffix(chosen.contains(QStringLiteral("*.svg")) ? QStringLiteral("svg")
                                                                         : QStringLiteral("png"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().front();
    if ((this->*write)(path)) statusBar()->showMessage(QStringLiteral("已导出 %1").arg(path), 5000);
}

void TableWindow::ExportSheet() {
    if (!CommitPendingEdit()) return;
    const ExportResult result = ExportTableSheet(
        this, doc_->data(), doc_->network(), doc_->catalog(), doc_->pipeFile(), std::nullopt,
        path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath());
    if (result.status == ExportResult::Status::Failed)
        ShowErrorBox(this, result.error, QStringLiteral("导出计算书"));
    else if (result.status == ExportResult::Status::Written)
        statusBar()->showMessage(QStringLiteral("已导出 %1").arg(result.path), 5000);
}

bool TableWindow::MaybeSave() {
    if (!CommitPendingEdit()) return false;
    if (doc_->undoStack()->isClean()) return true;
    const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
    switch (
        AskBox(this, QMessageBox::Warning, QStringLiteral("“%1”已修改。\n是否保存修改？").arg(name),
               QStringLiteral("水力计算表"),
               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
        case QMessageBox::Save:
            return Save();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

std::unique_ptr<QSettings> Settings(const QString& file) {
    if (file.isEmpty())
        return std::make_unique<QSettings>(QStringLiteral("gaspipe"),
                                           QStringLiteral("gaspipe-table"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

void TableWindow::AddRecent(const QString& path) {
    auto settings = Settings(options_.settingsFile);
    QStringList recent = settings->value(QStringLiteral("recentFiles")).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    settings->setValue(QStringLiteral("recentFiles"), recent.mid(0, kRecentFiles));
}

void TableWindow::FillRecentMenu() {
    recentMenu_->clear();
    const QStringList recent =
        Settings(options_.settingsFile)->value(QStringLiteral("recentFiles")).toStringList();
    for (const QString& path : recent) {
        QAction* action = recentMenu_->addAction(QFileInfo(path).fileName());
        action->setToolTip(path);
        action->setStatusTip(path);
        connect(action, &QAction::triggered, this, [this, path] {
            if (MaybeSave()) openFile(path);
        });
    }
    if (recent.isEmpty()) recentMenu_->addAction(QStringLiteral("（无）"))->setEnabled(false);
}

}  // namespace gaspipe::table
