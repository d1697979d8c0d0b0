// What a process holds, sampled between calls of the export: kernel handles,
// GDI and USER objects, windows of the calling thread, the bytes and blocks
// in use on every heap of the process as HeapWalk shows them, the module's
// own heap blocks and their bytes, and the TLS indexes taken.
#ifndef QV_TESTS_SOAK_PROCESS_RESOURCES_H
#define QV_TESTS_SOAK_PROCESS_RESOURCES_H

#include <windows.h>

#include "import_patch.h"

enum ResourceKind {
    kHandles,
    kGdiObjects,
    kUserObjects,
    kThreadWindows,
    kHeapBytes,
    kHeapBlocks,
    kTlsIndex,   // the index that TlsAlloc gives next: it climbs while indexes leak
    kModuleHeapBytes,    // counted by ModuleHeapCount
    kModuleHeapBlocks,
    kResourceKindCount
};

struct ResourceSample {
    // Indexed by ResourceKind.
    LONGLONG value[kResourceKindCount];
};

// Name of a kind as printed in the tables ("handles", "heap bytes", ...).
const char* ResourceName(ResourceKind kind);

// Takes a sample. Never allocates from a heap it walks.
ResourceSample TakeResourceSample();

// True when HeapWalk shows each small block of the process heap: a run of
// small blocks taken for the probe all show as busy blocks. Where a
// low-fragmentation front end serves them (Wine 10), HeapWalk shows its
// sub-segments instead.
bool HeapWalkShowsEveryBlock();

// True when the platform counts GDI and USER objects for GetGuiResources
// (Wine answers 0 and ERROR_CALL_NOT_IMPLEMENTED; a real process on Windows
// holds a few of each once user32 is loaded).
bool GuiResourcesReported();

// True when GetProcessHandleCount counts (Wine answers 0 for every process);
// otherwise samples count the handles by probing each handle value.
bool HandleCountReported();

// Counts the heap blocks that a module allocates through its own imports of
// HeapAlloc and HeapReAlloc and has not freed through its HeapFree, and the
// bytes it asked for, while the object lives. HeapWalk cannot stand in for
// this: where the platform gives a heap a low-fragmentation front end (the
// process heap under Wine 10), it reports the front end's sub-segments, not
// the blocks in them, so small blocks come and go unseen. Counting at the
// module's imports sees every block whatever the heap's layout. Blocks the
// module took before counting began (while it loaded) are not counted, nor
// is their release. The counts are the process's, over every counted module.
class ModuleHeapCount {
public:
    explicit ModuleHeapCount(HMODULE module);
    ModuleHeapCount(const ModuleHeapCount&) = delete;
    ModuleHeapCount& operator=(const ModuleHeapCount&) = delete;

    // False when the module does not import HeapAlloc and HeapFree by name.
    bool counting() const { return m_alloc.applied() && m_free.applied(); }

    // Allocates size bytes of the process heap as the module does, through
    // the counted route (a planted leak; never freed).
    static void* AllocateAsTheModule(SIZE_T size);

private:
    ImportPatch m_alloc;
    ImportPatch m_realloc;
    ImportPatch m_free;
};

#endif
