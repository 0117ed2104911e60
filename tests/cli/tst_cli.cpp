#include "cli/csv.h"
#include "cli/sheets.h"
#include "clifixture.h"
#include "model/reckoning.h"
#include "symlink.h"
#include "editor/calendar.h"
#include "printing/spreadsheet.h"
#include "startup/demodata.h"
#include "storage/datafiles.h"
#include "storage/navprices.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QStringList lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

// The rows of a CSV file for a spreadsheet: UTF-8 after a byte order mark (none without one).
QStringList csvRows(const QString& path) {
    QFile f(path);
    const QByteArray b = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    return b.startsWith("\xEF\xBB\xBF") ? QString::fromUtf8(b.mid(3)).split(u"\r\n"_s, Qt::SkipEmptyParts) : QStringList();
}

struct Refusal {
    QStringList args;
    QString file; // replaced before the run; removed when bytes is null, a FIFO when "FIFO"
    QByteArray bytes;
    int code;
    QString message;
};

// A command on the first car's March 2024.
QStringList march(const QString& command, const QStringList& more = {}) {
    return QStringList{command, u"ABC-123"_s, u"2024-03"_s} + more;
}

const QByteArray kB95 = "2\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n591\r\n";
const QByteArray kHeader = "year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n";
const QByteArray kDecember = "2025\t12\t580\t590\t630\t330\t800\tx\n";

struct Fixture : CliFixture {
    Fixture() {
        write(u"Users/b95.rvd"_s, kB95);
        write(u"Users/b98.rvd"_s, "1\r\n#2025-10-01#\r\n640\r\n");
        write(u"Users/bdiz.rvd"_s, "1\r\n#2025-10-01#\r\n612\r\n");
        write(u"Users/bkev.rvd"_s, "1\r\n#2025-10-01#\r\n655\r\n");
    }
};

// tests/data/cli-year over the fleet: the first car with only the legs 1 -> 2 (40 km) and 2 -> 1
// (80 km), both of route type 1 (multiplier 1): at 600 Ft/l a round trip costs 40 * 7.5 / 100 * 600 +
// 40 * 12.5 + 80 * 7.5 / 100 * 600 + 80 * 12.5 = 6900 Ft, at 620 Ft/l 7080 Ft.
//   2023-12 start 0:     day 4 1-2-1                    120 km, no price that year
//   2024-01 start 10000: days 2, 3 1-2-1                240 km, 13800 Ft
//   2024-02 start 10240: day 5 1-2-1                    120 km,  6900 Ft (follows on)
//   2024-03 start 10300: days 14 (600), 15 (620) 1-2-1  240 km, 13980 Ft (February closed at 10360)
struct YearFixture : CliFixture {
    YearFixture() : CliFixture({u"cli-year"_s}) {}
};

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    // A refused command line changes nothing and writes no output file ("OUT").
    void refused_data() {
        QTest::addColumn<Refusal>("c");
        const QString prices = CliFixture::car1(u"benzin.rvd"_s);
        const QString db = CliFixture::car1(u"data.rvd"_s);
        const QByteArray none = QString::fromLatin1(testData(u"cli/Users/ABC-123/data.rvd"_s)) // every distance 0
                                    .replace(QRegularExpression(u"\n\\d+,"_s), u"\n0,"_s).toLatin1();
        const QStringList may = {u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s};
        const auto row = [](const char* name, const QStringList& args, int code, const QString& message,
                            const QString& file = {}, const QByteArray& bytes = {}) {
            QTest::newRow(name) << Refusal{args, file, bytes, code, message};
        };
        row("nothing", {}, 2, u"Használat:"_s);
        row("unknown command", {u"list"_s}, 2, u"Ismeretlen parancs: list"_s);
        row("unknown option", {u"cars"_s, u"--all"_s}, 2, u"Ismeretlen kapcsoló: --all"_s);
        row("missing month", {u"check"_s, u"ABC-123"_s}, 2, u"Kevés argumentum."_s);
        row("both seasons", march(u"cost"_s, {u"--klima"_s, u"--teli"_s}), 2, u"csak az egyik"_s);
        row("both printouts", march(u"print"_s, {u"--logbook"_s, u"--statement"_s, u"-o"_s, u"OUT"_s}), 2,
            u"pontosan egyet"_s);
        row("print without file", march(u"print"_s, {u"--logbook"_s}), 2, u"-o FÁJL"_s);
        row("day of the logbook", march(u"print"_s, {u"--logbook"_s, u"--nap"_s, u"4"_s, u"-o"_s, u"OUT"_s}), 2,
            u"A --nap csak a --rendelveny mellett adható meg."_s);
        row("day 32", march(u"print"_s, {u"--rendelveny"_s, u"--nap"_s, u"32"_s, u"-o"_s, u"OUT"_s, u"--elfogad"_s}), 1,
            u"Hibás nap: „32”. A hónap napja 1 és 31 közötti szám."_s);
        row("day without trips", march(u"print"_s, {u"--rendelveny"_s, u"--nap"_s, u"3"_s, u"-o"_s, u"OUT"_s, u"--elfogad"_s}), 1,
            u"2024. március 3. napján nem volt út, arra a napra nem készül kiküldetési rendelvény."_s);
        row("flag with a value", may + QStringList{u"10"_s, u"--force=yes"_s}, 2, u"nincs értéke"_s);
        row("no data directory", {u"--data-dir"_s, u"OUT"_s, u"cars"_s}, 1, u"Az adatkönyvtár nem található"_s);
        row("damaged car list", {u"cars"_s}, 1, u"Az autók listája sérült."_s, u"user.rvd"_s, "2\r\n\"Kovács\"\r\n");
        row("unknown car", {u"months"_s, u"Kiss Béla"_s}, 1, u"Nincs ilyen autó: „Kiss Béla”"_s);
        row("shared user name", {u"months"_s, u"Nagy Anna"_s}, 1, u"több autóra is illik"_s);
        row("car without folder", {u"months"_s, u"XYZ-789"_s}, 1, u"Az autó könyvtára nem található"_s, u"Users/XYZ-789"_s);
        row("month 13", {u"check"_s, u"ABC-123"_s, u"2024-13"_s}, 1, u"Hibás hónap: „2024-13”. A hónapot ÉÉÉÉ-HH alakban"_s);
        row("no logbook", {u"cost"_s, u"ABC-123"_s, u"2024-04"_s}, 1, u"A(z) 2024-04 hónapnak nincs nyilvántartása"_s);
        row("damaged logbook", march(u"check"_s), 1, u"A nyilvántartás nem nyitható meg."_s,
            CliFixture::car1(u"2024mar.rvn"_s), "\"RVN\",\"2.2\"\r\n2024,3,0\r\n0,4\r\n1,x\r\n");
        row("damaged database", march(u"check"_s), 1, u"partneradatbázisa sérült"_s, db, "4\r\n\"Saját\"\r\n");
        row("prices from the 10th", march(u"cost"_s), 1,
            u"\nAz autó legkorábbi benzinárának napja: 2024.03.10."_s, prices,
            serializeFuelPrices({{QDate(2024, 5, 1), 630}, {QDate(2024, 3, 10), 610}})); // the earliest is named
        row("no price file", march(u"cost"_s), 1, u"Nincs benzinár"_s, prices);
        row("damaged prices", march(u"cost"_s), 1, u"benzinárait tartalmazó fájl sérült"_s, prices, "egy\r\n");
        row("export without prices", march(u"export"_s, {u"-o"_s, u"OUT"_s}), 1, u"Nincs benzinár"_s, prices,
            serializeFuelPrices({{QDate(2024, 4, 1), 610}}));
        row("statement without prices", march(u"print"_s, {u"--statement"_s, u"-o"_s, u"OUT"_s}), 1,
            u"Nincs benzinár megadva ehhez a hónaphoz."_s, prices, serializeFuelPrices({}));
        row("export to a missing folder", march(u"export"_s, {u"-o"_s, u"OUT/x.csv"_s, u"--elfogad"_s}), 1, u"A fájl nem írható"_s);
        row("export into a folder", march(u"export"_s, {u"-o"_s, u"DIR"_s, u"--elfogad"_s}), 1, u"Az útvonal egy könyvtár."_s);
        row("export into a FIFO", march(u"export"_s, {u"-o"_s, u"FIFO"_s, u"--elfogad"_s}), 1, u"csővezeték (FIFO)"_s);
        row("print over a month", march(u"print"_s, {u"--logbook"_s, u"-o"_s, u"DATA/Users/ABC-123/2024feb.rvn"_s}), 1,
            u"saját adatfájlja"_s);
        row("car list a FIFO", {u"cars"_s}, 1, u"csővezeték (FIFO)"_s, u"user.rvd"_s, "FIFO"); // read at once, not waited on
        row("generate over a month", march(u"generate"_s, {u"--km"_s, u"300"_s}), 1,
            u"A(z) 2024-03 hónap már létezik (2024mar.rvn). Felülírásához adja meg a --force kapcsolót."_s);
        row("km too many", may + QStringList{u"20001"_s}, 1, u"1 és 20000 közötti"_s);
        row("unknown day", may + QStringList{u"100"_s, u"--days"_s, u"H,Q"_s}, 1, u"Ismeretlen nap: „Q”"_s);
        row("demo into a data directory", {u"demo"_s, u"DATA"_s}, 1, u"A könyvtár nem üres"_s);
        row("demo onto a file", {u"demo"_s, u"DATA/user.rvd"_s}, 1, u"Ez nem könyvtár"_s);
        row("no month reaches the target", may + QStringList{u"50"_s, u"--pontos"_s}, 1,
            u"A legrövidebb kör 63 km; 50 km-hez (a hibahatárral legfeljebb 55 km-ig) egyetlen nap sem fér bele."_s);
        row("no distance", may + QStringList{u"100"_s}, 1, u"Nincs megadava a távolság semelyik két partner között."_s, db,
            none);
        const QStringList import = {u"prices"_s, u"import"_s, u"DATA/uj.tsv"_s, u"--replace"_s};
        row("price table month 0", import, 1, u"3. sora hibás: a hónap („0”) nem 1 és 12 közötti"_s, u"uj.tsv"_s,
            kHeader + kDecember + "2026\t0\t1\t1\t1\t1\t1\tx\n");
        row("no price table", {u"prices"_s, u"import"_s, u"NINCS.tsv"_s}, 1, u"NINCS.tsv"_s);
        row("unknown fuel", {u"prices"_s, u"--published"_s, u"hidrogén"_s}, 1,
            u"Ismeretlen üzemanyag: „hidrogén”. Lehet: ESZ-95, ESZ-98, dízel, keverék, LPG (tiszta gázüzemű), LPG "
            u"(kettős üzemű), CNG."_s);
        row("car and published", {u"prices"_s, u"ABC-123"_s, u"--published"_s, u"b95"_s}, 2, u"A --published mellé"_s);
        row("prices without more", {u"prices"_s}, 2, u"Kevés argumentum."_s);
    }
    void refused() {
        QFETCH(Refusal, c);
        auto& [args, file, bytes, code, message] = c;
        CliFixture f;
        const QString out = f.dir.filePath(u"ki"_s);
        const QString fifo = f.dir.filePath(u"cso"_s);
        if (!makeFifo(fifo) && (args.join(u' ').contains(u"FIFO"_s) || bytes == "FIFO"))
            QSKIP("needs a FIFO");
        args.replaceInStrings(u"OUT"_s, out).replaceInStrings(u"FIFO"_s, fifo);
        args.replaceInStrings(u"DATA"_s, f.data).replaceInStrings(u"DIR"_s, f.dir.path());
        if (bytes == "FIFO")
            QVERIFY(QFile::remove(f.path(file)) && makeFifo(f.path(file)));
        else if (!file.isEmpty() && bytes.isNull())
            QVERIFY(QFile::remove(f.path(file)) || QDir(f.path(file)).removeRecursively());
        else if (!file.isEmpty())
            f.write(file, bytes);
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run(args, !args.contains(u"--data-dir"_s));
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        QCOMPARE(f.snapshot(), before);
        QVERIFY(!QFileInfo::exists(out) && !QFileInfo(fifo).isFile());
    }

    void everyCommandHasHelp() {
        CliFixture f;
        const QString all = f.run({u"--help"_s}).out;
        for (const char* name : {"cars", "months", "check", "cost", "print", "export", "generate", "demo"})
            QVERIFY(all.contains(u"  "_s + QString::fromLatin1(name) + u' '));
        // Help wins over anything else on the line, wrong words too.
        for (const QStringList& args : {QStringList{u"help"_s, u"export"_s}, QStringList{u"export"_s, u"nincs"_s, u"-h"_s}}) {
            const CliFixture::Run r = f.run(args);
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.startsWith(u"Használat: rovanta-cli [--data-dir KÖNYVTÁR] export"_s), qPrintable(r.out));
        }
    }

    void carsAndMonths() {
        CliFixture f;
        CliFixture::Run r = f.run({u"cars"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"Kovács Péter\tABC-123\tESZ-95\t7,5\t12,5"_s,
                                            u"Nagy Anna\tXYZ-789\tdízel\t6\t10"_s, u"Nagy Anna\tQQQ-111\tESZ-98\t5,5\t9"_s}));

        f.write(CliFixture::car1(u"rossz.rvn"_s), "\"RVN\",\"2.2\"\r\nkettő,x\r\n");
        // The km of the legs, not of the headers (104 and 500): February's 51 + 54 km, March's 473.
        const QStringList months = {u"2024-02\t2024feb.rvn\t105"_s, u"2024-03\t2024mar.rvn\t473"_s};
        for (const QString& car : {u"Kovács Péter"_s, u"abc-123"_s, u"  ABC-123 "_s}) {
            r = f.run({u"months"_s, car});
            QCOMPARE(std::pair(r.code, lines(r.out)), std::pair(0, months));
        }
        QVERIFY2(r.err.contains(u"rossz.rvn fájl sérült"_s), qPrintable(r.err));
        // A month that is a link out of the data directory is left out with a note.
        QVERIFY(QFile::copy(f.path(CliFixture::car1(u"2024mar.rvn"_s)), f.dir.filePath(u"kint.rvn"_s)));
        RV_SYMLINK(f.dir.filePath(u"kint.rvn"_s), f.path(CliFixture::car1(u"2024apr.rvn"_s)));
        r = f.run({u"months"_s, u"ABC-123"_s});
        // Named as a month, it is that month's row, with its reason.
        QCOMPARE(lines(r.out).size(), 3);
        QVERIFY2(lines(r.out).mid(0, 2) == months && lines(r.out)[2].startsWith(u"2024-04\t2024apr.rvn\t–\t! "_s),
                 qPrintable(r.out));
        QVERIFY2(r.err.contains(u"2024apr.rvn fájl nem olvasható"_s) && r.err.contains(u"szimbolikus link"_s), qPrintable(r.err));

        QFile::remove(f.path(u"user.rvd"_s));
        r = f.run({u"cars"_s});
        QVERIFY(r.code == 0 && r.out.isEmpty() && r.err.contains(u"még nincs autó"_s));
        QVERIFY(!QFile::exists(f.path(u"user.rvd"_s)));
    }

    void checkPrintsTheErrorListAndTheCounts() {
        CliFixture f;
        const CliFixture::Run r = f.run(march(u"check"_s));
        QCOMPARE(r.code, 0); // faults are the answer, not a failure
        QCOMPARE(lines(r.out), QStringList({u"1 megálló nem szerepel az autó partneradatbázisában, ezért kimarad:"_s,
                                            u"  Alfa Bt. - Győr, Ipar út 2/A."_s,
                                            // the fixture's header says 500 km, its legs make 473
                                            u"A fájl fejlécében a hónap km-e 500 km, az utak összege 473 km: a program az "
                                            u"utak összegével számol, és mentéskor ezt írja a fejlécbe."_s,
                                            u"2024. március 4.: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem "
                                            u"szerepel a kiküldetés célja."_s,
                                            u"2024. március 5.: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem "
                                            u"szerepel a kiküldetés célja."_s,
                                            u"6. napon Alfa Bt. - Győr, Ipar út 2. és Béta; Zrt. - Szeged között 0 km a távolság."_s,
                                            u"2024. március 6.: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem "
                                            u"szerepel a kiküldetés célja."_s,
                                            u"7. napon Gamma Kft. - Pécs, Tér 3. kétszer szerepel egymás után."_s,
                                            u"2024. március 7.: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem "
                                            u"szerepel a kiküldetés célja."_s,
                                            u"2024. március 20.: a napnak nincs megjegyzése, a kiküldetési rendelvényen nem "
                                            u"szerepel a kiküldetés célja."_s,
                                            u"7 kisebb hiba."_s, u"1 súlyos hiba."_s,
                                            // the severe fault makes the cost doubtful
                                            u"A hónap költsége nem igazolható: 7. napon Gamma Kft. - Pécs, Tér 3. kétszer "
                                            u"szerepel egymás után."_s}));
    }

    // Worked by hand from the fixture: the first leg, 31 km on route type 4 (x 1.2) at 600 Ft/L,
    // 7.5 L/100 km and 12.5 Ft/km, is 1674 + 387 Ft; with winter operation (x 1.03) 1724 + 387.
    // The month's totals were worked out in Python with fractions.Fraction over the fixture's
    // files, each stored number taken as the decimal it is written as and each leg floored:
    // 33042, with air conditioning (x 1.05) 34397, with winter operation (x 1.03) 33854.
    void costOfTheMonth() {
        CliFixture f;
        // The fixture's severe fault leaves the figure doubtful: refused, with the fault and the way on.
        const CliFixture::Run refused = f.run(march(u"cost"_s));
        QVERIFY2(refused.code == 1 && refused.out.isEmpty() && refused.err.contains(u"kétszer szerepel egymás után"_s) &&
                     refused.err.contains(u"--elfogad"_s),
                 qPrintable(refused.err));
        // Without an option the box kept with the month counts; an option overrides it.
        for (const auto& [stored, option, total] :
             {std::tuple{QByteArray(), QString(), 33042}, {QByteArray(), u"--klima"_s, 34397},
              {QByteArray(), u"--teli"_s, 33854}, {QByteArray("2\r\n2024,2,1\r\n2024,3,2\r\n"), QString(), 33854},
              {QByteArray("1\r\n2024,3,2\r\n"), u"--klima"_s, 34397}}) {
            f.write(f.car1(u"evszak.rvd"_s), stored);
            const CliFixture::Run r =
                f.run(march(u"cost"_s, option.isEmpty() ? QStringList{u"--elfogad"_s} : QStringList{option, u"--elfogad"_s}));
            QCOMPARE(r.code, 0);
            QCOMPARE(lines(r.out).mid(0, 2), (QStringList{u"473 km ebben a hónapban."_s, u"Összes költség: %1 Ft"_s.arg(total)}));
            QVERIFY(r.err.contains(u"Alfa Bt. - Győr, Ipar út 2/A."_s)); // the stop left out
        }
    }

    void exportWritesOneRowPerLeg() {
        CliFixture f;
        QCOMPARE(f.run(march(u"export"_s, {u"-o"_s, f.dir.filePath(u"marcius.csv"_s), u"--teli"_s, u"--elfogad"_s})).code, 0);
        const QStringList rows = csvRows(f.dir.filePath(u"marcius.csv"_s));
        QCOMPARE(rows.size(), 15);
        QCOMPARE(rows[0], u"Dátum;Honnan;Hova;Partner;Km;Útvonal típusa;Benzinár (Ft/l);Költség (Ft);Ár forrása"_s);
        QCOMPARE(rows[1], u"2024-03-04;Budapest, Fő utca 1.;Győr, Ipar út 2.;Alfa Bt.;31;Egyéb város;600;2111;saját ár, 2024.01.01."_s);
        // The month's totals (33854 Ft with winter operation, see costOfTheMonth) and its verdict.
        QVERIFY2(rows[14].startsWith(u"Összesen;;;;473;;;33854;A hónap költsége nem igazolható: "_s), qPrintable(rows[14]));
        QVERIFY2(rows[3].startsWith(u"2024-03-05;Budapest, Fő utca 1.;Szeged;\"Béta; Zrt.\";41;"_s), qPrintable(rows[3]));
        // The price of the day.
        QVERIFY(rows[13].startsWith(u"2024-03-20;Győr, Ipar út 2.;Budapest, Fő utca 1.;"_s) && rows[13].contains(u";620;"_s));
        QCOMPARE(cli::CsvWriter::field(u"=1;2"_s), u"\"'=1;2\""_s); // guarded, then quoted
        // Control characters of a name reach no terminal or spreadsheet; the line break stays.
        QCOMPARE(cli::CsvWriter::field(u"\x1b[2JBt.\a\u009b\r\nx"_s), u"\" [2JBt.  \nx\""_s);
    }

    void printWritesThePdf() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        CliFixture f;
        for (const auto& [option, words] : {std::pair{u"--logbook"_s, u"Összesen: 473 km"_s},
                                            {u"--statement"_s, u"33 042 Ft"_s},
                                            {u"--rendelveny"_s, u"Térítendő összesen: 33 042 Ft"_s}}) {
            const QString pdf = f.dir.filePath(u"ki.pdf"_s);
            const CliFixture::Run r = f.run(march(u"print"_s, {option, u"-o"_s, pdf, u"--elfogad"_s}));
            QCOMPARE(r.code, 0);
            QVERIFY(r.out.contains(u"A PDF elkészült"_s));
            const QString text = pdfText(pdf).replace(QChar(0x00A0), u' '); // figures grouped on paper
            QVERIFY2(text.contains(u"ABC-123"_s) && text.contains(words), qPrintable(text));
            // The travel order pays what the statement does; days without a purpose are told.
            QCOMPARE(r.err.contains(u"Kisebb hiba: 2024. március 4.: a napnak nincs megjegyzése"_s),
                     option == u"--rendelveny"_s);
        }
        // One chosen day alone, worked by hand: day 4 goes Budapest - Győr - Budapest, 31 and 32 km of
        // "Egyéb város" (1,2) at 7,5 L/100 km, 600 Ft/L and 12,5 Ft/km: 31 × 7,5 ÷ 100 × 600 × 1,2 =
        // 1674 Ft and 387 Ft (387,5 cut), then 1728 + 400 Ft; the day 3402 + 787 = 4189 Ft.
        const QString pdf = f.dir.filePath(u"nap.pdf"_s);
        const CliFixture::Run r = f.run(march(u"print"_s, {u"--rendelveny"_s, u"--nap"_s, u"4"_s, u"-o"_s, pdf, u"--elfogad"_s}));
        QCOMPARE(r.code, 0);
        const QString text = pdfText(pdf).replace(QChar(0x00A0), u' ');
        const QString words = QString(text).simplified();
        for (const QString& want : {u"A kiküldetés napja: 2024. március 4., megtett út: 63 km"_s, u"Üzemanyagköltség: 3 402 Ft"_s,
                                    u"Általános költség: 787 Ft"_s, u"Térítendő összeg: 4 189 Ft"_s}) // leg lines: tst_travelorder
            QVERIFY2(words.contains(want), qPrintable(want + u'\n' + words));
        QVERIFY2(text.count(u'\f') == 1 && !words.contains(u"március 5."_s) && !words.contains(u"összesítő"_s),
                 qPrintable(words));
        QVERIFY(r.err.contains(u"2024. március 4.: a napnak nincs megjegyzése"_s) && !r.err.contains(u"március 6."_s));
    }

    void generateIsRepeatable() {
        CliFixture f;
        const QStringList args = {u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"2000"_s, u"--seed"_s, u"77"_s};
        const CliFixture::Run r = f.run(args);
        QCOMPARE(r.code, 0);
        const QString file = CliFixture::car1(u"2024maj.rvn"_s);
        const QByteArray first = f.read(file);
        QCOMPARE(f.run(args + QStringList{u"--force"_s}).code, 0);
        QCOMPARE(f.read(file), first);
        const qint32 km = f.stored(file).monthKm;
        QVERIFY(km >= 1800 && km <= 2200);
        QCOMPARE(r.out, u"Elmentve: %1 (%2 km)\n"_s.arg(QDir::toNativeSeparators(f.path(file))).arg(km));
        // On a full disk the save is told as failed and the month stays.
        RV_NEEDS_POSIX_FAULTS();
        const auto before = f.snapshot();
        const Result full = underFileSizeLimit(512, [&] {
            const CliFixture::Run run = f.run(args + QStringList{u"--force"_s, u"--seed"_s, u"78"_s});
            return run.code == 0 ? Result::success() : Result::failure(run.out + run.err);
        });
        QVERIFY2(full.message().contains(u"A nyilvántartás mentése nem sikerült.\nA fájl nem írható: "_s) &&
                     !full.message().contains(u"Elmentve"_s), qPrintable(full.message()));
        QCOMPARE(f.snapshot(), before);
    }

    // May 2024 has 21 working days and no round under 63 km: 600 km (limit 660) needs fewer days.
    // With the own company reaching nobody, a month of lone stops is 0 km. Either month is saved,
    // but not a success.
    void generateMissingTheTarget() {
        CliFixture f;
        const QStringList args = {u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"600"_s, u"--force"_s};
        const QString file = CliFixture::car1(u"2024maj.rvn"_s);
        const std::tuple<QStringList, int, bool> runs[] = {{{}, 1, false}, {{u"--elfogad"_s}, 0, false},
                                                           {{u"--pontos"_s}, 0, true}};
        for (const auto& [more, code, reached] : runs) {
            QFile::remove(f.path(file));
            const CliFixture::Run r = f.run(args + more);
            QCOMPARE(r.code, code);
            const StoredLogbook stored = f.stored(file);
            QCOMPARE(std::pair(stored.year, stored.monthKm >= 600 && stored.monthKm <= 660), std::pair(2024, reached)); // saved in every case
            QCOMPARE(r.err.contains(u"több a hibahatárral megengedett 660 km-nél"_s), code == 1);
        }
        f.write(CliFixture::car1(u"data.rvd"_s), testData(u"cli/Users/ABC-123/data.rvd"_s)
                                                     .replace("\n31,4\r\n41,5\r\n51,6\r\n", "\n0,4\r\n0,5\r\n0,6\r\n"));
        const QStringList below = {u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"100"_s, u"--force"_s};
        const CliFixture::Run r = f.run(below);
        QVERIFY2(r.code == 1 && r.err.contains(u"A hónap 0 km, kevesebb a kért 100 km-nél."_s), qPrintable(r.err));
        QCOMPARE(f.run(below + QStringList{u"--elfogad"_s}).code, 0);
    }

    // No round of the fixture is longer than 210 km: 5000 km on May's 21 working days needs long
    // walks. Refused and not saved, unless accepted by name.
    void generateRefusesLongWalks() {
        CliFixture f;
        const QStringList args = {u"generate"_s, u"ABC-123"_s, u"2024-05"_s, u"--km"_s, u"5000"_s, u"--pontos"_s,
                                  u"--seed"_s, u"5"_s};
        const QString file = CliFixture::car1(u"2024maj.rvn"_s);
        const CliFixture::Run refused = f.run(args);
        QVERIFY2(refused.code == 1 && refused.err.contains(u"hosszú bolyongásokból"_s) &&
                     refused.err.contains(u"mentéséhez adja meg az --elfogad kapcsolót"_s),
                 qPrintable(refused.err));
        QVERIFY(!QFile::exists(f.path(file)));
        const CliFixture::Run accepted = f.run(args + QStringList{u"--elfogad"_s});
        QVERIFY2(accepted.code == 0 && accepted.err.startsWith(u"Figyelem: "_s), qPrintable(accepted.err));
        const StoredLogbook stored = f.stored(file);
        QVERIFY(stored.monthKm >= 5000 && stored.monthKm <= 5500);
    }

    void generateOnChosenDaysOverAnotherName() {
        CliFixture f;
        QVERIFY(QFile::rename(f.path(CliFixture::car1(u"2024mar.rvn"_s)), f.path(CliFixture::car1(u"marcius.rvn"_s))));
        const QStringList args =
            march(u"generate"_s, {u"--km"_s, u"1000"_s, u"--days"_s, u"szo, V"_s, u"--seed"_s, u"5"_s, u"--elfogad"_s});
        CliFixture::Run r = f.run(args);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(u"(marcius.rvn)"_s));
        // The month is the file whose header holds it, whatever its name. The replaced month's
        // season and private km are facts of the car: they stay, as February's do.
        const QString facts = CliFixture::car1(u"honapok.rvd"_s);
        f.write(facts, "\"RVH\",1\r\n2\r\n2024,2,1,0,0\r\n2024,3,2,15,0\r\n");
        r = f.run(args + QStringList{u"--force"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(f.read(facts), QByteArray("\"RVH\",1\r\n2\r\n2024,2,1,0,0\r\n2024,3,2,15,0\r\n"));
        QVERIFY(!QFile::exists(f.path(CliFixture::car1(u"2024mar.rvn"_s))));
        const StoredLogbook stored = f.stored(CliFixture::car1(u"marcius.rvn"_s));
        QCOMPARE(stored.month, 3);
        for (int d = 1; d <= 31; ++d)
            QCOMPARE(stored.stops[size_t(d - 1)].isEmpty(), QDate(2024, 3, d).dayOfWeek() < 6);
    }

    // The demo opens as the program opens a data directory: three costed months of last year whose
    // odometer runs on from month to month.
    void demoIsAWorkingDataDirectory() {
        CliFixture f;
        const QString demo = f.dir.filePath(u"uj/bemutato"_s);
        QCOMPARE(f.run({u"demo"_s, demo}, false).code, 0);
        f.state.programDir = demo + u'/';
        QVERIFY(f.load());
        QCOMPARE(std::pair(f.state.carCount(), f.state.partnerCount()), std::pair(2, 13));
        // Road distances from the seat in Kecskemét, within a tenth of the real ones.
        for (const auto& [city, km] : {std::pair{u"Szeged"_s, 87}, {u"Kiskunhalas"_s, 60}, {u"Kalocsa"_s, 72}})
            for (int p = 2; p <= 13; ++p)
                if (f.state.partner(p).city == city)
                    QVERIFY2(qAbs(f.state.distances.at(1, p).distance - km) <= km / 10, qPrintable(city));
        const int year = QDate::currentDate().year() - 1;
        qint32 odometer = kDemoFirstOdometer;
        for (int month = 1; month <= 3; ++month) {
            QVERIFY(f.load(newMonthFileName(year, month)));
            const MonthLog& log = f.state.month;
            // Every stop is a partner of the database.
            QCOMPARE(std::pair(f.prompter.asked.size(), log.startOdometer), std::pair(qsizetype(0), odometer));
            const MonthReckoning cost = reckonMonth(f.state, log, Season{});
            QVERIFY(!cost.missingPrice && cost.total > log.monthKm * 15); // the general cost alone is 15 Ft/km
            odometer += log.monthKm;
        }
        // The second car on LPG, on the flat norm of its 1390 cm³: 8,6 l/100 km x 1,2; NAV's LPG
        // prices are its own.
        QCOMPARE(f.run({u"--data-dir"_s, demo, u"cars"_s}, false).out.split(u'\n').value(1),
                 u"Szabó Bence\tRVN-517\tLPG (kettős üzemű)\t10,32\t15"_s);
        QFile prices(demo + u"/Users/RVN-517/benzin.rvd"_s);
        QVERIFY(prices.open(QIODevice::ReadOnly));
        QCOMPARE(prices.readAll(), serializeFuelPrices(navColumnPrices(shippedNavPrices(), NavLpg)));
        const QString month = u"%1-02"_s.arg(year);
        const CliFixture::Run cost = f.run({u"--data-dir"_s, demo, u"cost"_s, u"RVN-517"_s, month}, false);
        QVERIFY2(cost.code == 0 && cost.out.contains(u" l (LPG (kettős üzemű), 10,32 l/100 km)"_s), qPrintable(cost.out + cost.err));
        QCOMPARE(f.run({u"--data-dir"_s, demo, u"year"_s, u"RVN-517"_s, QString::number(year)}, false).code, 0);
        QVERIFY(!QFile::exists(f.state.errorLogPath()));
    }

    // The first car made a CNG one by its facts file: user.rvd still holds ESZ-95, and the
    // commands show CNG, by the kilogram.
    void gasCarOnTheCommandLine() {
        CliFixture f;
        f.write(CliFixture::car1(u"gepkocsi.rvd"_s), "\"RVA\",4\r\n1,0\r\n2\r\n7\r\n");
        CliFixture::Run r = f.run({u"cars"_s});
        QCOMPARE(lines(r.out).value(0), u"Kovács Péter\tABC-123\tCNG\t7,5\t12,5"_s);
        r = f.run(march(u"cost"_s, {u"--elfogad"_s}));
        const QStringList out = lines(r.out);
        QCOMPARE(std::pair(r.code, out.value(1)), std::pair(0, u"Összes költség: 33042 Ft"_s));
        static const QRegularExpression used(u"^Felhasznált üzemanyag: \\d+(,\\d)? kg \\(CNG, 7,5 kg/100 km\\)$"_s);
        QVERIFY2(used.match(out.value(2)).hasMatch(), qPrintable(out.value(2)));
        const QString csv = f.dir.filePath(u"gaz.csv"_s);
        QCOMPARE(f.run(march(u"export"_s, {u"-o"_s, csv, u"--elfogad"_s})).code, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(u"Benzinár (Ft/kg)"_s));
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"--elfogad"_s}).code, 0);
        // The workbook's price cells say Ft/kg too.
        QVERIFY(f.load(u"2024mar.rvn"_s));
        const MonthReckoning month = reckonMonth(f.state, f.state.month, Season{});
        QCOMPARE((std::pair(month.measure, cli::monthLegTable(f.state, month).columns.value(6).format)),
                 (std::pair(FuelMeasure::Kilogram, CellFormat::PricePerKg)));
    }

    void readingCommandsWriteNothing() {
        CliFixture f;
        QFile::remove(f.path(u"Users/szorzo.rvd"_s)); // the program's own load would write it
        const auto before = f.snapshot();
        for (const QStringList& args : {QStringList{u"cars"_s}, QStringList{u"months"_s, u"ABC-123"_s}, march(u"check"_s),
                                        march(u"cost"_s), QStringList{u"cost"_s, u"XYZ-789"_s, u"2024-03"_s},
                                        march(u"export"_s, {u"-o"_s, f.dir.filePath(u"a.csv"_s)}),
                                        march(u"print"_s, {u"--statement"_s, u"-o"_s, f.dir.filePath(u"b.pdf"_s)})})
            f.run(args);
        QCOMPARE(f.snapshot(), before);
    }

    // Each fuel's published list is its own file's, whatever name the fuel is given by.
    void listsOfPrices() {
        Fixture f;
        CliFixture::Run r = f.run({u"prices"_s, u"ABC-123"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"2024-01-01\t600"_s, u"2024-03-15\t620"_s}));
        const std::pair<QString, QString> fuels[] = {
            {u"ESZ-95"_s, u"2025-10-01\t593 2025-11-01\t591"_s}, {u"b95"_s, u"2025-10-01\t593 2025-11-01\t591"_s},
            {u"esz-98"_s, u"2025-10-01\t640"_s},  {u"gázolaj"_s, u"2025-10-01\t612"_s},
            {u"dízel"_s, u"2025-10-01\t612"_s},   {u"bkev.rvd"_s, u"2025-10-01\t655"_s},
            {u"keverék"_s, u"2025-10-01\t655"_s}};
        for (const auto& [fuel, list] : fuels) {
            r = f.run({u"prices"_s, u"--published"_s, fuel});
            QCOMPARE(std::pair(r.code, lines(r.out).join(u' ')), std::pair(0, list));
        }
    }

    // A differing month needs --replace; without it nothing is written and the months are named.
    // A table that only corrects a month changes it with --replace.
    void importAndReplace() {
        Fixture f;
        f.write(u"uj.tsv"_s, kHeader + "2025\t11\t595\t\t\t\t\tx\n");
        const auto before = f.snapshot();
        CliFixture::Run r = f.run({u"prices"_s, u"import"_s, f.path(u"uj.tsv"_s)});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"ezekben a hónapokban: 2025-11. Cseréjükhöz adja meg a --replace"_s), qPrintable(r.err));
        QCOMPARE(f.snapshot(), before);

        r = f.run({u"prices"_s, u"import"_s, f.path(u"uj.tsv"_s), u"--replace"_s});
        QCOMPARE(r.code, 0);
        // The dízel car, with no price of its own yet, is a NAV car: it takes October.
        QCOMPARE(r.out, u"2025. november, ESZ-95: most 591 Ft, a táblázatban 595 Ft.\n"
                        u"A táblázat 1 hónapja beolvasva: 0 új ár került a közzétett árak közé, 1 ár cserélődött.\n"
                        u"1 új havi ár került a NAV-árakkal számoló autók árai közé.\n"_s);
        QCOMPARE(f.read(u"Users/b95.rvd"_s), QByteArray("2\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n595\r\n"));
    }

    // The legs make a month's km: February's header claims 500 km, its legs make 120 (40 + 80 km
    // between the partners of the fixture). The year and the chain use 120: February closes at
    // 10 360, and March, starting at 10 300, breaks the chain, a minor fault. Following on, or
    // with no earlier reading, is none; the car's first month without one is. A new month starts
    // where the last reading ended.
    void theChainOfReadings() {
        YearFixture f;
        for (const QString& month : {u"2024-02"_s, u"2024-01"_s})
            QCOMPARE(lines(f.run({u"check"_s, u"ABC-123"_s, month}).out).filter(u"km-óra"_s), QStringList{});
        QCOMPARE(lines(f.run({u"check"_s, u"ABC-123"_s, u"2023-12"_s}).out).filter(u"km-óra"_s),
                 (QStringList{u"Nincs megadva kezdő km-óra állás"_s}));

        QByteArray feb = f.read(CliFixture::car1(u"2024feb.rvn"_s));
        QVERIFY(feb.contains("\r\n120,3\r\n"));
        f.write(CliFixture::car1(u"2024feb.rvn"_s), feb.replace("\r\n120,3\r\n", "\r\n500,3\r\n"));
        QCOMPARE(lines(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s}).out).at(1), u"2024-02\t10240\t120\t10360\t6900\t0\t100,0 %"_s);
        const CliFixture::Run r = f.run({u"check"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(std::pair(r.code, lines(r.out).first()),
                 std::pair(0, u"A havi kezdő km-óra állás (10300 km) nem egyezik az előző hónap (2024. február) "
                              u"záró állásával (10360 km)."_s));

        const auto generate = [&](const QString& month) {
            return f.run({u"generate"_s, u"ABC-123"_s, month, u"--km"_s, u"200"_s, u"--seed"_s, u"3"_s, u"--elfogad"_s}).code;
        };
        QCOMPARE(generate(u"2024-05"_s), 0); // after March, April having no logbook
        QCOMPARE(f.stored(CliFixture::car1(u"2024maj.rvn"_s)).startOdometer, 10540);
        QCOMPARE(generate(u"2023-11"_s), 0); // nothing earlier
        const StoredLogbook nov = f.stored(CliFixture::car1(u"2023nov.rvn"_s));
        QCOMPARE(std::pair(nov.year, nov.startOdometer), std::pair(2023, 0));
    }

    void yearRowsAndTotals() {
        YearFixture f;
        CliFixture::Run r = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"2024-01\t10000\t240\t10240\t13800\t0\t100,0 %"_s,
                                            u"2024-02\t10240\t120\t10360\t6900\t0\t100,0 %"_s,
                                            u"2024-03\t10300\t240\t10540\t13980\t0\t100,0 %\t! a kezdő állás nem "
                                            u"egyezik az előző hónap záró állásával"_s,
                                            u"Összesen\t600\t34680\t0\t100,0 %"_s}));
        // January's 20 private km move its closing reading to 10 000 + 240 + 20 = 10 260: February,
        // starting at 10 240, no longer follows on, and the flag says so beside that column.
        QCOMPARE(f.run({u"private"_s, u"ABC-123"_s, u"2024-01"_s, u"20"_s}).code, 0);
        r = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s});
        QCOMPARE(lines(r.out).mid(0, 2), (QStringList{u"2024-01\t10000\t240\t10260\t13800\t20\t92,3 %"_s,
                                                      u"2024-02\t10240\t120\t10360\t6900\t0\t100,0 %\t! a kezdő állás "
                                                      u"nem egyezik az előző hónap záró állásával"_s}));
        // A month without a start reading has no closing reading either.
        r = f.run({u"year"_s, u"ABC-123"_s, u"2023"_s});
        QCOMPARE(lines(r.out), (QStringList{u"2023-12\t–\t120\t–\t-\t0\t100,0 %\t! hiányzik a benzinár"_s,
                                            u"Összesen\t120\t-\t0\t100,0 %"_s}));
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2022"_s}).code, 1);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"24"_s}).code, 1);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, f.dir.filePath(u"ev.txt"_s)}).code, 1);
        // The PDF is the window's (tst_frmhonapok reads it, with the seasons of the year).
        QFile pdf(f.dir.filePath(u"ev.pdf"_s));
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, pdf.fileName()}).code, 0);
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(4) == "%PDF");
    }

    // March read 10 900 at its end: 10 900 − 10 300 − 240 = 360 km private, 240 of 600 km is
    // 40,0 % business; the year 600 of 960 km, 62,5 %, and closes at the real reading.
    void yearWithPrivateKilometres() {
        YearFixture f;
        CliFixture::Run r = f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"--zaro"_s, u"10900"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), QStringList{u"2024-03: üzleti 240 km, magán 360 km, záró km-óra állás: 10900 km, üzleti "
                                           u"arány: 40,0 %"_s});
        QCOMPARE(f.read(CliFixture::car1(u"honapok.rvd"_s)), QByteArray("\"RVH\",1\r\n1\r\n2024,3,0,0,10900\r\n"));
        r = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s});
        QCOMPARE(lines(r.out).mid(2), (QStringList{u"2024-03\t10300\t240\t10900\t13980\t360\t40,0 %\t! a kezdő állás "
                                                   u"nem egyezik az előző hónap záró állásával"_s,
                                                   u"Összesen\t600\t34680\t360\t62,5 %"_s}));
        const QString csv = f.dir.filePath(u"ev.csv"_s);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, csv}).code, 0);
        const QStringList rows = csvRows(csv);
        QCOMPARE(rows[0], u"Hónap;Kezdő km-óra állás;Megtett km;Záró km-óra állás;Költség;Figyelmeztetés;Magán km;Üzleti arány"_s);
        QCOMPARE(rows.mid(4), (QStringList{u"Összesen;;600;;34680;;360;62,5 %"_s, u"Nyitó km-óra állás;10000;;;;;;"_s,
                                           u"Záró km-óra állás;;;10900;;;;"_s}));

        // Below start + business km: told with the three figures, nothing saved.
        r = f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"--zaro"_s, u"10500"_s});
        QVERIFY2(r.code == 1 && r.err.contains(u"(10500 km)"_s) && r.err.contains(u"(10300 km)"_s) && r.err.contains(u"(240 km)"_s),
                 qPrintable(r.err));
        QCOMPARE(f.read(CliFixture::car1(u"honapok.rvd"_s)), QByteArray("\"RVH\",1\r\n1\r\n2024,3,0,0,10900\r\n"));
        // Private km typed replace the reading: one figure is kept.
        QCOMPARE(f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"100"_s}).code, 0);
        QCOMPARE(f.read(CliFixture::car1(u"honapok.rvd"_s)), QByteArray("\"RVH\",1\r\n1\r\n2024,3,0,100,0\r\n"));
        QCOMPARE(f.run({u"private"_s, u"ABC-123"_s, u"2024-03"_s, u"100"_s, u"--zaro"_s, u"1"_s}).code, 2);
    }

    // A logbook that cannot be read is a row of its own with the reason, in every output; the
    // year then has no totals and the command fails unless told to accept it.
    void anUnreadableMonthIsARow() {
        YearFixture f;
        f.write(CliFixture::car1(u"2024apr.rvn"_s), "\"RVN\",\"2.2\"\r\n2024,4,x\r\n");
        CliFixture::Run r = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s});
        QCOMPARE(r.code, 1);
        const QStringList out = lines(r.out);
        QCOMPARE(std::pair(out.size(), out.value(4)), std::pair(qsizetype(5), u"Összesen\t–\t–\t–\t–"_s));
        QVERIFY2(out[3].startsWith(u"2024-04\t–\t–\t–\t–\t–\t–\t! a nyilvántartás nem olvasható: "_s) &&
                     out[3].contains(u"2024apr.rvn (2. sor)"_s), qPrintable(out[3]));
        QVERIFY(r.err.contains(u"--elfogad"_s));
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"--elfogad"_s}).code, 0);

        const QString csv = f.dir.filePath(u"ev.csv"_s);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, csv}).code, 1);
        const QStringList rows = csvRows(csv);
        QVERIFY2(rows[4].startsWith(u"2024-04;–;–;–;–;"_s) && rows[4].contains(u"a nyilvántartás nem olvasható: "_s),
                 qPrintable(rows[4]));
        QCOMPARE(rows.mid(5), (QStringList{u"Összesen;;–;;–;;–;–"_s, u"Nyitó km-óra állás;10000;;;;;;"_s,
                                           u"Záró km-óra állás;;;10540;;;;"_s}));
    }

    void spreadsheetsHoldNumbersAsNumbers() {
        if (QStandardPaths::findExecutable(u"unzip"_s).isEmpty())
            QSKIP("unzip is not installed");
        YearFixture f; // the year's workbook: tst_frmhonapok
        const QString month = f.dir.filePath(u"marcius.xlsx"_s);
        QCOMPARE(f.run({u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, month}).code, 0);
        const QString sheet = unzipped(month, u"xl/worksheets/sheet1.xml"_s);
        QVERIFY(unzipped(month, u"xl/sharedStrings.xml"_s).contains(u"<t>Benzinár (Ft/l)</t>"_s));
        // 2024-03-15 at 620 Ft/l: 2 -> 1, 80 km, 4720 Ft.
        for (const auto& [cell, value] : {std::pair{u"A5"_s, u"45366"_s}, {u"H5"_s, u"4720"_s}})
            QVERIFY2(sheet.contains(QRegularExpression(u"<c r=\"%1\" s=\"\\d+\"><v>%2</v></c>"_s.arg(cell, value))),
                     qPrintable(cell + u' ' + sheet));
    }
};

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
