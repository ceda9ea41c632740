#include "header_form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>

#include <algorithm>
#include <iterator>
#include <optional>

#include "calc_pipe_segment.h"
#include "case_document.h"
#include "gas_defaults.h"
#include "messages.h"
#include "number_text.h"
#include "text_limits.h"
#include "ui_header_form.h"
#include "undo_commands.h"

namespace gaspipe::table {

enum HeaderForm::Field : int {
    kName,
    kNumber,
    kStage,
    kDesigner,
    kDate,
    kOrganization,
    kSheetNumber,
    kRevision,
    kGasKind,
    kDensity,
    kViscosity,
    kTemperature,
    kClass,
    kMethod,
    kLocalLoss,
    kZ,
    kSourceNode,
    kSourcePressure,
    kSourceElevation,
    kMaxVelocity,
    kMaxDrop,
    kAppliance,
    kAllowedDrop,
    kPressureUnit,
    kShareStreet,
    kShareCourtyard,
    kShareIndoor,
};

namespace {

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }
QString Optional(const std::optional<double>& v) { return v ? ShortestText(*v) : QString(); }

// Names for messages, in the order of Field.
const char* const kFieldNames[] = {
    "工程名称",     "工程编号",     "设计阶段",    "设计人",       "日期",     "设计单位",
    "计算书编号",   "版次",         "燃气种类",    "密度",         "运动粘度", "温度",
    "压力级制",     "计算方法",     "局部阻力",    "压缩因子 Z",   "气源节点", "气源压力",
    "气源标高",     "最大流速",     "允许压降",    "燃具额定压力", "允许压降", "压力显示",
    "街区允许压降", "庭院允许压降", "室内允许压降"};

// The display choices in the order of the pressureUnit box.
constexpr network::PressureUnit kUnits[] = {network::PressureUnit::MPaGauge,
                                            network::PressureUnit::KPaGauge,
                                            network::PressureUnit::BarAbsolute};

// The main window's starting inlet pressure for each class.
double DefaultSourcePressure(bool low) { return low ? 3000 : 5; }

}  // namespace

HeaderForm::HeaderForm(CaseDocument* doc, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::HeaderForm>()), doc_(doc) {
    ui->setupUi(this);
    Wire();
    connect(doc_, &CaseDocument::headerChanged, this, &HeaderForm::Refresh);
    Refresh();
}

HeaderForm::~HeaderForm() = default;

QWidget* HeaderForm::lastField() const { return ui->shareIndoor; }

void HeaderForm::Wire() {
    const std::pair<QLineEdit*, Field> lines[] = {
        {ui->projectName, kName},
        {ui->projectNumber, kNumber},
        {ui->projectStage, kStage},
        {ui->projectDesigner, kDesigner},
        {ui->projectDate, kDate},
        {ui->projectOrganization, kOrganization},
        {ui->projectSheetNumber, kSheetNumber},
        {ui->projectRevision, kRevision},
        {ui->gasDensity, kDensity},
        {ui->gasViscosity, kViscosity},
        {ui->gasTemperature, kTemperature},
        {ui->localLoss, kLocalLoss},
        {ui->compressibility, kZ},
        {ui->sourceNode, kSourceNode},
        {ui->sourcePressure, kSourcePressure},
        {ui->sourceElevation, kSourceElevation},
        {ui->maxVelocity, kMaxVelocity},
        {ui->maxDrop, kMaxDrop},
        {ui->appliancePressure, kAppliance},
        {ui->shareStreet, kShareStreet},
        {ui->shareCourtyard, kShareCourtyard},
        {ui->shareIndoor, kShareIndoor},
    };
    for (const auto& [line, field] : lines) {
        const Field f = field;
        connect(line, &QLineEdit::editingFinished, this, [this, f] { Commit(f); });
        line->setProperty("headerField", int(f));
        // The case file's limits, in bytes as it stores them.
        if (f <= kDate || f == kSourceNode) {
            auto* limit = new Utf8LimitValidator(f == kSourceNode ? kIdBytes : kTextBytes, line);
            connect(limit, &Utf8LimitValidator::cut, this, [this, f](const QString& message) {
                emit refused(QString::fromUtf8(kFieldNames[f]) + QStringLiteral("：") + message);
            });
            line->setValidator(limit);
        }
    }
    connect(ui->gasKind, &QComboBox::activated, this, [this] { Commit(kGasKind); });
    connect(ui->pressureClass, &QComboBox::activated, this, [this] { Commit(kClass); });
    connect(ui->method, &QComboBox::activated, this, [this] { Commit(kMethod); });
    connect(ui->pressureUnit, &QComboBox::activated, this, [this] { Commit(kPressureUnit); });
    connect(ui->applyAllowedDrop, &QPushButton::clicked, this, [this] { Commit(kAllowedDrop); });
}

bool HeaderForm::CommitPending() {
    auto* line = qobject_cast<QLineEdit*>(focusWidget());
    if (!line || !isAncestorOf(line) || !line->property("headerField").isValid() ||
        !line->isModified())
        return true;
    return Commit(Field(line->property("headerField").toInt()));
}

void HeaderForm::Refresh() {
    const network::Case& c = doc_->data();
    const bool low = network::IsLowPressure(c);
    const bool appendix = c.method.method == network::Method::Appendix;
    ui->projectName->setText(Q(c.project.name));
    ui->projectNumber->setText(Q(c.project.number));
    ui->projectStage->setText(Q(c.project.stage));
    ui->projectDesigner->setText(Q(c.project.designer));
    ui->projectDate->setText(Q(c.project.date));
    ui->projectOrganization->setText(Q(c.project.organization));
    ui->projectSheetNumber->setText(Q(c.project.sheetNumber));
    ui->projectRevision->setText(Q(c.project.revision));
    ui->gasKind->setCurrentText(Q(c.gas.kind));
    ui->gasDensity->setText(ShortestText(c.gas.density));
    ui->gasViscosity->setText(ShortestText(c.gas.viscosity));
    ui->gasTemperature->setText(ShortestText(c.gas.temperature));
    ui->pressureClass->setCurrentIndex(low ? 0 : 1);
    ui->method->setCurrentIndex(appendix ? 1 : 0);
    const network::PressureUnit unit =
        c.display.pressureUnit.value_or(network::kDefaultPressureUnit);
    ui->pressureUnit->setCurrentIndex(
        int(std::find(std::begin(kUnits), std::end(kUnits), unit) - std::begin(kUnits)));
    ui->pressureUnit->setEnabled(!low);
    ui->pressureLevel->setText(
        Q(std::string(network::PressureLevelName(network::SourceLevel(c.source.pressure, low)))) +
        QStringLiteral("（%1 MPa 表压）")
            .arg(FixedText(network::GaugeMPa(c.source.pressure, low), low ? 4 : 3)));
    ui->localLoss->setText(appendix ? QString() : ShortestText(c.method.localLoss));
    ui->localLoss->setEnabled(!appendix);
    ui->localLoss->setPlaceholderText(appendix ? QStringLiteral("公式已含 10%") : QString());
    ui->compressibility->setText(Optional(c.method.z));
    ui->compressibility->setEnabled(!appendix && !low);
    ui->compressibility->setPlaceholderText(!appendix && !low ? QStringLiteral("按经验公式")
                                                              : QString());
    ui->sourceNode->setText(Q(c.source.node));
    ui->sourcePressureLabel->setText(low ? QStringLiteral("压力 (Pa)")
                                         : QStringLiteral("压力 (绝压 10⁵ Pa)"));
    ui->sourcePressure->setText(ShortestText(c.source.pressure));
    ui->sourceElevation->setText(ShortestText(c.source.elevation));
    ui->maxVelocity->setText(Optional(c.limits.maxVelocity));
    ui->maxDropLabel->setText(QStringLiteral("允许压降 (%1)").arg(PressureUnit(low)));
    ui->maxDrop->setText(Optional(c.limits.maxDrop));
    const auto effective = network::EffectiveMaxDrop(c);
    ui->maxDrop->setPlaceholderText(!c.limits.maxDrop && effective
                                        ? QStringLiteral("按 Pn：%1").arg(ShortestText(*effective))
                                        : QStringLiteral("不校核"));
    ui->maxVelocity->setPlaceholderText(QStringLiteral("不校核"));
    ui->appliancePressure->setText(Optional(c.limits.appliancePressure));
    ui->appliancePressure->setEnabled(low);
    ui->applyAllowedDrop->setEnabled(low && c.limits.appliancePressure.has_value());
    for (auto [line, part] : {std::pair{ui->shareStreet, network::Part::Street},
                              std::pair{ui->shareCourtyard, network::Part::Courtyard},
                              std::pair{ui->shareIndoor, network::Part::Indoor}}) {
        QString text;
        for (const network::PartShare& share : c.limits.shares)
            if (share.part == part)
                text = share.drop       ? ShortestText(*share.drop)
                       : share.fraction ? ShortestText(*share.fraction * 100) + QLatin1Char('%')
                                        : QString();
        line->setText(text);
        line->setEnabled(low || !text.isEmpty());
        line->setPlaceholderText(QString::fromUtf8(network::PartName(part).data(),
                                                   qsizetype(network::PartName(part).size())));
    }
}

bool HeaderForm::Read(Field field, CaseHeader& h, QString& error) const {
    const bool low = h.pressureClass == sel::kLow;
    auto number = [&](QLineEdit* line, bool optional, double above, bool orEqual,
                      std::optional<double>& out) {
        const QString text = line->text().trimmed();
        if (text.isEmpty()) {
            if (!optional) error = QStringLiteral("不能为空");
            out.reset();
            return optional;
        }
        const auto v = ParseNumber(text);
        if (!v) {
            error = QStringLiteral("“%1”不是数字").arg(text.left(40));
            return false;
        }
        if (orEqual ? *v < above : *v <= above) {
            error = orEqual ? QStringLiteral("不能小于 %1").arg(ShortestText(above))
                            : QStringLiteral("应大于 %1").arg(ShortestText(above));
            return false;
        }
        out = v;
        return true;
    };
    auto required = [&](QLineEdit* line, double above, bool orEqual, double& out) {
        std::optional<double> v;
        if (!number(line, false, above, orEqual, v)) return false;
        out = *v;
        return true;
    };
    constexpr double kAny = -1e308;
    // A text as the case file takes it, or the reason it does not.
    auto text = [&](const QString& value, bool id, std::string& out) {
        error = CaseTextProblem(value, id);
        if (!error.isEmpty()) return false;
        out = value.toStdString();
        return true;
    };
    switch (field) {
        case kName:
            return text(ui->projectName->text(), false, h.project.name);
        case kNumber:
            return text(ui->projectNumber->text(), false, h.project.number);
        case kStage:
            return text(ui->projectStage->text(), false, h.project.stage);
        case kDesigner:
            return text(ui->projectDesigner->text(), false, h.project.designer);
        case kDate:
            return text(ui->projectDate->text(), false, h.project.date);
        case kOrganization:
            return text(ui->projectOrganization->text(), false, h.project.organization);
        case kSheetNumber:
            return text(ui->projectSheetNumber->text(), false, h.project.sheetNumber);
        case kRevision:
            return text(ui->projectRevision->text(), false, h.project.revision);
        case kGasKind: {
            h.gas.kind = ui->gasKind->currentText().toStdString();
            // As in the main window: choosing a gas writes its properties.
            if (const auto gas = hydraulics::GasFromText(h.gas.kind)) {
                const auto defaults = hydraulics::DefaultGasProperties(*gas);
                h.gas.density = defaults.density;
                h.gas.viscosity = defaults.viscosity;
            }
            return true;
        }
        case kDensity:
            return required(ui->gasDensity, 0, false, h.gas.density);
        case kViscosity:
            return required(ui->gasViscosity, 0, false, h.gas.viscosity);
        case kTemperature:
            return required(ui->gasTemperature, 0, false, h.gas.temperature);
        case kClass: {
            const bool nowLow = ui->pressureClass->currentIndex() == 0;
            // Z is high/medium pressure's only.
            if (nowLow) h.method.z.reset();
            if (nowLow == low) return true;
            h.pressureClass = nowLow ? sel::kLow : sel::kHighMedium;
            // The pressures change unit: start from the main window's inlet
            // and leave the drop limit to be entered again.
            h.source.pressure = DefaultSourcePressure(nowLow);
            h.limits.maxDrop.reset();
            return true;
        }
        case kMethod:
            h.method.method = ui->method->currentIndex() == 1 ? network::Method::Appendix
                                                              : network::Method::Gb50028;
            // The appendix constants hold their own local losses and roughness:
            // options of the other method would be refused, not used.
            if (h.method.method == network::Method::Appendix) {
                h.method.localLoss = hydraulics::kDefaultLocalLoss;
                h.method.roughness.clear();
                h.method.z.reset();
            }
            return true;
        case kLocalLoss:
            return required(ui->localLoss, 0, true, h.method.localLoss);
        case kZ:
            return number(ui->compressibility, true, 0, false, h.method.z);
        case kSourceNode:
            return text(ui->sourceNode->text().trimmed(), true, h.source.node);
        case kSourcePressure:
            return required(ui->sourcePressure, low ? 0 : 1, false, h.source.pressure);
        case kSourceElevation:
            return required(ui->sourceElevation, kAny, false, h.source.elevation);
        case kMaxVelocity:
            return number(ui->maxVelocity, true, 0, false, h.limits.maxVelocity);
        case kMaxDrop:
            return number(ui->maxDrop, true, 0, false, h.limits.maxDrop);
        case kAppliance:
            return number(ui->appliancePressure, true, 0, false, h.limits.appliancePressure);
        case kPressureUnit: {
            const int index = ui->pressureUnit->currentIndex();
            // The default is written only when chosen away from and back.
            if (index >= 0 && index < int(std::size(kUnits)) &&
                (h.display.pressureUnit || kUnits[index] != network::kDefaultPressureUnit))
                h.display.pressureUnit = kUnits[index];
            return true;
        }
        case kShareStreet:
        case kShareCourtyard:
        case kShareIndoor: {
            const auto part = field == kShareStreet      ? network::Part::Street
                              : field == kShareCourtyard ? network::Part::Courtyard
                                                         : network::Part::Indoor;
            QLineEdit* line = field == kShareStreet      ? ui->shareStreet
                              : field == kShareCourtyard ? ui->shareCourtyard
                                                         : ui->shareIndoor;
            QString text = line->text().trimmed();
            const bool percent = text.endsWith(QLatin1Char('%'));
            if (percent) text.chop(1);
            std::erase_if(h.limits.shares,
                          [part](const network::PartShare& s) { return s.part == part; });
            if (text.isEmpty()) return true;
            const auto v = ParseNumber(text);
            if (!v || !(*v > 0) || (percent && *v > 100)) {
                error = percent ? QStringLiteral("应为大于 0 且不大于 100 的百分数")
                                : QStringLiteral("应为大于 0 的压降 (Pa)");
                return false;
            }
            network::PartShare share;
            share.part = part;
            if (percent)
                share.fraction = *v / 100;
            else
                share.drop = *v;
            // In the order of the parts, whatever the order typed.
            const auto at =
                std::find_if(h.limits.shares.begin(), h.limits.shares.end(),
                             [part](const network::PartShare& s) { return s.part > part; });
            h.limits.shares.insert(at, share);
            return true;
        }
        case kAllowedDrop:
            if (!h.limits.appliancePressure) return true;
            h.limits.maxDrop = network::LowPressureAllowedDrop(*h.limits.appliancePressure);
            return true;
    }
    return true;
}

bool HeaderForm::Commit(Field field) {
    const CaseHeader before = HeaderOf(doc_->data());
    CaseHeader after = before;
    QString error;
    if (!Read(field, after, error)) {
        emit refused(QString::fromUtf8(kFieldNames[field]) + QStringLiteral("：") + error);
        Refresh();
        return false;
    }
    if (after == before) {
        Refresh();  // the text as the value reads, e.g. "3000" for "3000.0"
        return true;
    }
    doc_->undoStack()->push(
        new EditHeaderCommand(doc_, before, after, field, QStringLiteral("修改工程参数")));
    return true;
}

}  // namespace gaspipe::table
