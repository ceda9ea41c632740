// The segment table as an item model over a CaseDocument: one row per
// segment in the case's order, the columns of segment_columns.h. Failed
// checks live in its roles (background, tooltip), so every view of it, and
// anything that prints it, shows them alike. setData and SetCellTexts are
// the only ways in, and both push one undo command.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>

#include <vector>

#include "cell_edits.h"

namespace gaspipe::table {

class CaseDocument;

class SegmentModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Role {
        ChoicesRole = Qt::UserRole + 1,  // QStringList a drop-down offers, if any
        SortRole,                        // numbers as numbers
        DerivedRole,                     // bool: the value in use, not set for the segment
    };

    explicit SegmentModel(CaseDocument* doc, QObject* parent = nullptr);

    CaseDocument* document() const { return doc_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // Sets many cells as one undoable step (a paste, deleted contents).
    // Returns the reasons of the cells left as they were.
    QStringList SetCellTexts(std::vector<CellText> cells, const QString& commandText);

  signals:
    // Why an edit was refused, for the status bar.
    void editRefused(const QString& message);

  private:
    QVariant Background(int row, int column) const;
    QString ToolTip(int row, int column) const;

    CaseDocument* doc_;
};

// Sorting for the view only: the case keeps its order, so the calculation
// never depends on how the table is sorted. Texts compare as a person reads
// numbers in them ("2" before "10").
class SegmentSortModel : public QSortFilterProxyModel {
    Q_OBJECT

  public:
    explicit SegmentSortModel(QObject* parent = nullptr);

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace gaspipe::table
