#include "scratchfile.h"

#include "storage/fileio.h"

#include <QDir>
#include <QFile>

#include <filesystem>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
std::filesystem::path nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}
} // namespace

Result writeThroughScratch(const QString& dir, const QString& fileName, const QByteArray& data) {
    const QString scratch = dir + u"temp.tmp"_s;
    const QString target = dir + fileName;
    Result r = saveWholeFile(scratch, data);
    if (!r)
        return r;
    std::error_code error;
    std::filesystem::rename(nativePath(scratch), nativePath(target), error);
    if (error) {
        QFile::remove(scratch);
        return Result::failure(u"A fájl nem írható: %1 (%2)"_s.arg(QDir::toNativeSeparators(target),
                                                                   QString::fromLocal8Bit(error.message())),
                               75);
    }
    return r;
}

} // namespace rv
