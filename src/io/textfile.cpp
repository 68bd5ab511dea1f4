#include "io/textfile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "io/platform.h"

namespace vornex {

namespace {

// No file the program reads comes anywhere near this; a larger one is not a game file.
constexpr std::uint64_t kMaxFileSize = 256u * 1024u * 1024u;

// Why a file could not be opened. A link that leads nowhere is there but unreadable, never
// "not found": a caller that took it for missing would go on to write a file in its place.
std::string openFailure(const std::string& path, const platform::SysError& err)
{
    const platform::PathInfo info = platform::inspect(path);
    if (info.isLink && !info.resolves) {
        std::string resolved;
        platform::SysError linkErr;
        if (!platform::resolveLinks(path, resolved, linkErr)) return "cannot open: " + linkErr.text;
    }
    if (err.notFound && !info.exists) return "file not found";
    return "cannot open: " + err.text;
}

// Reads a whole file through `grow`, which is asked for a buffer of at least n bytes (keeping what
// it holds) and returns its start. Returns the number of bytes read, or nullopt with the reason.
// Opens a file to be read as a whole; a closed file and the reason when it cannot be (missing,
// not to be opened, a folder, a named pipe or device, too large).
platform::File openWhole(const std::string& path, std::uint64_t& fileSize, std::string& why)
{
    platform::SysError err;
    platform::File file = platform::File::openForReading(path, err);
    if (!file.isOpen()) {
        why = openFailure(path, err);
        return file;
    }
    platform::FileKind kind = platform::FileKind::Other;
    if (!file.describe(kind, fileSize, err))
        why = "cannot read: " + err.text;
    else if (kind == platform::FileKind::Folder)
        why = "is a folder, not a file";
    else if (kind != platform::FileKind::Regular)
        why = "not a regular file";
    else if (fileSize > kMaxFileSize)
        why = "file too large";
    else
        return file;
    return platform::File();
}

template <typename Grow> std::optional<size_t> readWhole(const std::string& path, Grow grow, std::string& why)
{
    platform::SysError err;
    std::uint64_t fileSize = 0;
    platform::File file = openWhole(path, fileSize, why);
    if (!file.isOpen()) return std::nullopt;
    // One byte more than the size asks for the end of the file in the same read; the file may
    // also have grown since its size was taken, and whatever follows is kept.
    size_t capacity = static_cast<size_t>(fileSize) + 1;
    char* buf = grow(capacity, 0);
    size_t size = 0;
    while (true) {
        if (size == capacity) {
            if (capacity > kMaxFileSize) {
                why = "file too large";
                return std::nullopt;
            }
            capacity = capacity * 2;
            buf = grow(capacity, size);
        }
        std::ptrdiff_t n = file.read(buf + size, capacity - size, err);
        if (n < 0) {
            why = "cannot read the file";
            return std::nullopt;
        }
        if (n == 0) break;
        size += static_cast<size_t>(n);
    }
    if (size > kMaxFileSize) {
        why = "file too large";
        return std::nullopt;
    }
    return size;
}

// The file a write to path replaces: path itself, or where the symbolic links at path lead, so
// that the link stays a link. A link that leads nowhere is refused rather than replaced by a file.
bool writeTargetOf(const std::string& path, std::string& target, std::string& error)
{
    platform::SysError err;
    if (platform::resolveLinks(path, target, err)) return true;
    error = path + " cannot be followed (" + err.text + "); it is left as it is";
    return false;
}

// Writes bytes to a new temporary file beside target and returns its name; on failure removes it.
std::optional<std::string> writeTemporary(const std::string& target, std::string_view bytes, std::string& error)
{
    platform::SysError err;
    std::string name;
    platform::File file = platform::File::createTemporary(target, name, err);
    if (!file.isOpen()) {
        error = "cannot create a temporary file beside " + target + ": " + err.text;
        return std::nullopt;
    }
    file.takePermissionsOf(target);
    bool ok = file.writeAll(bytes, err) && file.flushToDisk(err);
    ok = file.close(err) && ok;
    if (!ok) {
        platform::removeFile(name);
        error = "cannot write " + target + ": " + err.text;
        return std::nullopt;
    }
    return name;
}

// Makes target + ".bak" the file now at target, replacing any older backup in one step. A second
// name for the same file costs no copying, and the rename that follows leaves the old contents
// under it; where the file system has no hard links the bytes are copied instead. Either way a
// failure leaves the previous backup in place.
bool keepBackupOf(const std::string& target, std::string& error)
{
    std::string bak;
    if (!writeTargetOf(target + ".bak", bak, error)) return false;
    platform::SysError err;
    std::string name;
    {
        platform::File reserved = platform::File::createTemporary(bak, name, err);
        if (!reserved.isOpen()) {
            error = err.text;
            return false;
        }
    }
    platform::removeFile(name);
    if (platform::linkFile(target, name, err)) {
        if (platform::replaceFile(name, bak, err)) return true;
        error = err.text;
        platform::removeFile(name);
        return false;
    }
    std::string readError;
    auto old = readFileBytes(target, &readError);
    if (!old) {
        error = readError;
        return false;
    }
    auto copied = writeFileAtomically(bak, *old, false);
    if (!copied.ok) error = copied.error;
    return copied.ok;
}

} // namespace

std::optional<std::string> readFileBytes(const std::string& path, std::string* error)
{
    std::string bytes;
    std::string why;
    auto grow = [&](size_t n, size_t) {
        bytes.resize(n);
        return bytes.data();
    };
    auto size = readWhole(path, grow, why);
    if (!size) {
        if (error) *error = why;
        return std::nullopt;
    }
    bytes.resize(*size);
    return bytes;
}

std::optional<FileBuffer> readFileBuffer(const std::string& path, std::string* error)
{
    FileBuffer buffer;
    std::string why;
    auto grow = [&](size_t n, size_t keep) {
        std::unique_ptr<char[]> bigger(new char[n]);
        if (keep > 0) std::memcpy(bigger.get(), buffer.data.get(), keep);
        buffer.data = std::move(bigger);
        return buffer.data.get();
    };
    auto size = readWhole(path, grow, why);
    if (!size) {
        if (error) *error = why;
        return std::nullopt;
    }
    buffer.size = *size;
    return buffer;
}

WriteResult writeFileAtomically(const std::string& path, std::string_view bytes, bool keepBackup)
{
    WriteResult result;
    if (path.empty()) {
        result.error = "no file name given";
        return result;
    }
    std::string target;
    if (!writeTargetOf(path, target, result.error)) return result;
    const platform::PathInfo info = platform::inspect(target);
    if (info.exists && info.kind != platform::FileKind::Regular) {
        result.error = target + " is not a regular file";
        return result;
    }

    std::string error;
    auto temp = writeTemporary(target, bytes, error);
    if (!temp) {
        result.error = error;
        return result;
    }

    if (keepBackup && info.exists) {
        std::string bakError;
        if (!keepBackupOf(target, bakError)) {
            platform::removeFile(*temp);
            result.error = "cannot keep a backup of " + target + ": " + bakError;
            return result;
        }
    }

    platform::SysError err;
    if (!platform::replaceFile(*temp, target, err)) {
        platform::removeFile(*temp);
        result.error = "cannot replace " + target + ": " + err.text;
        return result;
    }
    result.ok = true;
    return result;
}

std::string unreadableReason(const std::string& path)
{
    std::uint64_t size = 0;
    std::string why;
    openWhole(path, size, why);
    return why;
}

bool LineReader::next(std::string_view& line)
{
    if (m_p >= m_end) return false;
    // The next LF ends a line; a CR before it belongs to the line end, any other CR ends a line of
    // its own. The LF is looked for once for all the lines that CRs end before it.
    if (!m_lf || m_lf < m_p) {
        const auto* lf = static_cast<const char*>(std::memchr(m_p, '\n', static_cast<size_t>(m_end - m_p)));
        m_lf = lf ? lf : m_end;
    }
    if (const auto* cr = static_cast<const char*>(std::memchr(m_p, '\r', static_cast<size_t>(m_lf - m_p)))) {
        line = std::string_view(m_p, static_cast<size_t>(cr - m_p));
        m_p = cr + 1 == m_lf && m_lf < m_end ? m_lf + 1 : cr + 1;
        return true;
    }
    line = std::string_view(m_p, static_cast<size_t>(m_lf - m_p));
    m_p = m_lf < m_end ? m_lf + 1 : m_end;
    return true;
}

WriteResult writeChosenFile(const std::string& path, std::string_view bytes)
{
    const platform::PathInfo info = platform::inspect(path);
    if (info.resolves && info.kind == platform::FileKind::Regular && info.readOnly) {
        WriteResult result;
        result.error = path + " is read-only; it is left as it is";
        return result;
    }
    return writeFileAtomically(path, bytes);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    LineReader reader(text);
    for (std::string_view line; reader.next(line);)
        lines.push_back(line);
    return lines;
}

std::string_view contentText(std::string_view text)
{
    const size_t last = text.find_last_not_of(" \t\r\n");
    if (last == std::string_view::npos) return text.substr(0, 0);
    return text.substr(0, std::min(text.size(), text.find_first_of("\r\n", last)));
}

size_t lineCountBound(std::string_view text)
{
    size_t n = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    if (n == 0) n = static_cast<size_t>(std::count(text.begin(), text.end(), '\r'));
    return n + 1;
}

bool isBlankLine(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

size_t contentLineCount(const std::vector<std::string_view>& lines)
{
    size_t n = lines.size();
    while (n > 0 && isBlankLine(lines[n - 1]))
        --n;
    return n;
}

} // namespace vornex
