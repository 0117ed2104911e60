#include "editor/validation.h"
#include "model/monthprice.h"
#include "model/norms.h"
#include "model/reckoning.h"
#include "model/yearsummary.h"
#include "printfixture.h"
#include "storage/datafiles.h"
#include "storage/navprices.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

FuelPrice p(int y, int m, int d, int price) { return FuelPrice{QDate(y, m, d), qint16(price)}; }

// Published gázolaj as the program ships it around the end of its table: 2020-11, 2020-12, a gap
// until 2023-01, then to 2025-11.
const QVector<FuelPrice> kPublished = {p(2020, 11, 1, 369), p(2020, 12, 1, 372), p(2023, 1, 1, 713),
                                       p(2025, 10, 1, 597), p(2025, 11, 1, 596)};

struct Case {
    QVector<FuelPrice> car, published;
    int year, month;
    QVector<int> days;
    QString fault; // empty: none
    std::optional<PriceSource> chosen = std::nullopt;
};

} // namespace

class TestMonthPrice : public QObject {
    Q_OBJECT
private slots:
    void faultOnlyWhereTheMonthsOwnPriceIsMissing_data() {
        QTest::addColumn<Case>("c");
        const QVector<FuelPrice> car = kPublished;
        const QVector<int> days{3, 17};
        const QString november = u"2026. novemberre nincs közzétett NAV-ár (gázolaj); a 2025. novemberi 596 Ft/l-rel számolva"_s;
        QTest::newRow("past the end") << Case{car, kPublished, 2026, 11, days, november};
        QTest::newRow("gap") << Case{car, kPublished, 2022, 7, days,
                                     u"2022. júliusra nincs közzétett NAV-ár (gázolaj); a 2020. decemberi 372 Ft/l-rel számolva"_s};
        QTest::newRow("its own month") << Case{car, kPublished, 2025, 11, days, {}};
        QTest::newRow("before the list") << Case{{p(2019, 5, 1, 350)}, kPublished, 2019, 8, days, {}, PriceSource::Nav};
        QTest::newRow("no published list") << Case{car, {}, 2026, 11, days, {}};
        QTest::newRow("no leg") << Case{car, kPublished, 2026, 11, {}, {}};
        // The month's own price, though not NAV's.
        QTest::newRow("typed on the 1st") << Case{car + QVector<FuelPrice>{p(2026, 11, 1, 640)}, kPublished, 2026, 11, days, {}, PriceSource::Nav};
        // A price typed for the 10th holds from the 10th; the days before it still use October's.
        const QVector<FuelPrice> typed = car + QVector<FuelPrice>{p(2026, 11, 10, 640)};
        QTest::newRow("typed on the 10th, legs after") << Case{typed, kPublished, 2026, 11, {10, 20}, {}, PriceSource::Nav};
        QTest::newRow("typed on the 10th, a leg before") << Case{typed, kPublished, 2026, 11, {9, 20}, november, PriceSource::Nav};
        // Published since, but not carried into the car's list: the import that adds it must not hide it.
        QTest::newRow("published, not in the car's list")
            << Case{car, kPublished + QVector<FuelPrice>{p(2025, 12, 1, 612)}, 2025, 12, days,
                    u"2025. decemberre a közzétett NAV-ár (gázolaj) 612 Ft/l, de az autó árai között nincs; a 2025. "
                    u"novemberi 596 Ft/l-rel számolva"_s};
        // Invoices are typed when they come: an own-price car is never told of NAV.
        QTest::newRow("own prices") << Case{car, kPublished, 2026, 11, days, {}, PriceSource::Own};
    }
    void faultOnlyWhereTheMonthsOwnPriceIsMissing() {
        QFETCH(Case, c);
        PrintFixture f; // a dízel car
        f.s.fuelPrices = c.car;
        f.s.carFacts.priceSource = c.chosen;
        f.setMonth(c.year, c.month);
        for (int d : c.days)
            f.day(d, {1, 2});
        const MonthReckoning r = reckonMonth(f.s, f.log, Season{}, c.published);
        QCOMPARE(r.carried ? r.carried->text() : QString(), c.fault);
        QCOMPARE(r.verdict(), c.fault.isEmpty() ? Verdict::Sound : Verdict::Doubtful);
    }

    // An older car that has not chosen: NAV while its list holds nothing but published prices of
    // their months; the choice, once made, stands whatever the list.
    void olderCarsPriceSource() {
        const QVector<FuelPrice> typed = kPublished + QVector<FuelPrice>{p(2025, 11, 10, 640)};
        const std::tuple<QVector<FuelPrice>, std::optional<PriceSource>, PriceSource> cases[] = {
            {kPublished.mid(0, 3), {}, PriceSource::Nav}, // behind the published list, still its prices
            {{}, {}, PriceSource::Nav},
            {typed, {}, PriceSource::Own},                  // an invoice typed for a day
            {{p(2025, 11, 1, 599)}, {}, PriceSource::Own},  // another price for a published month
            {{p(2024, 6, 1, 600)}, {}, PriceSource::Own},   // a month NAV did not publish
            {typed, PriceSource::Nav, PriceSource::Nav},
            {kPublished, PriceSource::Own, PriceSource::Own},
        };
        for (const auto& [own, chosen, expected] : cases) {
            CarFacts facts;
            facts.priceSource = chosen;
            QCOMPARE(decidedPriceSource(facts, own, kPublished), expected);
        }
    }

    // Minor faults of an implausible odometer and what the papers call each price. March 2002,
    // 10 000 km at the start, 60 km of legs: a closing reading of 10 661 makes 601 km private, over
    // ten times the business km; 10 660 does not.
    void implausiblePrivateUseAndPriceNames() {
        PrintFixture f;
        f.day(2, {1, 2, 1});
        f.log.comments[1] = u"Tárgyalás"_s;
        const auto faults = [&](qint32 closing) {
            f.log.closingReading = closing;
            return reckonMonth(f.s, f.log, Season{}, QVector<FuelPrice>{}).lines();
        };
        QCOMPARE(faults(10661), QStringList{u"A hónap magánhasználata (601 km) több mint tízszerese az üzleti km-nek "
                                            u"(60 km): ellenőrizze a km-óra állásokat."_s});
        QCOMPARE(faults(10660), QStringList{});

        const QDate feb(2020, 12, 1);
        QCOMPARE((QStringList{priceOriginText({372, PriceOrigin::Published, QDate(2022, 3, 1)}, 2022, 3),
                              priceOriginText({372, PriceOrigin::Carried, feb}, 2022, 3),
                              priceOriginText({577, PriceOrigin::OwnEntry, QDate(2026, 2, 3)}, 2026, 9),
                              priceOriginText({}, 2026, 9)}),
                 (QStringList{u"NAV, 2022. március"_s, u"a 2020. decemberi NAV-ár, áthozva"_s,
                              u"saját ár, 2026.02.03."_s, u"nincs ár"_s}));
        // NAV prices CNG by the kilogram.
        QCOMPARE((QStringList{priceUnit(navColumnMeasure(NavCng)), priceUnit(fuelMeasure(2), true),
                              measureUnit(navColumnMeasure(NavCng), true)}),
                 (QStringList{u"Ft/kg"_s, u"Ft/L"_s, u"kg"_s}));
        PriceFault cng{QDate(2027, 1, 1), QDate(2026, 12, 1), 590, u"CNG"_s};
        cng.kilograms = true;
        QVERIFY(cng.text().endsWith(u"590 Ft/kg-mal számolva"_s));
    }

    void monthNamesTakeTheirEnding() {
        for (const auto& [month, name] : {std::pair{1, u"2027. januárra"_s}, {4, u"2027. áprilisra"_s}, {8, u"2027. augusztusra"_s},
                                          {9, u"2027. szeptemberre"_s}, {10, u"2027. októberre"_s}}) {
            const QString text = PriceFault{QDate(2027, month, 1), QDate(2026, 3, 1), 600, u"ESZ-95"_s}.text();
            QVERIFY2(text.startsWith(name + u" nincs"_s) && text.contains(u"a 2026. márciusi 600"_s), qPrintable(text));
        }
    }

    // The published file on disk decides: the error list, the statement and the year all say it.
    void toldWhereverTheCostShows() {
        QTemporaryDir dir;
        PrintFixture f; // a dízel car
        f.s.programDir = dir.path() + u'/';
        QDir().mkpath(f.s.usersDir());
        const auto writePublished = [&](const QByteArray& bytes) {
            QFile file(f.s.usersDir() + u"bdiz.rvd"_s);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        writePublished(serializeFuelPrices(kPublished));
        f.s.fuelPrices = kPublished;
        f.setMonth(2026, 11);
        f.day(2, {1, 2, 1});
        f.log.comments[1] = u"Tárgyalás"_s;
        const QString text = u"2026. novemberre nincs közzétett NAV-ár (gázolaj); a 2025. novemberi 596 Ft/l-rel számolva"_s;
        const Validation v = validateMonth(f.s, f.log);
        QCOMPARE(std::pair(v.minor, v.lines), std::pair(1, QStringList{text}));
        QVERIFY(f.layout(Printout::CostStatement).texts().contains(text));

        // November published and carried into the car's list: nothing to tell.
        writePublished(serializeFuelPrices(QVector<FuelPrice>(kPublished) << p(2026, 11, 1, 610)));
        f.s.fuelPrices << p(2026, 11, 1, 610);
        QCOMPARE(validateMonth(f.s, f.log).minor, 0);
        QVERIFY(!f.layout(Printout::CostStatement).texts().contains(text));
        // A user who does not use NAV prices: empty published files, nothing told.
        f.s.fuelPrices.removeLast();
        writePublished("0\r\n");
        QCOMPARE(validateMonth(f.s, f.log).minor, 0);
    }

    // Gas cars on the flat norm, March 2024 at NAV's prices (LPG 332 Ft/l, CNG 794 Ft/kg), two days
    // of 1 -> 2 -> 1: four legs of 30 km, 10 Ft/km, worked by hand:
    // LPG, 1400 cm³: 8,6 l/100 km x 1,2 = 10,32 l/100 km. A leg 30 x 10,32 / 100 x 332 = 1027,872,
    //   1027 Ft; four 4108 Ft; general 4 x 300 = 1200 Ft; total 5308 Ft. 120 km use 12,384 l: 12,3 l.
    // CNG, 2500 cm³: 11,4 kg/100 km x 0,8 = 9,12 kg/100 km. A leg 30 x 9,12 / 100 x 794 = 2172,384,
    //   2172 Ft; four 8688 Ft; total 9888 Ft; 10,944 kg: 10,9 kg. April's CNG is not published yet.
    void gasMonthsHandWorked() {
        QTemporaryDir dir;
        PrintFixture f;
        f.s.programDir = dir.path() + u'/';
        QDir().mkpath(f.s.usersDir());
        const QVector<FuelPrice> lpg{p(2024, 2, 1, 320), p(2024, 3, 1, 332)};
        const QVector<FuelPrice> cng{p(2024, 2, 1, 820), p(2024, 3, 1, 794)};
        for (const auto& [file, list] : {std::pair{u"blpg.rvd"_s, lpg}, {u"bcng.rvd"_s, cng}}) {
            QFile out(f.s.usersDir() + file);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(serializeFuelPrices(list)) > 0);
        }
        f.s.carFacts = CarFacts{NormKind::Flat, 0, {}, PriceSource::Nav};
        f.setMonth(2024, 3);
        f.day(3, {1, 2, 1});
        f.day(17, {1, 2, 1});
        f.log.comments[2] = f.log.comments[16] = u"Tárgyalás"_s;
        struct Gas {
            int fuelType, cm3, hundredths;
            QVector<FuelPrice> prices;
            qint64 fuelCost, tenths;
            QString norm, price;
        };
        for (const Gas& g : {Gas{6, 1400, 1032, lpg, 4108, 123, u"10,32 l/100 km, LPG (kettős üzemű)"_s, u"332 Ft/l"_s},
                             Gas{7, 2500, 912, cng, 8688, 109, u"9,12 kg/100 km, CNG"_s, u"794 Ft/kg"_s}}) {
            f.s.car(1).fuelType = g.fuelType;
            const FlatNorm norm = flatNorm(normFuelOf(g.fuelType - 1), g.cm3, false);
            QCOMPARE(norm.hundredths, g.hundredths);
            f.s.car(1).consumption = float(norm.hundredths) / 100.0f;
            f.s.fuelPrices = g.prices;
            const MonthReckoning r = reckonMonth(f.s, f.log, Season{});
            QCOMPARE((std::tuple(r.fuelCost, r.generalCost, r.total, r.fuelTenths, r.verdict())),
                     (std::tuple(g.fuelCost, qint64(1200), g.fuelCost + 1200, g.tenths, Verdict::Sound)));
            const QStringList texts = f.layout(Printout::CostStatement).texts();
            QVERIFY2(texts.join(u'|').contains(g.norm) && texts.join(u'|').contains(g.price), qPrintable(texts.join(u'|')));
        }
        f.setMonth(2024, 4);
        f.day(3, {1, 2, 1});
        f.log.comments[2] = u"Tárgyalás"_s;
        QCOMPARE(reckonMonth(f.s, f.log, Season{}).carried->text(),
                 u"2024. áprilisra nincs közzétett NAV-ár (CNG); a 2024. márciusi 794 Ft/kg-mal számolva"_s);
        f.s.car(1).fuelType = 5;
        f.s.fuelPrices = lpg;
        QCOMPARE(reckonMonth(f.s, f.log, Season{}).carried->text(),
                 u"2024. áprilisra nincs közzétett NAV-ár (LPG); a 2024. márciusi 332 Ft/l-rel számolva"_s);
    }

    void missingRecentMonthsOfAListInUse() {
        const QDate today(2026, 12, 7);
        QCOMPARE(missingRecentMonths(kPublished, today), (QVector<QDate>{QDate(2026, 11, 1), QDate(2026, 12, 1)}));
        QCOMPARE(missingRecentMonths(QVector<FuelPrice>(kPublished) << p(2026, 11, 1, 1), today),
                 QVector<QDate>{QDate(2026, 12, 1)});
        QCOMPARE(missingRecentMonths({}, today), QVector<QDate>{});
        QCOMPARE(missingRecentMonths(kPublished, QDate(2025, 11, 30)), QVector<QDate>{});
    }
};

QTEST_GUILESS_MAIN(TestMonthPrice)
#include "tst_monthprice.moc"
