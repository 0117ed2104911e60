#include "priceedit.h"

#include "model/statefiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/numeric.h"
#include "storage/fieldtext.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace rv {

bool isPriceText(const QString& text) {
    if (IsBlank(text))
        return true;
    const std::optional<double> v = toNumber(text);
    return v && *v >= 0 && roundHalfEven(*v) <= kMaxPrice && !text.contains(u'e', Qt::CaseInsensitive) &&
           !text.contains(u'+') && !text.contains(u'-');
}

std::optional<qint16> priceFromText(const QString& text) {
    if (IsBlank(text) || !isPriceText(text))
        return std::nullopt;
    return qint16(roundHalfEven(*toNumber(text)));
}

bool isYearText(const QString& text) { return isWholeNumberText(ungrouped(text), 1, 9999); }

std::optional<qint16> priceOn(const QVector<FuelPrice>& prices, const QDate& date) {
    for (const FuelPrice& p : prices)
        if (p.month == date)
            return p.price;
    return std::nullopt;
}

void sortPrices(QVector<FuelPrice>& prices) {
    std::stable_sort(prices.begin(), prices.end(),
                     [](const FuelPrice& a, const FuelPrice& b) { return a.month < b.month; });
}

namespace {
void putPrice(QVector<FuelPrice>& prices, const QDate& date, qint16 price) {
    for (FuelPrice& p : prices)
        if (p.month == date) {
            p.price = price;
            return;
        }
    prices.append(FuelPrice{date, price});
}
} // namespace

bool storePrice(QVector<FuelPrice>& prices, const QDate& date, qint16 price) {
    if (prices.size() >= kMaxPrices && !priceOn(prices, date))
        return false;
    putPrice(prices, date, price);
    sortPrices(prices);
    return true;
}

bool removePrice(QVector<FuelPrice>& prices, const QDate& date) {
    return prices.removeIf([&](const FuelPrice& p) { return p.month == date; }) > 0;
}

void mergePrices(QVector<FuelPrice>& own, const QVector<FuelPrice>& other) {
    for (const FuelPrice& p : other)
        putPrice(own, p.month, p.price);
    sortPrices(own);
}

QString publishedPricesPath(const AppState& s) {
    int fuel = 1;
    if (s.currentCar >= 1 && s.currentCar <= s.carCount())
        fuel = std::clamp(s.car(s.currentCar).fuelType, 1, kFuelTypeCount);
    return s.usersDir() + s.fuelTypes[size_t(fuel - 1)].oldFile;
}

Result resetToPublishedPrices(AppState& s) {
    if (Result r = s.refuseReadOnly(); !r)
        return r;
    const QString source = publishedPricesPath(s);
    QByteArray data;
    Result r = readDataFile(s.programDir, source, data);
    QVector<FuelPrice> check;
    if (r)
        r = parseFuelPrices(data, source, check);
    if (r)
        r = s.carGate().save(s.carPath(u"benzin.rvd"_s), data);
    if (!r) {
        logCaught(s, r.code(), r.message());
        return r;
    }
    return LoadFuelPrices(s);
}

Result deleteAllPrices(AppState& s) {
    if (Result r = s.refuseReadOnly(); !r)
        return r;
    Result r = s.carGate().save(s.carPath(u"benzin.rvd"_s), emptyFuelPriceFile());
    if (!r) {
        logCaught(s, r.code(), r.message());
        return r;
    }
    return LoadFuelPrices(s);
}

} // namespace rv
