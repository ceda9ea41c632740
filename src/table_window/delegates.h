// Cell editors: a drop-down where the model offers choices (materials, the
// pipe file's nominal diameters for the row's material), otherwise a line
// edit that shows the value in use as its placeholder when the segment sets
// none of its own. An id's editor keeps to the case file's limit. Input
// numbers are shown with at least their column's decimals, so that decimal
// points line up; never rounded.
#pragma once

#include <QLocale>
#include <QStyledItemDelegate>

namespace gaspipe::table {

// The shortest text of a number padded with zeros to `decimals` decimals in
// the locale's notation; other texts (exponents, words) unchanged.
QString PaddedDecimals(const QString& text, int decimals, const QLocale& locale);

class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  signals:
    // What was typed or pasted was cut to the limit; message says so.
    void textCut(const QString& message) const;
};

}  // namespace gaspipe::table
