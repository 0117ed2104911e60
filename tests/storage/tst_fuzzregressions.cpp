// Inputs the fuzzers once found trouble with: each must read (or be refused) and, when read,
// write back to a file that reads the same.
#include "editor/logbookfile.h"
#include "storage/datafiles.h"

#include <QDir>
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

class TestFuzzRegressions : public QObject {
    Q_OBJECT
private slots:
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
        const auto twice = trip(*once);
        QVERIFY(twice);
        QCOMPARE(*twice, *once);
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
