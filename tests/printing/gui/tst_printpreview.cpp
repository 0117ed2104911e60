#include "printfixture.h"
#include "printing/gui/frmPrintPreview.h"
#include "scriptedprompter.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
struct PreviewFixture : PrintFixture {
    ScriptedPrompter prompter;
    PreviewFixture() {
        s.prompter = &prompter;
        s.terminate = [](int) { QFAIL("the error trap ended the program"); };
    }
};
} // namespace

class PrintPreviewTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // The scroll bar moves the picture while the window is shorter than it.
    void scrollBarMovesThePicture() {
        PreviewFixture f;
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        const int pictureHeight = w.picMain->height();
        w.show();
        w.resize(1000, pictureHeight / 2);
        QTRY_VERIFY(w.scrFugg->isEnabled());
        const int top = w.picMain->y();
        w.scrFugg->setValue(1440); // an inch down
        QCOMPARE(top - w.picMain->y(), w.logicalDpiY());
    }

    void costStatement() {
        PreviewFixture f;
        f.legs(3);
        f.log.monthKm = 1; // stale: the statement refreshes the kilometres first
        frmPrintPreview w(f.s, PrintMode::CostStatement, Season{});
        QVERIFY(w.load());
        QCOMPARE(f.log.monthKm, 90);

        f.s.fuelPrices = {{QDate(2002, 3, 2), 250}};
        frmPrintPreview closed(f.s, PrintMode::CostStatement, Season{});
        QVERIFY(!closed.load() && f.prompter.last().startsWith(u"Nincs benzinár megadva ehhez a hónaphoz."_s));
    }

    // The menu turns the window to the travel order: its pages, once; the logbook's window keeps
    // its price check for it.
    void travelOrderFromThePreview() {
        PreviewFixture f;
        f.day(3, {1, 2, 1});
        f.day(10, {1, 2, 1});
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load() && w.pageCount() == 1 && w.mnuRendelveny->isEnabled());
        w.mnuRendelveny->trigger();
        QCOMPARE((std::tuple{w.pageShown(), w.pageCount(), w.mnuRendelveny->isEnabled()}), (std::tuple{1, 3, false})); // two days and the summary
        // One trip day chosen from its menu: that day's page alone, saved under a name with the day.
        const QList<QAction*> days = w.mnuRendelvenyNap->actions();
        QVERIFY(days.size() == 2 && days[1]->text() == u"március 10. (60 km)"_s);
        days[1]->trigger();
        QCOMPARE(std::tuple(w.travelOrderDay(), w.pageCount(), w.mnuRendelveny->isEnabled()), std::tuple(10, 1, true));
        f.s.programDir = dir.path() + u'/';
        f.prompter.answerFile(dir.filePath(u"nap.pdf"_s));
        w.mnuPdf->trigger();
        QVERIFY(pdfPages(dir.filePath(u"nap.pdf"_s)) == 1 && f.prompter.asked.isEmpty());
        w.mnuRendelveny->trigger();
        QCOMPARE(std::pair(w.travelOrderDay(), w.pageCount()), std::pair(0, 3));

        f.s.fuelPrices = {{QDate(2002, 3, 5), 250}};
        frmPrintPreview noPrice(f.s, PrintMode::Logbook, Season{});
        QVERIFY(noPrice.load());
        noPrice.mnuRendelveny->trigger(); // still the logbook
        QVERIFY(f.prompter.last().startsWith(u"Nincs benzinár megadva ehhez a hónaphoz."_s) && noPrice.pageCount() == 1);
    }

    // Paging stays within the page count; printing and saving leave the page shown.
    void pagingPrintSaveAndBack() {
        PreviewFixture f;
        f.legs(24);
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        const QImage first = w.picMain->image();
        w.mnuElozo->trigger();
        QCOMPARE(w.pageShown(), 1);
        w.mnuKovetkezo->trigger();
        w.mnuKovetkezo->trigger();
        const QString printed = dir.filePath(u"printed.pdf"_s);
        w.choosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        };
        w.mnuNyomtat->trigger();
        QCOMPARE(std::pair(pdfPages(printed), w.pageShown()), std::pair(2, 2));
        f.prompter.answerFile(dir.filePath(u"naplo"_s));
        w.mnuPdf->trigger(); // the suffix is added
        QCOMPARE(std::pair(pdfPages(dir.filePath(u"naplo.pdf"_s)), w.Label->text()),
                 std::pair(2, u"PDF elkészült: "_s + QDir::toNativeSeparators(dir.filePath(u"naplo.pdf"_s))));
        f.prompter.answerFile(dir.filePath(u"nincs/x.pdf"_s));
        w.mnuPdf->trigger();
        QCOMPARE(f.prompter.asked.size(), 1); // an unwritable PDF is told

        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_PageUp);
        QCOMPARE(std::pair(w.pageShown(), w.picMain->image()), std::pair(1, first));
        w.mnuVissza->trigger();
        QVERIFY(!w.isVisible());
    }
};

QTEST_MAIN(PrintPreviewTest)
#include "tst_printpreview.moc"
