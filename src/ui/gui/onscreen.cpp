#include "onscreen.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace rv {
namespace {

class ScreenKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (w->isWindow() && type != Qt::Popup && type != Qt::ToolTip && type != Qt::Desktop)
                fitOnScreen(w);
        }
        return false;
    }
};

} // namespace

void fitOnScreen(QWidget* window) {
    const QWidget* parent = window->parentWidget();
    QScreen* screen = parent ? parent->window()->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame is known once the window manager has framed the window; before that the
    // difference is zero and the client area is fitted.
    QSize frame = window->frameGeometry().size() - window->geometry().size();
    frame = frame.expandedTo(QSize(0, 0));
    const QSize room = area.size() - frame;
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(std::min(window->width(), room.width()), std::min(window->height(), room.height()));
    const QRect outer = window->frameGeometry();
    const int x = std::clamp(outer.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(outer.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    if (x != outer.x() || y != outer.y())
        window->move(x, y);
}

QObject* keepWindowsOnScreen(QApplication& app) {
    auto* keeper = new ScreenKeeper(&app);
    app.installEventFilter(keeper);
    return keeper;
}

} // namespace rv
