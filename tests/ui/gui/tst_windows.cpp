#include "database/gui/frmAdatok.h"
#include "database/gui/frmInput.h"
#include "editor/gui/frmHiba.h"
#include "editor/gui/frmNyilvantartasModositas.h"
#include "editor/gui/frmSzerkeszto.h"
#include "months/gui/frmEves.h"
#include "months/gui/frmHonapok.h"
#include "printing/gui/frmPrintPreview.h"
#include "startup/carops.h"
#include "startup/demodata.h"
#include "startup/gui/frmAbout.h"
#include "startup/gui/frmImportUser.h"
#include "startup/gui/frmMain.h"
#include "startup/gui/frmNorma.h"
#include "startup/gui/frmSetup.h"
#include "startup/gui/frmSplash.h"
#include "startup/gui/frmSzorzok.h"
#include "startup/gui/frmUjUser.h"
#include "startup/startup.h"
#include "taborder.h"
#include "testenv.h"
#include "ui/gui/helpwindow.h"
#include "ui/gui/onscreen.h"
#include "windowcheck.h"

#include <QApplication>
#include <QLockFile>
#include <QTabWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// Every window of the program on the demo data, shown as the program shows it: wholly on the
// screen, and every box to type in or tick reached by its own Alt key.
class TestWindows : public QObject {
    Q_OBJECT
    TestEnv env;
    std::unique_ptr<QLockFile> lock;
    QStringList faults;

    void check(QWidget* w) {
        w->show();
        if (!QTest::qWaitForWindowExposed(w))
            faults << w->objectName() + u": not shown"_s;
        // A window manager frames and places a window a moment after it is shown.
        (void)QTest::qWaitFor([w] { return placementFault(w).isEmpty(); }, 1000);
        if (const QString f = placementFault(w); !f.isEmpty())
            faults << f;
        for (const QString& f : mnemonicFaults(w))
            faults << w->objectName() + u": "_s + f;
    }

private slots:
    void initTestCase() {
        keepWindowsOnScreen(*qApp);
        const QString dir = env.dir.filePath(u"demo"_s);
        QVERIFY(writeDemoData(dir, QDate::currentDate()));
        frmSplash splash;
        QCOMPARE(runStartup(env.state, dir + u'/', splash, {}, lock), StartupOutcome::Ready);
        QVERIFY(loginCar(env.state, 1));
    }

    void everyWindow() {
        const QString caption = u"Rovanta+ 2.2"_s;
        AppState& s = env.state;
        frmMain main(s);
        check(&main);
        frmUjUser car(s);
        car.prepareNew(caption);
        check(&car);
        frmSetup setup(s, caption);
        check(&setup);
        frmSzorzok multipliers(s, caption);
        check(&multipliers);
        frmAbout about(caption);
        check(&about);
        frmNorma norm(1);
        check(&norm);
        frmImportUser import(s, caption);
        check(&import);
        frmHonapok months(s, &main);
        months.chkMinta->setChecked(true);
        check(&months);
        // Tab reads the months window as the screen does: the left column, then the right one.
        months.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&months));
        months.cboEv->setFocus();
        QStringList round;
        for (QWidget* w : tabRound(&months))
            round << w->objectName();
        QCOMPARE(round.join(u' '), u"cboEv lstHonapok cmdSzerkeszt cmdTorol cmdEves txtEvSzam cmdPlus cmdMinus "
                                   u"cboHonapok chkMinta txtKm chkNap2 chkNap3 chkNap4 chkNap5 chkNap6 chkNap7 "
                                   u"chkNap1 chkSzunnap chkPontos cmdSzerkesztUj cmdSugo cmdVissza"_s);
        frmEves year(s, QDate::currentDate().year() - 1);
        check(&year);
        s.month.year = QDate::currentDate().year() - 1;
        s.month.month = 5;
        frmSzerkeszto editor(s, &months);
        editor.open(true);
        check(&editor);
        frmHiba errors(&editor);
        errors.setLines({u"Egy hosszú hibasor, amelynek a vége is olvasható kell legyen a keskeny ablakban is."_s});
        check(&errors);
        frmAdatok database(s, DatabaseMode::Main);
        for (int i = 0; i < database.tabAdatok->count(); ++i) {
            database.tabAdatok->setCurrentIndex(i);
            check(&database);
        }
        QString flag;
        frmInput partner(s, u"ujadat"_s, &flag, 0);
        check(&partner);
        frmNyilvantartasModositas change(s, s.partners.value(1), s.partners.value(2));
        check(&change);
        frmPrintPreview preview(s, PrintMode::Logbook, Season{});
        QVERIFY(preview.load());
        check(&preview);
        check(helpWindow());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
