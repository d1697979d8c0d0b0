// Watches the heap calls of a module (the module under test, or the test
// program itself, whose import table the code linked into it calls through)
// at its imports of HeapAlloc, HeapReAlloc and HeapFree: counts the
// allocations, fails the ones a test names, and keeps the blocks allocated
// and not yet freed, with their bytes.
//
// HeapWalk cannot stand in for this: where the platform gives a heap a
// low-fragmentation front end (the process heap under Wine 10), it reports
// the front end's sub-segments, not the blocks in them, so small blocks come
// and go unseen. Counting at the imports sees every block whatever the
// heap's layout. Blocks taken before watching began are not counted, nor is
// their release. The figures are the process's, over every watched module.
#ifndef QV_TESTS_HEAP_WATCH_H
#define QV_TESTS_HEAP_WATCH_H

#include <windows.h>

#include "import_patch.h"

class HeapWatch {
public:
    // Watches module while the object lives.
    explicit HeapWatch(HMODULE module);
    HeapWatch(const HeapWatch&) = delete;
    HeapWatch& operator=(const HeapWatch&) = delete;

    // False when the module does not import HeapAlloc and HeapFree by name.
    bool watching() const { return m_alloc.applied() && m_free.applied(); }

    // Watches this test program for the rest of its run; called from main,
    // before any test.
    static void WatchThisProgram();

    // Allocations number first to first + count - 1 from now on fail, as the
    // heap fails (1 = the next one); first 0 turns the failure off.
    static void FailAllocations(LONG first, LONG count = 1);
    // Allocations asked for since watching began.
    static LONG AllocationCount();
    // Blocks allocated and not yet freed, and their bytes.
    static LONG LiveBlocks();
    static LONGLONG LiveBytes();

    // Allocates size bytes of the process heap as a watched module does (a
    // planted leak; never freed).
    static void* AllocateAsWatched(SIZE_T size);

private:
    ImportPatch m_alloc;
    ImportPatch m_realloc;
    ImportPatch m_free;
};

#endif
