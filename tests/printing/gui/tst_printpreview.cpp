#include "../printfixture.h"
#include "printing/gui/frmPrintPreview.h"
#include "scriptedprompter.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
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
    void controlsAndCaption() {
        PreviewFixture f;
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        QCOMPARE(w.windowTitle(), u"Rovanta+ 2.2 - Nyomtatási kép -"_s);
        for (const char* name : {"picMain", "scrFugg", "Label"})
            QVERIFY2(w.findChild<QWidget*>(QLatin1String(name)), name);
        QCOMPARE(w.findChild<QMenu*>(u"mnuOldal"_s)->title(), u"&Oldal"_s);
        const std::pair<const char*, QString> items[] = {{"mnuElozo", u"&Előző"_s},
                                                         {"mnuKovetkezo", u"&Következő"_s},
                                                         {"mnuNyomtat", u"&Nyomtat"_s},
                                                         {"mnuVissza", u"&Vissza"_s},
                                                         {"mnuPdf", u"&PDF mentése..."_s}};
        for (const auto& [name, text] : items) {
            auto* action = w.findChild<QAction*>(QLatin1String(name));
            QVERIFY2(action, name);
            QCOMPARE(action->text(), text);
        }
        QCOMPARE(w.Label->text(), u"Az előnézet és a kinyomtatott változat tartalmilag azonos, kisebb formai "
                                  u"eltérések azonban lehetnek."_s);
        // The picture is 80 % of an A4 sheet when no printer says otherwise.
        const double a4Width = 595.0 / 72 * 1440;
        QVERIFY(std::abs(w.picMain->widthInTwips() - 0.8 * a4Width) < 20);
        QVERIFY(w.picMain->heightInTwips() > w.picMain->widthInTwips());
        QCOMPARE(w.pageShown(), 1);
    }

    void pagingStaysWithinThePageCount() {
        PreviewFixture f;
        f.legs(47);
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        QCOMPARE(w.pageCount(), 3);
        const QImage first = w.picMain->image();
        QVERIFY(!first.isNull());

        w.mnuElozo->trigger();
        QCOMPARE(w.pageShown(), 1);
        w.mnuKovetkezo->trigger();
        QCOMPARE(w.pageShown(), 2);
        QVERIFY(w.picMain->image() != first); // redrawn with the second page
        w.mnuKovetkezo->trigger();
        w.mnuKovetkezo->trigger();
        QCOMPARE(w.pageShown(), 3);
        w.mnuElozo->trigger();
        w.mnuElozo->trigger();
        w.mnuElozo->trigger();
        QCOMPARE(w.pageShown(), 1);
        QCOMPARE(w.picMain->image(), first);

        f.log.stops.reset(5);
        frmPrintPreview single(f.s, PrintMode::Logbook, Season{});
        QVERIFY(single.load());
        QCOMPARE(single.pageCount(), 1);
        single.mnuKovetkezo->trigger();
        QCOMPARE(single.pageShown(), 1);
    }

    void costStatementPages() {
        PreviewFixture f;
        f.legs(3);
        f.log.monthKm = 1; // stale: the statement refreshes the kilometres first
        frmPrintPreview w(f.s, PrintMode::CostStatement, Season{});
        QVERIFY(w.load());
        QCOMPARE(f.log.monthKm, 90);
        QCOMPARE(w.pageCount(), 1);

        for (int d = 1; d <= 31; ++d)
            f.s.fuelPrices.append({QDate(2002, 3, d), qint16(300 + d)});
        frmPrintPreview longer(f.s, PrintMode::CostStatement, Season{});
        QVERIFY(longer.load());
        QCOMPARE(longer.pageCount(), 2);
        longer.mnuKovetkezo->trigger();
        longer.mnuKovetkezo->trigger();
        QCOMPARE(longer.pageShown(), 2);
        QVERIFY(f.prompter.asked.isEmpty());
    }

    void missingFuelPriceClosesTheStatement() {
        PreviewFixture f;
        f.legs(3);
        f.s.fuelPrices = {{QDate(2002, 3, 2), 250}};
        frmPrintPreview w(f.s, PrintMode::CostStatement, Season{});
        QVERIFY(!w.load());
        QCOMPARE(f.prompter.asked.size(), 1);
        QCOMPARE(f.prompter.last(), u"Nincs benzinár megadva ehhez a hónaphoz."_s);
        QCOMPARE(f.prompter.asked[0].icon, MsgIcon::Exclamation);

        // The logbook needs no price.
        frmPrintPreview logbook(f.s, PrintMode::Logbook, Season{});
        QVERIFY(logbook.load());
    }

    void scrollBarFollowsTheWindowHeight() {
        PreviewFixture f;
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        const int pictureHeight = w.picMain->height();
        w.show();
        w.resize(1000, pictureHeight / 2);
        QTRY_VERIFY(w.scrFugg->isEnabled());
        QVERIFY(w.scrFugg->maximum() > 0);
        const int top = w.picMain->y();
        w.scrFugg->setValue(1440); // an inch down
        QCOMPARE(top - w.picMain->y(), w.logicalDpiY());
        QVERIFY(w.scrFugg->x() + w.scrFugg->width() <= w.width());
        // The picture stands centred, left of the scroll bar's width.
        QVERIFY(w.picMain->x() < (w.width() - w.picMain->width()) / 2);

        w.resize(1000, pictureHeight + 200);
        QTRY_VERIFY(!w.scrFugg->isEnabled());
        QCOMPARE(w.picMain->y(), qRound(240.0 * w.logicalDpiY() / 1440));
    }

    void printingCancelledPrintsNothing() {
        PreviewFixture f;
        f.legs(24);
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        w.mnuKovetkezo->trigger();
        const QImage before = w.picMain->image();
        int asked = 0;
        w.choosePrinter = [&](QPrinter&) {
            ++asked;
            return false;
        };
        w.mnuNyomtat->trigger();
        QCOMPARE(asked, 1);
        QCOMPARE(w.pageShown(), 2);
        QCOMPARE(w.picMain->image(), before);
    }

    void printingPrintsEveryPageAndKeepsTheWindow() {
        PreviewFixture f;
        f.legs(24);
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        w.show();
        const QString path = dir.filePath(u"printed.pdf"_s);
        w.choosePrinter = [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return true;
        };
        w.mnuNyomtat->trigger();
        QCOMPARE(pdfPages(path), 2);
        QVERIFY(w.isVisible());
        QCOMPARE(w.pageShown(), 1);
    }

    void savesThePrintoutAsPdf() {
        PreviewFixture f;
        f.legs(24);
        frmPrintPreview logbook(f.s, PrintMode::Logbook, Season{});
        QVERIFY(logbook.load());
        const QString path = dir.filePath(u"naplo"_s);
        f.prompter.answerFile(path);
        logbook.mnuPdf->trigger();
        QCOMPARE(pdfPages(path + u".pdf"_s), 2); // the suffix is added
        QVERIFY(f.prompter.asked.isEmpty());

        // Cancelled file dialog: nothing written, nothing said.
        logbook.mnuPdf->trigger();
        QVERIFY(f.prompter.asked.isEmpty());

        frmPrintPreview cost(f.s, PrintMode::CostStatement, Season{});
        QVERIFY(cost.load());
        const QString costPath = dir.filePath(u"koltseg.pdf"_s);
        f.prompter.answerFile(costPath);
        cost.mnuPdf->trigger();
        QCOMPARE(pdfPages(costPath), 1);

        // A folder that does not exist is reported.
        f.prompter.answerFile(dir.filePath(u"nincs/x.pdf"_s));
        cost.mnuPdf->trigger();
        QVERIFY(f.prompter.last().startsWith(u"A PDF fájl nem írható: "_s));
    }

    void backClosesTheWindow() {
        PreviewFixture f;
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.mnuVissza->trigger();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Accepted));

        frmPrintPreview esc(f.s, PrintMode::Logbook, Season{});
        QVERIFY(esc.load());
        esc.show();
        QVERIFY(QTest::qWaitForWindowExposed(&esc));
        QTest::keyClick(&esc, Qt::Key_Escape);
        QVERIFY(!esc.isVisible());
    }

    void pageKeysTurnPages() {
        PreviewFixture f;
        f.legs(30);
        frmPrintPreview w(f.s, PrintMode::Logbook, Season{});
        QVERIFY(w.load());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(w.pageShown(), 2);
        QTest::keyClick(&w, Qt::Key_PageUp);
        QCOMPARE(w.pageShown(), 1);
    }
};

QTEST_MAIN(PrintPreviewTest)
#include "tst_printpreview.moc"
