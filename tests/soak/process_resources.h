// What a process holds, sampled between calls of the export: kernel handles,
// GDI and USER objects, windows of the calling thread, the bytes and blocks
// in use on every heap of the process as HeapWalk shows them, the module's
// own heap blocks and their bytes, and the TLS indexes taken.
#ifndef QV_TESTS_SOAK_PROCESS_RESOURCES_H
#define QV_TESTS_SOAK_PROCESS_RESOURCES_H

#include <windows.h>

enum ResourceKind {
    kHandles,
    kGdiObjects,
    kUserObjects,
    kThreadWindows,
    kHeapBytes,
    kHeapBlocks,
    kTlsIndex,   // the index that TlsAlloc gives next: it climbs while indexes leak
    kModuleHeapBytes,    // counted at the module's imports (HeapWatch)
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

#endif
