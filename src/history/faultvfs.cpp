#include "history/faultvfs.h"

#include <atomic>
#include <cstring>
#include <sqlite3.h>

namespace vornex::history {

namespace {

std::atomic<int> g_passes{-1}; // writes still allowed; -1: never fail
sqlite3_vfs* g_real = nullptr;

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

FaultFile* self(sqlite3_file* f)
{
    return reinterpret_cast<FaultFile*>(f);
}

bool diskFull()
{
    int left = g_passes.load();
    while (left >= 0) {
        if (left == 0) return true;
        if (g_passes.compare_exchange_weak(left, left - 1)) return false;
    }
    return false;
}

int xClose(sqlite3_file* f)
{
    return self(f)->real()->pMethods->xClose(self(f)->real());
}
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 off)
{
    return self(f)->real()->pMethods->xRead(self(f)->real(), p, n, off);
}
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 off)
{
    if (diskFull()) return SQLITE_FULL;
    return self(f)->real()->pMethods->xWrite(self(f)->real(), p, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    return self(f)->real()->pMethods->xTruncate(self(f)->real(), size);
}
int xSync(sqlite3_file* f, int flags)
{
    return self(f)->real()->pMethods->xSync(self(f)->real(), flags);
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size)
{
    return self(f)->real()->pMethods->xFileSize(self(f)->real(), size);
}
int xLock(sqlite3_file* f, int l)
{
    return self(f)->real()->pMethods->xLock(self(f)->real(), l);
}
int xUnlock(sqlite3_file* f, int l)
{
    return self(f)->real()->pMethods->xUnlock(self(f)->real(), l);
}
int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return self(f)->real()->pMethods->xCheckReservedLock(self(f)->real(), out);
}
int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return self(f)->real()->pMethods->xFileControl(self(f)->real(), op, arg);
}
int xSectorSize(sqlite3_file* f)
{
    return self(f)->real()->pMethods->xSectorSize(self(f)->real());
}
int xDeviceCharacteristics(sqlite3_file* f)
{
    return self(f)->real()->pMethods->xDeviceCharacteristics(self(f)->real());
}
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return self(f)->real()->pMethods->xShmMap(self(f)->real(), page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return self(f)->real()->pMethods->xShmLock(self(f)->real(), offset, n, flags);
}
void xShmBarrier(sqlite3_file* f)
{
    self(f)->real()->pMethods->xShmBarrier(self(f)->real());
}
int xShmUnmap(sqlite3_file* f, int drop)
{
    return self(f)->real()->pMethods->xShmUnmap(self(f)->real(), drop);
}

// Version 2: the shared memory the write-ahead log needs, no memory-mapped reads.
const sqlite3_io_methods kMethods = {2,
                                     xClose,
                                     xRead,
                                     xWrite,
                                     xTruncate,
                                     xSync,
                                     xFileSize,
                                     xLock,
                                     xUnlock,
                                     xCheckReservedLock,
                                     xFileControl,
                                     xSectorSize,
                                     xDeviceCharacteristics,
                                     xShmMap,
                                     xShmLock,
                                     xShmBarrier,
                                     xShmUnmap,
                                     nullptr,
                                     nullptr};

int xOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* file = self(f);
    file->base.pMethods = nullptr;
    const int rc = g_real->xOpen(g_real, name, file->real(), flags, outFlags);
    // SQLite calls xClose only when pMethods is set: a failed open leaves it empty.
    if (rc == SQLITE_OK && file->real()->pMethods) file->base.pMethods = &kMethods;
    (void)vfs;
    return rc;
}

sqlite3_vfs g_vfs;

} // namespace

void failWritesForTesting(int passes)
{
    if (!g_real) {
        g_real = sqlite3_vfs_find(nullptr);
        g_vfs = *g_real;
        g_vfs.zName = "vornex-faults";
        g_vfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + g_real->szOsFile;
        g_vfs.xOpen = xOpen;
        // Stores opened from now on go through it; it passes everything on while disarmed.
        sqlite3_vfs_register(&g_vfs, 1);
    }
    g_passes = passes < 0 ? -1 : passes;
}

} // namespace vornex::history
