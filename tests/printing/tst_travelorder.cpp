#include "clifixture.h"
#include "printfixture.h"
#include "printing/paintercanvas.h"
#include "printing/travelorder.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// A two-day month of the print fixture at 8 l/100 km, 250 Ft/L and 15 Ft/km. Worked by hand:
// day 3, 1-2-1: two 30 km legs of multiplier 1: 30 × 8 ÷ 100 × 250 = 600 Ft and 30 × 15 = 450 Ft
// each, 2100 Ft for 60 km.
// day 10, 1-2-3-1: 30 km (600 + 450), 50 km at 1,25 (50 × 8 ÷ 100 × 250 × 1,25 = 1250, + 750)
// and 40 km (800 + 600): 120 km, 2650 + 1800 = 4450 Ft.
// The month: 180 km, 3850 + 2700 = 6550 Ft.
class TravelOrderTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    static void twoDays(PrintFixture& f) {
        f.s.cars[0].generalCost = 15.0f;
        f.day(3, {1, 2, 1});
        f.day(10, {1, 2, 3, 1});
        f.log.comments[2] = u"Ügyféltárgyalás  Győrben"_s;
    }

private slots:
    // Only the day without a comment is a fault; the figures of each day are read from the PDF.
    void pdfText() {
        PrintFixture f;
        twoDays(f);
        const QStringList faults = travelOrderFaults(f.log, computeTravelOrder(f.s, f.log, 1.0f));
        QVERIFY(faults.size() == 1 && faults[0].startsWith(u"2002. március 10.:"_s));
        f.s.programDir = dir.path() + u'/';
        f.s.carFacts.taxId = u"8365670003"_s;
        f.s.partners[2].city = u"Balatonszentgyörgy-Balatonkeresztúr"_s; // a long name cuts no figure
        const QString path = dir.filePath(u"rendelveny.pdf"_s);
        QVERIFY(printToPdf(f.s, f.log, Printout::TravelOrder, Season{}, path).ok());
        QCOMPARE(pdfPages(path), 3); // two days and the summary
        const QString text = rv::pdfText(path).simplified();
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        for (const QString& want : {
                 u"Kiküldetési rendelvény"_s, u"A kiküldött neve: Teszt"_s, u"Adóazonosító jele: 8365670003"_s, u"Opel Astra, rendszáma: ABC-123"_s,
                 u"A kiküldetés napja: 2002. március 3."_s, u"A kiküldetés célja: Ügyféltárgyalás Győrben"_s,
                 u"Útvonal: Budapest – Győr – Budapest"_s,
                 u"Budapest → Győr: 30 km × 8 L/100 km ÷ 100 × 250 Ft/L = 600 Ft"_s, u"+ 30 km × 15 Ft/km = 450 Ft"_s,
                 u"Térítendő összeg: 2 100 Ft"_s, u"A kiküldetés célja: nincs megadva"_s,
                 u"Útvonal: Budapest – Győr – Balatonszentgyörgy-Balatonkeresztúr – Budapest"_s,
                 u"Győr → Balatonszentgyörgy-Balatonkeresztúr: 50 km × 8 L/100 km ÷ 100 × 250 Ft/L × 1,25 (útvonal) = 1 250 Ft"_s,
                 u"Térítendő összeg: 4 450 Ft"_s, u"a kiküldött aláírása"_s, u"a kiküldő (munkáltató) aláírása"_s,
                 u"havi összesítő"_s, u"Térítendő összesen: 6 550 Ft"_s})
            QVERIFY2(text.contains(want), qPrintable(want + u"\n---\n"_s + text));
    }

    void noPriceNoPrintout() {
        PrintFixture f;
        twoDays(f);
        f.s.fuelPrices = {{QDate(2002, 3, 5), 250}}; // day 3 has none
        QVERIFY(computeTravelOrder(f.s, f.log, 1.0f).missingPrice);
        f.s.programDir = dir.path() + u'/';
        const QString path = dir.filePath(u"nincs.pdf"_s);
        QVERIFY(!printToPdf(f.s, f.log, Printout::TravelOrder, Season{}, path).ok() && !QFile::exists(path));
    }
};

QTEST_MAIN(TravelOrderTest)
#include "tst_travelorder.moc"
