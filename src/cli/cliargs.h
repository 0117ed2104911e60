#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace rv::cli {

// An option a command accepts, as typed: "-o", "--km", "--force".
struct OptionDef {
    QString name;
    bool takesValue = false;
};

// A command line split into the words and the options of one command.
struct ParsedArgs {
    QStringList positional;
    QMap<QString, QString> values; // options with a value, the last one given wins
    QSet<QString> flags;           // options without a value
    bool help = false;             // -h or --help anywhere
    QString error;                 // a wrong usage, in words for the user; empty when fine

    bool has(const QString& option) const { return flags.contains(option) || values.contains(option); }
    QString value(const QString& option) const { return values.value(option); }
};

// Splits args by the options given; "--name=value" is taken for options with a value, "--"
// ends the options. Unknown options and missing values are reported in error.
ParsedArgs parseArgs(const QStringList& args, const QList<OptionDef>& options);

} // namespace rv::cli
