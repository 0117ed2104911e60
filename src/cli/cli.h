#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace rv {
class Settings;
}

namespace rv::cli {

// Exit status of every command.
enum ExitCode : int {
    ExitOk = 0,     // done
    ExitFailed = 1, // refused or failed: bad value (car, month, number), damaged or missing file
    ExitUsage = 2,  // wrong command line: unknown command or option, missing or extra words
};

struct CliEnvironment {
    // Where the data directory is looked for without --data-dir; empty: the executable's.
    QString executableDir;
    // The program's settings (the sample generation reads them); null: the user's own store.
    Settings* settings = nullptr;
};

// Runs one command line of rovanta-cli (args without the program name). Results go to out,
// messages to err.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const CliEnvironment& env = {});

} // namespace rv::cli
