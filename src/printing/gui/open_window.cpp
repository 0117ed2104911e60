#include "printing/gui/frmPrintPreview.h"
#include "ui/gui/navigation.h"

namespace rv {

void showPrintPreview(AppState& state, PrintMode mode, bool airConditioning, bool winter, QWidget* parent) {
    frmPrintPreview window(state, mode, seasonOf(state, airConditioning, winter), parent);
    if (window.load())
        window.exec();
}

} // namespace rv
