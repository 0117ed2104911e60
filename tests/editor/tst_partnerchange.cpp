#include "editor/partnerchange.h"
#include "dbtestutil.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using dbtest::logbookWith;

namespace {

const Partner kBase{u"Saját"_s, u"Pápa"_s, {}};
const Partner kOld{u"Régi Kft."_s, u"Győr"_s, u"Fő út 1."_s};
const Partner kNew{u"Új Kft."_s, u"Győr"_s, u"Fő út 2."_s};
const Partner kNamesake{kOld.name, u"Pécs"_s, kOld.address};

// Day 3 visits the base, the changing partner twice, its namesake in Pécs and the base again.
QByteArray monthWith(int month, const Partner& changing) {
    return logbookWith(month, {kBase, changing, changing, kNamesake, kBase});
}

} // namespace

class TestPartnerChange : public QObject {
    Q_OBJECT
private slots:
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
    }
};

QTEST_GUILESS_MAIN(TestPartnerChange)
#include "tst_partnerchange.moc"
