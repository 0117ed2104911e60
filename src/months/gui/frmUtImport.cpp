#include "frmUtImport.h"

#include "editor/validation.h"
#include "model/chain.h"
#include "model/cost.h"
#include "model/logbookfile.h"
#include "model/monthchain.h"
#include "model/monthfacts.h"
#include "model/monthlist.h"
#include "storage/fileio.h"
#include "storage/prompter.h"
#include "storage/settings.h"
#include "ui/errortrap.h"
#include "ui/gui/navigation.h"
#include "ui/gui/windowparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// The field combos' object names, in the order of TripField.
const std::array<const char16_t*, kTripFieldCount> kFieldControls = {
    u"cboDatum", u"cboIndulas", u"cboErkezes", u"cboHonnan", u"cboHova",
    u"cboKm",    u"cboKezdoKm", u"cboZaroKm",  u"cboJelleg", u"cboCel"};

const QList<QChar> kSeparators = {u';', u',', u'\t', u'|'};

enum PlaceColumn { ColPlace, ColTrips, ColDecision, ColName, ColCity, ColAddress, PlaceColumns };
// The decision combo's first items; partner n follows as item n + 1.
enum DecisionItem { ItemNone, ItemPrivate, ItemNew, ItemFirstPartner };

bool isTrack(const QString& path) { return QFileInfo(path).suffix().compare(u"gpx"_s, Qt::CaseInsensitive) == 0; }

} // namespace

frmUtImport::frmUtImport(AppState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setObjectName(u"frmUtImport"_s);
    setWindowTitle(u"Utak betöltése nyomkövetőből vagy telefonos alkalmazásból"_s);
    build();
    helpKey(this, 41);
}

void frmUtImport::build() {
    txtFajl = new QLineEdit(this);
    txtFajl->setObjectName(u"txtFajl"_s);
    cmdTallozas = namedButton(this, u"cmdTallozas"_s, u"&Tallózás..."_s);
    cmdBeolvas = namedButton(this, u"cmdBeolvas"_s, u"&Beolvasás"_s);
    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel(u"&Fájl (CSV útjelentés vagy GPX nyomvonal):"_s, this);
    fileLabel->setBuddy(txtFajl);
    fileRow->addWidget(txtFajl, 1);
    fileRow->addWidget(cmdTallozas);
    fileRow->addWidget(cmdBeolvas);

    // The column mapping of a trip report.
    auto* columns = new QGroupBox(u"Az útjelentés oszlopai"_s, this);
    cboSema = new QComboBox(columns);
    cboSema->setObjectName(u"cboSema"_s);
    cboElvalaszto = new QComboBox(columns);
    cboElvalaszto->setObjectName(u"cboElvalaszto"_s);
    cboElvalaszto->addItems({u"pontosvessző (;)"_s, u"vessző (,)"_s, u"tabulátor"_s, u"függőleges vonal (|)"_s});
    cboKodolas = new QComboBox(columns);
    cboKodolas->setObjectName(u"cboKodolas"_s);
    cboKodolas->addItems({u"UTF-8"_s, u"Windows-1250"_s});
    cboTizedes = new QComboBox(columns);
    cboTizedes->setObjectName(u"cboTizedes"_s);
    cboTizedes->addItems({u"vessző (12,5)"_s, u"pont (12.5)"_s});
    chkFejlec = new QCheckBox(u"Az első sor az oszlopok &neve"_s, columns);
    chkFejlec->setObjectName(u"chkFejlec"_s);
    auto* grid = new QGridLayout(columns);
    grid->addWidget(new QLabel(u"Séma:"_s, columns), 0, 0);
    grid->addWidget(cboSema, 0, 1);
    grid->addWidget(new QLabel(u"Elválasztó:"_s, columns), 0, 2);
    grid->addWidget(cboElvalaszto, 0, 3);
    grid->addWidget(new QLabel(u"Kódolás:"_s, columns), 1, 0);
    grid->addWidget(cboKodolas, 1, 1);
    grid->addWidget(new QLabel(u"Tizedesjel:"_s, columns), 1, 2);
    grid->addWidget(cboTizedes, 1, 3);
    grid->addWidget(chkFejlec, 2, 0, 1, 4);
    for (int f = 0; f < kTripFieldCount; ++f) {
        auto* combo = new QComboBox(columns);
        combo->setObjectName(QString::fromUtf16(kFieldControls[size_t(f)]));
        cboOszlop[size_t(f)] = combo;
        grid->addWidget(new QLabel(tripFieldName(TripField(f)) + u':', columns), 3 + f / 2, (f % 2) * 2);
        grid->addWidget(combo, 3 + f / 2, (f % 2) * 2 + 1);
    }
    txtSemaNev = new QLineEdit(columns);
    txtSemaNev->setObjectName(u"txtSemaNev"_s);
    txtSemaNev->setPlaceholderText(u"a séma neve"_s);
    cmdSemaMentes = namedButton(columns, u"cmdSemaMentes"_s, u"Séma &mentése"_s);
    grid->addWidget(txtSemaNev, 8, 0, 1, 3);
    grid->addWidget(cmdSemaMentes, 8, 3);

    spnMegallo = new QSpinBox(this);
    spnMegallo->setObjectName(u"spnMegallo"_s);
    spnMegallo->setRange(1, 240);
    spnMegallo->setSuffix(u" perc"_s);
    spnMegallo->setValue(m_state.settings ? stopMinutes(*m_state.settings) : kDefaultStopMinutes);
    cboHonap = new QComboBox(this);
    cboHonap->setObjectName(u"cboHonap"_s);
    auto* form = new QFormLayout;
    form->addRow(u"GPX: megálló legalább"_s, spnMegallo);
    form->addRow(u"&Hónap:"_s, cboHonap);

    grdHelyek = new QTableWidget(0, PlaceColumns, this);
    grdHelyek->setObjectName(u"grdHelyek"_s);
    grdHelyek->setHorizontalHeaderLabels({u"Ismeretlen hely"_s, u"Utak"_s, u"Döntés"_s, u"Új partner neve"_s, u"Város"_s, u"Cím"_s});
    grdHelyek->horizontalHeader()->setStretchLastSection(true);
    lstTavolsagok = new QListWidget(this);
    lstTavolsagok->setObjectName(u"lstTavolsagok"_s);
    txtElonezet = new QPlainTextEdit(this);
    txtElonezet->setObjectName(u"txtElonezet"_s);
    txtElonezet->setReadOnly(true);
    lblAllapot = new QLabel(this);
    lblAllapot->setObjectName(u"lblAllapot"_s);
    lblAllapot->setWordWrap(true);

    cmdElonezet = namedButton(this, u"cmdElonezet"_s, u"&Előnézet"_s);
    cmdMentes = namedButton(this, u"cmdMentes"_s, u"Men&tés"_s);
    cmdMegsem = namedButton(this, u"cmdMegsem"_s, u"Mégs&em"_s);
    cmdMentes->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdElonezet);
    buttons->addWidget(cmdMentes);
    buttons->addWidget(cmdMegsem);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fileLabel);
    layout->addLayout(fileRow);
    layout->addWidget(columns);
    layout->addLayout(form);
    layout->addWidget(new QLabel(u"Ismeretlen helyek (mindegyikről egyszer kell dönteni):"_s, this));
    layout->addWidget(grdHelyek, 1);
    layout->addWidget(new QLabel(u"Tanult távolságok (a bejelölt eltérőknél a rögzített km kerül a táblázatba):"_s, this));
    layout->addWidget(lstTavolsagok);
    layout->addWidget(new QLabel(u"A hónap napjai:"_s, this));
    layout->addWidget(txtElonezet, 2);
    layout->addWidget(lblAllapot);
    layout->addLayout(buttons);

    cboSema->addItem(u"Felismerés"_s);
    if (m_state.settings)
        cboSema->addItems(tripPresetNames(*m_state.settings));

    auto trapped = [this](const QString& name, void (frmUtImport::*fn)()) {
        return [this, name, fn] { runTrapped(m_state, u"frmUtImport - "_s + name + u':', [this, fn] { (this->*fn)(); }); };
    };
    connect(cmdTallozas, &QPushButton::clicked, this, trapped(u"cmdTallozasClick"_s, &frmUtImport::cmdTallozasClick));
    connect(cmdBeolvas, &QPushButton::clicked, this, trapped(u"cmdBeolvasClick"_s, &frmUtImport::cmdBeolvasClick));
    connect(cmdElonezet, &QPushButton::clicked, this, trapped(u"cmdElonezetClick"_s, &frmUtImport::cmdElonezetClick));
    connect(cmdMentes, &QPushButton::clicked, this, trapped(u"cmdMentesClick"_s, &frmUtImport::cmdMentesClick));
    connect(cmdSemaMentes, &QPushButton::clicked, this, trapped(u"cmdSemaMentesClick"_s, &frmUtImport::cmdSemaMentesClick));
    connect(cmdMegsem, &QPushButton::clicked, this, &QDialog::reject);
    connect(cboSema, &QComboBox::activated, this, [this] { cboSemaChange(); });
    connect(cboHonap, &QComboBox::activated, this, [this] { cboHonapChange(); });
    connect(grdHelyek, &QTableWidget::cellChanged, this, [this] { invalidatePreview(); });
    connect(lstTavolsagok, &QListWidget::itemChanged, this, [this] { invalidatePreview(); });
    showReadOnly(this, m_state, {u"cmdMentes", u"cmdSemaMentes"});
    resize(900, 800);
}

// ---- the file ----------------------------------------------------------------------------------

void frmUtImport::cmdTallozasClick() {
    const QString path = m_state.prompter->openFileName(u"Útjelentés vagy nyomvonal megnyitása"_s,
                                                        u"Útjelentés vagy GPX (*.csv *.txt *.gpx);;Minden fájl (*)"_s);
    if (path.isEmpty())
        return;
    txtFajl->setText(path);
    cboSema->setCurrentIndex(0);
    cmdBeolvasClick();
}

CsvLayout frmUtImport::layoutFromControls() const {
    CsvLayout layout;
    layout.separator = kSeparators.value(cboElvalaszto->currentIndex(), u';');
    layout.encoding = cboKodolas->currentIndex() == 1 ? TextEncoding::Windows1250 : TextEncoding::Utf8;
    layout.decimal = cboTizedes->currentIndex() == 1 ? DecimalMark::Point : DecimalMark::Comma;
    layout.header = chkFejlec->isChecked();
    for (int f = 0; f < kTripFieldCount; ++f)
        layout.columns[size_t(f)] = cboOszlop[size_t(f)]->currentIndex() - 1;
    return layout;
}

// The controls show the layout; the column combos name each column by its heading or first value.
void frmUtImport::showLayout(const CsvLayout& layout, const QByteArray& data) {
    cboElvalaszto->setCurrentIndex(std::max<qsizetype>(0, kSeparators.indexOf(layout.separator)));
    cboKodolas->setCurrentIndex(layout.encoding == TextEncoding::Windows1250 ? 1 : 0);
    cboTizedes->setCurrentIndex(layout.decimal == DecimalMark::Point ? 1 : 0);
    chkFejlec->setChecked(layout.header);
    const QVector<QStringList> rows = splitCsv(decodeText(data.left(16 * 1024), layout.encoding), layout.separator);
    const QStringList first = rows.value(0);
    int count = int(first.size());
    for (int c : layout.columns)
        count = std::max(count, c + 1);
    for (int f = 0; f < kTripFieldCount; ++f) {
        QComboBox* combo = cboOszlop[size_t(f)];
        combo->clear();
        combo->addItem(u"(nincs)"_s);
        for (int c = 0; c < count; ++c)
            combo->addItem(u"%1. oszlop: %2"_s.arg(c + 1).arg(first.value(c).simplified().left(30)));
        combo->setCurrentIndex(layout.columns[size_t(f)] + 1);
    }
}

void frmUtImport::cboSemaChange() {
    if (cboSema->currentIndex() > 0 && m_state.settings)
        if (const auto layout = tripPreset(*m_state.settings, cboSema->currentText())) {
            QByteArray data;
            readWholeFile(txtFajl->text(), data, 64 * 1024);
            showLayout(*layout, data);
        }
}

void frmUtImport::cmdSemaMentesClick() {
    const QString name = txtSemaNev->text().trimmed();
    if (name.isEmpty() || !m_state.settings) {
        m_state.prompter->inform(u"Adja meg a séma nevét."_s, MsgIcon::Exclamation);
        return;
    }
    saveTripPreset(*m_state.settings, name, layoutFromControls());
    if (const Result r = m_state.settings->sync(); !r) {
        m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return;
    }
    if (cboSema->findText(name) < 0)
        cboSema->addItem(name);
    cboSema->setCurrentIndex(cboSema->findText(name));
    lblAllapot->setText(u"A(z) „%1” séma elmentve."_s.arg(name));
}

void frmUtImport::cmdBeolvasClick() {
    const QString path = txtFajl->text().trimmed();
    if (path.isEmpty()) {
        m_state.prompter->inform(u"Válassza ki a betöltendő fájlt."_s, MsgIcon::Exclamation);
        return;
    }
    std::optional<CsvLayout> layout;
    if (!isTrack(path)) {
        QByteArray data;
        if (const Result r = readWholeFile(path, data, 64LL * 1024 * 1024); !r) {
            m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
            return;
        }
        // The first reading detects; after that the controls are the layout.
        if (cboOszlop[0]->count() == 0 || property("readFile").toString() != path)
            showLayout(cboSema->currentIndex() > 0 && m_state.settings
                           ? tripPreset(*m_state.settings, cboSema->currentText()).value_or(detectCsvLayout(data))
                           : detectCsvLayout(data),
                       data);
        setProperty("readFile", path);
        layout = layoutFromControls();
    }
    if (m_state.settings && spnMegallo->value() != stopMinutes(*m_state.settings))
        m_state.settings->setText(keys::StopMinutes, QString::number(spnMegallo->value()));
    TripFile file;
    if (const Result r = readTripFile(path, layout, spnMegallo->value(), file); !r) {
        m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return;
    }
    if (const Result r = readPlaces(m_state.programDir, m_state.carPath(QString()), m_known); !r) {
        m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return;
    }
    m_file = std::move(file);
    QMap<std::pair<int, int>, int> months;
    for (const RecordedTrip& t : std::as_const(m_file.trips))
        ++months[{t.date.year(), t.date.month()}];
    cboHonap->clear();
    for (auto it = months.cbegin(); it != months.cend(); ++it)
        cboHonap->addItem(u"%1 (%2 út)"_s.arg(monthsListLine(it.key().first, it.key().second)).arg(it.value()),
                          it.key().first * 100 + it.key().second);
    QString status = u"%1 út beolvasva."_s.arg(m_file.trips.size());
    if (!m_file.problems.isEmpty())
        status += u" Kimaradt sorok: "_s + m_file.problems.join(u"; "_s);
    lblAllapot->setText(status);
    cboHonapChange();
}

void frmUtImport::cboHonapChange() {
    const int key = cboHonap->currentData().toInt();
    m_plan = key > 0 ? planTrips(m_state.partners, m_known, m_file.trips, key / 100, key % 100) : TripPlan{};
    fillPlaces();
    invalidatePreview();
}

void frmUtImport::fillPlaces() {
    const QSignalBlocker block(grdHelyek);
    grdHelyek->setRowCount(int(m_plan.unmatched.size()));
    for (int row = 0; row < grdHelyek->rowCount(); ++row) {
        const UnmatchedPlace& p = m_plan.unmatched[row];
        auto* place = new QTableWidgetItem(p.label() + (p.ambiguous ? u" (több partner címe is illik rá)"_s : QString()));
        place->setFlags(place->flags() & ~Qt::ItemIsEditable);
        grdHelyek->setItem(row, ColPlace, place);
        auto* trips = new QTableWidgetItem(QString::number(p.trips));
        trips->setFlags(trips->flags() & ~Qt::ItemIsEditable);
        grdHelyek->setItem(row, ColTrips, trips);
        auto* decision = new QComboBox(grdHelyek);
        decision->setObjectName(u"cboDontes%1"_s.arg(row));
        decision->addItems({u"(válasszon)"_s, u"Magánhely"_s, u"Új partner"_s});
        for (int i = 1; i <= m_state.partnerCount(); ++i)
            decision->addItem(PartnerLabel(m_state, i));
        connect(decision, &QComboBox::currentIndexChanged, this, [this] { invalidatePreview(); });
        grdHelyek->setCellWidget(row, ColDecision, decision);
        const Partner guess = partnerGuess(p);
        grdHelyek->setItem(row, ColName, new QTableWidgetItem(guess.name));
        grdHelyek->setItem(row, ColCity, new QTableWidgetItem(guess.city));
        grdHelyek->setItem(row, ColAddress, new QTableWidgetItem(guess.address));
    }
    grdHelyek->resizeColumnsToContents();
}

QVector<PlaceDecision> frmUtImport::decisions(QString& problem) const {
    QVector<PlaceDecision> out;
    for (int row = 0; row < grdHelyek->rowCount(); ++row) {
        const auto* combo = qobject_cast<QComboBox*>(grdHelyek->cellWidget(row, ColDecision));
        const int item = combo ? combo->currentIndex() : ItemNone;
        PlaceDecision d;
        if (item == ItemNone) {
            problem = u"Döntsön minden ismeretlen helyről (partner, új partner vagy magánhely): %1"_s.arg(
                m_plan.unmatched[row].label());
            return {};
        }
        if (item == ItemPrivate) {
            d.kind = PlaceDecision::Kind::Private;
        } else if (item == ItemNew) {
            d.kind = PlaceDecision::Kind::NewPartner;
            auto text = [&](int column) { return grdHelyek->item(row, column) ? grdHelyek->item(row, column)->text() : QString(); };
            d.newPartner = Partner{text(ColName), text(ColCity), text(ColAddress)};
        } else {
            d.kind = PlaceDecision::Kind::Partner;
            d.partner = item - ItemFirstPartner + 1;
        }
        out << d;
    }
    return out;
}

void frmUtImport::invalidatePreview() {
    m_previewed = false;
    cmdMentes->setEnabled(false);
}

// ---- the preview and the save --------------------------------------------------------------------

void frmUtImport::cmdElonezetClick() {
    if (m_plan.year == 0) {
        m_state.prompter->inform(u"Előbb olvassa be a fájlt."_s, MsgIcon::Exclamation);
        return;
    }
    QString problem;
    const QVector<PlaceDecision> chosen = decisions(problem);
    if (!problem.isEmpty()) {
        m_state.prompter->inform(problem, MsgIcon::Exclamation);
        return;
    }
    // The ticks of the differing distances shown last time, by pair.
    QSet<QString> ticked;
    for (int i = 0; i < lstTavolsagok->count(); ++i)
        if (lstTavolsagok->item(i)->checkState() == Qt::Checked)
            ticked << lstTavolsagok->item(i)->data(Qt::UserRole).toString();

    m_work.emplace(m_state);
    AppState& work = *m_work;
    m_workKnown = m_known;
    TripPlan plan = m_plan;
    if (const Result r = decidePlaces(work, m_workKnown, plan, chosen); !r) {
        m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        return;
    }
    m_learned = learnDistances(work.distances, businessLegs(plan));
    QVector<LearnedDistance> taken, kept;
    {
        const QSignalBlocker block(lstTavolsagok);
        lstTavolsagok->clear();
        for (const LearnedDistance& d : std::as_const(m_learned)) {
            if (d.verdict == LearnedDistance::Verdict::Agrees) {
                kept << d;
                continue;
            }
            const QString key = u"%1-%2"_s.arg(d.a).arg(d.b);
            auto* item = new QListWidgetItem(learnedDistanceText(work, d), lstTavolsagok);
            item->setData(Qt::UserRole, key);
            if (d.verdict == LearnedDistance::Verdict::Differs) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(ticked.contains(key) ? Qt::Checked : Qt::Unchecked);
                (ticked.contains(key) ? taken : kept) << d;
            } else {
                kept << d;
            }
        }
    }
    const QMap<QString, qint64> storedKm = kmOfStoredMonths(work);
    const int cells = applyLearnedDistances(work.distances, kept, false, work.defaultRouteType) +
                      applyLearnedDistances(work.distances, taken, true, work.defaultRouteType);
    m_databaseChanged = cells > 0 || work.partnerCount() != m_state.partnerCount();

    const LogbookListing listing = listLogbooks(work);
    const std::optional<MonthReading> previous = previousReading(work, listing, plan.year, plan.month);
    m_imported = buildImportedMonth(work, plan, chainedStart(previous));
    m_month = m_imported.log;
    QStringList text = m_imported.dayLines;
    for (const QString& note : std::as_const(m_imported.notes))
        text << u"Megjegyzés: "_s + note;
    for (const LearnedDistance& d : std::as_const(kept))
        if (d.verdict == LearnedDistance::Verdict::Differs)
            text << u"Eltérő távolság (a táblázaté marad): "_s + learnedDistanceText(work, d);
    if (cells > 0)
        for (const QString& line : monthKmChanges(work, storedKm))
            text << u"Figyelem: "_s + line;
    const Validation v = validateMonth(work, m_month, previous, isFirstMonth(listing, plan.year, plan.month));
    text += v.lines;
    const MonthOdometer o = monthOdometer(m_month.startOdometer, m_month.monthKm, monthFactsOf(m_month));
    if (!o.fault.isEmpty())
        text << o.fault;
    text << u"Üzleti %1 km, magán %2 km, kezdő km-óra állás: %3 km, záró: %4 km."_s.arg(m_month.monthKm)
                .arg(o.privateKm)
                .arg(m_month.startOdometer)
                .arg(o.closing);
    if (monthTarget(listing, plan.year, plan.month).exists)
        text << u"A hónapnak már van nyilvántartása: mentéskor megkérdezem, hogy az importált napok a hónap ugyanazon "
                u"napjai helyére kerüljenek-e."_s;
    txtElonezet->setPlainText(text.join(u'\n'));
    m_previewed = true;
    cmdMentes->setEnabled(!m_state.readOnly());
}

void frmUtImport::cmdMentesClick() {
    if (!m_previewed || !m_work)
        return;
    AppState& work = *m_work;
    const LogbookListing listing = listLogbooks(m_state);
    const auto [fileName, exists] = monthTarget(listing, m_month.year, m_month.month);
    MonthLog log = m_month;
    if (exists) {
        if (!askYesDefaultNo(*m_state.prompter,
                             u"A(z) %1 hónapnak már van nyilvántartása.\r\nBeilleszti az importált napokat? A hónap "
                             u"ugyanazon napjai helyére kerülnek, a többi nap megmarad."_s
                                 .arg(monthsListLine(m_month.year, m_month.month))))
            return;
        StoredLogbook stored;
        if (const Result r = readLogbookFile(m_state.carPath(fileName), stored, m_state.programDir); !r) {
            m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
            return;
        }
        MonthLog existing = monthFromStored(work, stored, fileName);
        applyMonthFacts(existing, readMonthFacts(m_state.carGate(), m_state.carPath(QString())).of(m_month.year, m_month.month));
        log = mergeImportedMonth(existing, m_imported);
    }
    // The import's partners and distances become the car's only when they are written.
    const QVector<Partner> partners = m_state.partners;
    const DistanceMatrix distances = m_state.distances;
    m_state.partners = work.partners;
    m_state.distances = work.distances;
    refreshKilometres(m_state, log);
    const bool placesChanged = m_workKnown.size() != m_known.size();
    const ImportWrite written = writeImport(m_state, m_databaseChanged, placesChanged ? &m_workKnown : nullptr, fileName, log);
    if (!written.result) {
        // Memory keeps what the disk holds.
        if (!written.database) {
            m_state.partners = partners;
            m_state.distances = distances;
        }
        m_state.prompter->inform(written.result.message(), MsgIcon::Exclamation);
        return;
    }
    m_state.prompter->inform(u"A(z) %1 hónap elmentve (%2 km)."_s.arg(monthsListLine(log.year, log.month)).arg(log.monthKm));
    accept();
}

void showTripImport(AppState& state, QWidget* parent) {
    frmUtImport dialog(state, parent);
    dialog.exec();
}

} // namespace rv
