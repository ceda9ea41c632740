// The calculation-table window: a whole radial line, one row per segment,
// recalculated by the network library on every edit.
//
// Data flow: the window owns a CaseDocument (the case, its solved network,
// the undo stack). The header form and the table's model turn what the
// designer types into undo commands; the document applies them, re-solves
// what changed and signals the rows; the model shows inputs, results and
// failed checks in its roles; the chart panel draws the pressure profile to
// the selected node from the network's results. The window itself computes
// nothing: it wires these together and handles files.
#pragma once

#include <QMainWindow>
#include <QString>

#include <cstddef>
#include <memory>
#include <optional>

#include "case.h"

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QSettings;
class QSplitter;

namespace gaspipe::table {

class CaseDocument;
class ChartPanel;
class HeaderForm;
class SegmentModel;
class SegmentSortModel;
class SegmentTableView;
class SketchPanel;

// The user's settings of the table window: the file given, or the user's own.
std::unique_ptr<QSettings> Settings(const QString& file);

class TableWindow : public QMainWindow {
    Q_OBJECT

  public:
    struct Options {
        // PipeParameters.Ini; by default the one beside the program.
        QString pipeFile;
        // Where the recent files are kept; by default the user's settings.
        QString settingsFile;
    };

    explicit TableWindow(Options options = {}, QWidget* parent = nullptr);
    ~TableWindow() override;

    // A case as a new, unnamed document (the main window's inputs).
    void setCase(network::Case c);
    // A damaged or unreadable file opens nothing and says why; the current
    // document stays.
    bool openFile(const QString& path);
    // Atomic; on failure the previous file is untouched and a box says why.
    // A case that gaspipe could not open again (an id too long, ...) is not
    // written: the box names what to change.
    bool saveFile(const QString& path);
    bool importCsv(const QString& path);
    bool exportSegmentsCsv(const QString& path);
    bool exportResultsCsv(const QString& path);
    bool exportXlsx(const QString& path);
    // PNG or SVG, by the name's suffix.
    bool exportChart(const QString& path);
    bool exportSketch(const QString& path);

    CaseDocument* document() const { return doc_; }
    // Rows in the case's order, with the check colours in its roles.
    SegmentModel* segmentModel() const { return model_; }
    SegmentTableView* tableView() const { return view_; }
    ChartPanel* chartPanel() const { return chart_; }
    SketchPanel* sketchPanel() const { return sketch_; }
    const QString& filePath() const { return path_; }

    // The File menu. Export entries of other parts of the program go in with
    // addExportAction, after the table's own.
    QMenu* fileMenu() const { return fileMenu_; }
    void addExportAction(QAction* action);

    // The segment whose end node the chart follows; none when nothing is solved.
    std::optional<std::size_t> profileSegment() const;

    // The case a new document starts from.
    static network::Case NewCase();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildActions();
    void BuildMenus();
    void BuildLayout();
    void BuildFigures();
    void UpdateTitle();
    void UpdateStatus();
    void UpdateColumns();
    // The header's menu of columns to show, remembered in the user's settings.
    void BuildColumnMenu();
    void UpdateActions();
    void ScheduleChart();
    void UpdateChart();
    void ShowRowMessage();

    // A value still being typed, in a header field or a cell's editor, taken
    // in before the document is saved, exported or closed; false when it was
    // refused (the status bar says why).
    bool CommitPendingEdit();

    // File menu.
    void Opened();  // after a new document is in place
    void NewDocument();
    void Open();
    bool Save();
    bool SaveAs();
    void ImportCsv();
    // The calculation sheet of the line as solved; a line that cannot be
    // solved gets a message instead.
    void ExportSheet();
    void ExportFile(const QString& title, const QString& filter, const QString& suffix,
                    bool (TableWindow::*write)(const QString&));
    bool MaybeSave();
    bool WriteFile(const QString& path, const std::string& bytes);
    void AddRecent(const QString& path);
    void FillRecentMenu();

    // Row menu.
    void AddRow(bool afterCurrent);
    void DuplicateRows();
    void DeleteRows();
    void MoveRow(int step);
    void SizeSegment();
    void SizeLine();

    Options options_;
    CaseDocument* doc_;
    SegmentModel* model_;
    SegmentSortModel* proxy_;
    SegmentTableView* view_;
    HeaderForm* header_;
    ChartPanel* chart_;
    SketchPanel* sketch_;
    QSplitter* figures_ = nullptr;
    QDockWidget* figuresDock_ = nullptr;
    QLabel* problems_;
    QLabel* summary_;
    QString path_;
    QStringList hiddenColumns_;  // first lines of the headings the designer hid
    bool followSelection_ = false;
    bool chartPending_ = false;

    QMenu* fileMenu_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* exportEnd_ = nullptr;
    QAction* actNew_ = nullptr;
    QAction* actOpen_ = nullptr;
    QAction* actSave_ = nullptr;
    QAction* actSaveAs_ = nullptr;
    QAction* actImportCsv_ = nullptr;
    QAction* actExportCsv_ = nullptr;
    QAction* actExportResults_ = nullptr;
    QAction* actExportXlsx_ = nullptr;
    QAction* actExportChart_ = nullptr;
    QAction* actExportSketch_ = nullptr;
    QAction* actExportSheet_ = nullptr;
    QAction* actClose_ = nullptr;
    QAction* actUndo_ = nullptr;
    QAction* actRedo_ = nullptr;
    QAction* actCut_ = nullptr;
    QAction* actCopy_ = nullptr;
    QAction* actPaste_ = nullptr;
    QAction* actClear_ = nullptr;
    QAction* actAddRow_ = nullptr;
    QAction* actInsertRow_ = nullptr;
    QAction* actDuplicateRow_ = nullptr;
    QAction* actDeleteRow_ = nullptr;
    QAction* actMoveUp_ = nullptr;
    QAction* actMoveDown_ = nullptr;
    QAction* actUnsort_ = nullptr;
    QAction* actSizeSegment_ = nullptr;
    QAction* actSizeLine_ = nullptr;
};

// Opens a table window on a case, as an unnamed document; it deletes itself
// when closed. pipeFile: as in TableWindow::Options.
TableWindow* OpenTableWindow(network::Case c, const QString& pipeFile = QString());

}  // namespace gaspipe::table
