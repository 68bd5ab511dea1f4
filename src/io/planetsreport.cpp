#include "io/loaderparts.h"

#include <atomic>
#include <future>
#include <memory>

namespace vornex::loader {

namespace {

// A report this large is read in two parts at once, the second on a thread of its own.
constexpr size_t kTwoPartsFrom = 512 * 1024;

// Which part wrote a planet first (its later lines are written by that part alone).
enum : uint8_t { kNoPart = 0, kFirstPart = 1, kSecondPart = 2 };

struct Deferred {
    int64_t position;
    std::string_view line;
};

// One part of the report's lines, written into the planets they name.
class ReportPart {
public:
    ReportPart(Map& planets, const FileLines& file, std::vector<int16_t>& ages)
        : m_planets(planets), m_file(file), m_ages(ages)
    {
    }

    // The position of the line's planet with the line converted into row, or 0 once the line is
    // noted (when there are notes to make).
    int64_t lookUp(std::string_view raw, int64_t lineNo, LineNotes* notes)
    {
        auto note = [&](std::string why) {
            if (notes) notes->add(lineNo, std::move(why));
            return 0;
        };
        const std::string_view line = skipLeadingBlanks(raw);
        if (line.empty()) return note("empty line");
        // One field more than a full line has tells "36 or more" from a count to report.
        bool high = false;
        const size_t k = splitFields(line, m_row.field.data(), m_row.field.size(), &high);
        if (k != kShortColumns && k < 36)
            return note("expected 27 or at least 36 tab-separated fields, found " + std::to_string(k));
        m_row.columns = k >= 36 ? 36 : kShortColumns;
        const char* const textEnd = m_file.text.data() + m_file.text.size();
        m_row.wide = textEnd - (line.data() + line.size()) >= 8;
        m_enc = m_file.enc == Enc::Cp1252 && !high ? Enc::Ascii : m_file.enc;
        const std::string_view name = m_row.field[0];
        const int64_t position = positionOfName(m_planets, name, m_enc, m_expected);
        if (position == 0) return note("planet " + quoteText(toUtf8(name, m_enc)) + " is not in the map file");
        if (auto why = convertReportRow(m_row, m_enc)) return note(std::move(*why));
        m_expected = position + 1;
        return position;
    }

    // Writes the row last looked up into its planet.
    void apply(int64_t position)
    {
        Planet& p = *m_planets.Raw(position);
        applyReportRow(m_row, p, m_enc);
        m_ages[static_cast<size_t>(position)] = p.ReportAge;
    }

    // Reads the lines of text, numbered from firstLine. With claims, a planet is written only by
    // the part that wrote it first; this part's lines of a planet the other part took are kept.
    void read(std::string_view text, int64_t firstLine, LineNotes& notes, std::atomic<uint8_t>* claims, uint8_t me)
    {
        LineReader lines(text);
        std::string_view raw;
        for (m_lineNo = firstLine; lines.next(raw); ++m_lineNo) {
            const int64_t position = lookUp(raw, m_lineNo, &notes);
            if (position == 0) continue;
            ++records;
            if (claims) {
                uint8_t owner = kNoPart;
                std::atomic<uint8_t>& claim = claims[position];
                if (!claim.compare_exchange_strong(owner, me, std::memory_order_relaxed) && owner != me) {
                    deferred.push_back({position, raw});
                    continue;
                }
            }
            apply(position);
        }
    }

    // Writes kept lines, looked up again, in their order.
    void applyDeferred(const std::vector<Deferred>& lines)
    {
        for (const Deferred& d : lines)
            if (lookUp(d.line, 0, nullptr) == d.position) apply(d.position);
    }

    // Writes again the lines of text that name one of the planets marked.
    void replay(std::string_view text, const std::vector<bool>& marked)
    {
        LineReader lines(text);
        std::string_view raw;
        while (lines.next(raw))
            if (const int64_t position = lookUp(raw, 0, nullptr); position != 0 && marked[size_t(position)])
                apply(position);
    }

    int64_t lineNo() const { return m_lineNo; }

    int64_t records = 0;
    std::vector<Deferred> deferred;

private:
    Map& m_planets;
    const FileLines& m_file;
    std::vector<int16_t>& m_ages;
    ReportRow m_row;
    Enc m_enc = Enc::Ascii;
    int64_t m_expected = 1; // reports list the planets in map order as a rule
    int64_t m_lineNo = 0;
};

} // namespace

FileTaken loadReport(Map& planets, const std::string& path, std::vector<int16_t>& ages, Diagnostics& diags)
{
    auto file = readLines(path, "the map shows the map file and the export files only", diags);
    if (!file) return {};
    FileTaken taken{0, endsUnfinished(file->text)};
    LineNotes notes(diags, path);
    LineReader headings(file->content);
    std::string_view skipped;
    headings.next(skipped); // line 1 holds the column headings
    const std::string_view body = headings.rest();
    ReportPart first(planets, *file, ages);
    // A large report is cut at a line feed (which always ends a line) into two halves, read at
    // once: each planet is written by the part that reaches it first, and the lines of the other
    // part that name it are written afterwards, so that every planet ends as if the lines had been
    // written one after the other.
    const size_t cut = body.size() < kTwoPartsFrom ? std::string_view::npos : body.find('\n', body.size() / 2);
    if (cut == std::string_view::npos || cut + 1 >= body.size()) {
        first.read(body, 2, notes, nullptr, kFirstPart);
        taken.records = first.records;
        return taken;
    }
    const std::string_view firstText = body.substr(0, cut + 1), secondText = body.substr(cut + 1);
    const auto claims = std::make_unique<std::atomic<uint8_t>[]>(size_t(planets.Count()) + 1);
    ReportPart second(planets, *file, ages);
    Diagnostics secondNotes;
    // Should the first part throw, the future waits for the second before what it uses goes.
    auto reading = std::async(std::launch::async, [&] {
        LineNotes gathered(secondNotes, path);
        second.read(secondText, 1, gathered, claims.get(), kSecondPart);
    });
    first.read(firstText, 2, notes, claims.get(), kFirstPart);
    reading.get();
    notes.addGathered(std::move(secondNotes), first.lineNo() - 1);
    // Planets the first part wrote first: the second part's lines of them follow.
    second.applyDeferred(second.deferred);
    if (!first.deferred.empty()) {
        // Planets the second part wrote first: the first part's lines of them, then the second
        // part's once more.
        std::vector<bool> marked(size_t(planets.Count()) + 1, false);
        for (const Deferred& d : first.deferred)
            marked[size_t(d.position)] = true;
        first.applyDeferred(first.deferred);
        second.replay(secondText, marked);
    }
    taken.records = first.records + second.records;
    return taken;
}

} // namespace vornex::loader
