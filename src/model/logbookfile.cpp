#include "model/logbookfile.h"

#include "model/cost.h"
#include "model/monthchange.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "storage/records.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

struct PartnerKey {
    QString name, city, address;
    friend bool operator==(const PartnerKey&, const PartnerKey&) = default;
};
size_t qHash(const PartnerKey& k, size_t seed = 0) { return qHashMulti(seed, k.name, k.city, k.address); }
PartnerKey keyOf(const Partner& p) { return {p.name, p.city, p.address}; }

// Partner numbers by their three texts; with twins in the database the last one wins.
QHash<PartnerKey, int> partnerIndex(const AppState& s) {
    QHash<PartnerKey, int> index;
    index.reserve(s.partnerCount());
    for (int p = 1; p <= s.partnerCount(); ++p)
        index.insert(keyOf(s.partner(p)), p);
    return index;
}

} // namespace
namespace {

constexpr int kMaxYear = 9999;
// Lines 1 to 3 of a logbook are short; the months list reads no more than this of each file.
constexpr qint64 kHeaderBytes = 4096;

// Older files padded their texts with spaces.
QString trimSpaces(const QString& text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.mid(b, e - b);
}

void readYearAndMonth(RecordReader& in, int& year, int& month) {
    const int line = in.line();
    year = in.readInt16();
    month = in.readInt16();
    if (year < 1 || year > kMaxYear)
        in.failAt(line, u"az évszám (%1) nem 1 és %2 közötti"_s.arg(year).arg(kMaxYear));
    if (month < 1 || month > 12)
        in.failAt(line, u"a hónap (%1) nem 1 és 12 közötti"_s.arg(month));
}

QString displayName(const QString& path) { return QDir::toNativeSeparators(path); }

} // namespace

bool LogbookHeader::isLogbook() const { return magic == u"RVN"_s; }

bool isOlderLayoutVersion(const QString& version) { return leadingNumber(version) == 1.2; }

bool isReadableLogbookVersion(const QString& version) {
    const double v = leadingNumber(version);
    return v == 0 || v == 1.2 || v == 2.0 || v == 2.1 || v == leadingNumber(versionText());
}

QString newMonthFileName(int year, int month) {
    return QString::number(year) + MonthAbbrev()[size_t(month - 1)] + u".rvn"_s;
}

QString changedOnDiskQuestion(const QString& path) {
    return u"A(z) %1 fájlt egy másik program (például a rovanta-cli) megváltoztatta, mióta a szerkesztő "
           u"megnyitotta vagy elmentette.\r\n\r\nFelülírja a lemezen lévő változatot a szerkesztőben lévővel?\r\n\r\n"
           u"Igen: a szerkesztő változata kerül a lemezre.\r\nNem: a lemezen lévő változat marad, a mentés elmarad."_s
        .arg(QDir::toNativeSeparators(path));
}

// ---- writing ----------------------------------------------------------------------------------

QByteArray serializeLogbook(const StoredLogbook& log) {
    int width = log.stopWidth;
    qsizetype textBytes = 0;
    for (const QVector<Partner>& day : log.stops) {
        width = std::max(width, int(day.size()));
        for (const Partner& p : day)
            textBytes += p.name.size() + p.city.size() + p.address.size() + 12;
    }
    RecordWriter w;
    w.reserve(textBytes + kLogDays * 16 + 64);
    w.str(u"RVN"_s).str(versionText()).endLine();
    w.integer(log.year).integer(log.month).integer(log.startOdometer).endLine();
    w.integer(log.monthKm).integer(width).endLine();
    for (int day = 1; day <= kLogDays; ++day) {
        const QVector<Partner>& stops = log.stops[size_t(day - 1)];
        w.integer(day).integer(stops.size()).endLine();
        for (const Partner& p : stops)
            w.line(p.name).line(p.city).line(p.address);
        w.line(log.comments[size_t(day - 1)]);
    }
    return w.data();
}

StoredLogbook storedFromMonth(const AppState& s, const MonthLog& log) {
    StoredLogbook out;
    out.version = versionText();
    out.year = log.year;
    out.month = log.month;
    out.startOdometer = log.startOdometer;
    out.monthKm = qint32(std::clamp<qint64>(legKilometres(s, log), 0, std::numeric_limits<qint32>::max()));
    out.stopWidth = log.stopWidth;
    out.comments = log.comments;
    const int width = std::min(log.stopWidth, log.stops.columns());
    for (int day = 1; day <= kLogDays; ++day) {
        if (width < 1 || log.stops.at(day, 1) == 0)
            continue; // a day is empty when its first cell is
        QVector<Partner>& stops = out.stops[size_t(day - 1)];
        for (int k = 1; k <= width; ++k) {
            const int p = log.stops.at(day, k);
            if (p == 0)
                continue;
            stops.append((p >= 1 && p <= s.partnerCount()) ? s.partner(p) : Partner{});
        }
    }
    return out;
}

QByteArray serializeLogbook(const AppState& s, const MonthLog& log) { return serializeLogbook(storedFromMonth(s, log)); }

bool SaveLogbook(AppState& s, bool* keptOther) {
    MonthLog& log = s.month;
    if (log.stopWidth <= 0) {
        if (s.prompter)
            s.prompter->ask(u"Nincs mit elmenteni."_s, Ok, MsgIcon::Exclamation);
        return false;
    }
    if (const Result r = s.refuseReadOnly(); !r) {
        if (s.prompter)
            s.prompter->ask(r.message(), Ok, MsgIcon::Exclamation);
        return false;
    }
    const QString fileName = log.fileName.isEmpty() ? monthTarget(s, log.year, log.month).fileName : log.fileName;
    const QString path = s.carPath(fileName);
    if (log.onDisk.known && stampOf(path) != log.onDisk) {
        if (!s.prompter || s.prompter->ask(changedOnDiskQuestion(path), Yes | No | DefaultNo, MsgIcon::Question) != Yes) {
            if (keptOther)
                *keptOther = true;
            return false;
        }
    }
    const MonthChange written = writeMonth(s, fileName, log);
    if (const Result& r = written.file; !r) {
        // The old file is intact and the month is still in memory: report and let the user retry
        // rather than end the program.
        logCaught(s, r.code(), r.message());
        if (s.prompter)
            s.prompter->ask(u"A nyilvántartás mentése nem sikerült.\r\n\r\n"_s + r.message(), Ok, MsgIcon::Critical);
        return false;
    }
    // The month is on disk whatever its facts do: the stamp is the program's own write.
    log.fileName = fileName;
    log.onDisk = stampOfBytes(written.bytes);
    log.storedKm = qint32(std::clamp<qint64>(legKilometres(s, log), 0, std::numeric_limits<qint32>::max()));
    if (const Result& season = written.facts; !season) {
        // The box stays ticked in memory and the month stays modified: a later save retries.
        logCaught(s, season.code(), season.message());
        if (s.prompter)
            s.prompter->ask(u"A hónap évszak-beállítása (Klíma / Téli üzemeltetés) és záró km-óra állása nem "
                            u"menthető.\r\n\r\n"_s +
                                season.message(),
                            Ok, MsgIcon::Critical);
        return false;
    }
    log.modified = false;
    return true;
}

// ---- reading ----------------------------------------------------------------------------------

Result parseLogbook(const QByteArray& data, const QString& fileName, StoredLogbook& out) {
    StoredLogbook log;
    RecordReader in(data, fileName);
    try {
        if (in.readString() != u"RVN"_s)
            in.failAt(1, u"ez nem Rovanta nyilvántartás (hiányzik az RVN jelzés)"_s);
        log.version = in.readString();
        log.olderLayout = isOlderLayoutVersion(log.version);
        const bool older = log.olderLayout;
        auto text = [&] { return older ? trimSpaces(in.readString()) : in.readString(); };

        readYearAndMonth(in, log.year, log.month);
        if (!older)
            log.startOdometer = in.readInt32();
        const int widthLine = in.line();
        log.monthKm = in.readInt32();
        log.stopWidth = in.readInt16();
        if (older) {
            in.readField();
            in.readField();
        }
        if (log.stopWidth <= 0)
            in.failAt(widthLine, u"a napi megállók száma (%1) nem pozitív"_s.arg(log.stopWidth));

        for (int day = 1; day <= kLogDays; ++day) {
            const int line = in.line();
            in.readInt16(); // the day number: blocks are taken in file order
            const int n = in.readInt16();
            if (n < 0)
                in.failAt(line, u"negatív megállószám (%1)"_s.arg(n));
            if (n > log.stopWidth)
                in.failAt(line, u"a %1. blokkban több megálló van (%2), mint a fejlécben megadott %3"_s.arg(day).arg(n).arg(
                                     log.stopWidth));
            // Every field takes at least its separator: three texts a stop, two extra values
            // before each further stop of the older layout, and the comment.
            in.requireRoom(qint64(n) * 3 + (older && n > 1 ? qint64(n - 1) * 2 : 0) + 1, line);
            QVector<Partner>& stops = log.stops[size_t(day - 1)];
            stops.reserve(n);
            for (int k = 1; k <= n; ++k) {
                if (older && k > 1) {
                    in.readField();
                    in.readField();
                }
                Partner p;
                p.name = text();
                p.city = text();
                p.address = text();
                stops.append(std::move(p));
            }
            log.comments[size_t(day - 1)] = text();
        }
        in.requireEnd();
    } catch (const FormatError& e) {
        return Result::failure(e.message(), 62);
    }
    out = std::move(log);
    return Result::success();
}

Result readLogbookFile(const QString& path, StoredLogbook& out, const QString& dataDir) {
    QByteArray data;
    Result r = readDataFile(dataDir, path, data);
    if (!r)
        return r;
    return parseLogbook(data, displayName(path), out);
}

Result parseLogbookHeader(const QByteArray& data, const QString& fileName, LogbookHeader& out) {
    LogbookHeader h;
    RecordReader in(data, fileName);
    try {
        h.magic = in.readString();
    } catch (const FormatError&) {
        out = LogbookHeader{}; // not even a first field: not one of ours
        return Result::success();
    }
    if (!h.isLogbook()) {
        out = h;
        return Result::success();
    }
    try {
        h.version = in.readString();
        h.olderLayout = isOlderLayoutVersion(h.version);
        readYearAndMonth(in, h.year, h.month);
        if (!h.olderLayout)
            h.startOdometer = in.readInt32();
        h.monthKm = in.readInt32();
    } catch (const FormatError& e) {
        return Result::failure(e.message(), 62);
    }
    out = h;
    return Result::success();
}

Result readLogbookHeader(const QString& path, LogbookHeader& out, const QString& dataDir) {
    QByteArray data;
    if (Result r = readDataFileHead(dataDir, path, kHeaderBytes, data); !r)
        return r;
    return parseLogbookHeader(data, displayName(path), out);
}

// ---- the month record of a stored month ------------------------------------------------------

QVector<Partner> missingPartners(const AppState& s, const StoredLogbook& log) {
    const QHash<PartnerKey, int> known = partnerIndex(s);
    QHash<PartnerKey, int> seen;
    QVector<Partner> missing;
    for (const QVector<Partner>& day : log.stops)
        for (const Partner& stop : day) {
            if (stop.name.isEmpty())
                continue;
            const PartnerKey key = keyOf(stop);
            if (known.contains(key) || seen.contains(key))
                continue;
            seen.insert(key, int(missing.size()));
            missing.append(stop);
        }
    return missing;
}

MonthLog monthFromStored(const AppState& s, const StoredLogbook& log, const QString& fileName) {
    const QHash<PartnerKey, int> index = partnerIndex(s);
    MonthLog m;
    m.year = log.year;
    m.month = log.month;
    m.startOdometer = log.startOdometer;
    m.storedKm = log.monthKm;
    m.stopWidth = log.stopWidth;
    m.stops.reset(log.stopWidth);
    m.comments = log.comments;
    m.fileName = fileName;
    for (int day = 1; day <= kLogDays; ++day) {
        int column = 0;
        for (const Partner& stop : log.stops[size_t(day - 1)]) {
            const int p = index.value(keyOf(stop), 0);
            if (p != 0 && column < m.stops.columns())
                m.stops.at(day, ++column) = qint16(p);
        }
    }
    refreshKilometres(s, m);
    return m;
}

std::optional<qint64> storedMonthKm(const AppState& s, const QString& fileName) {
    StoredLogbook stored;
    if (!readLogbookFile(s.carPath(fileName), stored, s.programDir))
        return std::nullopt;
    return monthFromStored(s, stored, fileName).monthKm;
}

} // namespace rv
