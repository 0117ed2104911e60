#include "months/gui/frmUtImport.h"

#include "clifixture.h"
#include "model/placematch.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

// The window on tests/data/trips/2024-aprilis.csv (see tst_cli_trips): the customer in Szeged
// becomes a new partner, so its two trips are business on day 5.
class TestFrmUtImport : public QObject {
    Q_OBJECT
private slots:
    void reportBecomesTheMonth() {
        CliFixture f;
        QVERIFY(f.load());
        frmUtImport w(f.state);
        f.prompter.answerFile(QStringLiteral(ROVANTA_TEST_DATA "/trips/2024-aprilis.csv"));
        w.cmdTallozas->click();
        QCOMPARE(w.findChild<QComboBox*>(u"cboHova"_s)->currentIndex(), 5); // the fifth column, detected
        QCOMPARE(w.grdHelyek->rowCount(), 1);
        QCOMPARE(w.grdHelyek->item(0, 4)->text(), u"Szeged"_s); // town and address guessed from the text
        QCOMPARE(w.grdHelyek->item(0, 5)->text(), u"Kossuth Lajos sgt. 9."_s);

        w.cmdElonezet->click(); // undecided: told, nothing shown
        QVERIFY(f.prompter.last().startsWith(u"Döntsön minden ismeretlen helyről"_s));
        QVERIFY(!w.cmdMentes->isEnabled());
        w.findChild<QComboBox*>(u"cboDontes0"_s)->setCurrentIndex(2); // a new partner
        w.grdHelyek->item(0, 3)->setText(u"Delta Kft."_s);
        w.cmdElonezet->click();
        QVERIFY2(w.txtElonezet->toPlainText().contains(u"2024.04.05. péntek: Saját cég – Delta Kft. – Saját cég, 340 km (Ügyfél)"_s),
                 qPrintable(w.txtElonezet->toPlainText()));
        QCOMPARE(f.state.partnerCount(), 4); // nothing is the car's before the save

        // Alfa's 35 km taken over the table's 31; Delta's 170 km (168,4 and 171,1) fills its new cells.
        QCOMPARE(w.lstTavolsagok->count(), 2);
        for (int i = 0; i < w.lstTavolsagok->count(); ++i)
            if (w.lstTavolsagok->item(i)->flags() & Qt::ItemIsUserCheckable)
                w.lstTavolsagok->item(i)->setCheckState(Qt::Checked);
        QVERIFY(!w.cmdMentes->isEnabled()); // a changed choice needs a new preview
        w.cmdElonezet->click();
        w.cmdMentes->click();
        QVERIFY2(f.prompter.last().contains(u"elmentve"_s), qPrintable(f.prompter.last()));
        QCOMPARE(f.state.partnerCount(), 5);

        QCOMPARE(storedMonthKm(f.state, u"2024apr.rvn"_s).value_or(-1), 70 + 168 + 340 + 35 + 52 + 43);
        QVector<KnownPlace> places;
        QVERIFY(readPlaces(f.state.programDir, f.state.carPath(QString()), places));
        QCOMPARE(places.size(), 1);
        QCOMPARE(places[0].partner, (Partner{u"Delta Kft."_s, u"Szeged"_s, u"Kossuth Lajos sgt. 9."_s}));
    }

    void presetKept() {
        CliFixture f;
        QVERIFY(f.load());
        frmUtImport w(f.state);
        w.txtFajl->setText(QStringLiteral(ROVANTA_TEST_DATA "/trips/win1250-tab-fejlec-nelkul.csv"));
        w.cmdBeolvas->click();
        w.txtSemaNev->setText(u"Flotta app"_s);
        w.cmdSemaMentes->click();
        const auto kept = tripPreset(*f.settings, u"Flotta app"_s);
        QVERIFY(kept);
        QCOMPARE(kept->separator, QChar(u'\t'));
        QVERIFY(kept->encoding == TextEncoding::Windows1250);
        frmUtImport again(f.state);
        QVERIFY(again.cboSema->findText(u"Flotta app"_s) > 0);
    }
};

QTEST_MAIN(TestFrmUtImport)
#include "tst_frmutimport.moc"
