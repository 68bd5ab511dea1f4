// The Windows branch of platform.h.
#ifdef _WIN32

#include "io/platform.h"
#include "io/platformfault.h"

#include <atomic>
#include <cstring>
#include <cwchar>
#include <utility>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vornex::platform {

namespace {

HANDLE handleOf(std::intptr_t native)
{
    return reinterpret_cast<HANDLE>(native);
}

std::wstring widen(const std::string& utf8, bool& ok)
{
    ok = true;
    if (utf8.empty()) return {};
    int n =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) {
        ok = false;
        return {};
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string narrow(const wchar_t* wide, int length)
{
    if (length <= 0) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string utf8(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, length, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string errorText(DWORD code)
{
    wchar_t* buffer = nullptr;
    DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = n > 0 ? narrow(buffer, static_cast<int>(n)) : std::string();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "system error " + std::to_string(code) : text;
}

bool isNotFound(DWORD code)
{
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME;
}

bool fail(SysError& err, DWORD code)
{
    err.text = errorText(code);
    err.notFound = isNotFound(code);
    return false;
}

bool failLast(SysError& err)
{
    return fail(err, ::GetLastError());
}

bool badName(SysError& err)
{
    err.text = "the file name is not valid UTF-8";
    err.notFound = false;
    return false;
}

// Enough randomness to keep two saves of the same file apart: the clock, the process and a count.
std::wstring randomSuffix()
{
    static std::atomic<unsigned> counter{0};
    LARGE_INTEGER ticks{};
    ::QueryPerformanceCounter(&ticks);
    unsigned long long x = static_cast<unsigned long long>(ticks.QuadPart) ^
                           (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                           (static_cast<unsigned long long>(counter.fetch_add(1)) * 0x9E3779B97F4A7C15ull);
    static const wchar_t digits[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::wstring s;
    for (int i = 0; i < 6; ++i) {
        x ^= x >> 29;
        x *= 0xBF58476D1CE4E5B9ull;
        s += digits[x % 62];
    }
    return s;
}

} // namespace

File File::openForReading(const std::string& path, SysError& err)
{
    File file;
    bool ok = false;
    std::wstring wide = widen(path, ok);
    if (!ok) {
        badName(err);
        return file;
    }
    // Others may go on reading, writing, and replacing the file while it is read; backup
    // semantics let a folder be opened, so that it is refused by its kind with a clear reason.
    HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        failLast(err);
        return file;
    }
    file.m_native = reinterpret_cast<std::intptr_t>(h);
    return file;
}

File File::createTemporary(const std::string& stem, std::string& name, SysError& err)
{
    File file;
    if (faultAt(Step::CreateTemporary)) {
        fail(err, ERROR_ACCESS_DENIED);
        return file;
    }
    bool ok = false;
    std::wstring wideStem = widen(stem, ok);
    if (!ok) {
        badName(err);
        return file;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring wide = wideStem + L".tmp-" + randomSuffix();
        HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            file.m_native = reinterpret_cast<std::intptr_t>(h);
            name = narrow(wide.c_str(), static_cast<int>(wide.size()));
            return file;
        }
        DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            fail(err, code);
            return file;
        }
    }
    fail(err, ERROR_FILE_EXISTS);
    return file;
}

bool File::describe(FileKind& kind, std::uint64_t& size, SysError& err) const
{
    HANDLE h = handleOf(m_native);
    DWORD type = ::GetFileType(h);
    if (type != FILE_TYPE_DISK) {
        kind = FileKind::Other;
        size = 0;
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(h, &info)) return failLast(err);
    kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

std::ptrdiff_t File::read(char* buffer, std::size_t n, SysError& err)
{
    DWORD chunk = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    DWORD got = 0;
    if (!::ReadFile(handleOf(m_native), buffer, chunk, &got, nullptr)) {
        DWORD code = ::GetLastError();
        if (code == ERROR_HANDLE_EOF || code == ERROR_BROKEN_PIPE) return 0;
        fail(err, code);
        return -1;
    }
    return static_cast<std::ptrdiff_t>(got);
}

bool File::writeAll(std::string_view bytes, SysError& err)
{
    if (faultAt(Step::Write)) return fail(err, ERROR_DISK_FULL);
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD done = 0;
        if (!::WriteFile(handleOf(m_native), p, chunk, &done, nullptr)) return failLast(err);
        if (done == 0) return fail(err, ERROR_DISK_FULL);
        p += done;
        left -= done;
    }
    return true;
}

bool File::flushToDisk(SysError& err)
{
    if (faultAt(Step::Flush)) return fail(err, ERROR_DISK_FULL);
    if (!::FlushFileBuffers(handleOf(m_native))) return failLast(err);
    return true;
}

bool File::close(SysError& err)
{
    if (m_native == -1) return true;
    HANDLE h = handleOf(std::exchange(m_native, -1));
    if (!::CloseHandle(h)) return failLast(err);
    return true;
}

void File::takePermissionsOf(const std::string&)
{
    // A new file takes the access rights of its folder, as the file it replaces did.
}

PathInfo inspect(const std::string& path)
{
    PathInfo info;
    bool ok = false;
    std::wstring wide = widen(path, ok);
    if (!ok || wide.empty()) return info;
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return info;
    info.exists = true;
    info.isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (!info.isLink) {
        info.resolves = true;
        info.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
        info.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
        return info;
    }
    // Opening follows the link; what is opened is what the link leads to.
    HANDLE h = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return info;
    BY_HANDLE_FILE_INFORMATION byHandle{};
    if (::GetFileInformationByHandle(h, &byHandle)) {
        info.resolves = true;
        info.kind = (byHandle.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
        info.readOnly = (byHandle.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    }
    ::CloseHandle(h);
    return info;
}

bool resolveLinks(const std::string& path, std::string& resolved, SysError& err)
{
    bool ok = false;
    std::wstring wide = widen(path, ok);
    if (!ok) return badName(err);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        resolved = path;
        return true;
    }
    HANDLE h = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD code = ::GetLastError();
        err.text = isNotFound(code) ? "a symbolic link to a file that does not exist" : errorText(code);
        err.notFound = false;
        return false;
    }
    std::wstring buffer(32768, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
    DWORD code = ::GetLastError();
    ::CloseHandle(h);
    if (n == 0 || n >= buffer.size()) return fail(err, code);
    buffer.resize(n);
    // "\\?\C:\folder" is the same place as "C:\folder"; the short form keeps messages readable.
    if (buffer.rfind(L"\\\\?\\", 0) == 0 && buffer.size() > 6 && buffer[5] == L':') buffer.erase(0, 4);
    resolved = narrow(buffer.c_str(), static_cast<int>(buffer.size()));
    return true;
}

bool replaceFile(const std::string& from, const std::string& to, SysError& err)
{
    if (faultAt(Step::Replace)) return fail(err, ERROR_ACCESS_DENIED);
    bool okFrom = false, okTo = false;
    std::wstring wideFrom = widen(from, okFrom), wideTo = widen(to, okTo);
    if (!okFrom || !okTo) return badName(err);
    // Write-through: the call returns once the new name is on the disk.
    if (!::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failLast(err);
    return true;
}

bool linkFile(const std::string& existing, const std::string& newName, SysError& err)
{
    if (faultAt(Step::Link)) return fail(err, ERROR_NOT_SUPPORTED);
    bool okA = false, okB = false;
    std::wstring wideExisting = widen(existing, okA), wideNew = widen(newName, okB);
    if (!okA || !okB) return badName(err);
    if (!::CreateHardLinkW(wideNew.c_str(), wideExisting.c_str(), nullptr)) return failLast(err);
    return true;
}

void removeFile(const std::string& path)
{
    bool ok = false;
    std::wstring wide = widen(path, ok);
    if (ok) ::DeleteFileW(wide.c_str());
}

std::string userDataFolder()
{
    const wchar_t* appData = ::_wgetenv(L"APPDATA");
    if (!appData || !*appData) return {};
    return narrow(appData, static_cast<int>(std::wcslen(appData)));
}

void prepareHeapForLoading() {}

} // namespace vornex::platform

#endif
