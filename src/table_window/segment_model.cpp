#include "segment_model.h"

#include <QBrush>
#include <QCollator>
#include <QColor>
#include <QFont>

#include "case_document.h"
#include "messages.h"
#include "segment_columns.h"
#include "undo_commands.h"

namespace gaspipe::table {

namespace {

// Colours shared with the XLSX export through the model's roles.
const QColor kFailed(0xF4, 0xC2, 0xC2);
const QColor kResult(0xF2, 0xF6, 0xFB);
const QColor kNotUsed(0xEC, 0xEC, 0xEC);
const QColor kNotCalculatedText(0x90, 0x90, 0x90);
const QColor kDerivedText(0x5A, 0x6E, 0x8C);

bool Failed(network::SegmentStatus s) {
    return s != network::SegmentStatus::Ok && s != network::SegmentStatus::NotCalculated;
}

}  // namespace

SegmentModel::SegmentModel(CaseDocument* doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {
    connect(doc_, &CaseDocument::rowsChanged, this, [this](int first, int last) {
        emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
    });
    connect(doc_, &CaseDocument::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(doc_, &CaseDocument::rowsInserted, this, [this] { endInsertRows(); });
    connect(doc_, &CaseDocument::rowsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveRows({}, first, last); });
    connect(doc_, &CaseDocument::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(doc_, &CaseDocument::rowAboutToMove, this, [this](int from, int to) {
        // Qt names the place before which the row lands.
        beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    });
    connect(doc_, &CaseDocument::rowMoved, this, [this] { endMoveRows(); });
    connect(doc_, &CaseDocument::aboutToReset, this, [this] { beginResetModel(); });
    connect(doc_, &CaseDocument::reset, this, [this] { endResetModel(); });
    connect(doc_, &CaseDocument::headerChanged, this,
            [this] { emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1); });
}

int SegmentModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(doc_->data().segments.size());
}

int SegmentModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant SegmentModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const auto row = std::size_t(index.row());
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return CellShown(*doc_, row, column).text;
        case Qt::EditRole:
            return CellEditText(*doc_, row, column);
        case SortRole:
            return CellSortValue(*doc_, row, column);
        case DerivedRole:
            return CellShown(*doc_, row, column).derived;
        case Qt::TextAlignmentRole:
            return IsNumberColumn(column) ? int(Qt::AlignRight | Qt::AlignVCenter)
                                          : int(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            return Background(index.row(), column);
        case Qt::ForegroundRole: {
            const auto& results = doc_->network().results();
            if (row < results.size() &&
                results[row].status == network::SegmentStatus::NotCalculated)
                return QBrush(kNotCalculatedText);
            if (CellShown(*doc_, row, column).derived) return QBrush(kDerivedText);
            return {};
        }
        case Qt::FontRole:
            if (CellShown(*doc_, row, column).derived) {
                QFont font;
                font.setItalic(true);
                return font;
            }
            return {};
        case Qt::ToolTipRole: {
            const QString tip = ToolTip(index.row(), column);
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        case ChoicesRole: {
            QStringList choices;
            if (column == kMaterial) {
                choices << QStringLiteral("钢管") << QStringLiteral("PE管")
                        << QStringLiteral("铸铁管");
            } else if (column == kPart) {
                choices << QString() << QStringLiteral("街区") << QStringLiteral("庭院")
                        << QStringLiteral("室内");
            } else if (column == kToAppliances) {
                choices << QString();
                for (std::size_t set = 0; set < doc_->factors().SetCount(); ++set)
                    choices << QString::fromStdString(doc_->factors().SetName(set));
            } else if (column == kNominal && row < doc_->data().segments.size()) {
                for (const auto& size : doc_->catalog().Sizes(doc_->data().segments[row].material))
                    choices << QString::fromStdString(size.nominal);
            }
            return choices.isEmpty() ? QVariant() : QVariant(choices);
        }
        default:
            return {};
    }
}

QVariant SegmentModel::Background(int row, int column) const {
    const network::Case& c = doc_->data();
    if (!ColumnApplies(c, column)) return QBrush(kNotUsed);
    const auto r = std::size_t(row);
    if (!doc_->RowProblem(r).isEmpty() && (column == kId || column == kFrom || column == kTo))
        return QBrush(kFailed);
    const auto& results = doc_->network().results();
    if (r < results.size()) {
        const network::SegmentResult& result = results[r];
        const bool failed =
            (Failed(result.status) && (column == kId || IsResultColumn(column))) ||
            (result.velocityOverLimit && column == kMaxVelocity) ||
            (result.dropOverLimit && (column == kCumulativeDrop || column == kOutlet)) ||
            (result.partDropOverLimit && column == kPartDrop);
        if (failed) return QBrush(kFailed);
    }
    if (IsResultColumn(column)) return QBrush(kResult);
    return {};
}

QString SegmentModel::ToolTip(int row, int column) const {
    const auto r = std::size_t(row);
    const network::Case& c = doc_->data();
    QString tip = RowMessage(*doc_, r);
    if (!ColumnApplies(c, column)) {
        const QString why = column == kAdditionalHead
                                ? QStringLiteral("附加压头只计入低压管道")
                                : QStringLiteral("附录公式不用此项（其局部阻力按沿程的 10% 计入）");
        return tip.isEmpty() ? why : why + QLatin1Char('\n') + tip;
    }
    const Shown shown = CellShown(*doc_, r, column);
    if (shown.derived) {
        QString hint;
        if (column == kInner) hint = QStringLiteral("取自管道参数文件");
        if (column == kFlow) {
            // The arithmetic a reviewer checks: k × N × Qn = Q.
            const std::string sum = network::FlowArithmetic(doc_->network().Flow(c, r));
            hint = sum.empty() ? QStringLiteral("由下游节点负荷计算")
                               : QStringLiteral("由下游户数与负荷计算：") +
                                     QString::fromStdString(sum) + QStringLiteral(" m³/h");
        }
        if (column == kPart) hint = QStringLiteral("随上游管段");
        if (column == kToRatedFlow) hint = QStringLiteral("同时工作系数文件中该燃具的默认值");
        if (column == kLocalLoss) hint = QStringLiteral("计算方法的默认值");
        tip = tip.isEmpty() ? hint : hint + QLatin1Char('\n') + tip;
    }
    return tip;
}

QVariant SegmentModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    return ColumnTitle(section, network::CaseScale(doc_->data()));
}

Qt::ItemFlags SegmentModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!IsResultColumn(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool SegmentModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    PlannedEdit planned =
        PlanCellEdits(*doc_, {{std::size_t(index.row()), index.column(), value.toString()}});
    if (!planned.rejected.isEmpty()) {
        emit editRefused(planned.rejected.join(QLatin1Char('\n')));
        return false;
    }
    if (planned.edit.empty()) return true;
    const QString title =
        ColumnTitle(index.column(), true).replace(QLatin1Char('\n'), QLatin1Char(' '));
    doc_->undoStack()->push(new EditLineCommand(doc_, std::move(planned.edit),
                                                QStringLiteral("编辑%1").arg(title), index.row(),
                                                index.column()));
    return true;
}

QStringList SegmentModel::SetCellTexts(std::vector<CellText> cells, const QString& commandText) {
    PlannedEdit planned = PlanCellEdits(*doc_, std::move(cells));
    if (!planned.edit.empty())
        doc_->undoStack()->push(new EditLineCommand(doc_, std::move(planned.edit), commandText));
    return planned.rejected;
}

SegmentSortModel::SegmentSortModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(SegmentModel::SortRole);
    // Sorted when asked, not again after every edit: rows stay where the
    // designer is looking.
    setDynamicSortFilter(false);
}

bool SegmentSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(sortRole()), b = right.data(sortRole());
    // Empty cells last, whatever the order (descending compares the other way round).
    if (!a.isValid() || !b.isValid()) {
        if (a.isValid() == b.isValid()) return false;
        return sortOrder() == Qt::AscendingOrder ? a.isValid() : !a.isValid();
    }
    if (a.userType() == QMetaType::Double && b.userType() == QMetaType::Double)
        return a.toDouble() < b.toDouble();
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setNumericMode(true);
        return c;
    }();
    return collator.compare(a.toString(), b.toString()) < 0;
}

}  // namespace gaspipe::table
