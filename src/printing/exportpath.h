#pragma once

#include <QString>

namespace rv {

struct AppState;
class Settings;

// Every file the program offers to save is named one way: the plate (a character that is not a
// letter, a digit or a hyphen made "_"), the year, the month and day when there are, and what it
// holds: "AE_KB-412_2026_03_utnyilvantartas.pdf", "AE_KB-412_2026_eves.xlsx".
QString exportFileName(const QString& plate, int year, int month, int day, const QString& what,
                       const QString& extension);

// The folder a save dialog opens in: the last one a file of this extension went to, else the
// user's Documents, else home. Never the program's own data folder.
QString exportStartFolder(const Settings* settings, const QString& extension);
void rememberExportFolder(Settings* settings, const QString& extension, const QString& path);

// Asks where to save a file offered under the given name: the extension added when the user
// typed none, the folder remembered for its kind. Empty when cancelled.
QString askExportPath(const AppState& s, const QString& caption, const QString& suggestedName, const QString& filter);

} // namespace rv
