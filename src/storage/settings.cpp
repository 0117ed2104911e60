#include "settings.h"

#include "numeric.h"

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
void Settings::sync() { m_store->sync(); }

bool Settings::confirmExit() const { return leadingNumber(text(keys::ConfirmExit, u"1"_s)) == 1; }
bool Settings::loadCities() const { return leadingNumber(text(keys::LoadCities, u"1"_s)) == 1; }
double Settings::tolerance() const { return leadingNumber(text(keys::Tolerance, u"10"_s)); }
int Settings::tries() const { return roundHalfEven(leadingNumber(text(keys::Tries, u"100"_s))); }

} // namespace rv
