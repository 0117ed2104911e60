#pragma once

#include "storage/result.h"
#include "model/state.h"

#include <optional>

namespace rv {

constexpr int kMaxPrice = int(rangeOf(Quantity::Price).max);
constexpr int kMaxPrices = 32767; // the count of the price file is a 16-bit number

// Whether a text may stand in the price box: blank, or a number 0..32767 (a fraction is allowed
// and rounded when stored).
bool isPriceText(const QString& text);
// The stored price of a text: rounded half to even; nullopt for blank or unacceptable text.
std::optional<qint16> priceFromText(const QString& text);

// Whether a text may stand in the year box: blank, or a whole year 1..9999.
bool isYearText(const QString& text);

// The price of exactly that day, nullopt when the table has none.
std::optional<qint16> priceOn(const QVector<FuelPrice>& prices, const QDate& date);

// Replaces the price of that day or appends one, then sorts by date. False when the table is full.
bool storePrice(QVector<FuelPrice>& prices, const QDate& date, qint16 price);
// Removes the price of that day; returns whether there was one.
bool removePrice(QVector<FuelPrice>& prices, const QDate& date);
// Ascending by date; entries of the same day keep their order.
void sortPrices(QVector<FuelPrice>& prices);

// Every entry of other replaces the own price of its day or is appended; then sorted.
void mergePrices(QVector<FuelPrice>& own, const QVector<FuelPrice>& other);

// Path of the published-price file of the logged-in car's fuel type.
QString publishedPricesPath(const AppState& s);
// Replaces the car's price file with the published one of its fuel type and loads it. The
// published file is read and checked first: when it is missing or damaged nothing changes.
Result resetToPublishedPrices(AppState& s);
// Empties the car's price file and loads it.
Result deleteAllPrices(AppState& s);

} // namespace rv
