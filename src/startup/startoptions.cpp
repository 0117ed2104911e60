#include "startup/startoptions.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
// Qt's options that take a value; the application object reads them itself.
const QStringList kQtValueOptions = {u"platform"_s, u"platformpluginpath"_s, u"platformtheme"_s,
                                     u"plugin"_s,   u"display"_s,            u"style"_s,
                                     u"stylesheet"_s, u"qwindowgeometry"_s, u"geometry"_s,
                                     u"qwindowtitle"_s, u"qwindowicon"_s,   u"session"_s};
const QStringList kQtFlags = {u"reverse"_s, u"widgetcount"_s, u"nograb"_s, u"dograb"_s, u"sync"_s};

QString bareName(const QString& arg) {
    QString name = arg;
    while (name.startsWith(u'-'))
        name.remove(0, 1);
    return name.section(u'=', 0, 0);
}

// Splits off Qt's own options; returns the rest.
QStringList withoutQtOptions(const QStringList& arguments, QString* platform = nullptr) {
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool dashed = i > 0 && a.startsWith(u'-') && a != u"--"_s;
        const QString name = dashed ? bareName(a) : QString();
        if (dashed && kQtValueOptions.contains(name)) {
            QString value;
            if (a.contains(u'='))
                value = a.section(u'=', 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            if (platform && name == u"platform"_s)
                *platform = value;
            continue;
        }
        if (dashed && kQtFlags.contains(name))
            continue;
        rest << a;
    }
    return rest;
}

QString helpText() {
    return u"Használat: rovanta [kapcsolók]\n"
           u"A Rovanta+ útnyilvántartó program: céges gépkocsik havi útnyilvántartása és\n"
           u"üzemanyagköltség-elszámolása. Grafikus asztali környezetben fut; a parancssori\n"
           u"társprogram a rovanta-cli.\n"
           u"\n"
           u"Kapcsolók:\n"
           u"  --data-dir KÖNYVTÁR  Ebben az adatkönyvtárban dolgozik.\n"
           u"  --demo               Bemutató adatokkal indul (a felhasználó adatai mellett,\n"
           u"                       külön könyvtárban; az első indításkor készülnek el).\n"
           u"  -h, --help           Kiírja ezt a leírást.\n"
           u"  -v, --version        Kiírja a program változatát.\n"_s;
}
} // namespace

QString packageVersionText() {
    return u"%1.%2.%3"_s.arg(ROVANTA_VERSION_MAJOR).arg(ROVANTA_VERSION_MINOR).arg(ROVANTA_VERSION_PATCH);
}

StartOptions parseStartOptions(const QStringList& arguments) {
    StartOptions out;
    // Read here rather than by Qt's parser, whose messages are English.
    const QStringList words = withoutQtOptions(arguments);
    bool help = false, version = false, demo = false, dataDirSet = false;
    QString dataDir, fault;
    for (qsizetype i = 1; i < words.size() && fault.isEmpty(); ++i) {
        const QString& w = words[i];
        const bool dashed = w.startsWith(u'-') && w.size() > 1;
        const QString name = dashed ? bareName(w) : QString();
        const bool valued = w.contains(u'=');
        if (!dashed) {
            fault = u"Fölösleges szó a parancssorban: %1"_s.arg(w);
        } else if (w == u"-h"_s || w == u"--help"_s) {
            help = true;
        } else if (w == u"-v"_s || w == u"--version"_s) {
            version = true;
        } else if (w == u"--demo"_s) {
            demo = true;
        } else if (name == u"data-dir"_s && w.startsWith(u"--"_s)) {
            if (valued)
                dataDir = w.section(u'=', 1);
            else if (i + 1 < words.size())
                dataDir = words[++i];
            else
                fault = u"A --data-dir kapcsoló után hiányzik a könyvtár."_s;
            dataDirSet = true;
        } else if (valued && (name == u"demo"_s || name == u"help"_s || name == u"version"_s)) {
            fault = u"A --%1 kapcsoló után nem állhat érték: %2"_s.arg(name, w);
        } else {
            fault = u"Ismeretlen kapcsoló: %1"_s.arg(w);
        }
    }
    if (!fault.isEmpty()) {
        out.action = StartOptions::Action::Error;
        out.text = u"Hibás parancssor. %1\nA kapcsolók leírása: rovanta --help\n"_s.arg(fault);
        return out;
    }
    if (help) {
        out.action = StartOptions::Action::Help;
        out.text = helpText();
        return out;
    }
    if (version) {
        out.action = StartOptions::Action::Version;
        out.text = u"rovanta %1\n"_s.arg(packageVersionText());
        return out;
    }
    if (demo && dataDirSet) {
        out.action = StartOptions::Action::Error;
        out.text = u"A --demo és a --data-dir kapcsoló együtt nem adható meg.\n"_s;
        return out;
    }
    out.dataDir = dataDir;
    out.demo = demo;
    return out;
}

bool hasGraphicalDesktop(const QStringList& arguments, const QProcessEnvironment& env) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    Q_UNUSED(arguments);
    Q_UNUSED(env);
    return true;
#else
    QString platform;
    withoutQtOptions(arguments, &platform);
    if (!platform.isEmpty() || !env.value(u"QT_QPA_PLATFORM"_s).isEmpty())
        return true;
    return !env.value(u"DISPLAY"_s).isEmpty() || !env.value(u"WAYLAND_DISPLAY"_s).isEmpty();
#endif
}

QString noDesktopMessage() {
    return u"A Rovanta+ grafikus asztali környezetet igényel, itt nincs kijelző (a DISPLAY és a\n"
           u"WAYLAND_DISPLAY környezeti változó üres). Indítsa az asztali menüből vagy egy\n"
           u"asztali terminálból a saját felhasználójaként (ne rendszergazdaként). A parancssori\n"
           u"munkához ott a rovanta-cli (rovanta-cli --help).\n"_s;
}

} // namespace rv
