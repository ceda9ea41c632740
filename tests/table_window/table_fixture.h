// A fresh table window per test, on the shipped pipe file and a settings
// file of the test's own, with message boxes recorded and answered from a
// list instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <deque>

#include "case_document.h"
#include "message_box.h"
#include "number_text.h"
#include "segment_model.h"
#include "segment_table_view.h"
#include "table_window.h"

namespace gaspipe::table::test {

// Natural gas at low pressure by the appendix method: one pipe of 50 mm,
// 50 m and 50 m³/h from 3000 Pa is the main window's low-pressure worked
// example (drop 606.63 Pa, outlet 2393.37 Pa, velocities 7.264 / 7.286 m/s).
// The first segment starts shorter; a second one hangs below it.
inline network::Case WorkedExampleLine() {
    network::Case c = TableWindow::NewCase();
    c.method.method = network::Method::Appendix;
    c.source.node = "A";
    for (const auto& [id, from, to, length] :
         {std::tuple{"1", "A", "B", 25.0}, std::tuple{"2", "B", "C", 10.0}}) {
        network::Segment s;
        s.id = id;
        s.from = from;
        s.to = to;
        s.material = "钢管";
        s.nominal = "50";
        s.innerDiameter = 50;
        s.length = length;
        s.flow = 50;
        c.segments.push_back(s);
    }
    return c;
}

// Number texts are written with '.'; the table shows the user's separator.
inline QString Dec(const char* text) {
    return QString::fromUtf8(text).replace('.', QLocale().decimalPoint());
}

class TableTest : public ::testing::Test {
  protected:
    TableTest() {
        QFile::copy(QStringLiteral(GASPIPE_SHIPPED_PIPE_FILE), PipeFile());
        // The window reads the simultaneity file beside the pipe file.
        QFile::copy(QStringLiteral(GASPIPE_SHIPPED_SIMULTANEITY),
                    dir_.filePath(QStringLiteral("Simultaneity.ini")));
        previousError_ =
            SetErrorBoxHandler([this](QWidget*, const QString& prompt, const QString& title) {
                boxes_ << title + '|' + prompt;
            });
        previousAsk_ = SetAskBoxHandler([this](QWidget*, const QString& prompt,
                                               const QString& title, QMessageBox::StandardButtons) {
            boxes_ << title + '|' + prompt;
            if (answers_.empty()) return QMessageBox::Cancel;
            const auto answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }

    ~TableTest() override {
        answers_.assign(8, QMessageBox::Discard);
        for (QWidget* top : QApplication::topLevelWidgets()) top->close();
        delete window_.data();
        QTest::qWait(10);
        SetErrorBoxHandler(previousError_);
        SetAskBoxHandler(previousAsk_);
    }

    QString PipeFile() const { return dir_.filePath(QStringLiteral("PipeParameters.Ini")); }

    void Show() {
        window_ = new TableWindow({PipeFile(), dir_.filePath(QStringLiteral("settings.ini"))});
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    }
    void Show(network::Case c) {
        Show();
        window_->setCase(std::move(c));
        QTest::qWait(5);
    }

    SegmentModel* Model() const { return window_->segmentModel(); }
    SegmentTableView* View() const { return window_->tableView(); }
    QUndoStack* Stack() const { return window_->document()->undoStack(); }
    QString Cell(int row, int column, int role = Qt::DisplayRole) const {
        return Model()->index(row, column).data(role).toString();
    }
    double Number(int row, int column) const {
        return ParseNumber(Cell(row, column)).value_or(std::nan(""));
    }
    QColor Background(int row, int column) const {
        return Model()->index(row, column).data(Qt::BackgroundRole).value<QBrush>().color();
    }
    QAction* Action(const char* name) const {
        auto* action = window_->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(action, nullptr) << name;
        return action;
    }

    // Types into a cell (in the view's order) as a user does: F2, the text, Enter.
    void Type(int row, int column, const QString& text) const {
        View()->setFocus();
        View()->setCurrentIndex(View()->model()->index(row, column));
        QTest::keyClick(View(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr) << "no line editor for column " << column;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the delegate commits on the next turn
    }

    QTemporaryDir dir_;
    QPointer<TableWindow> window_;
    QStringList boxes_;  // "title|prompt" of each box
    std::deque<QMessageBox::StandardButton> answers_;
    ErrorBoxHandler previousError_;
    AskBoxHandler previousAsk_;
};

}  // namespace gaspipe::table::test
