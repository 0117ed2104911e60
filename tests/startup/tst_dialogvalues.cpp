#include "startup/dialogvalues.h"
#include "storage/numeric.h"
#include "storage/settings.h"
#include "storedfiles.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_dialogvalues : public QObject {
    Q_OBJECT
private slots:
    void setupShowsStoredTextsAsNumbers() {
        TestEnv env;
        env.settings->setText(keys::Tolerance, u"010"_s);
        env.settings->setText(keys::Tries, u"abc"_s);
        SetupValues v = readSetup(*env.settings);
        QCOMPARE(v.tolerance, u"10"_s);
        QCOMPARE(v.tries, u"0"_s);
        QVERIFY(v.loadCities); // nothing stored: start-up loads them, so the box is ticked
        env.settings->setText(keys::Tolerance, u"2.5"_s);
        QCOMPARE(readSetup(*env.settings).tolerance, u"2,5"_s);
    }

    void boxTextsStoreTheMultiplierTheyCameFrom() {
        QCOMPARE(multiplierBoxText(1.15f), u"115"_s);
        QCOMPARE(multiplierBoxText(1.075f), u"107,5"_s); // shown with a decimal comma
        for (float v : {1.1f, 1.15f, 1.075f, 0.333f, 2.5e-5f, 123.456f})
            QCOMPARE(float(*toNumber(multiplierBoxText(v)) / 100.0), v);
    }

    void multipliersAreStoredOnlyWhenEveryBoxIsFilled() {
        TestEnv env;
        env.state.LoadTables();
        QVERIFY(LoadMultipliers(env.state));
        env.state.multipliers[0].value = 0.95f; // "Közút" has no box and keeps its value
        const QByteArray before = env.read(u"Users/szorzo.rvd"_s);
        MultiplierTexts t = multiplierTexts(env.state);
        t[0] = u"110"_s;
        t[2] = u"  "_s;
        t[6] = u"112,5"_s;
        QCOMPARE(applyMultipliers(env.state, t, 3)->box, 2);
        QCOMPARE(env.state.multipliers[1].value, 1.0f);
        QCOMPARE(env.state.defaultRouteType, qint16(1));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s), before);

        // Only what the file may hold: 10 to 1000 per cent.
        for (const auto& [text, refused] : {std::pair{u"9,99"_s, true}, {u"1000,1"_s, true}, {u"-100"_s, true},
                                            {u"10"_s, false}, {u"1000"_s, false}})
            QCOMPARE(bool(applyMultipliers(env.state, (t[2] = text, t), 3)), refused);
        t[2] = u"100"_s;
        QVERIFY(!applyMultipliers(env.state, t, 3));
        QCOMPARE(env.state.multipliers[1].value, 1.1f);
        const AppState stored = storedMultipliers(env.state);
        QCOMPARE(stored.multipliers[0].value, 0.95f);
        QCOMPARE(stored.multipliers[1].value, 1.1f);
        QCOMPARE(stored.multipliers[7].value, 1.125f);
        QCOMPARE(stored.defaultRouteType, qint16(3));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s).split('\n').at(1), QByteArray("1.1\r"));
    }
};

QTEST_GUILESS_MAIN(tst_dialogvalues)
#include "tst_dialogvalues.moc"
