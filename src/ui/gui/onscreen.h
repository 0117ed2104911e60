#pragma once

#include <QRect>
#include <QString>

class QApplication;
class QObject;
class QWidget;

namespace rv {

class Settings;

// Moves a top-level window, and shrinks it when it is larger, so that it lies wholly within the
// available area of the screen that holds its parent (its own screen when it has none).
void fitOnScreen(QWidget* window);

// Fits every top-level window and dialog of the program as it is shown, for as long as the
// object returned (owned by app) lives. A window opens where it was last closed (see
// rememberWindows), else over its parent (a window without one: in the middle of its screen).
QObject* keepWindowsOnScreen(QApplication& app);

// Where the program's windows (objectName "frm...") keep their size and place between runs,
// under "Ablakok/<objectName>" as "x,y,width,height" with ",max" when maximised. nullptr: nowhere.
void rememberWindows(Settings* store);

// The text a window's place is kept in, and the place read back from one (false: not one).
QString placeText(const QRect& geometry, bool maximised);
bool placeFromText(const QString& text, QRect& geometry, bool& maximised);

} // namespace rv
