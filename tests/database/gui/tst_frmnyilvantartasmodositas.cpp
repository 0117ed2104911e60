#include "editor/gui/frmNyilvantartasModositas.h"
#include "dbtestutil.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;
using dbtest::logbookWith;

namespace {
const Partner kOld{u"Régi"_s, u"Győr"_s, u"Fő út 1."_s};
const Partner kNew{u"Új"_s, u"Győr"_s, u"Fő út 1."_s};
const Partner kOther{u"Más"_s, u"Pápa"_s, {}};
} // namespace

class TestFrmNyilvantartasModositas : public QObject {
    Q_OBJECT
private slots:
    void okRewritesTheChosenOnesAndBackNothing() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbookWith(1, {kOld, kOther, kOld}));
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbookWith(2, {kOld}, "1.2"));
        env.write(u"Users/ABC123/2002mar.rvn"_s, logbookWith(3, {kOther}));
        {
            frmNyilvantartasModositas d(env.state, kOld, kNew);
            d.show();
            d.lstHonapok->item(0)->setSelected(true);
            QTest::mouseClick(d.cmdVissza, Qt::LeftButton);
            QVERIFY(!d.isVisible());
            QVERIFY(env.prompter.asked.isEmpty());
        }
        frmNyilvantartasModositas d(env.state, kOld, kNew);
        QCOMPARE(d.lblUjNev->text(), u"Új"_s);
        QCOMPARE(d.lstHonapok->count(), 3); // the older layout too: it is rewritten in the present one
        QCOMPARE(d.lstHonapok->selectionMode(), QAbstractItemView::ExtendedSelection);
        d.show();
        d.lstHonapok->item(0)->setSelected(true);
        d.lstHonapok->item(2)->setSelected(true);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(env.prompter.texts(), QStringList{u"2 nyilvántartásban 3 módosítás."_s});
        QVERIFY(!d.isVisible());
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), logbookWith(1, {kNew, kOther, kNew}));
        QCOMPARE(env.read(u"Users/ABC123/2002feb.rvn"_s), logbookWith(2, {kOld}, "1.2"));
    }
};

QTEST_MAIN(TestFrmNyilvantartasModositas)
#include "tst_frmnyilvantartasmodositas.moc"
