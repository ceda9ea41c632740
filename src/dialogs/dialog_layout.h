// Helpers shared by the two fixed dialogs: the design data is in twips and
// every control sits at an absolute position, as on the original forms.
#pragma once

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace gaspipe::dialog_layout {

// 15 twips are one pixel at 96 dpi.
constexpr int Px(int twips) { return twips / 15; }

// The fonts the forms name are Windows fonts; resources.cpp maps them.
QFont DesignFont(const QString& family, qreal point_size, bool bold = false);

// Fixed dialog frame: title bar with close box, no minimise, maximise or help
// button, client area of the given size that cannot be resized.
void SetUpFixedDialog(QDialog* dialog, const QString& title, int width_twips, int height_twips);

// A label placed like a form label: text at the top left of its rectangle, no
// focus, transparent background.
QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                   int width, int height);

// Gives each one-line label at least the line height of its font, keeping its
// top: the sizes were made for the Windows fonts, and a substitute face with a
// taller line would cut the text off at the bottom. Labels are transparent, so
// growing one downwards changes nothing else. Call after the fonts are set.
void FitLabelsToTheirFonts(QWidget* dialog);

// The dialog's one command: default and cancel button, only focusable control.
QPushButton* PlaceOkButton(QDialog* dialog, int left, int top, int width, int height);

}  // namespace gaspipe::dialog_layout
