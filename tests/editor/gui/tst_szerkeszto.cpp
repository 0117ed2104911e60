#include "../editorfixture.h"
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
private slots:
    void init();
    void cleanup();

    void newMonthOpens();
    void loadedMonthOpens();
    void calendarOfAMonthStartingOnSunday();
    void thirtyFirstOfAMonthStartingOnSaturday();
    void navigationWrapsInFebruary_data();
    void navigationWrapsInFebruary();
    void calendarClicks();

    void addingThroughTheWindow();
    void insertingBeforeTheFirstOfThreeLines();
    void deleteOneAndDeleteAll();
    void copyOverwriteAndAppend();
    void dayFieldsAreHeldInsideTheMonth();
    void commentRefusesQuotes();
    void odometerBox();
    void distanceHint();

    void validationFrameAndErrorList();
    void severeErrorFrame();
    void errorListFollowsItsWindow();

    void seasonBoxesExcludeEachOther();
    void printAndCostRefusals();
    void printAndCostOpenThePreview();

    void databaseRoundTrip();
    void databaseExitClosesWithoutAsking();

    void programExitClosesWithoutGoingBack();
    void closingWithoutChangesAsksNothing();
    void cancelKeepsTheEditorOpen();
    void yesSavesAndNoDiscards();
    void failedSaveKeepsTheMonth();

private:
    void open(int year, int month, bool newMonth = true);
    void selectPartner(int partner) { w->lstPartnerek->setCurrentRow(partner - 1); }

    std::unique_ptr<TestEnv> env;
    AppState* s = nullptr;
    std::unique_ptr<QWidget> months;
    QLabel* status = nullptr;
    QProgressBar* bar = nullptr;
    std::unique_ptr<frmSzerkeszto> w;
    struct Preview {
        PrintMode mode;
        bool airConditioning;
        bool winter;
    };
    QList<Preview> previews;
};

void TestSzerkeszto::init() {
    env = std::make_unique<TestEnv>();
    env->loginCar();
    s = &env->state;
    fillPartners(*s, 9);
    months = std::make_unique<QWidget>();
    status = new QLabel(u"Töltés..."_s, months.get());
    status->setObjectName(u"lblStatusz"_s);
    bar = new QProgressBar(months.get());
    bar->setObjectName(u"pgbStatusz"_s);
    previews.clear();
}

void TestSzerkeszto::cleanup() {
    w.reset();
    months.reset();
    env.reset();
}

void TestSzerkeszto::open(int year, int month, bool newMonth) {
    s->month.year = year;
    s->month.month = month;
    if (newMonth)
        s->month.stops.reset(1);
    w = std::make_unique<frmSzerkeszto>(*s, months.get());
    w->openPreview = [this](PrintMode mode, bool klima, bool winter) { previews.append({mode, klima, winter}); };
    w->openDatabase = [] { QFAIL("the database window was not expected"); };
    w->open(newMonth);
    w->show();
}

void TestSzerkeszto::newMonthOpens() {
    s->month.stopWidth = 3; // left over from an earlier month
    s->month.comments[4] = u"régi"_s;
    open(2025, 4);
    QCOMPARE(w->windowTitle(), mainCaption() + u" - Szerkesztő -"_s);
    QCOMPARE(status->text(), u"Majdnem kész..."_s);
    QCOMPARE(bar->value(), 95);
    QCOMPARE(s->month.stopWidth, 0);
    QCOMPARE(s->month.comments[4], QString());
    QVERIFY(!s->month.modified);
    QCOMPARE(w->txtKmOraAllas->text(), u"0"_s);
    QCOMPARE(w->txtHonnan->text(), u"1"_s);
    QCOMPARE(w->lblDatum->text(), u"2025. Április 1. kedd"_s);
    QCOMPARE(w->lblKmANapon->text(), u"0 km ezen a napon."_s);
    QCOMPARE(w->lblKmAHonapban->text(), u"0 km ebben a hónapban."_s);
    QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 0 Ft"_s);
    QCOMPARE(w->lblKisHiba->text(), u"Nincs hiba."_s);
    QCOMPARE(w->lblNagyHiba->text(), QString());
    QCOMPARE(w->errorPicture(), ErrorPicture::None);
    QVERIFY(!w->chkHiba->isEnabled());
    QVERIFY(!w->cmdTorol->isEnabled());
    QVERIFY(!w->cmdMindentTorol->isEnabled());
    QCOMPARE(w->lstPartnerek->count(), 9);
    QCOMPARE(w->lstPartnerek->item(2)->text(), u"Partner 3 - Város 3, Fő utca 3"_s);
    QCOMPARE(w->lstPartnerek->item(2)->data(Qt::UserRole).toInt(), 3);
    QCOMPARE(w->lblTavolsag->text(), u"-"_s);
    QVERIFY(w->findChild<QPushButton*>(u"cmdAdatBazis"_s));
    QCOMPARE(w->cmdAdatBazis->toolTip(), u"Az adatbázist tudja szerkeszteni."_s);
}

void TestSzerkeszto::loadedMonthOpens() {
    s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {1, 7, 1});
    setDay(log, 2, {2});
    log.comments[0] = u"Ügyfél"_s;
    log.startOdometer = 12345;
    log.fileName = u"2025apr.rvn"_s;
    open(2025, 4, false);
    QCOMPARE(lines(w->lstKesz), (QStringList{u"Partner 1 - Város 1, Fő utca 1"_s, u"Partner 7 - Város 7, Fő utca 7"_s,
                                            u"Partner 1 - Város 1, Fő utca 1"_s}));
    QCOMPARE(w->lstKesz->currentRow(), 2);
    QVERIFY(w->lstKesz->item(2)->isSelected());
    QVERIFY(w->cmdTorol->isEnabled());
    QCOMPARE(w->txtComment->text(), u"Ügyfél"_s);
    QCOMPARE(w->txtKmOraAllas->text(), u"12345"_s);
    QCOMPARE(w->lblKmANapon->text(), u"160 km ezen a napon."_s);
    QCOMPARE(w->lblKmAHonapban->text(), u"160 km ebben a hónapban."_s);
    QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 4800 Ft"_s); // 160 km: 3200 + 1600
    QCOMPARE(s->month.fileName, u"2025apr.rvn"_s);
    QCOMPARE(s->month.startOdometer, 12345);
    QVERIFY(!s->month.modified); // showing the reading is no change
    QCOMPARE(status->text(), u"Majdnem kész..."_s);
}

void TestSzerkeszto::calendarOfAMonthStartingOnSunday() {
    open(2025, 6);
    QCOMPARE(w->firstCellOfMonth(), 7);
    QCOMPARE(w->lblNapok[6]->text(), u"1"_s);
    QCOMPARE(background(w->lblNapok[6]), kBlue);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(w->lblNapok[size_t(i)]->text(), QString());
        QCOMPARE(w->lblNapok[size_t(i)]->toolTip(), u"A naptár segítségével választhatja ki a szerkeszteni kívánt napot."_s);
        QCOMPARE(background(w->lblNapok[size_t(i)]), kWhite);
    }
    QCOMPARE(w->lblNapok[7]->toolTip(), u"Katttintson ide a 2. nap kiválasztásához."_s);
    QCOMPARE(w->lblNapok[35]->text(), u"30"_s);
    QCOMPARE(w->lblNapok[36]->text(), QString());
    QStringList headings;
    for (QLabel* h : w->lblNapokNeve)
        headings << h->text();
    QCOMPARE(headings, (QStringList{u"H"_s, u"K"_s, u"Sz"_s, u"Cs"_s, u"P"_s, u"Sz"_s, u"V"_s}));
    QCOMPARE(w->findChildren<QLabel*>(u"lblNapok"_s).size(), 42);
    QCOMPARE(w->lblDatum->text(), u"2025. Június 1. vasárnap"_s);
}

void TestSzerkeszto::thirtyFirstOfAMonthStartingOnSaturday() {
    open(2025, 3);
    QCOMPARE(w->firstCellOfMonth(), 6);
    QCOMPARE(w->lblNapok[35]->text(), u"31"_s);
    QCOMPARE(w->lblNapok[35]->toolTip(), u"Katttintson ide a 31. nap kiválasztásához."_s);
    QCOMPARE(w->lblNapok[36]->text(), QString());
    QCOMPARE(w->lblNapok[41]->text(), QString());
}

void TestSzerkeszto::navigationWrapsInFebruary_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("label");
    QTest::newRow("2026") << 2026 << 28 << u"2026. Február 28. szombat"_s;
    QTest::newRow("2028") << 2028 << 29 << u"2028. Február 29. kedd"_s;
}

void TestSzerkeszto::navigationWrapsInFebruary() {
    QFETCH(int, year);
    QFETCH(int, last);
    QFETCH(QString, label);
    open(year, 2);
    QTest::mouseClick(w->cmdElozoNap, Qt::LeftButton);
    QCOMPARE(w->currentDay(), last);
    QCOMPARE(w->lblDatum->text(), label);
    QCOMPARE(w->txtHonnan->text(), QString::number(last));
    const int cell = w->firstCellOfMonth() + last - 1;
    QCOMPARE(background(w->lblNapok[size_t(cell - 1)]), kBlue);
    QCOMPARE(background(w->lblNapok[size_t(w->firstCellOfMonth() - 1)]), kWhite);
    QTest::mouseClick(w->cmdKovetkezoNap, Qt::LeftButton);
    QCOMPARE(w->currentDay(), 1);
    QTest::mouseClick(w->cmdKovetkezoNap, Qt::LeftButton);
    QCOMPARE(w->currentDay(), 2);
}

void TestSzerkeszto::calendarClicks() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 15, {3, 4});
    log.comments[14] = u"tizenöt"_s;
    open(2025, 3, false);
    const int cell15 = 6 + 15 - 1;
    QTest::mouseClick(w->lblNapok[size_t(cell15 - 1)], Qt::LeftButton);
    QCOMPARE(w->currentDay(), 15);
    QCOMPARE(background(w->lblNapok[size_t(cell15 - 1)]), kBlue);
    QCOMPARE(background(w->lblNapok[5]), kWhite);
    QCOMPARE(w->lstKesz->count(), 2);
    QCOMPARE(w->lstKesz->currentRow(), 1);
    QCOMPARE(w->txtComment->text(), u"tizenöt"_s);
    QCOMPARE(w->lblKmANapon->text(), u"70 km ezen a napon."_s);
    QVERIFY(w->cmdMindentTorol->isEnabled());
    QVERIFY(!s->month.modified); // showing a day is no edit
    // A blank cell does nothing.
    QTest::mouseClick(w->lblNapok[40], Qt::LeftButton);
    QCOMPARE(w->currentDay(), 15);
    QTest::mouseClick(w->lblNapok[6], Qt::LeftButton);
    QCOMPARE(w->currentDay(), 2);
    QCOMPARE(w->lstKesz->count(), 0);
    QVERIFY(!w->cmdTorol->isEnabled());
    QVERIFY(!w->cmdMindentTorol->isEnabled());
}

void TestSzerkeszto::addingThroughTheWindow() {
    s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
    open(2025, 4);
    selectPartner(7);
    w->optACeghez->setChecked(true);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    QCOMPARE(dayStops(s->month, 1), ints({7, 1}));
    QCOMPARE(w->lstKesz->count(), 2);
    QCOMPARE(w->lstKesz->currentRow(), 1);
    QVERIFY(s->month.modified);
    QVERIFY(w->cmdTorol->isEnabled());
    QCOMPARE(w->lblTavolsag->text(), u"-"_s);
    QCOMPARE(w->lblKmANapon->text(), u"80 km ezen a napon."_s);
    QCOMPARE(w->lblKmAHonapban->text(), u"80 km ebben a hónapban."_s);
    QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 2400 Ft"_s); // 80 km: 1600 + 800
    // Enter on the partner list adds too; the return trip goes back to the stop before.
    selectPartner(9);
    w->optOdaVissza->setChecked(true);
    w->lstPartnerek->setFocus();
    QTest::keyClick(w->lstPartnerek, Qt::Key_Return);
    QCOMPARE(dayStops(s->month, 1), ints({7, 1, 9, 1}));
    // A double click adds once more; the same partner twice in a row is refused.
    w->optCsakOda->setChecked(true);
    selectPartner(1);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    QCOMPARE(dayStops(s->month, 1), ints({7, 1, 9, 1}));
}

void TestSzerkeszto::insertingBeforeTheFirstOfThreeLines() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {1, 7, 9});
    open(2025, 4, false);
    w->lstKesz->setCurrentRow(0);
    selectPartner(5);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    QCOMPARE(dayStops(log, 1), ints({5, 1, 7, 9}));
    QCOMPARE(w->lstKesz->item(0)->text(), u"Partner 5 - Város 5, Fő utca 5"_s);
    QCOMPARE(w->lstKesz->currentRow(), 0);
}

void TestSzerkeszto::deleteOneAndDeleteAll() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {1, 7, 9, 1});
    setDay(log, 2, {1, 2});
    log.comments[0] = u"marad"_s;
    open(2025, 4, false);
    w->lstKesz->setCurrentRow(2);
    QTest::mouseClick(w->cmdTorol, Qt::LeftButton);
    QCOMPARE(dayStops(log, 1), ints({1, 7, 1}));
    QCOMPARE(w->lstKesz->count(), 3);
    QCOMPARE(w->lstKesz->currentRow(), 1);
    QCOMPARE(log.stopWidth, 3);
    QVERIFY(log.modified);

    env->prompter.answer(No);
    QTest::mouseClick(w->cmdMindentTorol, Qt::LeftButton);
    QCOMPARE(env->prompter.last(), u"Biztos, hogy mindent töröl az adott napról?"_s);
    QCOMPARE(env->prompter.asked.last().buttons, Yes | No);
    QCOMPARE(dayStopCount(log, 1), 3);

    env->prompter.answer(Yes);
    QTest::mouseClick(w->cmdMindentTorol, Qt::LeftButton);
    QCOMPARE(dayStopCount(log, 1), 0);
    QCOMPARE(w->lstKesz->count(), 0);
    QCOMPARE(log.stopWidth, 2); // day 2 is now the widest
    QCOMPARE(log.comments[0], u"marad"_s);
    QCOMPARE(w->txtComment->text(), u"marad"_s);
    QVERIFY(!w->cmdTorol->isEnabled());
    QVERIFY(!w->cmdMindentTorol->isEnabled());
    QCOMPARE(w->lblKmAHonapban->text(), u"30 km ebben a hónapban."_s);
}

void TestSzerkeszto::copyOverwriteAndAppend() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 3, {1, 5});
    setDay(log, 4, {1, 7, 1});
    open(2025, 4, false);
    w->showDay(3);
    QCOMPARE(w->txtHonnan->text(), u"3"_s);
    w->txtHova->setFocus();
    QTest::keyClicks(w->txtHova, u"4"_s);
    QVERIFY(w->optFelulIr->isChecked());
    QTest::mouseClick(w->cmdMasol, Qt::LeftButton);
    QCOMPARE(dayStops(log, 4), ints({1, 5}));
    QVERIFY(log.modified);
    w->optCsatol->setChecked(true);
    QTest::mouseClick(w->cmdMasol, Qt::LeftButton);
    QCOMPARE(dayStops(log, 4), ints({1, 5, 1, 5}));
    QCOMPARE(log.stopWidth, 4);
    QCOMPARE(w->lblKmAHonapban->text(), u"240 km ebben a hónapban."_s); // 60 on day 3, 3 × 60 on day 4
    // Copying onto the day on screen refreshes its list.
    w->txtHova->clear();
    QTest::keyClicks(w->txtHova, u"3"_s);
    w->txtHonnan->clear();
    QTest::keyClicks(w->txtHonnan, u"4"_s);
    w->optFelulIr->setChecked(true);
    QTest::mouseClick(w->cmdMasol, Qt::LeftButton);
    QCOMPARE(dayStops(log, 3), ints({1, 5, 1, 5}));
    QCOMPARE(w->lstKesz->count(), 4);
}

void TestSzerkeszto::dayFieldsAreHeldInsideTheMonth() {
    open(2025, 4);
    w->txtHova->setFocus();
    QTest::keyClicks(w->txtHova, u"40"_s);
    QCOMPARE(w->txtHova->text(), u"30"_s);
    QCOMPARE(w->txtHova->cursorPosition(), 2);
    w->txtHova->clear();
    QCOMPARE(w->txtHova->text(), QString());
    QTest::keyClicks(w->txtHova, u"0"_s);
    QCOMPARE(w->txtHova->text(), u"1"_s);
    QTest::keyClicks(w->txtHova, u"x"_s);
    QCOMPARE(w->txtHova->text(), u"1"_s);
    w->txtHonnan->selectAll();
    QTest::keyClicks(w->txtHonnan, u"99"_s);
    QCOMPARE(w->txtHonnan->text(), u"30"_s);
}

void TestSzerkeszto::commentRefusesQuotes() {
    open(2025, 4);
    w->txtComment->setFocus();
    QTest::keyClicks(w->txtComment, u"ab\"c"_s);
    QCOMPARE(w->txtComment->text(), u"abc"_s);
    QVERIFY(env->prompter.asked.isEmpty()); // a typed quote is just not taken
    QCOMPARE(s->month.comments[0], u"abc"_s);
    QVERIFY(s->month.modified);
    QGuiApplication::clipboard()->setText(u" \"x\"y "_s);
    QTest::keyClick(w->txtComment, Qt::Key_V, Qt::ControlModifier);
    if (w->txtComment->text() == u"abc"_s) // no clipboard on this platform: paste by hand
        w->txtComment->insert(u" \"x\"y "_s);
    QCOMPARE(w->txtComment->text(), u"abc xy "_s);
    QCOMPARE(env->prompter.texts(), QStringList{u"Az idézőjel (\") sajnos nem megengedett a megjegyzésekben."_s});
    QCOMPARE(env->prompter.asked.first().icon, MsgIcon::Information);
    QCOMPARE(s->month.comments[0], u"abc xy"_s); // trimmed
    // Another day shows its own comment; coming back shows this one.
    w->showDay(2);
    QCOMPARE(w->txtComment->text(), QString());
    QCOMPARE(s->month.comments[0], u"abc xy"_s);
    w->showDay(1);
    QCOMPARE(w->txtComment->text(), u"abc xy"_s);
}

void TestSzerkeszto::odometerBox() {
    open(2025, 4);
    w->txtKmOraAllas->selectAll();
    QTest::keyClicks(w->txtKmOraAllas, u"4500"_s);
    QCOMPARE(s->month.startOdometer, 4500);
    QTest::keyClicks(w->txtKmOraAllas, u"k"_s);
    QCOMPARE(w->txtKmOraAllas->text(), u"4500"_s);
    QCOMPARE(s->month.startOdometer, 4500);
    w->txtKmOraAllas->clear();
    QCOMPARE(s->month.startOdometer, 0);
    // A typed reading is a change like any other: closing asks before it is lost.
    QVERIFY(s->month.modified);
    env->prompter.answer(Cancel);
    w->close();
    QCOMPARE(env->prompter.texts(), QStringList{u"Kívánja menteni az eddig bevitt adatokat?"_s});
    QVERIFY(w->isVisible());
}

void TestSzerkeszto::distanceHint() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {1, 4});
    open(2025, 4, false);
    s->distances.at(3, 4) = DistanceCell{25, 3};
    selectPartner(3);
    QCOMPARE(w->lblTavolsag->text(), u"Távolságuk 25 km, Megyeszékhely"_s);
    w->lstKesz->setCurrentRow(0);
    QCOMPARE(w->lblTavolsag->text(), u"Távolságuk 40 km, Közút"_s);
    selectPartner(1);
    QCOMPARE(w->lblTavolsag->text(), u"-"_s);
}

void TestSzerkeszto::validationFrameAndErrorList() {
    s->distances.at(2, 3) = DistanceCell{0, 1};
    open(2025, 4);
    selectPartner(2);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    QCOMPARE(w->lblKisHiba->text(), u"Nincs hiba."_s);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    QCOMPARE(w->lblKisHiba->text(), u"1 kisebb hiba."_s);
    QCOMPARE(w->lblNagyHiba->text(), u"0 súlyos hiba."_s);
    QCOMPARE(w->errorPicture(), ErrorPicture::Minor);
    QCOMPARE(w->imgHiba->pixmap().toImage(), w->imlHiba[1].toImage());
    QVERIFY(w->chkHiba->isEnabled());
    QCOMPARE(lines(w->hibaWindow->lstHiba),
             QStringList{u"1. napon Partner 2 - Város 2 és Partner 3 - Város 3, Fő utca 3 között 0 km a távolság."_s});

    QVERIFY(!w->hibaWindow->isVisible());
    w->chkHiba->click();
    QVERIFY(w->hibaWindow->isVisible());
    w->chkHiba->click();
    QVERIFY(!w->hibaWindow->isVisible());
    w->chkHiba->click();
    w->hibaWindow->close();
    QVERIFY(!w->chkHiba->isChecked());
    QVERIFY(!w->hibaWindow->isVisible());

    // Deleting the faulty leg clears the frame, the box and the list.
    w->chkHiba->click();
    QTest::mouseClick(w->cmdTorol, Qt::LeftButton);
    QCOMPARE(w->lblKisHiba->text(), u"Nincs hiba."_s);
    QCOMPARE(w->errorPicture(), ErrorPicture::None);
    QVERIFY(!w->chkHiba->isEnabled());
    QVERIFY(!w->chkHiba->isChecked());
    QVERIFY(!w->hibaWindow->isVisible());
    QCOMPARE(w->hibaWindow->lstHiba->count(), 0);
}

void TestSzerkeszto::severeErrorFrame() {
    s->distances.at(4, 6) = DistanceCell{0, 1};
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 7, {4, 4, 6});
    open(2025, 4, false);
    QCOMPARE(w->lblKisHiba->text(), u"1 kisebb hiba. "_s);
    QCOMPARE(w->lblNagyHiba->text(), u"1 súlyos hiba."_s);
    QCOMPARE(w->errorPicture(), ErrorPicture::Severe);
    QCOMPARE(w->hibaWindow->lstHiba->count(), 2);
    QCOMPARE(w->hibaWindow->lstHiba->item(0)->text(), u"7. napon Partner 4 - Város 4 kétszer szerepel egymás után."_s);
}

void TestSzerkeszto::errorListFollowsItsWindow() {
    open(2025, 4);
    frmHiba* h = w->hibaWindow;
    QCOMPARE(h->windowTitle(), mainCaption() + u" - Hibalista -"_s);
    h->show();
    h->resize(400, 300);
    QCOMPARE(h->lstHiba->width(), 400 - twipsToPixels(h, 120));
    QCOMPARE(h->lstHiba->height(), 300 - twipsToPixels(h, 450));
}

void TestSzerkeszto::seasonBoxesExcludeEachOther() {
    s->multipliers[kAirConditioningRow].value = 1.5f;
    s->multipliers[kWinterRow].value = 2.0f;
    s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
    MonthLog& log = s->month;
    log.stops.reset(1);
    s->distances.at(1, 2) = DistanceCell{100, 1};
    setDay(log, 1, {1, 2});
    open(2025, 4, false);
    QCOMPARE(w->totalCost(), 3000);
    w->chkKlima->click();
    QCOMPARE(w->season(), 1.5f);
    QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 4000 Ft"_s);
    w->chkTeliUzem->click();
    QVERIFY(!w->chkKlima->isChecked());
    QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 5000 Ft"_s);
    w->chkKlima->click();
    QVERIFY(!w->chkTeliUzem->isChecked());
    w->chkKlima->click();
    QCOMPARE(w->season(), 1.0f);
    QCOMPARE(w->lblOsszKoltseg->text(), u"Összes költség: 3000 Ft"_s);
    QCOMPARE(w->dayFuelPrices()[29], 250);
}

void TestSzerkeszto::printAndCostRefusals() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {3});
    open(2025, 4, false);
    QTest::mouseClick(w->cmdNyomtat, Qt::LeftButton);
    QCOMPARE(env->prompter.last(), u"Nincs elég adat megadva a nyomtatáshoz."_s);
    QCOMPARE(env->prompter.asked.last().icon, MsgIcon::Exclamation);
    QTest::mouseClick(w->cmdKoltseg, Qt::LeftButton);
    QCOMPARE(env->prompter.last(), u"Nincsenek benzinárak megadva."_s);
    QCOMPARE(env->prompter.asked.last().icon, MsgIcon::Exclamation);
    s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
    QTest::mouseClick(w->cmdKoltseg, Qt::LeftButton);
    QCOMPARE(env->prompter.last(), u"Nincs elég út megadva a költségkimutatáshoz."_s);
    QCOMPARE(env->prompter.asked.last().icon, MsgIcon::Information);
    QVERIFY(previews.isEmpty());
}

void TestSzerkeszto::printAndCostOpenThePreview() {
    s->multipliers[kWinterRow].value = 1.25f;
    s->fuelPrices = {FuelPrice{QDate(2025, 1, 1), 250}};
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {3, 1});
    open(2025, 4, false);
    QTest::mouseClick(w->cmdNyomtat, Qt::LeftButton);
    QCOMPARE(w->printMode(), PrintMode::Logbook);
    w->chkTeliUzem->click();
    QTest::mouseClick(w->cmdKoltseg, Qt::LeftButton);
    QCOMPARE(w->printMode(), PrintMode::CostStatement);
    QCOMPARE(previews.size(), 2);
    QCOMPARE(previews[0].mode, PrintMode::Logbook);
    QCOMPARE(previews[1].mode, PrintMode::CostStatement);
    QVERIFY(!previews[1].airConditioning && previews[1].winter);
    QVERIFY(env->prompter.asked.isEmpty());
}

void TestSzerkeszto::databaseRoundTrip() {
    MonthLog& log = s->month;
    log.stops.reset(1);
    setDay(log, 1, {1, 2});
    open(2025, 4, false);
    bool hiddenMeanwhile = false;
    w->openDatabase = [&] {
        hiddenMeanwhile = !w->isVisible();
        s->partners.append(Partner{u"Új"_s, u"Pécs"_s, QString()});
        s->distances.resize(10);
        s->distances.at(1, 2) = DistanceCell{0, 1};
    };
    QTest::mouseClick(w->cmdAdatBazis, Qt::LeftButton);
    QVERIFY(hiddenMeanwhile);
    QVERIFY(w->isVisible());
    QCOMPARE(w->lstPartnerek->count(), 10);
    QCOMPARE(w->lstPartnerek->item(9)->text(), u"Új - Pécs"_s);
    QCOMPARE(w->lstPartnerek->item(9)->data(Qt::UserRole).toInt(), 10);
    QCOMPARE(w->lstKesz->currentRow(), 1);
    QCOMPARE(w->lblKisHiba->text(), u"1 kisebb hiba."_s); // the distance changed there
    QCOMPARE(w->lblKmAHonapban->text(), u"0 km ebben a hónapban."_s);
    QVERIFY(log.modified);
}

void TestSzerkeszto::databaseExitClosesWithoutAsking() {
    open(2025, 4);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    QVERIFY(s->month.modified);
    months->hide();
    w->openDatabase = [&] { s->mainWindowTag = u"exit"_s; };
    QTest::mouseClick(w->cmdAdatBazis, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(env->prompter.asked.isEmpty());
    QVERIFY(!s->month.modified);
    QVERIFY(months->isVisible());
    // A later editor does not take the old request for its own.
    w.reset();
    showEditor(*s, true, months.get());
    frmSzerkeszto* next = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* e = qobject_cast<frmSzerkeszto*>(top); e && e->isVisible())
            next = e;
    QVERIFY(next);
    QCOMPARE(s->mainWindowTag, QString());
    QVERIFY(next->testAttribute(Qt::WA_DeleteOnClose));
    QPointer<frmSzerkeszto> guard(next);
    QVERIFY(next->close());
    QTRY_VERIFY(guard.isNull());
}

void TestSzerkeszto::programExitClosesWithoutGoingBack() {
    QWidget mainWindow;
    mainWindow.setObjectName(u"frmMain"_s);
    mainWindow.show();
    open(2025, 4);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    months->hide();
    s->mainWindowTag = u"exit"_s;
    QVERIFY(w->close());
    QVERIFY(env->prompter.asked.isEmpty());
    QVERIFY(!months->isVisible());
    QCOMPARE(s->mainWindowTag, u"exit"_s);
}

void TestSzerkeszto::closingWithoutChangesAsksNothing() {
    open(2025, 4);
    months->hide();
    QTest::mouseClick(w->cmdVissza, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QVERIFY(env->prompter.asked.isEmpty());
    QVERIFY(months->isVisible());
}

void TestSzerkeszto::cancelKeepsTheEditorOpen() {
    open(2025, 4);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    w->chkHiba->setEnabled(true);
    env->prompter.answer(Cancel);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(env->prompter.last(), u"Kívánja menteni az eddig bevitt adatokat?"_s);
    QCOMPARE(env->prompter.asked.last().buttons, Yes | No | Cancel);
    QCOMPARE(env->prompter.asked.last().icon, MsgIcon::Question);
    QCOMPARE(dayStops(s->month, 1), ints({3}));
    QVERIFY(s->month.modified);
    QVERIFY(!months->isVisible());
}

void TestSzerkeszto::yesSavesAndNoDiscards() {
    open(2025, 4);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    env->prompter.answer(No);
    QVERIFY(w->close());
    QVERIFY(!QFile::exists(s->carPath(u"2025apr.rvn"_s)));
    QVERIFY(months->isVisible());

    months->hide();
    open(2025, 4);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    env->prompter.answer(Yes);
    QVERIFY(w->close());
    QVERIFY(QFile::exists(s->carPath(u"2025apr.rvn"_s)));
    QVERIFY(!s->month.modified);
    QVERIFY(months->isVisible());
}

void TestSzerkeszto::failedSaveKeepsTheMonth() {
    // The car's directory lies under a plain file, so nothing can be written there.
    env->write(u"Users/blocked"_s, "x");
    s->carDir = u"Users/blocked/ABC123/"_s;
    open(2025, 4);
    selectPartner(3);
    QTest::mouseClick(w->cmdHozzaAd, Qt::LeftButton);
    w->txtComment->setText(u"fontos"_s);
    env->prompter.answer(Yes);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(env->prompter.asked.size(), 2);
    QCOMPARE(env->prompter.asked.last().icon, MsgIcon::Critical);
    QCOMPARE(env->terminated, -1);
    QCOMPARE(dayStops(s->month, 1), ints({3}));
    QCOMPARE(s->month.comments[0], u"fontos"_s);
    QVERIFY(s->month.modified);
    // The save button reports the same way and keeps the editor too.
    QTest::mouseClick(w->cmdMent, Qt::LeftButton);
    QCOMPARE(env->prompter.asked.size(), 3);
    QVERIFY(w->isVisible());
    QCOMPARE(env->terminated, -1);
}

QTEST_MAIN(TestSzerkeszto)
#include "tst_szerkeszto.moc"
