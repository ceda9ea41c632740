#include "dialog_layout.h"

#include <algorithm>

namespace gaspipe::dialog_layout {

QFont DesignFont(const QString& family, qreal point_size, bool bold) {
    QFont font(family);
    font.setPointSizeF(point_size);
    font.setBold(bold);
    return font;
}

void SetUpFixedDialog(QDialog* dialog, const QString& title, int width_twips, int height_twips) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setWindowTitle(title);
    dialog->setFixedSize(Px(width_twips), Px(height_twips));
    // The forms' default font: the dialog's plain texts and the button use it.
    dialog->setFont(DesignFont(QStringLiteral("宋体"), 9));
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                   int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(Px(left), Px(top), Px(width), Px(height));
    return label;
}

void FitLabelsToTheirFonts(QWidget* dialog) {
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (!label->wordWrap())
            label->resize(label->width(), std::max(label->height(), label->fontMetrics().height()));
}

QPushButton* PlaceOkButton(QDialog* dialog, int left, int top, int width, int height) {
    auto* ok = new QPushButton(QStringLiteral("确定"), dialog);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(Px(left), Px(top), Px(width), Px(height));
    // Enter presses the default button and Esc rejects the dialog; both close it,
    // and with WA_DeleteOnClose closing discards it.
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::close);
    ok->setFocus();
    return ok;
}

}  // namespace gaspipe::dialog_layout
