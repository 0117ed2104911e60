#include "frmHonapok.h"

#include "model/logbookfile.h"
#include "model/monthchange.h"
#include "model/monthlist.h"
#include "months/newmonth.h"
#include "months/openmonth.h"
#include "storage/fileio.h"
#include "model/state.h"
#include "storage/prompter.h"

#include <QComboBox>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>


using namespace Qt::Literals::StringLiterals;

// The months window's list: the stored months by year, their km, deleting and opening one.
namespace rv {
namespace {

const QString kAllYears = u"Mind"_s;

// "200209": year and two-digit month, the key the hidden sorted list holds.
QString sortKey(int year, int month) { return QString::number(year) + u"%1"_s.arg(month, 2, 10, QChar(u'0')); }

} // namespace

// ---- filling ----------------------------------------------------------------------------------

void frmHonapok::FormLoad() {
    trap(u"FormLoad"_s, [this] {
        fillLists(true);
        const auto [year, month] = firstMonthWithoutLogbook(listLogbooks(m_state), QDate::currentDate());
        cboHonapok->setCurrentIndex(month - 1);
        txtEvSzam->setText(QString::number(year));
    });
}

namespace {

QString monthFilesOnDisk(const AppState& s) {
    QString signature = s.carPath(QString()) + u'\n'; // another car is another list
    // What the listing looks at, FIFOs and folders of a month's name included.
    const QDir::Filters what = QDir::Files | QDir::Dirs | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& f : QDir(s.carPath(QString())).entryInfoList({u"*.rvn"_s}, what, QDir::Name))
        signature += f.fileName() + u'/' + QString::number(f.size()) + u'/' +
                     QString::number(f.lastModified().toMSecsSinceEpoch()) + u'\n';
    return signature;
}

} // namespace

void frmHonapok::fillLists(bool warn) {
    m_listedFiles = monthFilesOnDisk(m_state);
    const LogbookListing listing = listLogbooks(m_state);
    lstFile->clear();
    lstFile->addItems(listing.files);
    lstTmp->clear();
    for (const LogbookEntry& e : listing.entries) {
        auto* item = new QListWidgetItem(sortKey(e.year, e.month), lstTmp);
        item->setData(Qt::UserRole, e.position);
    }
    cboEv->clear();
    for (int year : listing.years)
        cboEv->addItem(QString::number(year), year);
    cboEv->addItem(kAllYears);
    cboEv->setCurrentIndex(cboEv->count() - 1);
    if (warn && m_state.prompter)
        for (const QString& w : listing.warnings)
            m_state.prompter->ask(w, Ok, MsgIcon::Exclamation);
    cboEvClick();
}

void frmHonapok::cboEvClick() {
    const QVariant year = cboEv->currentData();
    const bool all = !year.isValid();
    const QSignalBlocker block(lstHonapok);
    lstHonapok->clear();
    for (int i = 0; i < lstTmp->count(); ++i) {
        const QString key = lstTmp->item(i)->text();
        const int position = lstTmp->item(i)->data(Qt::UserRole).toInt();
        const int y = key.left(key.size() - 2).toInt();
        if (!all && y != year.toInt())
            continue;
        auto* item = new QListWidgetItem(monthsListLine(y, key.right(2).toInt()), lstHonapok);
        item->setData(Qt::UserRole, position);
    }
    lblFileInfo->setText(u"-"_s);
    if (lstHonapok->count() > 0) {
        lstHonapok->setCurrentRow(0);
        lstHonapokClick();
    }
    updateButtons();
}

QString frmHonapok::selectedFile() const {
    const QListWidgetItem* item = lstHonapok->currentItem();
    if (!item || lstHonapok->currentRow() < 0)
        return {};
    const int position = item->data(Qt::UserRole).toInt();
    if (position < 0 || position >= lstFile->count())
        return {};
    return lstFile->item(position)->text();
}

void frmHonapok::lstHonapokClick() {
    const QString file = selectedFile();
    lblFileInfo->setText(u"-"_s);
    if (file.isEmpty())
        return;
    const QString path = m_state.carPath(file);
    LogbookHeader h;
    const Result r = readLogbookHeader(path, h, m_state.programDir);
    if (!r) {
        if (m_state.prompter)
            m_state.prompter->ask(r.message(), Ok, MsgIcon::Exclamation);
        return;
    }
    if (!h.isLogbook() || !isReadableLogbookVersion(h.version)) {
        if (m_state.prompter)
            m_state.prompter->ask(unreadableVersionWarning(path), Ok, MsgIcon::Exclamation);
        return;
    }
    // The km of the month's legs, as the year and the statement count them, not its header's.
    if (const std::optional<qint64> km = storedMonthKm(m_state, file))
        lblFileInfo->setText(selectedMonthKmText(*km));
}

void frmHonapok::updateButtons() {
    const bool selected = lstHonapok->currentRow() >= 0 && lstHonapok->currentItem() != nullptr;
    cmdSzerkeszt->setEnabled(selected && !m_busy);
    cmdEves->setEnabled(lstTmp->count() > 0 && !m_busy);
    // Read-only stays read-only whatever is selected; the delete itself refuses too.
    cmdTorol->setEnabled(selected && !m_busy && !m_state.readOnly());
}

// ---- deleting ---------------------------------------------------------------------------------

void frmHonapok::cmdTorolClick() {
    QListWidgetItem* item = lstHonapok->currentItem();
    const QString file = selectedFile();
    if (!item || file.isEmpty() || !m_state.prompter)
        return;
    const QString line = item->text();
    if (!askYesDefaultNo(*m_state.prompter, deleteMonthQuestion(line)))
        return;
    const MonthChange deleted = deleteMonth(m_state, file);
    if (!deleted.file) {
        m_state.prompter->ask(deleted.file.message(), Ok, MsgIcon::Exclamation);
        return;
    }
    m_state.prompter->inform(line + u" törölve."_s);
    if (!deleted.facts)
        m_state.prompter->ask(u"A hónap évszak-beállítása és magánhasználata nem törölhető.\r\n\r\n"_s +
                                  deleted.facts.message(),
                              Ok, MsgIcon::Exclamation);
    // Gone from the sorted list too, so that another year filter does not bring it back.
    const int position = item->data(Qt::UserRole).toInt();
    for (int i = lstTmp->count() - 1; i >= 0; --i)
        if (lstTmp->item(i)->data(Qt::UserRole).toInt() == position)
            delete lstTmp->takeItem(i);
    {
        const QSignalBlocker block(lstHonapok);
        delete lstHonapok->takeItem(lstHonapok->row(item));
        lstHonapok->setCurrentRow(-1);
    }
    lblFileInfo->setText(u"-"_s);
    updateButtons();
}

// ---- opening a stored month -------------------------------------------------------------------

void frmHonapok::cmdSzerkesztClick() {
    const QString file = selectedFile();
    if (file.isEmpty() || m_busy)
        return;
    setBusy(true);
    if (openStoredMonth(m_state, file, *this) == OpenOutcome::Opened)
        handOver(false);
    else
        setBusy(false);
}

void frmHonapok::refreshFromDisk() {
    if (m_listedFiles.isEmpty() || monthFilesOnDisk(m_state) == m_listedFiles)
        return;
    const QString file = selectedFile();
    const QVariant year = cboEv->currentData();
    fillLists(false);
    if (const int y = cboEv->findData(year); year.isValid() && y >= 0) {
        cboEv->setCurrentIndex(y);
        cboEvClick();
    }
    for (int i = 0; i < lstHonapok->count(); ++i)
        if (lstFile->item(lstHonapok->item(i)->data(Qt::UserRole).toInt())->text() == file) {
            lstHonapok->setCurrentRow(i);
            lstHonapokClick();
        }
}

bool frmHonapok::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstHonapok && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete && cmdTorol->isEnabled()) {
            cmdTorol->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace rv
