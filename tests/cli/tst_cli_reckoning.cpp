#include "cli/sheets.h"
#include "cli/streamprompter.h"
#include "clifixture.h"
#include "model/carfacts.h"
#include "model/grouping.h"
#include "model/reckoning.h"
#include "model/yearsummary.h"
#include "printing/printout.h"
#include "printing/recordingcanvas.h"
#include "storage/datafiles.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

FuelPrice p(int y, int m, int d, int price) { return FuelPrice{QDate(y, m, d), qint16(price)}; }

// A month of car ABC-123 (ESZ-95, 7.5 l/100 km, 12.5 Ft/km) with the round trip 1 -> 2 -> 1 on two
// days: 31 km and 32 km, both on route type 4 (x 1.2). Worked by hand, a leg's fuel is
// km x 7.5 / 100 x 1.2 x price = km x 0.09 x price, floored; its general cost km x 12.5, floored:
//   at 600 Ft: 1674 + 1728 + 387 + 400 = 4189 a day;
//   at 575 Ft: 1604 (1604.25) + 1656 + 387 + 400 = 4047 a day;
//   at 620 Ft: 1729 (1729.8) + 1785 (1785.6) + 387 + 400 = 4301 a day;
//   without a price: 387 + 400 = 787 a day, and the month has no cost to vouch for.
struct Case {
    QVector<FuelPrice> published, own;
    std::optional<PriceSource> chosen;
    int year, month;
    QVector<int> days;
    qint64 km, total;
    QString doubt;  // empty: a sound month
    bool printable; // a statement and a travel order can be made
};

} // namespace

class TestCliReckoning : public QObject {
    Q_OBJECT
private slots:
    void everyOutputSaysTheSame_data() {
        QTest::addColumn<Case>("c");
        const QVector<FuelPrice> octNov = {p(2025, 10, 1, 600), p(2025, 11, 1, 610)};
        QTest::newRow("gap month") << Case{{p(2025, 10, 1, 600), p(2025, 12, 1, 620)},
                                           {p(2025, 10, 1, 600), p(2025, 12, 1, 620)},
                                           {},
                                           2025,
                                           11,
                                           {3, 17},
                                           126,
                                           2 * 4189,
                                           u"2025. novemberre nincs közzétett NAV-ár (ESZ-95); a 2025. októberi 600 Ft/l-rel számolva"_s,
                                           true};
        QTest::newRow("NAV car lacking a published month")
            << Case{octNov, {p(2025, 10, 1, 600)}, {}, 2025, 11, {3, 17}, 126, 2 * 4189,
                    u"2025. novemberre a közzétett NAV-ár (ESZ-95) 610 Ft/l, de az autó árai között nincs; a 2025. "
                    u"októberi 600 Ft/l-rel számolva"_s,
                    true};
        QTest::newRow("own prices") << Case{octNov, {p(2025, 9, 12, 575)}, PriceSource::Own, 2025, 11, {3, 17}, 126,
                                            2 * 4047, {}, true};
        QTest::newRow("a leg on 30 February")
            << Case{{p(2026, 1, 1, 600), p(2026, 2, 1, 620)},
                    {p(2026, 1, 1, 600), p(2026, 2, 1, 620)},
                    {},
                    2026,
                    2,
                    {3, 30},
                    63,
                    4301,
                    u"2026. február 30. napja nincs a naptárban, mégis van útja: ez az út sehol sem számít (sem a km-ben, "
                    u"sem a költségben). Törölje, vagy írja át egy létező napra."_s,
                    true};
        QTest::newRow("no price") << Case{octNov, {}, PriceSource::Nav, 2024, 7, {3, 17}, 126, 2 * 787,
                                          u"Hiányzik a(z) 2024. július havi üzemanyagár"_s, false};
    }

    // The month is reckoned once; the editor's list, the statement, the travel order, the CSV, the
    // year's row and the command line carry its figures and its verdict.
    void everyOutputSaysTheSame() {
        QFETCH(Case, c);
        CliFixture f;
        f.write(u"Users/b95.rvd"_s, serializeFuelPrices(c.published));
        f.write(CliFixture::car1(u"benzin.rvd"_s), serializeFuelPrices(c.own));
        if (c.chosen) {
            CarFacts facts;
            facts.priceSource = c.chosen;
            f.write(CliFixture::car1(u"gepkocsi.rvd"_s), serializeCarFacts(facts));
        }
        QVERIFY(f.load());
        MonthLog& log = f.state.month;
        log = MonthLog{};
        log.year = c.year;
        log.month = c.month;
        log.stopWidth = 3;
        log.stops.reset(3);
        for (int d : c.days) {
            log.stops.at(d, 1) = log.stops.at(d, 3) = 1;
            log.stops.at(d, 2) = 2;
            log.comments[size_t(d - 1)] = u"Tárgyalás"_s;
        }
        refreshKilometres(f.state, log);
        const QString file = newMonthFileName(c.year, c.month);
        f.write(CliFixture::car1(file), serializeLogbook(f.state, log));
        QVERIFY(f.load(file));

        const MonthReckoning r = reckonMonth(f.state, f.state.month);
        const bool sound = c.doubt.isEmpty();
        QCOMPARE((std::tuple{r.km, r.total, r.verdict()}), (std::tuple{c.km, c.total, sound ? Verdict::Sound : Verdict::Doubtful}));
        const QString verdict = sound ? u"A hónap költsége rendben."_s : u"A hónap költsége nem igazolható: "_s;
        QVERIFY2(verdictText(r).startsWith(verdict) && verdictText(r).contains(c.doubt), qPrintable(verdictText(r)));
        const QString month = u"%1-%2"_s.arg(c.year).arg(c.month, 2, 10, QChar(u'0'));

        // check: the same faults, the verdict last.
        const CliFixture::Run check = f.run({u"check"_s, u"ABC-123"_s, month});
        QCOMPARE(check.out.trimmed().split(u'\n').last(), cli::StreamPrompter::plainText(verdictText(r)));
        QCOMPARE(check.code, 0);

        // cost and export: the figures when sound, refused otherwise; --elfogad takes a doubtful
        // month that has a figure.
        const CliFixture::Run cost = f.run({u"cost"_s, u"ABC-123"_s, month});
        QCOMPARE(cost.code, sound ? 0 : 1);
        const CliFixture::Run accepted = f.run({u"cost"_s, u"ABC-123"_s, month, u"--elfogad"_s});
        QCOMPARE(accepted.code, c.printable ? 0 : 1);
        if (c.printable)
            QVERIFY(accepted.out.startsWith(u"%1 km ebben a hónapban.\nÖsszes költség: %2 Ft\n"_s.arg(c.km).arg(c.total)));
        const QString csv = f.dir.filePath(u"honap.csv"_s);
        QCOMPARE(f.run({u"export"_s, u"ABC-123"_s, month, u"-o"_s, csv}).code, sound ? 0 : 1);
        const QString totals = QString::fromUtf8(cli::csvOfTable(cli::monthLegTable(f.state, r))).trimmed().split(u"\r\n"_s).last();
        QVERIFY2(totals.startsWith(u"Összesen;;;;%1;;;%2;"_s.arg(c.km).arg(c.total)) &&
                     totals.contains(cli::StreamPrompter::plainText(verdict)),
                 qPrintable(totals));

        // The statement and the travel order: the total and, under it, the doubt.
        for (const Printout which : {Printout::CostStatement, Printout::TravelOrder}) {
            RecordingCanvas canvas;
            const Result made = layoutPrintout(canvas, f.state, f.state.month, which, seasonOf(f.state, SeasonBox::None),
                                               Twin::printer());
            QCOMPARE(bool(made), c.printable);
            if (!c.printable)
                continue;
            const QStringList texts = canvas.texts();
            QVERIFY(texts.contains(groupedDigits(c.total) + u" Ft"_s) ||
                    texts.contains(u"Térítendő összesen: "_s + groupedDigits(c.total) + u" Ft"_s));
            const bool told = std::any_of(texts.begin(), texts.end(), [&](const QString& t) {
                return !c.doubt.isEmpty() && t.startsWith(c.doubt.left(40));
            });
            QVERIFY2(told == !sound, qPrintable(texts.join(u'|')));
        }

        // The year's row: the same km and cost ("-" without a price) and the mark.
        const CliFixture::Run year = f.run({u"year"_s, u"ABC-123"_s, QString::number(c.year)});
        QCOMPARE(year.code, sound ? 0 : 1);
        const QStringList row = year.out.split(u'\n').filter(month).value(0).split(u'\t');
        QCOMPARE((QStringList{row.value(2), row.value(4), QString(row.value(7).left(1))}),
                 (QStringList{QString::number(c.km), c.printable ? QString::number(c.total) : u"-"_s,
                              sound ? QString() : u"!"_s}));
    }
};

QTEST_GUILESS_MAIN(TestCliReckoning)
#include "tst_cli_reckoning.moc"
