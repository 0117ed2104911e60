#include "clifixture.h"
#include "printfixture.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

QString sha256Of(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex())
                                       : QString();
}

QString digits(QString s) { return s.remove(QRegularExpression(u"\\D"_s)); }

} // namespace

// The year-end pack of a year whose January has no price (see clifixture.h).
class CliPackTest : public QObject {
    Q_OBJECT

private slots:
    void packOfTheYear() {
        CliFixture f({u"cli-year"_s, u"year-seasons"_s});
        const QString pdf = f.dir.filePath(u"csomag.pdf"_s);
        CliFixture::Run r = f.run({u"pack"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, pdf});
        // The faulty January is in the pack, told, and not accepted unasked.
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(u"2024-01: hiányzik a benzinár"_s) && r.err.contains(u"--elfogad"_s), qPrintable(r.err));
        QVERIFY2(r.err.contains(u"2024-03: a kezdő állás nem egyezik"_s) && !r.err.contains(u"2024-02"_s), qPrintable(r.err));
        QVERIFY(QFile::exists(pdf));
        r = f.run({u"pack"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, pdf, u"--elfogad"_s});
        QCOMPARE(r.code, 0);
        // Each month file's checksum, worked out here from its bytes.
        const QStringList files{u"2024jan.rvn"_s, u"2024feb.rvn"_s, u"2024mar.rvn"_s};
        QStringList sums;
        for (const QString& file : files) {
            sums << sha256Of(f.path(CliFixture::car1(file)));
            QVERIFY2(r.out.contains(file + u'\t' + sums.last()), qPrintable(r.out));
        }

        const QString text = pdfText(pdf);
        if (text.isEmpty())
            QSKIP("pdftotext is not installed");
        QStringList pages = text.split(u'\f');
        pages.removeLast(); // after the last page break
        for (QString& p : pages)
            p = p.simplified();
        QCOMPARE(pages.size(), pdfPages(pdf));
        QVERIFY2(r.out.contains(u"(%1 oldal)"_s.arg(pages.size())), qPrintable(r.out));

        // The contents name every section, and beside it its page; each page is what the contents
        // say, the pages in order.
        QStringList titles;
        QList<int> first;
        static const QRegularExpression pageNumber(u"^(\\d+)\\. oldal$"_s);
        const QStringList contents = pdfText(pdf).split(u'\f').value(1).split(u'\n');
        for (const QString& raw : contents.mid(1)) { // after the heading
            const QString line = raw.simplified();
            if (const auto m = pageNumber.match(line); m.hasMatch())
                first << m.captured(1).toInt();
            else if (!line.isEmpty() && !line.contains(u"eves_csomag"_s))
                titles << line;
        }
        QCOMPARE(titles, (QStringList{u"Borító"_s, u"Tartalom"_s, u"A felhasznált NAV-üzemanyagárak"_s,
                                      u"2024. január – hibák"_s, u"2024. január – útnyilvántartás"_s,
                                      u"2024. január – költségelszámolás"_s, u"2024. február – útnyilvántartás"_s,
                                      u"2024. február – költségelszámolás"_s, u"2024. március – hibák"_s,
                                      u"2024. március – útnyilvántartás"_s, u"2024. március – költségelszámolás"_s,
                                      u"Éves összesítő"_s, u"Ellenőrző összegek"_s}));
        QCOMPARE(first.size(), titles.size());
        const QStringList marks{u"Éves csomag – 2024"_s, u"Tartalom"_s, u"NAV-üzemanyagárak"_s, u"hiányzik a benzinár"_s,
                                u"Útnyilvántartás"_s, u"Nincs benzinár megadva"_s, u"Útnyilvántartás"_s,
                                u"Költségelszámolás"_s, u"nem egyezik az előző hónap záró állásával"_s,
                                u"Útnyilvántartás"_s, u"Költségelszámolás"_s, u"Éves összesítő – 2024"_s,
                                u"Ellenőrző összegek"_s};
        for (qsizetype i = 0; i < titles.size(); ++i) {
            QVERIFY(first[i] >= 1 && first[i] <= pages.size() && (i == 0 || first[i] > first[i - 1]));
            QVERIFY2(pages[first[i] - 1].contains(marks[i]), qPrintable(titles[i] + u": "_s + pages[first[i] - 1]));
            QVERIFY2(pages[first[i] - 1].contains(u"%1. oldal / %2"_s.arg(first[i]).arg(pages.size())),
                     qPrintable(pages[first[i] - 1]));
        }
        QCOMPARE(first.last(), pages.size());
        // The prices of the months used: February and March at 600, March from the 15th at 620.
        QVERIFY2(pages[2].contains(u"2024. március 15. - 2024. március 31.: 620 Ft/l"_s), qPrintable(pages[2]));

        // The cover's figures are the year's.
        const QStringList total = f.run({u"year"_s, u"ABC-123"_s, u"2024"_s}).out.split(u'\n').filter(u"Összesen"_s);
        QCOMPARE(total.size(), 1);
        const QStringList cells = total[0].trimmed().split(u'\t');
        const QString cover = pages[0];
        const auto after = [&](const QString& label, const QString& unit) {
            const qsizetype at = cover.indexOf(label);
            return at < 0 ? QString() : cover.mid(at + label.size(), cover.indexOf(unit, at + label.size()) - at - label.size());
        };
        QCOMPARE(digits(after(u"Az év üzleti km-e: "_s, u" km"_s)), digits(cells[1]));
        QCOMPARE(cells[2], u"-"_s); // January lacks its price: the year has no cost
        QVERIFY2(cover.contains(u"Az év költsége: nem számolható"_s), qPrintable(cover));
        QCOMPARE(digits(after(u"Magán km: "_s, u" km"_s)), digits(cells[3]));
        QVERIFY2(cover.contains(u"Üzleti arány: "_s + cells[4]), qPrintable(cover));
        QVERIFY2(cover.contains(u"hibás: január, március"_s), qPrintable(cover));

        // The last page: every file with its checksum, and the program's version.
        for (qsizetype i = 0; i < files.size(); ++i)
            QVERIFY2(pages.last().contains(files[i]) && pages.last().contains(sums[i]), qPrintable(pages.last()));
        QVERIFY(pages.last().contains(programTitle()));
    }

    void packNeedsAPdf() {
        CliFixture f({u"cli-year"_s});
        QCOMPARE(f.run({u"pack"_s, u"ABC-123"_s, u"2024"_s, u"-o"_s, f.dir.filePath(u"x.xlsx"_s)}).code, 2);
        QCOMPARE(f.run({u"pack"_s, u"ABC-123"_s, u"2019"_s, u"-o"_s, f.dir.filePath(u"x.pdf"_s)}).code, 1);
        QVERIFY(!QFile::exists(f.dir.filePath(u"x.pdf"_s)));
    }
};

QTEST_MAIN(CliPackTest)
#include "tst_clipack.moc"
