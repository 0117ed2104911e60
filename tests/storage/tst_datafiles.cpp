#include "storage/datafiles.h"
#include "storage/errorlog.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
const QByteArray kTwoPartnerFile = "2\r\n"
                                   "\"C\xe9g Kft.\"\r\n\"Gy\xf5r\"\r\n\"F\xf5 \xfat 1.\"\r\n"
                                   "\"Vev\xf5, Bt.\"\r\n\"P\xe1pa\"\r\n\"\"\r\n"
                                   "0,2\r\n25,1\r\n25,3\r\n0,2\r\n";
} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
private slots:
    void twoPartnerFileIsElevenExactLinesAndReadsBack() {
        TestEnv env;
        env.loginCar();
        env.state.defaultRouteType = 2;
        env.state.partners = {Partner{u" Cég Kft. "_s, u"Győr"_s, u"Fő út 1."_s}, Partner{u"Vevő, Bt."_s, u"Pápa"_s, {}}};
        env.state.distances.reset(2);
        env.state.distances.at(1, 2) = {25, 1};
        env.state.distances.at(2, 1) = {25, 3};
        QVERIFY(SaveDatabase(env.state));
        QCOMPARE(env.read(u"Users/ABC123/data.rvd"_s), kTwoPartnerFile);
        QCOMPARE(env.state.distances.at(1, 1).routeType, qint16(2)); // route type 0 became the default in memory too
        env.state.partners.resize(5); // an earlier car's larger database is replaced whole
        env.state.distances.reset(5);
        QVERIFY(LoadDatabase(env.state, true));
        QCOMPARE(env.state.partnerCount(), 2);
        QCOMPARE(env.state.distances.size(), 2);
        QCOMPARE(PartnerLabel(env.state, 2), u"Vevő, Bt. - Pápa"_s);
        QCOMPARE(env.state.distances.at(2, 1).routeType, qint16(3));
    }

    void withoutResizeTheStoredPartnersFillTheFront() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/data.rvd"_s, kTwoPartnerFile);
        env.state.partners.resize(3);
        env.state.partner(3) = Partner{u"Új"_s, u"Eger"_s, {}};
        env.state.distances.reset(3);
        QVERIFY(LoadDatabase(env.state, false));
        QCOMPARE(env.state.partnerCount(), 3);
        QCOMPARE(env.state.partner(3).name, u"Új"_s);
        QCOMPARE(env.state.distances.at(1, 2).distance, qint16(25));
        env.state.partners.resize(1); // no room for the file's two partners: refused
        env.state.distances.reset(1);
        QVERIFY(!LoadDatabase(env.state, false));
        QCOMPARE(env.state.partnerCount(), 1);
    }

    void saveAsksWhenTheFolderIsMissing() {
        TestEnv env;
        env.loginCar(u"NINCS"_s);
        QDir(env.state.carPath(QString())).removeRecursively();
        env.state.partners = {Partner{u"a"_s, u"b"_s, {}}};
        env.state.distances.reset(1);
        env.prompter.answer(Retry);
        env.prompter.answer(Ignore);
        QVERIFY(!SaveDatabase(env.state));
        QCOMPARE(env.prompter.texts(), QStringList(2, u"Az elérési út nem található."_s));
        QCOMPARE(env.prompter.asked[0].buttons, MsgButtons(Abort | Retry | Ignore));
        env.prompter.answer(Abort);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, SaveDatabase(env.state));
    }

    void cars() {
        TestEnv env;
        CarRecord c{u"  Kovács Péter "_s, u"Opel"_s, u"ABC-123"_s, 3, 7.5f, 1.1f, u"Győr"_s, u"Cég"_s, {}, u"ABC-123"_s};
        env.state.cars = {c};
        QVERIFY(SaveCars(env.state));
        env.state.cars.clear();
        QVERIFY(LoadCars(env.state));
        QCOMPARE(env.state.car(1).userName, u"Kovács Péter"_s); // trimmed on saving
    }

    void multipliers() {
        TestEnv env;
        QVERIFY(LoadMultipliers(env.state)); // missing: written with every multiplier 1
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s), QByteArray("1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n"));
        env.state.multipliers[1].value = 110 / 100.0f;
        env.state.defaultRouteType = 3;
        QVERIFY(SaveMultipliers(env.state));
        AppState other;
        other.programDir = env.state.programDir;
        QVERIFY(LoadMultipliers(other));
        QCOMPARE(other.multipliers[1].value, 1.1f);
        QCOMPARE(other.defaultRouteType, qint16(3));
    }

    void theShippedCityListIsCompleteAndInHungarianOrder() {
        QFile f(QStringLiteral(ROVANTA_BIN_DIR "/cities.rvd"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QStringList cities;
        QVERIFY(parseCities(f.readAll(), f.fileName(), cities));
        QCOMPARE(cities.size(), 3136);
        QCOMPARE(cities.first(), u"Aba"_s);
        // Accented initials sort with their base letters, "Ö" after "O", "Zs" after "Z".
        QVERIFY(cities.indexOf(u"Ábrahámhegy"_s) < cities.indexOf(u"Acsa"_s));
        QVERIFY(cities.indexOf(u"Ózd"_s) < cities.indexOf(u"Öcs"_s));
        QVERIFY(cities.indexOf(u"Zsámbék"_s) > cities.indexOf(u"Zubogy"_s));
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
