#include "monthfacts.h"
#include "model/grouping.h"

#include "model/monthseason.h"
#include "storage/datafiles.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "storage/records.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

const QString kMagic = u"RVH"_s;
constexpr int kVersion = 1;

QString folder(const QString& carDir) { return carDir.endsWith(u'/') ? carDir : carDir + u'/'; }
bool present(const QString& path) { return QFileInfo::exists(path) || QFileInfo(path).isSymLink(); }

int boxCode(SeasonBox box) { return box == SeasonBox::AirConditioning ? 1 : box == SeasonBox::Winter ? 2 : 0; }

bool before(const MonthFacts& a, const MonthFacts& b) {
    return a.year != b.year ? a.year < b.year : a.month < b.month;
}

bool holds(const QVector<MonthFacts>& months, int year, int month) {
    return std::any_of(months.begin(), months.end(),
                       [&](const MonthFacts& m) { return m.year == year && m.month == month; });
}

// Why a line's values make no month, empty when they make one.
QString invalid(qint64 year, qint64 month, qint64 box, qint64 privateKm, qint64 closing) {
    if (year < 1 || year > 32767 || month < 1 || month > 12)
        return u"érvénytelen hónap (%1, %2)"_s.arg(year).arg(month);
    if (box < 0 || box > 2)
        return u"érvénytelen évszak-jelölés (%1)"_s.arg(box);
    if (privateKm < 0 || privateKm > kLargestOdometerReading || closing < 0 || closing > kLargestOdometerReading)
        return u"a magánhasználat km-e és a záró km-óra állás 0 és %1 között lehet"_s.arg(kLargestOdometerReading);
    if (privateKm != 0 && closing != 0)
        return u"a magánhasználat km-e és a záró km-óra állás közül csak az egyik lehet megadva"_s;
    return {};
}

MonthFacts made(qint64 year, qint64 month, qint64 box, qint64 privateKm, qint64 closing) {
    return MonthFacts{int(year), int(month), box == 1 ? SeasonBox::AirConditioning : box == 2 ? SeasonBox::Winter : SeasonBox::None,
                      qint32(privateKm), qint32(closing)};
}

// Every line after the count that is a whole month by itself, the first of a month only: one bad
// line costs no other month its facts.
QVector<MonthFacts> readableLines(const QByteArray& data) {
    QVector<MonthFacts> months;
    QByteArray text = data;
    text.replace("\r\n", "\n").replace('\r', '\n');
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> f = lines[i].split(',');
        if (f.size() != 5)
            continue;
        qint64 v[5];
        bool all = true;
        for (int k = 0; k < 5; ++k) {
            bool ok = false;
            v[k] = f[k].trimmed().toLongLong(&ok);
            all = all && ok;
        }
        if (all && invalid(v[0], v[1], v[2], v[3], v[4]).isEmpty() && !holds(months, int(v[0]), int(v[1])))
            months.append(made(v[0], v[1], v[2], v[3], v[4]));
    }
    return months;
}

// The months of the older file that held the season boxes alone. A damaged one is told and kept
// aside; its whole lines still count.
MonthFactsFile fromSeasonFile(const WriteGate& gate, const QString& carDir) {
    MonthFactsFile file;
    const QString path = folder(carDir) + kSeasonFileName;
    if (!present(path))
        return file;
    QByteArray data;
    QVector<MonthSeason> seasons;
    Result r = readDataFile(gate.dataDir(), path, data);
    if (r)
        r = parseMonthSeasons(data, QDir::toNativeSeparators(path), seasons);
    if (!r) {
        const QString kept = r.code() == 62 ? gate.keepAside(path) : QString();
        file.problem = Result::failure(
            u"A hónapok Klíma/Téli üzemeltetés jelölését tartalmazó fájl nem olvasható:\r\n%1%2"_s.arg(
                r.message(), kept.isEmpty() ? QString() : u"\r\n\r\nA hibás fájl másolata: "_s + QDir::toNativeSeparators(kept)),
            r.code());
    }
    for (const MonthSeason& m : seasons)
        file.months.append(MonthFacts{m.year, m.month, m.box, 0, 0});
    return file;
}

} // namespace

QByteArray serializeMonthFacts(const QVector<MonthFacts>& months) {
    RecordWriter w;
    w.str(kMagic).integer(kVersion).endLine();
    qint64 count = 0;
    for (const MonthFacts& m : months)
        count += !m.blank();
    w.integer(count).endLine();
    for (const MonthFacts& m : months)
        if (!m.blank())
            w.integer(m.year).integer(m.month).integer(boxCode(m.box)).integer(m.privateKm).integer(m.closing).endLine();
    return w.data();
}

Result parseMonthFacts(const QByteArray& data, const QString& fileName, QVector<MonthFacts>& out) {
    QVector<MonthFacts> months;
    const Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        if (in.readString() != kMagic)
            in.failAt(1, u"ez nem a hónapok adatainak fájlja (hiányzik az RVH jelzés)"_s);
        const int version = in.readInt16();
        if (version != kVersion)
            in.failAt(1, u"ismeretlen változat (%1)"_s.arg(version));
        const int countLine = in.line();
        const int n = in.readInt16In(0, 32767, u"a hónapok száma"_s);
        in.requireRoom(qint64(n) * 10 - 1, countLine); // "y,m,b,p,c" and a line end at least
        for (int i = 0; i < n; ++i) {
            const int line = in.line();
            const qint64 year = in.readInt16();
            const qint64 month = in.readInt16();
            const qint64 box = in.readInt16();
            const qint64 privateKm = in.readInt32();
            const qint64 closing = in.readInt32();
            if (const QString why = invalid(year, month, box, privateKm, closing); !why.isEmpty())
                in.failAt(line, why);
            if (holds(months, int(year), int(month)))
                in.failAt(line, u"a(z) %1. %2. hónap kétszer szerepel"_s.arg(year).arg(month));
            months.append(made(year, month, box, privateKm, closing));
        }
        in.requireEnd();
    });
    out = r ? std::move(months) : readableLines(data);
    return r;
}

MonthFacts MonthFactsFile::of(int year, int month) const {
    for (const MonthFacts& m : months)
        if (m.year == year && m.month == month)
            return m;
    return MonthFacts{year, month};
}

MonthFactsFile readMonthFacts(const WriteGate& gate, const QString& carDir) {
    const QString path = folder(carDir) + kMonthFactsFileName;
    if (!present(path))
        return fromSeasonFile(gate, carDir);
    MonthFactsFile file;
    QByteArray data;
    if (Result r = readDataFile(gate.dataDir(), path, data); !r) {
        file.problem = Result::failure(u"A hónapok jelölését és magánhasználatát tartalmazó fájl nem olvasható; "
                                       u"egyik hónapnál sem számol vele a program:\r\n"_s + r.message(),
                                       r.code());
        return file;
    }
    if (const Result r = parseMonthFacts(data, QDir::toNativeSeparators(path), file.months); !r) {
        const QString kept = gate.keepAside(path);
        file.problem = Result::failure(
            u"A hónapok jelölését és magánhasználatát tartalmazó fájl hibás:\r\n%1\r\n\r\nA hibátlanul olvasható %2 "
            u"hónap adatai megmaradnak, a többié elveszett: nézze át a hónapok Klíma, Téli üzemeltetés jelölését és "
            u"záró km-óra állását.\r\n\r\n%3"_s
                .arg(r.message())
                .arg(file.months.size())
                .arg(!kept.isEmpty()    ? u"A hibás fájl másolata: "_s + QDir::toNativeSeparators(kept)
                     : gate.isClosed() ? kUntouchedDamage
                                       : u"A hibás fájlról nem sikerült másolatot készíteni."_s),
            r.code());
    }
    return file;
}

Result saveMonthFacts(const WriteGate& gate, const QString& carDir, const MonthFacts& facts) {
    const QString path = folder(carDir) + kMonthFactsFileName;
    if (Result r = gate.checkTarget(path); !r)
        return r;
    QVector<MonthFacts> months;
    bool damaged = false;
    if (present(path)) {
        QByteArray data;
        if (Result r = readDataFile(gate.dataDir(), path, data); !r)
            return r;
        if (!parseMonthFacts(data, kMonthFactsFileName, months)) {
            if (gate.keepAside(path).isEmpty())
                return Result::failure(u"A fájl nem menthető félre: %1"_s.arg(QDir::toNativeSeparators(path)), 75);
            damaged = true;
        }
    } else {
        // The older file's boxes move over; a damaged one was kept aside by its reader.
        const MonthFactsFile old = fromSeasonFile(gate, carDir);
        months = old.months;
        if (old.problem && old.of(facts.year, facts.month) == MonthFacts{facts.year, facts.month, facts.box} &&
            facts.privateKm == 0 && facts.closing == 0)
            return Result::success();
        damaged = true; // the new file is written even when the month stays as it was
    }
    auto it = std::find_if(months.begin(), months.end(),
                           [&](const MonthFacts& m) { return m.year == facts.year && m.month == facts.month; });
    if (!damaged && (it != months.end() ? *it == facts : facts.blank()))
        return Result::success();
    if (it != months.end())
        months.erase(it);
    if (!facts.blank())
        months.append(facts);
    std::sort(months.begin(), months.end(), before);
    return gate.save(path, serializeMonthFacts(months));
}

MonthFacts monthFactsOf(const MonthLog& log) {
    return MonthFacts{log.year, log.month, log.season, log.closingReading > 0 ? 0 : log.privateKm, log.closingReading};
}

void applyMonthFacts(MonthLog& log, const MonthFacts& facts) {
    log.season = facts.box;
    log.privateKm = facts.privateKm;
    log.closingReading = facts.closing;
}

MonthOdometer monthOdometer(qint64 start, qint64 business, const MonthFacts& facts) {
    MonthOdometer o;
    o.start = start;
    o.business = business;
    if (facts.closing > 0) {
        o.realClosing = true;
        o.closing = facts.closing;
        if (start == 0) // nothing to take the private use from
            return o;
        const qint64 rest = o.closing - start - business;
        if (rest < 0)
            o.fault = u"A záró km-óra állás (%1 km) kisebb, mint a kezdő km-óra állás (%2 km) és a hónap üzleti "
                      u"kilométereinek (%3 km) összege."_s.arg(groupedDigits(o.closing), groupedDigits(start), groupedDigits(business));
        else
            o.privateKm = rest;
    } else {
        o.privateKm = facts.privateKm;
        o.closing = start + business + o.privateKm;
    }
    return o;
}

std::optional<qint64> businessShareTenths(qint64 business, qint64 privateKm) {
    const qint64 all = business + privateKm;
    if (all <= 0 || business < 0 || privateKm < 0)
        return std::nullopt;
    return (business * 2000 + all) / (2 * all);
}

QString businessShareText(qint64 business, qint64 privateKm) {
    const auto tenths = businessShareTenths(business, privateKm);
    if (!tenths)
        return u"–"_s;
    return shownNumber(QString::number(*tenths / 10) + u'.' + QString::number(*tenths % 10)) + u" %"_s;
}

} // namespace rv
