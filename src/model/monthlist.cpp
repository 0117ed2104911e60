#include "model/monthlist.h"
#include "model/grouping.h"

#include "model/logbookfile.h"
#include "model/state.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {

LogbookListing listLogbooks(const AppState& s) {
    LogbookListing out;
    const QDir dir(s.carPath(QString()));
    // The extension in any case; a FIFO, device or folder of that name too, to be told rather
    // than hidden (and never taken for a free name).
    out.files = dir.entryList({u"*.rvn"_s}, QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (int i = 0; i < out.files.size(); ++i) {
        const QString path = dir.filePath(out.files[i]);
        LogbookHeader h;
        const Result r = readLogbookHeader(path, h, s.programDir);
        if (r && !h.isLogbook()) {
            // A file named as a month of the car is that month's logbook, whatever its first line
            // says: hiding it would leave the month out of the year unseen.
            const auto [year, month] = monthOfFileName(out.files[i]);
            if (year == 0)
                continue;
            const QString why = u"az első sora nem nyilvántartás fejléce (üres, sérült, vagy más program – például "
                                u"UTF-8-ként mentő szerkesztő – írta át)"_s;
            out.warnings << u"A %1 fájl nem olvasható, ezért nem szerepel a listában: %2."_s.arg(
                                QDir::toNativeSeparators(path), why);
            out.unreadable.append({i, year, month, why});
            continue;
        }
        if (!r || !isReadableLogbookVersion(h.version)) {
            out.warnings << (r ? unreadableVersionWarning(path)
                           : (r.code() == 62 ? u"A %1 fájl sérült, ezért nem szerepel a listában.\r\n\r\n%2"_s
                                             : u"A %1 fájl nem olvasható, ezért nem szerepel a listában.\r\n\r\n%2"_s)
                                 .arg(QDir::toNativeSeparators(path), r.message()));
            const auto [year, month] = monthOfFileName(out.files[i]);
            out.unreadable.append({i, year, month, r ? u"ismeretlen verziójú nyilvántartás"_s : r.message()});
            continue;
        }
        if (!out.years.contains(h.year))
            out.years.append(h.year);
        out.entries.append(LogbookEntry{i, h.year, h.month, h.startOdometer, h.monthKm});
    }
    // By year and month; logbooks of the same month keep the order of their files.
    std::stable_sort(out.entries.begin(), out.entries.end(), [](const LogbookEntry& a, const LogbookEntry& b) {
        return a.year != b.year ? a.year < b.year : a.month < b.month;
    });
    return out;
}

std::pair<int, int> monthOfFileName(const QString& fileName) {
    static const QRegularExpression pattern(u"^(\\d{4})([a-z]{3})(_\\d+)?\\.rvn$"_s,
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(fileName);
    if (!m.hasMatch())
        return {0, 0};
    const auto& names = MonthAbbrev();
    for (int i = 0; i < 12; ++i)
        if (m.captured(2).compare(names[size_t(i)], Qt::CaseInsensitive) == 0)
            return {m.captured(1).toInt(), i + 1};
    return {0, 0};
}

const LogbookEntry* monthEntry(const LogbookListing& listing, int year, int month) {
    const QString own = newMonthFileName(year, month);
    const auto rank = [&](const LogbookEntry& e) {
        const QString& f = listing.files[e.position];
        return f == own ? 2 : f.compare(own, Qt::CaseInsensitive) == 0 ? 1 : 0;
    };
    const LogbookEntry* found = nullptr;
    for (const LogbookEntry& e : listing.entries)
        if (e.year == year && e.month == month && (!found || rank(e) > rank(*found)))
            found = &e;
    return found;
}

MonthTarget monthTarget(const LogbookListing& listing, int year, int month) {
    if (const LogbookEntry* e = monthEntry(listing, year, month))
        return {listing.files[e->position], true};
    const auto taken = [&](const QString& name) { return listing.files.contains(name, Qt::CaseInsensitive); };
    QString name = newMonthFileName(year, month);
    const QString base = name.chopped(4);
    for (int n = 2; taken(name); ++n)
        name = base + u'_' + QString::number(n) + u".rvn"_s;
    return {name, false};
}

MonthTarget monthTarget(const AppState& s, int year, int month) { return monthTarget(listLogbooks(s), year, month); }

QString monthsListLine(int year, int month) {
    return QString::number(year) + u". "_s + MonthNames()[size_t(std::clamp(month, 1, 12) - 1)].toLower();
}

QString selectedMonthKmText(qint64 km) { return u"Ebben a hónapban %1 km"_s.arg(groupedDigits(km)); }

QString unreadableVersionWarning(const QString& path) {
    return u"A "_s + QDir::toNativeSeparators(path) +
           u" fájl valószínűleg Rovanta nyilvántartás,\r\nviszont ez a verzió nem tudja olvasni.\r\n\r\n"
           u"A legújabb verziót letöltheti az Internetről."_s;
}

} // namespace rv
