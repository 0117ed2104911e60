#include "editorcaption.h"

#include "storage/tables.h"

#include <QApplication>
#include <QWidget>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace rv {

QString mainCaption() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"frmMain"_s && !w->windowTitle().isEmpty())
            return w->windowTitle();
    return kAppTitle + u' ' + versionText();
}

int twipsToPixels(const QWidget* widget, int twips) {
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return int(std::lround(double(twips) * double(dpi > 0 ? dpi : 96) / 1440.0));
}

} // namespace rv
