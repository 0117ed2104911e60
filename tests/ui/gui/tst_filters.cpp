#include "testenv.h"
#include "ui/gui/filters.h"
#include "ui/gui/qtprompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_filters : public QObject {
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
};

QTEST_MAIN(tst_filters)
#include "tst_filters.moc"
