#include "io/settingstable.h"

#include <stdexcept>

#include "base/numeric.h"

namespace vornex {

const std::vector<SettingDef>& settingsTable()
{
    using namespace setting;
    static const std::vector<SettingDef> table = {FileLocations, XStart,         YStart,     Zoom,
                                                  ClickOption,   PlanetSelected, YourNumber, GameName};
    return table;
}

std::string readSetting(const SettingsStore& store, const SettingDef& def, const std::string& fallback)
{
    return store.read(kApplication, def.section, def.key, fallback);
}

std::string readSetting(const SettingsStore& store, const SettingDef& def)
{
    return readSetting(store, def, def.defaultValue);
}

std::string readSetting(const SettingsStore& store, const SettingDef& def, int number)
{
    return store.read(kApplication, def.section, def.key + std::to_string(number), def.defaultValue);
}

void writeSetting(SettingsStore& store, const SettingDef& def, const std::string& value)
{
    store.write(kApplication, def.section, def.key, value);
}

void writeSetting(SettingsStore& store, const SettingDef& def, int number, const std::string& value)
{
    store.write(kApplication, def.section, def.key + std::to_string(number), value);
}

int16_t readInt16Setting(const SettingsStore& store, const SettingDef& def)
{
    // A text entry read as a number would silently turn every stored text into the default.
    if (def.type != SettingType::Int16) throw std::logic_error(std::string("not a number setting: ") + def.key);
    if (auto v = num::parseInt16(readSetting(store, def))) return *v;
    return num::parseInt16(def.defaultValue).value_or(0);
}

} // namespace vornex
