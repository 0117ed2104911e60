#pragma once

#include <QMainWindow>

class QListWidget;

namespace rv {

struct AppState;

// The window the user works from: the car list, login, and the menus to every other window.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(AppState& state, QWidget* parent = nullptr);

    QString caption() const;
    void fillUsers();

    QListWidget* lstUsers;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& m_state;
};

} // namespace rv
