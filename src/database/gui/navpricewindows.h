#pragma once

// The two ways to bring NAV's newest prices in from the main window: text pasted from NAV's page,
// and the page itself downloaded. Both end in the same confirmation and merge.

#include "model/state.h"
#include "storage/navprices.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace rv {

struct AppState;

// "NAV-árak beillesztése": the table copied from NAV's page of a year, pasted in.
class frmNavBeillesztes : public QDialog {
    Q_OBJECT
public:
    explicit frmNavBeillesztes(AppState& state, QWidget* parent = nullptr);

    QPlainTextEdit* txtNavTabla;
    QLabel* lblNavTabla;
    QPushButton* cmdOK;
    QPushButton* cmdMegsem;
    QPushButton* cmdSugo;

    void accept() override;

private:
    AppState& m_state;
};

// The help context of the NAV price pages.
constexpr int kNavPricesHelp = 35;

// "Letöltés a NAV honlapjáról": the pages fetched with a cancellable progress window, then the
// same confirmation. False when nothing was written.
bool downloadNavPrices(AppState& state, QWidget* parent);

} // namespace rv
