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
    const WriteGate gate = s.carGate();
    change.file = gate.save(s.carPath(fileName), change.bytes);
    if (change.file)
        change.facts = saveMonthFacts(gate, s.carPath(QString()), monthFactsOf(log));
    return change;
}

MonthChange deleteMonth(const AppState& s, const QString& fileName) {
    MonthChange change;
    const QString path = s.carPath(fileName);
    const WriteGate gate = s.carGate();
    // The month the file holds, read before it goes; a file without a readable header has no facts.
    LogbookHeader header;
    const bool known = readLogbookHeader(path, header, s.programDir) && header.isLogbook();
    if (change.file = gate.remove(path); !change.file)
        return change;
    if (known && !monthEntry(listLogbooks(s), header.year, header.month))
        change.facts = saveMonthFacts(gate, s.carPath(QString()), MonthFacts{header.year, header.month});
    return change;
}

} // namespace rv
