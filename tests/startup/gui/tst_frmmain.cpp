#include "database/gui/navpricewindows.h"
#include "database/publishedprices.h"
#include "startup/carops.h"
#include "startup/gui/frmAbout.h"
#include "startup/gui/frmImportUser.h"
#include "startup/gui/frmMain.h"
#include "startup/gui/frmNorma.h"
#include "startup/gui/frmSetup.h"
#include "startup/gui/frmSzorzok.h"
#include "startup/gui/frmUjUser.h"
#include "storage/settings.h"
#include "storedfiles.h"
#include "taborder.h"
#include "ui/gui/helpwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include "model/holidays.h"

#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace rv;

namespace {

const QString kCaption = u"Rovanta+ 2.2"_s;

struct Env : TestEnv {
    Env() {
        state.LoadTables();
        LoadMultipliers(state);
    }
};

// Acts on the dialog of the kind given once the next modal loop shows it.
template <class Dialog> void whenShown(const std::function<void(Dialog*)>& act) {
    QTimer::singleShot(0, [act] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget()))
            act(d);
    });
}

struct Fixture {
    Env env;
    std::unique_ptr<frmMain> main;
    // The cars of the users are registered before the window opens, each under its own name as plate.
    explicit Fixture(const QStringList& users = {}) {
        for (const QString& user : users)
            createCar(env.state,
                      CarForm{user, u"Opel Astra"_s, user, 3, u"7,5"_s, u"12"_s, u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s},
                      [] { return 0; });
        main = std::make_unique<frmMain>(env.state);
        main->show();
    }
    frmUjUser* dialog() { return main->findChild<frmUjUser*>(u"frmUjUser"_s); }
    // Fills the open car dialog, typing where the text is plain ASCII.
    void fill(const QString& user, const QString& plate) {
        frmUjUser* d = dialog();
        d->txtAzonosito->setText(user);
        d->txtGKTip->setText(u"Opel Astra"_s);
        d->txtRendSzam->clear();
        QTest::keyClicks(d->txtRendSzam, plate);
        d->txtFogyasztas->clear();
        QTest::keyClicks(d->txtFogyasztas, u"7.5"_s);
        d->txtAltKoltseg->setText(u"12"_s);
        d->txtCegNev->setText(u"Cég Kft."_s);
        d->cboVaros->setEditText(u"Pécs"_s);
        d->txtCegCim->setText(u"Fő u. 1."_s);
    }
};

} // namespace

class tst_frmmain : public QObject {
    Q_OBJECT
private slots:
    // The first start offers its three ways in until there is a car; login tells the next step.
    void carsAreAddedWithImportAndModifiedByKeys() {
        Fixture f;
        QVERIFY(f.main->pnlElsoLepesek->isVisible() && f.main->focusWidget() == f.main->cmdElsoGepkocsi);
        for (QPushButton* b : {f.main->cmdLogin, f.main->cmdModosit, f.main->cmdTorol})
            QTest::mouseClick(b, Qt::LeftButton); // nothing to act on
        QVERIFY(f.env.prompter.asked.isEmpty());
        int demos = 0;
        f.main->startDemo = [&] { return ++demos, false; };
        QTest::mouseClick(f.main->cmdElsoBemutato, Qt::LeftButton);
        QVERIFY(demos == 1 && f.env.prompter.last().contains(u"rovanta --demo"_s));
        QTest::mouseClick(f.main->cmdElsoSugo, Qt::LeftButton);
        QCOMPARE(helpWindow()->txtSugo->source().fileName(), u"elso-lepesek.html"_s);
        QTest::keyClick(f.main->lstUsers, Qt::Key_Insert);
        QCOMPARE(f.dialog()->mode(), u"uj"_s);
        f.fill(u"Kovacs"_s, u"ABC-123"_s);
        f.env.prompter.answer(No); // no published prices
        QTest::keyClick(f.dialog()->txtAzonosito, Qt::Key_Return); // Enter presses OK
        QVERIFY(!f.dialog()->isVisible() && !f.main->pnlElsoLepesek->isVisible());
        PartnerDatabase db;
        db.partners = {{u"Cég Kft."_s, u"Pécs"_s, u"Fő u. 1."_s}, {u"Vevő"_s, u"Szeged"_s, u""_s}};
        db.distances.reset(2);
        f.env.write(u"Users/ABC-123/data.rvd"_s, serializeDatabase(db, 1));
        f.env.prompter.answer(Yes); // import
        bool listed = false;
        whenShown<frmImportUser>([&](frmImportUser* list) {
            listed = list->lstImport->count() == 1;
            QTest::mouseClick(list->cmdOK, Qt::LeftButton);
        });
        QTest::mouseClick(f.main->cmdUjUser, Qt::LeftButton);
        f.fill(u"Nagy"_s, u"XYZ-999"_s);
        f.dialog()->txtCegNev->setText(u"Másik Bt."_s);
        QTest::mouseClick(f.dialog()->cmdOK, Qt::LeftButton);
        QVERIFY(listed);
        QCOMPARE(storedDatabase(f.env, u"Users/XYZ-999/data.rvd"_s).partners.size(), 2);

        QVERIFY(!f.main->lblKovetkezoLepes->isVisible());
        QTest::keyClick(f.main->lstUsers, Qt::Key_Return); // as the default button: login
        QVERIFY(f.env.state.currentCar >= 1 && f.main->lblKovetkezoLepes->isVisible());
        QCOMPARE(f.main->lblKovetkezoLepes->text(), u"Nyisson meg egy hónapot: Fájl ▸ Nyilvántartások…"_s);
        QTest::mouseClick(f.main->cmdModosit, Qt::LeftButton);
        QCOMPARE(f.dialog()->mode(), u"modosit"_s);
        f.dialog()->txtRendSzam->setText(u"NEW-2"_s);
        QTest::mouseClick(f.dialog()->cmdOK, Qt::LeftButton);
        QCOMPARE(f.main->lblRendSzam->text(), u"NEW-2"_s);
    }

    void taxIdIsCheckedAndKeptWithTheCar() {
        Fixture f({u"Kiss"_s});
        QTest::mouseClick(f.main->cmdModosit, Qt::LeftButton);
        frmUjUser* d = f.dialog();
        QCOMPARE(d->mode(), u"modosit"_s);
        d->txtAdoazonosito->setText(u"8365670004"_s);
        QTest::mouseClick(d->cmdOK, Qt::LeftButton);
        QVERIFY2(f.env.prompter.last().contains(u"ellenőrző száma"_s) && d->isVisible(), qPrintable(f.env.prompter.last()));
        QCOMPARE(d->focusWidget(), d->txtAdoazonosito);
        d->txtAdoazonosito->setText(u" 8365670003 "_s);
        QTest::mouseClick(d->cmdOK, Qt::LeftButton);
        QCOMPARE(f.env.read(u"Users/Kiss/gepkocsi.rvd"_s), QByteArray("\"RVA\",3\r\n1,0\r\n1\r\n\"8365670003\"\r\n"));
    }

    void normButtonFillsTheConsumptionOfTheChosenFuel() {
        Fixture f;
        QTest::mouseClick(f.main->cmdUjUser, Qt::LeftButton);
        frmUjUser* d = f.dialog();
        d->cboBenzin->setCurrentIndex(2); // dízel
        QString fuel;
        whenShown<frmNorma>([&](frmNorma* n) {
            fuel = n->cboUzemanyag->currentText();
            QTest::keyClicks(n->txtHengerur, u"1999"_s);
            QTest::mouseClick(n->cmdOK, Qt::LeftButton);
        });
        QTest::mouseClick(d->cmdNorma, Qt::LeftButton);
        QCOMPARE(std::pair(fuel, d->txtFogyasztas->text()), std::pair(u"Gázolaj"_s, u"6,7"_s));
        QCOMPARE(d->cboNorma->currentIndex(), 1); // the flat norm, which takes no correction factor

        // Again: the dialog starts on the engine size given, and its fuel is the car's to change.
        QString engine;
        bool fuelOffered = true;
        QString focused; // by name: the dialog and its boxes are gone once it closes
        whenShown<frmNorma>([&](frmNorma* n) {
            engine = n->txtHengerur->text();
            fuelOffered = n->cboUzemanyag->isEnabled();
            focused = n->focusWidget() ? n->focusWidget()->objectName() : QString();
            n->reject();
        });
        QTest::mouseClick(d->cmdNorma, Qt::LeftButton);
        QVERIFY(engine == u"1999"_s && !fuelOffered && focused == u"txtHengerur"_s);

        // A CNG car: the petrol norm of 1001-1500 cm³ times 0,8, in kg, and no hybrid share.
        d->cboBenzin->setCurrentIndex(6);
        bool hybrid = true;
        whenShown<frmNorma>([&](frmNorma* n) {
            fuel = n->cboUzemanyag->currentText();
            hybrid = n->chkHibrid->isEnabled();
            n->txtHengerur->setText(u"1400"_s);
            QTest::mouseClick(n->cmdOK, Qt::LeftButton);
        });
        QTest::mouseClick(d->cmdNorma, Qt::LeftButton);
        QCOMPARE((std::tuple(fuel, hybrid, d->txtFogyasztas->text(), d->findChild<QLabel*>(u"lblFogyasztas"_s)->text())),
                 (std::tuple(u"CNG (sűrített földgáz)"_s, false, u"6,88"_s, u"Fo&gyasztás (kg/100 km):"_s)));
    }

    void theMenusReachTheirWork() {
        Fixture f;
        QCOMPARE(f.main->mnuUzemanyagarak->associatedObjects(), f.main->mnuSzorzok->associatedObjects());
        f.env.write(u"uj.tsv"_s, "year;month;esz95;gazolaj;keverek;lpg;cng;source_url\n2025;12;580;590;630;330;800;x\n");
        f.main->choosePriceTable = [&] { return f.env.path(u"uj.tsv"_s); };
        f.main->mnuUzemanyagarak->trigger();
        QVERIFY(f.env.prompter.last().startsWith(u"Az üzemanyagárak frissítve: 5 új ár"_s));
        // A year of swapped days into the data folder's table, in use at once.
        f.env.write(u"munkarend-2027.tsv"_s, "datum\tnap\thelyett\tforras\n2027-12-24\tpihenőnap\t\tpróba rendelet\n");
        f.main->chooseWorkdayTable = [&] { return f.env.path(u"munkarend-2027.tsv"_s); };
        f.main->mnuMunkarend->trigger();
        QVERIFY2(f.env.prompter.last().startsWith(u"1 nap került a munkarendbe"_s) && isDayOff(QDate(2027, 12, 24)) &&
                     f.env.read(u"munkarend.tsv"_s).contains("2027-12-24\tpihenőnap"),
                 qPrintable(f.env.prompter.last()));
        installSwappedDays({});
        f.main->mnuSetup->trigger();
        auto* setup = f.main->findChild<frmSetup*>();
        QVERIFY(setup && setup->isVisible());
        setup->close();
        f.main->mnuSzorzok->trigger();
        f.main->mnuNevjegy->trigger();
        QVERIFY(f.main->findChild<frmSzorzok*>() && f.main->findChild<frmAbout*>());
    }

    void loginStatusAndDelete() {
        Fixture f({u"Elso"_s, u"Masodik"_s});
        f.main->lstUsers->setCurrentRow(0);
        const QPoint at = f.main->lstUsers->visualItemRect(f.main->lstUsers->currentItem()).center();
        QTest::mouseClick(f.main->lstUsers->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(f.main->lstUsers->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(f.main->StatusBarPanel1->text() == u"Aktuális felhasználó: Elso"_s && f.main->mnuNyilvantartasok->isEnabled() &&
                f.main->mnuAdatMain->isEnabled());
        // The partner count follows the database window, and any other window on return.
        whenShown<QDialog>([&](QDialog* w) {
            f.env.state.partners.append(Partner{u"Vevő"_s, u"Szeged"_s, {}});
            w->reject();
        });
        f.main->mnuAdatMain->trigger();
        QCOMPARE(f.main->StatusBarPanel2->text(), u"1 partner az adatbázisban."_s);
        f.env.state.partners.append(Partner{u"Más"_s, u"Eger"_s, {}});
        f.main->hide();
        f.main->show();
        QCOMPARE(f.main->StatusBarPanel2->text(), u"2 partner az adatbázisban."_s);

        f.env.prompter.answer(Yes);
        QTest::keyClick(f.main->lstUsers, Qt::Key_Delete);
        QVERIFY(f.main->lstUsers->count() == 1 && f.main->StatusBarPanel1->text().isEmpty() && !f.main->mnuAdatMain->isEnabled());
        // The focus arriving at the list chooses the row it highlights, so login has a car.
        showActive(f.main.get());
        f.main->lstUsers->setFocus();
        QTest::mouseClick(f.main->cmdLogin, Qt::LeftButton);
        QCOMPARE(f.env.state.currentCar, 1);
    }

    void exitFollowsTheSetting() {
        {
            Fixture f;
            f.env.prompter.answer(No);
            QVERIFY(!f.main->close());
            f.env.prompter.answer(Yes);
            f.main->mnuKilep->trigger();
            QVERIFY(!f.main->isVisible() && f.env.state.mainWindowTag == u"exit"_s);
        }
        Fixture f;
        f.env.settings->setText(keys::ConfirmExit, u"0"_s);
        QVERIFY(f.main->close() && f.env.prompter.asked.isEmpty());
    }

    void setupStoresWhatIsShown() {
        Env env;
        frmSetup d(env.state, kCaption);
        QVERIFY(d.chkExit->isChecked() && d.chkVaros->isChecked()); // nothing stored: the cities load
        d.chkVaros->setChecked(false);
        QTest::keyClicks(d.txtProbakSzama, u"a5"_s); // the letter is reverted at once
        d.txtHiba->clear();
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        // Readers see an empty text as 0.
        QCOMPARE((std::tuple{env.settings->text(keys::LoadCities), env.settings->tolerance(), env.settings->text(keys::Tries)}),
                 (std::tuple{u"0"_s, 0.0, u"1005"_s}));
        // A store that cannot be written (a folder in its place): told, and the dialog stays open.
        const QString ini = env.dir.filePath(u"settings.ini"_s);
        QVERIFY(QFile::remove(ini) && QDir().mkpath(ini));
        d.show();
        d.chkVaros->setChecked(true);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QVERIFY(d.isVisible() && env.prompter.last().startsWith(u"A beállítások nem menthetők"_s) &&
                env.settings->text(keys::LoadCities) == u"0"_s);
    }

    void multipliersInPerCent() {
        Env env;
        frmSzorzok d(env.state, kCaption);
        d.show();
        d.txtBudaPest->setText(u"110"_s);
        d.cboAlapErtelmezettSzorzo->setCurrentIndex(1);
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        QCOMPARE((std::tuple{d.isVisible(), env.state.multipliers[1].value, storedMultipliers(env.state).defaultRouteType}),
                 (std::tuple{false, 1.1f, qint16(2)}));
        // The legal values: only after the question, the other boxes stay, nothing stored.
        frmSzorzok legal(env.state, kCaption);
        legal.txtTerep->setText(u"130"_s);
        env.prompter.answer(No);
        QTest::mouseClick(legal.cmdTorvenyi, Qt::LeftButton);
        QCOMPARE(legal.txtBudaPest->text(), u"110"_s);
        env.prompter.answer(Yes);
        QTest::mouseClick(legal.cmdTorvenyi, Qt::LeftButton);
        QStringList texts;
        for (QLineEdit* box : legal.boxes())
            texts << box->text();
        QCOMPARE(std::pair(texts, env.state.multipliers[1].value),
                 std::pair(QStringList{u"135"_s, u"125"_s, u"115"_s, u"130"_s, u"100"_s, u"105"_s, u"100"_s}, 1.1f));
    }

    void aboutWindowOpensItsLinks() {
        frmAbout::web.clear(); // a build given no address shows no link
        frmAbout::email.clear();
        {
            frmAbout bare(kCaption);
            bare.show();
            QVERIFY(!bare.lblINet->isVisible() && !bare.lblEMail->isVisible() && bare.lblLicence->text().contains(u"GNU GPL 3."_s));
        }
        frmAbout::web = u"https://rovanta.test/"_s;
        frmAbout::email = u"iroda@rovanta.test"_s;
        ScriptedPrompter prompter;
        frmAbout d(kCaption);
        d.prompter = &prompter;
        QList<QUrl> opened;
        d.openUrl = [&](const QUrl& url) { return opened.append(url), true; };
        d.show();
        QTest::mouseClick(d.lblINet, Qt::LeftButton);
        d.lblEMail->setFocus(); // Enter on a focused link opens it instead of pressing OK
        QTest::keyClick(d.lblEMail, Qt::Key_Return);
        QCOMPARE(opened, (QList<QUrl>{QUrl(u"https://rovanta.test/"_s), QUrl(u"mailto:iroda@rovanta.test?subject=Rovanta"_s)}));
        d.openUrl = [](const QUrl&) { return false; }; // no browser: said
        QTest::mouseClick(d.lblINet, Qt::LeftButton);
        QVERIFY(prompter.last().contains(u"nem nyitható meg"_s));
    }

    // The notice the start-up found is a bar, not a box: it names the first and last month
    // missing, offers the paste and the download, and goes once the prices are in or it is
    // closed. The paste dialog reads the NAV page's text and ends in the merge's question.
    void startupNoticeBarAndPasteDialog() {
        Env env;
        env.write(u"Users/b95.rvd"_s, "1\r\n#2024-01-01#\r\n583\r\n");
        const NavNotice notice = navMissingNotice(env.state, QDate(2024, 3, 10));
        QCOMPARE(std::pair(notice.first, notice.last), std::pair(QDate(2024, 2, 1), QDate(2024, 3, 1)));

        frmMain main(env.state);
        main.setStartupNotice(notice);
        main.show();
        QVERIFY(main.pnlNavErtesites->isVisible() && main.cmdNavBeillesztes->isVisible() && main.cmdNavLetoltes->isVisible());
        QCOMPARE(main.lblNavErtesites->text(), notice.text);
        QTest::qWait(20);
        QVERIFY(env.prompter.asked.isEmpty()); // nothing modal
        main.cmdNavBezar->click();
        QVERIFY(!main.pnlNavErtesites->isVisible());
        main.setStartupNotice(notice);
        QVERIFY(main.pnlNavErtesites->isVisible());

        main.mnuNavBeillesztes->trigger();
        auto* dialog = main.findChild<frmNavBeillesztes*>(u"frmNavBeillesztes"_s);
        QVERIFY(dialog && dialog->isVisible());
        // Text without a table is told, and the dialog stays for another try.
        dialog->txtNavTabla->setPlainText(u"2024.év\nnincs itt semmi"_s);
        dialog->cmdOK->click();
        QVERIFY2(dialog->isVisible() && env.prompter.last().contains(u"nem találtam NAV-ártáblázatot"_s),
                 qPrintable(env.prompter.last()));
        env.prompter.answer(No);
        dialog->txtNavTabla->setPlainText(QString::fromUtf8(testData(u"nav/2024-tabok.txt"_s)));
        dialog->cmdOK->click(); // answered No
        QVERIFY(env.prompter.last().contains(u"Beviszi ezeket a közzétett árak közé?"_s) &&
                env.read(u"Users/b95.rvd"_s) == "1\r\n#2024-01-01#\r\n583\r\n");
        QTRY_VERIFY(!main.findChild<frmNavBeillesztes*>(u"frmNavBeillesztes"_s));
        QVERIFY(main.pnlNavErtesites->isVisible()); // still missing: the bar stays
    }

    // Tab walks every dialog in the order the screen shows it; F1 opens the dialog's own page.
    void tabFollowsTheScreenAndF1Helps() {
        Env env;
        frmUjUser car(env.state);
        car.prepareNew(kCaption);
        frmSetup setup(env.state, kCaption);
        frmSzorzok multipliers(env.state, kCaption);
        frmAbout about(kCaption);
        for (QDialog* d : std::initializer_list<QDialog*>{&about, &setup, &multipliers, &car}) {
            showActive(d);
            QVERIFY2(tabStepsAgainstTheScreen(d).isEmpty(),
                     qPrintable(d->objectName() + u": "_s + tabStepsAgainstTheScreen(d).join(u", "_s)));
        }
        QTest::keyClick(&car, Qt::Key_F1);
        QCOMPARE(helpWindow()->txtSugo->source().fileName(), u"gepkocsi.html"_s);
        helpWindow()->close();
    }
};

QTEST_MAIN(tst_frmmain)
#include "tst_frmmain.moc"
