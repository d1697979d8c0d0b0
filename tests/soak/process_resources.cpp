#include "process_resources.h"

#include "heap_watch.h"

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM param)
{
    ++*reinterpret_cast<LONGLONG*>(param);
    return TRUE;
}

// Busy bytes and blocks of one heap. The heap is locked so that the walk
// sees one state of it.
void WalkHeap(HANDLE heap, LONGLONG& bytes, LONGLONG& blocks)
{
    if (!HeapLock(heap))
        return;
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = NULL;
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            bytes += entry.cbData;
            blocks++;
        }
    }
    HeapUnlock(heap);
}

// Counts the process's open handles one by one. Handles are small multiples
// of 4 given out lowest free slot first, so the table is dense: the count
// stops after a long run of slots that hold nothing.
LONGLONG ProbeHandles()
{
    const ULONG_PTR kEmptyRunToStop = 256;
    LONGLONG count = 0;
    ULONG_PTR emptyRun = 0;
    for (ULONG_PTR value = 4; emptyRun < kEmptyRunToStop; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            count++;
            emptyRun = 0;
        } else {
            emptyRun++;
        }
    }
    return count;
}

}  // namespace

const char* ResourceName(ResourceKind kind)
{
    switch (kind) {
    case kHandles: return "handles";
    case kGdiObjects: return "GDI objects";
    case kUserObjects: return "USER objects";
    case kThreadWindows: return "windows";
    case kHeapBytes: return "heap bytes";
    case kHeapBlocks: return "heap blocks";
    case kTlsIndex: return "TLS index";
    case kModuleHeapBytes: return "module heap bytes";
    case kModuleHeapBlocks: return "module heap blocks";
    default: return "?";
    }
}

ResourceSample TakeResourceSample()
{
    ResourceSample sample;
    for (int k = 0; k < kResourceKindCount; k++)
        sample.value[k] = 0;

    DWORD handles = 0;
    if (HandleCountReported())
        sample.value[kHandles] = GetProcessHandleCount(GetCurrentProcess(), &handles) ? handles : 0;
    else
        sample.value[kHandles] = ProbeHandles();
    sample.value[kGdiObjects] = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    sample.value[kUserObjects] = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EnumThreadWindows(GetCurrentThreadId(), CountWindow,
                      reinterpret_cast<LPARAM>(&sample.value[kThreadWindows]));

    sample.value[kModuleHeapBytes] = HeapWatch::LiveBytes();
    sample.value[kModuleHeapBlocks] = HeapWatch::LiveBlocks();

    const DWORD tls = TlsAlloc();
    sample.value[kTlsIndex] = tls;
    if (tls != TLS_OUT_OF_INDEXES)
        TlsFree(tls);

    // The heaps' handles go into a fixed array: nothing may be allocated
    // while the heaps are counted.
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    if (count > 64)
        count = 64;
    for (DWORD i = 0; i < count; i++)
        WalkHeap(heaps[i], sample.value[kHeapBytes], sample.value[kHeapBlocks]);
    return sample;
}

bool HeapWalkShowsEveryBlock()
{
    const int kBlocks = 64;
    void* blocks[kBlocks];
    const ResourceSample before = TakeResourceSample();
    for (int i = 0; i < kBlocks; i++)
        blocks[i] = HeapAlloc(GetProcessHeap(), 0, 24);
    const ResourceSample after = TakeResourceSample();
    for (int i = 0; i < kBlocks; i++)
        HeapFree(GetProcessHeap(), 0, blocks[i]);
    return after.value[kHeapBlocks] - before.value[kHeapBlocks] >= kBlocks;
}

bool GuiResourcesReported()
{
    SetLastError(0);
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return gdi != 0 || user != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
}

bool HandleCountReported()
{
    DWORD handles = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0;
}
