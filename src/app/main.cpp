#include "app/console.h"
#include "database/publishedprices.h"
#include "startup/conversion.h"
#include "startup/demodata.h"
#include "startup/gui/frmMain.h"
#include "startup/gui/frmUjUser.h"
#include "startup/gui/frmSplash.h"
#include "startup/startoptions.h"
#include "startup/startup.h"
#include "storage/random.h"
#include "storage/settings.h"
#include "model/state.h"
#include "ui/gui/onscreen.h"
#include "ui/gui/qtprompter.h"

#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QTranslator>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
// Before any window: on a console (or, on Windows, the one the program was started from).
void print(std::FILE* stream, const QString& text) {
    useParentConsole();
    const Utf8Console console;
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}
} // namespace

int main(int argc, char** argv) {
    // Read before any window system is touched: --help and --version answer on a bare terminal,
    // and a missing display is told in words rather than by Qt's abort.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartOptions options = parseStartOptions(arguments);
    switch (options.action) {
    case StartOptions::Action::Help:
    case StartOptions::Action::Version:
        print(stdout, options.text);
        return 0;
    case StartOptions::Action::Error:
        print(stderr, options.text);
        return 2;
    case StartOptions::Action::Run:
        break;
    }
    if (!hasGraphicalDesktop(arguments, QProcessEnvironment::systemEnvironment())) {
        print(stderr, noDesktopMessage());
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Rovanta"_s);
    QApplication::setApplicationName(u"Rovanta"_s);
    // No display name: Linux window managers would get it appended to every caption.
    QApplication::setApplicationVersion(packageVersionText());
    // The installed menu entry and icon carry the application's id.
    QGuiApplication::setDesktopFileName(u"org.example.rovanta"_s);
    Q_INIT_RESOURCE(icon); // the icon of an uninstalled program, from the windows' static library
    QIcon ownIcon(u":/icons/rovanta-256.png"_s);
    ownIcon.addFile(u":/icons/rovanta-48.png"_s);
    QApplication::setWindowIcon(QIcon::fromTheme(u"org.example.rovanta"_s, ownIcon));
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    keepWindowsOnScreen(app);

    // Standard buttons read Igen/Nem/Mégse.
    QTranslator qtTranslator;
    if (qtTranslator.load(u"qtbase_hu"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    AppState state;
    QtPrompter prompter;
    std::unique_ptr<Settings> settings = Settings::openUserStore();
    // Windows keep their places in the settings while the settings live.
    rememberWindows(settings.get());
    struct Forget {
        ~Forget() { rememberWindows(nullptr); }
    } forget;
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
        }) != ConversionOutcome::Declined;
    };
    hooks.loadMainWindow = [&] { mainWindow = std::make_unique<frmMain>(state); };
    hooks.loadCarDialog = [&] {
        if (mainWindow)
            mainWindow->carDialog();
    };
    QString statusLine;
    hooks.statusLine = [&](const QString& line) { statusLine = line; };
    hooks.seedRandom = [&] {
        random = std::make_unique<MersenneRandom>(unsigned(QDateTime::currentMSecsSinceEpoch()));
        state.random = random.get();
    };

    // The demo is made on its first use and reused after, with whatever the user did to it.
    QString dataDirArgument = options.dataDir;
    QString demoDir;
    if (options.demo) {
        demoDir = demoDirectory();
        if (isEmptyOrMissingDir(demoDir)) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const Result r = writeDemoData(demoDir, QDate::currentDate());
            QApplication::restoreOverrideCursor();
            if (!r) {
                prompter.inform(r.message(), MsgIcon::Critical);
                return 1;
            }
        }
        dataDirArgument = demoDir;
    }
    const QString programDir = resolveProgramDir(dataDirArgument, QApplication::applicationDirPath());
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
    mainWindow->StatusBarPanel1->setText(statusLine);
    mainWindow->setStartupNotice(startupNavNotice(state, QDate::currentDate()));
    if (!demoDir.isEmpty())
        mainWindow->showDemoDirectory(demoDir);
    mainWindow->show();
    const int code = QApplication::exec();
    mainWindow.reset();
    return code;
}
