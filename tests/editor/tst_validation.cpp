#include "editor/validation.h"
#include "editorfixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestValidation : public QObject, MonthFixture {
    Q_OBJECT
private slots:
    void init() { start(2025, 4); } // April: 30 days

    void cleanMonth() {
        setDay(log, 1, {3});
        QCOMPARE(errorFrame(validateMonth(*s, log)).minorText, u"Nincs hiba."_s); // stop width 1
        setDay(log, 2, {1, 7, 1});
        const Validation v = validateMonth(*s, log);
        QVERIFY(v.lines.isEmpty());
        const ErrorFrame f = errorFrame(v);
        QCOMPARE(f.minorText, u"Nincs hiba."_s);
        QCOMPARE(f.severeText, QString());
        QCOMPARE(f.picture, ErrorPicture::None);
        QVERIFY(!f.detailsEnabled);
    }

    void singleZeroKilometreLeg() {
        s->distances.at(2, 3) = DistanceCell{0, 1};
        setDay(log, 12, {2, 3});
        const Validation v = validateMonth(*s, log);
        QCOMPARE(v.lines, QStringList{u"12. napon Partner 2 - Város 2 és Partner 3 - Város 3, Fő utca 3 között 0 km a távolság."_s});
        const ErrorFrame f = errorFrame(v);
        QCOMPARE(f.minorText, u"1 kisebb hiba."_s);
        QCOMPARE(f.severeText, u"0 súlyos hiba."_s);
        QCOMPARE(f.picture, ErrorPicture::Minor);
        QVERIFY(f.detailsEnabled);
        s->distances.at(9, 8) = DistanceCell{0, 1}; // the last partner of the database counts too
        setDay(log, 13, {9, 8});
        QCOMPARE(validateMonth(*s, log).minor, 2);
    }

    void repeatedPartnerThenZeroLeg() {
        s->distances.at(4, 5) = DistanceCell{0, 1};
        setDay(log, 2, {4, 4, 5}); // (4, 4) is 0 km too, yet counts only as severe
        const Validation v = validateMonth(*s, log);
        QCOMPARE(v.lines, (QStringList{u"2. napon Partner 4 - Város 4 kétszer szerepel egymás után."_s,
                                       u"2. napon Partner 4 - Város 4 és Partner 5 - Város 5, Fő utca 5 között 0 km a távolság."_s}));
        const ErrorFrame f = errorFrame(v);
        QCOMPARE(f.minorText, u"1 kisebb hiba. "_s); // the trailing blank belongs to it
        QCOMPARE(f.severeText, u"1 súlyos hiba."_s);
        QCOMPARE(f.picture, ErrorPicture::Severe);
    }

    void linesFollowDayAndPosition() {
        s->distances.at(1, 2) = DistanceCell{0, 1};
        setDay(log, 9, {2, 2, 1, 2});
        setDay(log, 3, {1, 2, 5, 5});
        setDay(log, 31, {8, 40, 40}); // past the month's end, and a partner that is no more
        const Validation v = validateMonth(*s, log);
        QCOMPARE(v.lines.size(), 5);
        QVERIFY(v.lines[0].startsWith(u"3. napon Partner 1 - Város 1, Fő utca 1 és Partner 2"_s));
        QVERIFY(v.lines[1].startsWith(u"3. napon Partner 5 - Város 5, Fő utca 5 kétszer"_s));
        QVERIFY(v.lines[2].startsWith(u"9. napon Partner 2 - Város 2 kétszer"_s));
        QVERIFY(v.lines[4].startsWith(u"31. napon "_s));
        QCOMPARE(v.minor, 2);
        QCOMPARE(v.severe, 3);
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
