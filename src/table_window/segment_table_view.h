// The segment table's view, with a spreadsheet's keys: Enter moves down (and
// commits an edit first), F2 or typing edits, Delete empties the selected
// cells, and copy and paste move cell ranges to and from Excel and WPS as
// tab-separated text. Shows a sorted proxy; every change goes to the source
// model as one command.
#pragma once

#include <QTableView>

#include "clipboard_text.h"

namespace gaspipe::table {

class SegmentModel;
class SegmentSortModel;

class SegmentTableView : public QTableView {
    Q_OBJECT

  public:
    SegmentTableView(SegmentModel* model, SegmentSortModel* proxy, QWidget* parent = nullptr);

    // The case row of the current cell; -1 when there is none.
    int currentSourceRow() const;
    // The case rows that have a selected cell, ascending.
    std::vector<std::size_t> selectedSourceRows() const;
    void setCurrentSourceRow(int row);

    // The selected cells as shown (visible columns, rows as sorted).
    CellBlock SelectedBlock() const;
    // Puts block at the current cell; a single value fills every selected
    // cell. A block that does not fit asks, then is cut to the table.
    void PasteBlock(const CellBlock& block);

    // Takes in the value of a cell still in its editor, as Enter would
    // (before a save, an export or closing). false when it was refused: the
    // editor stays open and message() says why.
    bool CommitEdit();

  public slots:
    void copy();
    void cut();
    void paste();
    void clearContents();

  signals:
    void message(const QString& text);
    // The current cell changed; chosen is false when the view placed it
    // itself on taking the focus.
    void cursorMoved(bool chosen);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    // Selected cells, or the current one, in view coordinates.
    QModelIndexList SelectedOrCurrent() const;
    QList<int> VisibleColumns() const;
    void Report(const QStringList& refused);

    SegmentModel* model_;
    SegmentSortModel* proxy_;
    bool refused_ = false;  // the edit being closed was refused: stay on its cell
    bool focusing_ = false;
};

}  // namespace gaspipe::table
