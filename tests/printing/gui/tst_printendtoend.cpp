#include "editor/cost.h"
#include "printing/gui/frmPrintPreview.h"
#include "storage/datafiles.h"
#include "testenv.h"

#include <QAction>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// From data files on disk to the words of the printed PDF.
class PrintEndToEndTest : public QObject {
    Q_OBJECT

    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(u"pdftotext"_s, {u"-enc"_s, u"UTF-8"_s, path, u"-"_s});
        if (!p.waitForFinished(30000))
            return {};
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void generatedMonthPrintsToPdf() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");

        // A car with its partners, distances, prices and multipliers, saved to a data directory.
        TestEnv env;
        env.loginCar(u"KLM-456"_s);
        CarRecord& car = env.state.car(1);
        car.carType = u"Suzuki Swift"_s;
        car.companyName = u"Próba Kft."_s;
        car.city = u"Debrecen"_s;
        car.companyAddress = u"Piac utca 5."_s;
        car.fuelType = 1;
        car.consumption = 6.5f;
        car.generalCost = 12.5f;
        QVERIFY(SaveCars(env.state));
        const QStringList cities = {u"Debrecen"_s, u"Nyíregyháza"_s, u"Miskolc"_s, u"Eger"_s, u"Szolnok"_s, u"Hajdúszoboszló"_s};
        for (int i = 0; i < cities.size(); ++i)
            env.state.partners.append({u"Partner %1"_s.arg(i + 1), cities[i], i % 2 ? u"Fő tér %1."_s.arg(i) : QString()});
        env.state.distances.reset(int(cities.size()));
        for (int i = 1; i <= cities.size(); ++i)
            for (int j = 1; j <= cities.size(); ++j)
                if (i != j)
                    env.state.distances.at(i, j) = DistanceCell{qint16(15 * (i + j) + std::abs(i - j)), qint16((i + j) % 6 + 1)};
        QVERIFY(SaveDatabase(env.state));
        env.state.fuelPrices = {{QDate(2024, 1, 3), 612}, {QDate(2024, 2, 15), 627}};
        QVERIFY(SaveFuelPrices(env.state));
        const float values[] = {1.0f, 1.15f, 1.1f, 1.05f, 1.25f, 1.3f, 1.05f, 1.03f};
        for (int i = 0; i < kMultiplierCount; ++i)
            env.state.multipliers[size_t(i)].value = values[i];
        QVERIFY(SaveMultipliers(env.state));

        // The program's view of them after a fresh load.
        AppState& s = env.state;
        s.cars.clear();
        s.partners.clear();
        s.fuelPrices.clear();
        QVERIFY(LoadCars(s));
        QCOMPARE(s.carCount(), 1);
        s.currentCar = 1;
        s.carDir = carDirOf(s.car(1));
        QVERIFY(LoadDatabase(s, true));
        QVERIFY(LoadFuelPrices(s));
        QVERIFY(LoadMultipliers(s));
        QCOMPARE(s.partnerCount(), int(cities.size()));

        // A generated February of a leap year: a round from the base on every weekday.
        MonthLog& log = s.month;
        log.year = 2024;
        log.month = 2;
        log.startOdometer = 48213;
        log.stopWidth = 5;
        log.stops.reset(5);
        for (int day = 1; day <= 29; ++day) {
            if (QDate(2024, 2, day).dayOfWeek() > 5)
                continue;
            const int stops = 3 + int(s.random->next() * 3); // 3..5
            log.stops.at(day, 1) = 1;
            for (int c = 2; c < stops; ++c) {
                int p = 2 + int(s.random->next() * float(cities.size() - 1));
                if (p == log.stops.at(day, c - 1))
                    p = p == int(cities.size()) ? 2 : p + 1;
                log.stops.at(day, c) = qint16(p);
            }
            log.stops.at(day, stops) = 1;
        }
        refreshKilometres(s, log);
        QVERIFY(log.monthKm > 0);
        const Season season = seasonOf(s, true, false);
        const qint64 editorTotal = computeMonthCost(s, log, season.multiplier).total;
        QVERIFY(editorTotal > 0);

        const QString logbookPdf = env.dir.filePath(u"naplo.pdf"_s);
        {
            frmPrintPreview w(s, PrintMode::Logbook, season);
            QVERIFY(w.load());
            QCOMPARE(w.pageCount(), logbookPageCount(s, log));
            env.prompter.answerFile(logbookPdf);
            w.mnuPdf->trigger();
        }
        const QString costPdf = env.dir.filePath(u"koltseg.pdf"_s);
        {
            frmPrintPreview w(s, PrintMode::CostStatement, season);
            QVERIFY(w.load());
            env.prompter.answerFile(costPdf);
            w.mnuPdf->trigger();
        }
        QVERIFY2(env.prompter.asked.isEmpty(), qPrintable(env.prompter.texts().join(u'\n')));

        const QString logbook = pdfText(logbookPdf);
        QVERIFY(logbook.contains(u"Útnyilvántartás"_s));
        QVERIFY(logbook.contains(u"KLM-456"_s));
        QVERIFY(logbook.contains(u"2024. február hónapra"_s));
        QVERIFY(logbook.contains(u"február 29."_s));
        QVERIFY(logbook.contains(u"Összesen: %1 km"_s.arg(log.monthKm)));
        QVERIFY(logbook.contains(u"Záró km-óra állás: %1 km"_s.arg(48213 + log.monthKm)));
        QVERIFY(logbook.contains(u"Elszámoló neve: Próba Kft."_s));

        const QString cost = pdfText(costPdf);
        QVERIFY(cost.contains(u"Melléklet: Költségelszámolás"_s));
        QVERIFY(cost.contains(u"KLM-456"_s));
        QVERIFY(cost.contains(u"%1 Ft"_s.arg(editorTotal)));
        QVERIFY(cost.contains(u"Klímahasználat miatt felhasznált szorzó"_s));
        QVERIFY(cost.contains(u"2024. február 1. - 2024. február 14.: 612 Ft/L"_s));
        QVERIFY(cost.contains(u"2024. február 15. - 2024. február 29.: 627 Ft/L"_s));
    }
};

QTEST_MAIN(PrintEndToEndTest)
#include "tst_printendtoend.moc"
