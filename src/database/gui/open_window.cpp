#include "database/gui/frmAdatok.h"
#include "ui/gui/navigation.h"

namespace rv {

void showDatabaseWindow(AppState& state, DatabaseMode mode, QWidget* parent) {
    if (state.currentCar < 1)
        return;
    frmAdatok window(state, mode, parent);
    window.exec();
    if (mode == DatabaseMode::Main && parent && !parent->isVisible())
        parent->show();
}

} // namespace rv
