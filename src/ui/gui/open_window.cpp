// Stand-in until this window exists.
#include "ui/gui/navigation.h"

#include <QMessageBox>

namespace rv {

void showHelp(QWidget* /*parent*/, int /*context*/) {
    QMessageBox::information(nullptr, QStringLiteral("Rovanta+"), QStringLiteral("Ez a funkció még nem érhető el."));
}

} // namespace rv
