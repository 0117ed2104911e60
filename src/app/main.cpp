#include "startup/conversion.h"
#include "startup/gui/frmMain.h"
#include "startup/gui/frmUjUser.h"
#include "startup/gui/frmSplash.h"
#include "startup/startup.h"
#include "storage/random.h"
#include "storage/settings.h"
#include "storage/state.h"
#include "ui/gui/qtprompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QTranslator>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Rovanta"_s);
    QApplication::setApplicationName(u"Rovanta"_s);
    QApplication::setApplicationDisplayName(kAppTitle);
    QApplication::setApplicationVersion(versionText());
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));

    // Standard buttons read Igen/Nem/Mégse.
    QTranslator qtTranslator;
    if (qtTranslator.load(u"qtbase_hu"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Rovanta+ útnyilvántartó program"_s);
    parser.addHelpOption();
    QCommandLineOption dataDir(u"data-dir"_s, u"Az adatkönyvtár (alapesetben a program könyvtára)."_s,
                               u"könyvtár"_s);
    parser.addOption(dataDir);
    parser.process(app);

    AppState state;
    QtPrompter prompter;
    std::unique_ptr<Settings> settings = Settings::openUserStore();
    std::unique_ptr<MersenneRandom> random;
    state.prompter = &prompter;
    state.settings = settings.get();
    state.terminate = [](int code) { QApplication::exit(code); };

    std::unique_ptr<frmMain> mainWindow;
    frmSplash* splashWindow = nullptr;
    StartupHooks hooks;
    hooks.convertOlderLayout = [&](AppState& s) {
        return convertOlderLayout(s, [&](bool busy) {
            if (busy)
                QApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QApplication::restoreOverrideCursor();
            if (splashWindow)
                splashWindow->setEnabled(!busy);
        });
    };
    hooks.loadMainWindow = [&] { mainWindow = std::make_unique<frmMain>(state); };
    hooks.loadCarDialog = [&] {
        if (mainWindow)
            mainWindow->carDialog();
    };
    hooks.seedRandom = [&] {
        random = std::make_unique<MersenneRandom>(unsigned(QDateTime::currentMSecsSinceEpoch()));
        state.random = random.get();
    };

    const QString programDir = resolveProgramDir(parser.value(dataDir), QApplication::applicationDirPath());
    std::unique_ptr<QLockFile> lock;
    StartupOutcome outcome;
    {
        frmSplash splash;
        splashWindow = &splash;
        splash.show();
        outcome = runStartup(state, programDir, splash, hooks, lock);
        splashWindow = nullptr;
    }
    if (outcome == StartupOutcome::NoDataDirectory)
        return 1;
    if (outcome != StartupOutcome::Ready)
        return 0;
    mainWindow->show();
    const int code = QApplication::exec();
    mainWindow.reset();
    return code;
}
