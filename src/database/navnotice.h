#pragma once

// The start-up notice of NAV prices the published lists lack: a bar in the main window, at most
// once a month, never for a data folder whose cars do not cost by NAV prices.

#include "model/state.h"

#include <QDate>

namespace rv {

struct NavNotice {
    QDate first; // first days of the first and the last month missing; invalid: none
    QDate last;
    QString text;
    bool due() const { return first.isValid(); }
};

// The months from the one after the newest month of the published lists in use (ESZ-95,
// gázolaj, keverék) up to this month, as the bar says them.
NavNotice navMissingNotice(const AppState& s, const QDate& today);

// Whether any car of the folder costs by NAV prices (a folder without cars will).
bool folderUsesNavPrices(const AppState& s);

// The notice to show at this start: nothing when the folder does not use NAV prices, when it was
// shown already this month (the settings keep the month), or when nothing is missing. Showing
// it notes the month.
NavNotice startupNavNotice(const AppState& s, const QDate& today);
inline const QString kNavNoticeMonthKey = QStringLiteral("NAV-értesítés hónapja");

} // namespace rv
