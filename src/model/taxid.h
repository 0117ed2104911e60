#pragma once

// The private person's tax ID (adóazonosító jel) as the 1996. évi XX. törvény builds it: ten
// digits, the first 8, the 2nd-6th the days from 1867-01-01 to the birth date, the 7th-9th a
// serial number, the 10th the check digit: the sum of digit i × i for i = 1..9, modulo 11. A
// remainder of 10 is never issued.

#include <QDate>
#include <QString>

#include <optional>

namespace rv {

constexpr int kTaxIdLength = 10;

// The check digit of the first nine digits; none when the remainder is 10 (no such ID exists).
// nine must hold nine digits.
std::optional<int> taxIdCheckDigit(const QString& nine);

// The birth date the ID encodes; none for text that is not ten digits.
std::optional<QDate> taxIdBirthDate(const QString& id);

// Why the text is not a tax ID, for the user; empty when it is one. The text is taken trimmed;
// empty text is no ID at all and is not checked here. A birth date after today is refused.
QString taxIdProblem(const QString& id, const QDate& today);

} // namespace rv
