#include "database/gui/frmAdatok.h"
#include "database/gui/frmInput.h"
#include "editor/gui/frmHiba.h"
#include "editor/gui/frmNyilvantartasModositas.h"
#include "editor/gui/frmSzerkeszto.h"
#include "model/logbookfile.h"
#include "months/gui/frmEves.h"
#include "months/gui/frmHonapok.h"
#include "months/openmonth.h"
#include "months/progress.h"
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
#include "storage/locks.h"
#include "storage/numeric.h"
#include "taborder.h"
#include "testenv.h"
#include "ui/gui/filters.h"
#include "ui/gui/helpwindow.h"
#include "ui/gui/navigation.h"
#include "ui/gui/onscreen.h"
#include "ui/gui/qtprompter.h"
#include "windowcheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMessageBox>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// Every window of the program on the demo data, shown as the program shows it: wholly on the
// screen, and every box to type in or tick reached by its own Alt key; and the parts every window
// shares: the input filters, the message boxes and the help window.
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
        frmUjUser car(s);
        car.prepareNew(caption);
        frmSetup setup(s, caption);
        frmSzorzok multipliers(s, caption);
        frmAbout about(caption);
        frmNorma norm(1);
        frmImportUser import(s, caption);
        frmHonapok months(s, &main);
        months.chkMinta->setChecked(true);
        for (QWidget* w : std::initializer_list<QWidget*>{&main, &car, &setup, &multipliers, &about, &norm, &import, &months})
            check(w);
        // Tab reads the months window as the screen does: the left column, then the right one.
        showActive(&months);
        months.cboEv->setFocus();
        QStringList round;
        for (QWidget* w : tabRound(&months))
            round << w->objectName();
        QCOMPARE(round.join(u' '), u"cboEv lstHonapok cmdSzerkeszt cmdTorol cmdEves cmdUtimport txtEvSzam cmdPlus cmdMinus "
                                   u"cboHonapok chkMinta txtKm chkNap2 chkNap3 chkNap4 chkNap5 chkNap6 chkNap7 "
                                   u"chkNap1 chkSzunnap chkPontos cmdSzerkesztUj cmdSugo cmdVissza"_s);
        frmEves year(s, QDate::currentDate().year() - 1);
        s.month.year = QDate::currentDate().year() - 1;
        s.month.month = 5;
        frmSzerkeszto editor(s, &months);
        editor.open(true);
        frmHiba errors(&editor);
        errors.setLines({u"Egy hosszú hibasor, amelynek a vége is olvasható kell legyen a keskeny ablakban is."_s});
        for (QWidget* w : std::initializer_list<QWidget*>{&year, &editor, &errors})
            check(w);
        frmAdatok database(s, DatabaseMode::Main);
        for (int i = 0; i < database.tabAdatok->count(); ++i) {
            database.tabAdatok->setCurrentIndex(i);
            check(&database);
        }
        QString flag;
        frmInput partner(s, u"ujadat"_s, &flag, 0);
        frmNyilvantartasModositas change(s, s.partners.value(1), s.partners.value(2));
        frmPrintPreview preview(s, PrintMode::Logbook, Season{});
        QVERIFY(preview.load());
        for (QWidget* w : std::initializer_list<QWidget*>{&partner, &change, &preview, helpWindow()})
            check(w);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // A car another computer edits opens for reading: each window on it names who edits it since
    // when and offers nothing to type, tick or press that changes data; a save tried anyway writes
    // nothing.
    void readOnlyCar() {
        AppState& s = env.state;
        logout(s);
        const QString lock = QFileInfo(carLockPath(s.programDir, s.car(1).dirName)).fileName();
        env.write(lock, "4242\nrovanta\nmasik-gep\n");
        env.write(lock + u".info"_s, lockNote({u"masik-gep"_s, u"kati"_s, QDateTime(QDate::currentDate(), QTime(10, 42)),
                                               QDateTime::currentDateTime(), true}));
        env.prompter.answer(Yes); // "Megnyitja csak olvasásra?"
        QVERIFY(loginCar(s, 1) && s.readOnly());
        const QStringList files = QDir(s.path(s.carDir)).entryList({u"*.rvn"_s}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        NoProgress progress;
        QCOMPARE(openStoredMonth(s, files.first(), progress), OpenOutcome::Opened);
        const QByteArray month = env.read(s.carDir + files.first());

        const QString mark = u"Csak olvasható: masik-gep/kati szerkeszti 10:42 óta"_s;
        // What only shows, moves or prints.
        const QStringList viewing = {u"cmdElozoNap"_s, u"cmdKovetkezoNap"_s, u"cmdNyomtat"_s, u"cmdKoltseg"_s,
                                     u"cmdRendelveny"_s, u"cmdAdatBazis"_s, u"cmdSugo"_s, u"cmdVissza"_s,
                                     u"chkHiba"_s, u"cmdBezar"_s, u"cboEv"_s, u"cmdSzerkeszt"_s, u"cmdEves"_s,
                                     u"cboHonnan"_s, u"cboHova"_s, u"lstPartnerek"_s, u"lstKesz"_s, u"lstHonapok"_s};
        QStringList open;
        auto editing = [&](QWidget* w) {
            w->show();
            if (!w->windowTitle().endsWith(u" – "_s + mark))
                open << w->objectName() + u": "_s + w->windowTitle();
            for (QWidget* c : w->findChildren<QWidget*>()) {
                QWidget* parent = c->parentWidget();
                if (!c->isEnabled() || viewing.contains(c->objectName()) || qobject_cast<QTabBar*>(parent) ||
                    qobject_cast<QTableView*>(parent) ||
                    qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent))
                    continue;
                auto* line = qobject_cast<QLineEdit*>(c);
                auto* grid = qobject_cast<QTableView*>(c);
                if ((line && !line->isReadOnly()) || qobject_cast<QAbstractButton*>(c) || qobject_cast<QComboBox*>(c) ||
                    qobject_cast<QAbstractSpinBox*>(c) || (grid && grid->editTriggers() != QAbstractItemView::NoEditTriggers))
                    open << w->objectName() + u'/' + c->objectName() + u'/' + QLatin1StringView(c->metaObject()->className());
            }
        };
        frmMain main(s);
        frmHonapok months(s, &main);
        editing(&months);
        frmSzerkeszto editor(s, &months);
        editor.open(false);
        editing(&editor);
        frmAdatok database(s, DatabaseMode::Main);
        for (int i = 0; i < database.tabAdatok->count(); ++i) {
            database.tabAdatok->setCurrentIndex(i);
            editing(&database);
        }
        open.removeDuplicates();
        QVERIFY2(open.isEmpty(), qPrintable(open.join(u'\n')));

        // The editor's own keys and a save tried anyway.
        const int stops = editor.lstKesz->count();
        editor.lstPartnerek->setCurrentRow(1);
        QTest::keyClick(editor.lstPartnerek, Qt::Key_Return);
        QCOMPARE(std::pair(editor.lstKesz->count(), s.month.modified), std::pair(stops, false));
        QVERIFY(!SaveLogbook(s) && env.prompter.last().contains(mark));
        QCOMPARE(env.read(s.carDir + files.first()), month);
    }

    // ---- the parts every window shares

    void numericKeepsLastAcceptedWithCaretAtEnd() {
        QLineEdit edit(u"15"_s);
        attachNumericFilter(&edit);
        edit.setCursorPosition(1);
        QTest::keyClicks(&edit, u"0"_s);
        QCOMPARE(edit.cursorPosition(), 3);
        QTest::keyClicks(&edit, u"x"_s);
        QCOMPARE(edit.text(), u"105"_s);
        edit.clear(); // blank is accepted, also when the program sets it
        edit.setText(u"abc"_s);
        QCOMPARE(edit.text(), QString());
        QLineEdit checked; // with a check of its own
        attachNumericFilter(&checked, [](const QString& t) { return !t.contains(u','); });
        QTest::keyClicks(&checked, u"3,"_s);
        QCOMPARE(checked.text(), u"3"_s);
    }

    // A reading typed the Hungarian way arrives whole, key by key; a key that cannot go in is
    // told, never dropped unseen.
    void numbersTypedTheHungarianWay() {
        const QString nbsp = QString(QChar(0x00A0));
        for (const QString& space : {u" "_s, nbsp}) {
            QLineEdit edit;
            auto* filter = attachNumericFilter(&edit);
            QStringList accepted;
            connect(filter, &NumericFilter::accepted, &edit, [&](const QString& t) { accepted << t; });
            QTest::keyClicks(&edit, u"84"_s + space + u"350"_s);
            QCOMPARE(std::pair(edit.text(), int(accepted.size())), std::pair(u"84"_s + space + u"350"_s, 6));
            QCOMPARE(toNumber(edit.text()), std::optional<double>(84350));
        }
        QLineEdit decimal;
        auto* filter = attachNumericFilter(&decimal);
        QStringList refused;
        connect(filter, &NumericFilter::refused, &decimal, [&](const QString& m) { refused << m; });
        QTest::keyClicks(&decimal, u"6,7"_s);
        QCOMPARE(toNumber(decimal.text()), std::optional<double>(6.7));
        QVERIFY(refused.isEmpty());
        // Junk stays out, told; a slip of two spaces loses nothing.
        QTest::keyClicks(&decimal, u"x"_s);
        QLineEdit whole;
        auto* wholeFilter = attachWholeNumberFilter(&whole, [](const QString& t) { return !t.contains(u','); });
        connect(wholeFilter, &NumericFilter::refused, &whole, [&](const QString& m) { refused << m; });
        QTest::keyClicks(&whole, u"1  2,5"_s);
        QCOMPARE(std::pair(decimal.text(), whole.text()), std::pair(u"6,7"_s, u"1  25"_s));
        QCOMPARE(refused, (QStringList{u"Ide csak szám írható. A(z) „x” nem került be."_s,
                                       u"Ide csak egész szám írható. A(z) „,” nem került be."_s}));
        // A pasted text names what did not get in.
        QCOMPARE(refusalText(u"H."_s, u"12"_s, u"1abc2"_s), u"H. A(z) „abc” nem került be."_s);
        // The numbers the boxes hand on: groups of the whole part only.
        QCOMPARE((std::tuple{ungrouped(u"1 234 567,5"_s), ungrouped(u"12,5 6"_s), ungrouped(u"8  4 "_s),
                             isNumeric(u"84\u202F350"_s), isNumeric(u"8 4 a"_s)}),
                 (std::tuple{u"1234567,5"_s, u"12,5 6"_s, u"84 "_s, true, false}));
    }

    void typedQuoteRemovedWithMessage() {
        TestEnv env;
        QLineEdit edit;
        attachQuoteFilter(&edit, env.state, quoteMessage(u"sajnos nem megengedett a rendszámban."_s));
        QTest::keyClicks(&edit, u"AB\"C"_s);
        QCOMPARE(std::pair(edit.text(), env.prompter.texts()),
                 std::pair(u"ABC"_s, QStringList{u"Az idézőjel (\") sajnos nem megengedett a rendszámban."_s}));
        QComboBox combo;
        combo.setEditable(true);
        attachQuoteFilter(&combo, env.state, u"város"_s);
        QTest::keyClicks(combo.lineEdit(), u"Pe\"cs"_s);
        QCOMPARE(std::pair(combo.currentText(), env.prompter.last()), std::pair(u"Pecs"_s, u"város"_s));
        // Letters the data files cannot hold go the same way, named.
        edit.setCursorPosition(1);
        edit.insert(u"ЖК-"_s);
        QCOMPARE(std::pair(edit.text(), edit.cursorPosition()), std::pair(u"A-BC"_s, 2));
        QVERIFY2(env.prompter.last().startsWith(u"Az „Ж”, „К” karakterek nem tárolhatók"_s), qPrintable(env.prompter.last()));
    }
    void pastedTextsKeepTheCaret() {
        TestEnv env;
        QLineEdit edit(u"ad"_s);
        attachQuoteFilter(&edit, env.state, u"m"_s, QuoteFilter::Typed::Silent);
        QTest::keyClicks(&edit, u"\""_s); // silent: no message for a typed one
        edit.setCursorPosition(1);
        edit.insert(u"b\r\nc\n"_s); // line breaks of a copied address become spaces, no message
        QCOMPARE(std::pair(edit.text(), edit.cursorPosition()), std::pair(u"ab c d"_s, 5));
        QVERIFY(env.prompter.asked.isEmpty());
        edit.insert(u"\"x\"y"_s);
        QCOMPARE(std::pair(edit.text(), edit.cursorPosition()), std::pair(u"ab c xyd"_s, 7));
        QCOMPARE(env.prompter.texts(), QStringList{u"m"_s}); // once for the whole paste
    }

    // A question asked in the middle of a busy step must not show the hourglass.
    void boxShowsTheNormalPointerOverABusyOne() {
        QtPrompter prompter;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Qt::CursorShape during = Qt::WaitCursor;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            during = QApplication::overrideCursor()->shape();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(prompter.ask(u"Kérdés?"_s, Yes | No, MsgIcon::Question), No);
        QCOMPARE((std::tuple{text, during, QApplication::overrideCursor()->shape()}),
                 (std::tuple{u"Kérdés?"_s, Qt::ArrowCursor, Qt::WaitCursor}));
        QApplication::restoreOverrideCursor();
    }
    void closedWithoutChoiceAnswersCancelElseNo() {
        QtPrompter prompter;
        auto closeBox = [] {
            QTimer::singleShot(0, [] {
                if (QWidget* box = QApplication::activeModalWidget())
                    QTest::keyClick(box, Qt::Key_Escape);
            });
        };
        closeBox();
        QCOMPARE(prompter.ask(u"a"_s, Yes | No | Cancel, MsgIcon::Question), Cancel);
        closeBox();
        QCOMPARE(prompter.ask(u"b"_s, Yes | No, MsgIcon::Question), No);
    }

    // ---- help

    void everyPageIsShippedAndLinksResolve() {
        for (const HelpPage& page : helpPages()) {
            QFile f(u":/help/"_s + page.file);
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(page.file));
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(html.contains(u"<h1>"_s), qPrintable(page.file));
            // Every page-to-page link points at a shipped page.
            qsizetype at = 0;
            while ((at = html.indexOf(u"href=\""_s, at)) >= 0) {
                at += 6;
                const QString target = html.mid(at, html.indexOf(u'"', at) - at).section(u'#', 0, 0);
                if (target.isEmpty() || target.contains(u':'))
                    continue;
                QVERIFY2(QFile::exists(u":/help/"_s + target), qPrintable(page.file + u" -> "_s + target));
            }
        }
    }
    void showHelpOpensThePageOfTheContext() {
        QCOMPARE((std::tuple{helpPageForContext(12), helpPageForContext(30), helpPageForContext(99)}),
                 (std::tuple{u"beallitasok.html"_s, u"adatbazis.html"_s, u"index.html"_s}));
        showHelp(nullptr, 15);
        frmSugo* w = helpWindow();
        QVERIFY(w->isVisible() && w->txtSugo->toPlainText().contains(u"Szorzók"_s) && w->txtSugo->source().fileName() == u"szorzok.html"_s);
        showHelp(nullptr, 50);
        QCOMPARE(std::pair(helpWindow(), w->txtSugo->source().fileName()), std::pair(w, u"szerkeszto.html"_s)); // one window
    }
    void keywordSearch() {
        QVERIFY(searchHelp(u"   "_s).isEmpty() && searchHelp(u"szorzó xyzzy"_s).isEmpty()); // every word must be there
        QVERIFY(searchHelp(u"NYOMTATÁS"_s).contains(u"nyomtatas.html"_s) && searchHelp(u"szorzó téli"_s).contains(u"szorzok.html"_s));
        showHelpSearch(nullptr);
        frmSugo* w = helpWindow();
        QCOMPARE(w->tabOldalak->currentIndex(), 1);
        QTest::keyClicks(w->txtKereses, u"partner"_s);
        QVERIFY(w->lstTalalatok->count() > 0);
        QTest::keyClick(w->txtKereses, Qt::Key_Return); // the first hit, the word marked
        QVERIFY(w->txtSugo->source().fileName() == w->lstTalalatok->item(0)->data(Qt::UserRole).toString() &&
                w->txtSugo->textCursor().hasSelection());
        // Ctrl+F reaches the search from a page; Escape closes.
        QPointer<frmSugo> shown = w;
        w->tabOldalak->setCurrentIndex(0);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w->txtSugo, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(std::pair(w->tabOldalak->currentIndex(), QApplication::focusWidget()), std::pair(1, static_cast<QWidget*>(w->txtKereses)));
        QTest::keyClick(w->txtKereses, Qt::Key_Escape);
        QTRY_VERIFY(!shown || !shown->isVisible());
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
