// Inputs the fuzzers once found trouble with: each must read (or be refused) and, when read,
// write back to a file that reads the same.
#include "editor/logbookfile.h"
#include "storage/datafiles.h"

#include <QDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QByteArray roundTrip(const QString& reader, const QByteArray& data, bool* accepted) {
    const QString name = u"x.rvd"_s;
    *accepted = false;
    if (reader == u"cars"_s) {
        QVector<CarRecord> v;
        if (!parseCars(data, name, v))
            return {};
        *accepted = true;
        return serializeCars(v);
    }
    if (reader == u"database"_s) {
        PartnerDatabase db;
        if (!parseDatabase(data, name, 1, db))
            return {};
        *accepted = true;
        return serializeDatabase(db, 1);
    }
    if (reader == u"fuelprices"_s) {
        QVector<FuelPrice> v;
        if (!parseFuelPrices(data, name, v))
            return {};
        *accepted = true;
        return serializeFuelPrices(v);
    }
    if (reader == u"multipliers"_s) {
        MultiplierFile m;
        if (!parseMultipliers(data, name, m))
            return {};
        *accepted = true;
        return serializeMultipliers(m);
    }
    if (reader == u"cities"_s) {
        QStringList v;
        if (!parseCities(data, name, v))
            return {};
        *accepted = true;
        return serializeCities(u"x"_s, v);
    }
    if (reader == u"logbook"_s) {
        StoredLogbook log;
        if (!parseLogbook(data, name, log))
            return {};
        *accepted = true;
        return serializeLogbook(log);
    }
    return {};
}

} // namespace

class TestFuzzRegressions : public QObject {
    Q_OBJECT
private slots:
    void everyKeptInputReadsBackTheSame_data() {
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("path");
        QDir root(QStringLiteral(ROVANTA_FUZZ_DIR "/regressions"));
        int count = 0;
        for (const QString& reader : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QFileInfo& f : QDir(root.filePath(reader)).entryInfoList(QDir::Files)) {
                QTest::addRow("%s/%s", qPrintable(reader), qPrintable(f.fileName())) << reader << f.filePath();
                ++count;
            }
        QVERIFY(count > 0);
    }
    void everyKeptInputReadsBackTheSame() {
        QFETCH(QString, reader);
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        bool accepted = false;
        const QByteArray once = roundTrip(reader, f.readAll(), &accepted);
        if (!accepted)
            return;
        bool again = false;
        const QByteArray twice = roundTrip(reader, once, &again);
        QVERIFY(again);
        QCOMPARE(twice, once);
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
