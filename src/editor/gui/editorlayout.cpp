#include "frmSzerkeszto.h"

#include "editor/calendar.h"
#include "editor/gui/editorcalendar.h"
#include "editor/gui/editorcaption.h"
#include "editor/gui/errorpictures.h"
#include "model/cost.h"
#include "editor/gui/frmHiba.h"
#include "model/state.h"
#include "ui/gui/windowparts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

// The editor's controls and where they stand.
namespace rv {
namespace {

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

// A caption whose mnemonic, if any, takes the focus to its box.
QLabel* caption(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

void frmSzerkeszto::buildUi() {
    // Calendar.
    picNaptar = named(new QWidget(this), u"picNaptar"_s);
    picNaptar->setAutoFillBackground(true);
    // Reached with Tab; the arrows move the day, a week up and down.
    picNaptar->setFocusPolicy(Qt::StrongFocus);
    picNaptar->setToolTip(u"Naptár: a nyilakkal választhat napot."_s);
    picNaptar->installEventFilter(this);
    auto* grid = new QGridLayout(picNaptar);
    grid->setSpacing(1);
    grid->setContentsMargins(1, 1, 1, 1);
    for (int i = 0; i < 7; ++i) {
        auto* h = named(new QLabel(picNaptar), u"lblNapokNeve"_s);
        h->setAlignment(Qt::AlignCenter);
        QFont f = h->font();
        f.setBold(true);
        h->setFont(f);
        lblNapokNeve[size_t(i)] = h;
        grid->addWidget(h, 0, i);
    }
    for (int i = 0; i < kCalendarCells; ++i) {
        auto* c = named(new QLabel(picNaptar), u"lblNapok"_s);
        c->setProperty(kCellProperty, i + 1);
        c->setAlignment(Qt::AlignCenter);
        c->setAutoFillBackground(true);
        // Its own colour, never the calendar's focus colour: otherwise every day painted while
        // the calendar has the focus looks selected.
        c->setBackgroundRole(QPalette::Window);
        c->setMinimumSize(30, 22);
        c->setFrameShape(QFrame::Box);
        c->setCursor(Qt::PointingHandCursor);
        paintCell(c, false);
        c->installEventFilter(this);
        lblNapok[size_t(i)] = c;
        grid->addWidget(c, 1 + i / 7, i % 7);
    }

    lblDatum = named(new QLabel(this), u"lblDatum"_s);
    QFont big = lblDatum->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.15);
    lblDatum->setFont(big);
    lblDatum->setAlignment(Qt::AlignCenter);
    cmdElozoNap = namedButton(this, u"cmdElozoNap"_s, u"E&lőző Nap"_s);
    cmdKovetkezoNap = namedButton(this, u"cmdKovetkezoNap"_s, u"Következő na&p"_s);
    lblKmANapon = named(new QLabel(this), u"lblKmANapon"_s);
    lblKmAHonapban = named(new QLabel(this), u"lblKmAHonapban"_s);
    txtKmOraAllas = named(new QLineEdit(this), u"txtKmOraAllas"_s);
    txtKmOraAllas->setMaximumWidth(110);
    auto* lblKmOra = caption(this, u"Havi ke&zdő km-óra állás:"_s, txtKmOraAllas);
    lblZaroAllas = named(new QLabel(this), u"lblZaroAllas"_s);
    txtZaroKmOra = named(new QLineEdit(this), u"txtZaroKmOra"_s);
    txtZaroKmOra->setMaximumWidth(110);
    txtZaroKmOra->setToolTip(u"A hónap végén leolvasott km-óra állás. A kezdő állás és a hónap útjai nélküli "
                             u"különbség a magánhasználat; üresen a hónapnak nincs magánhasználata."_s);
    auto* lblZaroKmOra = caption(this, u"Záró km-óra &állás:"_s, txtZaroKmOra);
    lblMagan = named(new QLabel(this), u"lblMagan"_s);
    lblMagan->setWordWrap(true); // a long share text must not widen the window past a small screen

    auto* fraKoltseg = named(new QGroupBox(u"Egyéb költségek"_s, this), u"fraKoltseg"_s);
    chkKlima = named(new QCheckBox(u"&Klíma"_s, fraKoltseg), u"chkKlima"_s);
    chkTeliUzem = named(new QCheckBox(u"Tél&i üzemeltetés"_s, fraKoltseg), u"chkTeliUzem"_s);
    lblOsszKoltseg = named(new QLabel(costCaption(0), fraKoltseg), u"lblOsszKoltseg"_s);
    lblOsszKoltseg->setWordWrap(true);
    // A wrapped label may be squeezed below one line on a short screen, cutting the accents off.
    lblOsszKoltseg->setMinimumHeight(lblOsszKoltseg->fontMetrics().lineSpacing() + 2);
    {
        auto* l = new QVBoxLayout(fraKoltseg);
        auto* row = new QHBoxLayout;
        row->addWidget(chkKlima);
        row->addWidget(chkTeliUzem);
        row->addStretch();
        l->addLayout(row);
        l->addWidget(lblOsszKoltseg);
    }

    fraHibak = named(new QGroupBox(u"Hibák"_s, this), u"fraHibak"_s);
    lblKisHiba = named(new QLabel(u"Nincs hiba."_s, fraHibak), u"lblKisHiba"_s);
    lblNagyHiba = named(new QLabel(fraHibak), u"lblNagyHiba"_s);
    imgHiba = named(new QLabel(fraHibak), u"imgHiba"_s);
    imlHiba = errorPictures(32);
    imgHiba->setPixmap(imlHiba[0]);
    imgHiba->setFixedSize(34, 34);
    chkHiba = named(new QCheckBox(u"&Részletek"_s, fraHibak), u"chkHiba"_s);
    chkHiba->setToolTip(u"Kattintson ide, hogy megtudja, mik a konkrét hibák."_s);
    chkHiba->setEnabled(false);
    {
        auto* l = new QGridLayout(fraHibak);
        l->addWidget(imgHiba, 0, 0, 2, 1);
        l->addWidget(lblKisHiba, 0, 1);
        l->addWidget(lblNagyHiba, 1, 1);
        l->addWidget(chkHiba, 2, 0, 1, 2);
        l->setColumnStretch(1, 1);
    }

    // Trip entry.
    lstPartnerek = named(new QListWidget(this), u"lstPartnerek"_s);
    lstPartnerek->setToolTip(u"Az itt felsorolt partnerekből állíthatja össze az útnyilvántartását. "
                             u"A saját cége is itt szerepel."_s);
    auto* lblPartnerek = caption(this, u"Partnerek:"_s, lstPartnerek);
    lstKesz = named(new QListWidget(this), u"lstKesz"_s);
    lstKesz->setToolTip(u"Ha az utolsó adat van kiválasztva, a lista végéhez adhat hozzá adatokat, "
                        u"egyébként a kiválasztott elem elé szúrhatja be."_s);
    auto* lblKesz = caption(this, u"A nap útvonala:"_s, lstKesz);
    cmdHozzaAd = namedButton(this, u"cmdHozzaAd"_s, u"&Hozzáad"_s);
    cmdTorol = namedButton(this, u"cmdTorol"_s, u"&Töröl"_s);
    cmdMindentTorol = namedButton(this, u"cmdMindentTorol"_s, u"Min&dent töröl"_s);
    lblTavolsag = named(new QLabel(u"-"_s, this), u"lblTavolsag"_s);

    auto* fraTipus = named(new QGroupBox(u"Az út típ&usa"_s, this), u"fraTipus"_s);
    optCsakOda = named(new QRadioButton(u"csak oda"_s, fraTipus), u"optCsakOda"_s);
    optOdaVissza = named(new QRadioButton(u"visszaút is"_s, fraTipus), u"optOdaVissza"_s);
    optACeghez = named(new QRadioButton(u"vissza a céghez"_s, fraTipus), u"optACeghez"_s);
    optCsakOda->setChecked(true);
    {
        auto* l = new QHBoxLayout(fraTipus);
        l->addWidget(optCsakOda);
        l->addWidget(optOdaVissza);
        l->addWidget(optACeghez);
    }

    auto* fraMasol = named(new QGroupBox(u"Adatok másolása a napok között"_s, this), u"fraMasol"_s);
    txtHonnan = named(new QLineEdit(fraMasol), u"txtHonnan"_s);
    txtHova = named(new QLineEdit(fraMasol), u"txtHova"_s);
    txtHonnan->setMaximumWidth(48);
    txtHova->setMaximumWidth(48);
    optCsatol = named(new QRadioButton(u"&Csatol"_s, fraMasol), u"optCsatol"_s);
    optFelulIr = named(new QRadioButton(u"&Felülír"_s, fraMasol), u"optFelulIr"_s);
    optFelulIr->setChecked(true);
    cmdMasol = namedButton(fraMasol, u"cmdMasol"_s, u"&Másol"_s);
    {
        auto* l = new QHBoxLayout(fraMasol);
        l->addWidget(caption(fraMasol, u"H&onnan:"_s, txtHonnan));
        l->addWidget(txtHonnan);
        l->addWidget(caption(fraMasol, u"Hov&a:"_s, txtHova));
        l->addWidget(txtHova);
        l->addSpacing(8);
        l->addWidget(optCsatol);
        l->addWidget(optFelulIr);
        l->addStretch();
        l->addWidget(cmdMasol);
    }

    txtComment = named(new QLineEdit(this), u"txtComment"_s);
    txtComment->setMaxLength(kMaxFieldChars);
    auto* lblComment = caption(this, u"Meg&jegyzések a naphoz:"_s, txtComment);

    cmdMent = namedButton(this, u"cmdMent"_s, u"M&entés"_s);
    cmdNyomtat = namedButton(this, u"cmdNyomtat"_s, u"&Nyomtat"_s);
    cmdKoltseg = namedButton(this, u"cmdKoltseg"_s, u"Költsé&gek"_s);
    cmdRendelveny = namedButton(this, u"cmdRendelveny"_s, u"Rendelvén&y"_s);
    cmdRendelveny->setToolTip(u"Kiküldetési rendelvény a hónap utas napjairól."_s);
    cmdAdatBazis = namedButton(this, u"cmdAdatBazis"_s, u"Adat&bázis"_s);
    cmdAdatBazis->setToolTip(u"Az adatbázist tudja szerkeszteni."_s);
    cmdSugo = namedButton(this, u"cmdSugo"_s, u"&Súgó"_s);
    cmdVissza = namedButton(this, u"cmdVissza"_s, u"&Vissza"_s);
    lblAllapot = named(new QLabel(this), u"lblAllapot"_s);

    // Left: the calendar and the month; right: the day's trips.
    auto* left = new QVBoxLayout;
    left->addWidget(picNaptar);
    left->addWidget(lblDatum);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(cmdElozoNap);
        row->addWidget(cmdKovetkezoNap);
        left->addLayout(row);
    }
    left->addWidget(lblKmANapon);
    left->addWidget(lblKmAHonapban);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(lblKmOra);
        row->addWidget(txtKmOraAllas);
        row->addWidget(lblZaroAllas);
        row->addStretch();
        left->addLayout(row);
    }
    {
        auto* row = new QHBoxLayout;
        row->addWidget(lblZaroKmOra);
        row->addWidget(txtZaroKmOra);
        row->addWidget(lblMagan);
        row->addStretch();
        left->addLayout(row);
    }
    left->addWidget(fraKoltseg);
    left->addWidget(fraHibak);
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(lblPartnerek);
    right->addWidget(lstPartnerek, 3);
    {
        auto* row = new QHBoxLayout;
        row->addWidget(fraTipus, 1);
        row->addWidget(cmdHozzaAd, 0, Qt::AlignBottom);
        right->addLayout(row);
    }
    right->addWidget(lblTavolsag);
    right->addWidget(lblKesz);
    right->addWidget(lstKesz, 2);
    {
        auto* row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(cmdTorol);
        row->addWidget(cmdMindentTorol);
        right->addLayout(row);
    }
    right->addWidget(fraMasol);
    right->addWidget(lblComment);
    right->addWidget(txtComment);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdMent);
    buttons->addWidget(cmdNyomtat);
    buttons->addWidget(cmdKoltseg);
    buttons->addWidget(cmdRendelveny);
    buttons->addWidget(cmdAdatBazis);
    buttons->addSpacing(12);
    buttons->addWidget(lblAllapot);
    buttons->addStretch();
    buttons->addWidget(cmdSugo);
    buttons->addWidget(cmdVissza);

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(buttons);

    hibaWindow = new frmHiba(this);
    tabOrder({picNaptar, cmdElozoNap, cmdKovetkezoNap, txtKmOraAllas, txtZaroKmOra, chkKlima, chkTeliUzem, chkHiba, lstPartnerek,
              optCsakOda, optOdaVissza, optACeghez, cmdHozzaAd, lstKesz, cmdTorol, cmdMindentTorol, txtHonnan, txtHova,
              optCsatol, optFelulIr, cmdMasol, txtComment, cmdMent, cmdNyomtat, cmdKoltseg, cmdRendelveny, cmdAdatBazis, cmdSugo,
              cmdVissza});
    resize(900, 640);
}

} // namespace rv
