// Writes rovanta-cli.1 from its template: the COMMANDS section comes from the command line's own
// table, so every command and option it knows is in the manual page.
#include "cli/command.h"
#include "storage/fileio.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using namespace rv::cli;

namespace {

// Text as roff reads it: backslashes kept, a dash starting an option a real minus (so it can be
// copied), no line taken for a request.
QString roff(QString text) {
    text.replace(u'\\', u"\\e"_s);
    static const QRegularExpression optionDash(u"(^|[\\s\\[(|,])-"_s);
    for (int i = 0; i < 2; ++i) // "--" needs two passes: the second dash follows the first
        text.replace(optionDash, u"\\1\\-"_s);
    text.replace(u"\\--"_s, u"\\-\\-"_s);
    text.replace(u'"', u"\\(dq"_s);
    if (text.startsWith(u'.') || text.startsWith(u'\''))
        text.prepend(u"\\&"_s);
    return text;
}

QString commandSection() {
    QStringList lines;
    for (const Command& c : commandTable()) {
        lines << u".SS \"%1%2\""_s.arg(roff(c.name),
                                       c.arguments.isEmpty() ? QString() : u' ' + roff(c.arguments));
        QString summary = c.summary;
        if (!summary.isEmpty())
            summary[0] = summary[0].toUpper();
        lines << roff(summary + u'.') << u".PP"_s << roff(c.details);
        for (const OptionHelp& o : c.options) {
            lines << u".TP"_s;
            lines << (o.argument.isEmpty() ? u".B %1"_s.arg(roff(o.def.name))
                                           : u".BI \"%1 \" %2"_s.arg(roff(o.def.name), roff(o.argument)));
            lines << roff(o.text);
        }
    }
    return lines.join(u'\n');
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_manpage TEMPLATE OUTPUT\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QString page = QString::fromUtf8(in.readAll());
    page.replace(u"%%COMMANDS%%"_s, commandSection());
    // The build folder of the page is the folder it may write in.
    const QString out = QString::fromLocal8Bit(argv[2]);
    const rv::Result r = rv::saveWholeFile(QFileInfo(out).absolutePath(), out, page.toUtf8());
    if (!r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.message()));
        return 1;
    }
    return 0;
}
