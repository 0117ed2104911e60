#include "model/monthlist.h"

#include "model/logbookfile.h"
#include "logbookfixtures.h"
#include "months/newmonth.h"
#include "testenv.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestMonthList : public QObject {
    Q_OBJECT
private slots:
    // Readable months sorted by year and month; unreadable and foreign files beside them.
    void listing() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2002okt.rvn"_s, logbookBytes(2002, 10, 300));
        env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        env.write(u"Users/ABC123/2001dec.rvn"_s, logbookBytes(2001, 12, 100));
        env.write(u"Users/ABC123/0999maj.rvn"_s, logbookBytes(999, 5, 1));
        env.write(u"Users/ABC123/2002JAN.RVN"_s, logbookBytes(2002, 1, 50, u"1.2"_s)); // any case, older version
        env.write(u"Users/ABC123/2030jan.rvn"_s, logbookBytes(2030, 1, 10, u"3.0"_s));
        env.write(u"Users/ABC123/jegyzet.rvn"_s, "\"Nem nyilvántartás\"\r\n");
        env.write(u"Users/ABC123/ures.rvn"_s, QByteArray());
        env.write(u"Users/ABC123/serult.rvn"_s, "\"RVN\",\"2.2\"\r\n2002,tizenkettő,0\r\n");
        env.write(u"Users/ABC123/2002feb.txt"_s, logbookBytes(2002, 2, 10));
        const LogbookListing l = listLogbooks(env.state);
        QStringList lines;
        for (const LogbookEntry& e : l.entries)
            lines << monthsListLine(e.year, e.month);
        QCOMPARE(lines, (QStringList{u"999. május"_s, u"2001. december"_s, u"2002. január"_s, u"2002. szeptember"_s,
                                     u"2002. október"_s}));
        QCOMPARE(l.files[l.entries[3].position], u"2002sze.rvn"_s);
        QCOMPARE(l.years, (QVector<int>{999, 2001, 2002})); // each year once
        QCOMPARE(std::pair(l.files.size(), l.warnings.size()), std::pair(qsizetype(9), qsizetype(2)));
        QCOMPARE(l.warnings[0], u"A "_s + QDir::toNativeSeparators(env.state.carPath(u"2030jan.rvn"_s)) +
                                    u" fájl valószínűleg Rovanta nyilvántartás,\r\nviszont ez a verzió nem tudja olvasni."
                                    u"\r\n\r\nA legújabb verziót letöltheti az Internetről."_s);
        QVERIFY(l.warnings[1].contains(u"serult.rvn"_s));
    }

    // The file a month goes to, by the headers of the files already there.
    void monthTargetByHeader() {
        struct Case {
            QVector<std::pair<QString, QByteArray>> files;
            QString fileName;
            bool exists;
        };
        const QByteArray april = logbookBytes(2024, 4, 10), january = logbookBytes(2024, 1, 10);
        const QVector<Case> cases{
            {{}, u"2024apr.rvn"_s, false},
            {{{u"2024apr.rvn"_s, january}}, u"2024apr_2.rvn"_s, false},
            {{{u"2024APR.rvn"_s, april}}, u"2024APR.rvn"_s, true},
            {{{u"aprilis.rvn"_s, april}}, u"aprilis.rvn"_s, true},
            {{{u"aprilis.rvn"_s, april}, {u"2024Apr.rvn"_s, april}, {u"2024apr.rvn"_s, april}}, u"2024apr.rvn"_s, true},
            {{{u"aprilis.rvn"_s, april}, {u"2024Apr.rvn"_s, april}}, u"2024Apr.rvn"_s, true},
            {{{u"2024apr.rvn"_s, "szemét"}, {u"2024APR_2.RVN"_s, january}}, u"2024apr_3.rvn"_s, false},
        };
        for (const Case& c : cases) {
#ifdef Q_OS_WIN
            if (c.files.size() == 3) // 2024Apr.rvn and 2024apr.rvn are one file there
                continue;
#endif
            TestEnv env;
            env.loginCar();
            for (const auto& [name, bytes] : c.files)
                env.write(u"Users/ABC123/"_s + name, bytes);
            const MonthTarget t = monthTarget(env.state, 2024, 4);
            QCOMPARE(std::pair(t.fileName, t.exists), std::pair(c.fileName, c.exists));
        }
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2024apr.rvn"_s, january);
        const LogbookListing l = listLogbooks(env.state);
        QCOMPARE(std::pair(l.entries.size(), l.entries.value(0).month), std::pair(qsizetype(1), 1)); // listed as January
    }

    void newMonthYearIsAWholeYear() {
        QCOMPARE(newMonthYear(u"2002"_s), 2002);
        for (const QString& y : {u"1e3"_s, u"-5"_s, u"2002.5"_s, u"0"_s, u"10000"_s, QString(), u"20 02"_s})
            QVERIFY2(!newMonthYear(y), qPrintable(y));
    }
};

QTEST_GUILESS_MAIN(TestMonthList)
#include "tst_monthlist.moc"
