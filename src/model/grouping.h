#pragma once

#include <QString>

namespace rv {

// A whole number of forints or kilometres as Hungarian writes it for people to read: the digits
// in groups of three, parted by a no-break space ("197 292", "-1 500"). Windows and printouts use
// it; the command line and the files keep plain digits.
QString groupedDigits(qint64 value);
// A figure of the plain texts the command line also prints, grouped when it is a whole number;
// any other text ("–", "80,0 %") as it is.
QString groupedFigure(const QString& plain);

} // namespace rv
