#include "heap_watch.h"

#include <set>

#include "import_patch.h"

namespace heap_watch {

namespace {

ImportPatch* g_alloc = NULL;
ImportPatch* g_free = NULL;
CRITICAL_SECTION g_lock;
std::set<void*>* g_live = NULL;
LONG g_allocations = 0;
LONG g_failFirst = 0;   // allocation number (counted from g_failBase) that fails first; 0: none
LONG g_failCount = 0;
LONG g_failBase = 0;

LPVOID WINAPI Alloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    EnterCriticalSection(&g_lock);
    const LONG relative = ++g_allocations - g_failBase;
    void* block = NULL;
    if (g_failFirst == 0 || relative < g_failFirst || relative >= g_failFirst + g_failCount) {
        block = g_alloc->original<decltype(&HeapAlloc)>()(heap, flags, size);
        if (block != NULL)
            g_live->insert(block);
    }
    LeaveCriticalSection(&g_lock);
    return block;
}

BOOL WINAPI Free(HANDLE heap, DWORD flags, LPVOID block)
{
    EnterCriticalSection(&g_lock);
    g_live->erase(block);
    LeaveCriticalSection(&g_lock);
    return g_free->original<decltype(&HeapFree)>()(heap, flags, block);
}

}  // namespace

void Start()
{
    InitializeCriticalSection(&g_lock);
    static std::set<void*> live;
    g_live = &live;
    static ImportPatch alloc("KERNEL32.dll", "HeapAlloc", (void*)Alloc);
    static ImportPatch free("KERNEL32.dll", "HeapFree", (void*)Free);
    g_alloc = &alloc;
    g_free = &free;
}

void FailAllocations(LONG first, LONG count)
{
    EnterCriticalSection(&g_lock);
    g_failBase = g_allocations;
    g_failCount = count;
    g_failFirst = first > 0 ? first : 0;
    LeaveCriticalSection(&g_lock);
}

LONG AllocationCount()
{
    return g_allocations;
}

LONG LiveBlocks()
{
    EnterCriticalSection(&g_lock);
    const LONG live = (LONG)g_live->size();
    LeaveCriticalSection(&g_lock);
    return live;
}

}  // namespace heap_watch
