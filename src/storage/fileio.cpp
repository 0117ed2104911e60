#include "fileio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>

using namespace Qt::Literals::StringLiterals;

namespace rv {

Result readWholeFile(const QString& path, QByteArray& out, qint64 limit) {
    QFile file(path);
    if (!file.exists())
        return Result::failure(u"A fájl nem található: %1"_s.arg(QDir::toNativeSeparators(path)), 53);
    if (!file.open(QIODevice::ReadOnly))
        return Result::failure(
            u"A fájl nem olvasható: %1 (%2)"_s.arg(QDir::toNativeSeparators(path), file.errorString()), 75);
    if (file.size() > limit)
        return Result::failure(u"A fájl túl nagy: %1"_s.arg(QDir::toNativeSeparators(path)), 62);
    QByteArray data = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError || data.size() > limit)
        return Result::failure(
            u"A fájl nem olvasható: %1 (%2)"_s.arg(QDir::toNativeSeparators(path), file.errorString()), 75);
    out = std::move(data);
    return Result::success();
}

Result saveWholeFile(const QString& path, const QByteArray& data, SaveError* error) {
    auto failed = [&](SaveError kind, const QString& why) {
        if (error)
            *error = kind;
        return Result::failure(u"A fájl nem írható: %1 (%2)"_s.arg(QDir::toNativeSeparators(path), why),
                               kind == SaveError::PathNotFound ? 76 : 75);
    };
    if (error)
        *error = SaveError::None;
    if (!QFileInfo(path).absoluteDir().exists())
        return failed(SaveError::PathNotFound, u"Az elérési út nem található."_s);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(SaveError::Other, file.errorString());
    if (file.write(data) != data.size())
        return failed(SaveError::Other, file.errorString());
    if (!file.commit())
        return failed(SaveError::Other, file.errorString());
    return Result::success();
}

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
