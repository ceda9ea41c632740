#include "chart_panel.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "profile_chart.h"

namespace gaspipe::table {

ChartPanel::ChartPanel(QWidget* parent)
    : QWidget(parent),
      view_(new QChartView(this)),
      title_(new QLabel(QStringLiteral("压力曲线"), this)),
      empty_(new QLabel(QStringLiteral("没有计算出的压力，无法绘制压力曲线。"), this)),
      stack_(new QStackedLayout) {
    empty_->setObjectName(QStringLiteral("noProfileLabel"));
    empty_->setAlignment(Qt::AlignCenter);
    view_->setObjectName(QStringLiteral("profileChartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    auto* lowest = new QPushButton(QStringLiteral("最低压力节点"), this);
    lowest->setObjectName(QStringLiteral("lowestButton"));
    lowest->setToolTip(
        QStringLiteral("显示到压力最低节点的压力曲线；在表中选择一行则显示到该行终点"));
    auto* exportButton = new QPushButton(QStringLiteral("导出图片…"), this);
    exportButton->setObjectName(QStringLiteral("exportChartButton"));
    connect(lowest, &QPushButton::clicked, this, &ChartPanel::lowestRequested);
    connect(exportButton, &QPushButton::clicked, this, &ChartPanel::exportRequested);

    // The chart has no title of its own: the path is named here.
    title_->setObjectName(QStringLiteral("profileTitle"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(title_);
    buttons->addSpacing(8);
    buttons->addWidget(lowest);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    stack_->addWidget(view_);
    stack_->addWidget(empty_);
    layout->addLayout(stack_, 1);
    ShowProfile({}, true);
}

QChart* ChartPanel::chart() const { return view_->chart(); }

namespace {

bool Same(const network::Profile& a, const network::Profile& b) {
    if (a.complete != b.complete || a.lowestAllowed != b.lowestAllowed ||
        a.points.size() != b.points.size())
        return false;
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        const auto &p = a.points[i], &q = b.points[i];
        if (p.node != q.node || p.distance != q.distance || p.pressure != q.pressure) return false;
    }
    return true;
}

}  // namespace

void ChartPanel::ShowProfile(network::Profile profile, bool lowPressure) {
    // An edit off the path leaves the picture as it is: no rebuild.
    if (chart() && lowPressure == low_ && Same(profile, profile_)) return;
    profile_ = std::move(profile);
    low_ = lowPressure;
    QChart* old = view_->chart();
    QChart* chart = BuildProfileChart(profile_, low_);
    // The dock is wide and low: the legend beside the plot leaves the
    // pressure axis the height its title needs.
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 2, 4, 2));
    view_->setChart(chart);
    delete old;  // the view lets go of its previous chart
    title_->setText(profile_.points.size() > 1
                        ? QStringLiteral("压力曲线：%1 → %2")
                              .arg(QString::fromStdString(profile_.points.front().node),
                                   QString::fromStdString(profile_.points.back().node))
                        : QStringLiteral("压力曲线"));
    // The source alone is no curve.
    stack_->setCurrentWidget(profile_.points.size() > 1 ? static_cast<QWidget*>(view_) : empty_);
}

}  // namespace gaspipe::table
