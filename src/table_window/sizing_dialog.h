// "选择管径": every nominal diameter tried for one segment, with its maximum
// velocity and the worst cumulative drop at the ends below it, the
// network's choice preselected; the designer picks one.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "network.h"

class QTableWidget;

namespace gaspipe::table {

class SizingDialog : public QDialog {
    Q_OBJECT

  public:
    SizingDialog(const QString& segmentId, const network::SegmentSizing& sizing, bool lowPressure,
                 QWidget* parent = nullptr);

    // The nominal diameter picked; "" when none.
    std::string chosen() const;

  private:
    std::vector<std::string> nominals_;
    QTableWidget* table_;
};

}  // namespace gaspipe::table
