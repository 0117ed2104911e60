#include "demodata.h"

#include "database/publishedprices.h"
#include "model/carfacts.h"
#include "model/cost.h"
#include "model/logbookfile.h"
#include "months/progress.h"
#include "months/sample.h"
#include "startup/startup.h"
#include "model/statefiles.h"
#include "storage/fileio.h"
#include "storage/navprices.h"
#include "model/norms.h"
#include "model/tripgpx.h"
#include "storage/random.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

struct DemoPartner {
    const char16_t* name;
    const char16_t* city;
    const char16_t* address;
    double latitude;
    double longitude;
    qint16 routeType; // of the trips that end here: 2 Budapest, 3 county seat, 4 other town, 5 dirt road
};

// What a trip day was for, by the first partner visited.
constexpr std::array<const char16_t*, 5> kPurposes = {u"Tárgyalás: ", u"Alkatrész átvétele: ", u"Szerviz: ",
                                                      u"Szerződés egyeztetése: ", u"Árubemutató: "};

// The company's seat first; the rest are customers and suppliers around it.
constexpr DemoPartner kPartners[] = {
    {u"Alföldi Gépalkatrész Kft.", u"Kecskemét", u"Kiskőrösi út 14.", 46.9062, 19.6913, 3},
    {u"Duna Ipari Szerviz Zrt.", u"Budapest", u"Váci út 121.", 47.5432, 19.0690, 2},
    {u"Tisza Agrártechnika Kft.", u"Szeged", u"Budapesti út 8.", 46.2530, 20.1414, 3},
    {u"Ceglédi Vasudvar Bt.", u"Cegléd", u"Pesti út 42.", 47.1726, 19.7997, 4},
    {u"Kőrös Kertészeti Kft.", u"Nagykőrös", u"Szolnoki út 3.", 47.0344, 19.7786, 4},
    {u"Félegyházi Gépjavító Kft.", u"Kiskunfélegyháza", u"Szegedi út 51.", 46.7122, 19.8503, 4},
    {u"Halasi Mezőgép Zrt.", u"Kiskunhalas", u"Kossuth utca 27.", 46.4343, 19.4848, 4},
    {u"Szolnoki Hidraulika Kft.", u"Szolnok", u"Thököly út 60.", 47.1621, 20.1825, 3},
    {u"Bajai Terménybolt Bt.", u"Baja", u"Szegedi út 19.", 46.1800, 18.9560, 4},
    {u"Kalocsai Paprika Szövetkezet", u"Kalocsa", u"Malom utca 5.", 46.5297, 18.9857, 4},
    {u"Mizsei Tápkeverő Kft.", u"Lajosmizse", u"Dózsa György út 88.", 47.0228, 19.5589, 4},
    {u"Csongrádi Öntözéstechnika Kft.", u"Csongrád", u"Fő utca 12.", 46.7131, 20.1425, 4},
    {u"Kiskunsági Tanyagazdaság", u"Izsák", u"Agárdi tanya 45.", 46.8036, 19.3547, 5},
};
constexpr int kPartnerCount = int(std::size(kPartners));

// Roads wind: on the Great Plain a road is about 15 % longer than the straight line.
qint16 roadKm(const DemoPartner& a, const DemoPartner& b) {
    constexpr double kEarthKm = 6371.0;
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double dLat = (b.latitude - a.latitude) * kRad;
    const double dLon = (b.longitude - a.longitude) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(a.latitude * kRad) *
                                                                   std::cos(b.latitude * kRad) *
                                                                   std::sin(dLon / 2) * std::sin(dLon / 2);
    const double straight = 2 * kEarthKm * std::asin(std::sqrt(h));
    return qint16(std::max(1.0, std::round(straight * 1.15)));
}

// Trips into a town take its route type; a long one between towns runs mostly on main roads.
qint16 routeTypeOf(const DemoPartner& to, qint16 km) {
    if (to.routeType == 4 && km > 50)
        return 1;
    return to.routeType;
}

constexpr int kDemoFuelType = 3; // dízel
constexpr int kDemoLpgFuelType = 6; // LPG (kettős üzemű)
constexpr int kDemoLpgEngineCm3 = 1390;
constexpr qint32 kDemoLpgFirstOdometer = 112640;

constexpr int kTargets[kDemoMonths] = {2150, 1870, 2340};
constexpr int kLpgTargets[kDemoMonths] = {1700, 1600, 1650};
constexpr unsigned kSeed = 2002; // the same demo every time

// Nobody answers while the demo is written: questions are declined, and what was said is kept.
class SilentPrompter : public Prompter {
public:
    MsgButton ask(const QString& text, MsgButtons buttons, MsgIcon) override {
        said = text;
        for (MsgButton b : {No, Cancel, Ok})
            if (buttons & b)
                return b;
        return Ok;
    }
    QString said;
};

// ---- the sample exports of a tracker and a phone app ------------------------------------------

inline const QString kDemoTripFolder = u"Minta-utak"_s;

// A place as an app writes it: the town, a comma and the address, in one of the spellings people
// use ("utca" as "u.", all capitals), so that the matching has something to do.
QString writtenPlace(int partner, int spelling) {
    const DemoPartner& p = kPartners[partner];
    QString address = QString::fromUtf16(p.address);
    if (spelling == 1)
        address.replace(u" utca"_s, u" u."_s);
    QString text = QString::fromUtf16(p.city) + u", "_s + address;
    return spelling == 2 ? text.toUpper() : text;
}

QString kmText(double km) { return QString::number(km, 'f', 1).replace(u'.', u','); }

// April of the demo's year as a phone app exports it: a semicolon-separated UTF-8 report with a
// byte order mark, Hungarian headings and dates, decimal commas. Each recorded km is the table's
// road km and a little: trackers measure the road. One customer is not a partner yet and one
// private trip goes to a shop.
QByteArray demoTripReport(int year) {
    struct Row {
        int day;
        const char* start;
        const char* end;
        int from; // partner index, -1: the unknown customer, -2: the shop
        int to;
        const char* purpose;
    };
    static const Row rows[] = {
        {2, "7:45", "8:30", 0, 3, "Alkatrész szállítás"}, {2, "10:15", "10:40", 3, 4, "Szerviz"},
        {2, "13:30", "14:10", 4, 0, ""},                  {3, "7:30", "8:55", 0, 1, "Tárgyalás"},
        {3, "14:00", "15:30", 1, 0, ""},                  {7, "7:00", "8:15", 0, 2, "Gépátadás"},
        {7, "11:00", "11:45", 2, 11, "Öntözőrendszer felmérés"}, {7, "13:00", "13:50", 11, 0, ""},
        {8, "17:10", "17:25", 0, -2, ""},                 {9, "8:00", "8:35", 0, 10, "Tápkeverő alkatrész"},
        {9, "10:00", "10:35", 10, -1, "Árajánlat"},        {9, "11:30", "11:40", -1, 0, ""},
        {10, "7:40", "8:50", 0, 6, "Karbantartás"},       {10, "12:00", "13:05", 6, 0, ""},
    };
    auto place = [](int p, int row) {
        if (p == -1)
            return u"Kecskemét, Szent István krt. 2."_s;
        if (p == -2)
            return u"Kecskemét, Rákóczi út 5."_s;
        return writtenPlace(p, row % 3);
    };
    QString text = u"Dátum;Indulás;Érkezés;Honnan;Hova;Km;Jelleg;Megjegyzés\r\n"_s;
    int n = 0;
    for (const Row& r : rows) {
        double km = 6.2;
        if (r.from >= 0 && r.to >= 0)
            km = roadKm(kPartners[r.from], kPartners[r.to]) + 0.1 * ((n * 7) % 9);
        else if (r.from == -1 || r.to == -1)
            km = r.from == 10 || r.to == 10 ? 34.6 : 4.3;
        const bool shop = r.to == -2;
        text += u"%1;%2;%3;%4;%5;%6;%7;%8\r\n"_s.arg(QDate(year, 4, r.day).toString(u"yyyy.MM.dd."_s),
                                                    QString::fromLatin1(r.start), QString::fromLatin1(r.end),
                                                    place(r.from, n), place(r.to, n + 1), kmText(km),
                                                    shop ? u"magán"_s : u"üzleti"_s, QString::fromUtf8(r.purpose));
        ++n;
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

// A day of April as a tracker records it: a point a minute at 60 km/h on the straight line from
// the seat to Cegléd, 40 minutes there, on to Nagykőrös, half an hour there, back to the seat.
QByteArray demoTrack(int year) {
    const QTimeZone zone = logbookZone();
    QDateTime at(QDate(year, 4, 15), QTime(7, 30), zone);
    QString points;
    auto point = [&](double lat, double lon) {
        points += u"      <trkpt lat=\"%1\" lon=\"%2\"><time>%3</time></trkpt>\n"_s.arg(lat, 0, 'f', 6)
                      .arg(lon, 0, 'f', 6)
                      .arg(at.toUTC().toString(Qt::ISODate));
    };
    const int route[] = {0, 3, 4, 0};
    const int stay[] = {40, 30, 10};
    for (int leg = 0; leg < 3; ++leg) {
        const DemoPartner& a = kPartners[route[leg]];
        const DemoPartner& b = kPartners[route[leg + 1]];
        const int minutes = std::max(2, int(haversineMetres({a.latitude, a.longitude}, {b.latitude, b.longitude}) / 1000));
        for (int k = 0; k <= minutes; ++k) {
            point(a.latitude + (b.latitude - a.latitude) * k / minutes, a.longitude + (b.longitude - a.longitude) * k / minutes);
            at = at.addSecs(60);
        }
        at = at.addSecs(60 * stay[leg]);
        point(b.latitude, b.longitude);
        at = at.addSecs(60);
    }
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            u"<gpx version=\"1.1\" creator=\"Rovanta+ bemutató\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
            u"  <trk>\n    <name>Cegléd, Nagykőrös</name>\n    <trkseg>\n"_s +
            points + u"    </trkseg>\n  </trk>\n</gpx>\n"_s)
        .toUtf8();
}

Result writeDemoTrips(const AppState& s, int year) {
    const QString folder = s.path(kDemoTripFolder + u'/');
    if (!QDir().mkpath(folder))
        return Result::failure(u"A könyvtár nem hozható létre: %1"_s.arg(QDir::toNativeSeparators(folder)), 75);
    Result r = saveWholeFile(s.programDir, folder + u"utjelentes.csv"_s, demoTripReport(year));
    if (r)
        r = saveWholeFile(s.programDir, folder + u"nyomvonal.gpx"_s, demoTrack(year));
    return r;
}

// A car of the demo with the company's partners, its NAV prices and three generated months.
Result writeDemoCar(AppState& s, SilentPrompter& prompter, CarRecord car, const CarFacts& facts,
                    const int (&targets)[kDemoMonths], qint32 odometer, int year) {
    car.generalCost = float(kGeneralCostPerKm);
    car.city = QString::fromUtf16(kPartners[0].city);
    car.companyName = QString::fromUtf16(kPartners[0].name);
    car.companyAddress = QString::fromUtf16(kPartners[0].address);
    car.dirName = car.plateNumber;
    s.cars.append(car);
    Result r = SaveCars(s);
    if (!r)
        return r;
    s.currentCar = s.carCount();
    s.carDir = carDirOf(car);
    s.carFacts = facts;
    if (!QDir().mkpath(s.carPath(QString())))
        return Result::failure(
            u"A könyvtár nem hozható létre: %1"_s.arg(QDir::toNativeSeparators(s.carPath({}))), 75);
    if (r = saveCarFacts(s.carGate(), s.carPath(QString()), facts); !r)
        return r;

    s.partners.clear();
    for (const DemoPartner& p : kPartners)
        s.partners.append(
            Partner{QString::fromUtf16(p.name), QString::fromUtf16(p.city), QString::fromUtf16(p.address)});
    s.distances.reset(kPartnerCount);
    for (int i = 1; i <= kPartnerCount; ++i)
        for (int j = 1; j <= kPartnerCount; ++j)
            if (i != j) {
                const qint16 km = roadKm(kPartners[i - 1], kPartners[j - 1]);
                s.distances.at(i, j) = DistanceCell{km, routeTypeOf(kPartners[j - 1], km)};
            }
    if (r = SaveDatabase(s); !r)
        return r;
    // Every NAV month of the fuel; days after the last one take its price.
    s.fuelPrices = navPricesOf(shippedNavPrices(), car.fuelType - 1);
    if (r = SaveFuelPrices(s); !r)
        return r;

    NoProgress progress;
    for (int m = 1; m <= kDemoMonths; ++m) {
        s.month = MonthLog{};
        s.month.year = year;
        s.month.month = m;
        SampleRequest request;
        request.year = year;
        request.month = m;
        request.target = targets[m - 1];
        if (MintaKeszites(s, request, progress) != SampleOutcome::Generated)
            return Result::failure(u"A minta készítése nem sikerült. %1"_s.arg(prompter.said));
        refreshKilometres(s, s.month);
        // Every trip day says what it was for, as the travel order asks it.
        for (int d = 1; d <= kLogDays; ++d)
            if (const int first = s.month.stops.at(d, 2); first >= 1 && first <= kPartnerCount)
                s.month.comments[size_t(d - 1)] =
                    QString::fromUtf16(kPurposes[size_t(d) % kPurposes.size()]) + QString::fromUtf16(kPartners[first - 1].name);
        s.month.startOdometer = odometer;
        if (!SaveLogbook(s))
            return Result::failure(prompter.said);
        odometer += s.month.monthKm;
    }
    return Result::success();
}

Result fill(AppState& s, SilentPrompter& prompter, const QDate& today) {
    s.LoadTables();
    // The legal correction factors of the built-up areas and the air conditioning; the rest 1.
    for (MultiplierEntry& m : s.multipliers)
        m.value = 1.0f;
    for (const LegalMultiplier& m : legalMultipliers())
        s.multipliers[size_t(m.entry)].value = float(m.percent) / 100.0f;
    s.defaultRouteType = 1;
    if (!QDir().mkpath(s.usersDir()))
        return Result::failure(
            u"A könyvtár nem hozható létre: %1"_s.arg(QDir::toNativeSeparators(s.usersDir())), 75);
    Result r = SaveMultipliers(s);
    const int year = today.year() - 1;
    // The published prices as the program's first start writes them: the NAV table built in.
    if (r)
        topUpPublishedPrices(s);
    if (!r)
        return r;

    CarRecord diesel;
    diesel.userName = u"Kovács Anna"_s;
    diesel.carType = u"Škoda Octavia 2.0 TDI"_s;
    diesel.plateNumber = u"RVN-482"_s;
    diesel.fuelType = kDemoFuelType;
    diesel.consumption = 5.4f;
    if (r = writeDemoCar(s, prompter, diesel, CarFacts{}, kTargets, kDemoFirstOdometer, year); !r)
        return r;
    // The second car runs on LPG (kettős üzemű) and, without a type-based norm, on the flat norm
    // of its engine size.
    CarRecord lpg;
    lpg.userName = u"Szabó Bence"_s;
    lpg.carType = u"Dacia Logan 1.4 MPI LPG"_s;
    lpg.plateNumber = u"RVN-517"_s;
    lpg.fuelType = kDemoLpgFuelType;
    lpg.consumption = float(flatNorm(normFuelOf(kDemoLpgFuelType - 1), kDemoLpgEngineCm3, false).hundredths) / 100.0f;
    const CarFacts lpgFacts = withFuelType(CarFacts{NormKind::Flat, kDemoLpgEngineCm3, {}, PriceSource::Nav}, lpg.fuelType);
    if (r = writeDemoCar(s, prompter, lpg, lpgFacts, kLpgTargets, kDemoLpgFirstOdometer, year); !r)
        return r;
    return writeDemoTrips(s, year);
}

} // namespace

bool isEmptyOrMissingDir(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    return info.isDir() &&
           QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

QString demoDirectory() {
    // Beside the per-user data directory, never in it: removing the demo cannot reach a logbook.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir::cleanPath(own + u"/../Rovanta-bemutato"_s);
}

Result writeDemoData(const QString& dir, const QDate& today) {
    const QString shown = QDir::toNativeSeparators(dir);
    if (QFileInfo::exists(dir) && !QFileInfo(dir).isDir())
        return Result::failure(u"Ez nem könyvtár: %1"_s.arg(shown));
    if (!isEmptyOrMissingDir(dir))
        return Result::failure(
            u"A könyvtár nem üres, a bemutató adatai csak üres vagy új könyvtárba kerülhetnek: %1"_s.arg(
                shown));
    const bool existed = QFileInfo::exists(dir);
    if (!QDir().mkpath(dir))
        return Result::failure(u"A könyvtár nem hozható létre: %1"_s.arg(shown), 75);

    MersenneRandom random(kSeed); // outlives the state that points to it
    AppState s;
    s.random = &random;
    s.programDir = QDir(dir).absolutePath() + u'/';
    SilentPrompter prompter;
    s.prompter = &prompter;
    Result r = Result::success();
    try {
        r = fill(s, prompter, today);
    } catch (const std::exception&) {
        r = Result::failure(u"A bemutató adatai nem készültek el."_s);
    }
    if (!r) {
        // The directory was empty or missing: what is in it now is ours.
        QDir d(dir);
        if (existed) {
            for (const QFileInfo& e :
                 d.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
                e.isDir() ? QDir(e.filePath()).removeRecursively() : QFile::remove(e.filePath());
        } else {
            d.removeRecursively();
        }
        return Result::failure(u"A bemutató adatai nem készültek el: %1\n%2"_s.arg(shown, r.message()),
                               r.code());
    }
    return r;
}

} // namespace rv
