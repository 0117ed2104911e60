#include "editor/gui/frmNyilvantartasModositas.h"
#include "storage/win1250.h"
#include "testenv.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const Partner kOld{u"Régi"_s, u"Győr"_s, u"Fő út 1."_s};
const Partner kNew{u"Új"_s, u"Győr"_s, u"Fő út 1."_s};

// A logbook of one day with the given stops (by their texts).
QByteArray logbook(int year, int month, const QVector<Partner>& stops, const QByteArray& version = "2.2") {
    QByteArray f = "\"RVN\",\"" + version + "\"\r\n" + QByteArray::number(year) + "," + QByteArray::number(month) +
                   ",0\r\n0," + QByteArray::number(stops.size()) + "\r\n";
    for (int day = 1; day <= 31; ++day) {
        const qsizetype n = day == 1 ? stops.size() : 0;
        f += QByteArray::number(day) + "," + QByteArray::number(n) + "\r\n";
        for (qsizetype k = 0; k < n; ++k)
            for (const QString& t : {stops[k].name, stops[k].city, stops[k].address})
                f += "\"" + win1250::encode(t) + "\"\r\n";
        f += "\"\"\r\n";
    }
    return f;
}

} // namespace

class TestFrmNyilvantartasModositas : public QObject {
    Q_OBJECT
private slots:
    void showsTheTextsAndTheLogbooksToChoose() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbook(2002, 2, {kOld}));
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbook(2002, 1, {kOld}, "2.0"));
        env.write(u"Users/ABC123/2001jan.rvn"_s, logbook(2001, 1, {kOld}, "1.2"));
        frmNyilvantartasModositas d(env.state, kOld, kNew);
        QCOMPARE(d.windowTitle(), u"Rovanta+ 2.2 - Nyilvántartások -"_s);
        QCOMPARE(d.lblNev->text(), u"Régi"_s);
        QCOMPARE(d.lblVaros->text(), u"Győr"_s);
        QCOMPARE(d.lblCim->text(), u"Fő út 1."_s);
        QCOMPARE(d.lblUjNev->text(), u"Új"_s);
        QCOMPARE(d.lblUjVaros->text(), u"Győr"_s);
        QCOMPARE(d.lblUjCim->text(), u"Fő út 1."_s);
        QCOMPARE(d.lstHonapok->count(), 2);
        QCOMPARE(d.lstHonapok->item(0)->text(), u"2002. Január"_s);
        QCOMPARE(d.lstHonapok->item(1)->text(), u"2002. Február"_s);
        QCOMPARE(d.lstHonapok->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void okRewritesTheChosenOnesAndReports() {
        TestEnv env;
        env.loginCar();
        const Partner other{u"Más"_s, u"Pápa"_s, {}};
        env.write(u"Users/ABC123/2002jan.rvn"_s, logbook(2002, 1, {kOld, other, kOld}));
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbook(2002, 2, {kOld}));
        env.write(u"Users/ABC123/2002mar.rvn"_s, logbook(2002, 3, {other}));
        frmNyilvantartasModositas d(env.state, kOld, kNew);
        d.show();
        d.lstHonapok->item(0)->setSelected(true);
        d.lstHonapok->item(2)->setSelected(true);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(env.prompter.texts(), QStringList{u"2 nyilvántartásban 2 módosítás."_s});
        QCOMPARE(env.prompter.asked.last().icon, MsgIcon::Information);
        QVERIFY(!d.isVisible());
        QCOMPARE(env.read(u"Users/ABC123/2002jan.rvn"_s), logbook(2002, 1, {kNew, other, kNew}));
        QCOMPARE(env.read(u"Users/ABC123/2002feb.rvn"_s), logbook(2002, 2, {kOld}));
    }

    void nothingChosenReportsZeroAndBackChangesNothing() {
        TestEnv env;
        env.loginCar();
        env.write(u"Users/ABC123/2002feb.rvn"_s, logbook(2002, 2, {kOld}));
        {
            frmNyilvantartasModositas d(env.state, kOld, kNew);
            d.show();
            d.lstHonapok->item(0)->setSelected(true);
            QTest::mouseClick(d.cmdVissza, Qt::LeftButton);
            QVERIFY(!d.isVisible());
            QVERIFY(env.prompter.asked.isEmpty());
            QCOMPARE(env.read(u"Users/ABC123/2002feb.rvn"_s), logbook(2002, 2, {kOld}));
        }
        frmNyilvantartasModositas d(env.state, kOld, kNew);
        d.show();
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE(env.prompter.texts(), QStringList{u"0 nyilvántartásban 0 módosítás."_s});
    }
};

QTEST_MAIN(TestFrmNyilvantartasModositas)
#include "tst_frmnyilvantartasmodositas.moc"
