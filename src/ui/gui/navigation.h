#pragma once

// How the windows open one another. Each function is defined in the folder of the window it
// opens, so the windows of one subsystem never include those of another.

#include <QString>

class QWidget;

namespace rv {

struct AppState;
struct Partner;

// Months window for the logged-in car (months/gui). The main window hides while it is open
// and shows again when it closes, unless the editor took over.
void showMonthsWindow(AppState& state, QWidget* mainWindow);

enum class DatabaseMode { Main, Editor }; // the mode texts "main" and "szerk"
// Database window, modal (database/gui).
void showDatabaseWindow(AppState& state, DatabaseMode mode, QWidget* parent);

// The dialog that carries a changed partner's texts into chosen stored logbooks, modal
// (editor/gui); offered only when stored logbooks have the partner, and the user wants it.
void showPartnerChange(AppState& state, const Partner& oldTexts, const Partner& newTexts, QWidget* parent);

// Logbook editor on state.month (editor/gui). newMonth: an empty month ("új"); otherwise the
// stops already in memory ("korábbi"). monthsWindow is the window whose status shows the steps
// while the editor opens, and which is shown again when the editor closes.
void showEditor(AppState& state, bool newMonth, QWidget* monthsWindow);

enum class PrintMode { Logbook, CostStatement, TravelOrder }; // "nyilvántartás", "költségek", "rendelvény"
// Print preview, modal (printing/gui). airConditioning, winter: the editor's season boxes, for the
// cost statement.
void showPrintPreview(AppState& state, PrintMode mode, bool airConditioning, bool winter, QWidget* parent);

// Help at a context number (ui/gui): 10 index, 12 settings, 15 multipliers, 20 car dialogs,
// 41 trip import,
// 30 database window, 40 months window, 45 print preview, 50 editor, 60 conversion of older data.
void showHelp(QWidget* parent, int context);

} // namespace rv
