#include "settings.h"

#include "numeric.h"

#include <QDir>
#include <QSettings>

using namespace Qt::Literals::StringLiterals;

namespace rv {

namespace {
const QString kGroup = u"Beállítások"_s;
QString fullKey(const QString& key) { return kGroup + u'/' + key; }
} // namespace

Settings::Settings(std::unique_ptr<QSettings> store) : m_store(std::move(store)) {}
Settings::~Settings() = default;

std::unique_ptr<Settings> Settings::openUserStore() {
    return std::unique_ptr<Settings>(
        new Settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, u"Rovanta"_s, u"Rovanta"_s)));
}

std::unique_ptr<Settings> Settings::openFile(const QString& path) {
    return std::unique_ptr<Settings>(new Settings(std::make_unique<QSettings>(path, QSettings::IniFormat)));
}

bool Settings::contains(const QString& key) const { return m_store->contains(fullKey(key)); }

QString Settings::text(const QString& key, const QString& fallback) const {
    return m_store->value(fullKey(key), fallback).toString();
}

void Settings::setText(const QString& key, const QString& value) { m_store->setValue(fullKey(key), value); }
void Settings::remove(const QString& key) { m_store->remove(fullKey(key)); }
Result Settings::sync() {
    m_store->sync();
    const QSettings::Status status = m_store->status();
    if (status == QSettings::NoError)
        return Result::success();
    // The store reports the first error for good: a fresh one on the same file starts clean
    // and still holds what this one kept in memory only after it is written again.
    QStringList keys = m_store->allKeys();
    QMap<QString, QVariant> values;
    for (const QString& k : keys)
        values.insert(k, m_store->value(k));
    auto fresh = std::make_unique<QSettings>(m_store->fileName(), m_store->format());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        fresh->setValue(it.key(), it.value());
    m_store = std::move(fresh);
    return Result::failure(
        u"A beállítások nem menthetők (%1):\r\n%2"_s.arg(
            status == QSettings::FormatError ? u"a beállítások fájlja hibás"_s : u"a fájl nem írható"_s,
            QDir::toNativeSeparators(m_store->fileName())),
        75);
}

bool Settings::confirmExit() const { return leadingNumber(text(keys::ConfirmExit, u"1"_s)) == 1; }
bool Settings::loadCities() const { return leadingNumber(text(keys::LoadCities, u"1"_s)) == 1; }
double Settings::tolerance() const { return leadingNumber(text(keys::Tolerance, u"10"_s)); }
int Settings::tries() const { return roundHalfEven(leadingNumber(text(keys::Tries, u"100"_s))); }

} // namespace rv
