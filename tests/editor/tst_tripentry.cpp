#include "dbtestutil.h"
#include "editor/calendar.h"
#include "editor/partnerchange.h"
#include "editor/tripentry.h"
#include "editor/validation.h"
#include "editorfixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using dbtest::logbookWith;

namespace {
struct Adding {
    QVector<int> before;
    int selected;
    int partner;
    TripType type;
    QVector<int> after;
    int selectedAfter;
};

// A partner changed in the stored months: the car's base, the partner before and after, and another
// partner of the same name and address.
const Partner kBase{u"Saját"_s, u"Pápa"_s, {}};
const Partner kOld{u"Régi Kft."_s, u"Győr"_s, u"Fő út 1."_s};
const Partner kNew{u"Új Kft."_s, u"Győr"_s, u"Fő út 2."_s};
const Partner kNamesake{kOld.name, u"Pécs"_s, kOld.address};

// Day 3 visits the base, the changing partner twice, its namesake in Pécs and the base again.
QByteArray monthWith(int month, const Partner& changing) {
    return logbookWith(month, {kBase, changing, changing, kNamesake, kBase});
}

} // namespace

class TestTripEntry : public QObject, MonthFixture {
    Q_OBJECT
private slots:
    void init() { start(2025, 4); } // April: 30 days

    void adding_data() {
        QTest::addColumn<Adding>("a");
        using enum TripType;
        QTest::newRow("empty day, back to base") << Adding{ints({}), -1, 7, BackToBase, ints({7, 1}), 1};
        QTest::newRow("return trip") << Adding{ints({1, 7}), 1, 9, ReturnTrip, ints({1, 7, 9, 7}), 3};
        QTest::newRow("return trip from nowhere") << Adding{ints({}), -1, 9, ReturnTrip, ints({9}), 0};
        QTest::newRow("before the first") << Adding{ints({1, 7, 9}), 0, 5, OneWay, ints({5, 1, 7, 9}), 0};
        QTest::newRow("before the middle") << Adding{ints({1, 7, 9}), 1, 3, OneWay, ints({1, 3, 7, 9}), 1};
        QTest::newRow("last selected appends") << Adding{ints({1, 7, 9}), 2, 5, OneWay, ints({1, 7, 9, 5}), 3};
        QTest::newRow("nothing selected appends") << Adding{ints({1, 7}), -1, 3, OneWay, ints({1, 7, 3}), 2};
        QTest::newRow("base after the base") << Adding{ints({5}), 0, 1, BackToBase, ints({5, 1}), 1};
        // Never the same partner next to itself, nor an unknown one.
        QTest::newRow("after itself") << Adding{ints({1, 7}), 1, 7, OneWay, ints({1, 7}), -1};
        QTest::newRow("after itself, back to base") << Adding{ints({1, 7}), 1, 7, BackToBase, ints({1, 7}), -1};
        QTest::newRow("before itself") << Adding{ints({1, 7, 9}), 1, 7, OneWay, ints({1, 7, 9}), -1};
        QTest::newRow("after the line above") << Adding{ints({1, 7, 9}), 1, 1, OneWay, ints({1, 7, 9}), -1};
        QTest::newRow("partner 0") << Adding{ints({}), -1, 0, OneWay, ints({}), -1};
        QTest::newRow("partner 10 of 9") << Adding{ints({}), -1, 10, OneWay, ints({}), -1};
    }
    void adding() {
        QFETCH(Adding, a);
        setDay(log, 3, a.before);
        const StopEdit e = addPartner(*s, log, 3, a.selected, a.partner, a.type);
        QCOMPARE((std::tuple{dayStops(log, 3), e.changed, log.modified}), (std::tuple{a.after, a.after != a.before, e.changed}));
        if (e.changed)
            QCOMPARE(e.selected, a.selectedAfter);
        QCOMPARE(log.stopWidth, int(std::max(a.before.size(), a.after.size())));
        QVERIFY(log.stops.columns() >= log.stopWidth);
    }

    void addingToDaysOutsideTheMonthIsRefused() {
        QVERIFY(!addPartner(*s, log, 0, -1, 2, TripType::OneWay).changed && !addPartner(*s, log, 32, -1, 2, TripType::OneWay).changed &&
                !deleteStop(log, 40, 0).changed && log.stopWidth == 0);
    }

    void deleteOne() {
        setDay(log, 1, {1, 7, 9, 1});
        log.modified = false;
        QVERIFY(!deleteStop(log, 1, -1).changed && !deleteStop(log, 1, 4).changed && !log.modified);
        QCOMPARE(deleteStop(log, 1, 1).selected, 0); // the line above is selected
        QCOMPARE(dayStops(log, 1), ints({1, 9, 1}));
        QCOMPARE(deleteStop(log, 1, 0).selected, 0);
        QCOMPARE(dayStops(log, 1), ints({9, 1}));
        deleteStop(log, 1, 1);
        QCOMPARE(deleteStop(log, 1, 0).selected, -1);
        QVERIFY(dayStopCount(log, 1) == 0 && log.modified);
    }

    void deletingShrinksToTheNextWidestDay() {
        setDay(log, 5, {1, 2, 3, 4, 5});
        setDay(log, 9, {1, 2, 1});
        setDay(log, 20, {6, 7});
        log.comments[4] = u"Szerviz"_s;
        deleteStop(log, 5, 4);
        QVERIFY(log.stopWidth == 4 && deleteDay(log, 5));
        QCOMPARE((std::tuple{log.stopWidth, log.stops.columns(), log.comments[4], dayStops(log, 9)}),
                 (std::tuple{3, 3, u"Szerviz"_s, ints({1, 2, 1})}));
        QVERIFY(deleteDay(log, 9) && deleteDay(log, 20));
        MonthLog fresh;
        shrinkStops(fresh);
        QCOMPARE(std::pair(log.stopWidth, fresh.stopWidth), std::pair(1, 0)); // never below 1 once the month had a stop
    }

    void copy() {
        setDay(log, 3, {1, 5});
        setDay(log, 4, {1, 7, 9, 1});
        QVERIFY(copyDay(log, 3, 4, false) && dayStops(log, 4) == ints({1, 5}));
        setDay(log, 4, {2, 1});
        QVERIFY(copyDay(log, 3, 4, true));
        QCOMPARE((std::tuple{dayStops(log, 4), log.stopWidth, dayStops(log, 3), log.modified}),
                 (std::tuple{ints({2, 1, 1, 5}), 4, ints({1, 5}), true}));
        QVERIFY(!copyDay(log, 3, 3, true) && !copyDay(log, 3, 0, false));

        QCOMPARE(copyDays(log, 3, u"3"_s, u"4"_s), std::optional(std::pair{3, 4}));
        QCOMPARE(copyDays(log, 2, u"3"_s, u"4"_s), std::nullopt); // the current day has no stop
        for (const QString& to : {u"3"_s, u"03"_s, QString(), u"x"_s, u"45"_s})
            QCOMPARE(copyDays(log, 3, u"3"_s, to), std::nullopt);
    }

    void textsOfTheDay() {
        const std::tuple<QString, QString, int, QString> cases[] = {
            {u"40"_s, u"4"_s, 30, u"30"_s},   {u"0"_s, QString(), 30, u"1"_s},  {u"-3"_s, u"5"_s, 30, u"1"_s},
            {u"1a"_s, u"1"_s, 30, u"1"_s},    {QString(), u"12"_s, 30, QString()}, {u"2.5"_s, u"2"_s, 30, u"2"_s},
            {u"30"_s, u"3"_s, 28, u"28"_s},   {u"17"_s, u"1"_s, 30, u"17"_s}};
        for (const auto& [text, last, days, expected] : cases)
            QCOMPARE(filterDayField(text, last, days), expected);
        // 1e12 is beyond a 32-bit odometer.
        QCOMPARE((std::tuple{odometerFromText(QString()), odometerFromText(u"12.6"_s), odometerFromText(u"12 km"_s),
                             odometerFromText(u"1e12"_s)}),
                 (std::tuple{std::optional<qint32>(0), std::optional<qint32>(13), std::optional<qint32>(), std::optional<qint32>()}));
        int caret = 7;
        QCOMPARE(removeQuotes(u"a\"b\"cd\"ef\""_s, &caret), u"abcdef"_s);
        QCOMPARE(caret, 4);
        s->distances.at(2, 5) = DistanceCell{25, 2};
        QCOMPARE((std::tuple{distanceHint(*s, 2, 5), distanceHint(*s, 5, 5), distanceHint(*s, 2, 12)}),
                 (std::tuple{u"Távolságuk 25 km, Budapest"_s, u"-"_s, u"-"_s}));
    }

    // The frame follows the counts: none (a lone stop is no trip), one minor fault, and a severe one
    // with a minor one, the trailing blank then belonging to the minor text; (4, 4) is 0 km too, yet
    // counts only as severe.
    void errorFrameFollowsTheCounts() {
        auto frameOf = [&] {
            const ErrorFrame f = errorFrame(validateMonth(*s, log));
            return std::tuple{f.minorText, f.severeText, f.picture, f.detailsEnabled};
        };
        setDay(log, 1, {3});
        QCOMPARE(errorFrame(validateMonth(*s, log)).minorText, u"Nincs hiba."_s); // stop width 1
        setDay(log, 2, {1, 7, 1});
        QVERIFY(validateMonth(*s, log).lines.isEmpty());
        QCOMPARE(frameOf(), (std::tuple{u"Nincs hiba."_s, QString(), ErrorPicture::None, false}));

        start(2025, 4);
        s->distances.at(2, 3) = DistanceCell{0, 1};
        setDay(log, 12, {2, 3});
        QCOMPARE(validateMonth(*s, log).lines,
                 QStringList{u"12. napon Partner 2 - Város 2 és Partner 3 - Város 3, Fő utca 3 között 0 km a távolság."_s});
        QCOMPARE(frameOf(), (std::tuple{u"1 kisebb hiba."_s, u"0 súlyos hiba."_s, ErrorPicture::Minor, true}));
        s->distances.at(9, 8) = DistanceCell{0, 1}; // the last partner of the database counts too
        setDay(log, 13, {3, 9, 8});
        QCOMPARE(validateMonth(*s, log).minor, 2);

        start(2025, 4);
        s->distances.at(4, 5) = DistanceCell{0, 1};
        setDay(log, 2, {4, 4, 5});
        QCOMPARE(validateMonth(*s, log).lines, (QStringList{u"2. napon Partner 4 - Város 4 kétszer szerepel egymás után."_s,
                                                            u"2. napon Partner 4 - Város 4 és Partner 5 - Város 5, Fő utca 5 között 0 km a távolság."_s}));
        QCOMPARE(frameOf(), (std::tuple{u"1 kisebb hiba. "_s, u"1 súlyos hiba."_s, ErrorPicture::Severe, true}));
    }

    void linesFollowDayAndPosition() {
        s->distances.at(1, 2) = DistanceCell{0, 1};
        setDay(log, 9, {2, 2, 1, 2});
        setDay(log, 3, {1, 2, 5, 5});
        setDay(log, 31, {8, 40, 40}); // past the month's end: one fault, whatever its stops
        const Validation v = validateMonth(*s, log);
        QCOMPARE(v.lines.size(), 6);
        // The 9th starts where the 3rd did not end (at 5).
        for (const auto& [line, start] : {std::pair{0, u"3. napon Partner 1 - Város 1, Fő utca 1 és Partner 2"_s},
                                          {1, u"3. napon Partner 5 - Város 5, Fő utca 5 kétszer"_s},
                                          {2, u"A 9. nap „Partner 2 - Város 2” partnertől indul"_s}, {3, u"9. napon Partner 2 - Város 2 kétszer"_s},
                                          {4, u"9. napon Partner 1 - Város 1, Fő utca 1 és Partner 2"_s},
                                          {5, u"2025. április 31. napja nincs a naptárban"_s}})
            QVERIFY2(v.lines[line].startsWith(start), qPrintable(v.lines[line]));
        QCOMPARE(std::pair(v.minor, v.severe), std::pair(3, 3));
    }

    // A journey of several days may end at a partner and go on from there the next trip day.
    void dayStartsWhereThePreviousTripDayEnded() {
        setDay(log, 3, {1, 2});
        setDay(log, 4, {2, 5, 1});
        setDay(log, 5, {7}); // one stop: no trip
        setDay(log, 6, {3, 1});
        Validation v = validateMonth(*s, log);
        QCOMPARE(v.lines, QStringList{u"A 6. nap „Partner 3 - Város 3, Fő utca 3” partnertől indul, de a 4. nap "
                                      u"„Partner 1 - Város 1, Fő utca 1” partnernél ért véget."_s});
        QCOMPARE(v.minor, 1);
        // The car's first month: no start reading, and the first trip from elsewhere than the company.
        setDay(log, 3, {4, 2});
        v = validateMonth(*s, log, {}, true);
        QCOMPARE(v.lines.mid(0, 2), (QStringList{u"Nincs megadva kezdő km-óra állás"_s,
                                                 u"A 3. nap „Partner 4 - Város 4” partnertől indul, de az autó első "
                                                 u"hónapjában az első út a cégtől („Partner 1 - Város 1, Fő utca 1”) indul."_s}));
        QCOMPARE(v.minor, 3);
        log.startOdometer = 12000;
        QCOMPARE(validateMonth(*s, log).minor, 1); // a later month: its first day is not checked
    }

    // June 2025 starts on a Sunday, March 2025 on a Saturday, February 2028 on a Tuesday.
    void cellsAndDates() {
        QCOMPARE((std::tuple{cellOfDay(2025, 6, 1), cellOfDay(2025, 3, 31), cellOfDay(2028, 2, 29)}), (std::tuple{7, 36, 30}));
        QCOMPARE((std::tuple{dayOfCell(2025, 6, 6), dayOfCell(2025, 3, 37), dayOfCell(2027, 2, 29), dayOfCell(2028, 2, 30)}),
                 (std::tuple{0, 0, 0, 29}));
        QCOMPARE((std::tuple{dateLabel(2002, 1, 5), dateLabel(2028, 2, 29), dateLabel(2026, 2, 29)}),
                 (std::tuple{u"2002. január 5. szombat"_s, u"2028. február 29. kedd"_s, QString()}));
        // year, month, day, the next and the previous day
        for (const auto& [year, month, day, next, previous] : {std::tuple{2026, 2, 28, 1, 27}, {2026, 2, 1, 2, 28},
                                                               {2028, 2, 29, 1, 28}, {2028, 2, 1, 2, 29}, {2025, 4, 30, 1, 29}})
            QCOMPARE(std::pair(nextDay(year, month, day), previousDay(year, month, day)), std::pair(next, previous));
    }

    // ---- a partner changed in the stored months

    void onlyStopsWithAllThreeTextsChangeExactly() {
        QByteArray out;
        int changes = -1;
        QVERIFY(rewriteLogbookText(monthWith(1, kOld), u"2002jan.rvn"_s, kOld, kNew, out, changes));
        QCOMPARE(std::pair(changes, out), std::pair(2, monthWith(1, kNew)));
        // Another letter case or another address is another partner.
        for (const Partner& other : {Partner{kOld.name.toUpper(), kOld.city, kOld.address}, Partner{kOld.name, kOld.city, u"Fő út 9."_s}}) {
            QVERIFY(rewriteLogbookText(monthWith(1, kOld), u"2002jan.rvn"_s, other, kNew, out, changes));
            QCOMPARE(std::pair(changes, out), std::pair(0, monthWith(1, kOld)));
        }
    }

    void chosenLogbooksAreRewrittenAndCounted() {
        TestEnv env;
        env.loginCar();
        const QByteArray notVisited = logbookWith(3, {kBase, kNamesake});
        env.write(u"Users/ABC123/2002jan.rvn"_s, monthWith(1, kOld));
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbookWith(2, {kBase, kOld}));
        env.write(u"Users/ABC123/2002mar.rvn"_s, notVisited);
        const PartnerChangeReport r =
            carryPartnerChange(env.state, {u"2002feb.rvn"_s, u"2002mar.rvn"_s}, kOld, kNew);
        QCOMPARE(r.message(), u"2 nyilvántartásban 1 módosítás."_s); // the unchanged March counts too
        // January was not chosen.
        QCOMPARE((std::tuple{env.read(u"Users/ABC123/2002feb.rvn"_s), env.read(u"Users/ABC123/2002mar.rvn"_s),
                             env.read(u"Users/ABC123/2002jan.rvn"_s), QFile::exists(env.path(u"Users/ABC123/temp.tmp"_s))}),
                 (std::tuple{logbookWith(2, {kBase, kNew}), notVisited, monthWith(1, kOld), false}));
    }

    void aDamagedLogbookIsNamedAndLeftUntouched() {
        TestEnv env;
        env.loginCar();
        QByteArray cut = monthWith(4, kOld);
        cut.truncate(cut.size() - 40); // ends inside day 31
        const QByteArray trailing = monthWith(5, kOld) + "\"more\"\r\n";
        env.write(u"Users/ABC123/2002apr.rvn"_s, cut);
        env.write(u"Users/ABC123/2002maj.rvn"_s, trailing);
        env.write(u"Users/ABC123/2002jun.rvn"_s, monthWith(6, kOld));
        const PartnerChangeReport r = carryPartnerChange(
            env.state, {u"2002apr.rvn"_s, u"2002maj.rvn"_s, u"2002jun.rvn"_s, u"nincs.rvn"_s}, kOld, kNew);
        QCOMPARE(r.skipped, QStringList({u"2002apr.rvn"_s, u"2002maj.rvn"_s, u"nincs.rvn"_s}));
        QVERIFY(r.message().startsWith(u"1 nyilvántartásban 2 módosítás.\r\n\r\n"_s) && r.message().contains(u"2002apr.rvn"_s));
        QCOMPARE((std::tuple{env.read(u"Users/ABC123/2002apr.rvn"_s), env.read(u"Users/ABC123/2002maj.rvn"_s),
                             QFile::exists(env.path(u"Users/ABC123/temp.tmp"_s))}),
                 (std::tuple{cut, trailing, false}));
    }

    // A month of the older layout is listed and rewritten in the present layout, every trip kept.
    void anOlderLayoutMonthIsRewrittenInThePresentLayout() {
        TestEnv env;
        env.loginCar();
        QFile fixture(QStringLiteral(ROVANTA_TEST_DATA "/logbooks/older12.rvn"));
        QVERIFY(fixture.open(QIODevice::ReadOnly));
        const QByteArray older = fixture.readAll();
        const Partner kGyor{u"Győri Kft."_s, u"Győr"_s, {}}; // padded with spaces in the file
        env.write(u"Users/ABC123/2002jan.rvn"_s, older);
        QCOMPARE(changeableLogbooks(env.state).size(), 1);
        const Partner renamed{u"Győri Zrt."_s, u"Győr"_s, {}};
        const PartnerChangeReport r = carryPartnerChange(env.state, {u"2002jan.rvn"_s}, kGyor, renamed);
        QCOMPARE(r.message(), u"1 nyilvántartásban 2 módosítás."_s);
        StoredLogbook before, after;
        QVERIFY(parseLogbook(older, u"a"_s, before) && parseLogbook(env.read(u"Users/ABC123/2002jan.rvn"_s), u"b"_s, after));
        QCOMPARE(std::pair(after.olderLayout, after.version), std::pair(false, u"2.2"_s));
        for (QVector<Partner>& day : before.stops)
            std::replace(day.begin(), day.end(), kGyor, renamed);
        QCOMPARE((std::tuple{after.stops, after.comments, after.monthKm}), (std::tuple{before.stops, before.comments, before.monthKm}));
    }

    void onlyCurrentAndVersion20LogbooksAreListed() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2002feb.rvn"_s, monthWith(2, kOld));
        env.write(u"Users/ABC123/2002dec.RVN"_s, logbookWith(12, {kOld}, "2.0"));
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbookWith(1, {kOld}, "2"));
        env.write(u"Users/ABC123/2000jan.rvn"_s, "\"RVN\",\"1.2\"\r\n2000,1\r\n");
        env.write(u"Users/ABC123/2000feb.rvn"_s, "\"XYZ\",\"2.2\"\r\n2000,2,0\r\n");
        env.write(u"Users/ABC123/2000mar.rvn"_s, "\"RVN\",\"2.2\"\r\n2000,13,0\r\n");
        env.write(u"Users/ABC123/2000apr.rvn"_s, "");
        env.write(u"Users/ABC123/2002mar.txt"_s, monthWith(3, kOld));
        QStringList files;
        for (const ChangeableLogbook& b : changeableLogbooks(env.state))
            files << b.fileName;
        QCOMPARE(std::pair(files, changeableLogbooks(env.state).last().label),
                 std::pair(QStringList({u"2002jan.rvn"_s, u"2002feb.rvn"_s, u"2002dec.RVN"_s}), u"2002. december"_s));
        // A version 2.0 file is rewritten keeping its version text.
        QVERIFY(carryPartnerChange(env.state, {u"2002dec.RVN"_s}, kOld, kNew).changes == 2 &&
                env.read(u"Users/ABC123/2002dec.RVN"_s).startsWith("\"RVN\",\"2.0\"\r\n"));
        // Offered for a change: the ones that have the partner, and one that does not read whole.
        QByteArray cut = monthWith(4, kNew);
        cut.truncate(cut.size() - 40);
        env.write(u"Users/ABC123/2002apr.rvn"_s, cut);
        files.clear();
        for (const ChangeableLogbook& b : logbooksUsing(env.state, kOld))
            files << b.fileName;
        QCOMPARE(files, QStringList({u"2002jan.rvn"_s, u"2002feb.rvn"_s, u"2002apr.rvn"_s}));
        QVERIFY(logbooksUsing(env.state, Partner{u"Senki"_s, u"Sehol"_s, {}}).size() == 1);
    }
};

QTEST_GUILESS_MAIN(TestTripEntry)
#include "tst_tripentry.moc"
