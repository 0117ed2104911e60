#include "clifixture.h"

#include "editor/calendar.h"
#include "editor/validation.h"
#include "months/sample.h"
#include "printing/paintercanvas.h"
#include "printing/printout.h"
#include "storage/random.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QString pdfText(const QString& path) {
    QProcess p;
    p.start(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, u"-layout"_s, path, u"-"_s});
    if (!p.waitForFinished(30000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
bool havePdfToText() { return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(); }

QStringList lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    // ---- the command line itself -------------------------------------------------------------

    void usageErrorsExitWithTwo_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList{} << u"Használat:"_s;
        QTest::newRow("unknown command") << QStringList{u"list"_s} << u"Ismeretlen parancs: list"_s;
        QTest::newRow("unknown option") << QStringList{u"cars"_s, u"--all"_s} << u"Ismeretlen kapcsoló: --all"_s;
        QTest::newRow("option before command") << QStringList{u"--all"_s, u"cars"_s} << u"Ismeretlen kapcsoló"_s;
        QTest::newRow("extra word") << QStringList{u"months"_s, u"ABC-123"_s, u"x"_s} << u"Fölösleges argumentum: x"_s;
        QTest::newRow("missing month") << QStringList{u"check"_s, u"ABC-123"_s} << u"Kevés argumentum."_s;
        QTest::newRow("both seasons") << QStringList{u"cost"_s, u"ABC-123"_s, u"2024-03"_s, u"--klima"_s, u"--teli"_s}
                                      << u"csak az egyik"_s;
        QTest::newRow("print without kind") << QStringList{u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, u"x.pdf"_s}
                                            << u"pontosan egyet"_s;
        QTest::newRow("print both kinds") << QStringList{u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"--logbook"_s,
                                                         u"--statement"_s, u"-o"_s, u"x.pdf"_s}
                                          << u"pontosan egyet"_s;
        QTest::newRow("print without file") << QStringList{u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"--logbook"_s}
                                            << u"-o FÁJL"_s;
        QTest::newRow("-o without value") << QStringList{u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s}
                                          << u"hiányzik az érték"_s;
        QTest::newRow("export without file") << QStringList{u"export"_s, u"ABC-123"_s, u"2024-03"_s} << u"-o FÁJL"_s;
        QTest::newRow("generate without km") << QStringList{u"generate"_s, u"ABC-123"_s, u"2024-05"_s} << u"--km N"_s;
        QTest::newRow("flag with a value") << QStringList{u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"10"_s,
                                                          u"--force=yes"_s}
                                           << u"nincs értéke"_s;
        QTest::newRow("data dir without value") << QStringList{u"cars"_s, u"--data-dir"_s} << u"--data-dir"_s;
    }
    void usageErrorsExitWithTwo() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        CliFixture f;
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run(args, !args.contains(u"--data-dir"_s));
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(f.snapshot(), before);
    }

    void everyCommandHasHelp_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"cars", "months", "check", "cost", "print", "export", "generate"})
            QTest::newRow(c) << QString::fromLatin1(c);
    }
    void everyCommandHasHelp() {
        QFETCH(QString, command);
        CliFixture f;
        // --help wins over anything else on the line, also over words that would be wrong.
        for (const QStringList& args : {QStringList{command, u"--help"_s}, QStringList{u"-h"_s, command},
                                        QStringList{u"help"_s, command}, QStringList{command, u"nincs"_s, u"-h"_s}}) {
            const CliFixture::Run r = f.run(args);
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.startsWith(u"Használat: rovanta-cli [--data-dir KÖNYVTÁR] "_s + command), qPrintable(r.out));
            QVERIFY(r.out.contains(u"--help"_s));
            QVERIFY(r.err.isEmpty());
        }
        const CliFixture::Run all = f.run({u"--help"_s});
        QCOMPARE(all.code, 0);
        QVERIFY(all.out.contains(u"  "_s + command + u' '));
    }

    void missingDataDirectoryIsRefusedNotCreated() {
        CliFixture f;
        const QString missing = f.dir.filePath(u"nincs"_s);
        const CliFixture::Run r = f.run({u"--data-dir"_s, missing, u"cars"_s}, false);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"Az adatkönyvtár nem található"_s));
        QVERIFY(!QFileInfo::exists(missing));
    }

    // ---- cars and months -----------------------------------------------------------------------

    void carsListsEveryCar() {
        CliFixture f;
        const CliFixture::Run r = f.run({u"cars"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"Kovács Péter\tABC-123\tESZ-95\t7,5\t12,5"_s,
                                            u"Nagy Anna\tXYZ-789\tdízel\t6\t10"_s,
                                            u"Nagy Anna\tQQQ-111\tESZ-98\t5,5\t9"_s}));
    }

    void carsOfAnEmptyOrDamagedDirectory() {
        CliFixture f;
        QFile::remove(f.path(u"user.rvd"_s));
        CliFixture::Run r = f.run({u"cars"_s});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.contains(u"még nincs autó"_s));
        QVERIFY(!QFile::exists(f.path(u"user.rvd"_s)));

        f.write(u"user.rvd"_s, "2\r\n\"Kovács\"\r\n");
        r = f.run({u"cars"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"Az autók listája sérült."_s), qPrintable(r.err));
        QVERIFY(!QFile::exists(f.path(u"user.rvd.hibas"_s))); // the program keeps a copy; we only read
    }

    void carIsNamedByUserOrPlate_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("user name") << u"Kovács Péter"_s << 0 << QString();
        QTest::newRow("plate") << u"ABC-123"_s << 0 << QString();
        QTest::newRow("plate in small letters") << u"abc-123"_s << 0 << QString();
        QTest::newRow("spaces around") << u"  ABC-123 "_s << 0 << QString();
        QTest::newRow("shared user name") << u"Nagy Anna"_s << 1 << u"több autóra is illik"_s;
        QTest::newRow("unknown") << u"Kiss Béla"_s << 1 << u"Nincs ilyen autó: „Kiss Béla”"_s;
        QTest::newRow("empty") << QString() << 1 << u"Nincs ilyen autó"_s;
    }
    void carIsNamedByUserOrPlate() {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(QString, message);
        CliFixture f;
        const CliFixture::Run r = f.run({u"months"_s, name});
        QCOMPARE(r.code, code);
        if (code == 0)
            QVERIFY(r.out.startsWith(u"2024-02\t2024feb.rvn\t104\n"_s));
        else
            QVERIFY2(r.err.contains(message), qPrintable(r.err));
    }

    void monthsListsReadableLogbooksOldestFirst() {
        CliFixture f;
        f.write(CliFixture::car1(u"jovo.rvn"_s), "\"RVN\",\"9.9\"\r\n2030,1,0\r\n0,1\r\n");
        f.write(CliFixture::car1(u"rossz.rvn"_s), "\"RVN\",\"2.2\"\r\nkettő,x\r\n");
        f.write(CliFixture::car1(u"jegyzet.rvn"_s), "\"valami más\"\r\n");
        const CliFixture::Run r = f.run({u"months"_s, u"ABC-123"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"2024-02\t2024feb.rvn\t104"_s, u"2024-03\t2024mar.rvn\t500"_s}));
        QVERIFY2(r.err.contains(u"jovo.rvn fájl valószínűleg Rovanta nyilvántartás"_s), qPrintable(r.err));
        QVERIFY(r.err.contains(u"rossz.rvn fájl sérült"_s));
        QVERIFY(!r.err.contains(u"jegyzet"_s)); // not a logbook: left out silently
        QVERIFY(!r.err.contains(u'\r'));
    }

    void monthsOfACarWithoutDirectory() {
        CliFixture f;
        QDir(f.path(u"Users/XYZ-789"_s)).removeRecursively();
        const CliFixture::Run r = f.run({u"months"_s, u"XYZ-789"_s});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"Az autó könyvtára nem található"_s));
        QVERIFY(!QFileInfo::exists(f.path(u"Users/XYZ-789"_s)));
    }

    // ---- months named on the command line -----------------------------------------------------

    void malformedMonthIsRefusedByEveryMonthCommand_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("month");
        const QStringList commands = {u"check"_s, u"cost"_s, u"print"_s, u"export"_s, u"generate"_s};
        const QStringList months = {u"2024-3"_s, u"2024/03"_s, u"24-03"_s, u"2024-00"_s, u"2024-13"_s, u"0000-01"_s,
                                    u"március"_s, u"2024-03-01"_s};
        for (const QString& c : commands)
            for (const QString& m : months)
                QTest::addRow("%s %s", qPrintable(c), qPrintable(m)) << c << m;
    }
    void malformedMonthIsRefusedByEveryMonthCommand() {
        QFETCH(QString, command);
        QFETCH(QString, month);
        CliFixture f;
        QStringList args = {command, u"ABC-123"_s, month};
        if (command == u"print"_s)
            args << u"--logbook"_s;
        if (command == u"print"_s || command == u"export"_s)
            args << u"-o"_s << f.dir.filePath(u"ki"_s);
        if (command == u"generate"_s)
            args << u"--km"_s << u"100"_s;
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run(args);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"Hibás hónap: „"_s + month + u"”. A hónapot ÉÉÉÉ-HH alakban"_s), qPrintable(r.err));
        QVERIFY(!QFileInfo::exists(f.dir.filePath(u"ki"_s)));
        QCOMPARE(f.snapshot(), before);
    }

    void monthWithoutLogbook() {
        CliFixture f;
        for (const QString& command : {u"check"_s, u"cost"_s}) {
            const CliFixture::Run r = f.run({command, u"ABC-123"_s, u"2024-04"_s});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(u"A(z) 2024-04 hónapnak nincs nyilvántartása"_s), qPrintable(r.err));
        }
    }

    void damagedLogbookIsReportedNotOpened() {
        CliFixture f;
        QByteArray bytes = f.read(CliFixture::car1(u"2024mar.rvn"_s));
        bytes.truncate(bytes.size() / 2);
        f.write(CliFixture::car1(u"2024mar.rvn"_s), bytes);
        const CliFixture::Run r = f.run({u"check"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"A nyilvántartás nem nyitható meg."_s), qPrintable(r.err));
        QVERIFY(r.err.contains(u"2024mar.rvn"_s));
        QVERIFY(!QFile::exists(f.path(u"error.log"_s)));
    }

    void damagedPartnerDatabase() {
        CliFixture f;
        f.write(CliFixture::car1(u"data.rvd"_s), "4\r\n\"Saját cég\"\r\n");
        const CliFixture::Run r = f.run({u"check"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"partneradatbázisa sérült"_s), qPrintable(r.err));
        QFile::remove(f.path(CliFixture::car1(u"data.rvd"_s)));
        QCOMPARE(f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s}).code, 1);
    }

    // ---- check -------------------------------------------------------------------------------

    void checkPrintsTheErrorListAndTheCounts() {
        CliFixture f;
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run({u"check"_s, u"Kovács Péter"_s, u"2024-03"_s});
        QCOMPARE(r.code, 0); // faults are the answer, not a failure
        auto p = f.program(u"2024mar.rvn"_s);
        QVERIFY(p);
        const Validation v = validateMonth(p->s, p->s.month);
        QCOMPARE(v.minor, 1);
        QCOMPARE(v.severe, 1);
        QStringList expected = {u"1 megálló nem szerepel az autó partneradatbázisában, ezért kimarad:"_s,
                                u"  Alfa Bt. - Győr, Ipar út 2/A."_s};
        expected << v.lines << u"1 kisebb hiba."_s << u"1 súlyos hiba."_s;
        QCOMPARE(lines(r.out), expected);
        QCOMPARE(v.lines.first(), u"6. napon Alfa Bt. - Győr, Ipar út 2. és Béta; Zrt. - Szeged között 0 km a távolság."_s);
        // The program would offer to add the stranger; the command line never does.
        QCOMPARE(f.snapshot(), before);
    }

    void checkOfACleanMonth() {
        CliFixture f;
        const CliFixture::Run r = f.run({u"check"_s, u"ABC-123"_s, u"2024-02"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"0 kisebb hiba."_s, u"0 súlyos hiba."_s}));
        QVERIFY(r.err.isEmpty());
    }

    void twoLogbooksOfOneMonthPreferTheProgramsName() {
        CliFixture f;
        StoredLogbook other = CliFixture::logbook(2024, 3);
        f.day(other, 4, {1, 4, 4, 4, 1});
        other.stopWidth = 5;
        f.write(CliFixture::car1(u"2024marc_regi.rvn"_s), serializeLogbook(other));
        const CliFixture::Run r = f.run({u"check"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(u"több nyilvántartása is van (2024mar.rvn, 2024marc_regi.rvn); a(z) 2024mar.rvn"_s),
                 qPrintable(r.err));
        QVERIFY(r.out.contains(u"1 súlyos hiba."_s));
    }

    // ---- cost --------------------------------------------------------------------------------

    void costIsTheEditorsTotal_data() {
        QTest::addColumn<QString>("season");
        QTest::addColumn<bool>("klima");
        QTest::addColumn<bool>("teli");
        QTest::newRow("neither") << QString() << false << false;
        QTest::newRow("air conditioning") << u"--klima"_s << true << false;
        QTest::newRow("winter") << u"--teli"_s << false << true;
    }
    void costIsTheEditorsTotal() {
        QFETCH(QString, season);
        QFETCH(bool, klima);
        QFETCH(bool, teli);
        CliFixture f;
        QStringList args = {u"cost"_s, u"ABC-123"_s, u"2024-03"_s};
        if (!season.isEmpty())
            args << season;
        const CliFixture::Run r = f.run(args);
        QCOMPARE(r.code, 0);
        auto p = f.program(u"2024mar.rvn"_s);
        QVERIFY(p);
        const MonthCost cost = computeMonthCost(p->s, p->s.month, seasonMultiplier(p->s, klima, teli));
        QVERIFY(!cost.missingPrice);
        QVERIFY(cost.total > 0);
        QCOMPARE(lines(r.out), (QStringList{monthKmText(473), costCaption(cost.total)}));
        QCOMPARE(p->s.month.monthKm, 473);
        QVERIFY(r.err.contains(u"Alfa Bt. - Győr, Ipar út 2/A."_s)); // the stop left out
    }

    void costNeedsAPriceForEveryDay() {
        CliFixture f;
        f.write(CliFixture::car1(u"benzin.rvd"_s), serializeFuelPrices({{QDate(2024, 3, 10), 610}}));
        CliFixture::Run r = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(u"Nincs benzinár megadva ehhez a hónaphoz."_s), qPrintable(r.err));
        QVERIFY(r.err.contains(u"Az autó legkorábbi benzinárának napja: 2024.03.10."_s));

        // No price file at all: nothing is created, unlike the program's own load.
        QFile::remove(f.path(CliFixture::car1(u"benzin.rvd"_s)));
        r = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 1);
        QVERIFY(!QFile::exists(f.path(CliFixture::car1(u"benzin.rvd"_s))));

        // A damaged one is reported and left where it is.
        f.write(CliFixture::car1(u"benzin.rvd"_s), "egy\r\n");
        r = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"benzinárait tartalmazó fájl sérült"_s), qPrintable(r.err));
        QCOMPARE(f.read(CliFixture::car1(u"benzin.rvd"_s)), QByteArray("egy\r\n"));
        QVERIFY(!QFile::exists(f.path(CliFixture::car1(u"benzin.rvd.hibas"_s))));
    }

    void missingMultipliersCountAsOneWithoutWritingThem() {
        CliFixture f;
        QFile::remove(f.path(u"Users/szorzo.rvd"_s));
        const CliFixture::Run r = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 0);
        QVERIFY(!QFile::exists(f.path(u"Users/szorzo.rvd"_s)));
        auto p = f.program(u"2024mar.rvn"_s); // the program writes the ones file on its load
        QVERIFY(p);
        QCOMPARE(lines(r.out).value(1), costCaption(computeMonthCost(p->s, p->s.month, 1.0f).total));
    }

    // ---- export ------------------------------------------------------------------------------

    void exportWritesOneRowPerLeg() {
        CliFixture f;
        const QString csvPath = f.dir.filePath(u"marcius.csv"_s);
        const CliFixture::Run r = f.run({u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, csvPath, u"--teli"_s});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(u"(13 út)"_s));
        QFile file(csvPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList rows = QString::fromUtf8(bytes.mid(3)).split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 14);
        QCOMPARE(rows[0], u"Dátum;Honnan;Hova;Partner;Km;Útvonal típusa;Benzinár (Ft/l);Költség (Ft)"_s);

        auto p = f.program(u"2024mar.rvn"_s);
        QVERIFY(p);
        const AppState& s = p->s;
        const float season = seasonMultiplier(s, false, true);
        // Day 4, first leg: 1 -> 2, 31 km, route type 4, the price before the 15th.
        QCOMPARE(rows[1], u"2024-03-04;Budapest, Fő utca 1.;Győr, Ipar út 2.;Alfa Bt.;31;%1;600;%2"_s.arg(
                              routeTypeText(s, 4))
                              .arg(legCost(s, 1, 2, 600, season)));
        // The partner with ";" in the name is quoted; the place without address is the city.
        QVERIFY2(rows[3].startsWith(u"2024-03-05;Budapest, Fő utca 1.;Szeged;\"Béta; Zrt.\";41;"_s), qPrintable(rows[3]));
        // The same partner twice is a leg of 0 km, as the printed logbook shows it.
        QVERIFY2(rows[10].startsWith(u"2024-03-07;Pécs, Tér 3.;Pécs, Tér 3.;Gamma Kft.;0;"_s), qPrintable(rows[10]));
        // Day 20 after the 15th: the new price; the unknown stop is left out.
        QVERIFY(rows[13].startsWith(u"2024-03-20;Győr, Ipar út 2.;Budapest, Fő utca 1.;"_s));
        QVERIFY(rows[13].contains(u";620;"_s));

        qint64 sum = 0;
        qint64 km = 0;
        for (qsizetype i = 1; i < rows.size(); ++i) {
            sum += rows[i].section(u';', -1).toLongLong();
            km += rows[i].section(u';', -4, -4).toLongLong();
        }
        QCOMPARE(sum, computeMonthCost(s, s.month, season).total);
        QCOMPARE(km, 473);
    }

    void exportRefusesAMonthWithoutPrices() {
        CliFixture f;
        f.write(CliFixture::car1(u"benzin.rvd"_s), serializeFuelPrices({{QDate(2024, 4, 1), 610}}));
        const QString csvPath = f.dir.filePath(u"x.csv"_s);
        const CliFixture::Run r = f.run({u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, csvPath});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"Nincs benzinár"_s));
        QVERIFY(!QFile::exists(csvPath));
    }

    void exportToAnUnwritablePlace() {
        CliFixture f;
        const QString csvPath = f.dir.filePath(u"nincs/ilyen/x.csv"_s);
        const CliFixture::Run r = f.run({u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, csvPath});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"A fájl nem írható"_s), qPrintable(r.err));
    }

    // ---- print -------------------------------------------------------------------------------

    void printWritesThePreviewsPdf_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("logbook") << u"--logbook"_s
                                 << QStringList{u"Útnyilvántartás"_s, u"ABC-123 rendszámú gépkocsihoz"_s,
                                                u"2024. március hónapra"_s, u"Összesen: 473 km"_s};
        QTest::newRow("statement") << u"--statement"_s
                                   << QStringList{u"Melléklet: Költségelszámolás"_s, u"7,5 L/100 km"_s,
                                                  u"Általános költség: 12,5 Ft/km"_s};
    }
    void printWritesThePreviewsPdf() {
        QFETCH(QString, kind);
        QFETCH(QStringList, expected);
        CliFixture f;
        const QString pdf = f.dir.filePath(u"ki.pdf"_s);
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run({u"print"_s, u"ABC-123"_s, u"2024-03"_s, kind, u"-o"_s, pdf});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(u"A PDF elkészült"_s));
        QCOMPARE(f.snapshot(), before);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("%PDF"));
        if (!havePdfToText())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString text = pdfText(pdf);
        for (const QString& e : expected)
            QVERIFY2(text.contains(e), qPrintable(e + u"\n---\n"_s + text));
        // The same pages as the program's own PDF of the month.
        auto p = f.program(u"2024mar.rvn"_s);
        QVERIFY(p);
        const QString own = f.dir.filePath(u"program.pdf"_s);
        const Printout which = kind == u"--logbook"_s ? Printout::Logbook : Printout::CostStatement;
        QVERIFY(printToPdf(p->s, p->s.month, which, Season{}, own).ok());
        QCOMPARE(text, pdfText(own));
        if (which == Printout::CostStatement)
            QVERIFY(text.contains(QString::number(computeMonthCost(p->s, p->s.month, 1.0f).total) + u" Ft"_s));
    }

    void printStatementNeedsPrices() {
        CliFixture f;
        f.write(CliFixture::car1(u"benzin.rvd"_s), serializeFuelPrices({}));
        const QString pdf = f.dir.filePath(u"ki.pdf"_s);
        CliFixture::Run r = f.run({u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"--statement"_s, u"-o"_s, pdf});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"Nincs benzinár megadva ehhez a hónaphoz."_s));
        QVERIFY(!QFile::exists(pdf));
        // The logbook has no prices on it: a damaged price file does not stop it.
        f.write(CliFixture::car1(u"benzin.rvd"_s), "sérült");
        r = f.run({u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"--logbook"_s, u"-o"_s, pdf});
        QCOMPARE(r.code, 0);
        QVERIFY(QFile::exists(pdf));
    }

    // ---- generate ----------------------------------------------------------------------------

    void generateIsReproducibleAndTheProgramsSample() {
        CliFixture f;
        const QStringList args = {u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"1200"_s, u"--seed"_s, u"77"_s};
        const CliFixture::Run r = f.run(args);
        QCOMPARE(r.code, 0);
        const QString file = CliFixture::car1(u"2024maj.rvn"_s);
        QVERIFY2(r.out.startsWith(u"Elmentve: "_s), qPrintable(r.out + r.err));
        const QByteArray first = f.read(file);

        // The same seed again (over the month, so --force) gives the same file.
        const CliFixture::Run again = f.run(args + QStringList{u"--force"_s});
        QCOMPARE(again.code, 0);
        QCOMPARE(f.read(file), first);
        QCOMPARE(again.out, r.out);
        // Another seed another month.
        QCOMPARE(f.run({u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"1200"_s, u"--seed"_s, u"78"_s,
                        u"--force"_s})
                     .code,
                 0);
        QVERIFY(f.read(file) != first);

        // What the months window makes of the same request and seed.
        auto p = f.program(QString());
        QVERIFY(p);
        MersenneRandom random(77);
        p->s.random = &random;
        SampleRequest request;
        request.year = 2024;
        request.month = 5;
        request.target = 1200;
        NoProgress progress;
        QCOMPARE(MintaKeszites(p->s, request, progress), SampleOutcome::Generated);
        refreshKilometres(p->s, p->s.month);
        QCOMPARE(first, serializeLogbook(p->s, p->s.month));
        QVERIFY(r.out.contains(u"(%1 km)"_s.arg(p->s.month.monthKm)));

        // The file opens as a logbook and then in the months list.
        StoredLogbook stored;
        f.write(file, first);
        QVERIFY(readLogbookFile(f.path(file), stored).ok());
        QCOMPARE(stored.year, 2024);
        QCOMPARE(stored.month, 5);
        QVERIFY(stored.stopWidth >= 3);
        QVERIFY(stored.stops[0].isEmpty()); // 1 May is a holiday
        QVERIFY(!stored.stops[1].isEmpty());
        QVERIFY(stored.stops[3].isEmpty()); // a Saturday
        QVERIFY(f.run({u"months"_s, u"ABC-123"_s}).out.contains(u"2024-05\t2024maj.rvn\t"_s));
        QCOMPARE(f.run({u"check"_s, u"ABC-123"_s, u"2024-05"_s}).code, 0);
    }

    void generateRefusesToOverwriteWithoutForce() {
        CliFixture f;
        const QByteArray march = f.read(CliFixture::car1(u"2024mar.rvn"_s));
        CliFixture::Run r = f.run({u"generate"_s, u"ABC-123"_s, u"2024-03"_s, u"--km"_s, u"300"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"A(z) 2024-03 hónap már létezik (2024mar.rvn)"_s), qPrintable(r.err));
        QVERIFY(r.err.contains(u"--force"_s));
        QCOMPARE(f.read(CliFixture::car1(u"2024mar.rvn"_s)), march);

        // A month stored under another name counts as existing too.
        QVERIFY(QFile::rename(f.path(CliFixture::car1(u"2024mar.rvn"_s)), f.path(CliFixture::car1(u"marcius.rvn"_s))));
        r = f.run({u"generate"_s, u"ABC-123"_s, u"2024-03"_s, u"--km"_s, u"300"_s});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"(marcius.rvn)"_s));
        r = f.run({u"generate"_s, u"ABC-123"_s, u"2024-03"_s, u"--km"_s, u"300"_s, u"--force"_s, u"--seed"_s, u"1"_s});
        QCOMPARE(r.code, 0);
        QVERIFY(r.err.contains(u"más néven megmaradt: marcius.rvn"_s));
        QVERIFY(QFile::exists(f.path(CliFixture::car1(u"2024mar.rvn"_s))));
        QCOMPARE(f.read(CliFixture::car1(u"marcius.rvn"_s)), march);
    }

    void generateOnChosenDays() {
        CliFixture f;
        const CliFixture::Run r = f.run({u"generate"_s, u"ABC-123"_s, u"2024-06"_s, u"--km"_s, u"600"_s, u"--days"_s,
                                         u"szo, V"_s, u"--seed"_s, u"5"_s});
        QCOMPARE(r.code, 0);
        StoredLogbook stored;
        QVERIFY(readLogbookFile(f.path(CliFixture::car1(u"2024jun.rvn"_s)), stored).ok());
        for (int d = 1; d <= 30; ++d) {
            const int weekday = QDate(2024, 6, d).dayOfWeek();
            QCOMPARE(stored.stops[size_t(d - 1)].isEmpty(), weekday < 6);
        }
    }

    void generateBadValues_data() {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("message");
        QTest::newRow("km letters") << QStringList{u"--km"_s, u"sok"_s} << u"Hibás km: „sok”"_s;
        QTest::newRow("km zero") << QStringList{u"--km"_s, u"0"_s} << u"1 és 20000 közötti"_s;
        QTest::newRow("km too many") << QStringList{u"--km"_s, u"20001"_s} << u"1 és 20000 közötti"_s;
        QTest::newRow("km fraction") << QStringList{u"--km"_s, u"12.5"_s} << u"Hibás km"_s;
        QTest::newRow("unknown day") << QStringList{u"--km"_s, u"100"_s, u"--days"_s, u"H,Q"_s}
                                     << u"Ismeretlen nap: „Q”"_s;
        QTest::newRow("empty days") << QStringList{u"--km"_s, u"100"_s, u"--days"_s, QString()}
                                    << u"Ismeretlen nap"_s;
        QTest::newRow("seed letters") << QStringList{u"--km"_s, u"100"_s, u"--seed"_s, u"x"_s}
                                      << u"Hibás kezdőérték"_s;
        QTest::newRow("seed negative") << QStringList{u"--km"_s, u"100"_s, u"--seed"_s, u"-1"_s}
                                       << u"Hibás kezdőérték"_s;
    }
    void generateBadValues() {
        QFETCH(QStringList, extra);
        QFETCH(QString, message);
        CliFixture f;
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run(QStringList{u"generate"_s, u"ABC-123"_s, u"2024-05"_s} + extra);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(f.snapshot(), before);
    }

    void generateNeedsTwoPartnersAndSomeDistance() {
        CliFixture f;
        PartnerDatabase db;
        db.partners = {f.partners[0]};
        db.distances.reset(1);
        f.write(CliFixture::car1(u"data.rvd"_s), serializeDatabase(db, 1));
        CliFixture::Run r = f.run({u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"100"_s});
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"Nincsenek adatok az adatbázisban."_s));

        db.partners = f.partners;
        db.distances.reset(4); // no distance anywhere: the window asks; nobody answers here
        f.write(CliFixture::car1(u"data.rvd"_s), serializeDatabase(db, 1));
        r = f.run({u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"100"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"Nincs megadava a távolság semelyik két partner között.\nKívánja így"_s), qPrintable(r.err));
        QVERIFY(r.err.contains(u"nemmel felel"_s));
        QVERIFY(!QFile::exists(f.path(CliFixture::car1(u"2024maj.rvn"_s))));
    }

    void generateReportsTheWindowsNotices() {
        CliFixture f;
        // Settings of the program: one try only, so a huge target ends with the notice.
        f.settings->setText(keys::Tries, u"1"_s);
        const CliFixture::Run r =
            f.run({u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"20"_s, u"--seed"_s, u"3"_s});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(u"Túl nagyok a távolságok, nem sikerült\na hibakorláton belül"_s), qPrintable(r.err));
        QVERIFY(QFile::exists(f.path(CliFixture::car1(u"2024maj.rvn"_s))));
    }

    // ---- nothing but the asked-for file is written ---------------------------------------------

    void readingCommandsWriteNothing() {
        CliFixture f;
        // Without the files the program creates on its own load.
        QFile::remove(f.path(u"Users/szorzo.rvd"_s));
        const auto before = f.snapshot();
        const QStringList month = {u"ABC-123"_s, u"2024-03"_s};
        const QList<QStringList> runs = {
            {u"cars"_s},
            {u"months"_s, u"ABC-123"_s},
            QStringList{u"check"_s} + month,
            QStringList{u"cost"_s} + month,
            QStringList{u"export"_s} + month + QStringList{u"-o"_s, f.dir.filePath(u"a.csv"_s)},
            QStringList{u"print"_s} + month + QStringList{u"--logbook"_s, u"-o"_s, f.dir.filePath(u"a.pdf"_s)},
            QStringList{u"print"_s} + month + QStringList{u"--statement"_s, u"-o"_s, f.dir.filePath(u"b.pdf"_s)},
            QStringList{u"cost"_s, u"XYZ-789"_s, u"2024-03"_s}, // no database: refused
        };
        for (const QStringList& args : runs)
            f.run(args);
        QCOMPARE(f.snapshot(), before);
    }

    // ---- the program itself --------------------------------------------------------------------

    void theExecutableRunsWithoutADisplay() {
        const QString exe = QStringLiteral(ROVANTA_BIN_DIR) + u"/rovanta-cli"_s;
        if (!QFile::exists(exe))
            QSKIP("rovanta-cli is not built");
        CliFixture f;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.remove(u"DISPLAY"_s);
        env.remove(u"WAYLAND_DISPLAY"_s);
        const auto run = [&](const QStringList& args) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(exe, QStringList{u"--data-dir"_s, f.data} + args);
            p.waitForFinished(60000);
            return std::make_tuple(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                                   QString::fromUtf8(p.readAllStandardError()));
        };
        auto [code, out, err] = run({u"cars"_s});
        QCOMPARE(code, 0);
        QVERIFY(out.startsWith(u"Kovács Péter\tABC-123\t"_s));
        QVERIFY2(err.isEmpty(), qPrintable(err));
        const QString pdf = f.dir.filePath(u"proc.pdf"_s);
        std::tie(code, out, err) = run({u"print"_s, u"ABC-123"_s, u"2024-03"_s, u"--logbook"_s, u"-o"_s, pdf});
        QCOMPARE(code, 0);
        QVERIFY(QFile::exists(pdf));
        std::tie(code, out, err) = run({u"cost"_s, u"ABC-123"_s, u"2024-3"_s});
        QCOMPARE(code, 1);
        QVERIFY(err.contains(u"Hibás hónap"_s));
        std::tie(code, out, err) = run({u"nincs"_s});
        QCOMPARE(code, 2);
    }
};

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
