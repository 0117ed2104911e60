#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLockFile;

namespace rv {

struct AppState;

// What the splash window shows while the start-up runs.
class StartupView {
public:
    virtual ~StartupView() = default;
    virtual void setTask(const QString& text) = 0;
    virtual void setTitles(const QString& productName, const QString& version) = 0;
    virtual int progressMaximum() const = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual int progressValue() const = 0;
    virtual void setProgressValue(int value) = 0;
    // Lets pending window events run so the window stays painted.
    virtual void keepResponsive() = 0;
};

// The windows the start-up pre-loads, and the conversion of the older layout (it returns false
// when the user declined, which ends the program; a failed conversion was told and the start-up
// goes on).
struct StartupHooks {
    std::function<bool(AppState&)> convertOlderLayout;
    std::function<void()> loadMainWindow;
    std::function<void()> loadCarDialog;
    std::function<void()> loadPartnerDialog;
    std::function<void()> seedRandom;
    // One line for the main window's status bar about what the start-up did (prices added).
    std::function<void(const QString& line)> statusLine;
};

enum class StartupOutcome {
    Ready,
    AlreadyRunning,
    Declined,      // the conversion of the older layout was declined
    NoDataDirectory // the data directory cannot be made or written (the user was told)
};

// The data directory: --data-dir when given, else the executable's directory when it is
// writable and not an installed tree's, else the per-user data location. Always absolute, with
// a trailing "/".
QString resolveProgramDir(const QString& dataDirArgument, const QString& executableDir);

// Runs the whole start-up on programDir. On Ready, lock holds the single-instance lock for the
// rest of the run.
StartupOutcome runStartup(AppState& state, const QString& programDir, StartupView& view, const StartupHooks& hooks,
                          std::unique_ptr<QLockFile>& lock);

// Step 8: Users/ with the four published-price files, each given the NAV months it lacks.
// Returns the number of prices added.
int prepareUsersDirectory(AppState& state);

} // namespace rv
