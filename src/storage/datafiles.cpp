#include "datafiles.h"

#include "fileio.h"
#include "records.h"
#include "storage/prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString keepAside(const QString& dataDir, const QString& path) {
    QByteArray data;
    if (!readDataFile(dataDir, path, data))
        return {};
    constexpr int kMostCopies = 999;
    for (int n = 1; n <= kMostCopies; ++n) {
        const QString rescue = path + u".hibas"_s + (n == 1 ? QString() : u'.' + QString::number(n));
        const QFileInfo info(rescue);
        if (info.exists() || info.isSymLink()) {
            // The same damage met again (every start with the same file) needs no new copy.
            QByteArray kept;
            if (info.isFile() && !info.isSymLink() && readWholeFile(rescue, kept) && kept == data)
                return rescue;
            continue;
        }
        return saveWholeFile(dataDir, rescue, data) ? rescue : QString();
    }
    return {};
}

// ---- cars --------------------------------------------------------------------------------------

QByteArray serializeCars(const QVector<CarRecord>& cars) {
    RecordWriter w;
    w.line(cars.size());
    for (const CarRecord& c : cars) {
        w.line(c.userName.trimmed()).line(c.carType.trimmed()).line(c.plateNumber.trimmed());
        // A kind the older program does not know goes in as the nearest it does; the car's facts
        // file keeps the kind itself.
        w.line(storedFuelType(c.fuelType));
        w.single(c.consumption).endLine();
        w.single(c.generalCost).endLine();
        w.line(c.companyName.trimmed()).line(c.city.trimmed()).line(c.companyAddress.trimmed());
        w.line(c.dirName.trimmed());
    }
    return w.data();
}

Result parseCars(const QByteArray& data, const QString& fileName, QVector<CarRecord>& out) {
    QVector<CarRecord> cars;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        const int countLine = in.line();
        const int count = in.readInt16In(0, 32767, u"darabszám"_s);
        in.requireRoom(qint64(count) * 10 * 2 - 1, countLine);
        cars.reserve(count);
        for (int i = 0; i < count; ++i) {
            CarRecord c;
            c.userName = in.readString();
            c.carType = in.readString();
            c.plateNumber = in.readString();
            c.fuelType = in.readInt16In(1, kOlderFuelTypeCount, u"üzemanyagtípus"_s);
            c.consumption = in.readSingleIn(Quantity::Consumption);
            c.generalCost = in.readSingleIn(Quantity::GeneralCost);
            c.companyName = in.readString();
            c.city = in.readString();
            c.companyAddress = in.readString();
            const int dirLine = in.line();
            c.dirName = in.readString();
            if (IsBlank(c.dirName) || c.dirName.contains(u'/') || c.dirName.contains(u'\\') ||
                c.dirName.trimmed() == u".."_s || c.dirName.trimmed() == u"."_s)
                in.failAt(dirLine, u"érvénytelen könyvtárnév: %1"_s.arg(quotedField(c.dirName)));
            cars.append(std::move(c));
        }
        in.requireEnd();
    });
    if (r)
        out = std::move(cars);
    return r;
}

// ---- partners and distances -----------------------------------------------------------------

namespace {
// The text of every distance a cell may hold, its length in the last byte: a large file's cells
// are written by copying these instead of converting each number afresh.
struct DistanceTexts {
    std::array<std::array<char, 8>, 32768> text;
    DistanceTexts() {
        for (int km = 0; km < 32768; ++km)
            text[km][7] = char(std::to_chars(text[km].data(), text[km].data() + 7, km).ptr - text[km].data());
    }
};
} // namespace

QByteArray serializeDatabase(const QVector<Partner>& partners, const DistanceMatrix& distances, qint16 defaultRouteType) {
    const int n = int(partners.size());
    RecordWriter w;
    w.line(n);
    for (const Partner& p : partners)
        w.line(p.name.trimmed()).line(p.city.trimmed()).line(p.address.trimmed());
    const QByteArray head = w.data();
    // Room for the longest cells; only the pages written are ever taken from the system.
    constexpr qsizetype kLongestCell = 6 + 1 + 6 + 2;
    QByteArray out(head.size() + qsizetype(n) * n * kLongestCell, Qt::Uninitialized);
    std::memcpy(out.data(), head.constData(), size_t(head.size()));
    char* p = out.data() + head.size();
    static const DistanceTexts texts;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const DistanceCell& c = distances.at(i, j);
            const int type = c.routeType == 0 ? defaultRouteType : c.routeType;
            if (c.distance >= 0 && type >= 0 && type <= 9) {
                const auto& t = texts.text[size_t(c.distance)];
                std::memcpy(p, t.data(), 8);
                p += t[7];
                *p++ = ',';
                *p++ = char('0' + type);
            } else {
                p = std::to_chars(p, p + 6, c.distance).ptr;
                *p++ = ',';
                p = std::to_chars(p, p + 6, type).ptr;
            }
            *p++ = '\r';
            *p++ = '\n';
        }
    out.resize(p - out.constData());
    return out;
}

QByteArray serializeDatabase(PartnerDatabase& db, qint16 defaultRouteType) {
    QByteArray out = serializeDatabase(db.partners, db.distances, defaultRouteType);
    settleRouteTypes(db.distances, defaultRouteType);
    return out;
}

void settleRouteTypes(DistanceMatrix& distances, qint16 defaultRouteType) {
    for (int i = 1; i <= distances.size(); ++i)
        for (int j = 1; j <= distances.size(); ++j)
            if (distances.at(i, j).routeType == 0)
                distances.at(i, j).routeType = defaultRouteType;
}

Result parseDatabase(const QByteArray& data, const QString& fileName, qint16 defaultRouteType,
                     PartnerDatabase& out, PartnerFileProgress* progress) {
    return parsePartnerFile(data, fileName, out, [&](RecordReader& in, PartnerDatabase& db) {
        const int line = in.line();
        qint16 routeType = in.readInt16();
        if (routeType < 0 || routeType > kRouteTypeCount) {
            db.warnings.append(u"%1 (%2. sor): ismeretlen úttípus (%3), helyette %4"_s.arg(fileName)
                                   .arg(line)
                                   .arg(routeType)
                                   .arg(defaultRouteType));
            routeType = 0;
        }
        return routeType == 0 ? defaultRouteType : routeType;
    }, progress, true);
}

bool readWrittenPartnerFile(const std::function<qint64(char*, qint64)>& read, PartnerDatabase& out,
                            qsizetype pieceBytes) {
    // Room for the bytes of an unfinished line carried over from the piece before.
    constexpr qsizetype kCarry = 256;
    std::vector<char> buffer(size_t(pieceBytes + kCarry) + 1);
    char* const b = buffer.data();
    qint64 filled = 0, got = 0;
    while (filled < pieceBytes && (got = read(b + filled, pieceBytes - filled)) > 0)
        filled += got;
    if (got < 0)
        return false;
    // The partners: the field reader over the first piece, which must hold them with room to
    // spare (a line cut at the piece's end would read as another form).
    PartnerDatabase db;
    qsizetype at = 0;
    int n = 0;
    try {
        RecordReader in(QByteArray(b, filled), QString());
        n = in.readInt16In(1, 32767, QString());
        db.partners.reserve(n);
        for (int i = 0; i < n; ++i)
            db.partners.append(readPartner(in));
        at = filled - in.remainingBytes();
    } catch (const FormatError&) {
        return false;
    }
    if (filled - at < 64 && got > 0)
        return false;
    db.distances.resetForOverwrite(n); // every cell is read before the matrix is handed on
    const int shortest = int(rangeOf(Quantity::Distance).min), longest = int(rangeOf(Quantity::Distance).max);
    DistanceCell* cell = &db.distances.at(1, 1);
    auto take = [&](int km, int routeType) {
        if (km < shortest || km > longest || routeType < 1 || routeType > kRouteTypeCount)
            return false;
        *cell++ = DistanceCell{qint16(km), qint16(routeType)};
        return true;
    };
    qint64 left = qint64(n) * n;
    const char* p = b + at;
    const char* end = b + filled;
    while (left > 0) {
        left -= pairlines::commonPairLines(p, end, int(std::min<qint64>(left, 1 << 30)), take);
        if (left == 0)
            break;
        const qsizetype carry = end - p;
        if (carry > kCarry)
            return false; // a line of another form
        std::memmove(b, p, size_t(carry));
        filled = carry;
        while (filled < carry + pieceBytes && (got = read(b + filled, carry + pieceBytes - filled)) > 0)
            filled += got;
        if (got < 0)
            return false;
        p = b;
        end = b + filled;
        if (filled == carry) { // the last lines: the long way over the bytes left
            RecordReader tail(QByteArray(b, carry), QString());
            left -= tail.readPairLines(int(left), take);
            p = end - tail.remainingBytes();
            break;
        }
    }
    if (left > 0)
        return false;
    // Nothing but blank lines may follow, as RecordReader::requireEnd has it.
    auto blank = [](const char* from, const char* to) {
        return std::all_of(from, to, [](char c) { return c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '\x1a'; });
    };
    if (!blank(p, end))
        return false;
    while ((got = read(b, pieceBytes)) > 0)
        if (!blank(b, b + got))
            return false;
    if (got < 0)
        return false;
    out = std::move(db);
    return true;
}

PartnerDatabase readablePart(const PartnerFileProgress& progress) {
    PartnerDatabase db;
    db.partners = progress.read.partners.mid(0, progress.partnersRead);
    const int n = int(db.partners.size());
    const int rows = std::min(progress.rowsRead, n);
    const DistanceMatrix& from = progress.read.distances;
    db.distances.reset(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            // A lost row still has its cells in the rows read before it: distances are kept
            // the same both ways.
            if (i <= rows)
                db.distances.at(i, j) = from.at(i, j);
            else if (j <= rows)
                db.distances.at(i, j) = from.at(j, i);
        }
    return db;
}

// ---- fuel prices -------------------------------------------------------------------------------

QByteArray emptyFuelPriceFile() { return QByteArrayLiteral("0\r\n"); }

QByteArray serializeFuelPrices(const QVector<FuelPrice>& prices) {
    RecordWriter w;
    w.line(prices.size());
    for (const FuelPrice& p : prices) {
        w.date(p.month).endLine();
        w.line(p.price);
    }
    return w.data();
}

Result parseFuelPrices(const QByteArray& data, const QString& fileName, QVector<FuelPrice>& out) {
    QVector<FuelPrice> prices;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        const int countLine = in.line();
        const int n = in.readInt16In(0, 32767, u"darabszám"_s);
        in.requireRoom(qint64(n) * (12 + 2) - 1, countLine);
        prices.resize(n);
        for (FuelPrice& p : prices) {
            p.month = in.readDate();
            p.price = in.readInt16In(Quantity::Price);
        }
        in.requireEnd();
    });
    if (r)
        out = std::move(prices);
    return r;
}

// ---- multipliers -------------------------------------------------------------------------------

QByteArray serializeMultipliers(const MultiplierFile& m) {
    RecordWriter w;
    for (float v : m.values)
        w.single(v).endLine();
    w.line(m.defaultRouteType);
    return w.data();
}

Result parseMultipliers(const QByteArray& data, const QString& fileName, MultiplierFile& out) {
    MultiplierFile m;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        for (float& v : m.values)
            v = in.readSingleIn(Quantity::Multiplier);
        m.defaultRouteType = in.readInt16In(1, kRouteTypeCount, u"alapértelmezett úttípus"_s);
        in.requireEnd();
    });
    if (r)
        out = m;
    return r;
}

// ---- cities ------------------------------------------------------------------------------------

QByteArray serializeCities(const QString& heading, const QStringList& cities) {
    RecordWriter w;
    w.line(heading);
    w.line(cities.size());
    for (const QString& c : cities)
        w.line(c);
    return w.data();
}

Result parseCities(const QByteArray& data, const QString& fileName, QStringList& out,
                   const std::function<void(int)>& started, const std::function<void(int)>& progress) {
    QStringList cities;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        in.readString(); // heading
        const int countLine = in.line();
        const int n = in.readInt16In(0, 32767, u"darabszám"_s);
        in.requireRoom(qint64(n) - 1, countLine);
        if (started)
            started(n);
        cities.reserve(n);
        for (int i = 1; i <= n; ++i) {
            cities.append(in.readString());
            if (progress)
                progress(i);
        }
        in.requireEnd();
    });
    if (r)
        out = std::move(cities);
    return r;
}

namespace {
QString shareDir(const QString& executableDir) {
    return QDir::cleanPath(QDir(executableDir).filePath(QStringLiteral(ROVANTA_SHARE_FROM_BIN)));
}
} // namespace

QString shippedFile(const QString& name, const QString& executableDir) {
    for (const QString& dir : {executableDir, shareDir(executableDir)}) {
        const QString path = QDir(dir).filePath(name);
        if (QFile::exists(path))
            return path;
    }
    return {};
}

bool isInstalledProgram(const QString& executableDir) { return QFileInfo(shareDir(executableDir)).isDir(); }

} // namespace rv
