#include "testenv.h"
#include "ui/gui/filters.h"
#include "ui/gui/helpwindow.h"
#include "ui/gui/navigation.h"
#include "ui/gui/qtprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// The parts every window shares: the input filters, the message boxes and the help window.
class tst_uiparts : public QObject {
    Q_OBJECT
private slots:
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

QTEST_MAIN(tst_uiparts)
#include "tst_uiparts.moc"
