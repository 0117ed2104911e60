#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace rv {

struct AppState;

// Chooses the car whose data a new or changed car takes over: every car but the last one.
class frmImportUser : public QDialog {
    Q_OBJECT
public:
    frmImportUser(AppState& state, const QString& mainCaption, QWidget* parent = nullptr);

    // The chosen car's index once accepted, 0 when cancelled or nothing was chosen.
    int chosen() const { return m_chosen; }
    // Shows the list modally and returns the choice.
    static int choose(AppState& state, const QString& mainCaption, QWidget* parent);

    QListWidget* lstImport;
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;

private:
    void takeChoice();
    int m_chosen = 0;
};

} // namespace rv
