#include "partnerchange.h"

#include "model/logbookfile.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/records.h"

#include <QDir>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// Logbooks are small; anything far larger is not one of ours.
constexpr qint64 kMaxLogbookBytes = 16LL * 1024 * 1024;

// A month of the older layout is read whole and written in the present layout.
Result rewriteOlderLogbook(const QByteArray& in, const QString& fileName, const Partner& oldTexts,
                           const Partner& newTexts, QByteArray& out, int& changes) {
    StoredLogbook log;
    if (Result r = parseLogbook(in, fileName, log); !r)
        return r;
    int changed = 0;
    for (QVector<Partner>& day : log.stops)
        for (Partner& stop : day)
            if (stop == oldTexts) {
                stop = newTexts;
                ++changed;
            }
    out = serializeLogbook(log);
    changes = changed;
    return Result::success();
}

} // namespace

std::optional<ChangeableLogbook> readChangeableHead(const QByteArray& data, const QString& fileName) {
    LogbookHeader head;
    if (!parseLogbookHeader(data, fileName, head) || !head.isLogbook() || !isReadableLogbookVersion(head.version))
        return std::nullopt;
    ChangeableLogbook book;
    book.fileName = fileName;
    book.year = head.year;
    book.month = head.month;
    book.label = QString::number(book.year) + u". "_s + MonthNames()[size_t(book.month - 1)].toLower();
    return book;
}

QVector<ChangeableLogbook> changeableLogbooks(const AppState& s) {
    QVector<ChangeableLogbook> books;
    const QDir dir(s.carPath(QString()));
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& f : files) {
        if (!f.toUpper().endsWith(u".RVN"_s))
            continue;
        // The head fits in the first lines; a damaged rest shows when it is rewritten.
        QByteArray head;
        if (!readDataFileHead(s.programDir, dir.filePath(f), 4096, head))
            continue;
        if (auto book = readChangeableHead(head, f))
            books.append(*book);
    }
    std::stable_sort(books.begin(), books.end(), [](const ChangeableLogbook& a, const ChangeableLogbook& b) {
        return std::pair(a.year, a.month) < std::pair(b.year, b.month);
    });
    return books;
}

QVector<ChangeableLogbook> logbooksUsing(const AppState& s, const Partner& texts) {
    QVector<ChangeableLogbook> using_;
    const QDir dir(s.carPath(QString()));
    for (const ChangeableLogbook& book : changeableLogbooks(s)) {
        QByteArray data;
        QByteArray unused;
        int stops = 0;
        if (!readDataFile(s.programDir, dir.filePath(book.fileName), data, kMaxLogbookBytes) ||
            !rewriteLogbookText(data, book.fileName, texts, texts, unused, stops) || stops > 0)
            using_.append(book);
    }
    return using_;
}

Result rewriteLogbookText(const QByteArray& in, const QString& fileName, const Partner& oldTexts,
                          const Partner& newTexts, QByteArray& out, int& changes) {
    if (LogbookHeader head; parseLogbookHeader(in, fileName, head) && head.olderLayout)
        return rewriteOlderLogbook(in, fileName, oldTexts, newTexts, out, changes);
    RecordWriter w;
    w.reserve(in.size() + 256);
    int changed = 0;
    try {
        RecordReader r(in, fileName);
        const QString magic = r.readString();
        const QString version = r.readString();
        if (magic != u"RVN"_s || !isReadableLogbookVersion(version))
            r.failAt(1, u"nem ismert nyilvántartás-változat"_s);
        w.str(magic).str(version).endLine();
        const qint16 year = r.readInt16();
        const qint16 month = r.readInt16();
        const qint32 odometer = r.readInt32();
        w.integer(year).integer(month).integer(odometer).endLine();
        const qint32 monthKm = r.readInt32();
        const qint16 width = r.readInt16();
        w.integer(monthKm).integer(width).endLine();
        for (int day = 1; day <= kLogDays; ++day) {
            const int line = r.line();
            const qint16 number = r.readInt16();
            const qint16 n = r.readInt16();
            if (n < 0)
                r.failAt(line, u"negatív darabszám"_s);
            r.requireRoom(qint64(n) * 3 * 2, line);
            w.integer(number).integer(n).endLine();
            for (int k = 0; k < n; ++k) {
                Partner stop;
                stop.name = r.readString();
                stop.city = r.readString();
                stop.address = r.readString();
                if (stop == oldTexts) {
                    stop = newTexts;
                    ++changed;
                }
                w.line(stop.name).line(stop.city).line(stop.address);
            }
            w.line(r.readString());
        }
        r.requireEnd();
    } catch (const FormatError& e) {
        return Result::failure(e.message(), 62);
    }
    out = w.data();
    changes = changed;
    return Result::success();
}

QString PartnerChangeReport::message() const {
    QString text = QString::number(rewritten) + u" nyilvántartásban "_s + QString::number(changes) + u" módosítás."_s;
    if (!skipped.isEmpty())
        text += u"\r\n\r\nEzeket a nyilvántartásokat nem sikerült módosítani, ezért változatlanok maradtak:\r\n"_s +
                skipped.join(u"\r\n"_s);
    return text;
}

PartnerChangeReport carryPartnerChange(AppState& s, const QStringList& fileNames, const Partner& oldTexts,
                                       const Partner& newTexts) {
    PartnerChangeReport report;
    for (const QString& name : fileNames) {
        const QString dir = s.carPath(QString());
        const QString path = dir + name;
        QByteArray in;
        QByteArray out;
        int changes = 0;
        Result r = readDataFile(s.programDir, path, in, kMaxLogbookBytes);
        if (r)
            r = rewriteLogbookText(in, path, oldTexts, newTexts, out, changes);
        if (r)
            r = s.carGate().saveThroughScratch(dir, name, out);
        if (!r) {
            logCaught(s, r.code(), r.message());
            report.skipped.append(name);
            continue;
        }
        // The open month rewritten here is the program's own change, not another program's; a
        // change made elsewhere before it still shows at the next save.
        if (name == s.month.fileName && s.month.onDisk == stampOfBytes(in))
            s.month.onDisk = stampOfBytes(out);
        ++report.rewritten;
        report.changes += changes;
    }
    return report;
}

} // namespace rv
