#pragma once

#include "cli.h"
#include "cliargs.h"
#include "streamprompter.h"

#include "storage/result.h"

#include <QList>
#include <QString>
#include <QTextStream>

namespace rv {
struct AppState;
struct MonthLog;
struct MonthReckoning;
} // namespace rv

namespace rv::cli {

// What a command sees: the streams, the environment and the data directory.
struct Context {
    QTextStream& out;
    QTextStream& err;
    const CliEnvironment& env;
    QString programDir;
};

struct OptionHelp {
    OptionDef def;
    QString argument; // shown after the option, e.g. "FÁJL"
    QString text;
};

// One line of the table of commands in cli.cpp; a command kept in a file of its own gives its
// line through a function.
struct Command {
    QString name;
    QString arguments; // the synopsis after the command name
    QString summary;   // one line for the list of commands
    QString details;   // the rest of its help
    QList<OptionHelp> options;
    int minWords = 0;
    int maxWords = 0;
    int (*run)(Context&, const ParsedArgs&) = nullptr;
};

// The table of commands, in the order of the help; the manual page is written from it too.
const QList<Command>& commandTable();

inline int failed(Context& c, const QString& message) {
    c.err << StreamPrompter::plainText(message) << Qt::endl;
    return ExitFailed;
}
inline int failed(Context& c, const Result& r) {
    return failed(c, r.message());
}

// A month whose cost is doubtful (see MonthReckoning::verdict): its doubts told, and exit 1 with
// the fix unless --elfogad. ExitOk when the month may go on.
int verdictGate(Context& c, const MonthReckoning& r, const ParsedArgs& a);
// The --elfogad option of the commands that show a month's cost.
const OptionHelp& acceptPriceOption();

} // namespace rv::cli
