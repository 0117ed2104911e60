#include "startup.h"

#include "database/publishedprices.h"
#include "startup/conversion.h"
#include "model/statefiles.h"
#include "model/workcalendar.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/numeric.h"
#include "storage/settings.h"
#include "model/state.h"
#include "ui/lockquestions.h"
#include "storage/prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
QString withSlash(QString dir) {
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
constexpr int kCitiesPerRepaint = 32;

// Whether the program may keep its files in dir. Windows grants writing by access lists that a
// folder's attributes do not show (Program Files looks writable to everyone): a file is tried.
bool canCreateFilesIn(const QString& dir) {
#ifdef Q_OS_WIN
    QTemporaryFile probe(QDir(dir).filePath(u"rovanta-XXXXXX.tmp"_s));
    return probe.open();
#else
    return QFileInfo(dir).isWritable();
#endif
}
} // namespace

QString resolveProgramDir(const QString& dataDirArgument, const QString& executableDir) {
    if (!dataDirArgument.isEmpty()) {
        QDir().mkpath(dataDirArgument);
        return withSlash(dataDirArgument);
    }
    // An installed program run by root could write its bin directory: data never goes there.
    if (QFileInfo(executableDir).isDir() && canCreateFilesIn(executableDir) && !isInstalledProgram(executableDir))
        return withSlash(executableDir);
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(own);
    return withSlash(own);
}

int prepareUsersDirectory(AppState& state) {
    QDir().mkpath(state.usersDir());
    // The user's years of swapped working days, before anything counts a day.
    if (const Result r = loadUserSwappedDays(state.programDir); !r && state.prompter)
        state.prompter->inform(r.message(), MsgIcon::Exclamation);
    // Another computer may be importing prices into the same files: the top-up waits for it, and
    // when it cannot, the next start does it.
    DataLock folder(state.programDir, folderLockPath(state.programDir));
    if (takeLock(folder, kFolderLockWaitMs, {}).outcome != LockOutcome::Taken)
        return 0;
    const HeldFolder held(state, folder);
    // An import a kill cut short is finished before anything reads the published files.
    QString report;
    const Result r = recoverPublishedImport(state, {}, &report);
    if (state.prompter && (!r || !report.isEmpty()))
        state.prompter->inform(r ? report : r.message(), r ? MsgIcon::Information : MsgIcon::Exclamation);
    // A published-price file lost since the first start is made again: the car dialog copies it.
    return topUpPublishedPrices(state);
}

StartupOutcome runStartup(AppState& state, const QString& programDir, StartupView& view, const StartupHooks& hooks,
                          std::unique_ptr<QLockFile>& lock) {
    // Two copies on one data directory would overwrite each other's files.
    QDir().mkpath(programDir);
    // On a folder shared by several computers each has its own: the others work on other cars.
    QDir().mkpath(locksDir(programDir));
    auto lockFile = std::make_unique<QLockFile>(instanceLockPath(programDir));
    lockFile->setStaleLockTime(0);
    if (!lockFile->tryLock(0)) {
        // Only a lock held by another copy means it runs; any other failure is the directory's.
        const bool running = lockFile->error() == QLockFile::LockFailedError;
        if (state.prompter)
            state.prompter->inform(running ? u"A program már fut."_s
                                           : u"Az adatkönyvtár nem hozható létre vagy nem írható, ezért a program "
                                             u"nem indulhat el:\r\n%1"_s.arg(QDir::toNativeSeparators(programDir)),
                                   running ? MsgIcon::Information : MsgIcon::Critical);
        return running ? StartupOutcome::AlreadyRunning : StartupOutcome::NoDataDirectory;
    }
    lock = std::move(lockFile);

    // Relative paths of the data files are taken from the program directory.
    state.programDir = withSlash(programDir);
    Settings& settings = *state.settings;
    if (settings.text(keys::Directory) != state.programDir)
        settings.setText(keys::Directory, state.programDir);
    QDir::setCurrent(state.programDir);
    state.errorLocation = u"frmSplash - Form_Load"_s;

    // Data of the older layout is converted once, before anything reads it.
    const QString stored = settings.text(keys::Version);
    if (leadingNumber(stored) == 1.2 || hasUnconvertedData(state)) {
        if (hooks.convertOlderLayout && !hooks.convertOlderLayout(state))
            return StartupOutcome::Declined;
    } else if (stored != versionText()) {
        settings.setText(keys::Version, versionText());
    }
    if (const Result r = settings.sync(); !r) {
        logCaught(state, r.code(), r.message());
        if (state.prompter)
            state.prompter->inform(r.message(), MsgIcon::Exclamation);
    }

    state.LoadTables();
    view.setTitles(kAppTitle, versionText() + u" verzió"_s);

    view.setTask(u"Környezet elemzése..."_s);
    if (const int added = prepareUsersDirectory(state); added > 0 && hooks.statusLine)
        hooks.statusLine(u"A program betöltötte a NAV által közzétett üzemanyagárakat (%1 új havi ár)."_s.arg(added));

    // "Gékocsik" is how the program has always spelled it.
    view.setTask(u"Gékocsik betöltése..."_s);
    state.errorLocation = u"frmSplash - Cars"_s;
    if (Result r = LoadCars(state); !r && state.prompter)
        state.prompter->inform(u"A gépkocsik listája nem olvasható, ezért a program üres listával indul.\r\n\r\n%1\r\n\r\n"
                               u"Ha egy gépkocsit újra felvesz, a program felajánlja, hogy átveszi a meglévő "
                               u"könyvtárát az adataival."_s.arg(r.message()),
                               MsgIcon::Exclamation);
    // Every NAV car is costed at the month's published price: the months it lacks go into its list.
    if (const int carried = carryPublishedIntoNavCars(state); carried > 0 && hooks.statusLine)
        hooks.statusLine(u"A NAV-árakkal számoló autók árai közé %1 új havi ár került."_s.arg(carried));

    if (settings.loadCities()) {
        view.setTask(u"Városok betöltése..."_s);
        state.errorLocation = u"frmSplash - Cities"_s;
        LoadCities(
            state, [&](int count) { view.setProgressMaximum(count + 301); },
            [&](int done) {
                view.setProgressValue(view.progressValue() + 1);
                if (done % kCitiesPerRepaint == 0)
                    view.keepResponsive();
            });
    } else {
        state.citiesLoaded = false;
        view.setProgressMaximum(view.progressMaximum() + 300);
    }

    view.setTask(u"Szorzók betöltése..."_s);
    state.errorLocation = u"frmSplash - Multipliers"_s;
    if (Result r = LoadMultipliers(state); !r && state.prompter)
        state.prompter->inform(r.message(), MsgIcon::Exclamation);

    view.setTask(u"Kezelőfelület betöltése..."_s);
    if (hooks.loadMainWindow)
        hooks.loadMainWindow();
    view.setProgressValue(std::min(view.progressValue() + 100, view.progressMaximum()));
    view.setTask(u"Dialógusok inicializálása..."_s);
    if (hooks.loadCarDialog)
        hooks.loadCarDialog();
    view.setProgressValue(std::min(view.progressValue() + 100, view.progressMaximum()));
    if (hooks.loadPartnerDialog)
        hooks.loadPartnerDialog();
    view.setProgressValue(view.progressMaximum());

    view.setTask(u"Majdnem kész..."_s);
    if (hooks.seedRandom)
        hooks.seedRandom();
    state.errorLocation.clear();
    return StartupOutcome::Ready;
}

} // namespace rv
