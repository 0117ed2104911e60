#include "storage/records.h"
#include "storage/win1250.h"

#include <QStringDecoder>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void everyByteMatchesThePlatformDecoder() {
        QStringDecoder platform("windows-1250");
        if (!platform.isValid())
            QSKIP("This Qt has no windows-1250 decoder (built without ICU)");
        int checked = 0;
        for (int b = 0; b < 256; ++b) {
            const char byte = char(b);
            const QString theirs = platform.decode(QByteArray(1, byte));
            if (theirs == QString(QChar(0xFFFD)))
                continue; // a hole of the code page that this decoder refuses; ours keeps a C1 control
            QCOMPARE(win1250::decode(&byte, 1), theirs);
            ++checked;
        }
        QVERIFY(checked >= 251);
        QCOMPARE(win1250::encode(u"őű áé ŐŰ"_s), QByteArray("\xf5\xfb \xe1\xe9 \xd5\xdb"));
        QCOMPARE(win1250::encode(u"日"_s), QByteArray("?"));
    }

    void everyKindWritesAndReadsBack() {
        RecordWriter w;
        w.str(u"Kovács, Kft."_s).str(QString()).integer(-32768).integer(2147483647).endLine();
        w.single(7.5f).single(1.1f).single(0.5f).single(1.0f).endLine();
        w.date(QDate(2002, 3, 1)).boolean(true).boolean(false).endLine();
        QCOMPARE(w.data(), QByteArray("\"Kov\xe1" "cs, Kft.\",\"\",-32768,2147483647\r\n7.5,1.1,0.5,1\r\n"
                                      "#2002-03-01#,#TRUE#,#FALSE#\r\n"));
        RecordReader r(w.data(), u"x.rvd"_s);
        QCOMPARE(r.readString(), u"Kovács, Kft."_s);
        QCOMPARE(r.readString(), QString());
        QCOMPARE(r.readInt16(), qint16(-32768));
        QCOMPARE(r.readInt32(), 2147483647);
        QCOMPARE(r.readSingle(), 7.5f);
        QCOMPARE(r.readSingle(), 1.1f);
        QCOMPARE(r.readSingle(), 0.5f);
        QCOMPARE(r.readSingle(), 1.0f);
        QCOMPARE(r.readDate(), QDate(2002, 3, 1));
        QVERIFY(r.readBool());
        QVERIFY(!r.readBool());
        QVERIFY(r.atEnd());
    }

    void olderBooleansAndLfOnlyLines() {
        RecordReader r("25,#TRUE#\n25,#FALSE#\n1, True\n0,-1\n0,0\n", u"old.rvd"_s);
        for (bool expected : {true, false, true, true, false}) {
            r.readInt16();
            QCOMPARE(r.readBool(), expected);
        }
        QCOMPARE(r.line(), 6);
        QVERIFY(r.atEnd());
    }

    void aQuoteOrLineEndIsNeverWrittenNorRead() {
        // An unquoted field of a damaged file may carry a quote; what is read is what would be
        // written back, so a later save gives a file that reads the same.
        RecordReader in("-F\xf5 \xfat 1.\"\r\n", u"data.rvd"_s);
        QCOMPARE(in.readString(), u"-Fő út 1."_s);
        RecordWriter w;
        w.line(u"a\"b\r\nc\nd"_s).line(1);
        QCOMPARE(w.data(), QByteArray("\"ab c d\"\r\n1\r\n"));
    }

    void errorsNameFileAndLine_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("line");
        QTest::newRow("letters for a number") << QByteArray("1\r\n\"a\"\r\nabc\r\n") << 3;
        QTest::newRow("string never closes") << QByteArray("1\r\n\"open\r\n5\r\n") << 2;
        QTest::newRow("unexpected end") << QByteArray("1\r\n\"a\"\r\n") << 3;
        QTest::newRow("too large for 16 bits") << QByteArray("1\r\n\"a\"\r\n40000\r\n") << 3;
    }
    void errorsNameFileAndLine() {
        QFETCH(QByteArray, data);
        QFETCH(int, line);
        RecordReader r(data, u"Users/ABC/data.rvd"_s);
        try {
            r.readInt16();
            r.readString();
            r.readInt16();
            QFAIL("no error");
        } catch (const FormatError& e) {
            QVERIFY2(e.message().contains(u"Users/ABC/data.rvd (%1. sor)"_s.arg(line)), qPrintable(e.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
