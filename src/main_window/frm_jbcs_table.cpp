// The main window's way into the calculation table: one segment holding the
// inputs as they stand in the boxes, with the window's own routine (the
// appendix method), from the same pipe file.
#include <QFile>
#include <QLineEdit>
#include <QLocale>

#include <cmath>
#include <optional>

#include "calc_pipe_segment.h"
#include "frm_jbcs.h"
#include "gas_defaults.h"
#include "pipe_file.h"
#include "table_window.h"
#include "ui_frm_jbcs.h"

namespace gaspipe {

namespace {

// A box's number as the calculate command reads it; none when it reads none.
std::optional<double> BoxNumber(const QLineEdit* box) {
    bool ok = false;
    const double value = QLocale::system().toDouble(box->text().trimmed(), &ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

void FrmJbcs::OpenCalculationTable() {
    network::Case c;
    hydraulics::Gas gas = hydraulics::Gas::NaturalGas;
    c.gas.kind = sel::kNaturalGas;
    if (ui->OptRgmq->isChecked()) {
        gas = hydraulics::Gas::ManufacturedGas;
        c.gas.kind = sel::kManufacturedGas;
    }
    if (ui->OptYhq->isChecked()) {
        gas = hydraulics::Gas::Lpg;
        c.gas.kind = sel::kLpg;
    }
    // A box that reads no number gives the table the gas's usual value, or
    // leaves the value for the table to question.
    const auto defaults = hydraulics::DefaultGasProperties(gas);
    c.gas.density = BoxNumber(ui->TxtMd).value_or(defaults.density);
    c.gas.viscosity = BoxNumber(ui->TxtNd).value_or(defaults.viscosity);
    c.gas.temperature = BoxNumber(ui->TxtWd).value_or(hydraulics::kDefaultTemperature);
    c.pressureClass = ui->OptDy->isChecked() ? sel::kLow : sel::kHighMedium;
    c.method.method = network::Method::Appendix;
    c.source.node = "起点";
    c.source.pressure = BoxNumber(ui->TxtJkyl).value_or(0);

    network::Segment s;
    s.id = "1";
    s.from = c.source.node;
    s.to = "终点";
    s.material = ui->OptPeg->isChecked()   ? sel::kPe
                 : ui->OptZtg->isChecked() ? sel::kCastIron
                                           : sel::kSteel;
    s.nominal = ui->Cob_PipeDia->currentText().trimmed().toStdString();
    // The pipe file's own inner diameter stays the file's, so that choosing
    // another diameter in the table brings its inner diameter along.
    const std::string fileInner = ReadInnerDiameter(IniFile(), s.material, s.nominal);
    if (QString::fromStdString(fileInner) != ui->TxtGj->text().trimmed() || fileInner.empty())
        s.innerDiameter = BoxNumber(ui->TxtGj);
    s.length = BoxNumber(ui->TxtGc).value_or(0);
    s.flow = BoxNumber(ui->TxtLl);
    c.segments.push_back(std::move(s));

    table::OpenTableWindow(std::move(c), QFile::decodeName(IniFile().INIFileName().c_str()));
}

}  // namespace gaspipe
