#pragma once

#include "storage/random.h"
#include "storage/settings.h"
#include "model/state.h"
#include "scriptedprompter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace rv {

// The bytes of a file under tests/data.
inline QByteArray testData(const QString& relative) {
    QFile f(QStringLiteral(ROVANTA_TEST_DATA "/") + relative);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("missing test data %s", qPrintable(relative));
    return f.readAll();
}

// A state on a throwaway data directory with scripted answers and an ini file of settings.
struct TestEnv {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<Settings> settings;
    MersenneRandom random{12345};
    AppState state;
    int terminated = -1;

    TestEnv() {
        settings = Settings::openFile(dir.filePath(QStringLiteral("settings.ini")));
        state.programDir = dir.path() + QLatin1Char('/');
        state.prompter = &prompter;
        state.settings = settings.get();
        state.random = &random;
        state.terminate = [this](int code) { terminated = code; };
        QDir().mkpath(state.usersDir());
    }

    QString path(const QString& relative) const { return state.path(relative); }
    void write(const QString& relative, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile f(path(relative));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    // Every file under a folder of tests/data, to the same places in the data directory.
    void copyData(const QString& folder) const {
        const QDir from(QStringLiteral(ROVANTA_TEST_DATA "/") + folder);
        for (QDirIterator it(from.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile f(it.next());
            f.open(QIODevice::ReadOnly);
            write(from.relativeFilePath(f.fileName()), f.readAll());
        }
    }
    QByteArray read(const QString& relative) const {
        QFile f(path(relative));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // A logged-in car with its own directory.
    void loginCar(const QString& dirName = QStringLiteral("ABC123")) {
        const CarRecord car{QStringLiteral("Teszt"), {}, dirName, 1, 8.0f, 10.0f, {}, {}, {}, dirName};
        state.cars.append(car);
        state.currentCar = state.carCount();
        state.carDir = carDirOf(car);
        QDir().mkpath(state.carPath(QString()));
    }
};

} // namespace rv
