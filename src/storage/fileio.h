#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

namespace rv {

// Largest data file we agree to read whole; a partner file of 3000 partners is about 50 MB.
constexpr qint64 kMaxDataFileBytes = 256LL * 1024 * 1024;

// dataDir below: the data directory (absolute); inside it no symbolic link leading out of it is
// followed. Empty: the path is not checked against a data directory.

Result readWholeFile(const QString& path, QByteArray& out, qint64 limit = kMaxDataFileBytes);
// The same for a file of the data directory: refused when a link on the way leads out of it.
Result readDataFile(const QString& dataDir, const QString& path, QByteArray& out, qint64 limit = kMaxDataFileBytes);

// The one writer of whole files. The bytes go to a temporary file in the same folder that takes
// the old file's place only when every byte is written, flushed and synced: on any failure the
// old file stays byte for byte, the temporary is removed and the failure names the path and the
// reason. Stale temporaries of an interrupted earlier save in that folder are removed first.
enum class SaveError { None, PathNotFound, Other };
Result saveWholeFile(const QString& dataDir, const QString& path, const QByteArray& data,
                     SaveError* error = nullptr);

// Writes a file of dir (absolute, ending in "/") through the scratch file "temp.tmp", which then
// takes the file's place in one step: the old file stays whole until the new one is complete.
Result writeThroughScratch(const QString& dataDir, const QString& dir, const QString& fileName,
                           const QByteArray& data);

// A file the user names (CSV, PDF, spreadsheet): written as saveWholeFile writes, but only to a
// regular file or a new path, and never over one of the data directory's own files.
Result saveExportFile(const QString& dataDir, const QString& path, const QByteArray& data);

// The checks of the two above, for callers that want to refuse before doing the work.
Result checkInsideDataDir(const QString& dataDir, const QString& path);
Result checkExportTarget(const QString& dataDir, const QString& path);

// What a file held when the program last read or wrote it, to tell that another program (a
// second copy, the command line, a file server) changed it since.
struct FileStamp {
    bool known = false; // nothing remembered: no comparison
    bool exists = false;
    qint64 size = 0;
    QByteArray hash;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOfBytes(const QByteArray& data);
FileStamp stampOf(const QString& path); // a file that cannot be read counts as changed

// Names of the files the program keeps in its data directory (user.rvd, data.rvd, *.rvn, ...).
bool isOwnFileName(const QString& fileName);

// The reason of a failed file operation in Hungarian, from the system's error number.
QString fileErrorText(int errorNumber);

} // namespace rv
