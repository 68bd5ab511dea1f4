#pragma once
#include <memory>
#include <string>

#include "io/interfaces.h"

class QSettings;
class QString;

namespace vornex {

// The settings store on QSettings: organisation = application ("VornexTools"), sections as groups.
// The native store holds the application "VornexTools" only.
// On Linux it lives in the user's XDG config folder. A scratch store (for --demo and tests) lives
// in a temporary INI file instead and leaves the user's settings alone.
class QSettingsStore : public SettingsStore {
public:
    QSettingsStore();                                    // the user's store
    explicit QSettingsStore(const std::string& iniPath); // a store in one INI file
    ~QSettingsStore() override;
    std::string read(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& defaultValue) const override;
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override;
    void sync();

private:
    QString path(const std::string& application, const std::string& section, const std::string& key) const;

    std::string m_iniPath; // empty for the user's store
    std::unique_ptr<QSettings> m_settings;
};

} // namespace vornex
