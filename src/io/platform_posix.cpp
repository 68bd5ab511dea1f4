// The POSIX branch of platform.h.
#ifndef _WIN32

#include "io/platform.h"
#include "io/platformfault.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace vornex::platform {

namespace {

bool fail(SysError& err, int code)
{
    err.text = std::strerror(code);
    err.notFound = code == ENOENT || code == ENOTDIR;
    return false;
}

bool failLast(SysError& err)
{
    return fail(err, errno);
}

// Folder entries (a new name, a rename) reach the disk only when the folder itself is flushed.
void syncFolderOf(const std::string& path)
{
    std::string folder = path;
    size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

File File::openForReading(const std::string& path, SysError& err)
{
    File file;
    // Not blocking on open keeps a named pipe from hanging the program.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failLast(err);
        return file;
    }
    file.m_native = fd;
    return file;
}

File File::createTemporary(const std::string& stem, std::string& name, SysError& err)
{
    File file;
    if (faultAt(Step::CreateTemporary)) {
        fail(err, EACCES);
        return file;
    }
    std::string pattern = stem + ".tmp-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        failLast(err);
        return file;
    }
    file.m_native = fd;
    name = pattern;
    return file;
}

bool File::describe(FileKind& kind, std::uint64_t& size, SysError& err) const
{
    struct stat st {};
    if (::fstat(static_cast<int>(m_native), &st) != 0) return failLast(err);
    kind = S_ISDIR(st.st_mode) ? FileKind::Folder : S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::ptrdiff_t File::read(char* buffer, std::size_t n, SysError& err)
{
    while (true) {
        ssize_t got = ::read(static_cast<int>(m_native), buffer, n);
        if (got >= 0) return got;
        if (errno == EINTR) continue;
        failLast(err);
        return -1;
    }
}

bool File::writeAll(std::string_view bytes, SysError& err)
{
    if (faultAt(Step::Write)) return fail(err, ENOSPC);
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(static_cast<int>(m_native), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return failLast(err);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

bool File::flushToDisk(SysError& err)
{
    if (faultAt(Step::Flush)) return fail(err, EIO);
    if (::fsync(static_cast<int>(m_native)) != 0) return failLast(err);
    return true;
}

bool File::close(SysError& err)
{
    if (m_native == -1) return true;
    int fd = static_cast<int>(std::exchange(m_native, -1));
    // After close the descriptor is gone even when it reports a failure; it is never retried.
    if (::close(fd) != 0 && errno != EINTR) return failLast(err);
    return true;
}

void File::takePermissionsOf(const std::string& model)
{
    struct stat st {};
    mode_t mode;
    if (::stat(model.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = static_cast<mode_t>(0666 & ~mask);
    }
    (void)::fchmod(static_cast<int>(m_native), mode);
}

PathInfo inspect(const std::string& path)
{
    PathInfo info;
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0) return info;
    info.exists = true;
    info.isLink = S_ISLNK(st.st_mode);
    if (info.isLink && ::stat(path.c_str(), &st) != 0) return info;
    info.resolves = true;
    info.kind = S_ISDIR(st.st_mode) ? FileKind::Folder : S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
    info.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return info;
}

bool resolveLinks(const std::string& path, std::string& resolved, SysError& err)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        resolved = path;
        return true;
    }
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) {
        const int code = errno;
        err.text = code == ENOENT  ? "a symbolic link to a file that does not exist"
                   : code == ELOOP ? "a loop of symbolic links"
                                   : std::strerror(code);
        err.notFound = false;
        return false;
    }
    resolved = real;
    std::free(real);
    return true;
}

bool replaceFile(const std::string& from, const std::string& to, SysError& err)
{
    if (faultAt(Step::Replace)) return fail(err, EACCES);
    if (::rename(from.c_str(), to.c_str()) != 0) return failLast(err);
    syncFolderOf(to);
    return true;
}

bool linkFile(const std::string& existing, const std::string& newName, SysError& err)
{
    if (faultAt(Step::Link)) return fail(err, EPERM);
    if (::link(existing.c_str(), newName.c_str()) != 0) return failLast(err);
    return true;
}

void removeFile(const std::string& path)
{
    ::unlink(path.c_str());
}

std::string userDataFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.local/share";
    return {};
}

void prepareHeapForLoading()
{
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 1);
    constexpr size_t kRoom = size_t(64) << 20;
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    mallopt(M_TOP_PAD, int(kRoom));
    // Blocks beyond what the heap has left make it grow by the pad; freed again, the room stays
    // (trimming keeps the pad).
    char* const before = static_cast<char*>(sbrk(0));
    std::vector<void*> blocks;
    while (blocks.size() < 64 && static_cast<char*>(sbrk(0)) == before)
        blocks.push_back(std::malloc(64 * 1024));
    char* const after = static_cast<char*>(sbrk(0));
    const uintptr_t from = (reinterpret_cast<uintptr_t>(before) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = reinterpret_cast<uintptr_t>(after) & ~(kHuge - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    for (void* b : blocks)
        std::free(b);
    // Below the first 2 MB boundary the heap has no huge pages, and blocks are given out from the
    // bottom up: the first megabyte or two of the tables would fault 4 KB at a time. That part is
    // kept taken for good (only each block's header is ever written), so that the tables start at
    // the boundary.
    static auto* const below = new std::vector<void*>;
    constexpr size_t kBlock = 64 * 1024;
    while (to > from && below->size() < 64) {
        void* b = std::malloc(kBlock);
        if (!b || reinterpret_cast<uintptr_t>(b) + kBlock > from) {
            std::free(b);
            break;
        }
        below->push_back(b);
    }
#endif
}

} // namespace vornex::platform

#endif
