#include "pricepage.h"
#include "model/reckoning.h"

#include "database/priceedit.h"
#include "model/statefiles.h"
#include "storage/fieldtext.h"
#include "storage/numeric.h"
#include "ui/gui/filters.h"
#include "ui/gui/listkeys.h"
#include "storage/prompter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

PricePage::PricePage(AppState& state, DatabaseMode mode) : DatabasePage(state, mode, u"picBenzin"_s) {
    txtEv = new QLineEdit(this);
    txtEv->setObjectName(u"txtEv"_s);
    txtEv->setMaxLength(4);
    txtEv->setMaximumWidth(70);
    cmdPlusz = button(u"cmdPlusz", u"+"_s);
    cmdMinusz = button(u"cmdMinusz", u"−"_s);
    cmdPlusz->setToolTip(u"Következő év"_s);
    cmdMinusz->setToolTip(u"Előző év"_s);
    for (QPushButton* b : {cmdPlusz, cmdMinusz})
        b->setMaximumWidth(32);
    cboHonapok = new QComboBox(this);
    cboHonapok->setObjectName(u"cboHonapok"_s);
    for (const QString& m : MonthNames())
        cboHonapok->addItem(m);
    cboNapok = new QComboBox(this);
    cboNapok->setObjectName(u"cboNapok"_s);
    txtAr = new QLineEdit(this);
    txtAr->setObjectName(u"txtAr"_s);
    txtAr->setMaxLength(9);
    txtAr->setMaximumWidth(80);
    txtAr->setAlignment(Qt::AlignRight);
    txtAr->setToolTip(u"A kiválasztott naptól érvényes ár; üresen hagyva a napnak nincs ára."_s);
    cmdBenzinMent = button(u"cmdBenzinMent", u"&Ment"_s);
    cmdBenzinMegsem = button(u"cmdBenzinMegsem", u"Mé&gsem"_s);
    cmdAPEH = button(u"cmdAPEH", u"Ere&deti"_s);
    cmdMindentTorol = button(u"cmdMindentTorol", u"&Töröl"_s);
    lstArak = new QListWidget(this);
    lstArak->setObjectName(u"lstArak"_s);
    lstArak->setMaximumWidth(220);
    cmdAPEH->setToolTip(u"A NAV által közzétett árak visszaállítása"_s);
    cmdMindentTorol->setToolTip(u"Minden üzemanyagár törlése"_s);

    auto* year = new QHBoxLayout;
    year->setSpacing(2);
    year->addWidget(txtEv);
    year->addWidget(cmdMinusz);
    year->addWidget(cmdPlusz);
    year->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(label(u"&Év:"_s, txtEv), 0, 0);
    grid->addLayout(year, 0, 1);
    grid->addWidget(label(u"&Hónap:"_s, cboHonapok), 1, 0);
    grid->addWidget(cboHonapok, 1, 1);
    grid->addWidget(label(u"&Nap:"_s, cboNapok), 2, 0);
    grid->addWidget(cboNapok, 2, 1);
    // The box is named by the logged-in car's fuel: "Gázolaj&ár:".
    const int car = state.currentCar;
    const int fuel = car >= 1 && car <= state.carCount() ? state.car(car).fuelType - 1 : -1;
    QString stem = fuelPriceStem(fuel);
    stem[0] = stem[0].toUpper();
    grid->addWidget(label(stem + u"&ár:"_s, txtAr), 3, 0);
    auto* price = new QHBoxLayout;
    price->addWidget(txtAr);
    price->addWidget(new QLabel(priceUnit(fuelMeasure(fuel), true), this));
    price->addStretch(1);
    grid->addLayout(price, 3, 1);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdAPEH);
    buttons->addWidget(cmdMindentTorol);
    buttons->addStretch(1);
    buttons->addWidget(cmdBenzinMent);
    buttons->addWidget(cmdBenzinMegsem);
    auto* entry = new QVBoxLayout;
    entry->addLayout(grid);
    entry->addStretch(1);
    auto* prices = new QVBoxLayout;
    prices->addWidget(label(u"Bevitt ára&k:"_s, lstArak));
    prices->addWidget(lstArak, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(entry, 1);
    top->addLayout(prices);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    const QDate today = QDate::currentDate();
    m_dateBusy = true;
    txtEv->setText(QString::number(today.year()));
    cboHonapok->setCurrentIndex(today.month() - 1);
    refillDays();
    cboNapok->setCurrentIndex(today.day() - 1);
    m_dateBusy = false;

    attachWholeNumberFilter(txtEv, [](const QString& t) { return isYearText(t); });
    attachNumericFilter(txtAr, [](const QString& t) { return isPriceText(t); });
    connect(txtEv, &QLineEdit::textChanged, this, [this] {
        if (m_dateBusy)
            return;
        txtArLostFocus();
        refillDays(); // February has 29 days in a leap year
        GetFuelPrice();
    });
    connect(cboHonapok, &QComboBox::currentIndexChanged, this, &PricePage::cboHonapokClick);
    connect(cboNapok, &QComboBox::currentIndexChanged, this, [this] {
        if (m_dateBusy)
            return;
        txtArLostFocus();
        GetFuelPrice();
    });
    setTabOrder(txtEv, cmdMinusz);
    for (auto [a, b] : {std::pair<QWidget*, QWidget*>{cmdMinusz, cmdPlusz}, {cmdPlusz, cboHonapok}, {cboHonapok, cboNapok},
                        {cboNapok, txtAr}, {txtAr, lstArak}, {lstArak, cmdAPEH}, {cmdAPEH, cmdMindentTorol},
                        {cmdMindentTorol, cmdBenzinMent}, {cmdBenzinMent, cmdBenzinMegsem}})
        setTabOrder(a, b);
    onListRowKeys(lstArak, [this] {
        if (const QListWidgetItem* item = lstArak->currentItem())
            showDate(item->data(Qt::UserRole).toDate());
    });
    connect(lstArak, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { showDate(item->data(Qt::UserRole).toDate()); });
    connect(lstArak, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { showDate(item->data(Qt::UserRole).toDate()); });
    connect(cmdPlusz, &QPushButton::clicked, this, [this] { yearStep(1); });
    connect(cmdMinusz, &QPushButton::clicked, this, [this] { yearStep(-1); });
    connect(txtAr, &QLineEdit::textEdited, this, [this] { m_arEdited = true; });
    connect(txtAr, &QLineEdit::editingFinished, this, &PricePage::txtArLostFocus);
    connect(cmdBenzinMent, &QPushButton::clicked, this, &PricePage::cmdBenzinMentClick);
    connect(cmdBenzinMegsem, &QPushButton::clicked, this, &PricePage::cmdBenzinMegsemClick);
    connect(cmdAPEH, &QPushButton::clicked, this, &PricePage::cmdAPEHClick);
    connect(cmdMindentTorol, &QPushButton::clicked, this, &PricePage::cmdMindentTorolClick);

    GetFuelPrice();
}

void PricePage::yearStep(int delta) {
    const int year = IsBlank(txtEv->text()) ? QDate::currentDate().year() : ungrouped(txtEv->text()).trimmed().toInt();
    txtEv->setText(QString::number(std::clamp(year + delta, 1, 9999)));
}

// The day list of the chosen month, keeping the chosen day where the month has it.
void PricePage::refillDays() {
    const int month = cboHonapok->currentIndex() + 1;
    const int year = IsBlank(txtEv->text()) ? 2001 : ungrouped(txtEv->text()).trimmed().toInt(); // 2001: no leap day
    const int days = month >= 1 ? daysInMonth(year, month) : 31;
    if (cboNapok->count() == days)
        return;
    const bool busy = m_dateBusy;
    m_dateBusy = true;
    const int keep = cboNapok->currentIndex();
    cboNapok->clear();
    for (int d = 1; d <= days; ++d)
        cboNapok->addItem(QString::number(d));
    cboNapok->setCurrentIndex(keep < 0 ? 0 : std::min(keep, days - 1));
    m_dateBusy = busy;
}

void PricePage::cboHonapokClick() {
    if (m_dateBusy)
        return;
    txtArLostFocus();
    refillDays();
    GetFuelPrice();
}

QDate PricePage::selectedDate() const {
    if (cboHonapok->currentIndex() < 0 || cboNapok->currentIndex() < 0 || IsBlank(txtEv->text()))
        return {};
    return QDate(ungrouped(txtEv->text()).trimmed().toInt(), cboHonapok->currentIndex() + 1, cboNapok->currentIndex() + 1);
}

void PricePage::refreshPriceList() {
    lstArak->clear();
    const int car = m_state.currentCar;
    const QString unit = priceUnit(fuelMeasure(car >= 1 && car <= m_state.carCount() ? m_state.car(car).fuelType - 1 : -1), true);
    for (const FuelPrice& p : m_state.fuelPrices) {
        auto* item = new QListWidgetItem(p.month.toString(u"yyyy. MM. dd."_s) + u"  "_s + QString::number(p.price) +
                                             u' ' + unit,
                                         lstArak);
        item->setData(Qt::UserRole, p.month);
        if (p.month == m_priceDate)
            lstArak->setCurrentItem(item);
    }
}

// Puts a day into the year, month and day boxes and shows its price.
void PricePage::showDate(const QDate& date) {
    if (!date.isValid())
        return;
    txtArLostFocus();
    m_dateBusy = true;
    txtEv->setText(QString::number(date.year()));
    cboHonapok->setCurrentIndex(date.month() - 1);
    refillDays();
    cboNapok->setCurrentIndex(date.day() - 1);
    m_dateBusy = false;
    GetFuelPrice();
}

void PricePage::GetFuelPrice() {
    trap(u"GetFuelPrice"_s, [&] {
        m_priceDate = selectedDate();
        refreshPriceList();
        const std::optional<qint16> price = m_priceDate.isValid() ? priceOn(m_state.fuelPrices, m_priceDate) : std::nullopt;
        txtAr->setText(price ? QString::number(*price) : QString());
        txtAr->setEnabled(m_priceDate.isValid());
        m_arEdited = false;
    });
}

void PricePage::txtArLostFocus() {
    if (!m_arEdited)
        return;
    m_arEdited = false;
    trap(u"txtArLostFocus"_s, [&] {
        if (!m_priceDate.isValid())
            return;
        const std::optional<qint16> before = priceOn(m_state.fuelPrices, m_priceDate);
        if (IsBlank(txtAr->text())) {
            // An emptied box takes the price of that day away.
            if (removePrice(m_state.fuelPrices, m_priceDate)) {
                m_dirty = true;
                refreshPriceList();
            }
            return;
        }
        const std::optional<qint16> price = priceFromText(txtAr->text());
        if (!price)
            return;
        if (!storePrice(m_state.fuelPrices, m_priceDate, *price)) {
            m_state.prompter->ask(u"Több üzemanyagár nem vehető fel."_s, Ok, MsgIcon::Exclamation);
            return;
        }
        if (before != price)
            m_dirty = true;
        refreshPriceList();
        if (selectedDate() == m_priceDate)
            txtAr->setText(QString::number(*price));
    });
}

void PricePage::cmdBenzinMentClick() {
    trap(u"cmdBenzinMentClick"_s, [&] {
        txtArLostFocus();
        const Result r = SaveFuelPrices(m_state);
        reportFailure(r);
        if (r) {
            m_dirty = false;
            emit status(u"Üzemanyagárak mentve"_s);
        }
    });
}

void PricePage::cmdBenzinMegsemClick() {
    trap(u"cmdBenzinMegsemClick"_s, [&] {
        m_arEdited = false;
        // A damaged file was replaced and told; any other failure leaves the list as it is.
        if (const Result r = LoadFuelPrices(m_state); !r && r.code() != 62 && m_state.prompter)
            m_state.prompter->inform(r.message(), MsgIcon::Exclamation);
        m_dirty = false;
    });
    GetFuelPrice();
}

void PricePage::cmdAPEHClick() {
    trap(u"cmdAPEHClick"_s, [&] {
        if (m_state.prompter->ask(u"Ezzel a művelettel törli a gépkocsi saját üzemanyagárait, és\r\n"
                                  u"helyükre a NAV által közzétett, a programban tárolt havi árakat\r\n"
                                  u"tölti be.\r\n\r\n"
                                  u"Biztos, hogy visszaállítja az eredeti árakat?"_s,
                                  Yes | No | DefaultNo, MsgIcon::Question) != Yes)
            return;
        m_arEdited = false;
        const Result r = resetToPublishedPrices(m_state);
        if (!r) {
            m_state.prompter->ask(u"A NAV által közzétett árak nem tölthetők be, az üzemanyagárak nem változtak.\r\n\r\n"_s +
                                      r.message(),
                                  Ok, MsgIcon::Exclamation);
            return;
        }
        m_dirty = false;
        m_state.prompter->inform(u"Az üzemanyagárak törölve, és a NAV által közzétett árak betöltve."_s);
    });
    GetFuelPrice();
}

void PricePage::cmdMindentTorolClick() {
    trap(u"cmdMindentTorol"_s, [&] {
        if (m_state.prompter->ask(u"Ezzel a művelettel minden bevitt üzemanyagárat\r\n"
                                  u"töröl az adatbázisából.\r\n\r\n"
                                  u"Biztos, hogy törli az üzemanyagárakat?"_s,
                                  Yes | No | DefaultNo, MsgIcon::Question) != Yes)
            return;
        m_arEdited = false;
        const Result r = deleteAllPrices(m_state);
        if (!r) {
            reportFailure(r);
            return;
        }
        m_dirty = false;
        m_state.prompter->inform(u"Az üzemanyagárak törölve."_s);
    });
    GetFuelPrice();
}

} // namespace rv
