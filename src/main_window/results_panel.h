// The results panel PictureJsjg: the report is printed into it line by line
// and the lines are kept, so they are redrawn after every repaint and read
// again when the credits frame uncovers the panel. "复制" / Ctrl+C put the
// lines on the clipboard; "水力计算表…" asks for the calculation table;
// "导出计算书…" asks the window for the sheet of the calculation shown,
// while it shows one.
#pragma once

#include <QFrame>
#include <QString>
#include <QStringList>

class QAction;

namespace gaspipe {

class ResultsPanel : public QFrame {
    Q_OBJECT

  public:
    explicit ResultsPanel(QWidget* parent = nullptr);

    // Empties the panel; the next line goes to the top-left corner again.
    void Cls();
    // Adds one line under the previous one.
    void Print(const QString& line);

    const QStringList& lines() const { return lines_; }
    // The lines are a calculation's report, so a sheet can be made of it;
    // cleared with the panel.
    void SetSheetAvailable(bool available) { sheetAvailable_ = available; }
    bool sheetAvailable() const { return sheetAvailable_; }
    // The lines as clipboard text, one per line.
    QString text() const;

  public slots:
    void copy() const;

  signals:
    void calculationTableRequested();
    void exportSheetRequested();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QStringList lines_;
    QAction* copyAction_;
    QAction* tableAction_;
    QAction* exportSheetAction_;
    bool sheetAvailable_ = false;
};

}  // namespace gaspipe
