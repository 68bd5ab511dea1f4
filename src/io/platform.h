#pragma once
// Every operating-system call of the core lives behind this interface, in platform_posix.cpp and
// platform_windows.cpp, so that the rest of the core stays standard C++ and builds for POSIX
// systems and for Windows alike. Paths are
// UTF-8 throughout; on Windows they are handed to the wide-character functions, so folders with
// names outside the ANSI code page work.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vornex::platform {

// Why a call failed, in words for the user. notFound is set when nothing is at the path (or a folder
// on the way to it is missing), so callers can tell "missing" from "there but unreadable".
struct SysError {
    std::string text;
    bool notFound = false;
};

enum class FileKind { Regular, Folder, Other };

// An open file; closed when it goes out of scope.
class File {
public:
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool isOpen() const { return m_native != -1; }

    // Opens an existing file for reading. A named pipe is opened without waiting for a writer; the
    // caller refuses it by its kind.
    static File openForReading(const std::string& path, SysError& err);
    // Creates a new, empty file for writing named stem + ".tmp-" and a few random characters, in
    // the folder of stem; *name receives its full name.
    static File createTemporary(const std::string& stem, std::string& name, SysError& err);

    bool describe(FileKind& kind, std::uint64_t& size, SysError& err) const;
    // Reads up to n bytes: the number read, 0 at the end of the file, -1 on failure.
    std::ptrdiff_t read(char* buffer, std::size_t n, SysError& err);
    bool writeAll(std::string_view bytes, SysError& err);
    // Returns once the contents are on the disk itself, not only in the system's cache.
    bool flushToDisk(SysError& err);
    bool close(SysError& err);
    // Gives the file the permissions of the file at model, or those of a new file when there is
    // none. A nicety: failure is ignored.
    void takePermissionsOf(const std::string& model);

private:
    std::intptr_t m_native = -1; // a file descriptor or a HANDLE; -1 is "none" for both
};

// What is at a path. kind follows symbolic links; isLink says whether the path itself is one.
struct PathInfo {
    bool exists = false; // something is at the path, even a link that leads nowhere
    bool isLink = false;
    bool resolves = false; // following links ends at an existing file or folder
    FileKind kind = FileKind::Other;
    bool readOnly = false; // what the path leads to is marked read-only (no write permission at all)
};
PathInfo inspect(const std::string& path);

// The path a chain of symbolic links at path ends at. Fails (never "not found") for a link that
// leads nowhere or a loop of links; a path that is no link is returned as it is.
bool resolveLinks(const std::string& path, std::string& resolved, SysError& err);

// Puts from in the place of to in one step, replacing any file there, and makes the change durable.
bool replaceFile(const std::string& from, const std::string& to, SysError& err);
// Gives the file at existing a second name, without copying.
bool linkFile(const std::string& existing, const std::string& newName, SysError& err);
// Removes a file; failure is ignored (used to tidy up after another failure).
void removeFile(const std::string& path);

// The folder where programs keep a user's own data: %APPDATA% on Windows; elsewhere $XDG_DATA_HOME
// when it holds an absolute path, otherwise $HOME/.local/share. Empty when the system names none.
std::string userDataFolder();
// Makes the folder and any missing folders on the way to it; true when it is there afterwards.
bool makeFolders(const std::string& path, SysError& err);
// Gives a file a new name; fails when something already has that name (nothing is replaced).
bool renameWithoutReplacing(const std::string& from, const std::string& to, SysError& err);

// Sets the process's heap up for loading a large galaxy, first thing in main (GNU C library; a
// no-op elsewhere). One heap for every thread: the files are read on threads of their own, and
// what they free again (the files' texts) is reused by the rest rather than kept aside in heaps of
// theirs. That heap grown at once by as much as a large galaxy's tables take, the room marked for
// huge pages: the tables are tens of thousands of small records, and touching their memory a small
// page at a time costs more than reading the files (a page fault per 4 KB, where the kernel gives
// 2 MB at a time if it can). Where huge pages are off, this only reserves address space. The heap
// then keeps up to that much freed room at its top rather than handing it back.
void prepareHeapForLoading();

// For tests: a disk that refuses one step of a save, as a full disk or a read-only folder would,
// without depending on permissions (tests may run as an administrator, who is never refused).
// The step fails after `pass` calls of it have succeeded; Step::None turns the fault off.
enum class Step { None, CreateTemporary, Write, Flush, Link, Replace };
void injectFaultForTesting(Step step, int pass = 0);

} // namespace vornex::platform
