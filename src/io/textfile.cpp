#include "io/textfile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornex {

namespace fs = std::filesystem;

namespace {

// No file the program reads comes anywhere near this; a larger one is not a game file.
constexpr std::uintmax_t kMaxFileSize = 256u * 1024u * 1024u;

std::string errnoText(int err)
{
    return std::strerror(err);
}

bool writeAll(int fd, std::string_view bytes, int& err)
{
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Writes bytes to a new temporary file beside target and returns its name; on failure removes it.
std::optional<std::string> writeTemporary(const fs::path& target, std::string_view bytes, mode_t mode,
                                          std::string& error)
{
    std::string pattern = target.string() + ".tmp-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = "cannot create a temporary file beside " + target.string() + ": " + errnoText(errno);
        return std::nullopt;
    }
    int err = 0;
    bool ok = writeAll(fd, bytes, err);
    if (ok && ::fchmod(fd, mode) != 0) {
        // Permissions are a nicety; the data matter more.
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(pattern.c_str());
        error = "cannot write " + target.string() + ": " + errnoText(err);
        return std::nullopt;
    }
    return pattern;
}

void syncFolder(const fs::path& folder)
{
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

mode_t defaultMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// Makes path + ".bak" the file now at path, replacing any older backup in one step. A second
// name for the same file costs no copying, and the rename that follows leaves the old contents
// under it; where the file system has no hard links the bytes are copied instead. Either way a
// failure leaves the previous backup in place.
bool keepBackupOf(const fs::path& target, std::string& error)
{
    const std::string bak = target.string() + ".bak";
    std::string pattern = bak + ".tmp-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = errnoText(errno);
        return false;
    }
    ::close(fd);
    ::unlink(pattern.c_str());
    if (::link(target.c_str(), pattern.c_str()) == 0) {
        if (::rename(pattern.c_str(), bak.c_str()) == 0) return true;
        error = errnoText(errno);
        ::unlink(pattern.c_str());
        return false;
    }
    std::string readError;
    auto old = readFileBytes(target.string(), &readError);
    if (!old) {
        error = readError;
        return false;
    }
    auto copied = writeFileAtomically(bak, *old, false);
    if (!copied.ok) error = copied.error;
    return copied.ok;
}

} // namespace

namespace {

// Reads a whole file through `grow`, which is asked for a buffer of at least n bytes (keeping what
// it holds) and returns its start. Returns the number of bytes read, or nullopt with the reason.
template <typename Grow>
std::optional<size_t> readWhole(const std::string& path, Grow grow, std::string& why)
{
    // Not blocking on open keeps a named pipe from hanging the program; it is refused below.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        why = (err == ENOENT || err == ENOTDIR) ? std::string("file not found") : "cannot open: " + errnoText(err);
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        why = "cannot read: " + errnoText(errno);
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        why = "is a folder, not a file";
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode)) {
        why = "not a regular file";
        return std::nullopt;
    }
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxFileSize) {
        why = "file too large";
        return std::nullopt;
    }
    // One byte more than the size asks for the end of the file in the same read; the file may
    // also have grown since its size was taken, and whatever follows is kept.
    size_t capacity = static_cast<size_t>(st.st_size) + 1;
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
        ssize_t n = ::read(fd, buf + size, capacity - size);
        if (n < 0) {
            if (errno == EINTR) continue;
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
    fs::path target(path);
    std::error_code ec;
    // Writing through a link replaces the file it points to, not the link.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        auto resolved = fs::canonical(target, ec);
        if (!ec) target = resolved;
    }
    auto st = fs::status(target, ec);
    bool exists = !ec && fs::exists(st);
    if (exists && !fs::is_regular_file(st)) {
        result.error = target.string() + " is not a regular file";
        return result;
    }
    mode_t mode = defaultMode();
    struct stat sb {};
    if (exists && ::stat(target.c_str(), &sb) == 0) mode = sb.st_mode & 07777;

    std::string error;
    auto temp = writeTemporary(target, bytes, mode, error);
    if (!temp) {
        result.error = error;
        return result;
    }

    if (keepBackup && exists) {
        std::string bakError;
        if (!keepBackupOf(target, bakError)) {
            ::unlink(temp->c_str());
            result.error = "cannot keep a backup of " + target.string() + ": " + bakError;
            return result;
        }
    }

    if (::rename(temp->c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(temp->c_str());
        result.error = "cannot replace " + target.string() + ": " + errnoText(err);
        return result;
    }
    syncFolder(target.parent_path());
    result.ok = true;
    return result;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (p < end) {
        // The next LF ends a line; a CR before it belongs to the line end, any other CR ends a line
        // of its own.
        const auto* nl = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* lineEnd = nl ? nl : end;
        const char* stop = lineEnd;
        if (stop > p && stop[-1] == '\r') --stop;
        while (const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)))) {
            lines.emplace_back(p, static_cast<size_t>(cr - p));
            p = cr + 1;
        }
        if (nl || stop < end) {
            lines.emplace_back(p, static_cast<size_t>(stop - p));
            p = nl ? nl + 1 : end;
        } else {
            if (p < end) lines.emplace_back(p, static_cast<size_t>(end - p));
            p = end;
        }
    }
    return lines;
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
