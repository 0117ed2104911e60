#include "carops.h"
#include "startup/carsteps.h"
#include "model/grouping.h"
#include "model/reckoning.h"

#include "model/taxid.h"
#include "storage/numeric.h"
#include "storage/records.h"
#include "model/state.h"
#include "storage/tables.h"
#include "storage/fieldtext.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;

// The car form's checks and the car's directory under Users/.
namespace rv {

using namespace carsteps;

namespace {

bool isReservedDeviceName(const QString& name) {
    // Windows refuses these with any extension too ("CON.txt").
    const QString base = name.section(u'.', 0, 0).trimmed().toUpper();
    static const QStringList reserved = {u"CON"_s, u"PRN"_s, u"AUX"_s, u"NUL"_s, u"CONIN$"_s, u"CONOUT$"_s};
    if (reserved.contains(base))
        return true;
    if (base.size() == 4 && (base.startsWith(u"COM"_s) || base.startsWith(u"LPT"_s)))
        return base[3] >= u'0' && base[3] <= u'9';
    return false;
}

} // namespace

// ---- the form ----------------------------------------------------------------------------------

std::optional<FormProblem> validateCarForm(const CarForm& f) {
    const std::pair<CarField, std::pair<const QString*, QString>> order[] = {
        {CarField::UserName, {&f.userName, u"A kívánt felhasználónév nincs megadva."_s}},
        {CarField::CarType, {&f.carType, u"A gépkocsi típusa nincs megadva."_s}},
        {CarField::Plate, {&f.plate, u"A gépkocsi rendszáma nincs megadva."_s}},
        {CarField::Consumption, {&f.consumption, u"A gépkocsi fogyasztása nincs megadva."_s}},
        {CarField::GeneralCost, {&f.generalCost, u"A gépkocsi általános költsége nincs megadva."_s}},
        {CarField::CompanyName, {&f.companyName, u"A cégnév nincs megadva."_s}},
        {CarField::City, {&f.city, u"A város nincs megadva."_s}},
        {CarField::CompanyAddress, {&f.companyAddress, u"A cég címe nincs megadva."_s}},
    };
    for (const auto& [field, check] : order)
        if (IsBlank(*check.first))
            return FormProblem{field, check.second};
    // A text the car file cannot hold would come back as "?": a plate so stored no longer
    // names the car's folder.
    for (const auto& [field, check] : order)
        if (const QString problem = unstorableTextProblem(*check.first); !problem.isEmpty())
            return FormProblem{field, problem};
    // The filters let only numbers in; what they cannot stop is a number the car file may not hold.
    auto allowed = [](const QString& text, Quantity q) {
        const auto v = toNumber(text);
        return v && rangeOf(q).contains(*v);
    };
    if (!allowed(f.consumption, Quantity::Consumption))
        return FormProblem{CarField::Consumption, u"A gépkocsi fogyasztása %1 és %2 %3/100 km közötti szám lehet."_s
                                                      .arg(shownFigure(rangeOf(Quantity::Consumption).min),
                                                           shownFigure(rangeOf(Quantity::Consumption).max),
                                                           measureUnit(fuelMeasure(f.fuelType - 1)))};
    if (!allowed(f.generalCost, Quantity::GeneralCost))
        return FormProblem{CarField::GeneralCost, u"A gépkocsi általános költsége %1 és %2 Ft/km közötti szám lehet."_s
                                                      .arg(shownFigure(rangeOf(Quantity::GeneralCost).min),
                                                           shownFigure(rangeOf(Quantity::GeneralCost).max))};
    if (const QString id = f.facts.taxId.trimmed(); !id.isEmpty())
        if (const QString why = taxIdProblem(id, QDate::currentDate()); !why.isEmpty())
            return FormProblem{CarField::TaxId, why};
    return std::nullopt;
}

CarForm formFromCar(const CarRecord& c) {
    CarForm f;
    f.userName = c.userName.trimmed();
    f.carType = c.carType.trimmed();
    f.plate = c.plateNumber.trimmed();
    f.fuelType = c.fuelType;
    f.consumption = singleText(c.consumption);
    f.generalCost = singleText(c.generalCost);
    f.companyName = c.companyName.trimmed();
    f.city = c.city.trimmed();
    f.companyAddress = c.companyAddress.trimmed();
    return f;
}

CarRecord carWithTexts(const QString& userName, const QString& carType, const QString& plate,
                       const QString& companyName, const QString& city, const QString& companyAddress) {
    CarRecord c;
    c.userName = fieldText(userName);
    c.carType = fieldText(carType);
    c.plateNumber = fieldText(plate);
    c.companyName = fieldText(companyName);
    c.city = fieldText(city);
    c.companyAddress = fieldText(companyAddress);
    return c;
}

CarRecord carFromForm(const CarForm& f) {
    CarRecord c = carWithTexts(f.userName, f.carType, f.plate, f.companyName, f.city, f.companyAddress);
    c.fuelType = std::clamp(f.fuelType, 1, kFuelTypeCount);
    c.consumption = float(toNumber(f.consumption).value_or(0));
    c.generalCost = float(toNumber(f.generalCost).value_or(0));
    return c;
}

// ---- directories -------------------------------------------------------------------------------

QString plateDirectoryProblem(const QString& plate) {
    const QString t = plate.trimmed();
    if (t.isEmpty())
        return u"A gépkocsi rendszáma nincs megadva."_s;
    for (QChar ch : t)
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f || u"/\\:*?\"<>|"_s.contains(ch))
            return u"A rendszámból könyvtárnév lesz, ezért nem tartalmazhatja a következő jeleket:\r\n"
                   u"/ \\ : * ? \" < > | (és vezérlőkaraktert sem)."_s;
    if (t.startsWith(u'.') || t.endsWith(u'.'))
        return u"A rendszámból könyvtárnév lesz, ezért nem kezdődhet és nem végződhet ponttal."_s;
    if (isReservedDeviceName(t))
        return u"A(z) „%1” név a Windows foglalt neve, ezért nem lehet rendszám."_s.arg(t);
    return unstorableTextProblem(t);
}

bool isSafeDirName(const QString& dirName) { return plateDirectoryProblem(dirName).isEmpty(); }

QString freeDirName(const AppState& s, const QString& plate) {
    const QString base = plate.trimmed();
    auto taken = [&](const QString& name) {
        for (const CarRecord& c : s.cars)
            if (sameText(c.dirName, name))
                return true;
        return QFileInfo::exists(s.usersDir() + name);
    };
    QString name = base;
    for (int n = 2; taken(name); ++n)
        name = base + u'_' + QString::number(n);
    return name;
}

QString uniquenessProblem(const AppState& s, const CarRecord& car, int except) {
    for (int i = 1; i <= s.carCount(); ++i)
        if (i != except && sameText(s.car(i).plateNumber, car.plateNumber))
            return u"Ez a rendszám már foglalt."_s;
    for (int i = 1; i <= s.carCount(); ++i)
        if (i != except && sameText(s.car(i).userName, car.userName))
            return u"Ez a felhasználónév már foglalt."_s;
    return {};
}

QVector<int> importCandidates(const AppState& s) {
    QVector<int> list;
    for (int i = 1; i < s.carCount(); ++i)
        list.append(i);
    return list;
}

} // namespace rv
