#include "ui/gui/helpwindow.h"
#include "ui/gui/navigation.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_helpwindow : public QObject {
    Q_OBJECT
private slots:
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

QTEST_MAIN(tst_helpwindow)
#include "tst_helpwindow.moc"
