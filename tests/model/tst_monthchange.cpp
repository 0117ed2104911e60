#include "model/monthchange.h"
#include "model/monthfacts.h"

#include "logbookfixtures.h"
#include "testenv.h"

#include <QFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestMonthChange : public QObject {
    Q_OBJECT
private slots:
    // A deleted month takes its facts along unless another logbook of that month remains; other
    // months' facts stay as they were.
    void aDeletedMonthTakesItsFacts() {
        TestEnv env;
        env.loginCar();
        const QString facts = u"Users/ABC123/honapok.rvd"_s;
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbookBytes(2002, 1, 10));
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbookBytes(2002, 2, 10));
        env.write(u"Users/ABC123/masolat.rvn"_s, logbookBytes(2002, 2, 10)); // February again
        env.write(facts, "\"RVH\",1\r\n2\r\n2002,1,2,15,0\r\n2002,2,1,0,0\r\n");

        const MonthChange change = deleteMonth(env.state, u"2002jan.rvn"_s);
        QVERIFY(change.file.ok() && change.facts.ok() && !QFile::exists(env.path(u"Users/ABC123/2002jan.rvn"_s)));
        QCOMPARE(env.read(facts), QByteArray("\"RVH\",1\r\n1\r\n2002,2,1,0,0\r\n"));
        QVERIFY(deleteMonth(env.state, u"2002feb.rvn"_s).facts.ok());
        QCOMPARE(env.read(facts), QByteArray("\"RVH\",1\r\n1\r\n2002,2,1,0,0\r\n"));
        QVERIFY(deleteMonth(env.state, u"masolat.rvn"_s).facts.ok());
        QCOMPARE(readMonthFacts(env.state.carGate(), env.state.carPath(QString())).months, QVector<MonthFacts>{});
    }
};

QTEST_MAIN(TestMonthChange)
#include "tst_monthchange.moc"
