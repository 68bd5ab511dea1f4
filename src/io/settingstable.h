#pragma once
// Every value the program keeps in the user's settings store, named once: its section, key,
// default and type. Code reads and writes settings only through these entries, so that a key is
// spelt in one place.
#include <cstdint>
#include <string>
#include <vector>

#include "io/interfaces.h"

namespace vornex {

enum class SettingType { Text, Int16 };

struct SettingDef {
    const char* section;
    const char* key; // for a numbered entry the stem: "Folder" is stored as "Folder1", "Folder2", ...
    const char* defaultValue;
    SettingType type;
};

namespace setting {
// The default folder depends on the platform: start-up supplies it when reading.
inline constexpr SettingDef FileLocations{"Startup", "FileLocations", "", SettingType::Text};
inline constexpr SettingDef XStart{"Display", "XStart", "0", SettingType::Int16};
inline constexpr SettingDef YStart{"Display", "YStart", "0", SettingType::Int16};
inline constexpr SettingDef Zoom{"Display", "Zoom", "2000", SettingType::Int16};
inline constexpr SettingDef ClickOption{"Display", "ClickOption", "Planets", SettingType::Text};
inline constexpr SettingDef PlanetSelected{"Display", "PlanetSelected", "1", SettingType::Int16};
// Its stored form, as text ("04"), also names the planets report.
inline constexpr SettingDef YourNumber{"Settings", "YourNumber", "-1", SettingType::Int16};
inline constexpr SettingDef GameName{"Settings", "GameName", "game", SettingType::Text};
// The main window's toolbar and dock layout, base64 of the window's saved state.
inline constexpr SettingDef WindowLayout{"Display", "WindowLayout", "", SettingType::Text};
// The main window's place and size, base64 of its saved geometry.
inline constexpr SettingDef WindowGeometry{"Display", "WindowGeometry", "", SettingType::Text};
// The map layers shown when the window closed, by name, separated by commas ("Names,Ranges").
inline constexpr SettingDef MapLayers{"Display", "MapLayers", "", SettingType::Text};
// The recently opened games, numbered from 1.
inline constexpr SettingDef RecentFolder{"RecentGames", "Folder", "", SettingType::Text};
inline constexpr SettingDef RecentPlayer{"RecentGames", "Player", "", SettingType::Int16};
inline constexpr SettingDef RecentGame{"RecentGames", "Game", "", SettingType::Text};
} // namespace setting

// The values SaveSettings writes, in the order it writes them.
const std::vector<SettingDef>& settingsTable();

// The stored text, or `fallback` when there is none. The numbered forms address "Folder3" etc.
std::string readSetting(const SettingsStore& store, const SettingDef& def, const std::string& fallback);
std::string readSetting(const SettingsStore& store, const SettingDef& def);
std::string readSetting(const SettingsStore& store, const SettingDef& def, int number);
void writeSetting(SettingsStore& store, const SettingDef& def, const std::string& value);
void writeSetting(SettingsStore& store, const SettingDef& def, int number, const std::string& value);

// A 16-bit entry: a stored text that is no number or does not fit counts as absent, and the
// entry's default applies.
int16_t readInt16Setting(const SettingsStore& store, const SettingDef& def);

} // namespace vornex
