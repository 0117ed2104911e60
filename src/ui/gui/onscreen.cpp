#include "onscreen.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace rv {
namespace {

const char* const kFramePending = "rovantaFramePending";
constexpr int kSettleMilliseconds = 250;

// The frame a window manager puts around a window, known only once it has framed one: until
// then a new window takes the frame of one already framed.
QMargins& knownFrame() {
    static QMargins frame;
    return frame;
}

QMargins frameOf(const QWidget* window) {
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    const QMargins own(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                       outer.bottom() - inner.bottom());
    if (!own.isNull())
        knownFrame() = own;
    return own;
}

class ScreenKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type t = event->type();
        if ((t == QEvent::Show || t == QEvent::Move) && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
                return false;
            if (t == QEvent::Show) {
                // Fitted now, and once more when the window manager has put its frame on (some
                // place a modal window themselves, after it is shown).
                w->setProperty(kFramePending, frameOf(w).isNull());
                fitOnScreen(w);
                const QPointer<QWidget> shown(w);
                QTimer::singleShot(kSettleMilliseconds, w, [shown] {
                    if (shown && shown->isVisible())
                        fitOnScreen(shown);
                });
            } else if (w->property(kFramePending).toBool() && !frameOf(w).isNull()) {
                w->setProperty(kFramePending, false);
                fitOnScreen(w);
            }
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
    // The frame is known once the window manager has framed the window; before that the one
    // of a window already framed stands in for it.
    QMargins frame = frameOf(window);
    if (frame.isNull())
        frame = knownFrame();
    const QSize room = area.size().shrunkBy(frame);
    if (window->width() > room.width() || window->height() > room.height())
        window->resize(std::min(window->width(), room.width()), std::min(window->height(), room.height()));
    const QRect outer = window->geometry().marginsAdded(frame);
    const int x = std::clamp(outer.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(outer.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    // move() places the frame's corner, wherever the window manager puts the frame.
    if (x != outer.x() || y != outer.y() || (window->testAttribute(Qt::WA_Moved) && window->pos() != QPoint(x, y)))
        window->move(x, y);
}

QObject* keepWindowsOnScreen(QApplication& app) {
    auto* keeper = new ScreenKeeper(&app);
    app.installEventFilter(keeper);
    return keeper;
}

} // namespace rv
