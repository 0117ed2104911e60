#include "model/monthchange.h"

#include "model/logbookfile.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "model/state.h"
#include "storage/fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace rv {

MonthChange writeMonth(const AppState& s, const QString& fileName, const MonthLog& log) {
    MonthChange change;
    change.bytes = serializeLogbook(s, log);
    change.file = saveWholeFile(s.programDir, s.carPath(fileName), change.bytes);
    if (change.file)
        change.facts = saveMonthFacts(s.programDir, s.carPath(QString()), monthFactsOf(log));
    return change;
}

MonthChange deleteMonth(const AppState& s, const QString& fileName) {
    MonthChange change;
    const QString path = s.carPath(fileName);
    // The month the file holds, read before it goes; a file without a readable header has no facts.
    LogbookHeader header;
    const bool known = readLogbookHeader(path, header, s.programDir) && header.isLogbook();
    if (QFileInfo::exists(path) && std::remove(QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        change.file = Result::failure(
            u"A fájl nem törölhető: %1\r\n%2"_s.arg(QDir::toNativeSeparators(path), fileErrorText(error)));
        return change;
    }
    if (known && !monthEntry(listLogbooks(s), header.year, header.month))
        change.facts = saveMonthFacts(s.programDir, s.carPath(QString()), MonthFacts{header.year, header.month});
    return change;
}

} // namespace rv
