// Stand-in until this window exists.
#include "ui/gui/navigation.h"

#include <QMessageBox>

namespace rv {

void showEditor(AppState& /*state*/, bool /*newMonth*/, QWidget* /*monthsWindow*/) {
    QMessageBox::information(nullptr, QStringLiteral("Rovanta+"), QStringLiteral("Ez a funkció még nem érhető el."));
}

} // namespace rv
