#pragma once

class QApplication;
class QObject;
class QWidget;

namespace rv {

// Moves a top-level window, and shrinks it when it is larger, so that it lies wholly within the
// available area of the screen that holds its parent (its own screen when it has none).
void fitOnScreen(QWidget* window);

// Fits every top-level window and dialog of the program as it is shown, for as long as the
// object returned (owned by app) lives.
QObject* keepWindowsOnScreen(QApplication& app);

} // namespace rv
