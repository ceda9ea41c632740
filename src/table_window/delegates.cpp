#include "delegates.h"

#include <QComboBox>
#include <QLineEdit>

#include "segment_model.h"

namespace gaspipe::table {

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const QStringList choices = index.data(SegmentModel::ChoicesRole).toStringList();
    if (choices.isEmpty()) {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setPlaceholderText(index.data(Qt::DisplayRole).toString());
        return editor;
    }
    auto* combo = new QComboBox(parent);
    combo->addItems(choices);
    return combo;
}

void CellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        // A value the list lacks (a typed nominal diameter) stays visible.
        const QString value = index.data(Qt::EditRole).toString();
        if (combo->findText(value) < 0) combo->insertItem(0, value);
        combo->setCurrentText(value);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void CellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                const QModelIndex& index) const {
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, combo->currentText());
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

}  // namespace gaspipe::table
