#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace rv {

// The package's version ("2.2.0"); the captions show the program's shorter "2.2".
QString packageVersionText();

// What `rovanta` was asked on its command line, read before any window system is touched, so
// --help and --version answer on a terminal without a display.
struct StartOptions {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString text; // the help, the version line or the error, ready to print
    QString dataDir;
    bool demo = false;
};

// arguments as in argv, the program's name first. Qt's own window-system options (-platform,
// -display, ...) are passed over and left for the application object.
StartOptions parseStartOptions(const QStringList& arguments);

// False where the program can open no window: on X11/Wayland systems without a display and
// without a platform chosen by -platform or QT_QPA_PLATFORM.
bool hasGraphicalDesktop(const QStringList& arguments, const QProcessEnvironment& env);

// Said on standard error when there is no display.
QString noDesktopMessage();

} // namespace rv
