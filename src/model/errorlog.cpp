#include "model/errorlog.h"

#include "storage/fileio.h"
#include "storage/records.h"
#include "model/state.h"

#include <QDate>

using namespace Qt::Literals::StringLiterals;

namespace rv {

void LogError(const AppState& state, const QString& message) {
    if (state.programDir.isEmpty() || !state.keepsErrorLog || state.readingOnly)
        return;
    const QString line = QDate::currentDate().toString(u"yyyy.MM.dd"_s) + u' ' +
                         u"%1.%2.%3"_s.arg(kVersionMajor).arg(kVersionMinor).arg(kVersionPatch) + u" --> "_s +
                         QString(message).remove(u'"');
    RecordWriter w;
    w.line(line);
    // A log that cannot be written is not told: telling would need the log.
    appendToDataFile(state.programDir, state.errorLogPath(), w.data());
}

void logCaught(const AppState& state, int number, const QString& description) {
    QString message = state.errorLocation + u" : "_s + QString::number(number);
    if (!description.isEmpty())
        message += u' ' + description;
    LogError(state, message);
}

} // namespace rv
