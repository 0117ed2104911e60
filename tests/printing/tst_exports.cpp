#include "model/state.h"
#include "model/yearsummary.h"
#include "printing/exportpath.h"
#include "printing/xlsx/xlsxbook.h"
#include "printing/yearprintout.h"
#include "scriptedprompter.h"
#include "storage/settings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// A year of three months: March unreadable, a share of 87,1 % in January.
YearSummary threeMonths() {
    YearSummary y;
    y.year = 2026;
    YearRow jan;
    jan.month = 1;
    jan.start = 10000;
    jan.km = 1355;
    jan.privateKm = 200;
    jan.cost = 449108;
    YearRow feb;
    feb.month = 2;
    feb.start = 11555;
    feb.km = 980;
    feb.cost = 1120930;
    YearRow mar;
    mar.month = 3;
    mar.unreadable = u"hibás sor"_s;
    y.rows = {jan, feb, mar};
    y.incomplete = true;
    return y;
}

// The process's numbers under the given locale, made when the system lacks it (glibc's
// localedef into a scratch directory that LOCPATH names).
bool useLocale(const char* name, QTemporaryDir& scratch) {
    if (std::setlocale(LC_ALL, name))
        return true;
    const QString localedef = QStandardPaths::findExecutable(u"localedef"_s);
    if (localedef.isEmpty())
        return false;
    QProcess p;
    p.start(localedef, {u"-i"_s, u"hu_HU"_s, u"-f"_s, u"UTF-8"_s, scratch.filePath(QString::fromLatin1(name))});
    p.waitForFinished(60000);
    qputenv("LOCPATH", QFile::encodeName(scratch.path()));
    return std::setlocale(LC_ALL, name) != nullptr;
}

} // namespace

// The workbook as bytes under two locales and as a spreadsheet reader sees its cells; where and
// under what name a file is offered.
class ExportsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("SOURCE_DATE_EPOCH", "1796083200"); }
    void cleanupTestCase() { std::setlocale(LC_ALL, "C"); }

    void sameBytesUnderEveryLocale() {
#ifdef _WIN32
        QSKIP("the Hungarian locale is made with glibc's localedef");
#endif
        QTemporaryDir scratch;
        const SheetTable table = yearTable(threeMonths());
        QByteArray plain;
        std::setlocale(LC_ALL, "C");
        QVERIFY(xlsxBytes(table, plain));
        QVERIFY2(useLocale("hu_HU.UTF-8", scratch), "no hu_HU.UTF-8 locale: install the locales package");
        char probe[16];
        std::snprintf(probe, sizeof probe, "%g", 0.7);
        QCOMPARE(probe, "0,7"); // else this test would prove nothing
        QByteArray hungarian;
        QTest::qSleep(1100); // a second later: the creation time comes from the environment
        QVERIFY(xlsxBytes(table, hungarian));
        // The desktop's locale is left as it was.
        std::snprintf(probe, sizeof probe, "%g", 0.7);
        QCOMPARE(probe, "0,7");
        std::setlocale(LC_ALL, "C");
        QVERIFY(plain.size() > 1000);
        QVERIFY(plain == hungarian);
    }

    void readerSeesNumbersDatesAndShares() {
        const QString python = u"/usr/bin/python3"_s;
        if (!QFile::exists(python))
            QSKIP("no /usr/bin/python3");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"ev.xlsx"_s);
        QByteArray bytes;
        QVERIFY(xlsxBytes(yearTable(threeMonths()), bytes));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        f.close();
        QProcess p;
        p.start(python, {u"-c"_s, uR"(import sys, json, openpyxl, datetime
ws = openpyxl.load_workbook(sys.argv[1]).active
def cell(c):
    v = c.value
    if isinstance(v, datetime.datetime): v = v.strftime("date %Y-%m-%d")
    return [v, c.number_format]
print(json.dumps({"title": ws.title, "freeze": ws.freeze_panes,
                  "rows": [[cell(c) for c in row] for row in ws.iter_rows()]}))
)"_s, path});
        QVERIFY(p.waitForFinished(60000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData()); // python3-openpyxl missing?
        const QJsonObject book = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        QCOMPARE(book[u"title"_s].toString(), u"2026. év"_s);
        QCOMPARE(book[u"freeze"_s].toString(), u"A2"_s);
        const QJsonArray rows = book[u"rows"_s].toArray();
        const auto at = [&](int row, int col) { return rows[row].toArray()[col].toArray(); };
        QCOMPARE(at(0, 7)[0].toString(), u"Üzleti arány"_s);
        // January: 2026-01-01 as a date; readings, km and cost as numbers with their units.
        QCOMPARE(at(1, 0)[0].toString(), u"date 2026-01-01"_s);
        QCOMPARE(at(1, 0)[1].toString(), u"yyyy.mm."_s);
        QCOMPARE(at(1, 1)[0].toDouble(), 10000.0);
        QCOMPARE(at(1, 1)[1].toString(), u"#,##0\" km\""_s);
        QCOMPARE(at(1, 3)[0].toDouble(), 11555.0); // 10000 + 1355 + 200
        QCOMPARE(at(2, 4)[0].toDouble(), 1120930.0);
        QCOMPARE(at(2, 4)[1].toString(), u"#,##0\" Ft\""_s);
        // 1355 of 1555 km is 87,1 %: the fraction, shown as a percentage.
        QCOMPARE(at(1, 7)[0].toDouble(), 0.871);
        QCOMPARE(at(1, 7)[1].toString(), u"0.0%"_s);
        QCOMPARE(at(2, 7)[0].toDouble(), 1.0);
        // The unreadable month and the year without totals keep their dashes as text.
        QCOMPARE(at(3, 2)[0].toString(), u"–"_s);
        QCOMPARE(at(3, 7)[0].toString(), u"–"_s);
        QCOMPARE(at(4, 0)[0].toString(), u"Összesen"_s);
        QCOMPARE(at(4, 7)[0].toString(), u"–"_s);
        QCOMPARE(at(5, 1)[0].toDouble(), 10000.0);
    }

    // The CSV writes a share as every other output does.
    void shareAsText() {
        QCOMPARE(cellText(SheetCell::share(871), CellFormat::Percent), u"87,1 %"_s);
        QCOMPARE(cellText(SheetCell::share(1000), CellFormat::Percent), u"100,0 %"_s);
        QCOMPARE(cellText(SheetCell::share(5), CellFormat::Percent), u"0,5 %"_s);
    }

    void oneNameForEveryFile() {
        QCOMPARE(exportFileName(u" AE KB-412 "_s, 2026, 3, 0, u"utnyilvantartas"_s, u"pdf"_s),
                 u"AE_KB-412_2026_03_utnyilvantartas.pdf"_s);
        QCOMPARE(exportFileName(u"ÁB/123"_s, 2026, 3, 7, u"kikuldetesi_rendelveny"_s, u"pdf"_s),
                 u"ÁB_123_2026_03_07_kikuldetesi_rendelveny.pdf"_s);
        QCOMPARE(exportFileName(QString(), 2026, 0, 0, u"eves"_s, u"xlsx"_s), u"2026_eves.xlsx"_s);
    }

    // The dialog opens in Documents, then where the last file of the same kind went; never in the
    // current folder, which is the program's data folder.
    void dialogsStartInDocumentsThenTheLastFolder() {
        QTemporaryDir dir;
        const QString docs = dir.filePath(u"Dokumentumok"_s);
        const QString elsewhere = dir.filePath(u"konyveles"_s);
        QVERIFY(QDir().mkpath(docs) && QDir().mkpath(elsewhere) && QDir().mkpath(dir.filePath(u"config"_s)));
        QFile dirs(dir.filePath(u"config/user-dirs.dirs"_s));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOCUMENTS_DIR=\"" + QFile::encodeName(docs) + "\"\n");
        dirs.close();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(u"config"_s)));

        AppState s;
        ScriptedPrompter prompter;
        const auto settings = Settings::openFile(dir.filePath(u"rovanta.ini"_s));
        s.prompter = &prompter;
        s.settings = settings.get();
        prompter.answerFile(elsewhere + u"/marcius"_s); // no extension typed
        QCOMPARE(askExportPath(s, u"Mentés"_s, u"A_2026_03_x.pdf"_s, QString()), elsewhere + u"/marcius.pdf"_s);
        QCOMPARE(prompter.suggestedFiles.value(0), docs + u"/A_2026_03_x.pdf"_s);
        prompter.answerFile(QString()); // cancelled
        QCOMPARE(askExportPath(s, u"Mentés"_s, u"A_2026_04_x.pdf"_s, QString()), QString());
        QCOMPARE(askExportPath(s, u"Mentés"_s, u"A_2026_eves.xlsx"_s, QString()), QString());
        QCOMPARE(prompter.suggestedFiles.mid(1),
                 (QStringList{elsewhere + u"/A_2026_04_x.pdf"_s, docs + u"/A_2026_eves.xlsx"_s}));
        // A remembered folder that is gone, and no Documents: home.
        QVERIFY(QDir(elsewhere).removeRecursively() && QDir(docs).removeRecursively());
        QCOMPARE(exportStartFolder(s.settings, u"pdf"_s), QDir::homePath());
    }
};

QTEST_GUILESS_MAIN(ExportsTest)
#include "tst_exports.moc"
