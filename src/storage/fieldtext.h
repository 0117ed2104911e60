#pragma once

// What the free-text and number boxes of the windows let through, said without widgets.

#include <QString>

namespace rv {

// A field's text as one line: line breaks and other control characters (a pasted address
// brings them) become spaces. A stored string may not span lines, or its file no longer reads.
QString oneLine(const QString& text);
// The trimmed one-line text of a field.
QString fieldText(const QString& text);

// The data files hold text in the Central European code page (Windows-1250). The message naming
// the characters of text it cannot hold ("Az „Ж” karakter nem tárolható..."); empty when every
// character can be stored.
QString unstorableTextProblem(const QString& text);

// Text from data files on its way to a terminal or a message: control characters, also those
// of the C1 range that some terminals take as commands, become spaces; line breaks become "\n".
QString printableText(const QString& text);

// A spreadsheet cell that a spreadsheet will not run as a formula: text beginning with = + - @,
// a tab or a CR gets a leading apostrophe; a plain number ("-12", "+3,5") stays a number.
QString guardSpreadsheetText(const QString& text);

// Whether a box holding whole numbers may show text: blank, or decimal digits only (no sign) whose
// value lies in min..max. At most as many digits as max has, so "007" passes but "000007" would
// not fit a box of 32767.
bool isWholeNumberText(const QString& text, int min, int max);

} // namespace rv
