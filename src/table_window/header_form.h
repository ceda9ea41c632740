// The case header above the table: project, gas, class and method, source,
// limits. The form (header_form.ui) holds the fields; this class reads a
// finished field into a new header and pushes it as one undo command, and
// shows the document's header again whenever it changes.
#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class HeaderForm;
}

namespace gaspipe::table {

class CaseDocument;
struct CaseHeader;

class HeaderForm : public QWidget {
    Q_OBJECT

  public:
    explicit HeaderForm(CaseDocument* doc, QWidget* parent = nullptr);
    ~HeaderForm() override;

    // The last field in tab order, after which the table follows.
    QWidget* lastField() const;

    // Takes in the value of the field being typed in, as leaving it would
    // (before a save, an export or closing). false when the value was
    // refused, with the reason given through refused().
    bool CommitPending();

  signals:
    // Why a value was refused, for the status bar.
    void refused(const QString& message);

  private:
    enum Field : int;
    void Wire();
    void Refresh();
    bool Commit(Field field);
    // Reads a field into h; false, with the reason in error, leaves h unusable.
    bool Read(Field field, CaseHeader& h, QString& error) const;

    std::unique_ptr<Ui::HeaderForm> ui;
    CaseDocument* doc_;
};

}  // namespace gaspipe::table
