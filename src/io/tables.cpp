#include "io/tables.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/numeric.h"
#include "io/codepage.h"
#include "io/fileexists.h"
#include "io/listformat.h"
#include "io/loaderparts.h"

namespace vornex {

namespace {

int16_t slotNumber(const Players& table)
{
    return num::tryInt16(table.Count()).value_or(32767);
}

using loader::quoteText;

// A list file as read, its items still to be taken.
struct Items {
    FileBuffer raw;        // the file as read
    std::string_view body; // its text, without a byte order mark
    bool utf8 = false;     // the file carries the UTF-8 byte order mark
};

// Reads a list file. nullopt when it cannot be read as a whole (missing, unreadable, UTF-16): *why
// then says why, and *exists whether there is a file at all.
std::optional<Items> readItems(const std::string& path, const std::string& name, std::string& why, bool& exists)
{
    auto bytes = readFileBuffer(path, &why);
    // A link whose target is gone is there too: taking it for a missing file would let a save
    // replace the link.
    exists = bytes || pathIsTaken(path);
    if (!bytes) return std::nullopt;
    if (looksLikeUtf16(bytes->view())) {
        why = name + " is UTF-16 text; save it as Windows-1252";
        return std::nullopt;
    }
    Items f;
    f.raw = std::move(*bytes);
    f.body = f.raw.view();
    f.utf8 = hasUtf8ByteOrderMark(f.body);
    if (f.utf8) f.body.remove_prefix(3);
    return f;
}

// One record's items and their texts as the program holds them (UTF-8).
struct Record {
    std::vector<FileItem> items;
    std::vector<std::string> texts;
    size_t size() const { return items.size(); }
};

// Hands the file's items to take(record) `size` at a time, counted across lines; the last record
// may fall short. Only one record is held at a time, so a file of a million empty items takes no
// more memory than its bytes. take returns false to stop.
template <typename Take> void forEachRecord(const Items& f, size_t size, Take take)
{
    Record r;
    r.items.reserve(size);
    r.texts.reserve(size);
    bool going = true;
    readListItems(f.body, [&](const FileItem& item) {
        if (!going) return;
        r.items.push_back(item);
        r.texts.push_back(f.utf8 ? decodeFileText("\xEF\xBB\xBF" + std::string(item.text))
                                 : decodeWindows1252(item.text));
        if (r.size() < size) return;
        going = take(r);
        r.items.clear();
        r.texts.clear();
    });
    if (going && r.size() > 0) take(r);
}

// The thirteen items of one player.inf record (texts[0..12]), or the reason why they do not make
// one.
std::optional<Player> parsePlayer(const std::string* texts, size_t count, std::string& reason)
{
    if (count != 13) {
        reason = "expected 13 items, found " + std::to_string(count);
        return std::nullopt;
    }
    Player f;
    f.PlayerName = texts[0];
    f.RaceName = texts[1];
    f.HomeWorld = texts[2];
    auto colour = num::parseInt32(texts[3]);
    if (!colour) {
        reason = "colour " + quoteText(texts[3]) + " is not a 32-bit whole number";
        return std::nullopt;
    }
    f.Colour = *colour;
    static const char* const singleNames[] = {"lowest gravity", "highest gravity"};
    float* singles[] = {&f.GravMin, &f.GravMax};
    for (size_t k = 0; k < 2; ++k) {
        auto v = num::parseSingle(texts[4 + k]);
        if (!v) {
            reason = std::string(singleNames[k]) + " " + quoteText(texts[4 + k]) + " is not a number";
            return std::nullopt;
        }
        *singles[k] = *v;
    }
    static const char* const intNames[] = {"lowest temperature",    "highest temperature",  "lowest radiation",
                                           "highest radiation",     "gravity terraforming", "temperature terraforming",
                                           "radiation terraforming"};
    int16_t* ints[] = {&f.TempMin, &f.TempMax, &f.RadMin, &f.RadMax, &f.GravTerra, &f.TempTerra, &f.RadTerra};
    for (size_t k = 0; k < 7; ++k) {
        auto v = num::parseInt16(texts[6 + k]);
        if (!v) {
            reason = std::string(intNames[k]) + " " + quoteText(texts[6 + k]) + " is not a 16-bit whole number";
            return std::nullopt;
        }
        *ints[k] = *v;
    }
    return f;
}

// The bytes of the file that a record's items take, as read, to be written back on a line
// of their own. Items may share a line with another record; the comma or line end between them and
// the next record is then not part of either. A piece of a line that is only blanks would be read
// back as no item at all, so an empty item there is written as "".
std::string rawRecord(const Items& f, const Record& r)
{
    const FileItem& a = r.items.front();
    const FileItem& b = r.items.back();
    std::string out(f.body.substr(a.rawBegin, b.rawEnd - a.rawBegin));
    auto blank = [](std::string_view t) { return t.find_first_not_of(" \t") == std::string_view::npos; };
    const size_t firstBreak = out.find_first_of("\r\n");
    if (blank(std::string_view(out).substr(0, firstBreak))) out.insert(0, "\"\"");
    const size_t lastBreak = out.find_last_of("\r\n");
    if (lastBreak != std::string::npos && blank(std::string_view(out).substr(lastBreak + 1))) out += "\"\"";
    return out;
}

} // namespace

Gravities LoadGravities(const std::string& folder, Diagnostics& diags)
{
    Gravities table;
    const std::string path = folder + "gravity.csv";
    std::string why;
    bool exists = false;
    auto file = readItems(path, "gravity.csv", why, exists);
    if (!file) {
        diags.push_back({path, 0, why + " \xE2\x80\x94 no gravity has a row, so every rating is 0"});
        return table;
    }
    // Records of two items, counted across lines.
    LineNotes notes(diags, path);
    forEachRecord(*file, 2, [&](const Record& r) {
        const int64_t lineNo = r.items[0].line;
        if (r.size() == 1) {
            notes.add(lineNo, "expected 2 items, found 1");
            return false;
        }
        const std::string& key = r.texts[0];
        const std::string& clicksText = r.texts[1];
        auto clicks = num::parseInt16(clicksText);
        if (!clicks) {
            notes.add(lineNo, "clicks " + quoteText(clicksText) + " is not a 16-bit whole number");
            return true;
        }
        if (table.Item(key)) {
            notes.add(lineNo, "gravity " + quoteText(key) + " is listed twice; the first is kept");
            return true;
        }
        table.Add(key)->Clicks = *clicks;
        return true;
    });
    return table;
}

Players LoadPlayers(const std::string& folder, Diagnostics& diags)
{
    Players table;
    const std::string path = folder + "player.inf";
    std::string why;
    bool exists = false;
    auto file = readItems(path, "player.inf", why, exists);
    // A missing table is an empty one: sixteen empty slots, and the file appears at the next save.
    if (!file && exists) {
        diags.push_back({path, 0, why + " \xE2\x80\x94 the players are empty and the file is left as it is"});
        table.MarkUnreadable(path + ": " + why + " when the players were loaded; it is left as it is");
    }
    size_t taken = 0;
    // Kept records go back into a Windows-1252 file: those of a UTF-8 file are converted. One that
    // holds a character Windows-1252 lacks cannot go back as it was, so the file is not saved over.
    bool keptLosesText = false;
    auto kept = [&](std::string raw) {
        if (!file->utf8) return raw;
        bool lossless = true;
        std::string bytes = encodeWindows1252(decodeFileText("\xEF\xBB\xBF" + raw), &lossless);
        keptLosesText = keptLosesText || !lossless;
        return bytes;
    };
    size_t records = 0;
    LineNotes notes(diags, path);
    // Records of thirteen items, counted across lines: the n-th record is player n.
    if (file)
        forEachRecord(*file, 13, [&](const Record& r) {
            ++records;
            const int64_t lineNo = r.items[0].line;
            std::string reason;
            auto f = parsePlayer(r.texts.data(), r.size(), reason);
            if (f && !f->RaceName.empty() && table.Find(f->RaceName)) {
                reason = "race name " + quoteText(f->RaceName) + " is already taken by an earlier player";
                f.reset();
            }
            if (!f && r.size() < 13) {
                // Only the last record can fall short. Given a slot, its items would join the next
                // record's when the file is read again; it goes back at the end of the file instead.
                notes.add(lineNo, reason + "; kept at the end of the file");
                table.KeepUnreadTail(kept(rawRecord(*file, r)));
                return false;
            }
            if (!f) {
                // The slot stays, empty, so that the players after it keep their numbers.
                notes.add(lineNo, reason + "; player " + std::to_string(table.Count() + 1) + " left empty");
                auto p = table.Add("");
                p->Number = slotNumber(table);
                table.KeepUnreadLine(table.Count(), kept(rawRecord(*file, r)));
                return true;
            }
            auto p = table.Add(f->RaceName);
            *p = std::move(*f);
            p->Number = slotNumber(table);
            ++taken;
            return true;
        });
    notes.finish();
    if (records > 0 && taken == 0) {
        // Saving would put empty slots where all of the user's players are: the file stays.
        table.MarkUnreadable(path + ": no record of it could be read; it is left as it is");
    } else if (keptLosesText) {
        table.MarkUnreadable(path + ": a record that could not be read holds a character Windows-1252 lacks; "
                                    "it is left as it is");
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
           p.GravMin == 0 && p.RadMax == 0 && p.RadMin == 0 && p.TempMax == 0 && p.TempMin == 0 && p.GravTerra == 0 &&
           p.TempTerra == 0 && p.RadTerra == 0;
}

} // namespace

std::string playersFileBytes(const Players& players, std::string* why)
{
    // Records are written in Windows-1252; what the loader could not take goes back as it was read.
    std::string bytes;
    int64_t position = 0;
    for (const auto& p : players) {
        ++position;
        const std::string* unread = players.UnreadLine(position);
        if (unread && isUntouchedSlot(*p)) {
            bytes.append(*unread).append("\r\n");
            continue;
        }
        const std::string line = p->Export();
        if (auto encoded = encodeForFile(line, why)) {
            bytes += *encoded;
        } else {
            bytes += encodeWindows1252(line);
            why = nullptr; // the first reason stands
        }
    }
    if (!players.UnreadTail().empty()) bytes.append(players.UnreadTail()).append("\r\n");
    return bytes;
}

WriteResult SavePlayers(const std::string& folder, const Players& players)
{
    if (!players.UnreadableReason().empty()) return {false, players.UnreadableReason()};
    const std::string path = folder + "player.inf";
    std::string why;
    std::string bytes = playersFileBytes(players, &why);
    if (!why.empty()) return {false, "cannot write " + path + ": " + why + "; the file is left as it is"};
    return writeFileAtomically(path, bytes, true);
}

} // namespace vornex
