#include "onscreen.h"

#include "storage/settings.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QScreen>
#include <QStringList>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;

#include <algorithm>

namespace rv {
namespace {

const char* const kFramePending = "rovantaFramePending";
const char* const kPlaced = "rovantaPlaced";
constexpr int kSettleMilliseconds = 250;

Settings*& windowStore() {
    static Settings* store = nullptr;
    return store;
}

// The program's own windows keep their place; message boxes, menus and the splash do not.
bool remembered(const QWidget* w) {
    const QString name = w->objectName();
    return name.startsWith(u"frm") && name != u"frmSplash";
}

QString placeKey(const QWidget* w) { return u"Ablakok/"_s + w->objectName(); }

void keepPlace(const QWidget* w) {
    if (!windowStore() || !remembered(w) || !w->property(kPlaced).toBool())
        return;
    const bool maximised = w->isMaximized();
    windowStore()->setText(placeKey(w), placeText(maximised ? w->normalGeometry() : w->geometry(), maximised));
}

// Where a window opens: its last place, else over its parent's middle. Fitted on the screen after.
void place(QWidget* w) {
    if (windowStore() && remembered(w)) {
        QRect geometry;
        bool maximised = false;
        if (placeFromText(windowStore()->text(placeKey(w)), geometry, maximised)) {
            w->setGeometry(geometry);
            if (maximised)
                w->setWindowState(w->windowState() | Qt::WindowMaximized);
            return;
        }
    }
    if (w->property(kPlaced).toBool() || w->testAttribute(Qt::WA_Moved))
        return;
    const QWidget* parent = w->parentWidget() ? w->parentWidget()->window() : nullptr;
    QRect over;
    if (parent && parent->isVisible())
        over = parent->frameGeometry();
    else if (QScreen* screen = parent ? parent->screen() : w->screen())
        over = screen->availableGeometry();
    if (!over.isValid())
        return;
    QRect frame = w->frameGeometry();
    frame.moveCenter(over.center());
    w->move(frame.topLeft());
}

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
        if (t == QEvent::Hide && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            keepPlace(static_cast<QWidget*>(watched));
        if ((t == QEvent::Show || t == QEvent::Move) && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            const Qt::WindowType type = w->windowType();
            if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip || type == Qt::Desktop)
                return false;
            if (t == QEvent::Show) {
                if (!w->property(kPlaced).toBool()) {
                    place(w);
                    w->setProperty(kPlaced, true);
                }
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

void rememberWindows(Settings* store) { windowStore() = store; }

QString placeText(const QRect& geometry, bool maximised) {
    return u"%1,%2,%3,%4"_s.arg(geometry.x()).arg(geometry.y()).arg(geometry.width()).arg(geometry.height()) +
           (maximised ? u",max"_s : QString());
}

bool placeFromText(const QString& text, QRect& geometry, bool& maximised) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4 && !(parts.size() == 5 && parts[4] == u"max"_s))
        return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return false;
    }
    if (v[2] <= 0 || v[3] <= 0)
        return false;
    geometry = QRect(v[0], v[1], v[2], v[3]);
    maximised = parts.size() == 5;
    return true;
}

QObject* keepWindowsOnScreen(QApplication& app) {
    auto* keeper = new ScreenKeeper(&app);
    app.installEventFilter(keeper);
    return keeper;
}

} // namespace rv
