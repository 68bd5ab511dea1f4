#pragma once
// The pieces the planet loader is built from, shared by its files: reading tab-separated fields
// and the numbers in them, reading a game file into lines, and the three kinds of file it reads
// (the map file, the planets report, the export files). Not for use outside the loader.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fieldscan.h"
#include "base/numeric.h"
#include "io/codepage.h"
#include "io/diagnostics.h"
#include "io/listformat.h"
#include "io/textfile.h"
#include "model/collections.h"

namespace vornex::loader {

constexpr const char* kDash = " \xE2\x80\x94 ";

// A game line as list input hands it over: blanks before it are skipped, and it runs to the end
// of the line, so blanks at its end belong to its last field.
std::string_view skipLeadingBlanks(std::string_view line);

// A text with the blanks around it left out.
std::string_view trimmed(std::string_view text);

// The text between double quotes, as messages show a name.
std::string quoteText(std::string_view text);

// How the bytes of a line are held while it is read: the Windows-1252 bytes as they are on disk
// (a file without a byte order mark), UTF-8 (a file with one, already decoded), or plain ASCII
// (a line without any byte of 0x80 or above, which reads the same either way). Game files are
// nearly all ASCII, so only texts that hold a higher byte are ever decoded, one field at a time.
enum class Enc { Cp1252, Utf8, Ascii };

// The encoding a single line of a file can be read in.
inline Enc lineEncoding(std::string_view line, Enc fileEnc)
{
    return fileEnc == Enc::Cp1252 && !hasHighByte(line) ? Enc::Ascii : fileEnc;
}

// True when some byte of a field (a few bytes long) is 0x80 or above. With `wide`, eight bytes
// may be read from anywhere in the field.
inline bool fieldHasHighByte(std::string_view text, bool wide = false)
{
    return wide ? scan::fieldHasHighByte(text) : scan::portable::hasHighByte(text);
}

// A field's text as the program holds it (UTF-8).
std::string toUtf8(std::string_view text, Enc enc);

inline void assignText(std::string& to, std::string_view text, Enc enc, bool wide = false)
{
    if (text.empty()) {
        to.clear();
    } else if (enc != Enc::Cp1252 || !fieldHasHighByte(text, wide)) {
        if (to.empty())
            to.append(text.data(), text.size());
        else
            to.assign(text.data(), text.size());
    } else if (text.size() <= 32) {
        char buf[3 * 32];
        to.assign(buf, decodeWindows1252Into(text, buf));
    } else {
        to = decodeWindows1252(text);
    }
}

// Number of characters: one per byte in Windows-1252 and ASCII, one per lead byte in UTF-8.
size_t charCount(std::string_view s, Enc enc);

// The text without its last `count` characters.
std::string_view dropLastChars(std::string_view s, size_t count, Enc enc);

// The 1-based position of the planet named by a field, or 0.
// hint: the position where the planet is most likely to stand (0 for none).
int64_t positionOfName(const Map& planets, std::string_view name, Enc enc, int64_t hint = 0);

// The first `max` fields of a line as NextField takes them off one by one (one trailing "%" of each
// dropped), as views into the line. Returns the number of fields found. On the way, *high tells
// whether any byte of the fields found (or a few bytes after them) is 0x80 or above.
size_t splitFields(std::string_view line, std::string_view* fields, size_t max, bool* high = nullptr);

// A field that is a plain whole number of at most fifteen digits ("-120", "4500"): LeadingValue
// reads it as exactly itself. nullopt for any other text. With `wide`, eight bytes may be read
// from anywhere in the field, and the usual field of up to eight digits is read in one go.
inline std::optional<int64_t> wholeNumber(std::string_view text, bool wide = false)
{
    const bool negative = !text.empty() && text[0] == '-';
    const size_t skip = negative ? 1 : 0;
    uint32_t v = 0;
    if (wide && scan::digits(text.data() + skip, text.size() - skip, v))
        return negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    const size_t digits = text.size() - skip;
    if (digits == 0 || digits > 15) return std::nullopt;
    int64_t w = 0;
    for (size_t i = skip; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        w = w * 10 + (c - '0');
    }
    return negative ? -w : w;
}

// tryInt16(LeadingValue(text)) and tryInt32(LeadingValue(text)): the full reading, for fields that
// are not plain whole numbers.
std::optional<int16_t> slowFieldInt16(std::string_view text);
std::optional<int32_t> slowFieldInt32(std::string_view text);

// tryInt16(LeadingValue(text)) and tryInt32(LeadingValue(text)). With `wide`, eight bytes may be
// read from anywhere in the field.
inline std::optional<int16_t> fieldInt16(std::string_view text, bool wide)
{
    if (auto v = wholeNumber(text, wide)) {
        if (*v < -32768 || *v > 32767) return std::nullopt;
        return static_cast<int16_t>(*v);
    }
    return slowFieldInt16(text);
}

inline std::optional<int32_t> fieldInt32(std::string_view text, bool wide)
{
    if (auto v = wholeNumber(text, wide)) {
        if (*v < INT32_MIN || *v > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(*v);
    }
    return slowFieldInt32(text);
}

// The number text of a field with a unit, doubleText(UnitValue(text, unitLength)), as a view:
// into the field itself when the number is already written that way (as good as always), else
// into `made`. False when the field is not a number followed by its unit.
bool unitText(std::string_view text, size_t unitLength, Enc enc, std::string_view& out, std::string& made);

// One file's text and its lines. Without a byte order mark the text is the file's own
// Windows-1252 bytes; with one it is the decoded UTF-8. Both are held on the heap, so that the
// views into them stay valid when a FileLines is moved (a short std::string would carry its
// characters along and leave the views dangling).
struct FileLines {
    FileBuffer raw;
    std::unique_ptr<std::string> decoded;
    std::string_view text;
    Enc enc = Enc::Cp1252;
    std::string_view content; // the text up to its last line that holds anything
};

// A file that cannot be read as a whole is one diagnostic (line 0): why, then what follows from it.
std::optional<FileLines> readLines(const std::string& path, std::string_view consequence, Diagnostics& diags);

// Hands each line of a game file after its headings to take(line, lineNo), the blanks before it
// skipped; a line of nothing but blanks is noted as empty.
template <typename Take> void forEachGameLine(const FileLines& file, LineNotes& notes, Take take)
{
    LineReader lines(file.content);
    std::string_view raw;
    lines.next(raw); // line 1 holds the column headings
    for (int64_t lineNo = 2; lines.next(raw); ++lineNo) {
        const std::string_view line = skipLeadingBlanks(raw);
        if (line.empty())
            notes.add(lineNo, "empty line");
        else
            take(line, lineNo);
    }
}

// Planets report lines have 27 columns, or 36 with the optional group.
constexpr size_t kShortColumns = 27;

// A report line converted before any of it reaches the planet, so that a bad field rejects the
// line as a whole.
struct ReportRow {
    std::array<std::string_view, 37> field;
    std::array<int32_t, 36> number{};
    std::array<std::string_view, 3> env; // gravity, temperature, radiation as number texts
    std::array<std::string, 3> envMade;  // those that had to be rewritten
    size_t columns = 0;
    bool wide = false; // eight bytes may be read from anywhere in the line's fields
};

// Converts the numeric fields in column order; the reason names the first that does not convert.
std::optional<std::string> convertReportRow(ReportRow& row, Enc enc);

// Writes a converted row into its planet.
void applyReportRow(ReportRow& row, Planet& p, Enc enc);

// What the loader took from one file: its records (planets of the map file, lines of the report),
// and whether its last line lacks its line end (the file is most likely still being written).
struct FileTaken {
    int64_t records = 0;
    bool unfinished = false;
};

// True when the text is not empty and its last line has no line end.
bool endsUnfinished(std::string_view text);

FileTaken loadMapFile(Map& planets, const std::string& path, Diagnostics& diags);

// Fills in the planets the report names; ages[position] follows each planet's ReportAge.
FileTaken loadReport(Map& planets, const std::string& path, std::vector<int16_t>& ages, Diagnostics& diags);

// Export records merged into the planets. The records of all files are looked at first, in file
// and line order, keeping only each planet's report age; the winning record of each planet is then
// written in table order. Every accepted record replaces all nine exported fields, so the last
// winner of a planet is all that shows, exactly as if each had been written in turn; writing them
// in table order walks the planets once instead of jumping across memory for every record.
class ExportMerge {
public:
    // ages[position] is the ReportAge of the planet at that position (index 0 unused).
    ExportMerge(Map& planets, std::vector<int16_t> ages)
        : m_planets(planets), m_ages(std::move(ages)), m_winner(m_ages.size(), 0)
    {
    }

    // Looks at one file's text; the text must stay in place until apply().
    void scan(std::string_view text, Enc fileEnc, const std::string& fileName, Diagnostics& diags);

    // Writes each planet's winning record, then forgets the records.
    void apply();

    // As apply(), for a merge whose ages started unreported (-1): a winning record is written
    // only where it is more recent than the report's age (or the report has none), which is
    // what a merge started from those ages would have kept. So the export files can be looked
    // at while the report is still being read.
    void applyOver(const std::vector<int16_t>& reportAges);

private:
    struct Record {
        std::string_view owner, starbase;
        std::string_view env[3];
        bool envQuoted[3] = {false, false, false};
        Enc enc = Enc::Cp1252;
        int16_t age = 0, value = 0, def = 0;
        int32_t population = 0;
        uint8_t exportNumber = 0; // N of export.pN, 0 for a file of another name
    };

    // An unquoted number reads as a number: keep its plain text ("1.50" is 1.5).
    static void envText(std::string& to, const Record& r, size_t k)
    {
        if (!r.envQuoted[k]) {
            if (auto t = num::numberText(r.env[k])) {
                to = std::move(*t);
                return;
            }
        }
        assignText(to, r.env[k], r.enc);
    }

    Map& m_planets;
    std::vector<int16_t> m_ages;
    std::vector<uint32_t> m_winner; // per position: 1 + index of its winning record, 0 for none
    std::vector<Record> m_records;
    std::vector<ListItemView> m_items;
};

// N of a file named export.pN (1 to 16) at the end of path, or 0.
uint8_t exportNumberOf(std::string_view path);

} // namespace vornex::loader
