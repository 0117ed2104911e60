#include "printfixture.h"
#include "printing/paintercanvas.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class PdfPrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void logbookPagesBecomePdfPages_data() {
        QTest::addColumn<int>("legs");
        QTest::addColumn<int>("pages");
        QTest::newRow("no legs") << 0 << 1;
        QTest::newRow("one full page") << 23 << 1;
        QTest::newRow("one more") << 24 << 2;
        QTest::newRow("three pages") << 47 << 3;
    }
    void logbookPagesBecomePdfPages() {
        QFETCH(int, legs);
        QFETCH(int, pages);
        PrintFixture f;
        f.setMonth(2002, 3, 5);
        f.legs(legs);
        const QString path = dir.filePath(u"log%1.pdf"_s.arg(legs));
        const Result r = printToPdf(f.s, f.log, Printout::Logbook, Season{}, path);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QCOMPARE(pdfPages(path), pages);
        QCOMPARE(logbookPageCount(f.s, f.log), pages);
    }

    void statementPdf() {
        PrintFixture f;
        f.legs(5);
        const QString path = dir.filePath(u"cost.pdf"_s);
        QVERIFY(printToPdf(f.s, f.log, Printout::CostStatement, Season{}, path).ok());
        QCOMPARE(pdfPages(path), 1);
    }

    void missingPriceLeavesTheOldFileAlone() {
        PrintFixture f;
        f.legs(5);
        f.s.fuelPrices = {{QDate(2002, 3, 2), 250}};
        const QString path = dir.filePath(u"keep.pdf"_s);
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        const Result r = printToPdf(f.s, f.log, Printout::CostStatement, Season{}, path);
        QVERIFY(!r);
        QCOMPARE(r.message(), u"Nincs benzinár megadva ehhez a hónaphoz."_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        // The logbook itself needs no price.
        QVERIFY(printToPdf(f.s, f.log, Printout::Logbook, Season{}, path).ok());
        QCOMPARE(pdfPages(path), 1);
    }

    void unwritablePathIsReported() {
        PrintFixture f;
        const Result r = printToPdf(f.s, f.log, Printout::Logbook, Season{}, dir.filePath(u"nincs/ilyen/mappa/x.pdf"_s));
        QVERIFY(!r);
        QVERIFY(r.message().startsWith(u"A PDF fájl nem írható: "_s));
    }

    void painterCanvasMapsTwipsToTheDevice() {
        // 144 dots per inch: ten pixels per 100 twips.
        QImage image(600, 600, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(144 / 0.0254));
        image.setDotsPerMeterY(qRound(144 / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas canvas(painter, 6000);
        QCOMPARE(canvas.pixelsPerTwip(), 0.1);
        canvas.setFontSize(10);
        const double narrow = canvas.textWidth(u"Összesen"_s);
        QVERIFY(narrow > 500 && narrow < 1500); // eight letters at 10 points, in twips
        canvas.setBold(true);
        QVERIFY(canvas.textWidth(u"Összesen"_s) >= narrow);
        canvas.printText(1000, 1000, u"Összesen"_s);
        // The next line stands a line of a 10-point font below.
        QVERIFY(canvas.currentY() > 1000 + 180 && canvas.currentY() < 1000 + 320);
        canvas.bar(1000, 3000, 5000, 3020);
        canvas.line(1000, 4000, 5000, 4000);
        painter.end();
        QCOMPARE(image.pixelColor(300, 301), QColor(Qt::black)); // inside the bar
        QCOMPARE(image.pixelColor(300, 310), QColor(Qt::white));
        QCOMPARE(image.pixelColor(300, 400).red() < 128, true); // on the line
        // Text at (1000, 1000) twips: ink starts right of x = 100 and below y = 100.
        bool ink = false;
        for (int y = 100; y < 130 && !ink; ++y)
            for (int x = 100; x < 250 && !ink; ++x)
                ink = image.pixelColor(x, y).lightness() < 128;
        QVERIFY(ink);
        for (int x = 0; x < 600; ++x)
            QCOMPARE(image.pixelColor(x, 95), QColor(Qt::white));
    }
};

QTEST_MAIN(PdfPrintTest)
#include "tst_pdfprint.moc"
