// Renders the main window in its typical states to PNG files:
//   gaspipe-shots <output directory>
// Each state starts from a fresh window, as after start-up.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTextStream>

#include <functional>

#include "frm_jbcs.h"
#include "message_box.h"
#include "resources.h"

namespace {

using Step = std::function<void(gaspipe::FrmJbcs&)>;

void Click(gaspipe::FrmJbcs& window, const char* name) {
    window.findChild<QAbstractButton*>(QString::fromLatin1(name))->click();
}

bool Shoot(const QDir& dir, const QString& file, const Step& step) {
    auto* window = new gaspipe::FrmJbcs();
    window->show();
    QApplication::processEvents();
    step(*window);
    QApplication::processEvents();
    const bool saved = window->grab().save(dir.filePath(file));
    delete window;
    QTextStream(stdout) << (saved ? "wrote " : "FAILED ") << dir.filePath(file) << '\n';
    return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    gaspipe::InitResources();
    if (argc != 2) {
        QTextStream(stderr) << "usage: gaspipe-shots <output directory>\n";
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) return 1;
    gaspipe::SetErrorBoxHandler([](QWidget*, const QString& prompt, const QString& title) {
        QTextStream(stderr) << "message box: " << title << ": " << prompt << '\n';
    });

    // As a choice from the list: the entry becomes current, then activated runs the lookup.
    const auto choose = [](const char* nominal) {
        return [nominal](gaspipe::FrmJbcs& w) {
            auto* combo = w.findChild<QComboBox*>(QStringLiteral("Cob_PipeDia"));
            const int index = combo->findText(QString::fromLatin1(nominal));
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        };
    };
    const std::pair<const char*, Step> shots[] = {
        {"01-start.png", [](gaspipe::FrmJbcs&) {}},
        {"02-high-medium-result.png",
         [choose](gaspipe::FrmJbcs& w) {
             choose("100")(w);
             Click(w, "CmdCsOk");
         }},
        {"03-low-pressure-result.png",
         [](gaspipe::FrmJbcs& w) {
             Click(w, "OptDy");
             Click(w, "CmdCsOk");
         }},
        {"04-inlet-guard.png",
         [](gaspipe::FrmJbcs& w) {
             w.findChild<QLineEdit*>(QStringLiteral("TxtJkyl"))->setText(QStringLiteral("1"));
             Click(w, "CmdCsOk");
         }},
        {"10-select-manufactured-gas.png", [](gaspipe::FrmJbcs& w) { Click(w, "OptRgmq"); }},
        {"11-select-lpg.png", [](gaspipe::FrmJbcs& w) { Click(w, "OptYhq"); }},
        {"12-select-low-pressure.png", [](gaspipe::FrmJbcs& w) { Click(w, "OptDy"); }},
        {"13-select-pe-pipe.png", [](gaspipe::FrmJbcs& w) { Click(w, "OptPeg"); }},
        {"14-select-cast-iron-pipe.png", [](gaspipe::FrmJbcs& w) { Click(w, "OptZtg"); }},
        {"15-choose-nominal-diameter.png", choose("50")},
        {"16-restore-defaults.png",
         [](gaspipe::FrmJbcs& w) {
             Click(w, "OptYhq");
             Click(w, "OptPeg");
             Click(w, "OptDy");
             Click(w, "Btn_ChanageParametes");
         }},
    };
    bool ok = true;
    for (const auto& [file, step] : shots) ok = Shoot(dir, QString::fromLatin1(file), step) && ok;
    return ok ? 0 : 1;
}
