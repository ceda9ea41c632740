#include "delegates.h"

#include <QComboBox>
#include <QLineEdit>

#include "segment_columns.h"
#include "segment_model.h"
#include "text_limits.h"

namespace gaspipe::table {

namespace {

// Decimals an input column is shown with; -1 for columns of words.
int InputDecimals(int column) {
    switch (column) {
        case kToHouseholds:
            return 0;
        case kInner:
        case kZeta:
            return 1;
        case kLength:
        case kLoad:
        case kToRatedFlow:
        case kElevation:
        case kLocalLoss:
        case kRoughness:
            return 2;
        case kFlow:
        case kSimultaneity:
            return 3;
        default:
            return -1;
    }
}

}  // namespace

QString PaddedDecimals(const QString& text, int decimals, const QLocale& locale) {
    if (text.isEmpty() || decimals < 0) return text;
    const QString digits = QStringLiteral("0123456789");
    const QString point = locale.decimalPoint();
    const QString minus = locale.negativeSign();
    const qsizetype at = text.indexOf(point);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString c = text.mid(i, 1);
        if (!digits.contains(c) && !(i == at) && !(i == 0 && c == minus)) return text;
    }
    const qsizetype present = at < 0 ? 0 : text.size() - at - point.size();
    if (present >= decimals) return text;
    QString padded = text;
    if (at < 0) padded += point;
    return padded + QString(decimals - present, QLatin1Char('0'));
}

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

void CellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // The model's numbers are in the application's locale (number_text.h).
    option->text = PaddedDecimals(option->text, InputDecimals(index.column()), QLocale());
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
