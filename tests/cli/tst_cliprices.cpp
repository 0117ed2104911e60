#include "clifixture.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const QByteArray kB95 = "2\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n591\r\n";
const QByteArray kHeader = "year\tmonth\tesz95\tgazolaj\tkeverek\tlpg\tcng\tsource_url\n";
const QByteArray kDecember = "2025\t12\t580\t590\t630\t330\t800\tx\n";
const QByteArray kNovember595 = "2025\t11\t595\t596\t643\t331\t810\tx\n";

struct Fixture : CliFixture {
    QString table = dir.filePath(u"uj.tsv"_s);
    Fixture() {
        write(u"Users/b95.rvd"_s, kB95);
        for (const QString& f : {u"Users/b98.rvd"_s, u"Users/bdiz.rvd"_s, u"Users/bkev.rvd"_s})
            write(f, "0\r\n");
    }
    void setTable(const QByteArray& bytes) {
        QFile f(table);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};

QStringList lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

} // namespace

class TestCliPrices : public QObject {
    Q_OBJECT
private slots:
    void listsOfPrices() {
        Fixture f;
        CliFixture::Run r = f.run({u"prices"_s, u"ABC-123"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(lines(r.out), (QStringList{u"2024-01-01\t600"_s, u"2024-03-15\t620"_s}));
        for (const QString& fuel : {u"ESZ-95"_s, u"b95"_s, u"esz-95"_s}) {
            r = f.run({u"prices"_s, u"--published"_s, fuel});
            QCOMPARE(r.code, 0);
            QCOMPARE(lines(r.out), (QStringList{u"2025-10-01\t593"_s, u"2025-11-01\t591"_s}));
        }
        r = f.run({u"prices"_s, u"--published"_s, u"gázolaj"_s});
        QVERIFY(r.code == 0 && r.out.isEmpty());
    }

    // A differing month needs --replace; without it nothing is written and the months are named.
    void importAndReplace() {
        Fixture f;
        f.setTable(kHeader + kNovember595 + kDecember);
        const auto before = f.snapshot();
        CliFixture::Run r = f.run({u"prices"_s, u"import"_s, f.table});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"ezekben a hónapokban: 2025-11. Cseréjükhöz adja meg a --replace"_s), qPrintable(r.err));
        QCOMPARE(f.snapshot(), before);

        r = f.run({u"prices"_s, u"import"_s, f.table, u"--replace"_s});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.out, u"A táblázat 2 hónapja beolvasva: 5 új ár került a közzétett árak közé, 1 ár cserélődött.\n"_s);
        QCOMPARE(f.read(u"Users/b95.rvd"_s),
                 QByteArray("3\r\n#2025-10-01#\r\n593\r\n#2025-11-01#\r\n595\r\n#2025-12-01#\r\n580\r\n"));
        QCOMPARE(f.read(u"Users/bkev.rvd"_s), QByteArray("2\r\n#2025-11-01#\r\n643\r\n#2025-12-01#\r\n630\r\n"));
        QCOMPARE(f.read(u"Users/b98.rvd"_s), QByteArray("0\r\n"));
        QCOMPARE(f.read(CliFixture::car1(u"benzin.rvd"_s)), before.value(u"Users/ABC-123/benzin.rvd"_s));

        // The same table again: nothing differs, nothing new.
        const auto after = f.snapshot();
        r = f.run({u"prices"_s, u"import"_s, f.table});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(u"0 új ár"_s));
        QCOMPARE(f.snapshot(), after);
    }

    void refusalsChangeNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QStringList import = {u"prices"_s, u"import"_s, u"TABLE"_s, u"--replace"_s};
        QTest::newRow("month 13") << import << kHeader + kDecember + "2026\t13\t1\t1\t1\t1\t1\tx\n" << 1
                                  << u"3. sora hibás: a hónap („13”)"_s;
        QTest::newRow("price too big") << import << kHeader + "2025\t12\t32768\t590\t630\t330\t800\tx\n" << 1
                                       << u"esz95 ára („32768”)"_s;
        QTest::newRow("missing column") << import << kHeader + "2025\t12\t580\t590\t630\t330\n" << 1
                                        << u"8 oszlop helyett csak 6"_s;
        QTest::newRow("no table file") << QStringList{u"prices"_s, u"import"_s, u"NINCS.tsv"_s} << QByteArray() << 1
                                       << u"NINCS.tsv"_s;
        QTest::newRow("unknown fuel") << QStringList{u"prices"_s, u"--published"_s, u"LPG"_s} << QByteArray() << 1
                                      << u"Ismeretlen üzemanyag: „LPG”. Lehet: ESZ-95, ESZ-98, dízel, keverék."_s;
        QTest::newRow("car and published") << QStringList{u"prices"_s, u"ABC-123"_s, u"--published"_s, u"b95"_s}
                                           << QByteArray() << 2 << u"A --published mellé"_s;
        QTest::newRow("nothing") << QStringList{u"prices"_s} << QByteArray() << 2 << u"Kevés argumentum."_s;
    }
    void refusalsChangeNothing() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, table);
        QFETCH(int, code);
        QFETCH(QString, message);
        Fixture f;
        f.setTable(table);
        args.replaceInStrings(u"TABLE"_s, f.table);
        const auto before = f.snapshot();
        const CliFixture::Run r = f.run(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(f.snapshot(), before);
    }

    // A month before the car's first price names the month and where its price goes.
    void missingMonthIsNamed() {
        Fixture f;
        f.write(CliFixture::car1(u"benzin.rvd"_s), serializeFuelPrices({{QDate(2024, 4, 1), 617}}));
        const CliFixture::Run r = f.run({u"cost"_s, u"ABC-123"_s, u"2024-03"_s});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"Nincs benzinár megadva ehhez a hónaphoz.\nHiányzik a(z) 2024. március havi "
                                  u"üzemanyagár"_s),
                 qPrintable(r.err));
        QVERIFY(r.err.contains(u"rovanta-cli prices import FÁJL"_s));
        QVERIFY(r.err.contains(u"Az autó legkorábbi benzinárának napja: 2024.04.01."_s));
    }
};

QTEST_GUILESS_MAIN(TestCliPrices)
#include "tst_cliprices.moc"
