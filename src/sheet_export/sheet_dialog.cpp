#include "sheet_dialog.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace gaspipe {

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString NumberText(std::optional<double> value) {
    return value ? QLocale::system().toString(*value, 'g', 15) : QString();
}

// A positive number in the user's notation or with '.'; none for an empty
// box; false when the text is no such number.
bool ReadLimit(const QLineEdit* box, std::optional<double>& value) {
    value.reset();
    const QString text = box->text().trimmed();
    if (text.isEmpty()) return true;
    bool ok = false;
    double v = QLocale::system().toDouble(text, &ok);
    if (!ok) v = QLocale::c().toDouble(text, &ok);
    if (!ok || !(v > 0) || !qIsFinite(v)) return false;
    value = v;
    return true;
}

}  // namespace

SheetDialog::SheetDialog(QWidget* parent, const sheet::Project& project, const Limits& limits,
                         const Segments& segments)
    : QDialog(parent) {
    setObjectName(QStringLiteral("DlgSheet"));
    setWindowTitle(QStringLiteral("导出计算书"));
    auto* layout = new QVBoxLayout(this);
    form_ = new QFormLayout;
    layout->addLayout(form_);
    name_ = AddLine("EdtProjectName", QStringLiteral("工程名称："), Q(project.name));
    number_ = AddLine("EdtProjectNumber", QStringLiteral("工程编号："), Q(project.number));
    stage_ = new QComboBox(this);
    stage_->setObjectName(QStringLiteral("CboStage"));
    stage_->setEditable(true);
    stage_->addItems(
        {QStringLiteral("方案设计"), QStringLiteral("初步设计"), QStringLiteral("施工图设计")});
    stage_->setEditText(Q(project.stage));
    form_->addRow(QStringLiteral("设计阶段："), stage_);
    organization_ =
        AddLine("EdtOrganization", QStringLiteral("设计单位："), Q(project.organization));
    sheetNumber_ =
        AddLine("EdtSheetNumber", QStringLiteral("计算书编号："), Q(project.sheetNumber));
    revision_ = AddLine("EdtRevision", QStringLiteral("版　　次："), Q(project.revision));
    designer_ = AddLine("EdtDesigner", QStringLiteral("设计人："), Q(project.designer));
    date_ = AddLine(
        "EdtDate", QStringLiteral("日　　期："),
        project.date.empty() ? QDate::currentDate().toString(Qt::ISODate) : Q(project.date));
    if (limits.ask) {
        velocity_ = AddLine("EdtMaxVelocity", QStringLiteral("允许最大流速（m/s）："),
                            NumberText(limits.maxVelocity));
        drop_ = AddLine("EdtMaxDrop", QStringLiteral("允许压力降（%1）：").arg(limits.dropUnit),
                        NumberText(limits.maxDrop));
        velocity_->setPlaceholderText(QStringLiteral("不校核"));
        drop_->setPlaceholderText(QStringLiteral("不校核"));
    }
    if (!segments.choices.empty()) {
        segment_ = new QComboBox(this);
        segment_->setObjectName(QStringLiteral("CboSegment"));
        for (const auto& [id, index] : segments.choices) {
            segment_->addItem(id, QVariant::fromValue(static_cast<qulonglong>(index)));
            if (segments.chosen == index) segment_->setCurrentIndex(segment_->count() - 1);
        }
        form_->addRow(QStringLiteral("详细计算管段："), segment_);
    }
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("LblProblem"));
    problem_->setStyleSheet(QStringLiteral("color: #a01010"));
    problem_->hide();
    layout->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonBox"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SheetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SheetDialog::reject);
    layout->addWidget(buttons);
    name_->setMinimumWidth(320);
}

QLineEdit* SheetDialog::AddLine(const char* objectName, const QString& label, const QString& text) {
    auto* box = new QLineEdit(text, this);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setMaxLength(200);
    form_->addRow(label, box);
    return box;
}

sheet::Project SheetDialog::project() const {
    auto text = [](const QString& s) { return s.trimmed().toStdString(); };
    return {text(name_->text()),        text(number_->text()),   text(stage_->currentText()),
            text(date_->text()),        text(designer_->text()), text(organization_->text()),
            text(sheetNumber_->text()), text(revision_->text())};
}

std::optional<std::size_t> SheetDialog::segment() const {
    if (!segment_ || segment_->currentIndex() < 0) return std::nullopt;
    return static_cast<std::size_t>(segment_->currentData().toULongLong());
}

void SheetDialog::accept() {
    if (velocity_ && !ReadLimit(velocity_, maxVelocity_)) {
        problem_->setText(QStringLiteral("允许最大流速应为正数，或留空不校核。"));
        problem_->show();
        velocity_->setFocus();
        return;
    }
    if (drop_ && !ReadLimit(drop_, maxDrop_)) {
        problem_->setText(QStringLiteral("允许压力降应为正数，或留空不校核。"));
        problem_->show();
        drop_->setFocus();
        return;
    }
    QDialog::accept();
}

}  // namespace gaspipe
