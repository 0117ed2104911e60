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
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
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

namespace {
// One thread beside the caller's that runs one job at a time.
class Helper {
public:
    Helper() : m_thread([this] { loop(); }) {}
    ~Helper() {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    void post(std::function<void()> job) {
        wait();
        std::lock_guard lock(m_mutex);
        m_job = std::move(job);
        m_changed.notify_all();
    }
    // Until the job posted last is done.
    void wait() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_job; });
    }

private:
    void loop() {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_job || m_stop; });
            if (!m_job)
                return;
            lock.unlock();
            m_job();
            lock.lock();
            m_job = nullptr;
            m_changed.notify_all();
        }
    }
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;
    bool m_stop = false;
    std::thread m_thread;
};

// Nothing but blank lines may follow the cells, as RecordReader::requireEnd has it.
bool isBlank(const char* from, const char* to) { return std::all_of(from, to, isTrailingByte); }
} // namespace

bool readWrittenPartnerFile(const std::function<qint64(char*, qint64)>& read, PartnerDatabase& out,
                            qsizetype pieceBytes) {
    // Room for the bytes of an unfinished line carried over from the piece before, and for the
    // line-end search looking a block past a piece's last byte.
    constexpr qsizetype kCarry = 256, kSlack = 64;
    // Two buffers take the pieces in turn: while this thread reads a piece and parses every
    // second one, a helper parses the one before. A piece holds whole lines, its first cell
    // known from the lines counted before it, so each writes its own cells.
    std::array<std::vector<char>, 2> buffers;
    buffers[0].resize(size_t(pieceBytes + kCarry + kSlack));
    char* b = buffers[0].data();
    // Fills b from filled up to want bytes, the reader handing over less at a time as it likes;
    // got ends 0 at the file's end, below 0 on a fault.
    qint64 filled = 0, got = 0;
    auto fill = [&](qint64 want) {
        while (filled < want && (got = read(b + filled, want - filled)) > 0)
            filled += got;
        return got >= 0;
    };
    if (!fill(pieceBytes))
        return false;
    bool ended = got == 0;
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
    if (filled - at < 64 && !ended)
        return false;
    db.distances.resetForOverwrite(n); // every cell is read before the matrix is handed on
    DistanceCell* const cells = &db.distances.at(1, 1);
    auto taker = [](DistanceCell* cell) {
        return [=](int km, int routeType) mutable {
            if (!isWrittenCell(km, routeType))
                return false;
            *cell++ = DistanceCell{qint16(km), qint16(routeType)};
            return true;
        };
    };
    std::atomic<bool> refused = false;
    auto parse = [=, &refused](const char* from, const char* to, qint64 firstCell, int count) {
        auto take = taker(cells + firstCell);
        if (pairlines::commonPairLines(from, to, count, take, kSlack) != count)
            refused = true;
    };
    std::optional<Helper> helper;
    bool helperRefused = false;
    const qint64 total = qint64(n) * n;
    qint64 firstCell = 0;
    int k = 0; // the buffer holding this piece
    const char* p = b + at;
    const char* end = b + filled;
    for (;;) {
        // This piece's whole lines.
        const char* whole = p;
        for (const char* q = end; q > p && end - q <= kCarry; --q)
            if (q[-1] == '\n') {
                whole = q;
                break;
            }
        if (whole == p && end - p > kCarry)
            return false; // a line of another form
        const int count = int(std::min(pairlines::countLineFeeds(p, whole), total - firstCell));
        if (count > 0 && k == 0 && !ended && !helper && !helperRefused) {
            try {
                helper.emplace();
            } catch (const std::system_error&) {
                helperRefused = true; // no thread to be had: this one parses every piece
            }
        }
        if (count > 0 && k == 0 && !ended && helper)
            helper->post([=] { parse(p, whole, firstCell, count); });
        else if (count > 0)
            parse(p, whole, firstCell, count);
        firstCell += count;
        if (firstCell == total) {
            const char* after = p;
            for (int i = 0; i < count; ++i)
                after = static_cast<const char*>(std::memchr(after, '\n', size_t(whole - after))) + 1;
            if (!isBlank(after, end))
                return false;
            if (helper)
                helper->wait(); // it may still be reading this buffer
            while ((got = read(b, pieceBytes)) > 0)
                if (!isBlank(b, b + got))
                    return false;
            if (got < 0)
                return false;
            break;
        }
        if (ended) { // the last line, without its end: the long way
            RecordReader tail(QByteArray(whole, end - whole), QString());
            auto take = taker(cells + firstCell);
            firstCell += tail.readPairLines(int(total - firstCell), take);
            if (firstCell < total || !tail.atEnd())
                return false;
            break;
        }
        // The next piece into the other buffer, after the unfinished line.
        const int next = 1 - k;
        if (next == 0 && helper)
            helper->wait();
        if (buffers[next].empty())
            buffers[next].resize(size_t(pieceBytes + kCarry + kSlack));
        b = buffers[next].data();
        const qsizetype carry = end - whole;
        std::memcpy(b, whole, size_t(carry));
        filled = carry;
        if (!fill(carry + pieceBytes))
            return false;
        ended = got == 0;
        p = b;
        end = b + filled;
        k = next;
    }
    if (helper)
        helper->wait();
    if (refused)
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
