#include "io/tables.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "analysis/numeric.h"
#include "io/codepage.h"
#include "io/fileexists.h"
#include "io/listformat.h"

namespace vornex {

namespace {

int16_t slotNumber(const Players& table)
{
    return num::tryInt16(table.Count()).value_or(32767);
}

std::string quoteText(std::string_view text)
{
    // Built piece by piece: g++ 12 warns wrongly about `"\"" + std::string(text)` at -O3.
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// The thirteen items of one player.inf record, or the reason why they do not make one.
std::optional<Player> parsePlayer(const std::vector<ListItem>& items, std::string& reason)
{
    if (items.size() != 13) {
        reason = "expected 13 items, found " + std::to_string(items.size());
        return std::nullopt;
    }
    Player f;
    f.PlayerName = items[0].text;
    f.RaceName = items[1].text;
    f.HomeWorld = items[2].text;
    auto colour = num::parseInt32(items[3].text);
    if (!colour) {
        reason = "colour " + quoteText(items[3].text) + " is not a 32-bit whole number";
        return std::nullopt;
    }
    f.Colour = *colour;
    static const char* const singleNames[] = {"lowest gravity", "highest gravity"};
    float* singles[] = {&f.GravMin, &f.GravMax};
    for (int k = 0; k < 2; ++k) {
        auto v = num::parseSingle(items[4 + static_cast<size_t>(k)].text);
        if (!v) {
            reason = std::string(singleNames[k]) + " " + quoteText(items[4 + static_cast<size_t>(k)].text) +
                     " is not a number";
            return std::nullopt;
        }
        *singles[k] = *v;
    }
    static const char* const intNames[] = {"lowest temperature",    "highest temperature",  "lowest radiation",
                                           "highest radiation",     "gravity terraforming", "temperature terraforming",
                                           "radiation terraforming"};
    int16_t* ints[] = {&f.TempMin, &f.TempMax, &f.RadMin, &f.RadMax, &f.GravTerra, &f.TempTerra, &f.RadTerra};
    for (size_t k = 0; k < 7; ++k) {
        auto v = num::parseInt16(items[6 + k].text);
        if (!v) {
            reason = std::string(intNames[k]) + " " + quoteText(items[6 + k].text) + " is not a 16-bit whole number";
            return std::nullopt;
        }
        *ints[k] = *v;
    }
    return f;
}

} // namespace

Gravities LoadGravities(const std::string& folder, Diagnostics& diags)
{
    Gravities table;
    const std::string path = folder + "gravity.csv";
    std::string error;
    auto bytes = readFileBytes(path, &error);
    if (!bytes) {
        diags.push_back({path, 0, error});
        return table;
    }
    const std::string text = decodeFileText(*bytes);
    const auto lines = splitLines(text);
    const size_t n = contentLineCount(lines);
    for (size_t i = 0; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        auto items = readListLine(lines[i]);
        if (items.size() != 2) {
            diags.push_back({path, lineNo,
                             items.empty() ? "empty line" : "expected 2 items, found " + std::to_string(items.size())});
            continue;
        }
        auto clicks = num::parseInt16(items[1].text);
        if (!clicks) {
            diags.push_back({path, lineNo, "clicks " + quoteText(items[1].text) + " is not a 16-bit whole number"});
            continue;
        }
        if (table.Item(items[0].text)) {
            diags.push_back(
                {path, lineNo, "gravity " + quoteText(items[0].text) + " is listed twice; the first is kept"});
            continue;
        }
        table.Add(items[0].text)->Clicks = *clicks;
    }
    return table;
}

Players LoadPlayers(const std::string& folder, Diagnostics& diags)
{
    Players table;
    const std::string path = folder + "player.inf";
    std::string error;
    auto bytes = readFileBytes(path, &error);
    // A missing table is an empty one: sixteen empty slots, and the file appears at the next save.
    std::string text = bytes ? decodeFileText(*bytes) : std::string();
    if (!bytes && pathIsTaken(path)) {
        diags.push_back({path, 0, error});
        table.MarkUnreadable(path + ": " + error + " when the players were loaded; it is left as it is");
    }
    const auto lines = splitLines(text);
    const size_t n = contentLineCount(lines);
    for (size_t i = 0; i < n; ++i) {
        const int64_t lineNo = static_cast<int64_t>(i) + 1;
        auto items = readListLine(lines[i]);
        std::string reason;
        auto f = items.empty() ? std::nullopt : parsePlayer(items, reason);
        if (items.empty()) reason = "empty line";
        if (f && !f->RaceName.empty() && table.Find(f->RaceName)) {
            reason = "race name " + quoteText(f->RaceName) + " is already taken by an earlier player";
            f.reset();
        }
        if (!f) {
            // The slot stays, empty, so that the players after it keep their numbers.
            diags.push_back({path, lineNo, reason + "; player " + std::to_string(table.Count() + 1) + " left empty"});
            auto p = table.Add("");
            p->Number = slotNumber(table);
            if (!isBlankLine(lines[i])) table.KeepUnreadLine(table.Count(), std::string(lines[i]));
            continue;
        }
        auto p = table.Add(f->RaceName);
        *p = std::move(*f);
        p->Number = slotNumber(table);
    }
    while (table.Count() < 16) {
        auto p = table.Add("");
        p->Number = slotNumber(table);
    }
    return table;
}

namespace {

// A slot as the loader leaves it for a record it could not take: nothing filled in since.
bool isUntouchedSlot(const Player& p)
{
    return p.PlayerName.empty() && p.RaceName.empty() && p.HomeWorld.empty() && p.Colour == 0 && p.GravMax == 0 &&
           p.GravMin == 0 && p.RadMax == 0 && p.RadMin == 0 && p.TempMax == 0 && p.TempMin == 0 &&
           p.GravTerra == 0 && p.TempTerra == 0 && p.RadTerra == 0;
}

} // namespace

std::string playersFileBytes(const Players& players)
{
    std::string text;
    int64_t position = 0;
    for (const auto& p : players) {
        ++position;
        const std::string* unread = players.UnreadLine(position);
        if (unread && isUntouchedSlot(*p))
            text.append(*unread).append("\r\n");
        else
            text += p->Export();
    }
    return encodeForFile(text);
}

WriteResult SavePlayers(const std::string& folder, const Players& players)
{
    if (!players.UnreadableReason().empty()) return {false, players.UnreadableReason()};
    return writeFileAtomically(folder + "player.inf", playersFileBytes(players), true);
}

} // namespace vornex
