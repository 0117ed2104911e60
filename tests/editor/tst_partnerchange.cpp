#include "editor/logbookfile.h"
#include "editor/partnerchange.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const Partner kOld{u"Régi Kft."_s, u"Győr"_s, u"Fő út 1."_s};
const Partner kNew{u"Új Kft."_s, u"Győr"_s, u"Fő út 2."_s};

// Partners: 1 the base, 2 the partner that changes, 3 the same name in another city, 4 other.
void setPartners(AppState& s, const Partner& second) {
    s.partners = {Partner{u"Saját"_s, u"Pápa"_s, {}}, second, Partner{kOld.name, u"Pécs"_s, kOld.address},
                  Partner{u"Más"_s, u"Győr"_s, {}}};
}

// A month whose day 3 visits 1, 2, 2, 3, 1 and day 20 visits 1, 4, 1.
MonthLog sampleMonth(int year, int month) {
    MonthLog m;
    m.year = year;
    m.month = month;
    m.startOdometer = 12000;
    m.monthKm = 321;
    m.stops.reset(5);
    m.stopWidth = 5;
    const int day3[] = {1, 2, 2, 3, 1};
    for (int k = 0; k < 5; ++k)
        m.stops.at(3, k + 1) = qint16(day3[k]);
    m.stops.at(20, 1) = 1;
    m.stops.at(20, 2) = 4;
    m.stops.at(20, 3) = 1;
    m.comments[2] = u"ügyfél, tárgyalás"_s;
    return m;
}

// The file the editor would write for a month with partner 2 holding the given texts.
QByteArray fileWith(const Partner& second, const MonthLog& m) {
    AppState s;
    setPartners(s, second);
    return serializeLogbook(s, m);
}

QByteArray withVersion(QByteArray file, const QByteArray& version) {
    return file.replace("\"RVN\",\"2.2\"", "\"RVN\",\"" + version + "\"");
}

} // namespace

class TestPartnerChange : public QObject {
    Q_OBJECT
private slots:
    void onlyStopsWithAllThreeTextsChange() {
        const MonthLog m = sampleMonth(2002, 1);
        QByteArray out;
        int changes = -1;
        QVERIFY(rewriteLogbookText(fileWith(kOld, m), u"2002jan.rvn"_s, kOld, kNew, out, changes));
        // The two adjacent stops change; the same name in Pécs does not.
        QCOMPARE(changes, 2);
        QCOMPARE(out, fileWith(kNew, m));
    }

    void theComparisonIsExact() {
        const MonthLog m = sampleMonth(2002, 1);
        QByteArray out;
        int changes = -1;
        const Partner upper{kOld.name.toUpper(), kOld.city, kOld.address};
        QVERIFY(rewriteLogbookText(fileWith(kOld, m), u"x.rvn"_s, upper, kNew, out, changes));
        QCOMPARE(changes, 0);
        QCOMPARE(out, fileWith(kOld, m));
    }

    void chosenLogbooksAreRewrittenAndCounted() {
        TestEnv env;
        env.loginCar();
        const QByteArray jan = fileWith(kOld, sampleMonth(2002, 1));
        MonthLog feb = sampleMonth(2002, 2);
        feb.stops.at(3, 2) = 4; // one visit left
        MonthLog mar = sampleMonth(2002, 3);
        for (int k = 1; k <= 5; ++k)
            mar.stops.at(3, k) = k % 2 ? 1 : 4; // the partner is not visited at all
        env.write(u"Users/ABC123/2002jan.rvn"_s, jan);
        env.write(u"Users/ABC123/2002feb.rvn"_s, fileWith(kOld, feb));
        env.write(u"Users/ABC123/2002mar.rvn"_s, fileWith(kOld, mar));
        const PartnerChangeReport r =
            carryPartnerChange(env.state, {u"2002feb.rvn"_s, u"2002mar.rvn"_s}, kOld, kNew);
        QCOMPARE(r.rewritten, 2); // the unchanged March counts too
        QCOMPARE(r.changes, 1);
        QCOMPARE(r.message(), u"2 nyilvántartásban 1 módosítás."_s);
        QCOMPARE(env.read(u"Users/ABC123/2002feb.rvn"_s), fileWith(kNew, feb));
        QCOMPARE(env.read(u"Users/ABC123/2002mar.rvn"_s), fileWith(kOld, mar));
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), jan); // not chosen
        QVERIFY(!QFile::exists(env.path(u"Users/ABC123/temp.tmp"_s)));
    }

    void noSelectionReportsZeroAndZero() {
        TestEnv env;
        env.loginCar();
        const PartnerChangeReport r = carryPartnerChange(env.state, {}, kOld, kNew);
        QCOMPARE(r.message(), u"0 nyilvántartásban 0 módosítás."_s);
    }

    void aDamagedLogbookIsNamedAndLeftUntouched() {
        TestEnv env;
        env.loginCar();
        QByteArray cut = fileWith(kOld, sampleMonth(2002, 4));
        cut.truncate(cut.size() - 40); // ends inside day 31
        const QByteArray trailing = fileWith(kOld, sampleMonth(2002, 5)) + "\"more\"\r\n";
        env.write(u"Users/ABC123/2002apr.rvn"_s, cut);
        env.write(u"Users/ABC123/2002maj.rvn"_s, trailing);
        env.write(u"Users/ABC123/2002jun.rvn"_s, fileWith(kOld, sampleMonth(2002, 6)));
        const PartnerChangeReport r = carryPartnerChange(
            env.state, {u"2002apr.rvn"_s, u"2002maj.rvn"_s, u"2002jun.rvn"_s, u"nincs.rvn"_s}, kOld, kNew);
        QCOMPARE(r.rewritten, 1);
        QCOMPARE(r.changes, 2);
        QCOMPARE(r.skipped, QStringList({u"2002apr.rvn"_s, u"2002maj.rvn"_s, u"nincs.rvn"_s}));
        QVERIFY(r.message().startsWith(u"1 nyilvántartásban 2 módosítás.\r\n\r\n"_s));
        QVERIFY(r.message().contains(u"2002apr.rvn"_s));
        QCOMPARE(env.read(u"Users/ABC123/2002apr.rvn"_s), cut);
        QCOMPARE(env.read(u"Users/ABC123/2002maj.rvn"_s), trailing);
        QVERIFY(!QFile::exists(env.path(u"Users/ABC123/temp.tmp"_s)));
    }

    void onlyCurrentAndVersion20LogbooksAreListed() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2002feb.rvn"_s, fileWith(kOld, sampleMonth(2002, 2)));
        env.write(u"Users/ABC123/2001dec.RVN"_s, withVersion(fileWith(kOld, sampleMonth(2001, 12)), "2.0"));
        env.write(u"Users/ABC123/2002jan.rvn"_s, withVersion(fileWith(kOld, sampleMonth(2002, 1)), "2"));
        env.write(u"Users/ABC123/2000jan.rvn"_s, "\"RVN\",\"1.2\"\r\n2000,1\r\n");
        env.write(u"Users/ABC123/2000feb.rvn"_s, "\"XYZ\",\"2.2\"\r\n2000,2,0\r\n");
        env.write(u"Users/ABC123/2000mar.rvn"_s, "\"RVN\",\"2.2\"\r\n2000,13,0\r\n");
        env.write(u"Users/ABC123/2000apr.rvn"_s, "");
        env.write(u"Users/ABC123/2002mar.txt"_s, fileWith(kOld, sampleMonth(2002, 3)));
        const QVector<ChangeableLogbook> books = changeableLogbooks(env.state);
        QStringList labels;
        QStringList files;
        for (const ChangeableLogbook& b : books) {
            labels << b.label;
            files << b.fileName;
        }
        QCOMPARE(labels, QStringList({u"2001. December"_s, u"2002. Január"_s, u"2002. Február"_s}));
        QCOMPARE(files, QStringList({u"2001dec.RVN"_s, u"2002jan.rvn"_s, u"2002feb.rvn"_s}));
        // A version 2.0 file is rewritten keeping its version text.
        const PartnerChangeReport r = carryPartnerChange(env.state, {u"2001dec.RVN"_s}, kOld, kNew);
        QCOMPARE(r.changes, 2);
        QVERIFY(env.read(u"Users/ABC123/2001dec.RVN"_s).startsWith("\"RVN\",\"2.0\"\r\n"));
        QCOMPARE(r.message(), u"1 nyilvántartásban 2 módosítás."_s);
    }
};

QTEST_GUILESS_MAIN(TestPartnerChange)
#include "tst_partnerchange.moc"
