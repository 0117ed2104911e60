#pragma once

#include "storage/result.h"

#include <QByteArray>
#include <QString>

namespace rv {

// Writes a file of dir (absolute, ending in "/") through the scratch file "temp.tmp", which then
// takes the file's place in one step: the old file stays whole until the new one is complete.
Result writeThroughScratch(const QString& dir, const QString& fileName, const QByteArray& data);

} // namespace rv
