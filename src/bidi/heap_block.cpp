#include "heap_block.h"
#include "../framework/afxmem.h"

namespace qv {

int HeapBlock::Allocate(DWORD size)
{
    Free();
    if (size >= 0x7FFFFFFF) {
        AfxNoteAllocationFailure();
        return 0;
    }
    // One spare byte keeps a block of size 0 distinct from no block at all.
    BYTE* data = static_cast<BYTE*>(AfxAllocMemory(size + 1, TRUE));
    if (data == NULL)
        return 0;
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
    AfxFreeMemory(data);
}

}  // namespace qv
