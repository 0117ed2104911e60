#pragma once

#include "storage/result.h"
#include "model/state.h"

#include <functional>

namespace rv {

// The most partners a database may hold: the file of a larger matrix would be too big to read.
constexpr int kMaxPartners = 5000;

// What the partner dialog's OK finds wrong with its input.
enum class PartnerInputError {
    None,
    NoName,    // "Hiányzik a partner neve."
    NoCity,    // "Hiányzik a város."
    Duplicate, // "Ez a partner ezen a címen már szerepel."
    Unstorable, // a character the data file cannot hold (unstorableTextProblem)
};

// The texts of the dialog, each one trimmed line.
Partner trimmedPartner(const QString& name, const QString& city, const QString& address);

// Checks the dialog's texts (trimmed here) against the database. skip is the partner being
// modified (it may keep its own texts); 0 when a new partner is entered.
PartnerInputError checkPartnerInput(const AppState& s, const Partner& input, int skip);
// input names the characters of Unstorable.
QString partnerInputMessage(PartnerInputError e, const Partner& input = {});

// Runs change on the partners and distances, then saves them; when the save fails, memory is
// put back as it was, so that it shows what the disk holds.
Result changeAndSaveDatabase(AppState& s, const std::function<void()>& change);

// Appends a partner. The arrays grow keeping what they hold, so distance edits not yet saved
// survive; the new row and column are 0 km with the default route type. Saves the database.
// Refused when the database is full.
Result addPartner(AppState& s, const Partner& p);

// Replaces the texts of partner i and saves the database.
Result modifyPartner(AppState& s, int i, const Partner& p);

// Partner 1 is the car's own base and stays.
bool canDeletePartner(const AppState& s, int d);
// Removes partner d with its row and column of distances and saves the database.
Result deletePartner(AppState& s, int d);

// The open month after partner d was deleted: the stops of d leave their days (the later stops
// move up, each day stays packed) and stops of partners after d are renumbered. Returns whether
// anything changed.
bool removePartnerFromStops(MonthLog& month, int d);

// Keeps only partner 1 with a single empty distance cell, and saves.
Result deleteAllPartners(AppState& s);

// Tells the user that a save failed (the file on disk is still the old one).
void reportSaveFailure(AppState& s, const Result& r);

// "N partner az adatbázisban", partner 1 not counted.
QString partnerCountText(const AppState& s);

} // namespace rv
