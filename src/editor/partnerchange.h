#pragma once

#include "storage/result.h"
#include "model/state.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <optional>

namespace rv {

// A stored logbook whose partner texts can be rewritten.
struct ChangeableLogbook {
    QString fileName; // in the car's directory
    int year = 0;
    int month = 0;
    QString label; // "2002. január"
};

// The head of a logbook file, when it is a logbook of a version the program reads.
std::optional<ChangeableLogbook> readChangeableHead(const QByteArray& data, const QString& fileName);
// The car's logbooks that can be rewritten, by year and month.
QVector<ChangeableLogbook> changeableLogbooks(const AppState& s);

// Of those, the ones with a stop whose texts are texts, and the ones that do not read (the
// rewrite then tells why): the only ones a change of the partner can touch.
QVector<ChangeableLogbook> logbooksUsing(const AppState& s, const Partner& texts);

// Rewrites one logbook's text: every stop whose three texts all equal oldTexts (exactly) gets
// newTexts; everything else is written as it was read (a month of the older layout is written
// in the present one). changes counts the stops changed. A file
// that does not read whole is refused and out is left alone.
Result rewriteLogbookText(const QByteArray& in, const QString& fileName, const Partner& oldTexts,
                          const Partner& newTexts, QByteArray& out, int& changes);

struct PartnerChangeReport {
    int rewritten = 0;
    int changes = 0;
    QStringList skipped; // file names left untouched, with the reason
    // D + " nyilvántartásban " + C + " módosítás.", then the skipped files.
    QString message() const;
};

// Rewrites the chosen logbooks of the car, one by one; each is replaced whole or left as it was.
PartnerChangeReport carryPartnerChange(AppState& s, const QStringList& fileNames, const Partner& oldTexts,
                                       const Partner& newTexts);

} // namespace rv
