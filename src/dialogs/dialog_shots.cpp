// Writes PNG pictures of both dialogs into the directory given as argument, for
// visual review; runs headless unless the caller chose a platform.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

#include "dialogs.h"
#include "frm_about.h"
#include "frm_about_parameter.h"
#include "resources.h"

namespace {

bool Save(QWidget* dialog, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    if (!dialog->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    gaspipe::InitResources();
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = Save(gaspipe::ShowFrmAbout(), dir, QStringLiteral("FrmAbout.png"));
    ok =
        Save(gaspipe::ShowFrmAboutParameter(), dir, QStringLiteral("frmAbout_Parameter.png")) && ok;
    return ok ? 0 : 1;
}
