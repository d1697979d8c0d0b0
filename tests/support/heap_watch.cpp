#include "heap_watch.h"

#include <unordered_map>

namespace {

// The platform's own functions, past every patch.
struct HeapFunctions {
    decltype(&HeapAlloc) alloc;
    decltype(&HeapReAlloc) realloc;
    decltype(&HeapFree) free;
};

// What every watched module holds, and the planted failures. Taken on each
// heap call; a module may call from several threads.
struct Watched {
    HeapFunctions platform;
    CRITICAL_SECTION lock;
    std::unordered_map<const void*, SIZE_T> sizes;
    LONGLONG bytes = 0;
    LONG allocations = 0;
    LONG failFirst = 0;   // allocation number (counted from failBase) that fails first; 0: none
    LONG failCount = 0;
    LONG failBase = 0;
};

Watched& State()
{
    static Watched* state = [] {
        Watched* s = new Watched;   // outlives every watched module
        HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
        s->platform.alloc = reinterpret_cast<decltype(&HeapAlloc)>(GetProcAddress(kernel, "HeapAlloc"));
        s->platform.realloc = reinterpret_cast<decltype(&HeapReAlloc)>(GetProcAddress(kernel, "HeapReAlloc"));
        s->platform.free = reinterpret_cast<decltype(&HeapFree)>(GetProcAddress(kernel, "HeapFree"));
        InitializeCriticalSection(&s->lock);
        return s;
    }();
    return *state;
}

// Holds the lock of the watched state while it lives.
class Locked {
public:
    Locked() : state(State()) { EnterCriticalSection(&state.lock); }
    ~Locked() { LeaveCriticalSection(&state.lock); }
    Watched& state;
};

void Forget(Watched& state, const void* block)
{
    auto it = state.sizes.find(block);
    if (it == state.sizes.end())
        return;   // taken before watching began
    state.bytes -= it->second;
    state.sizes.erase(it);
}

void Remember(Watched& state, const void* block, SIZE_T size)
{
    state.sizes[block] = size;
    state.bytes += size;
}

LPVOID WINAPI WatchedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    Locked locked;
    Watched& state = locked.state;
    const LONG relative = ++state.allocations - state.failBase;
    if (state.failFirst != 0 && relative >= state.failFirst && relative < state.failFirst + state.failCount)
        return NULL;
    LPVOID block = state.platform.alloc(heap, flags, size);
    if (block != NULL)
        Remember(state, block, size);
    return block;
}

LPVOID WINAPI WatchedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID old, SIZE_T size)
{
    Locked locked;
    Watched& state = locked.state;
    const bool counted = state.sizes.count(old) != 0;
    LPVOID block = state.platform.realloc(heap, flags, old, size);
    if (block != NULL && counted) {
        Forget(state, old);
        Remember(state, block, size);
    }
    return block;
}

BOOL WINAPI WatchedHeapFree(HANDLE heap, DWORD flags, LPVOID block)
{
    Locked locked;
    const BOOL freed = locked.state.platform.free(heap, flags, block);
    if (freed)
        Forget(locked.state, block);
    return freed;
}

}  // namespace

HeapWatch::HeapWatch(HMODULE module)
    : m_alloc(module, "KERNEL32.dll", "HeapAlloc", (void*)WatchedHeapAlloc),
      m_realloc(module, "KERNEL32.dll", "HeapReAlloc", (void*)WatchedHeapReAlloc),
      m_free(module, "KERNEL32.dll", "HeapFree", (void*)WatchedHeapFree)
{
}

void HeapWatch::WatchThisProgram()
{
    static HeapWatch program(GetModuleHandleA(NULL));
}

void HeapWatch::FailAllocations(LONG first, LONG count)
{
    Locked locked;
    locked.state.failBase = locked.state.allocations;
    locked.state.failCount = count;
    locked.state.failFirst = first > 0 ? first : 0;
}

LONG HeapWatch::AllocationCount()
{
    Locked locked;
    return locked.state.allocations;
}

LONG HeapWatch::LiveBlocks()
{
    Locked locked;
    return (LONG)locked.state.sizes.size();
}

LONGLONG HeapWatch::LiveBytes()
{
    Locked locked;
    return locked.state.bytes;
}

void* HeapWatch::AllocateAsWatched(SIZE_T size)
{
    return WatchedHeapAlloc(GetProcessHeap(), 0, size);
}
