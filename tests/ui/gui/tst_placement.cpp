#include "editor/gui/frmSzerkeszto.h"
#include "months/gui/frmHonapok.h"
#include "startup/demodata.h"
#include "startup/carops.h"
#include "startup/gui/frmMain.h"
#include "startup/gui/frmSplash.h"
#include "startup/startup.h"
#include "testenv.h"
#include "ui/gui/onscreen.h"
#include "windowcheck.h"

#include <QApplication>
#include <QLockFile>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// The screen of these tests: a netbook's, lower than the editor and the months window want.
const QRect kScreen(0, 0, 800, 576);

bool shownOnScreen(QWidget* w) {
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        return false;
    return QTest::qWaitFor([w] { return placementFault(w).isEmpty(); }, 1000);
}

} // namespace

// Where windows open on a small screen: over their parent, wholly on the screen, and where they
// were last closed.
class TestPlacement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        keepWindowsOnScreen(*qApp);
        QCOMPARE(qApp->primaryScreen()->geometry(), kScreen);
    }

    void aWindowOpensOverItsParent() {
        rememberWindows(nullptr);
        QWidget parent;
        parent.setObjectName(u"frmSzulo"_s);
        parent.setGeometry(300, 200, 300, 200);
        QVERIFY(shownOnScreen(&parent));
        QWidget child(&parent, Qt::Window);
        child.setObjectName(u"frmGyerek"_s);
        child.resize(100, 80);
        QVERIFY(shownOnScreen(&child));
        const QPoint off = child.frameGeometry().center() - parent.frameGeometry().center();
        QVERIFY2(off.manhattanLength() <= 2, qPrintable(u"%1,%2"_s.arg(off.x()).arg(off.y())));
        // One larger than the screen, over a parent at its corner: shrunk and wholly on it.
        QWidget big(&parent, Qt::Window);
        big.setObjectName(u"frmNagy"_s);
        big.resize(1000, 700);
        QVERIFY2(shownOnScreen(&big), qPrintable(placementFault(&big)));
    }

    void placesAreKeptPerWindow() {
        TestEnv env;
        rememberWindows(env.settings.get());
        {
            QWidget w;
            w.setObjectName(u"frmEgy"_s);
            QVERIFY(shownOnScreen(&w));
            w.setGeometry(50, 60, 300, 200);
            w.close();
        }
        QCOMPARE(env.settings->text(u"Ablakok/frmEgy"_s), u"50,60,300,200"_s);
        QWidget again;
        again.setObjectName(u"frmEgy"_s);
        QVERIFY(shownOnScreen(&again));
        QCOMPARE(again.geometry(), QRect(50, 60, 300, 200));
        QWidget other; // another window has a place of its own: the middle of the screen
        other.setObjectName(u"frmKetto"_s);
        other.resize(300, 200);
        QVERIFY(shownOnScreen(&other));
        QVERIFY(std::abs(other.frameGeometry().center().x() - kScreen.center().x()) <= 2);
        // A place kept on a larger screen comes back on this one, maximised as it was.
        env.settings->setText(u"Ablakok/frmHarom"_s, u"1500,900,1000,700,max"_s);
        QWidget moved;
        moved.setObjectName(u"frmHarom"_s);
        QVERIFY2(shownOnScreen(&moved), qPrintable(placementFault(&moved)));
        moved.close();
        QCOMPARE(env.settings->text(u"Ablakok/frmHarom"_s).endsWith(u",max"_s), true);
        rememberWindows(nullptr);
    }

    void placeTexts() {
        QRect r;
        bool max = false;
        QVERIFY(placeFromText(placeText(QRect(-5, 7, 30, 40), true), r, max) && r == QRect(-5, 7, 30, 40) && max);
        for (const QString& bad : {u""_s, u"1,2,3"_s, u"1,2,0,4"_s, u"1,2,3,4,min"_s, u"a,2,3,4"_s})
            QVERIFY2(!placeFromText(bad, r, max), qPrintable(bad));
    }

    // The program's largest windows on the demo data.
    void theEditorAndTheMonthsOnASmallScreen() {
        TestEnv env;
        std::unique_ptr<QLockFile> lock;
        const QString dir = env.dir.filePath(u"demo"_s);
        QVERIFY(writeDemoData(dir, QDate::currentDate()));
        {
            frmSplash splash;
            QCOMPARE(runStartup(env.state, dir + u'/', splash, {}, lock), StartupOutcome::Ready);
        }
        QVERIFY(loginCar(env.state, 1));
        frmMain main(env.state);
        QVERIFY2(shownOnScreen(&main), qPrintable(placementFault(&main)));
        frmHonapok months(env.state, &main);
        QVERIFY2(shownOnScreen(&months), qPrintable(placementFault(&months)));
        env.state.month.year = QDate::currentDate().year() - 1;
        env.state.month.month = 5;
        frmSzerkeszto editor(env.state, &months);
        editor.open(true);
        QVERIFY2(shownOnScreen(&editor), qPrintable(placementFault(&editor)));
    }
};

int main(int argc, char** argv) {
    // The offscreen screen made small for this test alone.
    QTemporaryFile config(QDir::tempPath() + u"/rovanta-screen-XXXXXX.json"_s);
    if (!config.open())
        return 2;
    config.write(QStringLiteral(R"({"screens": [{"name": "small", "x": %1, "y": %2, "width": %3, "height": %4,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(kScreen.x())
                     .arg(kScreen.y())
                     .arg(kScreen.width())
                     .arg(kScreen.height())
                     .toUtf8());
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QDir::toNativeSeparators(config.fileName()).toUtf8());
    QApplication app(argc, argv);
    TestPlacement test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_placement.moc"
