#include "editor/validation.h"
#include "model/monthprice.h"
#include "model/yearsummary.h"
#include "printfixture.h"
#include "storage/datafiles.h"

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
};

} // namespace

class TestMonthPrice : public QObject {
    Q_OBJECT
private slots:
    void faultOnlyWhereThePublishedMonthIsMissing_data() {
        QTest::addColumn<Case>("c");
        const QVector<FuelPrice> car = kPublished;
        const QVector<int> days{3, 17};
        const QString november = u"2026. novemberre nincs közzétett NAV-ár (gázolaj); a 2025. novemberi 596 Ft/l-rel számolva"_s;
        QTest::newRow("past the end") << Case{car, kPublished, 2026, 11, days, november};
        QTest::newRow("gap") << Case{car, kPublished, 2022, 7, days,
                                     u"2022. júliusra nincs közzétett NAV-ár (gázolaj); a 2020. decemberi 372 Ft/l-rel számolva"_s};
        QTest::newRow("its own month") << Case{car, kPublished, 2025, 11, days, {}};
        QTest::newRow("before the list") << Case{{p(2019, 5, 1, 350)}, kPublished, 2019, 8, days, {}};
        QTest::newRow("no published list") << Case{car, {}, 2026, 11, days, {}};
        QTest::newRow("no leg") << Case{car, kPublished, 2026, 11, {}, {}};
        // The month's own price, though not NAV's.
        QTest::newRow("typed on the 1st") << Case{car + QVector<FuelPrice>{p(2026, 11, 1, 640)}, kPublished, 2026, 11, days, {}};
        // A price typed for the 10th holds from the 10th; the days before it still use October's.
        const QVector<FuelPrice> typed = car + QVector<FuelPrice>{p(2026, 11, 10, 640)};
        QTest::newRow("typed on the 10th, legs after") << Case{typed, kPublished, 2026, 11, {10, 20}, {}};
        QTest::newRow("typed on the 10th, a leg before") << Case{typed, kPublished, 2026, 11, {9, 20}, november};
    }
    void faultOnlyWhereThePublishedMonthIsMissing() {
        QFETCH(Case, c);
        auto found = priceFaultOf(c.car, c.published, c.year, c.month, c.days);
        if (found)
            found->fuelName = u"gázolaj"_s;
        QCOMPARE(found ? found->text() : QString(), c.fault);
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
        const QString text = u"2026. novemberre nincs közzétett NAV-ár (gázolaj); a 2025. novemberi 596 Ft/l-rel számolva"_s;
        const Validation v = validateMonth(f.s, f.log);
        QCOMPARE(std::pair(v.minor, v.lines), std::pair(1, QStringList{text}));
        QVERIFY(f.layout(Printout::CostStatement).texts().contains(text));

        // November published: nothing to tell.
        writePublished(serializeFuelPrices(QVector<FuelPrice>(kPublished) << p(2026, 11, 1, 610)));
        QCOMPARE(validateMonth(f.s, f.log).minor, 0);
        QVERIFY(!f.layout(Printout::CostStatement).texts().contains(text));
        // A user who does not use NAV prices: empty published files, nothing told.
        writePublished("0\r\n");
        QCOMPARE(validateMonth(f.s, f.log).minor, 0);
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
