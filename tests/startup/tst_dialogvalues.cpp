#include "startup/dialogvalues.h"
#include "storage/datafiles.h"
#include "storage/settings.h"
#include "storedfiles.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_dialogvalues : public QObject {
    Q_OBJECT
private slots:
    void setupDefaultsOfTheDialog() {
        TestEnv env;
        const SetupValues v = readSetup(*env.settings);
        QVERIFY(v.confirmExit);
        QVERIFY(!v.loadCities); // the dialog's default, unlike start-up's
        QCOMPARE(v.tolerance, u"10"_s);
        QCOMPARE(v.tries, u"100"_s);
        writeSetup(*env.settings, v);
        QCOMPARE(env.settings->text(keys::LoadCities), u"0"_s);
        QCOMPARE(env.settings->text(keys::ConfirmExit), u"1"_s);
    }
    void setupShowsNumbersAndStoresTexts() {
        TestEnv env;
        env.settings->setText(keys::Tolerance, u"010"_s);
        env.settings->setText(keys::Tries, u"abc"_s);
        env.settings->setText(keys::ConfirmExit, u"0"_s);
        SetupValues v = readSetup(*env.settings);
        QCOMPARE(v.tolerance, u"10"_s);
        QCOMPARE(v.tries, u"0"_s);
        QVERIFY(!v.confirmExit);
        v.tolerance.clear();
        v.tries = u"12,5"_s;
        writeSetup(*env.settings, v);
        QCOMPARE(env.settings->text(keys::Tolerance, u"x"_s), QString());
        QCOMPARE(env.settings->tolerance(), 0.0);
        QCOMPARE(env.settings->text(keys::Tries), u"12,5"_s);
    }
    void boxTexts() {
        QCOMPARE(multiplierBoxText(1.15f), u"115"_s);
        QCOMPARE(multiplierBoxText(1.1f), u"110"_s);
        QCOMPARE(multiplierBoxText(1.0f), u"100"_s);
        QCOMPARE(multiplierBoxText(1.075f), u"107.5"_s);
        QCOMPARE(multiplierBoxText(0.0f), u"0"_s);
        // Every shown text stores the multiplier it came from.
        for (float v : {1.1f, 1.15f, 1.075f, 0.333f, 2.5e-5f, 123.456f})
            QCOMPARE(float(multiplierBoxText(v).toDouble() / 100.0), v);
        QCOMPARE(numericDisplay(u" 007.50 "_s), u"7.5"_s);
    }
    void multipliersStoredAndReadBack() {
        TestEnv env;
        env.state.LoadTables();
        QVERIFY(LoadMultipliers(env.state));
        env.state.multipliers[0].value = 0.95f; // "Közút" has no box and keeps its value
        MultiplierTexts t = multiplierTexts(env.state);
        t[0] = u"110"_s;
        t[5] = u"100"_s;
        t[6] = u"112,5"_s;
        QVERIFY(!applyMultipliers(env.state, t, 3));
        QCOMPARE(env.state.multipliers[1].value, 1.1f);
        QCOMPARE(env.state.defaultRouteType, qint16(3));
        AppState fresh;
        QVERIFY(readStoredMultipliers(env.state, fresh));
        QCOMPARE(fresh.multipliers[0].value, 0.95f);
        QCOMPARE(fresh.multipliers[1].value, 1.1f);
        QCOMPARE(fresh.multipliers[6].value, 1.0f);
        QCOMPARE(fresh.multipliers[7].value, 1.125f);
        QCOMPARE(fresh.defaultRouteType, qint16(3));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s).split('\n').at(1), QByteArray("1.1\r"));
    }
    void emptyBoxRefusedByName() {
        TestEnv env;
        env.state.LoadTables();
        QVERIFY(LoadMultipliers(env.state));
        const QByteArray before = env.read(u"Users/szorzo.rvd"_s);
        MultiplierTexts t = multiplierTexts(env.state);
        t[0] = u"150"_s;
        t[2] = u"  "_s;
        const auto problem = applyMultipliers(env.state, t, 2);
        QVERIFY(problem);
        QCOMPARE(problem->box, 2);
        QCOMPARE(problem->message, u"A(z) „Egyéb város” szorzó nincs megadva."_s);
        QCOMPARE(env.state.multipliers[1].value, 1.0f);
        QCOMPARE(env.state.defaultRouteType, qint16(1));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s), before);
    }
};

QTEST_GUILESS_MAIN(tst_dialogvalues)
#include "tst_dialogvalues.moc"
