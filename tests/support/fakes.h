#pragma once
// The settings store and prompter the tests hand to start-up, the loader and the windows.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "io/interfaces.h"

namespace vornex::test {

// Settings in memory under "section/key", every write also kept in order. Only the program's own
// application name may be used.
class FakeSettings : public SettingsStore {
public:
    using Write = std::tuple<std::string, std::string, std::string>; // section, key, value
    std::map<std::string, std::string> values;
    std::vector<Write> writes;
    std::function<void()> beforeWrite; // called before each write is stored, when set

    FakeSettings() = default;
    FakeSettings(std::initializer_list<std::pair<const std::string, std::string>> v) : values(v) {}

    std::string read(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& defaultValue) const override
    {
        EXPECT_EQ(application, kApplication);
        auto it = values.find(section + "/" + key);
        return it == values.end() ? defaultValue : it->second;
    }
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override
    {
        EXPECT_EQ(application, kApplication);
        if (beforeWrite) beforeWrite();
        values[section + "/" + key] = value;
        writes.emplace_back(section, key, value);
    }
};

// Answers from a script, in order; nullopt in the script is a cancel, and so is a question past
// its end (a test failure when `strict`). Records every prompt and title asked.
class ScriptedPrompter : public Prompter {
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> prompts, titles;
    bool strict = false;

    ScriptedPrompter() = default;
    ScriptedPrompter(std::initializer_list<std::optional<std::string>> a) : answers(a) {}

    std::optional<std::string> ask(const std::string& prompt, const std::string& title) override
    {
        prompts.push_back(prompt);
        titles.push_back(title);
        if (answers.empty()) {
            if (strict) ADD_FAILURE() << "unexpected question " << title;
            return std::nullopt;
        }
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
};

} // namespace vornex::test
