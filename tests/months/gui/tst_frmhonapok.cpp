#include "months/gui/frmHonapok.h"

#include "logbookfixtures.h"
#include "months/newmonth.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QStringList lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// A logged-in car with n partners (1 and 2 30 km apart unless told otherwise), its logbooks of
// {year, month, km}, and the window, whose editor is replaced by a recorder.
struct Harness {
    explicit Harness(int partners = 2, bool distances = true, std::initializer_list<std::array<int, 3>> months = {}) {
        env.loginCar();
        for (int i = 1; i <= partners; ++i)
            env.state.partners.append(Partner{u"Partner %1"_s.arg(i), u"Győr"_s, QString()});
        env.state.distances.reset(partners);
        if (distances && partners >= 2)
            env.state.distances.at(1, 2).distance = env.state.distances.at(2, 1).distance = 30;
        for (const auto& [year, month, km] : months)
            env.write(u"Users/ABC123/"_s + newMonthFileName(year, month), logbookBytes(year, month, km));
        mainWindow.setWindowTitle(u"Rovanta+ 2.2"_s);
        w = std::make_unique<frmHonapok>(env.state, &mainWindow);
        w->openEditor = [this](bool newMonth) { opened << newMonth; };
    }
    TestEnv env;
    QWidget mainWindow;
    std::unique_ptr<frmHonapok> w;
    QList<bool> opened;
};

} // namespace

class TestFrmHonapok : public QObject {
    Q_OBJECT
private slots:
    void carWithoutLogbooks() {
        Harness h;
        frmHonapok& w = *h.w;
        QCOMPARE(w.windowTitle(), u"Rovanta+ 2.2 - Nyilvántartások -"_s);
        for (const char* name : {"lstFile", "lstTmp", "cboEv", "lstHonapok", "lblFileInfo", "txtEvSzam", "cmdPlus",
                                 "cmdMinus", "cboHonapok", "chkMinta", "txtKm", "chkNap1", "chkSzunnap", "chkPontos",
                                 "cmdSzerkesztUj", "lblStatusz", "pgbStatusz", "cmdSzerkeszt", "cmdTorol", "cmdVissza",
                                 "cmdSugo"})
            QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
        QCOMPARE(w.lstHonapok->count(), 0);
        QCOMPARE(w.lblFileInfo->text(), u"-"_s);
        QVERIFY(!w.cmdSzerkeszt->isEnabled());
        QVERIFY(!w.cmdTorol->isEnabled());
        QCOMPARE(w.cboEv->count(), 1);
        QCOMPARE(w.cboEv->itemText(0), u"Mind"_s);
        QVERIFY(h.env.prompter.asked.isEmpty());
        QCOMPARE(w.chkNap[1]->text(), u"vasárnap"_s);
        for (int d = 1; d <= 7; ++d)
            QCOMPARE(w.chkNap[size_t(d)]->isChecked(), d >= 2 && d <= 6);
        QVERIFY(!w.chkSzunnap->isChecked());
    }

    void logbooksListedByYearAndMonth() {
        Harness h(2, true, {{2002, 10, 300}, {2002, 9, 200}, {2003, 1, 100}});
        frmHonapok& w = *h.w;
        QCOMPARE(w.cboEv->count(), 3); // 2002 once, 2003, "Mind"
        QCOMPARE(w.cboEv->currentText(), u"Mind"_s);
        QCOMPARE(lines(w.lstHonapok), (QStringList{u"2002. Szeptember"_s, u"2002. Október"_s, u"2003. Január"_s}));
        QCOMPARE(lines(w.lstTmp), (QStringList{u"200209"_s, u"200210"_s, u"200301"_s}));
        QCOMPARE(w.lblFileInfo->text(), u"Ebben a hónapban 200 km"_s);
        w.lstHonapok->setCurrentRow(1);
        QCOMPARE(w.lblFileInfo->text(), u"Ebben a hónapban 300 km"_s);
        QCOMPARE(w.selectedFile(), u"2002okt.rvn"_s);
        w.cboEv->setCurrentIndex(1);
        w.cboEvClick();
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2003. Január"_s});
    }

    void unreadableVersionWarnsOnOpen() {
        Harness h(2, true, {{2002, 2, 10}});
        h.env.write(u"Users/ABC123/2002jan.rvn"_s, logbookBytes(2002, 1, 10, u"9.1"_s));
        h.w = std::make_unique<frmHonapok>(h.env.state, &h.mainWindow); // opened again
        QCOMPARE(h.env.prompter.asked.size(), 1);
        QVERIFY(h.env.prompter.last().contains(u"2002jan.rvn fájl valószínűleg Rovanta nyilvántartás"_s));
        QCOMPARE(lines(h.w->lstHonapok), QStringList{u"2002. Február"_s});
    }

    void deletingAMonth() {
        Harness h(2, true, {{2002, 9, 200}, {2002, 10, 300}});
        frmHonapok& w = *h.w;
        h.env.prompter.answer(No);
        w.cmdTorol->click();
        QCOMPARE(h.env.prompter.last(), u"Biztos törli a kiválasztott hónapot?\r\n(2002. Szeptember)"_s);
        QCOMPARE(w.lstHonapok->count(), 2);
        h.env.prompter.answer(Yes);
        w.cmdTorol->click();
        QCOMPARE(h.env.prompter.last(), u"2002. Szeptember törölve."_s);
        QVERIFY(!QFile::exists(h.env.state.carPath(u"2002sze.rvn"_s)));
        QVERIFY(QFile::exists(h.env.state.carPath(u"2002okt.rvn"_s)));
        QCOMPARE(w.lblFileInfo->text(), u"-"_s);
        QVERIFY(!w.cmdTorol->isEnabled());
        w.cboEvClick(); // the filter again: the deleted month stays away
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2002. Október"_s});
    }

    void yearButtonsAndNumericBoxes() {
        Harness h;
        frmHonapok& w = *h.w;
        w.txtEvSzam->setText(u"2002"_s);
        w.cmdPlus->click();
        QCOMPARE(w.txtEvSzam->text(), u"2003"_s);
        w.cmdMinus->click();
        w.cmdMinus->click();
        QCOMPARE(w.txtEvSzam->text(), u"2001"_s);
        QTest::keyClicks(w.txtEvSzam, u"x"_s);
        QCOMPARE(w.txtEvSzam->text(), u"2001"_s);
        w.txtKm->clear();
        QTest::keyClicks(w.txtKm, u"25000"_s);
        QCOMPARE(w.txtKm->text(), u"20000"_s);
        w.txtKm->setText(u"-7"_s);
        QCOMPARE(w.txtKm->text(), u"0"_s);
    }

    void sampleControlsShowWithTheBox() {
        Harness h;
        frmHonapok& w = *h.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const int small = w.height();
        w.chkMinta->click();
        QVERIFY(w.txtKm->isVisible());
        QVERIFY(w.fraNapok->isVisible());
        QTRY_VERIFY(w.height() > small);
        w.chkMinta->click();
        QVERIFY(!w.txtKm->isVisible());
        QTRY_COMPARE(w.height(), small);
    }

    void newMonthRefusals() {
        Harness h(2, true, {{2002, 1, 10}});
        frmHonapok& w = *h.w;
        w.txtEvSzam->setText(u"1e3"_s);
        w.cmdSzerkesztUj->click();
        QCOMPARE(h.env.prompter.last(), badYearMessage());
        w.txtEvSzam->setText(u"2002"_s);
        w.cboHonapok->setCurrentIndex(0);
        h.env.state.month.year = 1999;
        h.env.prompter.answer(No);
        w.cmdSzerkesztUj->click();
        QCOMPARE(h.env.prompter.last(), overwriteMonthQuestion());
        QCOMPARE(h.env.read(u"Users/ABC123/2002jan.rvn"_s), logbookBytes(2002, 1, 10));
        QCOMPARE(h.env.state.month.year, 1999);

        w.chkMinta->setChecked(true);
        w.cboHonapok->setCurrentIndex(1);
        w.cmdSzerkesztUj->click();
        QCOMPARE(h.env.prompter.last(), u"Kérem adja meg a kívánt távolságot."_s);
        w.txtKm->setText(u"300"_s);
        for (int d = 1; d <= 7; ++d)
            w.chkNap[size_t(d)]->setChecked(false);
        w.cmdSzerkesztUj->click(); // no working day
        QCOMPARE(h.env.prompter.asked.size(), 4);
        QVERIFY(h.opened.isEmpty());
        QVERIFY(w.cmdSzerkesztUj->isEnabled());
        QVERIFY(w.tag.isEmpty());
        QVERIFY(w.lblStatusz->isHidden());
    }

    void onlyTheBasePartner() {
        Harness h(1);
        h.w->cmdSzerkesztUj->click();
        QCOMPARE(h.env.prompter.texts(), QStringList{u"Nincsenek adatok az adatbázisban."_s});
        QCOMPARE(h.env.prompter.asked.first().icon, MsgIcon::Exclamation);
        QVERIFY(h.opened.isEmpty());
    }

    void newEmptyMonthHandsOver() {
        Harness h;
        frmHonapok& w = *h.w;
        w.show();
        h.env.state.month.startOdometer = 777;
        h.env.state.month.fileName = u"2001dec.rvn"_s;
        w.txtEvSzam->setText(u"2028"_s);
        w.cboHonapok->setCurrentIndex(1);
        QTest::keyClick(w.txtEvSzam, Qt::Key_Return);
        QCOMPARE(h.opened, QList<bool>{true});
        QCOMPARE(h.env.state.month.month, 2);
        QVERIFY(h.env.state.month.fileName.isEmpty());
        QCOMPARE(h.env.state.month.startOdometer, 0);
        QCOMPARE(w.tag, u"szerkeszt"_s);
        QVERIFY(!w.isVisible());
        // The editor closes and shows the window again: list refreshed.
        h.env.write(u"Users/ABC123/2028feb.rvn"_s, logbookBytes(2028, 2, 42));
        w.show();
        QVERIFY(w.tag.isEmpty());
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2028. Február"_s});
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(h.mainWindow.isVisible());
    }

    void sampleMonthHandsOver() {
        Harness h(3);
        frmHonapok& w = *h.w;
        w.txtEvSzam->setText(u"2026"_s);
        w.cboHonapok->setCurrentIndex(2);
        w.chkMinta->setChecked(true);
        QTest::keyClicks(w.txtKm, u"1200"_s);
        w.cmdSzerkesztUj->click();
        QCOMPARE(h.opened, QList<bool>{false});
        QCOMPARE(h.env.state.mainWindowTag, u"korábbi"_s);
        QVERIFY(h.env.state.month.modified);
        QCOMPARE(h.env.state.month.stops.at(2, 1), 1); // Monday the 2nd
        QCOMPARE(h.env.state.month.stops.at(1, 1), 0); // Sunday the 1st
    }

    // Rounds of 60 km on 22 working days cannot come under 1320 km; 600 km fits on up to eleven
    // days (660 km, the limit).
    void targetReachingMonth_data() {
        QTest::addColumn<bool>("boxTicked");
        QTest::addColumn<int>("target");
        QTest::addColumn<QList<int>>("answers"); // to the boxes in turn
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("tripDays"); // -1: the present month; 0: no month
        const QString tooFar = u"Túl nagyok a távolságok, nem sikerült\r\na hibakorláton belül megközelíteni a kívánt távolságot."_s;
        const QString question = u"Készíthető olyan minta is, amely a kért 600 km-t a hibahatáron belül eléri "
                                 u"(11 napon, összesen 660 km).\r\nKívánja ezt a mintát használni?"_s;
        QTest::newRow("Igen") << false << 600 << QList<int>{Ok, Yes} << QStringList{tooFar, question} << 11;
        QTest::newRow("Nem") << false << 600 << QList<int>{Ok, No} << QStringList{tooFar, question} << -1;
        QTest::newRow("no such month: as before") << false << 50 << QList<int>{} << QStringList{tooFar} << -1;
        QTest::newRow("box") << true << 600 << QList<int>{} << QStringList{} << 11;
        QTest::newRow("box, no such month") << true << 50 << QList<int>{} << QStringList{
            u"A legrövidebb kör 60 km; 50 km-hez (a hibahatárral legfeljebb 55 km-ig) egyetlen nap sem fér bele."_s} << 0;
    }
    void targetReachingMonth() {
        QFETCH(bool, boxTicked);
        QFETCH(int, target);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, texts);
        QFETCH(int, tripDays);
        Harness h;
        frmHonapok& w = *h.w;
        for (int a : answers)
            h.env.prompter.answer(MsgButton(a));
        w.txtEvSzam->setText(u"2026"_s);
        w.cboHonapok->setCurrentIndex(2);
        w.chkMinta->setChecked(true);
        w.chkPontos->setChecked(boxTicked);
        w.txtKm->setText(QString::number(target));
        w.cmdSzerkesztUj->click();
        QCOMPARE(h.env.prompter.texts(), texts);
        QCOMPARE(h.opened, tripDays == 0 ? QList<bool>{} : QList<bool>{false});
        int days = 0;
        for (int d = 1; d <= kLogDays; ++d)
            days += h.env.state.month.stops.at(d, 1) != 0;
        if (tripDays > 0)
            QCOMPARE(std::pair(days, h.env.state.month.monthKm), std::pair(11, 660));
        else if (tripDays < 0)
            QCOMPARE(days, 22);
    }

    void fallbackAnsweredNoOpensAnEmptyMonth() {
        Harness h(2, false);
        h.w->chkMinta->setChecked(true);
        h.w->txtKm->setText(u"300"_s);
        h.env.prompter.answer(No);
        h.w->cmdSzerkesztUj->click();
        QVERIFY(h.env.prompter.last().startsWith(u"Nincs megadava a távolság"_s));
        QCOMPARE(h.opened, QList<bool>{true});
        QCOMPARE(h.env.state.month.stopWidth, 0);
    }

    void openingAStoredMonth() {
        Harness h(2, true, {{2002, 9, 200}});
        frmHonapok& w = *h.w;
        QByteArray damaged = logbookBytes(2002, 9, 200);
        damaged.replace("\r\n200,1\r\n", "\r\n200,0\r\n");
        h.env.write(u"Users/ABC123/2002sze.rvn"_s, damaged);
        w.cmdSzerkeszt->click();
        QVERIFY(h.env.prompter.last().contains(u"2002sze.rvn"_s));
        QVERIFY(h.opened.isEmpty());
        QVERIFY(w.tag.isEmpty());

        h.env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        w.show();
        w.lstHonapok->setFocus();
        QTest::keyClick(w.lstHonapok, Qt::Key_Return);
        QCOMPARE(h.opened, QList<bool>{false});
        QCOMPARE(h.env.state.month.fileName, u"2002sze.rvn"_s);
        QCOMPARE(h.env.state.mainWindowTag, u"korábbi"_s);
        QVERIFY(!w.isVisible());
        w.close(); // the editor has taken over: the main window stays hidden
        QVERIFY(!h.mainWindow.isVisible());
    }
};

QTEST_MAIN(TestFrmHonapok)
#include "tst_frmhonapok.moc"
