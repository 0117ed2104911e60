#include "startup/startup.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

struct Ran {
    int code = -1;
    QString out;
};
// Without a display, as on a server; dataHome is the per-user data location of the program run.
Ran run(const QString& program, const QStringList& args, const QString& dataHome = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
        env.remove(name);
    if (!dataHome.isEmpty())
        env.insert(u"XDG_DATA_HOME"_s, dataHome);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    Ran r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAll());
    return r;
}

// The lines of a manual page's example blocks (.nf … .fi under .SH PÉLDÁK), "\\-" read as "-".
QStringList manExamples(const QString& page) {
    QStringList lines;
    bool examples = false;
    bool block = false;
    for (QString line : page.split(u'\n')) {
        if (line.startsWith(u".SH"_s))
            examples = line == u".SH PÉLDÁK"_s;
        else if (examples && (line == u".nf"_s || line == u".fi"_s))
            block = line == u".nf"_s;
        else if (block && !line.startsWith(u'.'))
            lines << line.replace(u"\\-"_s, u"-"_s);
    }
    return lines;
}

} // namespace

// The build installed into a throwaway prefix, as `cmake --install` and the package lay it out.
class InstallTest : public QObject {
    Q_OBJECT
    QTemporaryDir prefix;
    QString at(const QString& relative) const { return prefix.filePath(relative); }

    // Shell lines copied as they stand, one after the other under "set -e", on a fresh home
    // (<name>/home) with the installed programs first on the path.
    Ran runExamples(const QString& name, const QStringList& lines) const {
        QDir().mkpath(at(name + u"/home"_s));
        QFile f(at(name + u"/run.sh"_s));
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(u"set -e\nexport HOME='%1' PATH='%2':\"$PATH\"\ncd \"$HOME\"\n%3\n"_s
                    .arg(at(name + u"/home"_s), at(u"bin"_s), lines.join(u'\n'))
                    .toUtf8());
        f.close();
        return run(u"sh"_s, {u"-x"_s, f.fileName()});
    }

private slots:
    void initTestCase() {
        const Ran r = run(QStringLiteral(ROVANTA_CMAKE),
                          {u"--install"_s, QStringLiteral(ROVANTA_BUILD_DIR), u"--prefix"_s, prefix.path()});
        QVERIFY2(r.code == 0, qPrintable(r.out));
    }

    void everyFileIsInItsPlace() {
        QStringList files = {u"bin/rovanta"_s, u"bin/rovanta-cli"_s, u"share/rovanta/cities.rvd"_s,
                             u"share/rovanta/nav-uzemanyagarak.tsv"_s, u"share/applications/org.example.rovanta.desktop"_s,
                             u"share/metainfo/org.example.rovanta.metainfo.xml"_s,
                             u"share/icons/hicolor/scalable/apps/org.example.rovanta.svg"_s, u"share/doc/rovanta/copyright"_s,
                             u"share/doc/rovanta/changelog.gz"_s}; // the manual pages: manualPages
        for (int size : {16, 32, 48, 64, 128, 256})
            files << u"share/icons/hicolor/%1x%1/apps/org.example.rovanta.png"_s.arg(size);
        for (const QString& f : files)
            QVERIFY2(QFileInfo(at(f)).isFile(), qPrintable(f));
        QVERIFY(QFileInfo(at(u"bin/rovanta-cli"_s)).isExecutable());
        QVERIFY(!QFileInfo::exists(at(u"bin/cities.rvd"_s))); // run-time files live under share/
    }

    // The installed program reads its city list from share/, and keeps its data out of bin/
    // even where bin/ is writable (as for root).
    void theInstalledProgramFindsItsFiles() {
        const QString bin = at(u"bin"_s);
        QCOMPARE(shippedFile(u"cities.rvd"_s, bin), at(u"share/rovanta/cities.rvd"_s));
        QByteArray data;
        QStringList cities;
        QVERIFY(readWholeFile(shippedFile(u"cities.rvd"_s, bin), data).ok() && parseCities(data, u"cities.rvd"_s, cities).ok());
        QVERIFY(cities.contains(u"Kecskemét"_s) && cities.size() > 3000 && QFileInfo(bin).isWritable());
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(!resolveProgramDir(QString(), bin).startsWith(prefix.path()));

        const QString demo = at(u"demo"_s);
        const QString cli = at(u"bin/rovanta-cli"_s);
        Ran r = run(cli, {u"demo"_s, demo}, at(u"home"_s));
        QVERIFY2(r.code == 0, qPrintable(r.out));
        const QString february = u"%1-02"_s.arg(QDate::currentDate().year() - 1);
        r = run(cli, {u"--data-dir"_s, demo, u"cost"_s, u"RVN-482"_s, february});
        QVERIFY2(r.code == 0 && r.out.contains(u"Összes költség: "_s), qPrintable(r.out));
        r = run(cli, {u"--data-dir"_s, demo, u"print"_s, u"RVN-482"_s, february, u"--logbook"_s, u"-o"_s, at(u"x.pdf"_s)});
        QVERIFY2(r.code == 0 && QFileInfo(at(u"x.pdf"_s)).size() > 1000, qPrintable(r.out));
        QCOMPARE(run(cli, {u"nincs"_s}).code, 2);
    }

    // As under `sudo -i` or ssh: the options answer, and the program says in words that it needs a
    // desktop instead of aborting; nothing is made on the way.
    void withoutADisplay() {
        const QString gui = at(u"bin/rovanta"_s);
        Ran r = run(gui, {u"--version"_s});
        QCOMPARE(std::pair(r.code, r.out), std::pair(0, u"rovanta 2.2.0\n"_s));
        QCOMPARE(run(at(u"bin/rovanta-cli"_s), {u"--version"_s}).out, u"rovanta-cli 2.2.0\n"_s);
        r = run(gui, {u"--help"_s});
        QVERIFY2(r.code == 0 && r.out.contains(u"--demo"_s) && r.out.contains(u"--data-dir KÖNYVTÁR"_s), qPrintable(r.out));
        r = run(gui, {u"--demo"_s}, at(u"nodisplay"_s));
        QVERIFY2(r.code == 1 && r.out.contains(u"grafikus asztali környezetet igényel"_s) && !QFileInfo::exists(at(u"nodisplay"_s)),
                 qPrintable(r.out));
        QCOMPARE(std::pair(run(gui, {u"--demo"_s, u"--data-dir"_s, at(u"x"_s)}).code, run(gui, {u"--nincs-ilyen"_s}).code),
                 std::pair(2, 2));
    }

    // Every command of the table is in the Hungarian manual page, the English ones point to it,
    // and roff reads them all without a complaint.
    void manualPages() {
        for (const QString& page : {u"hu/man1/rovanta"_s, u"hu/man1/rovanta-cli"_s, u"man1/rovanta"_s, u"man1/rovanta-cli"_s}) {
            const QString file = at(u"share/man/%1.1.gz"_s.arg(page));
            const Ran text = run(u"gzip"_s, {u"-dc"_s, file});
            QCOMPARE(text.code, 0);
            QVERIFY(!text.out.contains(u'@') && !text.out.contains(u"%%"_s));
            if (page == u"hu/man1/rovanta-cli"_s)
                for (const char* command :
                     {"cars", "months", "check", "cost", "print", "export", "generate", "demo", "prices", "year"})
                    QVERIFY2(text.out.contains(u".SS \"%1"_s.arg(QLatin1StringView(command))), command);
            if (page.startsWith(u"man1"_s))
                QVERIFY(text.out.contains(u"man \\-L hu"_s));
            if (QStandardPaths::findExecutable(u"groff"_s).isEmpty())
                continue;
            const Ran roff = run(u"sh"_s, {u"-c"_s, u"gzip -dc \"$0\" | groff -man -K utf8 -T utf8 -ww -z"_s, file});
            QVERIFY2(roff.code == 0 && roff.out.isEmpty(), qPrintable(roff.out));
        }
    }

    // The examples of rovanta-cli's page, copied as they stand into a shell one after the other,
    // on a fresh home, with the installed programs and files in place of /usr's.
    void manualPageExamplesRun() {
        const Ran page = run(u"gzip"_s, {u"-dc"_s, at(u"share/man/hu/man1/rovanta-cli.1.gz"_s)});
        QStringList lines = manExamples(page.out);
        for (QString& line : lines)
            line.replace(u"\\e"_s, u"\\"_s).replace(u"/usr/share/"_s, at(u"share/"_s));
        QVERIFY2(lines.size() >= 14 && lines.first().startsWith(u"ev="_s), qPrintable(lines.join(u'\n')));
        const Ran r = runExamples(u"examples"_s, lines);
        QVERIFY2(r.code == 0, qPrintable(r.out));
        for (const char* made : {"aprilis.pdf", "elszamolas.pdf", "aprilis.csv", "ev.xlsx"})
            QVERIFY2(QFileInfo(at(u"examples/home/%1"_s.arg(QLatin1StringView(made)))).size() > 100, made);
    }

    // The README's command-line examples, as they stand, one after the other on a fresh home with
    // the installed programs; the year's lines have the columns the README names.
    void readmeExamplesRun() {
        QFile readme(QStringLiteral(ROVANTA_TEST_DATA "/../../README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QStringList lines;
        bool section = false;
        for (const QString& line : QString::fromUtf8(readme.readAll()).split(u'\n')) {
            if (line.startsWith(u"## "_s))
                section = line == u"## Parancssor"_s;
            else if (section && line.startsWith(u"    "_s))
                lines << line.mid(4);
            else if (section && !lines.isEmpty() && !line.isEmpty())
                break; // the first block only
        }
        QVERIFY2(lines.size() >= 15 && lines.first().startsWith(u"ev="_s), qPrintable(lines.join(u'\n')));
        const Ran r = runExamples(u"readme"_s, lines);
        QVERIFY2(r.code == 0, qPrintable(r.out));
        for (const char* made : {"marcius.pdf", "rendelveny.pdf", "nap4.pdf", "marcius.csv", "marcius.xlsx", "ev.xlsx"})
            QVERIFY2(QFileInfo(at(u"readme/home/%1"_s.arg(QLatin1StringView(made)))).size() > 100, made);
        int months = 0;
        for (const QString& line : r.out.split(u'\n')) {
            const qsizetype fields = line.split(u'\t').size();
            if (QRegularExpression(u"^\\d{4}-\\d\\d\\t-?\\d"_s).match(line).hasMatch() && !line.contains(u"rvn"_s)) {
                QVERIFY2(fields == 7 && line.endsWith(u" %"_s), qPrintable(line));
                ++months;
            } else if (line.startsWith(u"Összesen\t"_s)) {
                QVERIFY2(fields == 5, qPrintable(line));
            }
        }
        QCOMPARE(months, 3);
    }

    // The examples of rovanta's page start the program and keep it running (with the offscreen
    // platform in place of a desktop): no refused option, no failed start.
    void programPageExamplesStart() {
        const Ran page = run(u"gzip"_s, {u"-dc"_s, at(u"share/man/hu/man1/rovanta.1.gz"_s)});
        const QStringList lines = manExamples(page.out);
        QVERIFY2(lines.size() >= 2, qPrintable(page.out));
        QTemporaryDir home;
        for (const QString& line : lines) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"XDG_DATA_HOME"_s, u"XDG_CONFIG_HOME"_s})
                env.remove(name);
            env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
            env.insert(u"HOME"_s, home.path());
            env.insert(u"PATH"_s, at(u"bin"_s) + u':' + env.value(u"PATH"_s));
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(home.path());
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(u"sh"_s, {u"-c"_s, u"exec "_s + line});
            QVERIFY(p.waitForStarted());
            const bool ended = p.waitForFinished(8000);
            const QString said = QString::fromUtf8(p.readAll());
            p.kill();
            p.waitForFinished();
            QVERIFY2(!ended, qPrintable(line + u": "_s + said));
        }
        QVERIFY(QFile::exists(home.filePath(u".local/share/Rovanta/Rovanta-bemutato/user.rvd"_s)));
    }

    // With the validators that are installed (desktop-file-utils, appstream); the desktop entry's
    // validator is quiet when all is well.
    void desktopEntryAndMetainfoAreValid() {
        int checked = 0;
        for (const auto& [tool, args] :
             {std::pair{u"desktop-file-validate"_s, QStringList{at(u"share/applications/org.example.rovanta.desktop"_s)}},
              {u"appstreamcli"_s, QStringList{u"validate"_s, u"--no-net"_s, u"--pedantic"_s,
                                              at(u"share/metainfo/org.example.rovanta.metainfo.xml"_s)}}}) {
            const QString exe = QStandardPaths::findExecutable(tool);
            if (exe.isEmpty()) {
                qWarning("%s is not installed: its file is not checked", qPrintable(tool));
                continue;
            }
            const Ran r = run(exe, args);
            QVERIFY2(r.code == 0 && (tool == u"appstreamcli"_s || r.out.isEmpty()), qPrintable(r.out));
            ++checked;
        }
        if (checked == 0)
            QSKIP("neither desktop-file-validate nor appstreamcli is installed");
    }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
