#include "database/gui/navpricewindows.h"
#include "database/publishedprices.h"
#include "startup/gui/frmMain.h"
#include "testenv.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestNavPriceWindows : public QObject {
    Q_OBJECT
private slots:
    // The notice the start-up found is said once, when the main window first shows; the paste
    // dialog reads the NAV page's text and ends in the merge's question.
    void startupNoticeAndPasteDialog() {
        TestEnv env;
        env.state.LoadTables();
        env.write(u"Users/b95.rvd"_s, "1\r\n#2024-01-01#\r\n583\r\n");
        const QString notice = missingPublishedNotice(env.state, QDate(2024, 3, 10));
        QVERIFY(notice.startsWith(u"A közzétett NAV-üzemanyagárak közül hiányzik: 2024. február, 2024. március."_s) &&
                notice.contains(u"„NAV-árak beillesztése”"_s));

        frmMain main(env.state);
        main.setStartupNotice(notice);
        main.show();
        QTRY_COMPARE(env.prompter.texts(), QStringList{notice});
        main.hide();
        main.show();
        QTest::qWait(20);
        QCOMPARE(env.prompter.asked.size(), 1);

        main.mnuNavBeillesztes->trigger();
        auto* dialog = main.findChild<frmNavBeillesztes*>(u"frmNavBeillesztes"_s);
        QVERIFY(dialog && dialog->isVisible());
        // Text without a table is told, and the dialog stays for another try.
        dialog->txtNavTabla->setPlainText(u"2024.év\nnincs itt semmi"_s);
        dialog->cmdOK->click();
        QVERIFY2(dialog->isVisible() && env.prompter.last().contains(u"nem találtam NAV-ártáblázatot"_s),
                 qPrintable(env.prompter.last()));
        env.prompter.answer(No);
        dialog->txtNavTabla->setPlainText(QString::fromUtf8(testData(u"nav/2024-tabok.txt"_s)));
        dialog->cmdOK->click(); // answered No
        QVERIFY(env.prompter.last().contains(u"Beviszi ezeket a közzétett árak közé?"_s) &&
                env.read(u"Users/b95.rvd"_s) == "1\r\n#2024-01-01#\r\n583\r\n");
    }
};

QTEST_MAIN(TestNavPriceWindows)
#include "tst_navpricewindows.moc"
