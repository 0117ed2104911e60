#pragma once

#include "model/monthlist.h"

#include <QDate>
#include <QString>

#include <optional>

namespace rv {

constexpr int kMaxTargetKm = 20000;

// The year typed for a new month names its file, so only a whole year of digits from 1 to 9999
// is taken ("1e3", "-5" and "2002.5" are not).
std::optional<int> newMonthYear(const QString& text);
// The message when it is not one.
QString badYearMessage();

// The target box: a negative number becomes "0" and one above 20000 "20000"; any other text is
// returned as it is.
QString clampTargetText(const QString& text);
// The target kilometres in the box: the number rounded half to even, 0 when blank.
int targetKm(const QString& text);

// The month the new-month side offers: the one after the latest logbook of the listing (readable
// or not), so the chain goes on; with no logbook at all, today's month. {year, month}.
std::pair<int, int> firstMonthWithoutLogbook(const LogbookListing& listing, const QDate& today);

// "Biztos törli a kiválasztott hónapot?" with the line of the month.
QString deleteMonthQuestion(const QString& line);
// The question before a new month replaces a stored one.
QString overwriteMonthQuestion();

} // namespace rv
