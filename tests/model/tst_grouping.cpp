#include "model/grouping.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

class TestGrouping : public QObject {
    Q_OBJECT
private slots:
    // Groups of three from the right, a no-break space between them, the sign outside.
    void digitsInGroupsOfThree() {
        const QString nb(QChar(0x00A0));
        QCOMPARE(groupedDigits(0), u"0"_s);
        QCOMPARE(groupedDigits(999), u"999"_s);
        QCOMPARE(groupedDigits(1000), u"1"_s + nb + u"000"_s);
        QCOMPARE(groupedDigits(197292), u"197"_s + nb + u"292"_s);
        QCOMPARE(groupedDigits(-1500), u"-1"_s + nb + u"500"_s);
        QCOMPARE(groupedDigits(std::numeric_limits<qint64>::min()),
                 u"-9 223 372 036 854 775 808"_s.replace(u' ', nb));
        // The texts shared with the command line: whole numbers only.
        QCOMPARE(groupedFigure(u"1234567"_s), u"1 234 567"_s.replace(u' ', nb));
        QCOMPARE(groupedFigure(u"-4500"_s), u"-4 500"_s.replace(u' ', nb));
        for (const QString& kept : {u"–"_s, u"-"_s, u"80,0 %"_s, u"1234,5"_s, QString()})
            QCOMPARE(groupedFigure(kept), kept);
    }
};

QTEST_GUILESS_MAIN(TestGrouping)
#include "tst_grouping.moc"
