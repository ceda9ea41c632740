// A fresh main window per test, bound to a pipe file of the test's own, with
// message boxes recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

#include "frm_jbcs.h"
#include "message_box.h"
#include "results_panel.h"

namespace gaspipe::test {

struct RecordedBox {
    QString prompt;
    QString title;
};

// Steel, PE and cast iron with three nominal diameters each; the first steel
// entry has the inner diameter 100, so the start texts are the worked example.
extern const char* const kThreeMaterials;

// Writes `utf8Text` as PipeParameters.Ini in code page 936 into `dir`.
void WritePipeFile(const QString& dir, const QString& utf8Text);

// A number text with the system's decimal separator in place of '.'.
QString Dec(const char* text);

class FrmJbcsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens and shows the window; pipeFile null means no file at all.
    void Open(const char* pipeFile = kThreeMaterials);

    QLineEdit* Box(const char* name) const;
    QAbstractButton* Button(const char* name) const;
    QLabel* Label(const char* name) const;
    QComboBox* Combo() const;
    ResultsPanel* Panel() const;
    QWidget* Frame1() const;
    QStringList ComboEntries() const;

    void Press() const;  // the calculate button, by mouse
    void SetBox(const char* name, const QString& text) const { Box(name)->setText(text); }
    // Lets deferred work (select-on-focus) run.
    static void Settle();

    QTemporaryDir dir_;
    QPointer<FrmJbcs> window_;
    std::vector<RecordedBox> boxes_;
    ErrorBoxHandler previousHandler_;
};

}  // namespace gaspipe::test
