#include "segment_table_view.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>

#include <algorithm>
#include <climits>
#include <set>

#include "delegates.h"
#include "message_box.h"
#include "segment_model.h"

namespace gaspipe::table {

SegmentTableView::SegmentTableView(SegmentModel* model, SegmentSortModel* proxy, QWidget* parent)
    : QTableView(parent), model_(model), proxy_(proxy) {
    proxy_->setSourceModel(model_);
    setModel(proxy_);
    auto* delegate = new CellDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &CellDelegate::textCut, this, &SegmentTableView::message);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Unsorted until a heading is clicked: the case's own order.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setWordWrap(false);
    connect(model_, &SegmentModel::editRefused, this, [this] { refused_ = true; });
}

int SegmentTableView::currentSourceRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? proxy_->mapToSource(current).row() : -1;
}

std::vector<std::size_t> SegmentTableView::selectedSourceRows() const {
    std::set<std::size_t> rows;
    for (const QModelIndex& index : SelectedOrCurrent())
        rows.insert(std::size_t(proxy_->mapToSource(index).row()));
    return {rows.begin(), rows.end()};
}

void SegmentTableView::setCurrentSourceRow(int row) {
    const QModelIndex source = model_->index(row, std::max(0, currentIndex().column()));
    const QModelIndex index = proxy_->mapFromSource(source);
    if (!index.isValid()) return;
    setCurrentIndex(index);
    scrollTo(index);
}

QModelIndexList SegmentTableView::SelectedOrCurrent() const {
    QModelIndexList cells =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (cells.isEmpty() && currentIndex().isValid()) cells << currentIndex();
    return cells;
}

QList<int> SegmentTableView::VisibleColumns() const {
    QList<int> columns;
    for (int v = 0; v < horizontalHeader()->count(); ++v) {
        const int logical = horizontalHeader()->logicalIndex(v);
        if (!isColumnHidden(logical)) columns << logical;
    }
    return columns;
}

CellBlock SegmentTableView::SelectedBlock() const {
    const QModelIndexList cells = SelectedOrCurrent();
    if (cells.isEmpty()) return {};
    std::set<int> rows;
    std::set<int> selectedColumns;
    for (const QModelIndex& index : cells) {
        rows.insert(index.row());
        selectedColumns.insert(index.column());
    }
    QList<int> columns;
    for (int c : VisibleColumns())
        if (selectedColumns.count(c)) columns << c;
    const QItemSelectionModel* selection = selectionModel();
    CellBlock block;
    for (int row : rows) {
        QStringList line;
        for (int column : columns) {
            const QModelIndex index = proxy_->index(row, column);
            // A ragged selection copies blanks where nothing was selected.
            line << (selection->isSelected(index) || index == currentIndex()
                         ? index.data(Qt::DisplayRole).toString()
                         : QString());
        }
        block << line;
    }
    return block;
}

void SegmentTableView::copy() {
    const CellBlock block = SelectedBlock();
    if (block.isEmpty()) return;
    auto* mime = new QMimeData;
    mime->setText(ToTabSeparated(block));
    mime->setHtml(ToHtmlTable(block));
    QApplication::clipboard()->setMimeData(mime);
}

void SegmentTableView::cut() {
    copy();
    clearContents();
}

void SegmentTableView::paste() {
    const CellBlock block = ParseClipboardTable(QApplication::clipboard()->text());
    if (!block.isEmpty()) PasteBlock(block);
}

void SegmentTableView::PasteBlock(const CellBlock& block) {
    std::vector<CellText> cells;
    const QModelIndexList selected = SelectedOrCurrent();
    if (selected.isEmpty()) return;
    const bool single = block.size() == 1 && block.front().size() == 1;
    if (single) {
        for (const QModelIndex& index : selected) {
            if (!(index.flags() & Qt::ItemIsEditable)) continue;
            cells.push_back({std::size_t(proxy_->mapToSource(index).row()), index.column(),
                             block.front().front()});
        }
    } else {
        // From the top-left selected cell, in the columns as shown.
        int top = proxy_->rowCount();
        int left = INT_MAX;
        const QList<int> columns = VisibleColumns();
        for (const QModelIndex& index : selected) {
            top = std::min(top, index.row());
            left = std::min(left, int(columns.indexOf(index.column())));
        }
        qsizetype width = 0;
        for (const QStringList& line : block) width = std::max(width, line.size());
        const bool fits =
            top + block.size() <= proxy_->rowCount() && left + width <= columns.size();
        if (!fits && AskBox(this, QMessageBox::Question,
                            QStringLiteral(
                                "要粘贴的区域（%1 行 × %2 列）超出了表格。\n只粘贴表格内的部分吗？")
                                .arg(block.size())
                                .arg(width),
                            QStringLiteral("粘贴"), QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::Yes) != QMessageBox::Yes)
            return;
        for (qsizetype r = 0; r < block.size() && top + r < proxy_->rowCount(); ++r) {
            const QModelIndex rowIndex = proxy_->index(int(top + r), 0);
            const auto sourceRow = std::size_t(proxy_->mapToSource(rowIndex).row());
            for (qsizetype c = 0; c < block[r].size() && left + c < columns.size(); ++c)
                cells.push_back({sourceRow, columns[int(left + c)], block[r][c]});
        }
    }
    Report(model_->SetCellTexts(std::move(cells), QStringLiteral("粘贴")));
}

void SegmentTableView::clearContents() {
    std::vector<CellText> cells;
    for (const QModelIndex& index : SelectedOrCurrent())
        if (index.flags() & Qt::ItemIsEditable)
            cells.push_back({std::size_t(proxy_->mapToSource(index).row()), index.column(), {}});
    Report(model_->SetCellTexts(std::move(cells), QStringLiteral("清除内容")));
}

void SegmentTableView::Report(const QStringList& refused) {
    if (refused.isEmpty()) return;
    emit message(QStringLiteral("%1 个单元格未改变：%2%3")
                     .arg(refused.size())
                     .arg(refused.front())
                     .arg(refused.size() > 1 ? QStringLiteral(" 等") : QString()));
}

void SegmentTableView::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            const QModelIndex next = moveCursor(MoveDown, event->modifiers());
            if (next.isValid()) setCurrentIndex(next);
            return;
        }
        if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
            clearContents();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void SegmentTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    emit cursorMoved(!focusing_);
}

void SegmentTableView::focusInEvent(QFocusEvent* event) {
    focusing_ = true;
    QTableView::focusInEvent(event);
    focusing_ = false;
}

bool SegmentTableView::CommitEdit() {
    if (state() != EditingState) return true;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return true;
    refused_ = false;
    commitData(editor);
    if (refused_) {
        refused_ = false;
        return false;
    }
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void SegmentTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Enter commits and goes down, as in a spreadsheet; a refused value
    // keeps the cell, with the reason in the status bar.
    const bool down = hint == QAbstractItemDelegate::SubmitModelCache && !refused_;
    refused_ = false;
    QTableView::closeEditor(editor, down ? QAbstractItemDelegate::NoHint : hint);
    if (down) {
        const QModelIndex next = moveCursor(MoveDown, Qt::NoModifier);
        if (next.isValid()) setCurrentIndex(next);
    }
}

}  // namespace gaspipe::table
