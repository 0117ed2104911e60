#pragma once

// The NAV fuel-price table as a user copies it from the authority's page of a year, or as that
// page comes from the web: a heading with the year ("2024.év"), the column headings (ESZ-95,
// gázolaj, keverék, LPG, CNG), then a row a month: its Hungarian name and the prices. A browser
// copies it tab-separated, or a cell a line with blank lines between.

#include "navprices.h"

namespace rv {

// Rows found in pasted text. A month name followed by no price is read as ordinary text; one
// followed by fewer prices than there are columns, a price that is not a whole number 1-32767,
// a month given twice, or text without a year or without a row refuses the whole text.
// defaultYear (when not 0) stands for a table before any year heading. Rows come ascending.
Result parseNavPastedText(const QString& text, const QString& source, QVector<NavPriceRow>& out,
                          int defaultYear = 0);

// The same for a downloaded page: markup stripped (a table cell ends with a tab, a table row
// with a line end), character references decoded, UTF-8 or else Windows-1250.
Result parseNavPage(const QByteArray& html, const QString& source, QVector<NavPriceRow>& out, int defaultYear = 0);

// A table file of the program's own layout (a "year month ..." header line) or pasted text.
Result parseAnyNavTable(const QByteArray& data, const QString& fileName, QVector<NavPriceRow>& out);

} // namespace rv
