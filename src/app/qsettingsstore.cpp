#include "app/qsettingsstore.h"

#include <QSettings>
#include <QString>

namespace vornex {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

// The user's store is the platform's native settings of "VornexTools": on Windows the registry key
// HKEY_CURRENT_USER\Software\VornexTools with a key per section (an organisation without an
// application name would put them one level down, under "OrganizationDefaults"), on Linux
// ~/.config/VornexTools.conf. An INI-file store keeps each application under its own top group,
// so that the file says whose values it holds. One QSettings object serves every call: opening one
// per value re-reads the file each time.
namespace {
std::unique_ptr<QSettings> userSettings()
{
#ifdef _WIN32
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\") + QString::fromLatin1(kApplication), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kApplication));
#endif
}
} // namespace

QSettingsStore::QSettingsStore() : m_settings(userSettings()) {}

QSettingsStore::QSettingsStore(const std::string& iniPath)
    : m_iniPath(iniPath), m_settings(std::make_unique<QSettings>(q(iniPath), QSettings::IniFormat))
{
}

QSettingsStore::~QSettingsStore() = default;

QString QSettingsStore::path(const std::string& application, const std::string& section, const std::string& key) const
{
    const QString inside = q(section) + "/" + q(key);
    return m_iniPath.empty() ? inside : q(application) + "/" + inside;
}

std::string QSettingsStore::read(const std::string& application, const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    QVariant v = m_settings->value(path(application, section, key));
    if (!v.isValid()) return defaultValue;
    return v.toString().toStdString();
}

void QSettingsStore::write(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& value)
{
    m_settings->setValue(path(application, section, key), q(value));
}

void QSettingsStore::sync()
{
    m_settings->sync();
}

} // namespace vornex
