#include "database/gui/frmAdatok.h"
#include "database/gui/frmInput.h"
#include "database/partners.h"
#include "../dbtestutil.h"
#include "storedfiles.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// A logged-in car with n partners saved in its file; the default route type is 3.
struct Fixture {
    TestEnv env;
    explicit Fixture(int partners = 9) {
        env.state.defaultRouteType = 3;
        dbtest::loginWithSavedPartners(env, partners);
    }
    AppState& s() { return env.state; }
};

// Answers the partner dialog with the given texts.
std::function<void(frmInput&)> typing(const Partner& p) {
    return [p](frmInput& d) {
        d.txtNev->setText(p.name);
        d.cboVaros->setEditText(p.city);
        d.txtCim->setText(p.address);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
    };
}

void selectPair(frmAdatok& w, int from, int to) {
    w.cboHonnan->setCurrentIndex(from - 1);
    w.cboHova->setCurrentIndex(to - 1);
}

// A text as the user's typing leaves it.
void edit(QLineEdit* box, const QString& text) {
    box->setText(text);
    emit box->textEdited(text);
}

void choosePriceDay(frmAdatok& w, int year, int month, int day) {
    w.txtEv->setText(QString::number(year));
    w.cboHonapok->setCurrentIndex(month - 1);
    w.cboNapok->setCurrentIndex(day - 1);
}

} // namespace

class TestFrmAdatok : public QObject {
    Q_OBJECT
private slots:
    void opensOnThePartnersWithTheirCount() {
        Fixture f(4);
        frmAdatok w(f.s(), DatabaseMode::Main);
        QCOMPARE(w.tag, u"main"_s);
        QCOMPARE(w.windowTitle(), u"Rovanta+ 2.2 - Adatbázis -"_s);
        QCOMPARE(w.lstPartnerek->count(), 4);
        QCOMPARE(w.lblPartnerekSzama->text(), u"3 partner az adatbázisban"_s);
        w.lstPartnerek->setCurrentRow(2);
        QCOMPARE(w.selectedPartner(), 3);
        QCOMPARE(w.lblCim->text(), u"Város3, Utca 3."_s);
        QVERIFY(w.cmdTorol->isEnabled());
        w.lstPartnerek->setCurrentRow(0); // the own base stays
        QVERIFY(!w.cmdTorol->isEnabled());
        QCOMPARE(frmAdatok(f.s(), DatabaseMode::Editor).tag, u"szerk"_s);
    }

    void aNewPartnerIsAddedThroughTheDialog() {
        Fixture f(3);
        frmAdatok w(f.s(), DatabaseMode::Main);
        QString caption;
        w.runInput = [&](frmInput& d) {
            caption = d.windowTitle();
            QCOMPARE(d.tag, u"ujadat"_s);
            QCOMPARE(w.resultFlag, u"N"_s);
            typing(Partner{u" Új Kft. "_s, u"Eger"_s, {}})(d);
        };
        QTest::mouseClick(w.cmdUj, Qt::LeftButton);
        QCOMPARE(caption, u"Rovanta+ 2.2 - Adatbázis - - Új partner -"_s);
        QCOMPARE(w.resultFlag, u"I"_s);
        QCOMPARE(f.s().partner(4).name, u"Új Kft."_s);
        QCOMPARE(w.lstPartnerek->currentItem()->text(), u"Új Kft. - Eger"_s);
        QCOMPARE(w.lblPartnerekSzama->text(), u"3 partner az adatbázisban"_s);
        QCOMPARE(w.cboHova->count(), 4);
        QCOMPARE(storedPartners(f.s()).partnerCount(), 4);

        w.runInput = [](frmInput& d) { QTest::mouseClick(d.cmdMegsem, Qt::LeftButton); };
        QTest::mouseClick(w.cmdUj, Qt::LeftButton);
        QCOMPARE(f.s().partnerCount(), 4);
    }

    void aFullDatabaseSaysSoBeforeTheDialog() {
        Fixture f(2);
        f.s().partners.resize(kMaxPartners);
        frmAdatok w(f.s(), DatabaseMode::Main);
        bool asked = false;
        w.runInput = [&](frmInput&) { asked = true; };
        w.cmdUjClick();
        QVERIFY(!asked);
        QCOMPARE(f.env.prompter.last(), u"Az adatbázisban legfeljebb 5000 partner lehet."_s);
    }

    void modifyingAsksAboutTheStoredLogbooks() {
        Fixture f(3);
        frmAdatok w(f.s(), DatabaseMode::Editor);
        QVector<std::pair<Partner, Partner>> offered;
        w.openPartnerChange = [&](const Partner& o, const Partner& n) { offered.append({o, n}); };
        w.lstPartnerek->setCurrentRow(1);
        const Partner before = f.s().partner(2);
        const Partner after{u"P2 Zrt."_s, u"Város2"_s, u"Új út 1."_s};
        w.runInput = [&](frmInput& d) {
            QCOMPARE(d.tag, u"modosit"_s);
            QCOMPARE(d.txtNev->text(), u"P2"_s);
            QVERIFY(d.windowTitle().endsWith(u" - Adatmódosítás -"_s));
            typing(after)(d);
        };
        f.env.prompter.answer(Yes); // go on although a logbook is open
        f.env.prompter.answer(Yes); // carry into the stored logbooks
        QTest::mouseClick(w.cmdModosit, Qt::LeftButton);
        QCOMPARE(f.env.prompter.texts(),
                 QStringList({u"Ha módosít egy adatot, és az már szerepel az éppen\r\nszerkesztett nyilvántartásban, "
                              u"az ott is módosulni fog.\r\n\r\nKívánja folytatni?"_s,
                              u"Kívánja a már meglévő nyilvántartásaiban is megváltoztatni a most módosított partner "
                              u"adatait?"_s}));
        QCOMPARE(w.lstPartnerek->item(1)->text(), u"P2 Zrt. - Város2, Új út 1."_s);
        QCOMPARE(w.cboHonnan->itemText(1), u"P2 Zrt. - Város2, Új út 1."_s);
        QCOMPARE(storedPartners(f.s()).partner(2), after);
        QCOMPARE(offered, (QVector<std::pair<Partner, Partner>>{{before, after}}));
        f.env.prompter.answer(No); // No at the first question changes nothing
        w.runInput = [](frmInput&) { QFAIL("the dialog must not open"); };
        w.cmdModositClick();
    }

    void deletingCorrectsTheOpenMonthOnlyInTheEditor() {
        Fixture f(9);
        MonthLog& m = f.s().month;
        m.stops.reset(3);
        m.stopWidth = 3;
        m.stops.at(10, 1) = 5;
        m.stops.at(10, 2) = 7;
        frmAdatok w(f.s(), DatabaseMode::Editor);
        w.lstPartnerek->setCurrentRow(4);
        QTest::mouseClick(w.cmdTorol, Qt::LeftButton);
        QCOMPARE(f.env.prompter.texts().size(), 2);
        QVERIFY(f.env.prompter.texts()[0].startsWith(u"Ha kitöröl egy adatot"_s));
        QCOMPARE(f.env.prompter.texts()[1], u"Biztos, hogy törli: P5 - Város5, Utca 5.?"_s);
        QCOMPARE(m.stops.at(10, 1), qint16(6));
        QCOMPARE(m.stops.at(10, 2), qint16(0));
        QCOMPARE(w.lblPartnerekSzama->text(), u"7 partner az adatbázisban"_s);
        QCOMPARE(w.lstPartnerek->currentItem()->text(), u"P6 - Város6"_s);
        QCOMPARE(storedPartners(f.s()).partnerCount(), 8);

        f.env.prompter.clear();
        frmAdatok main(f.s(), DatabaseMode::Main);
        main.lstPartnerek->setCurrentRow(2);
        f.env.prompter.answer(No);
        main.cmdTorolClick();
        QCOMPARE(f.s().partnerCount(), 8);
        main.cmdTorolClick(); // one question in the main window, and the month stays
        QCOMPARE(f.env.prompter.texts().size(), 2);
        QCOMPARE(f.s().partnerCount(), 7);
        QCOMPARE(m.stops.at(10, 1), qint16(6));
    }

    void deleteAllIsRefusedInTheEditor() {
        Fixture f(4);
        frmAdatok editor(f.s(), DatabaseMode::Editor);
        QTest::mouseClick(editor.cmdAdatTorles, Qt::LeftButton);
        QCOMPARE(f.env.prompter.last(),
                 u"Nem törölheti az adatbázist, mert akkor nem tudja folytatni a szerkesztést.\r\n"
                 u"Ha mindenképpen törölni akarja, előbb lépjen ki a szerkesztőből."_s);
        QCOMPARE(f.s().partnerCount(), 4);

        frmAdatok w(f.s(), DatabaseMode::Main);
        f.env.prompter.clear();
        w.cmdAdatTorlesClick();
        QCOMPARE(f.env.prompter.texts(),
                 QStringList({u"Biztos, hogy töröl minden adatot az adatbázisból?"_s, u"Minden adat törölve."_s}));
        QCOMPARE(w.lstPartnerek->count(), 1);
        QCOMPARE(storedPartners(f.s()).partnerCount(), 1);
    }

    void distancesAreEnteredBothWays() {
        Fixture f(6);
        frmAdatok w(f.s(), DatabaseMode::Main);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.tabAdatok->setCurrentWidget(w.picTavolsag);
        // Opens on the base against itself: nothing to edit.
        QCOMPARE(w.txtTav->text(), u"0"_s);
        QVERIFY(!w.txtTav->isEnabled());
        QVERIFY(!w.cboSzorzo->isEnabled());
        QCOMPARE(w.cboSzorzo->currentIndex(), 2); // the default route type

        selectPair(w, 2, 5);
        QVERIFY(w.txtTav->isEnabled());
        w.txtTav->setFocus();
        w.txtTav->selectAll();
        QTest::keyClicks(w.txtTav, u"12"_s);
        QTest::keyClick(w.txtTav, Qt::Key_Return);
        QTRY_VERIFY(w.cboHova->hasFocus());
        QCOMPARE(f.s().distances.at(5, 2).distance, qint16(12));

        selectPair(w, 5, 2);
        QCOMPARE(w.txtTav->text(), u"12"_s);
        w.cboSzorzo->setCurrentIndex(4);
        emit w.cboSzorzo->activated(4);
        QCOMPARE(f.s().distances.at(2, 5).routeType, qint16(5));
        QCOMPARE(f.s().distances.at(5, 2).routeType, qint16(5));

        w.txtTav->setFocus();
        QTest::keyClicks(w.txtTav, u"x"_s);
        QCOMPARE(w.txtTav->text(), u"12"_s);
        w.txtTav->clear();
        w.cboHonnan->setFocus(); // a cleared box stores 0 when left
        QTRY_COMPARE(f.s().distances.at(2, 5).distance, qint16(0));
        QCOMPARE(w.txtTav->text(), u"0"_s);
    }

    void aNewPairStoresWhatWasTypedAndCancelRestoresTheFile() {
        Fixture f(4);
        frmAdatok w(f.s(), DatabaseMode::Main);
        selectPair(w, 1, 2);
        QTest::keyClicks(w.txtTav, u"5"_s); // appended: 1025
        selectPair(w, 3, 4); // without leaving the box
        QCOMPARE(f.s().distances.at(2, 1).distance, qint16(1025));
        QCOMPARE(f.s().distances.at(3, 4).distance, dbtest::cellKm(3, 4));
        QTest::mouseClick(w.cmdMentes, Qt::LeftButton);
        QCOMPARE(storedPartners(f.s()).distances.at(2, 1).distance, qint16(1025));
        selectPair(w, 1, 2);
        edit(w.txtTav, u"22"_s);
        QTest::mouseClick(w.cmdMegsem, Qt::LeftButton);
        QCOMPARE(f.s().distances.at(1, 2).distance, qint16(1025));
        QCOMPARE(w.txtTav->text(), u"1025"_s);
        QVERIFY(!w.distancesPending());
    }

    void fillTavComboKeepsThePairDisplayQuiet() {
        Fixture f(3);
        frmAdatok w(f.s(), DatabaseMode::Editor);
        selectPair(w, 2, 3);
        int shown = 0;
        connect(w.txtTav, &QLineEdit::textChanged, &w, [&] { ++shown; });
        w.FillTavCombo();
        QCOMPARE(w.tag, u"szerk"_s);
        QCOMPARE(shown, 1); // once, for the pair after the fill
        QCOMPARE(w.cboHova->currentIndex(), 0);
        QCOMPARE(w.cboHova->itemData(2).toInt(), 3);
    }

    void pricesAreEnteredByDay() {
        Fixture f(2);
        f.s().fuelPrices = {{QDate(2002, 3, 1), 250}};
        frmAdatok w(f.s(), DatabaseMode::Main);
        choosePriceDay(w, 2002, 3, 1);
        QCOMPARE(w.txtAr->text(), u"250"_s);
        w.cboNapok->setCurrentIndex(14);
        QCOMPARE(w.txtAr->text(), QString()); // no price that day
        QTest::keyClicks(w.txtAr, u"263.5"_s);
        QTest::keyClick(w.txtAr, Qt::Key_Return);
        QCOMPARE(w.txtAr->text(), u"264"_s);
        QTest::mouseClick(w.cmdBenzinMent, Qt::LeftButton);
        QVERIFY(!w.pricesPending());
        QCOMPARE(f.env.read(u"Users/ABC123/benzin.rvd"_s),
                 QByteArray("2\r\n#2002-03-01#\r\n250\r\n#2002-03-15#\r\n264\r\n"));

        // The price list shows every day; an emptied box takes the day's price away.
        QCOMPARE(w.lstArak->item(1)->text(), u"2002. 03. 15.  264 Ft/L"_s);
        emit w.lstArak->itemClicked(w.lstArak->item(1));
        QCOMPARE(w.selectedDate(), QDate(2002, 3, 15));
        edit(w.txtAr, QString());
        QTest::keyClick(w.txtAr, Qt::Key_Return);
        QCOMPARE(f.s().fuelPrices.size(), 1);
        QCOMPARE(w.lstArak->count(), 1);
    }

    void theDayListFollowsTheMonthAndLeapYears() {
        Fixture f(2);
        frmAdatok w(f.s(), DatabaseMode::Main);
        choosePriceDay(w, 2004, 1, 31);
        w.cboHonapok->setCurrentIndex(1);
        QCOMPARE(w.cboNapok->count(), 29);
        QCOMPARE(w.cboNapok->currentIndex(), 28);
        QTest::mouseClick(w.cmdPlusz, Qt::LeftButton);
        QCOMPARE(w.cboNapok->count(), 28);
        QTest::mouseClick(w.cmdMinusz, Qt::LeftButton);
        QTest::mouseClick(w.cmdMinusz, Qt::LeftButton);
        QTest::keyClicks(w.txtEv, u"x"_s);
        QCOMPARE(w.selectedDate(), QDate(2003, 2, 28));
    }

    void cancelAndTheTwoResetsOfThePrices() {
        Fixture f(2);
        f.env.write(u"Users/ABC123/benzin.rvd"_s, "1\r\n#2002-03-01#\r\n250\r\n");
        f.env.write(u"Users/b95.rvd"_s, "1\r\n#2002-01-01#\r\n199\r\n");
        LoadFuelPrices(f.s());
        frmAdatok w(f.s(), DatabaseMode::Main);
        choosePriceDay(w, 2002, 3, 1);
        edit(w.txtAr, u"300"_s);
        QTest::mouseClick(w.cmdBenzinMegsem, Qt::LeftButton);
        QCOMPARE(w.txtAr->text(), u"250"_s);

        f.env.prompter.answer(No);
        QTest::mouseClick(w.cmdAPEH, Qt::LeftButton);
        QVERIFY(f.env.prompter.last().endsWith(u"Biztos, hogy visszaállítja az eredeti adatokat?"_s));
        QCOMPARE(f.s().fuelPrices[0].price, qint16(250));
        QTest::mouseClick(w.cmdAPEH, Qt::LeftButton);
        QCOMPARE(f.env.prompter.last(), u"Az üzemanyagárak törölve, és az APEH által közzétett árak betöltve."_s);
        QCOMPARE(f.s().fuelPrices[0].price, qint16(199));
        QCOMPARE(w.txtAr->text(), QString());

        QTest::mouseClick(w.cmdMindentTorol, Qt::LeftButton);
        QVERIFY(f.env.prompter.texts().contains(u"Ezzel a művelettel minden bevitt üzemanyagárat\r\ntöröl az "
                                                 u"adatbázisából.\r\n\r\nBiztos, hogy törli az üzemanyagárakat?"_s));
        QCOMPARE(f.env.prompter.last(), u"Az üzemanyagárak törölve."_s);
        QVERIFY(f.s().fuelPrices.isEmpty());
        QCOMPARE(f.env.read(u"Users/ABC123/benzin.rvd"_s), QByteArray("0\r\n"));
    }

    void importOffersTheOtherCarsAndRefreshesThePartners() {
        Fixture f(3);
        CarRecord other;
        other.userName = u"Másik"_s;
        other.dirName = u"XYZ789"_s;
        f.s().cars.prepend(other); // car 1; the logged-in car becomes 2
        f.s().currentCar = 2;
        PartnerDatabase db{{f.s().partner(1), Partner{u"Idegen"_s, u"Ózd"_s, {}}}, {}};
        db.distances.reset(2);
        f.env.write(u"Users/XYZ789/data.rvd"_s, serializeDatabase(db, 1));

        frmAdatok w(f.s(), DatabaseMode::Main);
        QCOMPARE(w.lstUsers->count(), 1);
        QTest::mouseClick(w.cmdImport, Qt::LeftButton); // nothing chosen: nothing happens
        QVERIFY(f.env.prompter.asked.isEmpty());
        w.lstUsers->setCurrentRow(0);
        f.env.prompter.answer(No);
        QTest::mouseClick(w.cmdImport, Qt::LeftButton);
        QCOMPARE(f.env.prompter.last(), u"Másik partner-adatbáziából 1 partner csatolva a saját adatbázishoz."_s);
        QCOMPARE(w.lblPartnerekSzama->text(), u"3 partner az adatbázisban"_s);
        QCOMPARE(w.cboHova->count(), 4);
        QVERIFY(w.isEnabled());
        QVERIFY(!QApplication::overrideCursor());
    }

    void closingTheEditorsWindowWithoutPartners() {
        Fixture f(1);
        frmAdatok w(f.s(), DatabaseMode::Editor);
        w.show();
        f.env.prompter.answer(Yes); // keep editing the database
        w.reject();
        QVERIFY(w.isVisible());
        QCOMPARE(f.env.prompter.last(),
                 u"Nincsenek partnerek megadva. Így nem folytathatja a nyilvántartás szerkesztését.\r\n"
                 u"Kívánja folytatni az adatbázis szerkesztését?"_s);
        f.env.prompter.answer(No);
        w.reject();
        QVERIFY(!w.isVisible());
        QCOMPARE(f.s().mainWindowTag, u"exit"_s);

        Fixture g(2); // with partners it simply closes
        frmAdatok editor(g.s(), DatabaseMode::Editor);
        editor.show();
        editor.reject();
        QVERIFY(!editor.isVisible());
        QVERIFY(g.env.prompter.asked.isEmpty());
    }

    void closingWithUnsavedEditsAsks() {
        Fixture f(3);
        frmAdatok w(f.s(), DatabaseMode::Main);
        w.show();
        selectPair(w, 1, 2);
        edit(w.txtTav, u"44"_s);
        f.env.prompter.answer(Cancel);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(f.env.prompter.last(), u"A távolságok módosításai nincsenek elmentve.\r\n\r\nKívánja menteni őket?"_s);
        f.env.prompter.answer(No); // throw them away
        w.reject();
        QVERIFY(!w.isVisible());
        QCOMPARE(f.s().distances.at(1, 2).distance, dbtest::cellKm(1, 2));

        frmAdatok again(f.s(), DatabaseMode::Main);
        again.show();
        again.txtEv->setText(u"2002"_s);
        edit(again.txtAr, u"250"_s);
        f.env.prompter.answer(Yes); // save them
        again.reject();
        QVERIFY(!again.isVisible());
        QVERIFY(f.env.prompter.last().startsWith(u"Az üzemanyagárak módosításai nincsenek elmentve."_s));
        QVERIFY(f.env.read(u"Users/ABC123/benzin.rvd"_s).startsWith("1\r\n#2002-"));
    }
};

QTEST_MAIN(TestFrmAdatok)
#include "tst_frmadatok.moc"
