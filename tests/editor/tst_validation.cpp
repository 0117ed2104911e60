#include "editor/validation.h"
#include "editorfixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestValidation : public QObject, MonthFixture {
    Q_OBJECT
private slots:
    void init();
    void cleanMonth();
    void singleZeroKilometreLeg();
    void repeatedPartnerThenZeroLeg();
    void repeatedPartnerIsNotAlsoAZeroLeg();
    void singleStopDaysAreNotChecked();
    void rowsPastTheMonthAreChecked();
    void linesFollowDayAndPosition();
    void unknownPartnersDoNotBreakTheCheck();

};

void TestValidation::init() { start(2025, 4); } // April: 30 days

void TestValidation::cleanMonth() {
    setDay(log, 1, {1, 7, 1});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.minor, 0);
    QCOMPARE(v.severe, 0);
    QVERIFY(v.lines.isEmpty());
    const ErrorFrame f = errorFrame(v);
    QCOMPARE(f.minorText, u"Nincs hiba."_s);
    QCOMPARE(f.severeText, QString());
    QCOMPARE(f.picture, ErrorPicture::None);
    QVERIFY(!f.detailsEnabled);
}

void TestValidation::singleZeroKilometreLeg() {
    s->distances.at(2, 3) = DistanceCell{0, 1};
    setDay(log, 12, {2, 3});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.minor, 1);
    QCOMPARE(v.severe, 0);
    QCOMPARE(v.lines, QStringList{u"12. napon Partner 2 - Város 2 és Partner 3 - Város 3, Fő utca 3 között 0 km a távolság."_s});
    const ErrorFrame f = errorFrame(v);
    QCOMPARE(f.minorText, u"1 kisebb hiba."_s);
    QCOMPARE(f.severeText, u"0 súlyos hiba."_s);
    QCOMPARE(f.picture, ErrorPicture::Minor);
    QVERIFY(f.detailsEnabled);
}

void TestValidation::repeatedPartnerThenZeroLeg() {
    s->distances.at(4, 5) = DistanceCell{0, 1};
    setDay(log, 2, {4, 4, 5});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.severe, 1);
    QCOMPARE(v.minor, 1);
    QCOMPARE(v.lines, (QStringList{u"2. napon Partner 4 - Város 4 kétszer szerepel egymás után."_s,
                                   u"2. napon Partner 4 - Város 4 és Partner 5 - Város 5, Fő utca 5 között 0 km a távolság."_s}));
    const ErrorFrame f = errorFrame(v);
    QCOMPARE(f.minorText, u"1 kisebb hiba. "_s); // the trailing blank belongs to it
    QCOMPARE(f.severeText, u"1 súlyos hiba."_s);
    QCOMPARE(f.picture, ErrorPicture::Severe);
    // Severe errors alone show the same picture.
    setDay(log, 2, {4, 4});
    const ErrorFrame g = errorFrame(validateMonth(*s, log));
    QCOMPARE(g.minorText, u"0 kisebb hiba. "_s);
    QCOMPARE(g.picture, ErrorPicture::Severe);
}

void TestValidation::repeatedPartnerIsNotAlsoAZeroLeg() {
    // The diagonal of the matrix is 0 km, yet a repeat counts only as severe.
    setDay(log, 6, {3, 3});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.severe, 1);
    QCOMPARE(v.minor, 0);
}

void TestValidation::singleStopDaysAreNotChecked() {
    setDay(log, 1, {3});
    setDay(log, 2, {3});
    QCOMPARE(log.stopWidth, 1);
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.minor + v.severe, 0);
    QCOMPARE(errorFrame(v).minorText, u"Nincs hiba."_s);
}

void TestValidation::rowsPastTheMonthAreChecked() {
    setDay(log, 31, {8, 8});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.severe, 1);
    QVERIFY(v.lines.first().startsWith(u"31. napon "_s));
}

void TestValidation::linesFollowDayAndPosition() {
    s->distances.at(1, 2) = DistanceCell{0, 1};
    setDay(log, 9, {2, 2, 1, 2});
    setDay(log, 3, {1, 2, 5, 5});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.lines.size(), 4);
    QVERIFY(v.lines[0].startsWith(u"3. napon Partner 1 - Város 1, Fő utca 1 és Partner 2"_s));
    QVERIFY(v.lines[1].startsWith(u"3. napon Partner 5 - Város 5, Fő utca 5 kétszer"_s));
    QVERIFY(v.lines[2].startsWith(u"9. napon Partner 2 - Város 2 kétszer"_s));
    QVERIFY(v.lines[3].contains(u"Partner 1 - Város 1, Fő utca 1 és Partner 2"_s)); // (1, 2) is 0 km
    QCOMPARE(v.minor, 2);
    QCOMPARE(v.severe, 2);
}

void TestValidation::unknownPartnersDoNotBreakTheCheck() {
    setDay(log, 1, {2, 40, 40});
    const Validation v = validateMonth(*s, log);
    QCOMPARE(v.severe, 1);
    QCOMPARE(v.minor, 0);
}

QTEST_GUILESS_MAIN(TestValidation)
#include "tst_validation.moc"
