#include "group_frame_style.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QPainter>
#include <QRegion>
#include <QStyleOptionGroupBox>

namespace gaspipe {

namespace {

constexpr int kCaptionIndent = 8;
constexpr int kCaptionGap = 2;  // blank border either side of the caption

}  // namespace

GroupFrameStyle::GroupFrameStyle() : QProxyStyle(QApplication::style()->name()) {}

QRect GroupFrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl part, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || frame == nullptr)
        return QProxyStyle::subControlRect(control, option, part, widget);
    const QRect& all = frame->rect;
    const bool captioned = !frame->text.isEmpty();
    switch (part) {
        case SC_GroupBoxLabel: {
            if (!captioned) return {};
            const QFontMetrics& metrics = frame->fontMetrics;
            return {all.left() + kCaptionIndent, all.top(),
                    metrics.horizontalAdvance(frame->text) + 1, metrics.height()};
        }
        case SC_GroupBoxFrame: {
            // Half an em, not half a line: the substituted Chinese faces have
            // taller lines than the one the form was laid out for.
            const QFont font = widget ? widget->font() : QApplication::font();
            const int top = captioned ? QFontInfo(font).pixelSize() / 2 : 0;
            return all.adjusted(0, top, 0, 0);
        }
        case SC_GroupBoxContents:
            return subControlRect(control, option, SC_GroupBoxFrame, widget).adjusted(2, 2, -2, -2);
        default:
            return {};
    }
}

void GroupFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                         QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || frame == nullptr) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect border = subControlRect(control, option, SC_GroupBoxFrame, widget);
    const QRect caption = subControlRect(control, option, SC_GroupBoxLabel, widget);
    painter->save();
    painter->setClipRegion(QRegion(frame->rect) -
                           QRegion(caption.adjusted(-kCaptionGap, 0, kCaptionGap, 0)));
    qDrawShadeRect(painter, border, frame->palette, /*sunken=*/true, 1, 0);
    painter->restore();
    if (!caption.isEmpty())
        drawItemText(painter, caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic,
                     frame->palette, frame->state & State_Enabled, frame->text,
                     QPalette::WindowText);
}

void ApplyGroupFrameStyle(QWidget* window) {
    auto* style = new GroupFrameStyle();
    style->setParent(window);
    for (QGroupBox* frame : window->findChildren<QGroupBox*>()) frame->setStyle(style);
}

}  // namespace gaspipe
