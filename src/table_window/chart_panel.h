// The pressure-profile chart beside the table: the shared profile chart in a
// view, rebuilt from the profile the window hands it, with buttons to go
// back to the lowest-pressure node and to export the picture. Without a
// calculated point it says so instead of drawing empty axes.
#pragma once

#include <QWidget>

#include "profile.h"

class QLabel;
class QPushButton;
class QStackedLayout;
QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
QT_END_NAMESPACE

namespace gaspipe::table {

class ChartPanel : public QWidget {
    Q_OBJECT

  public:
    explicit ChartPanel(QWidget* parent = nullptr);

    void ShowProfile(network::Profile profile, bool lowPressure);
    const network::Profile& profile() const { return profile_; }
    bool lowPressure() const { return low_; }
    QChart* chart() const;

  signals:
    void lowestRequested();
    void exportRequested();

  private:
    QChartView* view_;
    QLabel* title_;
    QLabel* empty_;
    QStackedLayout* stack_;
    network::Profile profile_;
    bool low_ = true;
};

}  // namespace gaspipe::table
