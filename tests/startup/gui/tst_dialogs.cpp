#include "startup/gui/frmAbout.h"
#include "startup/gui/frmMain.h"
#include "startup/gui/frmSetup.h"
#include "startup/gui/frmSzorzok.h"
#include "startup/gui/frmUjUser.h"
#include "storage/settings.h"
#include "storedfiles.h"
#include "taborder.h"
#include "ui/gui/helpwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {
const QString kCaption = u"Rovanta+ 2.2"_s;

struct Env : TestEnv {
    Env() {
        state.LoadTables();
        LoadMultipliers(state);
    }
};
} // namespace

class tst_dialogs : public QObject {
    Q_OBJECT
private slots:
    void setupStoresWhatIsShownAndCancelNothing() {
        Env env;
        {
            frmSetup d(env.state, kCaption);
            QVERIFY(d.chkExit->isChecked());
            QVERIFY(d.chkVaros->isChecked()); // nothing stored: start-up loads the cities
            d.chkVaros->setChecked(false);
            QCOMPARE(d.txtHiba->text(), u"10"_s);
            QTest::keyClicks(d.txtProbakSzama, u"a5"_s); // the letter is reverted at once
            QCOMPARE(d.txtProbakSzama->text(), u"1005"_s);
            d.txtHiba->clear();
            QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        }
        QCOMPARE(env.settings->text(keys::LoadCities), u"0"_s);
        QCOMPARE(env.settings->tolerance(), 0.0); // readers see an empty text as 0
        QCOMPARE(env.settings->text(keys::Tries), u"1005"_s);
        frmSetup d(env.state, kCaption);
        d.chkVaros->setChecked(true);
        QTest::mouseClick(d.cmdMegsem, Qt::LeftButton);
        QCOMPARE(env.settings->text(keys::LoadCities), u"0"_s);
    }

    void multipliersInPerCent() {
        Env env;
        env.state.multipliers[1].value = 1.15f;
        env.state.defaultRouteType = 4;
        frmSzorzok d(env.state, kCaption);
        d.show();
        QCOMPARE(d.txtBudaPest->text(), u"115"_s);
        QCOMPARE(d.cboAlapErtelmezettSzorzo->currentText(), u"Egyéb város"_s);
        d.txtBudaPest->setText(u"110"_s);
        d.txtTerep->clear();
        d.cboAlapErtelmezettSzorzo->setCurrentIndex(1);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(d.isVisible());
        QCOMPARE(d.focusWidget(), d.txtTerep);
        d.txtTerep->setText(u"120"_s);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(env.state.multipliers[1].value, 1.1f);
        QCOMPARE(storedMultipliers(env.state).defaultRouteType, qint16(2));
    }

    // Filled in only after the question, and stored only by OK; the other boxes stay.
    void legalMultipliersOnRequest() {
        Env env;
        const QByteArray stored = env.read(u"Users/szorzo.rvd"_s);
        frmSzorzok d(env.state, kCaption);
        d.txtTerep->setText(u"130"_s);
        env.prompter.answer(No);
        QTest::mouseClick(d.cmdTorvenyi, Qt::LeftButton);
        QCOMPARE(d.txtBudaPest->text(), u"100"_s);
        env.prompter.answer(Yes);
        QTest::mouseClick(d.cmdTorvenyi, Qt::LeftButton);
        QStringList texts;
        for (QLineEdit* box : d.boxes())
            texts << box->text();
        QCOMPARE(texts, (QStringList{u"135"_s, u"125"_s, u"115"_s, u"130"_s, u"100"_s, u"105"_s, u"100"_s}));
        QCOMPARE(env.read(u"Users/szorzo.rvd"_s), stored);
    }

    void aboutWindow() {
        ScriptedPrompter prompter;
        frmAbout d(kCaption);
        d.prompter = &prompter;
        QList<QUrl> opened;
        d.openUrl = [&](const QUrl& url) {
            opened.append(url);
            return true;
        };
        d.show();
        QCOMPARE(d.focusWidget(), d.cmdOK);
        QTest::mouseClick(d.lblINet, Qt::LeftButton);
        QTest::mouseClick(d.lblEMail, Qt::LeftButton);
        // Without a mouse: Enter on a focused link opens it instead of pressing OK.
        d.lblEMail->setFocus();
        QTest::keyClick(d.lblEMail, Qt::Key_Return);
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened[0], frmAbout::webAddress());
        QCOMPARE(opened[2].scheme(), u"mailto"_s);
        QVERIFY(d.isVisible());

        // No browser: said, and the window stays.
        d.openUrl = [](const QUrl&) { return false; };
        QTest::mouseClick(d.lblINet, Qt::LeftButton);
        QVERIFY(prompter.last().contains(u"nem nyitható meg"_s));
        QVERIFY(d.isVisible());
        // Enter on OK closes.
        d.cmdOK->setFocus();
        QTest::keyClick(d.cmdOK, Qt::Key_Return);
        QVERIFY(!d.isVisible());
    }

    // Tab walks every dialog in the order the screen shows it; F1 opens the dialog's own page.
    void tabFollowsTheScreenAndF1Helps() {
        Env env;
        frmUjUser car(env.state);
        car.prepareNew(kCaption);
        frmSetup setup(env.state, kCaption);
        frmSzorzok multipliers(env.state, kCaption);
        frmAbout about(kCaption);
        for (QDialog* d : std::initializer_list<QDialog*>{&car, &setup, &multipliers, &about}) {
            d->show();
            d->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(d));
            QVERIFY2(tabStepsAgainstTheScreen(d).isEmpty(),
                     qPrintable(d->objectName() + u": "_s + tabStepsAgainstTheScreen(d).join(u", "_s)));
            d->hide();
        }
        car.show();
        car.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&car));
        QTest::keyClick(&car, Qt::Key_F1);
        QCOMPARE(helpWindow()->txtSugo->source().fileName(), u"gepkocsi.html"_s);
        helpWindow()->close();
    }

    void mainMenusOpenTheDialogs() {
        Env env;
        frmMain w(env.state);
        w.show();
        w.mnuSetup->trigger();
        auto* setup = w.findChild<frmSetup*>();
        QVERIFY(setup && setup->isVisible());
        setup->close();
        w.mnuSzorzok->trigger();
        QVERIFY(w.findChild<frmSzorzok*>());
        w.mnuNevjegy->trigger();
        QVERIFY(w.findChild<frmAbout*>());
    }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
