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

std::optional<std::string> readFileBytes(const std::string& path, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<std::string> {
        if (error) *error = why;
        return std::nullopt;
    };
    std::error_code ec;
    auto st = fs::status(path, ec);
    if (ec || !fs::exists(st)) return fail("file not found");
    if (fs::is_directory(st)) return fail("is a folder, not a file");
    if (!fs::is_regular_file(st)) return fail("not a regular file");
    auto size = fs::file_size(path, ec);
    if (ec) return fail("cannot read: " + ec.message());
    if (size > kMaxFileSize) return fail("file too large");
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot open: " + errnoText(errno));
    std::string bytes;
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (in.bad()) return fail("cannot read the file");
    // The file may have grown since its size was taken; keep whatever follows.
    char buf[4096];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.append(buf, static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxFileSize) return fail("file too large");
    }
    return bytes;
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
