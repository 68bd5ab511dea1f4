#include "io/game.h"

#include "base/numeric.h"

namespace vornex {

namespace {

std::string_view withoutBlanks(std::string_view text)
{
    const size_t b = text.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

bool isWholeNumberText(std::string_view t)
{
    if (!t.empty() && t[0] == '-') t.remove_prefix(1);
    if (t.empty()) return false;
    for (char c : t)
        if (c < '0' || c > '9') return false;
    return true;
}

} // namespace

std::optional<PlayerNumber> parsePlayerNumber(std::string_view text, PlayerText kind)
{
    const std::string_view t = withoutBlanks(text);
    if (kind == PlayerText::Typed && !isWholeNumberText(t)) return std::nullopt;
    const auto value = num::parseStrict(t);
    if (!value) return std::nullopt;
    const auto number = num::tryInt16(*value);
    if (!number || *value == -1) return std::nullopt;
    return PlayerNumber{std::string(t), *number};
}

PlayerNumber playerNumberOf(int16_t number)
{
    return PlayerNumber{num::intText(number), number};
}

std::optional<std::string> gameNameProblem(std::string_view name)
{
    if (withoutBlanks(name).empty()) return "the game name is empty";
    if (name.find_first_of("/\\") != std::string_view::npos || name.find("..") != std::string_view::npos)
        return "a game name cannot hold a path separator or \"..\"";
    if (name.find('\0') != std::string_view::npos) return "a game name cannot hold a zero byte";
    return std::nullopt;
}

std::string Game::exportFile(int number) const
{
    return folder + "export.p" + num::intText(number);
}

std::vector<std::string> Game::turnFiles() const
{
    std::vector<std::string> files = {mapFile(), reportFile()};
    for (int n = 1; n <= 16; ++n)
        files.push_back(exportFile(n));
    return files;
}

std::string withFolderSeparator(std::string folder)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder;
#ifdef _WIN32
    return folder + '\\';
#else
    return folder + '/';
#endif
}

} // namespace vornex
