#include "heap_block.h"

namespace {

LONG g_liveBlocks = 0;
LONG g_failCountdown = 0;

}  // namespace

int HeapBlock::Allocate(DWORD size)
{
    Free();
    if (size >= 0x7FFFFFFF)
        return 0;
    if (g_failCountdown > 0 && --g_failCountdown == 0)
        return 0;
    // One spare byte keeps a block of size 0 distinct from no block at all.
    BYTE* data = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size + 1));
    if (data == NULL)
        return 0;
    InterlockedIncrement(&g_liveBlocks);
    m_data = data;
    m_size = size;
    return 1;
}

void HeapBlock::Free()
{
    FreeData(m_data);
    m_data = NULL;
    m_size = 0;
}

BYTE* HeapBlock::Detach()
{
    BYTE* data = m_data;
    m_data = NULL;
    m_size = 0;
    return data;
}

void HeapBlock::FreeData(void* data)
{
    if (data != NULL) {
        HeapFree(GetProcessHeap(), 0, data);
        InterlockedDecrement(&g_liveBlocks);
    }
}

LONG HeapBlock::LiveBlocks()
{
    return g_liveBlocks;
}

void HeapBlock::FailAllocationAfter(LONG n)
{
    g_failCountdown = n;
}
