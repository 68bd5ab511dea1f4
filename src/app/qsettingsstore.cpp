#include "app/qsettingsstore.h"

#include <QSettings>
#include <QString>
#include <memory>

namespace vornex {

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

QSettingsStore::QSettingsStore() = default;

QSettingsStore::QSettingsStore(const std::string& iniPath) : m_iniPath(iniPath) {}

QSettingsStore::~QSettingsStore() = default;

// The user's store is the organisation "VornexTools" of the platform's native settings (on Linux
// ~/.config/VornexTools.conf). An INI-file store keeps each application under its own top group,
// so that the file says whose values it holds.
static std::unique_ptr<QSettings> open(const std::string& iniPath, const std::string& application)
{
    if (iniPath.empty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, q(application));
    auto s = std::make_unique<QSettings>(q(iniPath), QSettings::IniFormat);
    s->beginGroup(q(application));
    return s;
}

std::string QSettingsStore::read(const std::string& application, const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    auto s = open(m_iniPath, application);
    QVariant v = s->value(q(section) + "/" + q(key));
    if (!v.isValid()) return defaultValue;
    return v.toString().toStdString();
}

void QSettingsStore::write(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& value)
{
    auto s = open(m_iniPath, application);
    s->setValue(q(section) + "/" + q(key), q(value));
}

void QSettingsStore::sync()
{
    if (m_iniPath.empty()) {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kApplication)).sync();
    } else {
        QSettings(q(m_iniPath), QSettings::IniFormat).sync();
    }
}

} // namespace vornex
