#pragma once

#include "result.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <array>

namespace rv {

// Largest data file we agree to read whole; a partner file of 3000 partners is about 50 MB.
constexpr qint64 kMaxDataFileBytes = 256LL * 1024 * 1024;

// A temporary of the writer this much younger may still be another save's, running now. A file
// time comes from the file server's clock or another computer's: a day outweighs any skew.
constexpr qint64 kTemporaryAgeSeconds = 24 * 60 * 60;

// dataDir below: the data directory (absolute); inside it no symbolic link leading out of it is
// followed by a reader, and no link at all by a writer: a write goes only to a regular file (or
// a new path) reached without a link below the data directory. The writers refuse a path
// outside it and an empty dataDir; a reader given an empty one does not check the path against
// a data directory.

// Only a regular file is read: a FIFO, device, socket or directory is refused at once, named.
Result readWholeFile(const QString& path, QByteArray& out, qint64 limit = kMaxDataFileBytes);
// The same for a file of the data directory: refused when a link on the way leads out of it.
Result readDataFile(const QString& dataDir, const QString& path, QByteArray& out, qint64 limit = kMaxDataFileBytes);
// At most the first bytes of such a file (the head of a month file).
Result readDataFileHead(const QString& dataDir, const QString& path, qint64 bytes, QByteArray& out);
// A small file of the program's own (a lock, its note): never through a link as its last part,
// only a regular file, opening never waits. Code 53 when it does not exist.
Result readPlainFile(const QString& path, QByteArray& out, qint64 limit);

// Makes a file that must not exist yet, in one step (a lock): refused when anything, a link
// included, is there already (existed then says so), and for the writers' reasons.
Result createNewFile(const QString& dataDir, const QString& path, const QByteArray& data, bool* existed);

// The one writer of whole files. The bytes go to a temporary file in the same folder that takes
// the old file's place only when every byte is written, flushed and synced: on any failure the
// old file stays byte for byte, the temporary is removed and the failure names the path and the
// reason. A file without any write permission is refused (also for an administrator); a
// replaced file keeps its permissions. Stale temporaries of an interrupted earlier save in that
// folder (older than kTemporaryAgeSeconds) are removed first.
enum class SaveError { None, PathNotFound, Other };
Result saveWholeFile(const QString& dataDir, const QString& path, const QByteArray& data,
                     SaveError* error = nullptr);

// Writes a file of dir (absolute, ending in "/") through the scratch file "temp.tmp", which then
// takes the file's place in one step: the old file stays whole until the new one is complete.
Result writeThroughScratch(const QString& dataDir, const QString& dir, const QString& fileName,
                           const QByteArray& data);

// Appends to a file of the data directory (the error log): only a regular file is opened, never
// through a link, and opening never waits.
Result appendToDataFile(const QString& dataDir, const QString& path, const QByteArray& data);

// A file the user names (CSV, PDF, spreadsheet): written as saveWholeFile writes, but only to a
// regular file or a new path, and never to a file named as one of the program's own, wherever it is.
Result saveExportFile(const QString& dataDir, const QString& path, const QByteArray& data);

// The checks of the writers above, for callers that want to refuse before doing the work.
Result checkInsideDataDir(const QString& dataDir, const QString& path);
Result checkWriteTarget(const QString& dataDir, const QString& path);
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

// A 128-bit fingerprint of a file's bytes, for noticing that another program changed it: four
// lanes of 64-bit multiply-rotate rounds (as in xxHash64), some ten times faster than SHA-256,
// which took most of the time of loading a large partner file. Nobody forges a change against
// it; it never leaves memory. Bytes may come in pieces of any size: the result is the same.
class Fingerprint {
public:
    Fingerprint();
    void add(const char* bytes, qsizetype n);
    QByteArray result() const; // 16 bytes

private:
    std::array<quint64, 4> m_lanes;
    quint64 m_total = 0;
    uchar m_pending[32];
    int m_pendingSize = 0;
};

// A data file read piece by piece into the caller's buffer, so that a large one is never held
// whole: the same checks as readDataFile, and the stamp of what was read.
class DataFileReader {
public:
    Result open(const QString& dataDir, const QString& path, qint64 limit = kMaxDataFileBytes);
    // Up to n bytes into at: how many, 0 at the end, -1 after a fault.
    qint64 read(char* at, qint64 n);
    FileStamp stamp() const { return FileStamp{true, true, qint64(m_read), m_print.result()}; }

private:
    QFile m_file;
    Fingerprint m_print;
    qint64 m_read = 0;
    qint64 m_limit = 0;
};

// The one rule for "a file of the program's own": the names of the files it keeps (user.rvd,
// data.rvd, *.rvn, ...), their rescue copies ("data.rvd.hibas.2"), the writer's temporaries,
// the locks with their notes and the price import's journal. Deleting a car removes only these;
// an output never replaces one nor takes such a name.
bool isOwnFileName(const QString& fileName);

// Tests only: every replacing rename of the writer waits this long first (a slow share).
void setRenameDelayForTests(int milliseconds);

// The reason of a failed file operation in Hungarian, from the system's error number.
QString fileErrorText(int errorNumber);

} // namespace rv
