// Stand-in until this window exists.
#include "ui/gui/navigation.h"

#include <QMessageBox>

namespace rv {

void showDatabaseWindow(AppState& /*state*/, DatabaseMode /*mode*/, QWidget* /*parent*/) {
    QMessageBox::information(nullptr, QStringLiteral("Rovanta+"), QStringLiteral("Ez a funkció még nem érhető el."));
}

} // namespace rv
