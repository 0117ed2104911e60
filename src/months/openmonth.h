#pragma once

#include "model/logbookfile.h"
#include "months/progress.h"

#include <QVector>

namespace rv {

struct AppState;

// The question about adding the partners missingPartners found: "1 új adat van a korábbi hónapban" ..., naming the first five.
QString missingPartnersQuestion(const QVector<Partner>& missing);
// Asked before "Nem" drops their stops: how many stops leave and the month's kilometres after.
QString leavingStopsQuestion(const AppState& s, const StoredLogbook& log, const QVector<Partner>& missing);

enum class OpenOutcome {
    Opened,     // state.month holds the month; the main window's mode text is "korábbi"
    Cancelled,  // the user cancelled the question: nothing changed
    Failed,     // the file could not be read: reported, nothing changed
    NoPartners, // the database holds no partner: "Nincsenek adatok!", nothing changed
};

// Opens the car's logbook file fileName: reads it, matches its stops with the partner database,
// offers to add the partners the database lacks (saving the database on Yes) and fills
// state.month. Messages go through state.prompter; the steps show through progress.
OpenOutcome openStoredMonth(AppState& s, const QString& fileName, MonthsProgress& progress);

} // namespace rv
