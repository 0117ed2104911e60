#pragma once

// The published-price files under Users/ kept up with the NAV table: written on the first start,
// topped up with the months the program knows, merged with newer tables the user imports.

#include "storage/navprices.h"
#include "storage/result.h"
#include "model/state.h"

#include <functional>

namespace rv {

// Start-up: a missing published-price file is written with the built-in prices of its fuel type
// (ESZ-98, which NAV does not publish, stays "0"); an existing one gets the built-in months it
// lacks and keeps every entry it has. A file that does not read is left alone and logged.
// Returns the number of entries added.
int topUpPublishedPrices(AppState& s);

struct PublishedImport {
    struct File {
        int fuel = 0; // 0-based index of the fuel type; -1 for an LPG or CNG list
        NavColumn column = NavEsz95; // the list's NAV column: a gas car takes its prices by it
        QString label; // the fuel as NAV names it ("gázolaj", "LPG")
        QString path;
        QByteArray before;
        MonthlyMerge keep;    // only the months the file lacks are added
        MonthlyMerge replace; // the differing months take the table's price too
    };
    QVector<File> files;
    int rows = 0;

    // The months where a file holds another price than the table, ascending, each once.
    QVector<QDate> differing() const;
};

// The published prices as table rows: the built-in table with every published list over it, the
// LPG and CNG ones too. What a new table is measured against.
QVector<NavPriceRow> knownNavRows(const AppState& s);

// Reads a table file (the program's layout or text pasted from the NAV page) and measures it
// against the published files; writes nothing. A table that does not read, or a published file
// that does not, refuses the import.
Result planPublishedImport(const AppState& s, const QString& tablePath, PublishedImport& out);
Result planPublishedImport(const AppState& s, const QVector<NavPriceRow>& rows, PublishedImport& out);

// The writes of an import, replaceable so that a test can fail one or stop the run where a kill
// would (stop returns true after the n-th write: 0 the journal, then each published file).
struct ImportHooks {
    std::function<Result(const QString& dataDir, const QString& path, const QByteArray& data)> write;
    std::function<bool(int written)> stop;
};

// Writes the files that change and counts the entries added and replaced, all or nothing: the
// new contents with the old go first into one journal file, then to their places, and the
// journal goes last. Should a write fail, the files written before it get their old bytes back;
// a restore that fails too is told, and the journal stays for the next start to finish.
Result applyPublishedImport(const AppState& s, const PublishedImport& plan, bool replace, int* added = nullptr,
                            int* replaced = nullptr, const ImportHooks& hooks = {});
// An import a kill interrupted is finished from its journal, only under the folder lock
// (s.folderLock): a file is written only while it still holds its old bytes. report says
// exactly what each file got. Success when there was no journal.
Result recoverPublishedImport(const AppState& s, const ImportHooks& hooks = {}, QString* report = nullptr);
QString importJournalPath(const AppState& s);

// A car's own list given the published months of its fuel it lacks; a month it has, whatever
// its entries, stays as it is. The car's file is read and written; added counts the entries.
// gate: the car's, held by the caller.
Result syncCarPrices(const AppState& s, const WriteGate& gate, const CarRecord& car, int* added = nullptr);

// The car's price source as its facts and lists decide it (see decidedPriceSource); a car that
// has not chosen gets the decision kept with its facts, so that a price typed later does not turn
// it, through keep (the car's gate, held by the caller). Files that do not read leave it
// undecided, as own.
PriceSource carPriceSource(const AppState& s, const CarRecord& car, const WriteGate* keep = nullptr);

// Every NAV car's own list gets the published months of its fuel it lacks (a month it has, typed
// or not, stays as it is); the logged-in car's prices in memory follow its file. Each other car
// is written only under its own lock, taken without waiting: a car held elsewhere is named in
// deferred and takes them when next opened. Run by the import, the download and at start-up.
// Returns the entries added; problems collects what failed, car by car.
int carryPublishedIntoNavCars(AppState& s, QStringList* problems = nullptr, QStringList* deferred = nullptr);

// The start-up notice when a published list in use lacks this month or the one before, with the
// way to fix it; empty when nothing is missing.
QString missingPublishedNotice(const AppState& s, const QDate& today);

// What an import would add and change, for the user to confirm.
QString importSummary(const PublishedImport& plan);
// The entries the import brings to a fuel type: the added months, with replace the replaced ones.
QVector<FuelPrice> importedPrices(const PublishedImport& plan, int fuelIndex, bool replace);

// "Üzemanyagárak frissítése...": the table merged into the published files, differing months
// replaced after a question; then, with a car logged in, the months new to its fuel type offered
// to its own prices. Every outcome is told through the prompter. False when nothing was written.
bool importPublishedPrices(AppState& s, const QString& tablePath);
// The same for rows already read (pasted text, a downloaded page); origin names them.
// A table with prices a reader cannot vouch for (implausibleNavPrices) is taken only when the user
// confirms them.
bool importPublishedRows(AppState& s, const QVector<NavPriceRow>& rows, const QString& origin);

// Puts the entries into the logged-in car's own prices (an entry of the same day gives way, the
// other days stay) and saves them; memory changes only when the file was written.
Result takeIntoCarPrices(AppState& s, const QVector<FuelPrice>& entries);

} // namespace rv
