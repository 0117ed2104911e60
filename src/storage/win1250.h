#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rv::win1250 {

// Our own table, so data files read the same wherever Qt was built without ICU.
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }
// Characters the code page lacks become '?'.
QByteArray encode(const QString& text);
void appendEncoded(QByteArray& out, const QString& text);
// The characters of text the code page lacks (what encode would make '?'), each once, in the
// order they first appear; a character outside the 16-bit range is one entry.
QStringList unencodable(const QString& text);
char16_t toUnicode(unsigned char byte);

} // namespace rv::win1250
