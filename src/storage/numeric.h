#pragma once

#include <QString>

#include <optional>

namespace rv {

// A typed number without the spaces (plain, no-break or thin) a Hungarian writes between digit
// groups ("84 350" gives "84350"); only spaces between two digits of the whole part go.
QString ungrouped(const QString& text);

// The numeric test of text boxes: optional sign, digits with one decimal separator ("." or the
// Hungarian ","), optional exponent. Blanks around and grouping spaces (ungrouped) are allowed.
bool isNumeric(const QString& text);
// The value of a numeric text; nullopt when isNumeric is false.
std::optional<double> toNumber(const QString& text);
// A number as the windows and printouts show it, in the Hungarian form: the decimal point of a
// plain number text ("7.5") becomes a comma ("7,5"). Every number a user reads goes through it.
QString shownNumber(QString plain);
// The shortest text of a single in that form ("7,5", "1,25", "8").
QString singleText(float value);

// Leading number of a text, 0 when there is none (how settings are read).
double leadingNumber(const QString& text);
// Rounds half to even, as a 16-bit conversion of the settings does.
int roundHalfEven(double value);

} // namespace rv
