#include "months/gui/frmHonapok.h"

#include "editor/logbookfile.h"
#include "months/newmonth.h"
#include "storage/datafiles.h"
#include "logbookfixtures.h"
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

// A logged-in car with a database of n partners; 1 and 2 are 30 km apart when distances is set.
void car(TestEnv& env, int partners, bool distances = true) {
    env.loginCar();
    for (int i = 1; i <= partners; ++i)
        env.state.partners.append(Partner{i == 1 ? u"Alap Kft."_s : u"Partner %1"_s.arg(i), u"Győr"_s, QString()});
    env.state.distances.reset(partners);
    if (distances && partners >= 2) {
        env.state.distances.at(1, 2).distance = 30;
        env.state.distances.at(2, 1).distance = 30;
    }
}

QStringList lines(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList items(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

// The window with the editor replaced by a recorder.
struct Harness {
    explicit Harness(TestEnv& env)
        : owned((mainWindow.setWindowTitle(u"Rovanta+ 2.2"_s), std::make_unique<frmHonapok>(env.state, &mainWindow))),
          window(*owned) {
        window.openEditor = [this](bool newMonth) { opened << newMonth; };
    }
    QWidget mainWindow;
    std::unique_ptr<frmHonapok> owned;
    frmHonapok& window;
    QList<bool> opened;
};

} // namespace

class TestFrmHonapok : public QObject {
    Q_OBJECT
private slots:
    void carWithoutLogbooks() {
        TestEnv env;
        car(env, 2);
        Harness h(env);
        frmHonapok& w = h.window;
        QCOMPARE(w.windowTitle(), u"Rovanta+ 2.2 - Nyilvántartások -"_s);
        QCOMPARE(w.lstHonapok->count(), 0);
        QCOMPARE(w.lblFileInfo->text(), u"-"_s);
        QVERIFY(!w.cmdSzerkeszt->isEnabled());
        QVERIFY(!w.cmdTorol->isEnabled());
        QCOMPARE(items(w.cboEv), QStringList{u"Mind"_s});
        QCOMPARE(w.cboHonapok->count(), 12);
        QCOMPARE(w.cboHonapok->currentIndex(), QDate::currentDate().month() - 1);
        QCOMPARE(w.txtEvSzam->text(), QString::number(QDate::currentDate().year()));
        QVERIFY(env.prompter.asked.isEmpty());

        // Every named control is there to be found.
        for (const char* name : {"lstFile", "lstTmp", "cboEv", "lstHonapok", "lblFileInfo", "txtEvSzam", "cmdPlus",
                                 "cmdMinus", "cboHonapok", "chkMinta", "txtKm", "chkSzunnap", "cmdSzerkesztUj",
                                 "lblStatusz", "pgbStatusz", "cmdSzerkeszt", "cmdTorol", "cmdVissza", "cmdSugo"})
            QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
        QCOMPARE(w.cmdSzerkesztUj->text(), u"S&zerkeszt"_s);
        QCOMPARE(w.cmdSzerkeszt->text(), u"Szer&keszt"_s);
        QCOMPARE(w.cmdTorol->toolTip(), u"Kiválasztott hónap törlése"_s);
        QCOMPARE(w.cmdVissza->toolTip(), u"Visszalépés a főmenübe"_s);
        QCOMPARE(w.lblStatusz->text(), u"Töltés..."_s);
        // The day boxes: Monday to Friday ticked, Sunday is box 1.
        QCOMPARE(w.findChild<QCheckBox*>(u"chkNap1"_s)->text(), u"vasárnap"_s);
        QCOMPARE(w.findChild<QCheckBox*>(u"chkNap2"_s)->text(), u"hétfő"_s);
        for (int d = 1; d <= 7; ++d)
            QCOMPARE(w.chkNap[size_t(d)]->isChecked(), d >= 2 && d <= 6);
        QVERIFY(!w.chkSzunnap->isChecked());
    }

    void logbooksListedByYearAndMonth() {
        TestEnv env;
        car(env, 2);
        env.write(u"Users/ABC123/2002okt.rvn"_s, logbookBytes(2002, 10, 300));
        env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        env.write(u"Users/ABC123/2003jan.rvn"_s, logbookBytes(2003, 1, 100));
        Harness h(env);
        frmHonapok& w = h.window;
        QCOMPARE(items(w.cboEv), (QStringList{u"2002"_s, u"2003"_s, u"Mind"_s}));
        QCOMPARE(w.cboEv->currentText(), u"Mind"_s);
        QCOMPARE(lines(w.lstHonapok), (QStringList{u"2002. Szeptember"_s, u"2002. Október"_s, u"2003. Január"_s}));
        QCOMPARE(lines(w.lstTmp), (QStringList{u"200209"_s, u"200210"_s, u"200301"_s}));
        QCOMPARE(w.lstFile->count(), 3);
        QCOMPARE(w.lstHonapok->currentRow(), 0);
        QCOMPARE(w.lblFileInfo->text(), u"Ebben a hónapban 200 km"_s);
        QVERIFY(w.cmdSzerkeszt->isEnabled());

        w.lstHonapok->setCurrentRow(1);
        QCOMPARE(w.lblFileInfo->text(), u"Ebben a hónapban 300 km"_s);
        QCOMPARE(w.selectedFile(), u"2002okt.rvn"_s);

        w.cboEv->setCurrentIndex(1);
        w.cboEvClick();
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2003. Január"_s});
    }

    void unreadableVersionWarnsOnOpen() {
        TestEnv env;
        car(env, 2);
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbookBytes(2002, 1, 10, u"9.1"_s));
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbookBytes(2002, 2, 10, u"2.0"_s));
        Harness h(env);
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.last().contains(u"2002jan.rvn fájl valószínűleg Rovanta nyilvántartás"_s));
        QCOMPARE(env.prompter.asked.first().icon, MsgIcon::Exclamation);
        QCOMPARE(lines(h.window.lstHonapok), QStringList{u"2002. Február"_s});
    }

    void deletingAMonth() {
        TestEnv env;
        car(env, 2);
        env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        env.write(u"Users/ABC123/2002okt.rvn"_s, logbookBytes(2002, 10, 300));
        env.write(u"Users/ABC123/data.rvd"_s, "x");
        Harness h(env);
        frmHonapok& w = h.window;

        env.prompter.answer(No);
        w.cmdTorol->click();
        QCOMPARE(env.prompter.last(), u"Biztos törli a kiválasztott hónapot?\r\n(2002. Szeptember)"_s);
        QCOMPARE(w.lstHonapok->count(), 2);

        env.prompter.answer(Yes);
        w.cmdTorol->click();
        QCOMPARE(env.prompter.last(), u"2002. Szeptember törölve."_s);
        QVERIFY(!QFile::exists(env.state.carPath(u"2002sze.rvn"_s)));
        QVERIFY(QFile::exists(env.state.carPath(u"2002okt.rvn"_s)));
        QVERIFY(QFile::exists(env.state.carPath(u"data.rvd"_s)));
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2002. Október"_s});
        QCOMPARE(w.lblFileInfo->text(), u"-"_s);
        QVERIFY(!w.cmdTorol->isEnabled());

        w.cboEvClick(); // the filter again: the deleted month stays away
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2002. Október"_s});

        env.prompter.answer(Yes);
        w.cmdTorol->click();
        QCOMPARE(w.lstHonapok->count(), 0);
        QVERIFY(!w.cmdSzerkeszt->isEnabled());
        QVERIFY(!w.cmdTorol->isEnabled());
    }

    void yearButtonsAndNumericBoxes() {
        TestEnv env;
        car(env, 2);
        Harness h(env);
        frmHonapok& w = h.window;
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
        w.txtKm->setText(u"450"_s);
        QTest::keyClicks(w.txtKm, u"a"_s);
        QCOMPARE(w.txtKm->text(), u"450"_s);
    }

    void sampleControlsShowWithTheBox() {
        TestEnv env;
        car(env, 2);
        Harness h(env);
        frmHonapok& w = h.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.txtKm->isVisible());
        w.chkMinta->click();
        w.chkMinta->click();
        const int small = w.height();
        w.chkMinta->click();
        QVERIFY(w.txtKm->isVisible());
        QVERIFY(w.fraNapok->isVisible());
        QTRY_VERIFY(w.height() > small);
        w.chkMinta->click();
        QVERIFY(!w.txtKm->isVisible());
        QTRY_COMPARE(w.height(), small);
        w.close();
    }

    void badYearsAreRefused_data() {
        QTest::addColumn<QString>("year");
        QTest::newRow("exponent") << u"1e3"_s;
        QTest::newRow("negative") << u"-5"_s;
        QTest::newRow("fraction") << u"2002.5"_s;
        QTest::newRow("zero") << u"0"_s;
        QTest::newRow("five digits") << u"10000"_s;
        QTest::newRow("blank") << QString();
    }
    void badYearsAreRefused() {
        QFETCH(QString, year);
        TestEnv env;
        car(env, 2);
        Harness h(env);
        h.window.txtEvSzam->setText(year);
        h.window.cmdSzerkesztUj->click();
        QCOMPARE(env.prompter.texts(), QStringList{badYearMessage()});
        QVERIFY(h.opened.isEmpty());
        QVERIFY(h.window.cmdSzerkesztUj->isEnabled());
    }

    void overwriteQuestionAnsweredNo() {
        TestEnv env;
        car(env, 2);
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbookBytes(2002, 1, 10));
        Harness h(env);
        frmHonapok& w = h.window;
        w.txtEvSzam->setText(u"2002"_s);
        w.cboHonapok->setCurrentIndex(0);
        env.state.month.year = 1999;
        env.prompter.answer(No);
        w.cmdSzerkesztUj->click();
        QCOMPARE(env.prompter.texts(), QStringList{overwriteMonthQuestion()});
        QVERIFY(h.opened.isEmpty());
        QCOMPARE(env.state.month.year, 1999);
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), logbookBytes(2002, 1, 10));
        QVERIFY(w.cmdSzerkesztUj->isEnabled());
        QVERIFY(w.lblStatusz->isHidden());
    }

    void onlyTheBasePartner() {
        TestEnv env;
        car(env, 1);
        Harness h(env);
        h.window.cmdSzerkesztUj->click();
        QCOMPARE(env.prompter.texts(), QStringList{u"Nincsenek adatok az adatbázisban."_s});
        QCOMPARE(env.prompter.asked.first().icon, MsgIcon::Exclamation);
        QVERIFY(h.opened.isEmpty());
        QVERIFY(h.window.cmdSzerkesztUj->isEnabled());
        QVERIFY(h.window.pgbStatusz->isHidden());
    }

    void newEmptyMonthHandsOver() {
        TestEnv env;
        car(env, 2);
        Harness h(env);
        frmHonapok& w = h.window;
        w.show();
        env.state.month.startOdometer = 777;
        env.state.month.fileName = u"2001dec.rvn"_s;
        w.txtEvSzam->setText(u"2028"_s);
        w.cboHonapok->setCurrentIndex(1);
        QTest::keyClick(w.txtEvSzam, Qt::Key_Return);
        QCOMPARE(h.opened, QList<bool>{true});
        QCOMPARE(env.state.month.year, 2028);
        QCOMPARE(env.state.month.month, 2);
        QVERIFY(env.state.month.fileName.isEmpty());
        QCOMPARE(env.state.month.startOdometer, 0);
        QCOMPARE(w.tag, u"szerkeszt"_s);
        QVERIFY(!w.isVisible());

        // The editor closes and shows the window again: back to normal, list refreshed.
        env.write(u"Users/ABC123/2028feb.rvn"_s, logbookBytes(2028, 2, 42));
        w.show();
        QVERIFY(w.tag.isEmpty());
        QCOMPARE(lines(w.lstHonapok), QStringList{u"2028. Február"_s});
        w.close();
        QVERIFY(h.mainWindow.isVisible());
    }

    void sampleMonthHandsOver() {
        TestEnv env;
        car(env, 3);
        Harness h(env);
        frmHonapok& w = h.window;
        w.txtEvSzam->setText(u"2026"_s);
        w.cboHonapok->setCurrentIndex(2);
        w.chkMinta->setChecked(true);

        w.cmdSzerkesztUj->click(); // no target yet
        QCOMPARE(env.prompter.texts(), QStringList{u"Kérem adja meg a kívánt távolságot."_s});
        QVERIFY(h.opened.isEmpty());

        QTest::keyClicks(w.txtKm, u"1200"_s);
        w.cmdSzerkesztUj->click();
        QCOMPARE(h.opened, QList<bool>{false});
        QCOMPARE(env.state.mainWindowTag, u"korábbi"_s);
        QVERIFY(env.state.month.modified);
        QCOMPARE(env.state.month.year, 2026);
        QCOMPARE(env.state.month.month, 3);
        QVERIFY(env.state.month.monthKm > 0);
        QCOMPARE(env.state.month.stops.at(2, 1), 1); // Monday the 2nd
        QCOMPARE(env.state.month.stops.at(1, 1), 0); // Sunday the 1st
        QCOMPARE(w.tag, u"szerkeszt"_s);
    }

    void sampleWithoutWorkingDays() {
        TestEnv env;
        car(env, 2);
        Harness h(env);
        frmHonapok& w = h.window;
        w.chkMinta->setChecked(true);
        w.txtKm->setText(u"300"_s);
        for (int d = 1; d <= 7; ++d)
            w.chkNap[size_t(d)]->setChecked(false);
        w.cmdSzerkesztUj->click();
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(h.opened.isEmpty());
        QVERIFY(w.cmdSzerkesztUj->isEnabled());
        QVERIFY(w.tag.isEmpty());
    }

    void fallbackAnsweredNoOpensAnEmptyMonth() {
        TestEnv env;
        car(env, 2, false);
        Harness h(env);
        h.window.chkMinta->setChecked(true);
        h.window.txtKm->setText(u"300"_s);
        env.prompter.answer(No);
        h.window.cmdSzerkesztUj->click();
        QVERIFY(env.prompter.last().startsWith(u"Nincs megadava a távolság"_s));
        QCOMPARE(h.opened, QList<bool>{true});
        QCOMPARE(env.state.month.stopWidth, 0);
    }

    void openingAStoredMonth() {
        TestEnv env;
        car(env, 2);
        env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        Harness h(env);
        frmHonapok& w = h.window;
        w.show();
        w.lstHonapok->setFocus();
        QTest::keyClick(w.lstHonapok, Qt::Key_Return);
        QCOMPARE(h.opened, QList<bool>{false});
        QCOMPARE(env.state.month.fileName, u"2002sze.rvn"_s);
        QCOMPARE(env.state.month.stops.at(2, 1), 1);
        QCOMPARE(env.state.mainWindowTag, u"korábbi"_s);
        QCOMPARE(w.tag, u"szerkeszt"_s);
        QVERIFY(!w.isVisible());
        w.close(); // the editor has taken over: the main window stays hidden
        QVERIFY(!h.mainWindow.isVisible());
    }

    void damagedMonthStaysInTheWindow() {
        TestEnv env;
        car(env, 2);
        env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        Harness h(env);
        frmHonapok& w = h.window;
        QByteArray bytes = logbookBytes(2002, 9, 200);
        bytes.replace("\r\n200,1\r\n", "\r\n200,0\r\n");
        env.write(u"Users/ABC123/2002sze.rvn"_s, bytes);
        env.state.month.year = 1999;
        w.cmdSzerkeszt->click();
        QCOMPARE(env.prompter.asked.size(), 1);
        QVERIFY(env.prompter.last().contains(u"2002sze.rvn"_s));
        QVERIFY(h.opened.isEmpty());
        QCOMPARE(env.state.month.year, 1999);
        QVERIFY(w.cmdSzerkeszt->isEnabled());
        QVERIFY(w.tag.isEmpty());
    }

    void closingShowsTheMainWindow() {
        TestEnv env;
        car(env, 2);
        Harness h(env);
        h.window.show();
        QApplication::setActiveWindow(&h.window);
        QVERIFY(QTest::qWaitForWindowActive(&h.window));
        QTest::keyClick(&h.window, Qt::Key_Escape);
        QVERIFY(!h.window.isVisible());
        QVERIFY(h.mainWindow.isVisible());
    }
};

QTEST_MAIN(TestFrmHonapok)
#include "tst_frmhonapok.moc"
