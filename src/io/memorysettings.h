#pragma once
// A settings store held in memory and a prompter with one fixed answer: for the command-line
// tools, which take everything from their options and never ask.
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "io/interfaces.h"

namespace vornex {

class MemorySettings : public SettingsStore {
public:
    std::string read(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& defaultValue) const override
    {
        auto it = m_values.find(application + "/" + section + "/" + key);
        return it == m_values.end() ? defaultValue : it->second;
    }
    void write(const std::string& application, const std::string& section, const std::string& key,
               const std::string& value) override
    {
        m_values[application + "/" + section + "/" + key] = value;
    }

private:
    std::map<std::string, std::string> m_values;
};

// Answers every question with the same text; nullopt answers as a cancel.
class FixedAnswer : public Prompter {
public:
    explicit FixedAnswer(std::optional<std::string> answer = std::nullopt) : m_answer(std::move(answer)) {}
    std::optional<std::string> ask(const std::string&, const std::string&) override { return m_answer; }

private:
    std::optional<std::string> m_answer;
};

} // namespace vornex
