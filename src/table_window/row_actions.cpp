// The table window's row commands and sizing: each works out its values
// (row_edits.h) and pushes one undo command.
#include <QStatusBar>
#include <QUndoStack>

#include "case_document.h"
#include "message_box.h"
#include "network.h"
#include "row_edits.h"
#include "segment_table_view.h"
#include "sizing_dialog.h"
#include "table_window.h"
#include "undo_commands.h"

namespace gaspipe::table {

void TableWindow::AddRow(bool afterCurrent) {
    const int current = view_->currentSourceRow();
    std::optional<std::size_t> after;
    if (afterCurrent && current >= 0) after = std::size_t(current);
    RowsChange change = PlanNewRow(*doc_, after);
    const int row = int(change.rows.front().first);
    doc_->undoStack()->push(new RowsCommand(doc_, std::move(change), RowsCommand::Kind::Insert,
                                            QStringLiteral("添加管段")));
    view_->setCurrentSourceRow(row);
}

void TableWindow::DuplicateRows() {
    RowsChange change = PlanDuplicate(*doc_, view_->selectedSourceRows());
    if (change.rows.empty()) return;
    const int last = int(change.rows.back().first);
    doc_->undoStack()->push(new RowsCommand(doc_, std::move(change), RowsCommand::Kind::Insert,
                                            QStringLiteral("复制管段")));
    view_->setCurrentSourceRow(last);
}

void TableWindow::DeleteRows() {
    RowsChange change = PlanRemove(*doc_, view_->selectedSourceRows());
    if (change.rows.empty()) return;
    const int first = int(change.rows.front().first);
    doc_->undoStack()->push(new RowsCommand(doc_, std::move(change), RowsCommand::Kind::Remove,
                                            QStringLiteral("删除管段")));
    view_->setCurrentSourceRow(std::min(first, int(doc_->data().segments.size()) - 1));
}

void TableWindow::MoveRow(int step) {
    const int from = view_->currentSourceRow();
    const int to = from + step;
    if (from < 0 || to < 0 || to >= int(doc_->data().segments.size())) return;
    doc_->undoStack()->push(
        new MoveRowCommand(doc_, std::size_t(from), std::size_t(to), QStringLiteral("移动管段")));
    view_->setCurrentSourceRow(to);
}

void TableWindow::SizeSegment() {
    const int row = view_->currentSourceRow();
    if (row < 0) return;
    const network::SegmentSizing sizing =
        doc_->network().SizeSegment(doc_->data(), std::size_t(row));
    const QString id = QString::fromStdString(doc_->data().segments[std::size_t(row)].id);
    if (sizing.trials.empty()) {
        ShowErrorBox(this,
                     QStringLiteral("无法为管段“%1”选择管径：\n%2")
                         .arg(id, QString::fromStdString(sizing.message)),
                     QStringLiteral("选择管径"));
        return;
    }
    SizingDialog dialog(id, sizing, network::IsLowPressure(doc_->data()), this);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().empty()) return;
    LineEdit edit = PlanNominal(*doc_, std::size_t(row), dialog.chosen());
    if (!edit.empty())
        doc_->undoStack()->push(
            new EditLineCommand(doc_, std::move(edit), QStringLiteral("选择管径")));
}

void TableWindow::SizeLine() {
    QStringList messages;
    LineEdit edit = PlanProposal(*doc_, messages);
    const int changed = int(edit.segments.size());
    if (!edit.empty())
        doc_->undoStack()->push(
            new EditLineCommand(doc_, std::move(edit), QStringLiteral("全线管径建议")));
    statusBar()->showMessage(
        changed ? QStringLiteral("全线管径建议：改了 %1 段的管径（可撤销）").arg(changed)
                : QStringLiteral("全线管径建议：没有要改的管径"),
        8000);
    if (!messages.isEmpty())
        AskBox(this, changed ? QMessageBox::Information : QMessageBox::Warning,
               QStringLiteral("全线管径建议按长度分配允许压降，逐段选取，供设计人修改。\n\n") +
                   messages.mid(0, 20).join(QLatin1Char('\n')),
               QStringLiteral("全线管径建议"), QMessageBox::Ok, QMessageBox::Ok);
}

}  // namespace gaspipe::table
