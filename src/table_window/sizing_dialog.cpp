#include "sizing_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "messages.h"
#include "number_text.h"

namespace gaspipe::table {

namespace {

QString Outcome(const network::SizeTrial& t) {
    if (t.meets) return QStringLiteral("满足");
    switch (t.status) {
        case network::SegmentStatus::Ok:
            return QStringLiteral("超限");
        case network::SegmentStatus::PipeTooSmall:
            return QStringLiteral("管径太小");
        default:
            return QStringLiteral("不能计算");
    }
}

}  // namespace

SizingDialog::SizingDialog(const QString& segmentId, const network::SegmentSizing& sizing,
                           bool lowPressure, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("sizingDialog"));
    setWindowTitle(QStringLiteral("选择管径 - 管段 %1").arg(segmentId));
    const int decimals = lowPressure ? 1 : 5;
    table_->setColumnCount(5);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("公称直径"), QStringLiteral("内径 (mm)"), QStringLiteral("最大流速 (m/s)"),
         QStringLiteral("末端最大累计压降 (%1)").arg(PressureUnit(lowPressure)),
         QStringLiteral("校核")});
    table_->setRowCount(int(sizing.trials.size()));
    for (int r = 0; r < int(sizing.trials.size()); ++r) {
        const network::SizeTrial& t = sizing.trials[std::size_t(r)];
        nominals_.push_back(t.nominal);
        const bool ok = t.status == network::SegmentStatus::Ok;
        const QString cells[] = {QString::fromStdString(t.nominal), ShortestText(t.inner),
                                 ok ? FixedText(t.maxVelocity, 2) : QString(),
                                 ok ? FixedText(t.worstEndDrop, decimals) : QString(), Outcome(t)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(c == 0 || c == 4 ? Qt::AlignCenter
                                                    : Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    }
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (sizing.choice) table_->selectRow(int(*sizing.choice));

    auto* note = new QLabel(sizing.choice ? QStringLiteral("预选的是满足流速和压降限值的最小管径。")
                                          : QStringLiteral("没有满足限值的管径（%1）。")
                                                .arg(QString::fromStdString(sizing.message)),
                            this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("采用"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(table_);
    layout->addWidget(buttons);
    resize(560, 360);
}

std::string SizingDialog::chosen() const {
    const int row = table_->currentRow();
    const auto selected = table_->selectionModel()->selectedRows();
    if (selected.isEmpty() || row < 0 || row >= int(nominals_.size())) return {};
    return nominals_[std::size_t(row)];
}

}  // namespace gaspipe::table
