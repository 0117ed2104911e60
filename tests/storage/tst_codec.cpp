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
            const QString ours = win1250::decode(&byte, 1);
            const QString theirs = platform.decode(QByteArray(1, byte));
            if (theirs == QString(QChar(0xFFFD)))
                continue; // a hole of the code page that this decoder refuses; ours keeps a C1 control
            QCOMPARE(ours, theirs);
            ++checked;
        }
        QVERIFY(checked >= 251);
    }

    void hungarianLettersRoundTrip() {
        const QString text = u"őű áé ŐŰ ÁÉÍÓÖÚÜ óöúüí"_s;
        const QByteArray bytes = win1250::encode(text);
        QCOMPARE(bytes.size(), text.size());
        QCOMPARE(quint8(win1250::encode(u"ő"_s)[0]), quint8(0xF5));
        QCOMPARE(quint8(win1250::encode(u"ű"_s)[0]), quint8(0xFB));
        QCOMPARE(win1250::decode(bytes), text);
        QCOMPARE(win1250::encode(u"日"_s), QByteArray("?"));
    }

    void writerProducesTheTextForm() {
        RecordWriter w;
        w.str(u"a, b"_s).str(QString()).integer(-12).endLine();
        w.single(7.5f).single(1.1f).single(0.5f).single(1.0f).endLine();
        w.date(QDate(2002, 3, 1)).boolean(true).boolean(false).endLine();
        QCOMPARE(w.data(), QByteArray("\"a, b\",\"\",-12\r\n7.5,1.1,0.5,1\r\n#2002-03-01#,#TRUE#,#FALSE#\r\n"));
    }

    void aQuoteOrLineEndIsNeverWritten() {
        // An unquoted field of a damaged file may carry a quote; what is read is what would be
        // written back, so a later save gives a file that reads the same.
        RecordReader in("-F\xf5 \xfat 1.\"\r\n", u"data.rvd"_s);
        QCOMPARE(in.readString(), u"-Fő út 1."_s);
        RecordWriter w;
        w.line(u"a\"b\r\nc\nd"_s).line(1);
        QCOMPARE(w.data(), QByteArray("\"ab c d\"\r\n1\r\n"));
        RecordReader back(w.data(), u"data.rvd"_s);
        QCOMPARE(back.readString(), u"ab c d"_s);
        QCOMPARE(back.readInt16(), qint16(1));
    }

    void readerRoundTripsEveryKind() {
        RecordWriter w;
        w.str(u"Kovács, Kft."_s).str(QString()).integer(-32768).integer(2147483647).endLine();
        w.single(7.5f).single(1.1f).single(0.5f).endLine();
        w.date(QDate(2002, 12, 31)).boolean(true).boolean(false).endLine();
        w.line(u"Győr, Fő út 1."_s);
        RecordReader r(w.data(), u"x.rvd"_s);
        QCOMPARE(r.readString(), u"Kovács, Kft."_s);
        QCOMPARE(r.readString(), QString());
        QCOMPARE(r.readInt16(), qint16(-32768));
        QCOMPARE(r.readInt32(), 2147483647);
        QCOMPARE(r.readSingle(), 7.5f);
        QCOMPARE(r.readSingle(), 1.1f);
        QCOMPARE(r.readSingle(), 0.5f);
        QCOMPARE(r.readDate(), QDate(2002, 12, 31));
        QCOMPARE(r.readBool(), true);
        QCOMPARE(r.readBool(), false);
        QCOMPARE(r.readString(), u"Győr, Fő út 1."_s);
        QVERIFY(r.atEnd());
    }

    void readerAcceptsLfOnlyAndOlderBooleans() {
        RecordReader r("3\n\"x\"\n25,#TRUE#\n25,#FALSE#\n1, True\n0,-1\n0,0\n", u"old.rvd"_s);
        QCOMPARE(r.readInt16(), qint16(3));
        QCOMPARE(r.readString(), u"x"_s);
        QCOMPARE(r.readInt16(), qint16(25));
        QCOMPARE(r.readBool(), true);
        QCOMPARE(r.readInt16(), qint16(25));
        QCOMPARE(r.readBool(), false);
        QCOMPARE(r.readInt16(), qint16(1));
        QCOMPARE(r.readBool(), true);
        QCOMPARE(r.readInt16(), qint16(0));
        QCOMPARE(r.readBool(), true);
        QCOMPARE(r.line(), 7);
        QCOMPARE(r.readInt16(), qint16(0));
        QCOMPARE(r.readBool(), false);
        QVERIFY(r.atEnd());
    }

    void readerErrorsNameFileAndLine_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("line");
        QTest::newRow("letters for a number") << QByteArray("1\r\n\"a\"\r\nabc\r\n") << 3;
        QTest::newRow("string never closes") << QByteArray("1\r\n\"open\r\n5\r\n") << 2;
        QTest::newRow("unexpected end") << QByteArray("1\r\n\"a\"\r\n") << 3;
        QTest::newRow("number too large for 16 bits") << QByteArray("1\r\n\"a\"\r\n40000\r\n") << 3;
    }
    void readerErrorsNameFileAndLine() {
        QFETCH(QByteArray, data);
        QFETCH(int, line);
        RecordReader r(data, u"Users/ABC/data.rvd"_s);
        try {
            r.readInt16();
            r.readString();
            r.readInt16();
            QFAIL("no error");
        } catch (const FormatError& e) {
            QVERIFY2(e.message().contains(u"Users/ABC/data.rvd"_s), qPrintable(e.message()));
            QVERIFY2(e.message().contains(u"(%1. sor)"_s.arg(line)), qPrintable(e.message()));
        }
    }

    void requireRoomRefusesCountsTheFileCannotHold() {
        RecordReader r("30000\r\n\"a\"\r\n", u"data.rvd"_s);
        const int n = r.readInt16();
        QVERIFY_THROWS_EXCEPTION(FormatError, r.requireRoom(qint64(n) * n * 4));
        r.requireRoom(3); // what is really there passes
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
