// Watches the heap calls of the code linked into this program (its HeapAlloc
// and HeapFree imports, which the framework's allocator calls through) from
// the start of main to the end of the run: counts the allocations, fails the
// ones a test names, and keeps the blocks allocated and not yet freed.
#ifndef QV_TESTS_HEAP_WATCH_H
#define QV_TESTS_HEAP_WATCH_H

#include <windows.h>

namespace heap_watch {

// Patches this program's imports; called from main, before any test.
void Start();

// Allocations number first to first + count - 1 from now on fail, as the heap
// fails (1 = the next one); first 0 turns the failure off.
void FailAllocations(LONG first, LONG count = 1);

// Allocations asked for since the program started.
LONG AllocationCount();

// Blocks allocated since the program started and not freed yet.
LONG LiveBlocks();

}  // namespace heap_watch

#endif
