#pragma once

#include "months/progress.h"

#include <QVector>

#include <array>

namespace rv {

struct AppState;
class Settings;

// What the months window asks for when it starts a sample month.
struct SampleRequest {
    int year = 0;
    int month = 0;
    int target = 0; // kilometres wanted, 1..20000
    // The day boxes, indexed by weekday with Sunday = 1 ... Saturday = 7; [0] is unused.
    std::array<bool, 8> weekdays = defaultWeekdays();
    bool holidays = false; // "Munkaszüneti nap": trips on holidays and rest days too

    // Monday to Friday.
    static constexpr std::array<bool, 8> defaultWeekdays() { return {false, false, true, true, true, true, true, false}; }
};

enum class SampleOutcome {
    Generated,        // the month logbook holds the sample (messages may have been shown)
    FallbackDeclined, // no distance at all and the user answered No: the month is untouched
    NoWorkingDays,    // no day of the month qualifies: reported, the month is untouched
    NoPartners,       // fewer than two partners: nothing done, the caller refuses earlier
    DaysCut,          // every try had a day ending away from partner 1: reported, the month is untouched
};

// The two settings of the generation: "Hibahatár" (0 means 10 %) as the single-precision factor
// 1 + tolerance / 100, and "Próbák száma" rounded half to even (0 means 100).
struct SampleSettings {
    float factor = 1.1f;
    int tries = 100;
};
SampleSettings sampleSettings(const Settings* settings);

// The largest month total a try may have: target times the factor, truncated. The factor is a
// single-precision value, so 30 % gives 1299 for a target of 1000.
qint64 sampleLimit(int target, float factor);

// The days of the month that get trips: their weekday box is ticked (a working Saturday of the
// swapped-days table takes the box of the day it is worked for), and a holiday or rest day
// (model/holidays) only when the holiday box is ticked too. February has 29 days in leap years.
QVector<int> sampleWorkingDays(int year, int month, const std::array<bool, 8>& weekdays, bool holidays);

// Why no sample is made when no day of the month qualifies.
QString noWorkingDaysMessage();

// The status text while generating: "Minta készítése... (try/tries best km)".
QString sampleStatusText(int tryNumber, int tries, qint64 bestTotal);

// Why no sample is made when every try had a day that could not get back to partner 1.
QString daysCutMessage();

// Generates a sample month into state.month (a fresh record: year, month, stops, stop width,
// month and day kilometres; the modified flag is left to the caller). Uses state.random,
// state.settings and state.prompter; drives the status and progress through progress.
SampleOutcome MintaKeszites(AppState& s, const SampleRequest& request, MonthsProgress& progress);

} // namespace rv
