#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif
namespace rv {
// A real symbolic link, as a user or another program makes one: Qt's own link on Windows is a
// shortcut file, which the file system never follows.
inline bool makeSymlink(const QString& target, const QString& link) {
    const std::wstring from = QDir::toNativeSeparators(link).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(target).toStdWString();
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (QFileInfo(target).isDir())
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    return ::CreateSymbolicLinkW(from.c_str(), to.c_str(), flags) && QFileInfo(link).isSymLink();
}
} // namespace rv
// Windows lets a user make one only in developer mode or as administrator.
#define RV_SYMLINK(to, from)                                                                   \
    do {                                                                                           \
        if (!rv::makeSymlink(to, from))                                                        \
            QSKIP("symbolic links cannot be made here");                                           \
    } while (false)
#else
#define RV_SYMLINK(to, from) QVERIFY(QFile::link(to, from))
#endif
