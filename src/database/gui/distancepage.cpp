#include "distancepage.h"

#include "database/distances.h"
#include "model/statefiles.h"
#include "storage/fieldtext.h"
#include "ui/gui/filters.h"
#include "storage/prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {
namespace {

// The in-place editor of a cell: the km box and a small route type combo side by side.
class CellEditor : public QWidget {
public:
    CellEditor(const AppState& s, QWidget* parent) : QWidget(parent) {
        km = new QLineEdit(this);
        km->setObjectName(u"txtCellaKm"_s);
        km->setMaxLength(5);
        km->setAlignment(Qt::AlignRight);
        attachWholeNumberFilter(km, [](const QString& t) { return isDistanceText(t); });
        type = new QComboBox(this);
        type->setObjectName(u"cboCellaTipus"_s);
        for (int i = 0; i < kRouteTypeCount; ++i)
            type->addItem(s.multipliers[size_t(i)].name);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(1);
        row->addWidget(km, 2);
        row->addWidget(type, 3);
        setFocusProxy(km);
        setAutoFillBackground(true);
    }
    QLineEdit* km;
    QComboBox* type;
    bool closing = false; // handed back to the view, which deletes it later
};

// Enter, Tab and leaving the editor store the cell; Escape leaves it as it was.
class CellDelegate : public QStyledItemDelegate {
public:
    CellDelegate(const AppState& s, QObject* parent) : QStyledItemDelegate(parent), m_state(s) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* editor = new CellEditor(m_state, parent);
        for (QWidget* part : std::initializer_list<QWidget*>{editor->km, editor->type})
            part->installEventFilter(const_cast<CellDelegate*>(this));
        return editor;
    }
    void setEditorData(QWidget* widget, const QModelIndex& index) const override {
        auto* editor = static_cast<CellEditor*>(widget);
        editor->km->setText(index.data(Qt::EditRole).toString());
        editor->km->selectAll();
        editor->type->setCurrentIndex(index.data(DistanceGridModel::RouteTypeRole).toInt() - 1);
    }
    void setModelData(QWidget* widget, QAbstractItemModel* model, const QModelIndex& index) const override {
        // Both read first: the view puts the stored cell back into an open editor on every change.
        auto* editor = static_cast<CellEditor*>(widget);
        const QString km = editor->km->text();
        const int type = editor->type->currentIndex() + 1;
        model->setData(index, km, Qt::EditRole);
        model->setData(index, type, DistanceGridModel::RouteTypeRole);
    }
    void updateEditorGeometry(QWidget* widget, const QStyleOptionViewItem& option, const QModelIndex&) const override {
        QRect r = option.rect;
        r.setWidth(std::max(r.width(), widget->sizeHint().width()));
        r.setHeight(std::max(r.height(), widget->sizeHint().height()));
        widget->setGeometry(r);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* part = qobject_cast<QWidget*>(watched);
        auto* editor = part ? dynamic_cast<CellEditor*>(part->parentWidget()) : nullptr;
        if (!editor)
            return QStyledItemDelegate::eventFilter(watched, event);
        // An editor being closed loses the focus once more: the view no longer knows it then.
        if (editor->closing)
            return event->type() == QEvent::KeyPress;
        const auto finish = [&](bool commit, QAbstractItemDelegate::EndEditHint hint) {
            editor->closing = true;
            if (commit)
                emit commitData(editor);
            emit closeEditor(editor, hint);
        };
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool comboOpen = part == editor->type && editor->type->view()->isVisible();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !comboOpen) {
                finish(true, QAbstractItemDelegate::SubmitModelCache);
                return true;
            }
            if (key == Qt::Key_Escape && !comboOpen) {
                finish(false, QAbstractItemDelegate::RevertModelCache);
                return true;
            }
            // Tab goes from the km box to the combo; from the combo on to the next cell.
            if (key == Qt::Key_Tab && part == editor->type) {
                finish(true, QAbstractItemDelegate::EditNextItem);
                return true;
            }
            if (key == Qt::Key_Backtab && part == editor->km) {
                finish(true, QAbstractItemDelegate::EditPreviousItem);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // The focus left the editor (not moved inside it, not into the combo's list).
            QWidget* now = QApplication::focusWidget();
            const bool inside = now && (now == editor || editor->isAncestorOf(now) ||
                                        now->window() == editor->type->view()->window());
            if (!inside && !editor->type->view()->isVisible())
                finish(true, QAbstractItemDelegate::NoHint);
        }
        return false;
    }

private:
    const AppState& m_state;
};

} // namespace

DistancePage::DistancePage(AppState& state, DatabaseMode mode) : DatabasePage(state, mode, u"picTavolsag"_s) {
    cboHonnan = new QComboBox(this);
    cboHonnan->setObjectName(u"cboHonnan"_s);
    cboHova = new QComboBox(this);
    cboHova->setObjectName(u"cboHova"_s);
    for (QComboBox* c : {cboHonnan, cboHova}) {
        c->setMaxVisibleItems(20);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(22);
    }
    lblTavolsaguk = new QLabel(u"Távolságu&k"_s, this);
    lblTavolsaguk->setObjectName(u"lblTavolsaguk"_s);
    txtTav = new QLineEdit(this);
    txtTav->setObjectName(u"txtTav"_s);
    txtTav->setMaxLength(5);
    txtTav->setAlignment(Qt::AlignRight);
    txtTav->setMaximumWidth(80);
    lblTavolsaguk->setBuddy(txtTav);
    lblKM = new QLabel(u"km"_s, this);
    lblKM->setObjectName(u"lblKM"_s);
    cboSzorzo = new QComboBox(this);
    cboSzorzo->setObjectName(u"cboSzorzo"_s);
    for (int i = 0; i < kRouteTypeCount; ++i)
        cboSzorzo->addItem(m_state.multipliers[size_t(i)].name);
    cboSzorzo->setCurrentIndex(std::clamp(int(m_state.defaultRouteType), 1, kRouteTypeCount) - 1);

    model = new DistanceGridModel(m_state, this);
    grdTavolsagok = new QTableView(this);
    grdTavolsagok->setObjectName(u"grdTavolsagok"_s);
    grdTavolsagok->setModel(model);
    grdTavolsagok->setItemDelegate(new CellDelegate(m_state, grdTavolsagok));
    grdTavolsagok->setSelectionMode(QAbstractItemView::SingleSelection);
    grdTavolsagok->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    grdTavolsagok->setTabKeyNavigation(false); // Tab leaves the grid; the arrows move in it
    grdTavolsagok->setWordWrap(true);
    // A head's lines (headingLines) fit their column; the header grows to hold three of them.
    const int column = std::max(96, fontMetrics().horizontalAdvance(QString(kHeadingWidth + 2, u'n')));
    grdTavolsagok->horizontalHeader()->setDefaultSectionSize(column);
    grdTavolsagok->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grdTavolsagok->verticalHeader()->setDefaultSectionSize(2 * fontMetrics().height() + 8);
    grdTavolsagok->verticalHeader()->setMaximumWidth(160);
    grdTavolsagok->setToolTip(u"Minden partnerpár távolsága és úttípusa; a narancs cellák hiányoznak.\n"
                              u"Gépelés vagy F2: a km és az úttípus a cellában írható át, mindkét irányban."_s);

    cmdMentes = button(u"cmdMentes", u"&Mentés"_s);
    cmdMegsem = button(u"cmdMegsem", u"Mé&gsem"_s);
    cmdMentes->setToolTip(u"A távolságok mentése"_s);
    cmdMegsem->setToolTip(u"A nem mentett távolságok elvetése"_s);

    auto* boxes = new QGridLayout;
    boxes->addWidget(label(u"&Honnan:"_s, cboHonnan), 0, 0);
    boxes->addWidget(cboHonnan, 0, 1, 1, 3);
    boxes->addWidget(label(u"Hov&á:"_s, cboHova), 1, 0);
    boxes->addWidget(cboHova, 1, 1, 1, 3);
    boxes->addWidget(lblTavolsaguk, 2, 0);
    boxes->addWidget(txtTav, 2, 1);
    boxes->addWidget(lblKM, 2, 2);
    boxes->addWidget(label(u"Út&típus:"_s, cboSzorzo), 3, 0);
    boxes->addWidget(cboSzorzo, 3, 1, 1, 2);
    boxes->setColumnStretch(3, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(boxes);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(label(u"Minden &pár:"_s, grdTavolsagok));
    right->addWidget(grdTavolsagok, 1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdMentes);
    buttons->addWidget(cmdMegsem);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    setTabOrder(cboHonnan, cboHova);
    setTabOrder(cboHova, txtTav);
    setTabOrder(txtTav, cboSzorzo);
    setTabOrder(cboSzorzo, grdTavolsagok);
    setTabOrder(grdTavolsagok, cmdMentes);
    setTabOrder(cmdMentes, cmdMegsem);

    attachWholeNumberFilter(txtTav, [](const QString& t) { return isDistanceText(t); });
    connect(cboHonnan, &QComboBox::currentIndexChanged, this, &DistancePage::TavCboClick);
    connect(cboHova, &QComboBox::currentIndexChanged, this, &DistancePage::TavCboClick);
    connect(txtTav, &QLineEdit::textEdited, this, [this] { m_tavEdited = true; });
    connect(txtTav, &QLineEdit::editingFinished, this, &DistancePage::txtTavLostFocus);
    // Enter moves on to the other partner, which stores the distance on the way.
    connect(txtTav, &QLineEdit::returnPressed, this, [this] { cboHova->setFocus(Qt::TabFocusReason); });
    connect(cboSzorzo, &QComboBox::activated, this, &DistancePage::cboSzorzoClick);
    connect(cmdMentes, &QPushButton::clicked, this, &DistancePage::cmdMentesClick);
    connect(cmdMegsem, &QPushButton::clicked, this, &DistancePage::cmdMegsemClick);
    // The cell in the grid and the pair in the boxes are the same pair.
    connect(grdTavolsagok->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cell) {
                if (!cell.isValid() || m_filling)
                    return;
                if (cboHonnan->currentIndex() == cell.row() && cboHova->currentIndex() == cell.column())
                    return;
                m_filling = true;
                cboHonnan->setCurrentIndex(cell.row());
                cboHova->setCurrentIndex(cell.column());
                m_filling = false;
                TavCboClick();
            });
    connect(model, &DistanceGridModel::edited, this, [this](int from, int to) {
        m_dirty = true;
        const bool shown = (from == m_shownFrom && to == m_shownTo) || (from == m_shownTo && to == m_shownFrom);
        if (shown) {
            m_tavEdited = false; // the grid's value wins over a half-typed box
            TavCboClick();
        }
    });

    FillTavCombo();
}

void DistancePage::FillTavCombo() {
    trap(u"FillTavCombo"_s, [&] {
        txtTavLostFocus();
        m_filling = true;
        model->reload();
        for (QComboBox* combo : {cboHonnan, cboHova}) {
            combo->clear();
            for (int i = 1; i <= m_state.partnerCount(); ++i)
                combo->addItem(PartnerLabel(m_state, i), i);
            combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
        }
        m_filling = false;
    });
    TavCboClick();
}

void DistancePage::renamePartner(int partner) {
    for (QComboBox* combo : {cboHonnan, cboHova})
        combo->setItemText(partner - 1, PartnerLabel(m_state, partner));
    emit model->headerDataChanged(Qt::Horizontal, partner - 1, partner - 1);
    emit model->headerDataChanged(Qt::Vertical, partner - 1, partner - 1);
}

void DistancePage::showPairInGrid() {
    // A hidden view would scroll to the cell when shown, before its size is known: the page
    // catches up in showEvent instead.
    const QModelIndex cell = model->cellOf(m_shownFrom, m_shownTo);
    if (!isVisible() || !cell.isValid() || grdTavolsagok->currentIndex() == cell)
        return;
    m_filling = true;
    grdTavolsagok->setCurrentIndex(cell);
    m_filling = false;
}

void DistancePage::showEvent(QShowEvent* event) {
    DatabasePage::showEvent(event);
    QTimer::singleShot(0, this, &DistancePage::showPairInGrid);
}

void DistancePage::TavCboClick() {
    if (m_filling)
        return;
    trap(u"TavCboClick"_s, [&] {
        // What was typed for the pair shown so far belongs to that pair.
        txtTavLostFocus();
        const int from = cboHonnan->currentData().toInt();
        const int to = cboHova->currentData().toInt();
        m_shownFrom = from;
        m_shownTo = to;
        const bool editable = isEditablePair(m_state, from, to);
        for (QWidget* w : std::initializer_list<QWidget*>{lblTavolsaguk, lblKM, txtTav, cboSzorzo})
            w->setEnabled(editable);
        if (!editable) {
            txtTav->setText(u"0"_s);
        } else {
            const DistanceCell& cell = m_state.distances.at(from, to);
            txtTav->setText(QString::number(cell.distance));
            cboSzorzo->setCurrentIndex(std::clamp(int(cell.routeType), 1, kRouteTypeCount) - 1);
        }
        m_tavEdited = false;
        showPairInGrid();
    });
}

void DistancePage::txtTavLostFocus() {
    if (!m_tavEdited)
        return;
    m_tavEdited = false;
    trap(u"txtTavLostFocus"_s, [&] {
        if (!isEditablePair(m_state, m_shownFrom, m_shownTo))
            return;
        if (IsBlank(txtTav->text()))
            txtTav->setText(u"0"_s);
        const std::optional<qint16> km = distanceFromText(txtTav->text());
        if (!km)
            return;
        if (m_state.distances.at(m_shownFrom, m_shownTo).distance != *km ||
            m_state.distances.at(m_shownTo, m_shownFrom).distance != *km)
            m_dirty = true;
        setDistance(m_state, m_shownFrom, m_shownTo, *km);
        model->pairChanged(m_shownFrom, m_shownTo);
    });
}

void DistancePage::cboSzorzoClick() {
    trap(u"cboSzorzoClick"_s, [&] {
        const int from = cboHonnan->currentData().toInt();
        const int to = cboHova->currentData().toInt();
        if (!isEditablePair(m_state, from, to) || cboSzorzo->currentIndex() < 0)
            return;
        const qint16 type = qint16(cboSzorzo->currentIndex() + 1);
        if (m_state.distances.at(from, to).routeType != type || m_state.distances.at(to, from).routeType != type)
            m_dirty = true;
        setRouteType(m_state, from, to, type);
        model->pairChanged(from, to);
    });
}

void DistancePage::cmdMentesClick() {
    trap(u"cmdMentesClick"_s, [&] {
        txtTavLostFocus();
        const Result r = SaveDatabase(m_state);
        reportFailure(r);
        if (r) {
            m_dirty = false;
            emit status(u"Távolságok mentve"_s);
        }
    });
}

void DistancePage::cmdMegsemClick() {
    trap(u"cmdMegsemClick"_s, [&] {
        m_tavEdited = false;
        const Result r = revertDistances(m_state);
        if (!r)
            m_state.prompter->ask(u"A tárolt távolságok nem olvashatók vissza, a módosítások megmaradtak.\r\n\r\n"_s +
                                      r.message(),
                                  Ok, MsgIcon::Exclamation);
        else
            m_dirty = false;
        model->reload();
    });
    TavCboClick();
}

} // namespace rv
