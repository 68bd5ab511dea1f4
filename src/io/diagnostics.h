#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vornex {

// One rejected line or record of an input file, or a whole file that could not be read.
struct Diagnostic {
    std::string file;   // file name as opened (full path)
    int64_t line = 0;   // 1-based line number; 0 when the whole file is concerned
    std::string reason; // short, user-readable
    // Set on the note that stands for the rejected lines of a file beyond those listed one by one:
    // how many they are (line is then the first of them).
    int64_t moreLines = 0;

    // "file:line: reason" (or "file: reason" for line 0 and for the count of further lines).
    std::string text() const;

    // The reason without what follows from it: a whole file that could not be read says why and,
    // after a dash, what the program does without it ("file not found — ...").
    std::string_view cause() const;

    // The rejected lines the note stands for: none for a whole file, one for a line.
    int64_t rejectedLines() const { return line <= 0 ? 0 : moreLines > 0 ? moreLines : 1; }
};

using Diagnostics = std::vector<Diagnostic>;

// The notes of one file's rejected lines, as a loader makes them: the first kListed are listed one
// by one, the others only counted, so that the notes take memory by the file's size and not by the
// number of its faults. The count becomes one last note ("and 1,998,000 more lines rejected") when
// finish() is called or the object goes out of scope.
class LineNotes {
public:
    static constexpr size_t kListed = 1000;

    LineNotes(Diagnostics& diags, std::string file) : m_diags(diags), m_file(std::move(file)) {}
    ~LineNotes() { finish(); }
    LineNotes(const LineNotes&) = delete;
    LineNotes& operator=(const LineNotes&) = delete;

    // True when a further note would only be counted: its reason need not be worded.
    bool full() const { return m_listed >= kListed; }
    void add(int64_t line, std::string reason);
    // Takes over the notes another LineNotes gathered of this file's later lines (finished), as
    // if each had been added here; its line numbers count from lineOffset + 1.
    void addGathered(Diagnostics gathered, int64_t lineOffset);
    void finish();

private:
    Diagnostics& m_diags;
    std::string m_file;
    size_t m_listed = 0;
    int64_t m_firstUnlisted = 0;
    int64_t m_unlisted = 0;
};

// 1998000 as "1,998,000".
std::string groupedNumber(int64_t n);

} // namespace vornex
