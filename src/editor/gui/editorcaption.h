#pragma once

#include <QString>

class QWidget;

namespace rv {

// The main window's caption, which the editor's windows extend.
QString mainCaption();

// Pixels of a length given in twips on the widget's screen.
int twipsToPixels(const QWidget* widget, int twips);

} // namespace rv
