#include "database/navnotice.h"
#include "database/publishedprices.h"
#include "storage/settings.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestNavNotice : public QObject {
    Q_OBJECT
private slots:
    // The months from the one after the newest published month to this one, the earliest of
    // the lists in use deciding; an empty (unreadable) list is none in use.
    void namesTheFirstAndLastMonthMissing() {
        TestEnv env;
        env.write(u"Users/b95.rvd"_s, "2\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n591\r\n");
        env.write(u"Users/bdiz.rvd"_s, "1\r\n#2026-02-01#\r\n600\r\n");
        env.write(u"Users/bkev.rvd"_s, "nem ár\r\n");
        NavNotice n = navMissingNotice(env.state, QDate(2026, 12, 7));
        QCOMPARE(std::pair(n.first, n.last), std::pair(QDate(2025, 12, 1), QDate(2026, 12, 1)));
        QVERIFY2(n.text.startsWith(u"Hiányoznak a NAV üzemanyagárai: 2025. december – 2026. december (13 hónap)."_s),
                 qPrintable(n.text));
        // One month: said as one.
        env.write(u"Users/b95.rvd"_s, "1\r\n#2026-11-01#\r\n580\r\n");
        env.write(u"Users/bdiz.rvd"_s, "1\r\n#2026-12-01#\r\n600\r\n");
        n = navMissingNotice(env.state, QDate(2026, 12, 31));
        QVERIFY2(n.due() && n.text.startsWith(u"Hiányzik a NAV üzemanyagára: 2026. december. Erre a hónapra"_s),
                 qPrintable(n.text));
        env.write(u"Users/b95.rvd"_s, "1\r\n#2026-12-01#\r\n580\r\n");
        QVERIFY(!navMissingNotice(env.state, QDate(2026, 12, 31)).due());
        // The CNG list counts once a car runs on CNG; the LPG list, no car's, still not.
        env.write(u"Users/blpg.rvd"_s, "1\r\n#2026-01-01#\r\n330\r\n");
        env.write(u"Users/bcng.rvd"_s, "1\r\n#2026-10-01#\r\n790\r\n");
        QVERIFY(!navMissingNotice(env.state, QDate(2026, 12, 31)).due());
        env.loginCar();
        env.state.car(1).fuelType = 7;
        QCOMPARE(navMissingNotice(env.state, QDate(2026, 12, 31)).first, QDate(2026, 11, 1));
        QVERIFY(missingPublishedNotice(env.state, QDate(2026, 12, 31)).contains(u"2026. november, 2026. december"_s));
    }

    // Shown once a month: the month shown is kept in the settings; a month with nothing missing
    // keeps nothing.
    void onceAMonth() {
        TestEnv env;
        env.write(u"Users/b95.rvd"_s, "1\r\n#2025-11-01#\r\n591\r\n");
        QVERIFY(startupNavNotice(env.state, QDate(2026, 12, 1)).due());
        QCOMPARE(env.settings->text(kNavNoticeMonthKey), u"2026-12"_s);
        QVERIFY(!startupNavNotice(env.state, QDate(2026, 12, 31)).due());
        QVERIFY(startupNavNotice(env.state, QDate(2027, 1, 2)).due());
        env.settings->setText(kNavNoticeMonthKey, QString());
        env.write(u"Users/b95.rvd"_s, "1\r\n#2027-01-01#\r\n591\r\n");
        QVERIFY(!startupNavNotice(env.state, QDate(2027, 1, 2)).due());
        QVERIFY(env.settings->text(kNavNoticeMonthKey).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNavNotice)
#include "tst_navnotice.moc"
