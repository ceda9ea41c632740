// The calculation sketch beside the pressure profile: the line's tree drawn
// by the shared sketch routine in a scrolling view, wrapped to the view's
// width, rebuilt after every recalculation that changes what it shows. A
// line that cannot be solved says why instead.
#pragma once

#include <QFont>
#include <QWidget>

#include "sketch_layout.h"
#include "sketch_tree.h"

class QCheckBox;
class QLabel;
class QScrollArea;
class QStackedLayout;

namespace gaspipe::table {

class CaseDocument;

class SketchPanel : public QWidget {
    Q_OBJECT

  public:
    explicit SketchPanel(const CaseDocument* doc, QWidget* parent = nullptr);

    // The document changed: rebuilt once the event loop turns.
    void Invalidate();
    // Rebuilt now.
    void Refresh();

    const sketch::Tree& tree() const { return tree_; }
    const sketch::Layout& layout() const { return layout_; }
    bool pipesShown() const;
    void setPipesShown(bool shown);

  signals:
    void exportRequested();
    void pipesToggled(bool shown);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void LayOut();
    int AvailableWidth() const;

    const CaseDocument* doc_;
    QWidget* view_;
    QScrollArea* scroll_;
    QLabel* hint_;
    QStackedLayout* stack_;
    QCheckBox* pipes_;
    sketch::Tree tree_;
    sketch::Layout layout_;
    sketch::Metrics metrics_;  // kept: it remembers the label widths
    QFont font_;
    int laidWidth_ = -1;
    bool pending_ = false, resizing_ = false;
};

}  // namespace gaspipe::table
