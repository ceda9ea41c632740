// The small dialog before a sheet is written: the project fields, for one
// segment the limits to check against, for a line the segment to work in
// detail. Internal to the export.
#pragma once

#include <QDialog>
#include <QString>

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "segment_sheet.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace gaspipe {

class SheetDialog : public QDialog {
    Q_OBJECT

  public:
    struct Limits {
        bool ask = false;
        QString dropUnit;  // "10⁵ Pa" or "Pa"
        std::optional<double> maxVelocity, maxDrop;
    };
    struct Segments {
        std::vector<std::pair<QString, std::size_t>> choices;  // id, index
        std::optional<std::size_t> chosen;
    };

    SheetDialog(QWidget* parent, const sheet::Project& project, const Limits& limits,
                const Segments& segments);

    sheet::Project project() const;
    std::optional<double> maxVelocity() const { return maxVelocity_; }
    std::optional<double> maxDrop() const { return maxDrop_; }
    std::optional<std::size_t> segment() const;

    void accept() override;

  private:
    QLineEdit* AddLine(const char* objectName, const QString& label, const QString& text);

    QLineEdit *name_, *number_, *designer_, *date_, *organization_, *sheetNumber_, *revision_;
    QComboBox* stage_;
    QLineEdit *velocity_ = nullptr, *drop_ = nullptr;
    QComboBox* segment_ = nullptr;
    QLabel* problem_;
    QFormLayout* form_;
    std::optional<double> maxVelocity_, maxDrop_;
};

}  // namespace gaspipe
