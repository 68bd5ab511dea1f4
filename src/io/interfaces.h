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

// The answer to the question for the game folder: a folder as typed, the demo galaxy, or cancel.
struct FolderAnswer {
    enum class Kind { Folder, Demo, Cancel };
    Kind kind = Kind::Cancel;
    std::string folder;
};

// A question to the user: a prompt in a small dialog with a title. nullopt means cancelled.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual std::optional<std::string> ask(const std::string& prompt, const std::string& title) = 0;
    // The question for the game folder. `why` tells what was wrong with the last answer (empty the
    // first time). A dialog may offer to browse and to open the demo galaxy instead; this one
    // asks as ask() does.
    virtual FolderAnswer askFolder(const std::string& prompt, const std::string& title, const std::string& why)
    {
        (void)why;
        auto answer = ask(prompt, title);
        if (!answer) return {};
        return FolderAnswer{FolderAnswer::Kind::Folder, *answer};
    }
};

inline constexpr const char* kApplication = "VornexTools";

} // namespace vornex
