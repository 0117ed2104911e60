#include "databasepage.h"

#include "database/partners.h"
#include "ui/errortrap.h"
#include "ui/gui/windowparts.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace rv {

DatabasePage::DatabasePage(AppState& state, DatabaseMode mode, const QString& name)
    : m_state(state), m_mode(mode) {
    setObjectName(name);
}

bool DatabasePage::trap(const QString& location, const std::function<void()>& fn) {
    return runTrapped(m_state, u"frmAdatok - "_s + location + u':', fn);
}

void DatabasePage::reportFailure(const Result& r) {
    if (!r)
        reportSaveFailure(m_state, r);
}

QPushButton* DatabasePage::button(const char16_t* name, const QString& text) {
    QPushButton* b = namedButton(this, QString::fromUtf16(name), text);
    b->setAutoDefault(false);
    return b;
}

QLabel* DatabasePage::label(const QString& text, QWidget* buddy) {
    auto* l = new QLabel(text, this);
    l->setBuddy(buddy);
    return l;
}

} // namespace rv
