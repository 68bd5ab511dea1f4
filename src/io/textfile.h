#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornex {

// The whole file, or nullopt with a reason in *error (missing, unreadable, a folder, too large).
// "file not found" means nothing is at path; a symbolic link that leads nowhere is unreadable.
std::optional<std::string> readFileBytes(const std::string& path, std::string* error = nullptr);

// Why readFileBytes would fail on the file, without reading it: "file not found", "cannot open:
// Permission denied", "is a folder, not a file", "not a regular file" (a named pipe or a device),
// "file too large". Empty when the file can be read.
std::string unreadableReason(const std::string& path);

// A file's bytes in memory that is not cleared before the file is read into it.
struct FileBuffer {
    std::unique_ptr<char[]> data;
    size_t size = 0;
    std::string_view view() const { return {data.get(), size}; }
};

// As readFileBytes, into a FileBuffer: one read of a large file, no copy and no clearing.
std::optional<FileBuffer> readFileBuffer(const std::string& path, std::string* error = nullptr);

struct WriteResult {
    bool ok = false;
    std::string error; // user-readable reason when !ok
};

// Replaces the file at path with bytes: writes a temporary file in the same folder, flushes it to
// disk, then renames it over the target. On any failure the target is untouched and the temporary
// file removed. With keepBackup, an existing target is first kept as path + ".bak". A symbolic
// link stays a link: the file it leads to is replaced (its backup lies beside that file); a link
// that leads nowhere, or a loop of links, is refused and left as it is.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes, bool keepBackup = false);

// The lines of a text one at a time, without a list of them all (a file of nothing but line ends
// would make that list sixteen times the file's size): lines end at CR LF, LF or a lone CR; no line
// keeps its line end, and a final line end does not start another (empty) line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}
    // The next line; false after the last.
    bool next(std::string_view& line);
    // The text after the lines taken so far.
    std::string_view rest() const { return {m_p, static_cast<size_t>(m_end - m_p)}; }

private:
    const char* m_p;
    const char* m_end;
    const char* m_lf = nullptr; // the next LF at or after m_p (m_end for none), once looked for
};

// A file the user chose to save to (a table, a picture): as writeFileAtomically, which keeps the
// permissions of the file it replaces and refuses a link that leads nowhere, and a file marked
// read-only is refused with that reason rather than replaced.
WriteResult writeChosenFile(const std::string& path, std::string_view bytes);

// All lines of the text, as LineReader gives them.
std::vector<std::string_view> splitLines(std::string_view text);

// The text up to the end of its last line that holds anything (contentLineCount's lines).
std::string_view contentText(std::string_view text);

// At most the number of lines of the text (its LFs, or its CRs when it has none, plus one).
size_t lineCountBound(std::string_view text);

// True for a line of nothing but blanks and tabs.
bool isBlankLine(std::string_view line);

// Number of lines up to the last one that holds anything: blank lines at the very end of a file
// are not records (editors like to leave one), blank lines in between are.
size_t contentLineCount(const std::vector<std::string_view>& lines);

} // namespace vornex
