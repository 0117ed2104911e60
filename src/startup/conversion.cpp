#include "conversion.h"

#include "startup/carops.h"
#include "model/state.h"
#include "storage/datafiles.h"
#include "model/errorlog.h"
#include "storage/fileio.h"
#include "storage/locks.h"
#include "storage/records.h"
#include "storage/settings.h"
#include "storage/tables.h"
#include "storage/prompter.h"
#include "ui/lockquestions.h"

#include <QDir>
#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {

// The flag of an older cell as a route type.
qint16 routeTypeOfFlag(RecordReader& in) {
    const int line = in.line();
    QString text = in.readField().trimmed().toUpper();
    if (text.size() >= 2 && text.startsWith(u'#') && text.endsWith(u'#'))
        text = text.mid(1, text.size() - 2);
    if (text == u"TRUE"_s || text == u"IGAZ"_s)
        return 1;
    if (text == u"FALSE"_s || text == u"HAMIS"_s)
        return 2;
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        in.failAt(line, u"logikai értéket vártam, ezt találtam: %1"_s.arg(quotedField(text)));
    if (number >= 1 && number <= kRouteTypeCount)
        return qint16(number);
    return number != 0 ? 1 : 2;
}

struct Pending {
    QString dir;
    QByteArray database;
};

} // namespace

Result parseOlderCars(const QByteArray& data, const QString& fileName, QVector<OlderCar>& out) {
    QVector<OlderCar> cars;
    Result r = parseRecords(data, fileName, [&](RecordReader& in) {
        const int countLine = in.line();
        const int count = in.readInt16In(0, 32767, u"darabszám"_s);
        in.requireRoom(qint64(count) * 7 * 2 - 1, countLine);
        for (int i = 0; i < count; ++i) {
            OlderCar c;
            c.userName = in.readString();
            c.carType = in.readString();
            c.plateNumber = in.readString();
            c.companyName = in.readString();
            c.city = in.readString();
            c.companyAddress = in.readString();
            const int dirLine = in.line();
            c.dirName = in.readString();
            if (!isSafeDirName(c.dirName))
                in.failAt(dirLine, u"érvénytelen könyvtárnév: %1"_s.arg(quotedField(c.dirName)));
            cars.append(std::move(c));
        }
    });
    if (r)
        out = std::move(cars);
    return r;
}

CarRecord convertedCar(const OlderCar& o) {
    CarRecord c = carWithTexts(o.userName, o.carType, o.plateNumber, o.companyName, o.city, o.companyAddress);
    c.fuelType = 1;
    c.consumption = 1;
    c.generalCost = 3;
    c.dirName = o.dirName.trimmed();
    return c;
}

Result convertOlderDatabase(const QByteArray& data, const QString& fileName, QByteArray& out) {
    PartnerDatabase db;
    Result r = parsePartnerFile(data, fileName, db, [](RecordReader& in, PartnerDatabase&) { return routeTypeOfFlag(in); });
    if (r)
        out = serializeDatabase(db, 1); // the writer trims the partners' texts
    return r;
}

bool hasUnconvertedData(const AppState& s) {
    return QFile::exists(s.path(u"users.rvd"_s)) && !QFile::exists(s.path(u"user.rvd"_s));
}

ConversionOutcome convertOlderLayout(AppState& s, const std::function<void(bool)>& busy) {
    Prompter* p = s.prompter;
    if (!p)
        return ConversionOutcome::Declined;
    const QString question = u"A program most konvertálja az adatbázisokat.\r\n\r\n"
                             u"Kérem készítsen biztonsági másolatot a teljes programkönyvtárról!\r\n("_s +
                             QDir::toNativeSeparators(s.programDir) +
                             u")\r\n\r\nKattintson az OK-ra a konvertáláshoz, vagy a Mégsem gombra a kilépéshez."_s;
    if (p->ask(question, Ok | Cancel, MsgIcon::Question) != Ok)
        return ConversionOutcome::Declined;

    if (busy)
        busy(true);
    s.errorLocation = u"Konvertálás"_s;
    // Other computers on a shared folder may read or convert the same files: the whole run, reads
    // included, holds the folder (never while a message waits for the user), and a folder held
    // elsewhere is left untouched.
    DataLock folder(s.programDir, folderLockPath(s.programDir));
    auto fail = [&](const Result& r) {
        folder.release();
        logCaught(s, r.code(), r.message());
        if (busy)
            busy(false);
        p->inform(u"Az adatbázisok konvertálása nem sikerült:\r\n%1\r\n\r\nA program a meglévő adatokkal indul; a "
                  u"konvertálást a következő indításkor újra felajánlja."_s.arg(r.message()),
                  MsgIcon::Critical);
        return ConversionOutcome::Failed;
    };

    if (Result r = takeFolderLock(folder, p, u"az adatkönyvtár"_s); !r)
        return fail(r);
    const WriteGate gate = WriteGate::locked(s.programDir, &folder, u"Az adatkönyvtár"_s);

    // Published price files, one per fuel type.
    QDir().mkpath(s.usersDir());
    for (const FuelType& f : fuelTypeTable()) {
        const QString path = s.path(u"Users/"_s + f.oldFile);
        if (!QFile::exists(path))
            if (Result r = gate.save(path, emptyFuelPriceFile()); !r)
                return fail(r);
    }

    // Everything is read and converted before anything is written.
    QVector<OlderCar> older;
    const QString listPath = s.path(u"users.rvd"_s);
    // Without an older car list there is nothing to convert, and a car file of the present
    // layout (a settings store carried over from another installation) must stay as it is. The
    // car file is the conversion's last write: when it is there, every car was converted before
    // and none is converted again (only the version setting was not stored).
    const bool haveOlderList = QFile::exists(listPath) && !QFile::exists(s.path(u"user.rvd"_s));
    if (haveOlderList) {
        QByteArray data;
        Result r = readDataFile(s.programDir, listPath, data);
        if (r)
            r = parseOlderCars(data, listPath, older);
        if (!r)
            return fail(r);
    }
    QVector<CarRecord> cars;
    QVector<Pending> pending;
    for (const OlderCar& o : older) {
        CarRecord car = convertedCar(o);
        const QString dir = s.path(carDirOf(car));
        const QString path = dir + u"data.rvd"_s;
        Pending item{dir, {}};
        if (QFile::exists(path)) {
            QByteArray data;
            Result r = readDataFile(s.programDir, path, data);
            if (r)
                r = convertOlderDatabase(data, path, item.database);
            if (!r)
                return fail(r);
        } else {
            // A car that never had a database gets its base as the one partner.
            item.database = baseDatabase(Partner{car.companyName, car.city, car.companyAddress}, 1);
        }
        cars.append(car);
        pending.append(item);
    }

    // A car's files are written before the car file: a conversion stopped halfway leaves no car
    // file, so the next start offers it again, and a database converted already reads the same.
    for (const Pending& item : pending) {
        if (!QDir().mkpath(item.dir))
            return fail(Result::failure(u"A könyvtár nem hozható létre: %1"_s.arg(QDir::toNativeSeparators(item.dir)), 76));
        if (Result r = gate.saveThroughScratch(item.dir, u"data.rvd"_s, item.database); !r)
            return fail(r);
        // Prices entered since (or carried over from another installation) stay.
        if (QFile::exists(item.dir + u"benzin.rvd"_s))
            continue;
        if (Result r = gate.saveThroughScratch(item.dir, u"benzin.rvd"_s, emptyFuelPriceFile()); !r)
            return fail(r);
    }

    if (haveOlderList)
        if (Result r = gate.save(s.path(u"user.rvd"_s), serializeCars(cars)); !r)
            return fail(r);

    folder.release();
    s.settings->setText(keys::Version, versionText());
    const Result stored = s.settings->sync();
    if (!stored)
        logCaught(s, stored.code(), stored.message());
    if (busy)
        busy(false);
    p->inform(conversionDoneMessage(cars) + (stored ? QString() : u"\r\n\r\n"_s + stored.message()),
              MsgIcon::Information);
    return ConversionOutcome::Converted;
}

QString conversionDoneMessage(const QVector<CarRecord>& cars) {
    QString text = u"A konvertálás sikeresen befejeződött."_s;
    if (cars.isEmpty())
        return text;
    text += u"\r\n\r\nAz átalakított gépkocsiknál még meg kell adni a fogyasztást és az általános költséget "
            u"(a főablak Módosítás gombjával), valamint az üzemanyagárakat (Adatbázis ablak, Üzemanyagárak lap):"_s;
    for (const CarRecord& car : cars)
        text += u"\r\n  "_s + car.plateNumber + u" ("_s + car.userName + u')';
    return text + u"\r\n\r\nBővebben: Súgó, „Régebbi adatok átalakítása”."_s;
}

} // namespace rv
