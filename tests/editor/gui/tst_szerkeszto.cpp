#include "editorfixture.h"
#include "editor/gui/editorcaption.h"
#include "editor/gui/frmHiba.h"
#include "editor/gui/frmSzerkeszto.h"
#include "editor/tripentry.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kWhite(255, 255, 255);

QColor background(const QLabel* l) { return l->palette().color(QPalette::Window); }

QStringList lines(const QListWidget* list) {
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

} // namespace

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
    QString last() const { return env->prompter.last(); }

    std::unique_ptr<TestEnv> env;
    AppState* s = nullptr;
    std::unique_ptr<QWidget> months; // stands in for the months window
    QLabel* status = nullptr;
    QProgressBar* bar = nullptr;
    std::unique_ptr<frmSzerkeszto> w;
    QList<std::pair<PrintMode, bool>> previews;

private slots:
    void init() {
        env = std::make_unique<TestEnv>();
        env->loginCar();
        s = &env->state;
        fillPartners(*s, 9);
        months = std::make_unique<QWidget>();
        status = new QLabel(months.get());
        status->setObjectName(u"lblStatusz"_s);
        bar = new QProgressBar(months.get());
        bar->setObjectName(u"pgbStatusz"_s);
        previews.clear();
    }
    void cleanup() {
        w.reset();
        months.reset();
        env.reset();
    }

    void newMonthOpens() {
        s->month.stopWidth = 3; // left over from an earlier month
        s->month.comments[4] = u"régi"_s;
        open(2025, 4);
        for (const char* name : {"lblDatum", "lblKmANapon", "lblKmAHonapban", "txtKmOraAllas", "cmdElozoNap",
                                 "cmdKovetkezoNap", "cmdMent", "cmdNyomtat", "cmdKoltseg", "cmdAdatBazis", "cmdSugo",
                                 "cmdVissza", "lstPartnerek", "lstKesz", "cmdHozzaAd", "cmdTorol", "cmdMindentTorol",
                                 "optCsakOda", "optOdaVissza", "optACeghez", "txtHonnan", "txtHova", "optCsatol",
                                 "optFelulIr", "cmdMasol", "txtComment", "lblTavolsag", "lblKisHiba", "lblNagyHiba",
                                 "imgHiba", "chkHiba", "chkKlima", "chkTeliUzem", "lblOsszKoltseg"})
            QVERIFY2(w->findChild<QWidget*>(QString::fromLatin1(name)), name);
        QCOMPARE(w->windowTitle(), mainCaption() + u" - Szerkesztő -"_s);
        QCOMPARE(status->text(), u"Majdnem kész..."_s);
        QCOMPARE(bar->value(), 95);
        QCOMPARE(s->month.stopWidth, 0);
        QCOMPARE(s->month.comments[4], QString());
        QVERIFY(!s->month.modified);
        QCOMPARE(w->lblDatum->text(), u"2025. Április 1. kedd"_s);
        QCOMPARE(w->lstPartnerek->count(), 9);
        QCOMPARE(w->lstPartnerek->item(2)->text(), u"Partner 3 - Város 3, Fő utca 3"_s);
        QCOMPARE(w->lstPartnerek->item(2)->data(Qt::UserRole).toInt(), 3);
    }

    void loadedMonthAndCalendar() {
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        setDay(s->month, 1, {1, 7, 1});
        setDay(s->month, 15, {3, 4});
        s->month.comments[0] = u"Ügyfél"_s;
        s->month.startOdometer = 12345;
        s->month.fileName = u"2025jun.rvn"_s;
        open(2025, 6, false); // starts on a Sunday
        QCOMPARE(lines(w->lstKesz), (QStringList{u"Partner 1 - Város 1, Fő utca 1"_s, u"Partner 7 - Város 7, Fő utca 7"_s,
                                                u"Partner 1 - Város 1, Fő utca 1"_s}));
        QCOMPARE(w->lstKesz->currentRow(), 2);
        QVERIFY(w->cmdTorol->isEnabled());
        QCOMPARE(w->txtComment->text(), u"Ügyfél"_s);
        QCOMPARE(w->txtKmOraAllas->text(), u"12345"_s);
        QCOMPARE(w->lblKmANapon->text(), u"160 km ezen a napon."_s);
        QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 6900 Ft"_s); // 160 km: 4800, 70 km: 2100
        QCOMPARE(s->month.fileName, u"2025jun.rvn"_s);

        QCOMPARE(w->findChildren<QLabel*>(u"lblNapok"_s).size(), 42);
        QCOMPARE(w->lblNapok[6]->text(), u"1"_s);
        QCOMPARE(background(w->lblNapok[6]), kBlue);
        QCOMPARE(w->lblNapok[5]->text(), QString());
        QCOMPARE(background(w->lblNapok[5]), kWhite);
        QCOMPARE(w->lblNapok[5]->toolTip(), u"A naptár segítségével választhatja ki a szerkeszteni kívánt napot."_s);
        QCOMPARE(w->lblNapok[7]->toolTip(), u"Katttintson ide a 2. nap kiválasztásához."_s);
        QCOMPARE(w->lblNapok[35]->text(), u"30"_s);
        click(w->lblNapok[20]);
        QCOMPARE(w->currentDay(), 15);
        QCOMPARE(background(w->lblNapok[20]), kBlue);
        QCOMPARE(background(w->lblNapok[6]), kWhite);
        QCOMPARE(w->lstKesz->count(), 2);
        QCOMPARE(w->lblKmANapon->text(), u"70 km ezen a napon."_s);
        click(w->lblNapok[40]); // blank
        QCOMPARE(w->currentDay(), 15);
        QVERIFY(!s->month.modified); // showing the month is no change
    }

    void navigationWrapsInLeapFebruary() {
        open(2028, 2);
        click(w->cmdElozoNap);
        QCOMPARE(w->currentDay(), 29);
        QCOMPARE(w->lblDatum->text(), u"2028. Február 29. kedd"_s);
        QCOMPARE(w->txtHonnan->text(), u"29"_s);
        click(w->cmdKovetkezoNap);
        QCOMPARE(w->currentDay(), 1);
    }

    void addingThroughTheWindow() {
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        open(2025, 4);
        w->optACeghez->setChecked(true);
        add(7);
        QCOMPARE(dayStops(s->month, 1), ints({7, 1}));
        QCOMPARE(w->lstKesz->count(), 2);
        QCOMPARE(w->lstKesz->currentRow(), 1);
        QVERIFY(s->month.modified);
        QVERIFY(w->cmdTorol->isEnabled());
        QCOMPARE(w->lblKmAHonapban->text(), u"80 km ebben a hónapban."_s);
        QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 2400 Ft"_s); // 80 km: 1600 + 800
        // Enter on the partner list adds too, even a row that is only highlighted.
        w->lstPartnerek->clearSelection();
        w->lstPartnerek->selectionModel()->setCurrentIndex(w->lstPartnerek->model()->index(8, 0),
                                                           QItemSelectionModel::NoUpdate);
        w->optOdaVissza->setChecked(true);
        w->lstPartnerek->setFocus();
        QTest::keyClick(w->lstPartnerek, Qt::Key_Return);
        QCOMPARE(dayStops(s->month, 1), ints({7, 1, 9, 1}));
    }

    void selectedLineSteersInsertAndDelete() {
        setDay(s->month, 1, {1, 7, 9});
        setDay(s->month, 2, {1, 2});
        s->month.comments[0] = u"marad"_s;
        open(2025, 4, false);
        w->lstKesz->setCurrentRow(0);
        add(5);
        QCOMPARE(dayStops(s->month, 1), ints({5, 1, 7, 9}));
        QCOMPARE(w->lstKesz->currentRow(), 0);
        w->lstKesz->setCurrentRow(2);
        click(w->cmdTorol);
        QCOMPARE(dayStops(s->month, 1), ints({5, 1, 9}));
        QCOMPARE(w->lstKesz->currentRow(), 1);
        env->prompter.answer(No);
        click(w->cmdMindentTorol);
        QCOMPARE(last(), u"Biztos, hogy mindent töröl az adott napról?"_s);
        QCOMPARE(dayStopCount(s->month, 1), 3);
        env->prompter.answer(Yes);
        click(w->cmdMindentTorol);
        QCOMPARE(w->lstKesz->count(), 0);
        QCOMPARE(s->month.stopWidth, 2); // day 2 is now the widest
        QCOMPARE(w->txtComment->text(), u"marad"_s);
        QCOMPARE(w->lblKmAHonapban->text(), u"30 km ebben a hónapban."_s);
    }

    void copyOverwriteAndAppend() {
        setDay(s->month, 3, {1, 5});
        setDay(s->month, 4, {1, 7, 1});
        open(2025, 4, false);
        w->showDay(3);
        w->txtHova->setFocus();
        QTest::keyClicks(w->txtHova, u"4"_s);
        QVERIFY(w->optFelulIr->isChecked());
        click(w->cmdMasol);
        QCOMPARE(dayStops(s->month, 4), ints({1, 5}));
        w->optCsatol->setChecked(true);
        click(w->cmdMasol);
        QCOMPARE(dayStops(s->month, 4), ints({1, 5, 1, 5}));
        QCOMPARE(w->lblKmAHonapban->text(), u"240 km ebben a hónapban."_s);
        // Copying onto the day on screen refreshes its list.
        w->txtHova->setText(u"3"_s);
        w->txtHonnan->setText(u"4"_s);
        w->optFelulIr->setChecked(true);
        click(w->cmdMasol);
        QCOMPARE(w->lstKesz->count(), 4);
    }

    void dayFieldsAndComment() {
        open(2025, 4);
        w->txtHova->setFocus();
        QTest::keyClicks(w->txtHova, u"40"_s);
        QCOMPARE(w->txtHova->text(), u"30"_s);
        w->txtHova->clear();
        QTest::keyClicks(w->txtHova, u"0x"_s);
        QCOMPARE(w->txtHova->text(), u"1"_s);

        w->txtComment->setFocus();
        QTest::keyClicks(w->txtComment, u"ab\"c"_s);
        QCOMPARE(w->txtComment->text(), u"abc"_s);
        QVERIFY(env->prompter.asked.isEmpty()); // a typed quote is just not taken
        QGuiApplication::clipboard()->setText(u" \"x\"y "_s);
        QTest::keyClick(w->txtComment, Qt::Key_V, Qt::ControlModifier);
        if (w->txtComment->text() == u"abc"_s) // no clipboard on this platform: paste by hand
            w->txtComment->insert(u" \"x\"y "_s);
        QCOMPARE(w->txtComment->text(), u"abc xy "_s);
        QCOMPARE(env->prompter.texts(), QStringList{commentQuoteMessage()});
        QCOMPARE(s->month.comments[0], u"abc xy"_s);
        QVERIFY(s->month.modified);
        w->showDay(2);
        QCOMPARE(w->txtComment->text(), QString());
        w->showDay(1);
        QCOMPARE(w->txtComment->text(), u"abc xy"_s);
    }

    void odometerAndDistanceHint() {
        setDay(s->month, 1, {1, 4});
        open(2025, 4, false);
        w->txtKmOraAllas->selectAll();
        QTest::keyClicks(w->txtKmOraAllas, u"4500k"_s);
        QCOMPARE(w->txtKmOraAllas->text(), u"4500"_s);
        QCOMPARE(s->month.startOdometer, 4500);
        QVERIFY(s->month.modified);
        s->distances.at(3, 4) = DistanceCell{25, 3};
        w->lstPartnerek->setCurrentRow(2);
        QCOMPARE(w->lblTavolsag->text(), u"Távolságuk 25 km, Megyeszékhely"_s);
        w->lstKesz->setCurrentRow(0);
        QCOMPARE(w->lblTavolsag->text(), u"Távolságuk 40 km, Közút"_s);
    }

    void validationFrameAndErrorList() {
        s->distances.at(2, 3) = DistanceCell{0, 1};
        open(2025, 4);
        add(2);
        add(3);
        QCOMPARE(w->lblKisHiba->text(), u"1 kisebb hiba."_s);
        QCOMPARE(w->lblNagyHiba->text(), u"0 súlyos hiba."_s);
        QCOMPARE(w->imgHiba->pixmap().toImage(), w->imlHiba[1].toImage());
        QCOMPARE(w->hibaWindow->lstHiba->count(), 1);
        QVERIFY(!w->hibaWindow->isVisible());
        w->chkHiba->click();
        QVERIFY(w->hibaWindow->isVisible());
        w->chkHiba->click();
        QVERIFY(!w->hibaWindow->isVisible());
        w->chkHiba->click();
        w->hibaWindow->close();
        QVERIFY(!w->chkHiba->isChecked());
        // Deleting the faulty leg clears the frame, the box and the list.
        w->chkHiba->click();
        click(w->cmdTorol);
        QCOMPARE(w->lblKisHiba->text(), u"Nincs hiba."_s);
        QVERIFY(!w->chkHiba->isEnabled());
        QVERIFY(!w->chkHiba->isChecked());
        QVERIFY(!w->hibaWindow->isVisible());
        QCOMPARE(w->hibaWindow->lstHiba->count(), 0);

        frmHiba* h = w->hibaWindow;
        QCOMPARE(h->windowTitle(), mainCaption() + u" - Hibalista -"_s);
        h->show();
        h->resize(400, 300);
        QCOMPARE(h->lstHiba->width(), 400 - twipsToPixels(h, 120));
        QCOMPARE(h->lstHiba->height(), 300 - twipsToPixels(h, 450));
    }

    void seasonBoxesExcludeEachOther() {
        s->multipliers[kAirConditioningRow].value = 1.5f;
        s->multipliers[kWinterRow].value = 2.0f;
        s->fuelPrices = {FuelPrice{QDate(2025, 4, 2), 250}}; // none for April 1
        s->distances.at(1, 2) = DistanceCell{100, 1};
        setDay(s->month, 1, {1, 2});
        open(2025, 4, false);
        QVERIFY(w->lblOsszKoltseg->text().startsWith(u"Összes költség: 0 Ft\nHiányzik a(z) 2025. április havi"_s));
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        w->chkKlima->click();
        QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 4000 Ft"_s);
        w->chkTeliUzem->click();
        QVERIFY(!w->chkKlima->isChecked());
        QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 5000 Ft"_s);
        w->chkKlima->click();
        QVERIFY(!w->chkTeliUzem->isChecked());
        w->chkKlima->click();
        QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 3000 Ft"_s);
    }

    void printAndCost() {
        setDay(s->month, 1, {3});
        open(2025, 4, false);
        click(w->cmdNyomtat);
        QCOMPARE(last(), u"Nincs elég adat megadva a nyomtatáshoz."_s);
        click(w->cmdKoltseg);
        QVERIFY(last().startsWith(u"Nincsenek benzinárak megadva.\r\n\r\nHiányzik a(z) 2025. április havi"_s));
        s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
        click(w->cmdKoltseg);
        QCOMPARE(last(), u"Nincs elég út megadva a költségkimutatáshoz."_s);
        QVERIFY(previews.isEmpty());

        add(1);
        env->prompter.clear();
        click(w->cmdNyomtat);
        w->chkTeliUzem->click();
        click(w->cmdKoltseg);
        QCOMPARE(previews, (QList<std::pair<PrintMode, bool>>{{PrintMode::Logbook, false}, {PrintMode::CostStatement, true}}));
        QVERIFY(env->prompter.asked.isEmpty());
    }

    void databaseRoundTrip() {
        setDay(s->month, 1, {1, 2});
        open(2025, 4, false);
        bool hiddenMeanwhile = false;
        w->openDatabase = [&] {
            hiddenMeanwhile = !w->isVisible();
            s->partners.append(Partner{u"Új"_s, u"Pécs"_s, QString()});
            s->distances.resize(10);
            s->distances.at(1, 2) = DistanceCell{0, 1};
        };
        click(w->cmdAdatBazis);
        QVERIFY(hiddenMeanwhile);
        QVERIFY(w->isVisible());
        QCOMPARE(w->lstPartnerek->count(), 10);
        QCOMPARE(w->lstPartnerek->item(9)->text(), u"Új - Pécs"_s);
        QCOMPARE(w->lblKisHiba->text(), u"1 kisebb hiba."_s); // the distance changed there
        QCOMPARE(w->lblKmAHonapban->text(), u"0 km ebben a hónapban."_s);
    }

    void exitRequestsCloseWithoutAsking() {
        open(2025, 4);
        add(3);
        months->hide();
        w->openDatabase = [&] { s->mainWindowTag = u"exit"_s; };
        click(w->cmdAdatBazis);
        QVERIFY(!w->isVisible());
        QVERIFY(env->prompter.asked.isEmpty());
        QVERIFY(months->isVisible());
        // A later editor does not take the old request for its own.
        w.reset();
        showEditor(*s, true, months.get());
        QPointer<frmSzerkeszto> next;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<frmSzerkeszto*>(top); e && e->isVisible())
                next = e;
        QVERIFY(next);
        QCOMPARE(s->mainWindowTag, QString());
        QVERIFY(next->close());
        QTRY_VERIFY(next.isNull());

        // The program's own exit while the main window is up: the months window stays hidden.
        QWidget mainWindow;
        mainWindow.setObjectName(u"frmMain"_s);
        mainWindow.show();
        open(2025, 4);
        add(3);
        months->hide();
        s->mainWindowTag = u"exit"_s;
        QVERIFY(w->close());
        QVERIFY(env->prompter.asked.isEmpty());
        QVERIFY(!months->isVisible());
    }

    void closing() {
        open(2025, 4);
        months->hide();
        click(w->cmdVissza); // no change: no question
        QVERIFY(env->prompter.asked.isEmpty());
        QVERIFY(months->isVisible());

        open(2025, 4);
        add(3);
        env->prompter.answer(Cancel);
        QVERIFY(!w->close());
        QCOMPARE(last(), u"Kívánja menteni az eddig bevitt adatokat?"_s);
        QCOMPARE(env->prompter.asked.last().buttons, Yes | No | Cancel);
        QCOMPARE(dayStops(s->month, 1), ints({3}));
        QVERIFY(s->month.modified);
        env->prompter.answer(No);
        QVERIFY(w->close());
        QVERIFY(!QFile::exists(s->carPath(u"2025apr.rvn"_s)));

        open(2025, 4);
        add(3);
        env->prompter.answer(Yes);
        QVERIFY(w->close());
        QVERIFY(QFile::exists(s->carPath(u"2025apr.rvn"_s)));
        QVERIFY(months->isVisible());
    }

    void failedSaveKeepsTheMonth() {
        env->write(u"Users/blocked"_s, "x"); // the car's directory lies under a plain file
        s->carDir = u"Users/blocked/ABC123/"_s;
        open(2025, 4);
        add(3);
        w->txtComment->setText(u"fontos"_s);
        env->prompter.answer(Yes);
        QVERIFY(!w->close());
        QCOMPARE(env->prompter.asked.size(), 2);
        QCOMPARE(env->prompter.asked.last().icon, MsgIcon::Critical);
        QCOMPARE(s->month.comments[0], u"fontos"_s);
        QVERIFY(s->month.modified);
        click(w->cmdMent);
        QCOMPARE(env->prompter.asked.size(), 3);
        QVERIFY(w->isVisible());
        QCOMPARE(env->terminated, -1);
    }
};

QTEST_MAIN(TestSzerkeszto)
#include "tst_szerkeszto.moc"
