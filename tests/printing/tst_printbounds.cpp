#include "model/grouping.h"
#include "model/norms.h"
#include "model/yearsummary.h"
#include "printfixture.h"
#include "printing/travelorder.h"
#include "printing/yearprintout.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using Kind = RecordingCanvas::Kind;

namespace {

constexpr double kSlack = 0.5; // twips of rounding

QString where(const RecordingCanvas::Item& i) {
    return u"„%1” page %2 at %3..%4 × %5..%6 in %7..%8"_s.arg(i.text)
        .arg(i.page)
        .arg(i.x1)
        .arg(i.x2)
        .arg(i.y1)
        .arg(i.y2)
        .arg(i.left)
        .arg(i.right);
}

// Every text lies inside the room it was given and that room inside the page; no two texts of a
// page overlap (each a box 1,2 em high), and no rule runs through a text's letters (its first
// em). Returns the first fault, empty when none.
QString boundsFault(const RecordingCanvas& c) {
    const auto texts = c.all(Kind::Text);
    const auto rules = c.all(Kind::Line) + c.all(Kind::Bar);
    for (const auto& t : texts) {
        if (t.text.trimmed().isEmpty())
            continue;
        if (t.left < -kSlack || t.right > c.scaleWidth() + kSlack || t.x1 < t.left - kSlack || t.x2 > t.right + kSlack)
            return u"past its room: "_s + where(t);
        if (t.y1 < -kSlack || t.y2 > c.pageHeight() + kSlack)
            return u"past the page: "_s + where(t);
    }
    for (qsizetype a = 0; a < texts.size(); ++a) {
        const auto& t = texts[a];
        if (t.text.trimmed().isEmpty())
            continue;
        for (qsizetype b = a + 1; b < texts.size(); ++b) {
            const auto& u = texts[b];
            if (u.page != t.page || u.text.trimmed().isEmpty())
                continue;
            if (t.x1 < u.x2 - kSlack && u.x1 < t.x2 - kSlack && t.y1 < u.y2 - kSlack && u.y1 < t.y2 - kSlack)
                return u"overlaps: "_s + where(t) + u" and "_s + where(u);
        }
        for (const auto& r : rules)
            if (r.page == t.page && std::max(r.y1, r.y2) > t.y1 + kSlack &&
                std::min(r.y1, r.y2) < t.y1 + t.fontSize * 20 - kSlack &&
                std::min(r.x1, r.x2) < t.x2 - kSlack && std::max(r.x1, r.x2) > t.x1 + kSlack)
                return u"a rule runs through "_s + where(t) + u" at y %1"_s.arg(r.y1);
    }
    return {};
}

// The hard month: names and addresses as long as real ones get, legs of hundreds of km at a
// price that makes six- and seven-digit sums, the given number of trip days.
struct HardMonth : PrintFixture {
    explicit HardMonth(int tripDays, int legsADay = 4) {
        CarRecord& car = s.cars[0];
        car.userName = u"Dr. Szentgyörgyvölgyi-Kovácsházi Bernadett Erzsébet"_s;
        car.carType = u"Volkswagen Transporter Kombi 2.0 TDI BlueMotion Technology"_s;
        car.plateNumber = u"AE KB-412"_s;
        car.companyName = u"Északkelet-magyarországi Mezőgazdasági Gépkereskedelmi és Szolgáltató Korlátolt Felelősségű Társaság"_s;
        car.companyAddress = u"Hódmezővásárhelyi út 123/B. II. emelet 14. ajtó"_s;
        car.city = u"Balatonfüred"_s;
        car.consumption = 11.7f;
        car.generalCost = 15.0f;
        s.partners = {{u"Központi telephely és raktárbázis"_s, u"Hódmezővásárhely"_s, u"Kossuth Lajos utca 127/B."_s},
                      {u"Szabolcs-Szatmár-Beregi Mezőgazdasági Értékesítő Zrt."_s, u"Mátészalka"_s,
                       u"Kölcsey Ferenc körút 48–52. A ép."_s},
                      {u"Balatonfüredi Szívkórház Gazdasági Igazgatóság"_s, u"Balatonfüred"_s,
                       u"Gyógy tér 2. földszint 3."_s},
                      {u"Kisgazda Bt."_s, u"Szentgotthárd-Rábafüzes"_s, u"Fő út 1."_s}};
        for (int i = 1; i <= 4; ++i)
            for (int j = 1; j <= 4; ++j)
                if (i != j)
                    s.distances.at(i, j) = DistanceCell{qint16(97 * (i + j)), qint16(1 + (i + j) % 6)};
        for (int i = 0; i < kMultiplierCount; ++i)
            s.multipliers[size_t(i)].name = u"Lakott területen kívüli, erősen emelkedő út %1"_s.arg(i + 1);
        s.fuelPrices = {{QDate(2002, 1, 10), 789}};
        setMonth(2002, 3);
        log.stops.reset(legsADay + 1);
        log.startOdometer = 1234567;
        const int stops[] = {1, 2, 3, 4, 1, 3, 2, 4, 3, 1, 4, 2, 1};
        for (int d = 1; d <= tripDays; ++d) {
            for (int c = 0; c <= legsADay; ++c)
                log.stops.at(d, c + 1) = qint16(stops[c % 13]);
            log.comments[size_t(d - 1)] =
                u"Éves szerződéses tárgyalás és a gépbemutató előkészítése a beszerzési igazgatóval"_s;
        }
        log.stopWidth = legsADay + 1;
        refresh();
    }
};

} // namespace

// Every printout, laid out with the hardest cases, keeps each text inside its room and its page.
class PrintBoundsTest : public QObject {
    Q_OBJECT

private slots:
    void everyPrintoutStaysInside_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("flat");
        for (const int days : {15, 31})
            for (const auto& [name, which] : {std::pair{"logbook", Printout::Logbook},
                                               {"statement", Printout::CostStatement},
                                               {"travel order", Printout::TravelOrder}})
                for (const bool preview : {false, true}) {
                    const QByteArray row = QByteArray(name) + ' ' + QByteArray::number(days) + (preview ? " preview" : "");
                    QTest::newRow(row.constData()) << days << int(which) << preview << false;
                }
        QTest::newRow("flat-norm statement") << 31 << int(Printout::CostStatement) << false << true;
    }
    void everyPrintoutStaysInside() {
        QFETCH(int, days);
        QFETCH(int, which);
        QFETCH(bool, preview);
        QFETCH(bool, flat);
        HardMonth f(days, which == int(Printout::Logbook) ? 4 : 12);
        if (flat)
            f.s.carFacts.norm = NormKind::Flat;
        int pages = 1;
        if (!preview) {
            const RecordingCanvas c = f.layout(Printout(which), Twin::printer(), &pages);
            QVERIFY(c.items.size() > 20);
            const QString fault = boundsFault(c);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
        for (int page = 1; preview && page <= pages; ++page) {
            const RecordingCanvas c = f.layout(Printout(which), Twin::preview(page), &pages);
            const QString fault = boundsFault(c);
            QVERIFY2(fault.isEmpty(), qPrintable(u"page %1: "_s.arg(page) + fault));
        }
    }

    // A day of twelve legs is one page; a summary of 15 days of four legs is one page too.
    void travelOrderDayOfTwelveLegsOnOnePage() {
        HardMonth f(15, 12);
        const TravelOrder order = computeTravelOrder(f.s, f.log, 1.0f);
        QCOMPARE(order.days.size(), 15);
        QCOMPARE(order.days[0].legs.size(), 12);
        RecordingCanvas day;
        QCOMPARE(layoutTravelOrder(day, f.s, f.log, order, travelPerson(f.s), 1.0f, Twin::printer(), 3), 1);
        QVERIFY(day.textStarting(u"12. "_s) && day.textStarting(u"Térítendő összeg: "_s));

        // Months of 15, 16 and 31 days of four legs: the summary of 15 days is one page, of 16
        // two; the amount to pay stands whole and clear of "Kelt".
        for (const int days : {15, 16, 31}) {
            HardMonth four(days, 4);
            const TravelOrder month = computeTravelOrder(four.s, four.log, 1.0f);
            RecordingCanvas all;
            const int pages = layoutTravelOrder(all, four.s, four.log, month, travelPerson(four.s), 1.0f, Twin::printer());
            QCOMPARE(pages, days + (days == 15 ? 1 : 2));
            const QString total = u"Térítendő összesen: "_s + groupedDigits(month.total()) + u" Ft"_s;
            QVERIFY2(month.total() >= 1000000, qPrintable(total));
            QVERIFY2(all.text(total) && all.text(total)->page == pages, qPrintable(all.texts(pages).join(u" | "_s)));
            const QString fault = boundsFault(all);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
        }
    }

    void yearStaysInside() {
        HardMonth f(1);
        YearSummary y;
        y.year = 2026;
        qint64 reading = 1234567;
        for (int m = 1; m <= 12; ++m) {
            YearRow r;
            r.month = m;
            r.start = qint32(reading);
            r.km = 9876 + m;
            r.privateKm = 1234;
            r.cost = 1987654 + m;
            r.chainBreak = m == 5;
            reading += r.km + r.privateKm;
            y.rows.append(r);
            y.totalKm += r.km;
            y.totalPrivateKm += r.privateKm;
            y.totalCost += r.cost;
        }
        RecordingCanvas c;
        layoutYear(c, f.s, y);
        QVERIFY(c.items.size() > 100);
        const QString fault = boundsFault(c);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

QTEST_GUILESS_MAIN(PrintBoundsTest)
#include "tst_printbounds.moc"
