#include "testenv.h"
#include "ui/gui/filters.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class tst_filters : public QObject {
    Q_OBJECT
private slots:
    void numericKeepsLastAccepted() {
        QLineEdit edit;
        attachNumericFilter(&edit);
        QTest::keyClicks(&edit, u"12"_s);
        QCOMPARE(edit.text(), u"12"_s);
        QTest::keyClicks(&edit, u"x"_s);
        QCOMPARE(edit.text(), u"12"_s);
        QCOMPARE(edit.cursorPosition(), 2);
        // Decimal comma and point both count as numeric.
        QTest::keyClicks(&edit, u",5"_s);
        QCOMPARE(edit.text(), u"12,5"_s);
    }
    void numericAcceptsBlankAndProgramTexts() {
        QLineEdit edit(u"7"_s);
        auto* f = attachNumericFilter(&edit);
        QCOMPARE(f->lastAccepted(), u"7"_s);
        edit.clear();
        QCOMPARE(edit.text(), QString());
        edit.setText(u"abc"_s); // back to the blank accepted last
        QCOMPARE(edit.text(), QString());
        edit.setText(u"42"_s);
        edit.setText(u"4a2"_s);
        QCOMPARE(edit.text(), u"42"_s);
    }
    void numericCaretGoesToEnd() {
        QLineEdit edit(u"15"_s);
        attachNumericFilter(&edit);
        edit.setCursorPosition(1);
        QTest::keyClicks(&edit, u"0"_s);
        QCOMPARE(edit.text(), u"105"_s);
        QCOMPARE(edit.cursorPosition(), 3);
    }
    void numericExtraCheck() {
        QLineEdit edit;
        attachNumericFilter(&edit, [](const QString& t) { return !t.contains(u','); });
        QTest::keyClicks(&edit, u"3,"_s);
        QCOMPARE(edit.text(), u"3"_s);
    }
    void quoteRemovedWithMessage() {
        TestEnv env;
        QLineEdit edit;
        attachQuoteFilter(&edit, env.state, quoteMessage(u"sajnos nem megengedett a rendszámban."_s));
        QTest::keyClicks(&edit, u"AB\"C"_s);
        QCOMPARE(edit.text(), u"ABC"_s);
        QCOMPARE(env.prompter.texts(), QStringList{u"Az idézőjel (\") sajnos nem megengedett a rendszámban."_s});
        QCOMPARE(env.prompter.asked.first().icon, MsgIcon::Information);
    }
    void pastedQuotesKeepCaretAndAskOnce() {
        TestEnv env;
        QLineEdit edit(u"abcd"_s);
        attachQuoteFilter(&edit, env.state, u"m"_s, QuoteFilter::Typed::Silent);
        edit.setCursorPosition(2);
        edit.insert(u"\"x\"y"_s); // as a paste does
        QCOMPARE(edit.text(), u"abxycd"_s);
        QCOMPARE(edit.cursorPosition(), 4);
        QCOMPARE(env.prompter.asked.size(), 1);
    }
    void pastedLineBreaksBecomeSpacesWithoutMessage() {
        TestEnv env;
        QLineEdit edit(u"ad"_s);
        attachQuoteFilter(&edit, env.state, u"m"_s);
        edit.setCursorPosition(1);
        edit.insert(u"b\r\nc\n"_s); // a paste keeps the line breaks of a copied address
        QCOMPARE(edit.text(), u"ab c d"_s);
        QCOMPARE(edit.cursorPosition(), 5);
        QVERIFY(env.prompter.asked.isEmpty());
        edit.insert(u"\t\"x"_s);
        QCOMPARE(edit.text(), u"ab c  xd"_s);
        QCOMPARE(env.prompter.texts(), QStringList{u"m"_s});
    }
    void silentTypedQuoteIgnored() {
        TestEnv env;
        QLineEdit edit;
        attachQuoteFilter(&edit, env.state, u"m"_s, QuoteFilter::Typed::Silent);
        QTest::keyClicks(&edit, u"a\"b"_s);
        QCOMPARE(edit.text(), u"ab"_s);
        QVERIFY(env.prompter.asked.isEmpty());
    }
    void comboBoxFilter() {
        TestEnv env;
        QComboBox combo;
        combo.setEditable(true);
        attachQuoteFilter(&combo, env.state, u"város"_s);
        QTest::keyClicks(combo.lineEdit(), u"Pe\"cs"_s);
        QCOMPARE(combo.currentText(), u"Pecs"_s);
        QCOMPARE(env.prompter.last(), u"város"_s);
    }
};

QTEST_MAIN(tst_filters)
#include "tst_filters.moc"
