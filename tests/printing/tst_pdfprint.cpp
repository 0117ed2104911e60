#include "printfixture.h"
#include "printing/paintercanvas.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class PdfPrintTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void printoutPagesBecomePdfPages_data() {
        QTest::addColumn<bool>("statement");
        QTest::addColumn<int>("legs");
        QTest::addColumn<int>("pages");
        QTest::newRow("no legs") << false << 0 << 1;
        QTest::newRow("one more than a page") << false << 24 << 2;
        QTest::newRow("three pages") << false << 47 << 3;
        QTest::newRow("statement") << true << 5 << 1;
    }
    void printoutPagesBecomePdfPages() {
        QFETCH(bool, statement);
        QFETCH(int, legs);
        QFETCH(int, pages);
        PrintFixture f;
        f.legs(legs);
        const QString path = dir.filePath(u"%1.pdf"_s.arg(QString::fromLatin1(QTest::currentDataTag())));
        const Result r = printToPdf(f.s, f.log, statement ? Printout::CostStatement : Printout::Logbook, Season{}, path);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QCOMPARE(pdfPages(path), pages);
    }

    void failedPrintoutLeavesTheOldFileAlone() {
        PrintFixture f;
        f.legs(5);
        f.s.fuelPrices = {{QDate(2002, 3, 2), 250}};
        const QString path = dir.filePath(u"keep.pdf"_s);
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        const Result r = printToPdf(f.s, f.log, Printout::CostStatement, Season{}, path);
        QCOMPARE(r.message(), u"Nincs benzinár megadva ehhez a hónaphoz."_s);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));

        const Result unwritable =
            printToPdf(f.s, f.log, Printout::Logbook, Season{}, dir.filePath(u"nincs/ilyen/mappa/x.pdf"_s));
        QVERIFY(unwritable.message().startsWith(u"A PDF fájl nem írható: "_s));
    }

    void painterCanvasMapsTwipsToTheDevice() {
        // 144 dots per inch: ten pixels per 100 twips.
        QImage image(600, 600, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(144 / 0.0254));
        image.setDotsPerMeterY(qRound(144 / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas canvas(painter, 6000);
        canvas.setFontSize(10);
        const double width = canvas.textWidth(u"Összesen"_s);
        QVERIFY(width > 500 && width < 1500);
        canvas.printText(1000, 1000, u"Összesen"_s);
        QVERIFY(canvas.currentY() > 1000 + 180 && canvas.currentY() < 1000 + 320);
        canvas.bar(1000, 3000, 5000, 3020);
        painter.end();
        QCOMPARE(image.pixelColor(300, 301), QColor(Qt::black));
        QCOMPARE(image.pixelColor(300, 310), QColor(Qt::white));
        // Text at (1000, 1000) twips: ink below y = 100 and none above it.
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
