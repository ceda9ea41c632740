#include "resources.h"

#include <QCoreApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTranslator>

// Q_INIT_RESOURCE must expand outside any namespace. The resources live in a
// static library, so nothing registers them unless the program references the
// generated initialiser.
static void InitCompiledResources() { Q_INIT_RESOURCE(resources); }

namespace gaspipe {

namespace {

// The windows name the fonts of Chinese Windows. Each maps to installed fonts of
// the nearest style, best first; Qt skips families that are not installed, and
// fontconfig's own fallback would pick a sans face for all of them. For heiti,
// WenQuanYi Zen Hei comes first because its line height matches SimHei's, which
// the dialogs were laid out for; Noto's taller ascent sets the text lower.
void InstallFontSubstitutions() {
    const QStringList clerical = {QStringLiteral("AR PL UKai CN"),
                                  QStringLiteral("AR PL KaitiM GB"),
                                  QStringLiteral("Noto Serif CJK SC")};
    const QStringList heiti = {QStringLiteral("WenQuanYi Zen Hei"),
                               QStringLiteral("Noto Sans CJK SC"),
                               QStringLiteral("Droid Sans Fallback")};
    const QStringList songti = {QStringLiteral("AR PL UMing CN"),
                                QStringLiteral("Noto Serif CJK SC"),
                                QStringLiteral("WenQuanYi Zen Hei")};
    const QStringList arial = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(QStringLiteral("隶书"), clerical);
    QFont::insertSubstitutions(QStringLiteral("LiSu"), clerical);
    QFont::insertSubstitutions(QStringLiteral("黑体"), heiti);
    QFont::insertSubstitutions(QStringLiteral("SimHei"), heiti);
    QFont::insertSubstitutions(QStringLiteral("宋体"), songti);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), songti);
    QFont::insertSubstitutions(QStringLiteral("Arial"), arial);
}

void EnsureCompiledResources() {
    static const bool done = (InitCompiledResources(), true);
    (void)done;
}

}  // namespace

void InitResources() {
    EnsureCompiledResources();
    InstallFontSubstitutions();
    LoadQtChineseTexts();
}

void LoadQtChineseTexts() {
    static const bool loaded = [] {
        auto* translator = new QTranslator(QCoreApplication::instance());
        const bool found = translator->load(QLocale(QLocale::Chinese, QLocale::China),
                                            QStringLiteral("qtbase"), QStringLiteral("_"),
                                            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        return found && QCoreApplication::installTranslator(translator);
    }();
    (void)loaded;
}

QPixmap LogoPixmap() {
    EnsureCompiledResources();
    return QPixmap(QStringLiteral(":/gaspipe/logo.png"));
}

}  // namespace gaspipe
