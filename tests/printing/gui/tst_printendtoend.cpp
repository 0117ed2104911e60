#include "editor/cost.h"
#include "months/progress.h"
#include "months/sample.h"
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
        return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
    }

private slots:
    void generatedMonthPrintsToPdf() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");

        TestEnv env;
        AppState& s = env.state;
        env.loginCar(u"KLM-456"_s);
        s.car(1).carType = u"Suzuki Swift"_s;
        s.car(1).companyName = u"Próba Kft."_s;
        QVERIFY(SaveCars(s));
        const QStringList cities = {u"Debrecen"_s, u"Nyíregyháza"_s, u"Miskolc"_s, u"Eger"_s};
        for (const QString& city : cities)
            s.partners.append({u"Partner "_s + city, city, QString()});
        s.distances.reset(int(cities.size()));
        for (int i = 1; i <= cities.size(); ++i)
            for (int j = 1; j <= cities.size(); ++j)
                if (i != j)
                    s.distances.at(i, j) = DistanceCell{qint16(15 * (i + j)), qint16((i + j) % 6 + 1)};
        QVERIFY(SaveDatabase(s));
        s.fuelPrices = {{QDate(2024, 1, 3), 612}, {QDate(2024, 2, 15), 627}};
        QVERIFY(SaveFuelPrices(s));

        // Loaded back from the files, a generated February of a leap year.
        s.partners.clear();
        s.fuelPrices.clear();
        QVERIFY(LoadDatabase(s, true) && LoadFuelPrices(s) && LoadMultipliers(s));
        SampleRequest request;
        request.year = 2024;
        request.month = 2;
        request.target = 6000;
        request.weekdays.fill(true);
        s.month.year = 2024;
        s.month.month = 2;
        NoProgress progress;
        QCOMPARE(MintaKeszites(s, request, progress), SampleOutcome::Generated);
        refreshKilometres(s, s.month);
        const qint64 editorTotal = computeMonthCost(s, s.month, 1.0f).total;

        const QString logbookPdf = env.dir.filePath(u"naplo.pdf"_s);
        const QString costPdf = env.dir.filePath(u"koltseg.pdf"_s);
        for (const auto& [mode, path] : {std::pair{PrintMode::Logbook, logbookPdf}, {PrintMode::CostStatement, costPdf}}) {
            frmPrintPreview w(s, mode, Season{});
            QVERIFY(w.load());
            env.prompter.answerFile(path);
            w.mnuPdf->trigger();
        }
        QVERIFY2(env.prompter.asked.isEmpty(), qPrintable(env.prompter.texts().join(u'\n')));

        const QString logbook = pdfText(logbookPdf);
        for (const QString& line : {u"Útnyilvántartás"_s, u"KLM-456"_s, u"február 29."_s,
                                    u"Összesen: %1 km"_s.arg(s.month.monthKm)})
            QVERIFY2(logbook.contains(line), qPrintable(line));
        const QString cost = pdfText(costPdf);
        for (const QString& line : {u"Melléklet: Költségelszámolás"_s, u"%1 Ft"_s.arg(editorTotal),
                                    u"2024. február 15. - 2024. február 29.: 627 Ft/L"_s})
            QVERIFY2(cost.contains(line), qPrintable(line));
    }
};

QTEST_MAIN(PrintEndToEndTest)
#include "tst_printendtoend.moc"
