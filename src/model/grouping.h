#pragma once

#include <QString>

namespace rv {

// A whole number of forints or kilometres as Hungarian writes it for people to read: the digits
// in groups of three, parted by a no-break space ("197 292", "-1 500"). Windows and printouts use
// it; the command line and the files keep plain digits.
QString groupedDigits(qint64 value);
// Any figure for people to read: the whole part grouped, at most decimals places after a comma,
// no trailing zeros ("84 350", "6,7", "1 234,5"). The one way windows and messages show a number.
QString shownFigure(double value, int decimals = 2);
// The same text with the groups' no-break spaces taken out ("84 350 km" gives "84350 km"): what
// the command line prints.
QString plainFigures(const QString& text);
// A figure of the plain texts the command line also prints, grouped when it is a whole number;
// any other text ("–", "80,0 %") as it is.
QString groupedFigure(const QString& plain);

} // namespace rv
