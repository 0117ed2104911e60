#include "model/logbookfile.h"
#include "model/state.h"
#include "storage/datafiles.h"
#include "storage/numeric.h"
#include "storage/records.h"
#include "storage/win1250.h"
#include "testenv.h"

#include <QDir>
#include <QStringDecoder>
#include <QTest>

#include <functional>
#include <map>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
// Reads the bytes and writes them again; empty when the reader refused them.
using RoundTrip = std::function<std::optional<QByteArray>(const QByteArray&)>;
template <typename T, typename Parse, typename Write>
RoundTrip roundTrip(Parse parse, Write write) {
    return [=](const QByteArray& data) -> std::optional<QByteArray> {
        T value{};
        if (!parse(data, u"x.rvd"_s, value))
            return std::nullopt;
        return write(value);
    };
}
const std::map<QString, RoundTrip>& readers() {
    static const std::map<QString, RoundTrip> r = {
        {u"cars"_s, roundTrip<QVector<CarRecord>>(parseCars, serializeCars)},
        {u"database"_s, roundTrip<PartnerDatabase>([](const auto& d, const auto& n, auto& v) { return parseDatabase(d, n, 1, v); },
                                                   [](PartnerDatabase v) { return serializeDatabase(v, 1); })},
        {u"fuelprices"_s, roundTrip<QVector<FuelPrice>>(parseFuelPrices, serializeFuelPrices)},
        {u"multipliers"_s, roundTrip<MultiplierFile>(parseMultipliers, serializeMultipliers)},
        {u"cities"_s, roundTrip<QStringList>([](const auto& d, const auto& n, auto& v) { return parseCities(d, n, v); },
                                             [](const QStringList& v) { return serializeCities(u"x"_s, v); })},
        {u"logbook"_s, roundTrip<StoredLogbook>(parseLogbook, [](const StoredLogbook& v) { return serializeLogbook(v); })},
    };
    return r;
}
} // namespace

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
    }

    void everyKindWritesAndReadsBack() {
        RecordWriter w;
        w.str(u"Kovács, Kft."_s).str(QString()).integer(-32768).integer(2147483647).endLine();
        w.single(7.5f).single(1.1f).single(0.5f).single(1.0f).endLine();
        w.date(QDate(2002, 3, 1)).endLine();
        QCOMPARE(w.data(), QByteArray("\"Kov\xe1" "cs, Kft.\",\"\",-32768,2147483647\r\n7.5,1.1,0.5,1\r\n"
                                      "#2002-03-01#\r\n"));
        RecordReader r(w.data(), u"x.rvd"_s);
        QCOMPARE((std::tuple{r.readString(), r.readString(), r.readInt16(), r.readInt32()}),
                 (std::tuple{u"Kovács, Kft."_s, QString(), qint16(-32768), 2147483647}));
        QCOMPARE((std::tuple{r.readSingle(), r.readSingle(), r.readSingle(), r.readSingle()}),
                 (std::tuple{7.5f, 1.1f, 0.5f, 1.0f}));
        QCOMPARE((std::tuple{r.readDate(), r.atEnd()}), (std::tuple{QDate(2002, 3, 1), true}));
        // Lines ended by a line feed alone, as in older files.
        RecordReader lf("25,1\n26,0\n", u"old.rvd"_s);
        QCOMPARE((std::tuple{lf.readInt16(), lf.readInt16(), lf.readInt16(), lf.readInt16(), lf.line(), lf.atEnd()}),
                 (std::tuple{qint16(25), qint16(1), qint16(26), qint16(0), 3, true}));
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

    void partnerTextsLeaveOutABlankAddress() {
        AppState s;
        s.partners = {Partner{u"Cég"_s, u"Győr"_s, u"   "_s}, Partner{u"Bolt"_s, u"Pápa"_s, u"Fő u. 2."_s}};
        QCOMPARE((std::tuple{PartnerAddress(s, 1), PartnerLabel(s, 1), PartnerLabel(s, 2)}),
                 (std::tuple{u"Győr"_s, u"Cég - Győr"_s, u"Bolt - Pápa, Fő u. 2."_s}));
    }

    void monthLengths() {
        QCOMPARE((std::tuple{MonthDays[1], daysInMonth(2004, 2), daysInMonth(1900, 2), daysInMonth(2002, 4)}),
                 (std::tuple{28, 29, 28, 30}));
    }

    void numericTexts() {
        for (const auto& [t, numeric] : {std::pair{u"10"_s, true}, {u"-1.5"_s, true}, {u"1,5"_s, true}, {u"1e3"_s, true},
                                          {u" 010 "_s, true}, {u""_s, false}, {u"11a"_s, false}, {u"-"_s, false}})
            QVERIFY2(isNumeric(t) == numeric, qPrintable(t));
        QCOMPARE((std::tuple{*toNumber(u"1,5"_s), leadingNumber(u"12abc"_s), leadingNumber(u"abc"_s), leadingNumber(u"1.20"_s)}),
                 (std::tuple{1.5, 12.0, 0.0, 1.2}));
        QCOMPARE(roundHalfEven(2.5), 2);
    }

    void settingDefaultsAndStoredTexts() {
        TestEnv env;
        Settings& st = *env.settings;
        QCOMPARE((std::tuple{st.confirmExit(), st.tolerance(), st.tries()}), (std::tuple{true, 10.0, 100}));
        st.setText(keys::ConfirmExit, u"0"_s);
        st.setText(keys::Tolerance, QString());
        st.setText(keys::Tries, u"010"_s);
        st.sync();
        auto again = Settings::openFile(env.dir.filePath(u"settings.ini"_s));
        QCOMPARE((std::tuple{again->confirmExit(), again->tolerance(), again->text(keys::Tries), again->tries()}),
                 (std::tuple{false, 0.0, u"010"_s, 10}));
    }

    // Inputs the fuzzers once found trouble with: each must read (or be refused) and, when read,
    // write back to a file that reads the same.
    void everyKeptInputReadsBackTheSame_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("path");
        QDir root(QStringLiteral(ROVANTA_FUZZ_DIR "/regressions"));
        for (const QString& reader : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QFileInfo& f : QDir(root.filePath(reader)).entryInfoList(QDir::Files))
                QTest::addRow("%s/%s", qPrintable(reader), qPrintable(f.fileName())) << reader << f.filePath();
    }
    void everyKeptInputReadsBackTheSame() {
        QFETCH(QString, reader);
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const RoundTrip& trip = readers().at(reader);
        const auto once = trip(f.readAll());
        if (!once)
            return;
        QCOMPARE(trip(*once), once);
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
