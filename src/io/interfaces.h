#pragma once
#include <optional>
#include <string>

namespace vornex {

// The per-user settings store: text values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& application, const std::string& section, const std::string& key,
                             const std::string& defaultValue) const = 0;
    virtual void write(const std::string& application, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
};

// A question to the user: a prompt in a small dialog with a title. nullopt means cancelled.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual std::optional<std::string> ask(const std::string& prompt, const std::string& title) = 0;
};

inline constexpr const char* kApplication = "VornexTools";

} // namespace vornex
