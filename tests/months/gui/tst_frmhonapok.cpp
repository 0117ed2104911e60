#include "months/gui/frmHonapok.h"
#include "months/gui/frmEves.h"

#include "clifixture.h"
#include "logbookfixtures.h"
#include "months/newmonth.h"
#include "taborder.h"
#include "testenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

// A logged-in car with n partners (1 and 2 30 km apart unless told otherwise), its logbooks of
// {year, month, km}, and the window, whose editor is replaced by a recorder.
struct Harness {
    explicit Harness(int partners = 2, bool distances = true, std::initializer_list<std::array<int, 3>> months = {}) {
        env.loginCar();
        for (int i = 1; i <= partners; ++i)
            env.state.partners.append(Partner{u"Partner %1"_s.arg(i), u"Győr"_s, QString()});
        env.state.distances.reset(partners);
        if (distances && partners >= 2)
            env.state.distances.at(1, 2).distance = env.state.distances.at(2, 1).distance = 30;
        for (const auto& [year, month, km] : months)
            env.write(u"Users/ABC123/"_s + newMonthFileName(year, month), logbookBytes(year, month, km));
        mainWindow.setWindowTitle(u"Rovanta+ 2.2"_s);
        w = std::make_unique<frmHonapok>(env.state, &mainWindow);
        w->openEditor = [this](bool newMonth) { opened << newMonth; };
    }
    TestEnv env;
    QWidget mainWindow;
    std::unique_ptr<frmHonapok> w;
    QList<bool> opened;
};

} // namespace

class TestFrmHonapok : public QObject {
    Q_OBJECT
private slots:
    // Nothing to open or delete; the year steps; the sample's controls show with their box.
    void carWithoutLogbooks() {
        Harness h;
        frmHonapok& w = *h.w;
        QVERIFY(!w.cmdSzerkeszt->isEnabled() && !w.cmdTorol->isEnabled());
        w.txtEvSzam->setText(u"2002"_s);
        for (QPushButton* b : {w.cmdPlus, w.cmdPlus, w.cmdMinus})
            b->click();
        QCOMPARE(w.txtEvSzam->text(), u"2003"_s);
        w.show();
        w.chkMinta->click();
        QVERIFY(w.txtKm->isVisible() && w.fraNapok->isVisible());
        w.chkMinta->click();
        QVERIFY(!w.txtKm->isVisible());
    }

    void logbooksListedByYearAndDeleted() {
        Harness h(2, true, {{2002, 10, 300}, {2002, 9, 200}, {2003, 1, 100}});
        frmHonapok& w = *h.w;
        QCOMPARE(std::pair(w.cboEv->count(), w.lstHonapok->count()), std::pair(3, 3)); // 2002 once, 2003, "Mind"
        // A new month goes on after the latest one.
        QCOMPARE(std::pair(w.txtEvSzam->text(), w.cboHonapok->currentIndex()), std::pair(u"2003"_s, 1));
        w.cboEv->setCurrentIndex(w.cboEv->findData(2002));
        w.cboEvClick();
        QCOMPARE(w.lstHonapok->count(), 2);
        w.cmdEves->click(); // the overview of the year chosen: its two months and the totals
        QVERIFY(w.findChild<frmEves*>() && w.findChild<frmEves*>()->tblEv->rowCount() == 3);
        h.env.prompter.answer(No);
        w.cmdTorol->click();
        QCOMPARE(std::pair(w.lstHonapok->count(), h.env.prompter.asked.last().buttons), std::pair(2, Yes | No | DefaultNo));
        h.env.prompter.answer(Yes);
        w.cmdTorol->click();
        QVERIFY(!QFile::exists(h.env.state.carPath(u"2002sze.rvn"_s)));
        w.cboEvClick(); // the filter again: the deleted month stays away
        QCOMPARE(w.lstHonapok->count(), 1);
    }

    void newMonthRefusals() {
        Harness h(2, true, {{2002, 1, 10}});
        frmHonapok& w = *h.w;
        w.txtEvSzam->setText(u"2002"_s);
        w.cboHonapok->setCurrentIndex(0);
        h.env.state.month.year = 1999;
        h.env.prompter.answer(No);
        w.cmdSzerkesztUj->click();
        QVERIFY(h.env.prompter.last() == overwriteMonthQuestion() && h.env.state.month.year == 1999 && h.opened.isEmpty());
        QCOMPARE(h.env.prompter.asked.last().buttons, Yes | No | DefaultNo); // Enter keeps the month

        Harness one(1); // only the base partner
        one.w->cmdSzerkesztUj->click();
        QVERIFY(one.env.prompter.asked.size() == 1 && one.opened.isEmpty());
    }

    void newEmptyMonthHandsOver() {
        Harness h;
        // The last reading before, with a month between: its header says 300 km, its legs 30 + 30 km.
        StoredLogbook november{{}, false, 2027, 11, 5000, 300, 3};
        const Partner one{u"Partner 1"_s, u"Győr"_s, QString()}, two{u"Partner 2"_s, u"Győr"_s, QString()};
        november.stops[0] = {one, two, one};
        h.env.write(u"Users/ABC123/2027nov.rvn"_s, serializeLogbook(november));
        frmHonapok& w = *h.w;
        w.show();
        h.env.state.month.fileName = u"2001dec.rvn"_s;
        w.txtEvSzam->setText(u"2028"_s);
        w.cboHonapok->setCurrentIndex(1);
        QTest::keyClick(w.txtEvSzam, Qt::Key_Return);
        QCOMPARE((std::tuple{h.opened, h.env.state.month.month, h.env.state.month.fileName, h.env.state.month.startOdometer}),
                 (std::tuple{QList<bool>{true}, 2, QString(), 5060}));
        QVERIFY(!w.isVisible());
        // The editor closes and shows the window again: list refreshed; Escape goes back to the main window.
        h.env.write(u"Users/ABC123/2028feb.rvn"_s, logbookBytes(2028, 2, 42));
        w.show();
        QCOMPARE(w.lstHonapok->count(), 2);
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible() && h.mainWindow.isVisible());
    }

    // A month without a price before priced ones, and the seasons (figures in clifixture.h), as
    // the window, its PDF and its workbook show them.
    void yearOfSeasonsAfterAPricelessMonth() {
        CliFixture f({u"cli-year"_s, u"year-seasons"_s});
        QVERIFY(f.load());
        frmEves w(f.state, 2024);
        QStringList rows;
        for (int r = 0; r < w.tblEv->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < w.tblEv->columnCount(); ++c)
                cells << (w.tblEv->item(r, c) ? w.tblEv->item(r, c)->text() : QString());
            rows << cells.join(u'|').replace(QChar(0x00A0), u'_'); // thousands parted by a no-break space
        }
        QCOMPARE(rows, (QStringList{u"Január|10_000 km|240 km|10_240 km|-|!|0 km|100,0 %"_s,
                                    u"Február|10_240 km|120 km|10_360 km|7_170 Ft||0 km|100,0 %"_s,
                                    u"Március|10_300 km|240 km|10_540 km|14_308 Ft|!|0 km|100,0 %"_s,
                                    u"Összesen||600 km||-||0 km|100,0 %"_s}));
        if (!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) {
            const QString pdf = f.dir.filePath(u"ev.pdf"_s);
            f.prompter.answerFile(pdf);
            w.cmdPdf->click();
            const QString text = pdfText(pdf).replace(QChar(0x00A0), u' '); // figures grouped on paper
            for (const QString& words : {u"Éves összesítő – 2024"_s, u"ABC-123 rendszámú"_s, u"7 170 Ft"_s, u"14 308 Ft"_s,
                                         u"! Január: hiányzik a benzinár"_s, u"Nyitó km-óra állás: 10 000 km"_s,
                                         u"Záró km-óra állás: 10 540 km"_s})
                QVERIFY2(text.contains(words), qPrintable(words + u'\n' + text));
            // One page, and no year total while a month lacks its price.
            QVERIFY2(text.count(u'\f') == 1 && !text.contains(u"21478"_s) && !text.contains(u"21 478"_s), qPrintable(text));
        }
        if (!QStandardPaths::findExecutable(u"unzip"_s).isEmpty()) {
            const QString xlsx = f.dir.filePath(u"ev.xlsx"_s);
            f.prompter.answerFile(xlsx);
            w.cmdTablazat->click();
            const QString sheet = unzipped(xlsx, u"xl/worksheets/sheet1.xml"_s);
            // The months are dates (A4: the serial of 2024-03-01), the money numbers; the header stays.
            for (const auto& [cell, value] : {std::pair{u"E3"_s, u"7170"_s}, {u"E4"_s, u"14308"_s}, {u"A4"_s, u"45352"_s}})
                QVERIFY2(sheet.contains(QRegularExpression(u"<c r=\"%1\" s=\"\\d+\"><v>%2</v></c>"_s.arg(cell, value))),
                         qPrintable(cell + u' ' + sheet));
            QVERIFY(!sheet.contains(u"<v>21478</v>"_s) && sheet.contains(u"ySplit=\"1\""_s));
            const QString strings = unzipped(xlsx, u"xl/sharedStrings.xml"_s);
            QVERIFY(strings.contains(u"hiányzik a benzinár"_s) && strings.contains(u"<t>Kezdő km-óra állás</t>"_s));
        }
        // The year-end pack (its pages: tst_clipack) is written, and its faulty months are told.
        const QString pack = f.dir.filePath(u"csomag.pdf"_s);
        f.prompter.answerFile(pack);
        w.cmdCsomag->click();
        QVERIFY(QFile::exists(pack));
        QVERIFY2(f.prompter.last().contains(u"hibás hónapot tartalmaz: január, március"_s), qPrintable(f.prompter.last()));
    }

    // Rounds of 60 km on 22 working days cannot come under 1320 km; 600 km is ten of them. The
    // exact-target box, the kilometres, the answers in turn, how many were asked, and the month
    // opened: ten days of 600 km, the present month of 22 days, or none.
    void targetReachingMonth() {
        enum Opened { TenDays, Present, NoMonth };
        const std::tuple<bool, int, QList<MsgButton>, int, Opened> cases[] = {
            {false, 600, {Ok, Yes}, 2, TenDays}, {false, 600, {Ok, No}, 2, Present}, {true, 600, {}, 0, TenDays}, {true, 50, {}, 1, NoMonth}};
        for (const auto& [boxTicked, target, answers, asked, opened] : cases) {
            Harness h;
            frmHonapok& w = *h.w;
            for (MsgButton a : answers)
                h.env.prompter.answer(a);
            w.txtEvSzam->setText(u"2026"_s);
            w.cboHonapok->setCurrentIndex(2);
            w.chkMinta->setChecked(true);
            w.chkPontos->setChecked(boxTicked);
            w.txtKm->setText(QString::number(target));
            w.cmdSzerkesztUj->click();
            QCOMPARE(h.env.prompter.asked.size(), asked);
            QCOMPARE(h.opened, opened == NoMonth ? QList<bool>{} : QList<bool>{false});
            int days = 0;
            for (int d = 1; d <= kLogDays; ++d)
                days += h.env.state.month.stops.at(d, 1) != 0;
            if (opened == TenDays)
                QCOMPARE(std::pair(days, h.env.state.month.monthKm), std::pair(10, 600));
            else if (opened == Present)
                QCOMPARE(days, 22);
        }
    }

    // 2000 km of 60 km rounds needs more than the 22 days: only a month of long walks gets there.
    // It is described and asked about, No the default; No opens nothing, Yes opens it.
    void longWalksAreAskedAbout() {
        for (const MsgButton answer : {No, Yes}) {
            Harness h;
            frmHonapok& w = *h.w;
            h.env.prompter.answer(answer);
            w.txtEvSzam->setText(u"2026"_s);
            w.cboHonapok->setCurrentIndex(2);
            w.chkMinta->setChecked(true);
            w.chkPontos->setChecked(true);
            w.txtKm->setText(u"2000"_s);
            w.cmdSzerkesztUj->click();
            QCOMPARE(h.env.prompter.asked.size(), 1);
            const auto& question = h.env.prompter.asked.last();
            QVERIFY2(question.text.contains(u"hosszú bolyongásokból"_s) &&
                         question.text.endsWith(u"Kívánja mégis ezt a mintát használni?"_s),
                     qPrintable(question.text));
            QCOMPARE(question.buttons, Yes | No | DefaultNo);
            if (answer == Yes)
                QVERIFY(h.opened == QList<bool>{false} && h.env.state.month.monthKm >= 2000);
            else
                QVERIFY(h.opened.isEmpty() && h.env.state.month.monthKm == 0 && w.cmdSzerkesztUj->isEnabled());
        }
    }

    void fallbackAnsweredNoOpensAnEmptyMonth() {
        Harness h(2, false);
        h.w->chkMinta->setChecked(true);
        h.w->txtKm->setText(u"300"_s);
        h.env.prompter.answer(No);
        h.w->cmdSzerkesztUj->click();
        QCOMPARE(std::pair(h.opened, h.env.state.month.stopWidth), std::pair(QList<bool>{true}, 0));
    }

    void openingAStoredMonth() {
        Harness h(2, true, {{2002, 9, 200}});
        frmHonapok& w = *h.w;
        QByteArray damaged = logbookBytes(2002, 9, 200);
        damaged.replace("\r\n200,1\r\n", "\r\n200,0\r\n");
        h.env.write(u"Users/ABC123/2002sze.rvn"_s, damaged);
        w.cmdSzerkeszt->click();
        QVERIFY(h.opened.isEmpty()); // the damaged month is told, not opened

        h.env.write(u"Users/ABC123/2002sze.rvn"_s, logbookBytes(2002, 9, 200));
        w.show();
        w.lstHonapok->setFocus();
        QTest::keyClick(w.lstHonapok, Qt::Key_Return);
        QCOMPARE((std::tuple{h.opened, h.env.state.month.fileName, h.env.state.mainWindowTag}),
                 (std::tuple{QList<bool>{false}, u"2002sze.rvn"_s, u"korábbi"_s}));
        QVERIFY(!w.isVisible());
        w.close(); // the editor has taken over: the main window stays hidden
        QVERIFY(!h.mainWindow.isVisible());
    }

    // Months another program wrote meanwhile show when the user comes back to the window.
    void comingBackShowsTheMonthsOnDisk() {
        Harness h(2, true, {{2002, 9, 200}, {2002, 10, 300}});
        frmHonapok& w = *h.w;
        w.show();
        w.lstHonapok->setCurrentRow(1);
        showActive(&h.mainWindow);
        // Its header says 345 km; its legs, Partner 1 to 2 and back, make 30 + 30 = 60 km.
        StoredLogbook october{{}, false, 2002, 10, 0, 345, 3}; // year, month, start, header km, width
        const Partner one{u"Partner 1"_s, u"Győr"_s, QString()}, two{u"Partner 2"_s, u"Győr"_s, QString()};
        october.stops[2] = {one, two, one};
        h.env.write(u"Users/ABC123/2002okt.rvn"_s, serializeLogbook(october));
        h.env.write(u"Users/ABC123/2003jan.rvn"_s, logbookBytes(2003, 1, 10));
        showActive(&w);
        QCOMPARE((std::tuple{w.lstHonapok->count(), w.selectedFile(), w.lblFileInfo->text()}),
                 (std::tuple{3, u"2002okt.rvn"_s, u"Ebben a hónapban 60 km"_s}));
    }
};

QTEST_MAIN(TestFrmHonapok)
#include "tst_frmhonapok.moc"
