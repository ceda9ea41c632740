#include "delegates.h"

#include <QComboBox>
#include <QLineEdit>

#include "segment_columns.h"
#include "segment_model.h"
#include "text_limits.h"

namespace gaspipe::table {

QWidget* CellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const QStringList choices = index.data(SegmentModel::ChoicesRole).toStringList();
    if (choices.isEmpty()) {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line) return editor;
        line->setPlaceholderText(index.data(Qt::DisplayRole).toString());
        if (index.column() == kId || index.column() == kFrom || index.column() == kTo) {
            auto* limit = new Utf8LimitValidator(kIdBytes, line);
            connect(limit, &Utf8LimitValidator::cut, this, [this, index](const QString& message) {
                emit textCut(ColumnTitle(index.column(), true).replace('\n', QString()) +
                             QStringLiteral("：") + message);
            });
            line->setValidator(limit);
        }
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
