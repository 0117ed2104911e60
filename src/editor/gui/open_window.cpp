#include "editor/gui/frmSzerkeszto.h"
#include "model/state.h"
#include "ui/gui/navigation.h"

namespace rv {

void showEditor(AppState& state, bool newMonth, QWidget* monthsWindow) {
    // A stale exit request from an earlier editor must not close this one unasked.
    if (state.mainWindowTag == QStringLiteral("exit"))
        state.mainWindowTag.clear();
    auto* editor = new frmSzerkeszto(state, monthsWindow);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open(newMonth);
    editor->show();
}

} // namespace rv
