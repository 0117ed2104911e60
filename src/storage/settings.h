#pragma once

#include "result.h"

#include <QString>

#include <memory>

class QSettings;

namespace rv {

// The six settings of the program, stored as text under application "Rovanta", group
// "Beállítások".
namespace keys {
inline const QString Directory = QStringLiteral("Könyvtár");
inline const QString Version = QStringLiteral("Verzió");
inline const QString ConfirmExit = QStringLiteral("Kilépés megerősítése");
inline const QString LoadCities = QStringLiteral("Városok betöltése");
inline const QString Tolerance = QStringLiteral("Hibahatár");
inline const QString Tries = QStringLiteral("Próbák száma");
} // namespace keys

class Settings {
public:
    // The per-user store of the platform.
    static std::unique_ptr<Settings> openUserStore();
    // An ini file of our own, for tests and portable use.
    static std::unique_ptr<Settings> openFile(const QString& path);
    ~Settings();

    bool contains(const QString& key) const;
    // The stored text, or fallback when the key is missing.
    QString text(const QString& key, const QString& fallback = {}) const;
    void setText(const QString& key, const QString& value);
    void remove(const QString& key);
    // Writes what changed to the store and reads back its status: a full disk, a read-only
    // folder or a damaged store fails naming the store.
    Result sync();

    // The readers of the program: the leading number of the text, with the defaults of a
    // missing key ("Kilépés megerősítése" 1, "Hibahatár" 10, "Próbák száma" 100).
    bool confirmExit() const;
    // Whether start-up loads the cities; the settings dialog shows the same answer.
    bool loadCities() const;
    double tolerance() const;
    int tries() const;

private:
    explicit Settings(std::unique_ptr<QSettings> store);
    std::unique_ptr<QSettings> m_store;
};

} // namespace rv
