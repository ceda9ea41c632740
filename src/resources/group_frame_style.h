// The look of the windows' group frames. The forms place a frame's first row
// of controls 8 px or more below the frame's top, for a caption at the top
// left with the border through the middle of its characters; Qt's own styles
// draw the border below the caption, through that row.
#pragma once

#include <QProxyStyle>

namespace gaspipe {

// Group frames only: caption 8 px in from the left edge, border half an em
// below the top, an etched line broken behind the caption. A frame without
// caption has its border at the top. Everything else is the base style's.
class GroupFrameStyle : public QProxyStyle {
  public:
    GroupFrameStyle();

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};

// Gives every group frame inside `window` the style, which the window owns.
void ApplyGroupFrameStyle(QWidget* window);

}  // namespace gaspipe
