#include "clifixture.h"

#include "printing/spreadsheet.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QStringList lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

// A member of the zip, or nothing when unzip is missing.
QString unzipped(const QString& zip, const QString& member) {
    QProcess p;
    p.start(u"unzip"_s, {u"-p"_s, zip, member});
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

// The first car with only the legs 1 -> 2 (40 km) and 2 -> 1 (80 km), both of route type 1
// (multiplier 1): at 600 Ft/l a round trip costs 40 * 7.5 / 100 * 600 + 40 * 12.5 + 80 * 7.5 /
// 100 * 600 + 80 * 12.5 = 6900 Ft, at 620 Ft/l 7080 Ft.
//   2023-12 start 0:     day 4 1-2-1                    120 km, no price that year
//   2024-01 start 10000: days 2, 3 1-2-1                240 km, 13800 Ft
//   2024-02 start 10240: day 5 1-2-1                    120 km,  6900 Ft (follows on)
//   2024-03 start 10300: days 14 (600), 15 (620) 1-2-1  240 km, 13980 Ft (February closed at 10360)
struct YearFixture : CliFixture {
    YearFixture() {
        PartnerDatabase db;
        db.partners = {std::begin(kCliPartners), std::end(kCliPartners)};
        db.distances.reset(4);
        db.distances.at(1, 2) = DistanceCell{40, 1};
        db.distances.at(2, 1) = DistanceCell{80, 1};
        write(car1(u"data.rvd"_s), serializeDatabase(db, 2));
        month(u"2023dec.rvn"_s, 2023, 12, 0, {4});
        month(u"2024jan.rvn"_s, 2024, 1, 10000, {2, 3});
        month(u"2024feb.rvn"_s, 2024, 2, 10240, {5});
        month(u"2024mar.rvn"_s, 2024, 3, 10300, {14, 15});
    }
    void month(const QString& file, int year, int month, qint32 start, const QList<int>& days) {
        QMap<int, QList<int>> stops;
        for (int d : days)
            stops[d] = {1, 2, 1};
        StoredLogbook l = logbook(year, month, stops);
        l.startOdometer = start;
        l.monthKm = 120 * days.size();
        write(car1(file), serializeLogbook(l));
    }
    qint32 startOf(const QString& file) const {
        StoredLogbook l;
        return readLogbookFile(path(car1(file)), l) ? l.startOdometer : -1;
    }
};

} // namespace

class CliYearTest : public QObject {
    Q_OBJECT

private slots:
    void newMonthsStartWhereTheLastReadingEnded() {
        YearFixture f;
        const auto generate = [&](const QString& month) {
            return f.run({u"generate"_s, u"ABC-123"_s, month, u"--km"_s, u"200"_s, u"--seed"_s, u"3"_s, u"--elfogad"_s}).code;
        };
        QCOMPARE(generate(u"2024-05"_s), 0); // after March, April having no logbook
        QCOMPARE(f.startOf(u"2024maj.rvn"_s), 10540);
        QCOMPARE(generate(u"2023-11"_s), 0); // nothing earlier
        QCOMPARE(f.startOf(u"2023nov.rvn"_s), 0);
        QCOMPARE(generate(u"2024-01"_s), 1); // exists
    }

    void aBreakInTheChainIsAMinorFault() {
        YearFixture f;
        CliFixture::Run r = f.run({u"check"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"A havi kezdő km-óra állás (10300 km) nem egyezik az előző hónap "
                                            u"(2024. február) záró állásával (10360 km)."_s,
                                            u"1 kisebb hiba."_s, u"0 súlyos hiba."_s}));
        // Following on, with no reading, or with no earlier reading: not a fault.
        for (const QString& month : {u"2024-02"_s, u"2023-12"_s, u"2024-01"_s})
            QCOMPARE(lines(f.run({u"check"_s, u"ABC-123"_s, month}).out).first(), u"0 kisebb hiba."_s);
    }

    void yearRowsAndTotals() {
        YearFixture f;
        CliFixture::Run r = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"2024-01\t10000\t240\t10240\t13800"_s, u"2024-02\t10240\t120\t10360\t6900"_s,
                                            u"2024-03\t10300\t240\t10540\t13980"_s, u"Összesen\t600\t34680"_s}));
        r = f.run({u"year"_s, u"ABC-123"_s, u"2023"_s});
        QCOMPARE(lines(r.out), (QStringList{u"2023-12\t0\t120\t120\t-"_s, u"Összesen\t120\t-"_s}));
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2022"_s}).code, 1);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"24"_s}).code, 1);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, f.dir.filePath(u"ev.txt"_s)}).code, 1);

        const QString csv = f.dir.filePath(u"ev.csv"_s);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, csv}).code, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(file.readAll().mid(3)).split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(rows.mid(3, 3), (QStringList{
                                     u"2024-03;10300;240;10540;13980;a kezdő állás nem egyezik az előző hónap záró állásával"_s,
                                     u"Összesen;;600;;34680;"_s, u"Nyitó km-óra állás;10000;;;;"_s}));
    }

    void spreadsheetsHoldNumbersAsNumbers() {
        if (QStandardPaths::findExecutable(u"unzip"_s).isEmpty())
            QSKIP("unzip is not installed");
        YearFixture f;
        const QString year = f.dir.filePath(u"ev.xlsx"_s);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, year}).code, 0);
        QString sheet = unzipped(year, u"xl/worksheets/sheet1.xml"_s);
        const QString strings = unzipped(year, u"xl/sharedStrings.xml"_s);
        QVERIFY2(strings.contains(u"<t>Kezdő km-óra állás</t>"_s), qPrintable(strings));
        QVERIFY(sheet.contains(u"ySplit=\"1\""_s)); // the header row stays
        // Row 4 is March: the month a date (serial of 2024-03-01), the readings and money numbers.
        for (const auto& [cell, value] : {std::pair{u"A4"_s, u"45352"_s}, {u"B4"_s, u"10300"_s}, {u"C4"_s, u"240"_s},
                                          {u"D4"_s, u"10540"_s}, {u"E4"_s, u"13980"_s}, {u"C5"_s, u"600"_s}})
            QVERIFY2(sheet.contains(QRegularExpression(u"<c r=\"%1\" s=\"\\d+\"><v>%2</v></c>"_s.arg(cell, value))),
                     qPrintable(cell));

        const QString month = f.dir.filePath(u"marcius.xlsx"_s);
        QCOMPARE(f.run({u"export"_s, u"ABC-123"_s, u"2024-03"_s, u"-o"_s, month}).code, 0);
        sheet = unzipped(month, u"xl/worksheets/sheet1.xml"_s);
        QVERIFY(unzipped(month, u"xl/sharedStrings.xml"_s).contains(u"<t>Benzinár (Ft/l)</t>"_s));
        // 2024-03-15 at 620 Ft/l: 2 -> 1, 80 km, 4720 Ft.
        for (const auto& [cell, value] : {std::pair{u"A5"_s, u"45366"_s}, {u"E5"_s, u"80"_s}, {u"G5"_s, u"620"_s},
                                          {u"H5"_s, u"4720"_s}})
            QVERIFY2(sheet.contains(QRegularExpression(u"<c r=\"%1\" s=\"\\d+\"><v>%2</v></c>"_s.arg(cell, value))),
                     qPrintable(cell + u' ' + sheet));
    }

    void yearPdf() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        YearFixture f;
        const QString pdf = f.dir.filePath(u"ev.pdf"_s);
        QCOMPARE(f.run({u"year"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, pdf}).code, 0);
        const QString text = pdfText(pdf);
        for (const QString& words : {u"Éves összesítő – 2024"_s, u"ABC-123 rendszámú"_s, u"Március"_s, u"13980 Ft"_s,
                                     u"34680 Ft"_s, u"Nyitó km-óra állás: 10000 km"_s, u"Záró km-óra állás: 10540 km"_s})
            QVERIFY2(text.contains(words), qPrintable(words + u'\n' + text));
        QProcess info;
        info.start(u"pdfinfo"_s, {pdf});
        QVERIFY(info.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(u"Pages:\\s+1\\n"_s)));
    }
};

QTEST_MAIN(CliYearTest)
#include "tst_cliyear.moc"
