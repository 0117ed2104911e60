#pragma once

// Pieces every window of the program builds the same way.

#include "storage/result.h"

#include <QLabel>
#include <QString>

#include <functional>
#include <initializer_list>

#include <QKeySequence>
#include <QList>

class QAbstractButton;
class QComboBox;
class QDialog;
class QDialogButtonBox;
class QPushButton;
class QWidget;

namespace rv {

struct AppState;

// A button whose objectName is its name, so tests find it.
QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text);

// The closing buttons of a dialog: cmdOK ("&OK", the default), cmdMegsem ("&Mégsem", rejects)
// and, when asked for, cmdSugo ("&Súgó"). The caller connects OK and help.
struct DialogButtons {
    QDialogButtonBox* box = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* help = nullptr;
};
DialogButtons dialogButtons(QDialog* dialog, bool withHelp = false);

// A caption whose text comes from data (a multiplier's name): an Alt key on its first letter not
// in taken, a plain letter before an accented one; the letter joins taken. No letter free: the text.
QString withFreeMnemonic(const QString& text, QString& taken);

// F1 in the window (and in what it holds) opens its help page (showHelp's context numbers);
// the help button, when given, says so in its tooltip.
void helpKey(QWidget* window, int context, QAbstractButton* helpButton = nullptr);

// The keys press the button while its window is active and the button can be pressed; they
// show in its tooltip ("Mentés (Ctrl+S)"). The button's Alt letter stays.
void buttonKeys(QWidget* window, QAbstractButton* button, const QList<QKeySequence>& keys);
// Ctrl+W and Esc close the window, through closer when there is one (a "Vissza" button).
void closeKeys(QWidget* window, QAbstractButton* closer = nullptr);
// A tooltip with the keys after it: "Mentés (Ctrl+S)".
QString withKeys(const QString& tip, const QList<QKeySequence>& keys);

// A window on a car that another computer edits: "Csak olvasható: <holder>" in its title and
// the controls named (objectNames) disabled. Nothing changes while the car may be written.
void showReadOnly(QWidget* window, const AppState& state, std::initializer_list<const char16_t*> editingControls);

// Tab visits the controls in the order given, as the screen shows them.
void tabOrder(std::initializer_list<QWidget*> controls);

// Shows a short message in a status label for a few seconds; the label then shows what it
// showed before, unless something else was put there meanwhile. changed runs after each change.
constexpr int kStatusMilliseconds = 5000;
void flashStatus(QLabel* label, const QString& text, const std::function<void()>& changed = {});

// A caption and a path on one line that fits any width: the path loses its middle
// ("Bemutató adatok: /home/…/Rovanta/demo"), its whole text is the tooltip.
class PathLabel : public QLabel {
public:
    explicit PathLabel(QWidget* parent = nullptr);
    void setPath(const QString& caption, const QString& path);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();
    QString m_caption;
    QString m_path;
};

// Hourglass and a disabled window for as long as it lives.
class BusyWindow {
public:
    explicit BusyWindow(QWidget* window);
    ~BusyWindow();
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    QWidget* m_window;
};

// An editable city box that finds a city by the start of its name, whatever the letter case.
void setUpCityCombo(QComboBox* combo);
// Puts the city list into the box; what was typed there stays.
void fillCityCombo(QComboBox* combo, const QStringList& cities);
// Loads the city list on demand, the windows kept painted meanwhile; a failure is told the user.
Result loadCitiesOnDemand(AppState& state);

} // namespace rv
