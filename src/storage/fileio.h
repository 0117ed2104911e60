#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

namespace rv {

// Largest data file we agree to read whole; a partner file of 3000 partners is about 50 MB.
constexpr qint64 kMaxDataFileBytes = 256LL * 1024 * 1024;

Result readWholeFile(const QString& path, QByteArray& out, qint64 limit = kMaxDataFileBytes);

// Writes the bytes so that the old file stays whole until the new one is complete.
enum class SaveError { None, PathNotFound, Other };
Result saveWholeFile(const QString& path, const QByteArray& data, SaveError* error = nullptr);

// Writes a file of dir (absolute, ending in "/") through the scratch file "temp.tmp", which then
// takes the file's place in one step: the old file stays whole until the new one is complete.
Result writeThroughScratch(const QString& dir, const QString& fileName, const QByteArray& data);

} // namespace rv
