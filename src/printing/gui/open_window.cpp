#include "printing/gui/frmPrintPreview.h"
#include "ui/gui/navigation.h"

namespace rv {

void showPrintPreview(AppState& state, PrintMode mode, float season, QWidget* parent) {
    frmPrintPreview window(state, mode, season, parent);
    if (window.load())
        window.exec();
}

} // namespace rv
