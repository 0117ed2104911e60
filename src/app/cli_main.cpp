#include "app/console.h"
#include "cli/cli.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {
// Qt's own notes (a missing runtime directory and the like) are noise in a scheduled job's mail;
// errors still pass. ROVANTA_CLI_DEBUG shows everything.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg)
        return;
    std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("ROVANTA_CLI_DEBUG"))
        qInstallMessageHandler(quietMessages);
    // The PDF writer needs fonts, not a screen: a scheduled job on a server has none. Windows
    // always has its own, and its fonts come only through it (offscreen there has none).
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QGuiApplication app(argc, argv);
    // The same names as the program: its settings and its per-user data directory.
    QGuiApplication::setOrganizationName(u"Rovanta"_s);
    QGuiApplication::setApplicationName(u"Rovanta"_s);

    const Utf8Console console;
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    const int code = rv::cli::runCli(args, out, err);
    out.flush();
    err.flush();
    return code;
}
