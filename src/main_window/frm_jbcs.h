// FrmJbcs, the main calculation window.
//
// The form (frm_jbcs.ui) holds the controls; this class holds the state fields
// and the handlers. Selections write default texts into the boxes at once.
// The calculate command reads the options and the seven boxes into the state
// fields, hands them by reference to CalcPipeSegment, and prints the report
// lines into the results panel PictureJsjg. Only sngOutletPressure links one
// calculation to the next: it is the engine's starting estimate.
#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

#include "class_ini_file.h"

class QLineEdit;

namespace Ui {
class FrmJbcs;
}

namespace gaspipe {

namespace hydraulics {
enum class Gas;
}

class ResultsPanel;
struct WindowCalculation;

// A QDialog so that Enter goes to the default button (CmdCsOk) unless a
// focused button takes it, and Esc reaches the cancel button (CmdCsCancel).
// Shown as a normal top-level window; deletes itself when closed.
class FrmJbcs : public QDialog {
    Q_OBJECT

  public:
    // programDir: where PipeParameters.Ini lives; by default the program's own
    // directory.
    explicit FrmJbcs(const QString& programDir = QString(), QWidget* parent = nullptr);
    ~FrmJbcs() override;

    // State fields. Public so that tests can watch what a command leaves behind.
    QString strGasKind;
    QString strPressureClass;
    QString strPipeMaterial;
    float sngDensity = 0;
    float sngViscosity = 0;
    float sngTemperature = 0;
    float sngLength = 0;
    float sngInnerDia = 0;
    float sngFlow = 0;
    float sngInletPressure = 0;
    float sngMeanVelocity = 0;
    float sngPressureLoss = 0;
    float sngOutletPressure = 0;
    float sngMaxVelocity = 0;
    std::int16_t intCalcError = 0;

    // objIniFile, created on first use.
    classIniFile& IniFile();

    ResultsPanel* resultsPanel() const;

    void CmdCsOk_Click();
    void CmdCsCancel_Click();
    void Btn_ChanageParametes_Click(int Index);
    void Command1_Click();
    void Command2_Click();
    void PrintCalcReport();
    // "导出计算书…" of the results panel: the sheet of the calculation shown.
    void ExportSheet();
    void LoadPipeDia(const QString& strSection);

    void OptGg_Click();
    void OptPeg_Click();
    void OptZtg_Click();
    void OptTrq_Click();
    void OptRgmq_Click();
    void OptYhq_Click();
    void OptGzy_Click();
    void OptDy_Click();
    void Cob_PipeDia_Click();

    // "水力计算表…": a table window holding one segment of the current inputs.
    void OpenCalculationTable();

  public slots:
    // Esc: the cancel button's click, as on a real button.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_Load(const QString& programDir);
    void FillPipeDia(const std::string& section);
    void ApplyFonts();
    void WireEvents();
    void TextBox_GotFocus(QLineEdit* box);
    void SetGasDefaults(hydraulics::Gas gas);
    void SetPressureClassDefaults(bool highMedium);
    void RememberCalculation(float start);

    std::unique_ptr<Ui::FrmJbcs> ui;
    std::unique_ptr<classIniFile> objIniFile;
    // What the report in the panel was calculated from, for its sheet.
    std::unique_ptr<WindowCalculation> shownCalculation_;
};

}  // namespace gaspipe
