#include "frm_jbcs.h"

#include <QCloseEvent>
#include <QColor>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <utility>

#include "calc_pipe_segment.h"
#include "dialogs.h"
#include "gas_defaults.h"
#include "group_frame_style.h"
#include "library_path.h"
#include "locale_number.h"
#include "message_box.h"
#include "pipe_file.h"
#include "report.h"
#include "resources.h"
#include "results_panel.h"
#include "sheet_export.h"
#include "ui_frm_jbcs.h"

namespace gaspipe {

namespace {

// A text box whose text is not a number; ends the calculate command like any
// other error after the data-error handling is armed.
class ConversionError : public std::runtime_error {
  public:
    ConversionError() : std::runtime_error("conversion error") {}
};

std::string Utf8(const QString& text) { return text.toStdString(); }
QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The banner: white on the left through four blues to #6588DA on the right,
// a 400 x 1 strip that Image1 stretches over the title band.
QPixmap BannerPixmap() {
    const std::array<QColor, 5> stops = {QColor(0xFF, 0xFF, 0xFF), QColor(0xD9, 0xE1, 0xF6),
                                         QColor(0xB2, 0xC3, 0xEE), QColor(0x8B, 0xA4, 0xE4),
                                         QColor(0x65, 0x88, 0xDA)};
    constexpr int kWidth = 400;
    QImage strip(kWidth, 1, QImage::Format_RGB32);
    for (int x = 0; x < kWidth; ++x) {
        const double pos = 4.0 * x / (kWidth - 1);
        const int i = std::min(static_cast<int>(pos), 3);
        const double f = pos - i;
        const auto mix = [f](int a, int b) { return static_cast<int>(a + (b - a) * f + 0.5); };
        const QColor& a = stops[i];
        const QColor& b = stops[i + 1];
        strip.setPixelColor(
            x, 0,
            QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue())));
    }
    return QPixmap::fromImage(strip);
}

QFont NamedFont(const char* family, double points, bool bold = false) {
    QFont font(QString::fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The superscript positions assume the metrics of the original 宋体: a CJK
// character one em wide, every other character half an em. Shift each
// exponent by how much the installed font differs over the caption text in
// front of its gap, so that it still stands over that gap.
void FollowGap(QLabel* superscript, const QLabel* base, const QString& textBeforeGap) {
    const QFontMetrics metrics(base->font());
    const int em = QFontInfo(base->font()).pixelSize();
    int assumed = 0;
    for (const QChar ch : textBeforeGap) assumed += ch.unicode() < 0x80 ? em / 2 : em;
    const int shift = metrics.horizontalAdvance(textBeforeGap) - assumed;
    superscript->move(superscript->x() + shift, superscript->y());
}

}  // namespace

FrmJbcs::FrmJbcs(const QString& programDir, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FrmJbcs>()) {
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // A main window, not a dialog, to the window manager.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(size());

    ui->Image1->setPixmap(BannerPixmap());
    ui->Image2->setPixmap(LogoPixmap());
    // The form holds the start texts with '.'; the calculate command reads
    // them with the locale's separator.
    SetGasDefaults(hydraulics::Gas::NaturalGas);
    ApplyFonts();
    ApplyGroupFrameStyle(this);
    WireEvents();

    Form_Load(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir);
    ui->TxtJkyl->setFocus(Qt::OtherFocusReason);
}

FrmJbcs::~FrmJbcs() = default;

classIniFile& FrmJbcs::IniFile() {
    if (!objIniFile) objIniFile = std::make_unique<classIniFile>();
    return *objIniFile;
}

ResultsPanel* FrmJbcs::resultsPanel() const { return ui->PictureJsjg; }

void FrmJbcs::ApplyFonts() {
    // Fractional point sizes, which the form file cannot hold.
    ui->Label5->setFont(NamedFont("隶书", 26.25));
    ui->Label13->setFont(NamedFont("Arial", 10.5, true));
    for (QLabel* superscript : {ui->Label9, ui->Label7, ui->Label4, ui->Label6, ui->Label8})
        superscript->setFont(NamedFont("Arial", 6.75));
    for (QLabel* autoSized : {ui->Label4, ui->Label6, ui->Label8}) autoSized->adjustSize();
    // The form's 9 px would cut the substituted face's digits off at the bottom.
    for (QLabel* fixed : {ui->Label9, ui->Label7})
        fixed->resize(fixed->width(), std::max(fixed->height(), fixed->sizeHint().height()));
    FollowGap(ui->Label9, ui->LabJkyl, QStringLiteral("进口压力(绝压 10"));
    FollowGap(ui->Label7, ui->LabLl, QStringLiteral("流量(Nm"));
    FollowGap(ui->Label4, ui->LabMd, QStringLiteral("燃气密度(Kg/Nm"));
    FollowGap(ui->Label6, ui->LabNd, QStringLiteral("运动粘度(X10"));
    FollowGap(ui->Label8, ui->LabNd, QStringLiteral("运动粘度(X10  m"));
}

void FrmJbcs::WireEvents() {
    // clicked, not toggled: it also fires for an option that is already
    // selected, for keyboard selection and for click() from code.
    connect(ui->OptGg, &QAbstractButton::clicked, this, &FrmJbcs::OptGg_Click);
    connect(ui->OptPeg, &QAbstractButton::clicked, this, &FrmJbcs::OptPeg_Click);
    connect(ui->OptZtg, &QAbstractButton::clicked, this, &FrmJbcs::OptZtg_Click);
    connect(ui->OptTrq, &QAbstractButton::clicked, this, &FrmJbcs::OptTrq_Click);
    connect(ui->OptRgmq, &QAbstractButton::clicked, this, &FrmJbcs::OptRgmq_Click);
    connect(ui->OptYhq, &QAbstractButton::clicked, this, &FrmJbcs::OptYhq_Click);
    connect(ui->OptGzy, &QAbstractButton::clicked, this, &FrmJbcs::OptGzy_Click);
    connect(ui->OptDy, &QAbstractButton::clicked, this, &FrmJbcs::OptDy_Click);

    connect(ui->CmdCsOk, &QAbstractButton::clicked, this, &FrmJbcs::CmdCsOk_Click);
    connect(ui->CmdCsCancel, &QAbstractButton::clicked, this, &FrmJbcs::CmdCsCancel_Click);
    connect(ui->Btn_ChanageParametes, &QAbstractButton::clicked, this,
            [this] { Btn_ChanageParametes_Click(0); });
    connect(ui->Command1, &QAbstractButton::clicked, this, &FrmJbcs::Command1_Click);
    connect(ui->Command2, &QAbstractButton::clicked, this, &FrmJbcs::Command2_Click);
    connect(ui->PictureJsjg, &ResultsPanel::calculationTableRequested, this,
            &FrmJbcs::OpenCalculationTable);
    connect(ui->PictureJsjg, &ResultsPanel::exportSheetRequested, this, &FrmJbcs::ExportSheet);

    // The diameter list runs its lookup only when an entry is chosen. Typed
    // text stays typed: no completion, no insertion, and the combo must not
    // turn a typed text that matches an entry into a choice when editing ends.
    QComboBox* combo = ui->Cob_PipeDia;
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    connect(combo, &QComboBox::activated, this, &FrmJbcs::Cob_PipeDia_Click);
    // A wheel turned while passing over the list must neither take the focus
    // nor choose an entry, which would replace the inner diameter unseen.
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(this);

    for (QLineEdit* box :
         {ui->TxtJkyl, ui->TxtGc, ui->TxtGj, ui->TxtLl, ui->TxtMd, ui->TxtNd, ui->TxtWd})
        box->installEventFilter(this);
}

bool FrmJbcs::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Cob_PipeDia) {
        if (event->type() != QEvent::Wheel || ui->Cob_PipeDia->hasFocus())
            return QDialog::eventFilter(watched, event);
        event->ignore();  // passes on to the window, as over any other control
        return true;
    }
    if (event->type() == QEvent::FocusIn) {
        // Deferred, so that a mouse press that brought the focus does not
        // place the cursor over the selection afterwards.
        QPointer<QLineEdit> box = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, this, [this, box] {
            if (box) TextBox_GotFocus(box);
        });
    }
    return QDialog::eventFilter(watched, event);
}

void FrmJbcs::TextBox_GotFocus(QLineEdit* box) { box->setSelection(0, box->text().length()); }

void FrmJbcs::Form_Load(const QString& programDir) {
    ui->Cob_PipeDia->setEditText(QString());
    // The separator is the platform's own; a directory that already ends in
    // one gives two in a row, as the name is a plain concatenation.
    const QString fileName =
        QDir::toNativeSeparators(programDir) + QDir::separator() + QString::fromUtf8(kPipeFileName);
    IniFile().INIFileName(LibraryPath(fileName));

    FillPipeDia(sel::kSteel);
}

void FrmJbcs::LoadPipeDia(const QString& strSection) {
    ui->Cob_PipeDia->clear();
    ui->Cob_PipeDia->clearEditText();
    ui->TxtGj->setText(QString());
    FillPipeDia(Utf8(strSection));
}

// Start-up and the material handlers share this tail: an empty or missing
// list leaves the list empty and the inner diameter as it was.
// The list and its first inner diameter come from one version of the file,
// even when it is replaced in between.
void FrmJbcs::FillPipeDia(const std::string& section) {
    const PipeFile pipes(IniFile());
    const auto entries = pipes.NominalDiameters(section);
    if (entries.empty()) return;
    for (const std::string& entry : entries) ui->Cob_PipeDia->addItem(FromUtf8(entry));
    ui->Cob_PipeDia->setEditText(ui->Cob_PipeDia->itemText(0));
    ui->TxtGj->setText(
        FromUtf8(pipes.InnerDiameter(section, Utf8(ui->Cob_PipeDia->currentText()))));
}

void FrmJbcs::OptGg_Click() {
    if (ui->OptGg->isChecked()) LoadPipeDia(QString::fromUtf8(sel::kSteel));
}

void FrmJbcs::OptPeg_Click() {
    if (ui->OptPeg->isChecked()) LoadPipeDia(QString::fromUtf8(sel::kPe));
}

void FrmJbcs::OptZtg_Click() {
    if (ui->OptZtg->isChecked()) LoadPipeDia(QString::fromUtf8(sel::kCastIron));
}

void FrmJbcs::SetGasDefaults(hydraulics::Gas gas) {
    const auto defaults = hydraulics::DefaultGasProperties(gas);
    ui->TxtMd->setText(ShortestText(defaults.density));
    ui->TxtNd->setText(ShortestText(defaults.viscosity));
}

void FrmJbcs::OptRgmq_Click() {
    if (ui->OptRgmq->isChecked()) SetGasDefaults(hydraulics::Gas::ManufacturedGas);
}

void FrmJbcs::OptTrq_Click() {
    if (ui->OptTrq->isChecked()) SetGasDefaults(hydraulics::Gas::NaturalGas);
}

void FrmJbcs::OptYhq_Click() {
    if (ui->OptYhq->isChecked()) SetGasDefaults(hydraulics::Gas::Lpg);
}

void FrmJbcs::SetPressureClassDefaults(bool highMedium) {
    ui->LabJkyl->setText(highMedium ? QStringLiteral("进口压力(绝压 10 Pa)")
                                    : QStringLiteral("进口压力(Pa)"));
    ui->Label9->setVisible(highMedium);
    ui->TxtGc->setText(highMedium ? QStringLiteral("1000") : QStringLiteral("100"));
    ui->TxtGj->setText(highMedium ? QStringLiteral("100") : QStringLiteral("50"));
    ui->TxtLl->setText(highMedium ? QStringLiteral("500") : QStringLiteral("30"));
    ui->TxtJkyl->setText(highMedium ? QStringLiteral("5") : QStringLiteral("3000"));
}

// The pressure-class handlers do not test the selection.
void FrmJbcs::OptGzy_Click() { SetPressureClassDefaults(true); }
void FrmJbcs::OptDy_Click() { SetPressureClassDefaults(false); }

void FrmJbcs::Cob_PipeDia_Click() {
    std::string section;
    if (ui->OptGg->isChecked()) section = sel::kSteel;
    if (ui->OptPeg->isChecked()) section = sel::kPe;
    if (ui->OptZtg->isChecked()) section = sel::kCastIron;
    ui->TxtGj->setText(
        FromUtf8(ReadInnerDiameter(IniFile(), section, Utf8(ui->Cob_PipeDia->currentText()))));
}

void FrmJbcs::Btn_ChanageParametes_Click(int /*Index*/) {
    // click() runs each option's handler, also for an option already selected.
    ui->OptTrq->click();
    ui->OptGg->click();
    ui->Cob_PipeDia->setEditText(QStringLiteral("50"));
    ui->TxtGj->setText(QLocale::system().toString(50.0, 'f', 1));
    ui->TxtLl->setText(QStringLiteral("500"));
    ui->OptGzy->click();
    SetGasDefaults(hydraulics::Gas::NaturalGas);
    ui->TxtWd->setText(ShortestText(hydraulics::kDefaultTemperature));
}

void FrmJbcs::CmdCsOk_Click() {
    ui->Frame1->setVisible(ui->Frame1->isHidden());

    if (ui->OptTrq->isChecked()) strGasKind = QString::fromUtf8(sel::kNaturalGas);
    if (ui->OptRgmq->isChecked()) strGasKind = QString::fromUtf8(sel::kManufacturedGas);
    if (ui->OptYhq->isChecked()) strGasKind = QString::fromUtf8(sel::kLpg);
    if (ui->OptGzy->isChecked()) strPressureClass = QString::fromUtf8(sel::kHighMedium);
    if (ui->OptDy->isChecked()) strPressureClass = QString::fromUtf8(sel::kLow);
    if (ui->OptGg->isChecked()) strPipeMaterial = QString::fromUtf8(sel::kSteel);
    if (ui->OptPeg->isChecked()) strPipeMaterial = QString::fromUtf8(sel::kPe);
    if (ui->OptZtg->isChecked()) strPipeMaterial = QString::fromUtf8(sel::kCastIron);

    try {
        // Each field is stored as soon as its box converts, so a failing box
        // leaves the earlier fields new and the later ones old.
        const std::array<std::pair<QLineEdit*, float*>, 7> inputs = {{
            {ui->TxtMd, &sngDensity},
            {ui->TxtNd, &sngViscosity},
            {ui->TxtWd, &sngTemperature},
            {ui->TxtJkyl, &sngInletPressure},
            {ui->TxtGc, &sngLength},
            {ui->TxtGj, &sngInnerDia},
            {ui->TxtLl, &sngFlow},
        }};
        for (const auto& [box, field] : inputs) {
            const auto value = TextToSingle(box->text());
            if (!value) throw ConversionError();
            *field = *value;
        }

        if (ui->OptGzy->isChecked() && sngInletPressure <= 1.0F) {
            ui->PictureJsjg->Cls();
            ui->PictureJsjg->Print(QStringLiteral("错误："));
            ui->PictureJsjg->Print(QStringLiteral("进口压力应大于1!"));
            return;
        }

        ui->PictureJsjg->Cls();
        intCalcError = 0;
        // A failed low-pressure run can leave a negative outlet pressure; as
        // the next starting estimate it would turn valid inputs into an error.
        if (sngOutletPressure < 0) sngOutletPressure = 0;
        const float start = sngOutletPressure;
        CalcPipeSegment(Utf8(strGasKind), Utf8(strPressureClass), Utf8(strPipeMaterial), sngDensity,
                        sngViscosity, sngTemperature, sngInnerDia, sngLength, sngFlow,
                        sngInletPressure, sngOutletPressure, sngPressureLoss, sngMeanVelocity,
                        sngMaxVelocity, intCalcError);
        if (intCalcError == -1) {
            ShowErrorBox(this, QStringLiteral("管径太小，无法满足要求!"), QStringLiteral("错误"));
            return;
        }
        PrintCalcReport();
        RememberCalculation(start);
    } catch (const std::exception&) {
        ShowErrorBox(this, QStringLiteral("请检查输入数据是否正确！"), QStringLiteral("数据错误"));
    }
}

void FrmJbcs::PrintCalcReport() {
    SegmentResult result;
    result.inletPressure = sngInletPressure;
    result.outletPressure = sngOutletPressure;
    result.pressureLoss = sngPressureLoss;
    result.meanVelocity = sngMeanVelocity;
    result.maxVelocity = sngMaxVelocity;
    const auto lines =
        ReportLines(Utf8(strPressureClass), result, Utf8(QLocale::system().decimalPoint()));
    for (const std::string& line : lines) ui->PictureJsjg->Print(FromUtf8(line));
}

void FrmJbcs::RememberCalculation(float start) {
    const auto gas = hydraulics::GasFromText(Utf8(strGasKind));
    const auto pressureClass = hydraulics::ClassFromText(Utf8(strPressureClass));
    const auto material = hydraulics::MaterialFromText(Utf8(strPipeMaterial));
    if (!gas || !pressureClass || !material) return;
    auto calc = std::make_unique<WindowCalculation>();
    hydraulics::SegmentInput& in = calc->input;
    in.gas = *gas;
    in.pressureClass = *pressureClass;
    in.material = *material;
    in.density = sngDensity, in.viscosity = sngViscosity, in.temperature = sngTemperature;
    in.diameter = sngInnerDia, in.length = sngLength, in.flow = sngFlow;
    in.inlet = sngInletPressure, in.start = start;
    calc->outlet = sngOutletPressure, calc->loss = sngPressureLoss;
    calc->meanVelocity = sngMeanVelocity, calc->maxVelocity = sngMaxVelocity;
    calc->nominal = Utf8(ui->Cob_PipeDia->currentText());
    shownCalculation_ = std::move(calc);
    ui->PictureJsjg->SetSheetAvailable(true);
}

void FrmJbcs::ExportSheet() {
    if (!shownCalculation_ || !ui->PictureJsjg->sheetAvailable()) return;
    WindowCalculation calc = *shownCalculation_;
    calc.pipeFile = IniFile().INIFileName();
    bool ok = false;
    const double inner = QString::fromStdString(
                             PipeFile(IniFile()).InnerDiameter(Utf8(strPipeMaterial), calc.nominal))
                             .trimmed()
                             .toDouble(&ok);
    if (ok) calc.fileInner = inner;
    const ExportResult result = ExportSegmentSheet(this, calc);
    if (result.status == ExportResult::Status::Failed)
        ShowErrorBox(this, result.error, QStringLiteral("导出计算书"));
}

void FrmJbcs::CmdCsCancel_Click() { close(); }

void FrmJbcs::Command1_Click() { ShowFrmAboutParameter(); }

void FrmJbcs::Command2_Click() { ShowFrmAbout(); }

void FrmJbcs::reject() { ui->CmdCsCancel->click(); }

void FrmJbcs::closeEvent(QCloseEvent* event) {
    // Not QDialog's, which would route the close box through reject().
    event->accept();
}

}  // namespace gaspipe
