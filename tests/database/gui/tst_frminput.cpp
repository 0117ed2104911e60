#include "database/gui/frmInput.h"
#include "dbtestutil.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestFrmInput : public QObject {
    Q_OBJECT
private slots:
    void aDuplicateIsRefusedAndAnotherAddressAccepted() {
        TestEnv env;
        dbtest::makePartners(env.state, 3); // P3 - Város3, Utca 3.
        QString flag = u"N"_s;
        frmInput d(env.state, u"ujadat"_s, &flag, 0);
        d.show();
        QTest::keyClicks(d.txtNev, u" P3 "_s);
        d.cboVaros->setEditText(u"Város3"_s);
        QTest::keyClicks(d.txtCim, u"Utca 3."_s);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(env.prompter.asked.size(), 1);
        QCOMPARE(flag, u"N"_s);
        d.txtCim->setText(u"Utca 4. "_s);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(flag, u"I"_s);
        QCOMPARE(d.result(), (Partner{u"P3"_s, u"Város3"_s, u"Utca 4."_s}));
        QVERIFY(!d.isVisible());
        // A partner being modified may keep its own texts.
        frmInput m(env.state, u"modosit"_s, &flag, 2);
        m.setTexts(env.state.partner(2));
        QTest::mouseClick(m.cmdOK, Qt::LeftButton);
        QCOMPARE(env.prompter.asked.size(), 1);
        QCOMPARE(m.result(), env.state.partner(2));
    }

    void blanksAndQuotesAreRefusedAndCancelLeavesTheFlag() {
        TestEnv env;
        QString flag = u"N"_s;
        frmInput d(env.state, u"ujadat"_s, &flag, 0);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.cboVaros->setFocus();
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QTRY_VERIFY(d.txtNev->hasFocus());
        QTest::keyClicks(d.txtNev, u"A\"B"_s);
        QCOMPARE(d.txtNev->text(), u"AB"_s);
        QVERIFY(env.prompter.last().endsWith(u"a cégnévben."_s));
        d.txtCim->setText(u"Fő \"utca\""_s);
        QVERIFY(env.prompter.last().endsWith(u"a címben."_s));
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QTRY_VERIFY(d.cboVaros->hasFocus());
        d.cboVaros->setEditText(u"\"Pécs"_s);
        QCOMPARE(d.cboVaros->currentText(), u"Pécs"_s);
        QVERIFY(env.prompter.last().endsWith(u"a város nevében."_s));
        QTest::mouseClick(d.cmdMegsem, Qt::LeftButton);
        QCOMPARE(flag, u"N"_s);
        QVERIFY(!d.isVisible());
    }

    void citiesLoadOnRequest() {
        TestEnv env;
        env.write(u"cities.rvd"_s, "\"Varosok\"\r\n3\r\n\"Eger\"\r\n\"Gyor\"\r\n\"Szeged\"\r\n");
        QString flag = u"N"_s;
        frmInput d(env.state, u"ujadat"_s, &flag, 0);
        d.show();
        d.cboVaros->setEditText(u"Gy"_s);
        QTest::mouseClick(d.cmdVarosLoad, Qt::LeftButton);
        QCOMPARE(d.cboVaros->count(), 3);
        QCOMPARE(d.cboVaros->currentText(), u"Gy"_s); // what was typed stays
        QVERIFY(!d.cmdVarosLoad->isVisible());
    }
};

QTEST_MAIN(TestFrmInput)
#include "tst_frminput.moc"
