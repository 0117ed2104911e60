#include "frmMain.h"

#include "storage/settings.h"
#include "storage/state.h"
#include "ui/prompter.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace rv {

frmMain::frmMain(AppState& state, QWidget* parent) : QMainWindow(parent), m_state(state) {
    setObjectName(u"frmMain"_s);
    setWindowTitle(caption());
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    lstUsers = new QListWidget(central);
    lstUsers->setObjectName(u"lstUsers"_s);
    layout->addWidget(lstUsers);
    setCentralWidget(central);
    fillUsers();
    resize(640, 420);
}

QString frmMain::caption() const { return kAppTitle + u' ' + versionText(); }

void frmMain::fillUsers() {
    lstUsers->clear();
    for (int i = 1; i <= m_state.carCount(); ++i) {
        auto* item = new QListWidgetItem(m_state.car(i).userName, lstUsers);
        item->setData(Qt::UserRole, i);
    }
    if (lstUsers->count() > 0)
        lstUsers->setCurrentRow(0);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_state.settings && m_state.settings->confirmExit() && m_state.prompter &&
        !askYesNo(*m_state.prompter, u"Biztos, hogy kilép?"_s)) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace rv
