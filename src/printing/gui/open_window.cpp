// Stand-in until this window exists.
#include "ui/gui/navigation.h"

#include <QMessageBox>

namespace rv {

void showPrintPreview(AppState& /*state*/, PrintMode /*mode*/, float /*season*/, QWidget* /*parent*/) {
    QMessageBox::information(nullptr, QStringLiteral("Rovanta+"), QStringLiteral("Ez a funkció még nem érhető el."));
}

} // namespace rv
