#include "editorfixture.h"
#include "editor/calendar.h"
#include "editor/gui/frmHiba.h"
#include "editor/gui/frmSzerkeszto.h"
#include "editor/tripentry.h"
#include "ui/gui/helpwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestSzerkeszto : public QObject {
    Q_OBJECT

    // Opens the editor on the month in s->month; a new month starts empty.
    void open(int year, int month, bool newMonth = true) {
        s->month.year = year;
        s->month.month = month;
        w = std::make_unique<frmSzerkeszto>(*s, months.get());
        w->openPreview = [this](PrintMode mode, bool, bool winter) { previews.append({mode, winter}); };
        w->openDatabase = [] { QFAIL("the database window was not expected"); };
        w->open(newMonth);
        w->show();
    }
    void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void add(int partner) {
        w->lstPartnerek->setCurrentRow(partner - 1);
        click(w->cmdHozzaAd);
    }

    std::unique_ptr<TestEnv> env;
    AppState* s = nullptr;
    std::unique_ptr<QWidget> months; // stands in for the months window
    std::unique_ptr<frmSzerkeszto> w;
    QList<std::pair<PrintMode, bool>> previews;

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        env->loginCar();
        s = &env->state;
        fillPartners(*s, 9);
        months = std::make_unique<QWidget>();
        previews.clear();
    }
    void cleanup() {
        w.reset();
        months.reset();
        env.reset();
    }

    void loadedMonthAndCalendar() {
        setDay(s->month, 15, {3, 4});
        s->month.startOdometer = 12345;
        open(2025, 6, false); // starts on a Sunday: the 15th is in cell 20
        click(w->lblNapok[20]);
        QCOMPARE(std::pair(w->txtKmOraAllas->text(), w->currentDay()), std::pair(u"12\u00A0345"_s, 15));
        click(w->lblNapok[40]); // blank
        click(w->cmdKovetkezoNap);
        QCOMPARE(w->currentDay(), 16);
        // The calendar by keys: a week up, a day left.
        w->picNaptar->setFocus();
        QTest::keyClick(w->picNaptar, Qt::Key_Up);
        QTest::keyClick(w->picNaptar, Qt::Key_Left);
        QCOMPARE(w->currentDay(), 8);
        // Only the chosen day is coloured (blue), also after days were walked with the calendar's focus.
        QStringList coloured;
        for (QLabel* cell : w->lblNapok) {
            const QColor back = cell->palette().color(cell->backgroundRole());
            if (back != QColor(255, 255, 255) && back != QColor(222, 222, 222))
                coloured << cell->text() + (back == QColor(0, 0, 255) ? u" kék"_s : u" más"_s);
        }
        QCOMPARE(std::pair(coloured, s->month.modified), std::pair(QStringList{u"8 kék"_s}, false)); // showing is no change
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        QCOMPARE(helpWindow()->txtSugo->source().fileName(), u"szerkeszto.html"_s);
        showHelp(nullptr, 99); // another page meanwhile: the button shows the editor's again
        QCOMPARE(helpWindow()->txtSugo->source().fileName(), u"index.html"_s);
        click(w->cmdSugo);
        QCOMPARE(helpWindow()->txtSugo->source().fileName(), u"szerkeszto.html"_s);
        helpWindow()->close();
    }

    void listsSteerAddDeleteAndCopy() {
        setDay(s->month, 1, {1, 7, 9});
        setDay(s->month, 3, {1, 5});
        open(2025, 4, false);
        w->lstKesz->setCurrentRow(0);
        add(5);
        w->lstKesz->setCurrentRow(2);
        click(w->cmdTorol); // 7, after 5 went in before the selected row
        QCOMPARE(dayStops(s->month, 1), ints({5, 1, 9}));
        // Enter on the partner list adds too, even a row that is only highlighted.
        w->lstPartnerek->clearSelection();
        w->lstPartnerek->selectionModel()->setCurrentIndex(w->lstPartnerek->model()->index(1, 0),
                                                           QItemSelectionModel::NoUpdate);
        w->optOdaVissza->setChecked(true);
        w->lstPartnerek->setFocus();
        QTest::keyClick(w->lstPartnerek, Qt::Key_Return);
        QCOMPARE(std::pair(dayStops(s->month, 1), w->lblKmAHonapban->text()), std::pair(ints({5, 1, 2, 1, 9}), u"280 km ebben a hónapban."_s));

        w->txtHova->setText(u"30"_s);
        w->optCsatol->setChecked(true);
        click(w->cmdMasol);
        QVERIFY(dayStops(s->month, 30) == ints({5, 1, 2, 1, 9}) && w->lblNapok[size_t(cellOfDay(2025, 4, 30) - 1)]->font().bold());
        w->optFelulIr->setChecked(true);
        w->txtHonnan->setText(u"3"_s);
        w->txtHova->setText(u"1"_s);
        click(w->cmdMasol); // onto the day on screen: its list follows
        QCOMPARE(w->lstKesz->count(), 2);

        for (MsgButton answer : {No, Yes}) {
            env->prompter.answer(answer);
            click(w->cmdMindentTorol);
            QCOMPARE(dayStopCount(s->month, 1), answer == No ? 2 : 0);
        }
        QVERIFY(w->lstKesz->count() == 0 && !w->lblNapok[size_t(cellOfDay(2025, 4, 1) - 1)]->font().bold());
    }

    void validationFrameAndErrorList() {
        s->distances.at(2, 3) = DistanceCell{0, 1};
        s->month.startOdometer = 1000;
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        open(2025, 4);
        QTest::keyClicks(w->txtComment, u"Targyalas"_s);
        add(1);
        add(2);
        add(3);
        QCOMPARE(std::pair(w->lblKisHiba->text(), w->imgHiba->pixmap().toImage()), std::pair(u"1 kisebb hiba."_s, w->imlHiba[1].toImage()));
        w->chkHiba->click();
        QVERIFY(w->hibaWindow->isVisible() && w->hibaWindow->lstHiba->count() == 1);
        // Deleting the faulty leg clears the frame, the box and the list.
        click(w->cmdTorol);
        QVERIFY(w->lblKisHiba->text() == u"Nincs hiba."_s && !w->chkHiba->isEnabled() && !w->hibaWindow->isVisible());
    }

    void seasonBoxesExcludeEachOther() {
        s->multipliers[kAirConditioningRow].value = 1.5f;
        s->multipliers[kWinterRow].value = 2.0f;
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        s->distances.at(1, 2) = DistanceCell{100, 1};
        setDay(s->month, 1, {1, 2});
        s->month.season = SeasonBox::Winter; // as kept with the month
        open(2025, 4, false);
        QVERIFY(w->chkTeliUzem->isChecked() && !w->chkKlima->isChecked() && w->lblOsszKoltseg->text() == u"Összes költség: 5\u00A0000 Ft"_s);
        w->chkKlima->click();
        QCOMPARE((std::tuple{w->chkTeliUzem->isChecked(), w->lblOsszKoltseg->text(), s->month.season, s->month.modified}),
                 (std::tuple{false, u"Összes költség: 4\u00A0000 Ft"_s, SeasonBox::AirConditioning, true}));
    }

    void printAndCost() {
        setDay(s->month, 1, {3});
        open(2025, 4, false);
        click(w->cmdKoltseg);
        QVERIFY(env->prompter.last().startsWith(u"Nincsenek benzinárak megadva."_s));
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        click(w->cmdNyomtat);
        QCOMPARE(env->prompter.asked.size(), 2); // too little to print
        add(1);
        click(w->cmdNyomtat);
        w->chkTeliUzem->click();
        click(w->cmdKoltseg);
        QCOMPARE(previews, (QList<std::pair<PrintMode, bool>>{{PrintMode::Logbook, false}, {PrintMode::CostStatement, true}}));
        // Day 1 has no comment: a minor fault in the list, before the travel order as after it.
        QVERIFY(w->validation().lines.last().startsWith(u"2025. április 1.: a napnak nincs megjegyzése"_s));
        click(w->cmdRendelveny);
        QVERIFY(previews.last() == (std::pair{PrintMode::TravelOrder, true}) &&
                w->validation().lines.last().startsWith(u"2025. április 1.: a napnak nincs megjegyzése"_s));
    }

    // What is typed reaches the month; the closing reading's box keeps the real reading, and below
    // start + legs (50 km here) it is a severe fault.
    void typedBoxesReachTheMonth() {
        setDay(s->month, 1, {1, 4});
        s->month.comments[0].clear();
        open(2025, 4, false);
        QVERIFY(!s->month.modified);
        w->txtComment->setFocus();
        QTest::keyClicks(w->txtComment, u"ab\"c"_s); // the quote is refused
        QCOMPARE(s->month.comments[0], u"abc"_s);
        w->txtKmOraAllas->selectAll();
        QTest::keyClicks(w->txtKmOraAllas, u"1000k"_s);
        QCOMPARE((std::tuple{s->month.startOdometer, s->month.modified, w->lblZaroAllas->text()}),
                 (std::tuple{1000, true, u"Záró: 1\u00A0050 km"_s}));
        s->distances.at(3, 4) = DistanceCell{25, 3};
        w->lstPartnerek->setCurrentRow(2);
        QCOMPARE(w->lblTavolsag->text(), u"Távolságuk 25 km, Megyeszékhely"_s);
        s->month.modified = false;
        w->txtZaroKmOra->setText(u"1100"_s);
        QCOMPARE((std::tuple{s->month.closingReading, s->month.modified, w->lblZaroAllas->text(), w->lblMagan->text()}),
                 (std::tuple{1100, true, u"Záró: 1\u00A0100 km"_s, u"Magánhasználat: 50 km, üzleti arány: 50,0 %"_s}));
        w->txtZaroKmOra->setText(u"1020"_s);
        QVERIFY(w->validation().severe == 1 &&
                w->validation().lines.contains(u"A záró km-óra állás (1\u00A0020 km) kisebb, mint a kezdő km-óra állás "
                                               u"(1\u00A0000 km) és a hónap üzleti kilométereinek (50 km) összege."_s));
        // Typed the Hungarian way, the reading arrives whole.
        w->txtZaroKmOra->clear();
        QTest::keyClicks(w->txtZaroKmOra, u"1 100"_s);
        QCOMPARE(std::pair(s->month.closingReading, w->validation().severe), std::pair(1100, 0));
        w->lstPartnerek->setCurrentRow(2);
        // The stop the hint spoke of deleted, it speaks of the stop selected now.
        s->distances.at(3, 1) = DistanceCell{7, 3};
        w->lstKesz->setCurrentRow(1);
        w->cmdTorol->click();
        QCOMPARE(w->lblTavolsag->text(), u"Távolságuk 7 km, Megyeszékhely"_s);
    }

    void severeFaultsAskBeforeSavingAndPrinting() {
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        setDay(s->month, 1, {1, 2, 2, 1});
        open(2025, 4, false);
        for (QPushButton* b : {w->cmdMent, w->cmdNyomtat, w->cmdKoltseg}) {
            env->prompter.answer(No);
            click(b);
        }
        QCOMPARE((std::tuple{env->prompter.asked.size(), env->prompter.asked[0].text, env->prompter.asked[0].buttons, env->prompter.asked[2].text}),
                 (std::tuple{qsizetype(3), u"A hónapban 1 súlyos hiba van. Biztosan menti?"_s, Yes | No | DefaultNo,
                             u"A hónapban 1 súlyos hiba van. Biztosan nyomtatja?"_s}));
        QVERIFY(previews.isEmpty() && !QFile::exists(s->carPath(u"2025apr.rvn"_s)));
        env->prompter.answer(Yes);
        click(w->cmdMent);
        QVERIFY(QFile::exists(s->carPath(u"2025apr.rvn"_s)));
    }

    // Ctrl+S saves and Ctrl+P prints as the buttons do, Ctrl+W closes; the buttons' tooltips name
    // the keys, and their Alt letters stay.
    void standardKeys() {
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        setDay(s->month, 1, {1, 2, 2, 1});
        open(2025, 4, false);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        for (const char* key : {"Ctrl+S", "Ctrl+P"}) {
            env->prompter.answer(No);
            QTest::keySequence(w.get(), QKeySequence(QString::fromLatin1(key)));
        }
        QCOMPARE(env->prompter.texts(), (QStringList{u"A hónapban 1 súlyos hiba van. Biztosan menti?"_s,
                                                     u"A hónapban 1 súlyos hiba van. Biztosan nyomtatja?"_s}));
        QCOMPARE((QStringList{w->cmdMent->toolTip(), w->cmdNyomtat->toolTip(), w->cmdVissza->toolTip(),
                              w->cmdSugo->toolTip(), w->cmdMent->text()}),
                 (QStringList{u"Mentés (Ctrl+S)"_s, u"Nyomtat (Ctrl+P)"_s, u"Vissza (Ctrl+W, Esc)"_s, u"Súgó (F1)"_s, u"M&entés"_s}));
        s->month.modified = false;
        QTest::keySequence(w.get(), QKeySequence(u"Ctrl+W"_s));
        QVERIFY(!w->isVisible());
    }

    void databaseRoundTrip() {
        setDay(s->month, 1, {1, 2});
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        s->month.startOdometer = 1000;
        open(2025, 4, false);
        w->openDatabase = [&] {
            s->partners.append(Partner{u"Új"_s, u"Pécs"_s, QString()});
            s->distances.resize(10);
            s->distances.at(1, 2) = DistanceCell{0, 1};
        };
        click(w->cmdAdatBazis);
        // The distance changed there, and with it the month's kilometres.
        QCOMPARE((std::tuple{w->isVisible(), w->lstPartnerek->count(), w->lblKisHiba->text(), s->month.modified}),
                 (std::tuple{true, 10, u"1 kisebb hiba."_s, true}));

        // An exit asked for there closes the editor without a question.
        months->hide();
        w->openDatabase = [&] { s->mainWindowTag = u"exit"_s; };
        click(w->cmdAdatBazis);
        QVERIFY(!w->isVisible() && env->prompter.asked.isEmpty() && months->isVisible());
    }

    void closing() {
        open(2025, 4);
        months->hide();
        click(w->cmdVissza); // no change: no question
        QVERIFY(env->prompter.asked.isEmpty() && months->isVisible());
        open(2025, 4);
        add(3);
        env->prompter.answer(Cancel);
        QVERIFY(!w->close());
        env->prompter.answer(No);
        QVERIFY(w->close() && !QFile::exists(s->carPath(u"2025apr.rvn"_s)));

        open(2025, 4);
        add(3);
        click(w->cmdMent);
        QVERIFY(w->lblAllapot->text() == u"Mentve: 2025. április"_s && QFile::exists(s->carPath(u"2025apr.rvn"_s)));
        add(4);
        env->prompter.answer(Yes);
        QVERIFY(w->close() && !s->month.modified); // saved on closing
    }

    void failedSaveKeepsTheMonth() {
        env->write(u"Users/blocked"_s, "x"); // the car's directory lies under a plain file
        s->carDir = u"Users/blocked/ABC123/"_s;
        open(2025, 4);
        add(3);
        env->prompter.answer(Yes);
        QVERIFY(!w->close() && env->prompter.asked.last().icon == MsgIcon::Critical);
        QVERIFY(s->month.modified && w->isVisible() && env->terminated == -1);
    }
};

QTEST_MAIN(TestSzerkeszto)
#include "tst_szerkeszto.moc"
