#pragma once

#include "storage/result.h"
#include "ui/gui/navigation.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;

namespace rv {

struct AppState;

// What the pages of the database window share: the state, the error trap and the look of
// their buttons.
class DatabasePage : public QWidget {
    Q_OBJECT
public:
    DatabasePage(AppState& state, DatabaseMode mode, const QString& name);

signals:
    // A short note for the window's status line ("Távolságok mentve").
    void status(const QString& text);

protected:
    bool trap(const QString& location, const std::function<void()>& fn);
    void reportFailure(const Result& r);
    // Enter belongs to the boxes of a page, not to a default button.
    QPushButton* button(const char16_t* name, const QString& text);
    QLabel* label(const QString& text, QWidget* buddy);

    AppState& m_state;
    DatabaseMode m_mode;
};

} // namespace rv
