// The module's global operator new and delete: non-throwing, on the process
// heap. The module's own code allocates through the framework (CString,
// HeapBlock, CCmdTarget's operator new); these stand in for the runtime's
// throwing operator new so that nothing in the module can raise bad_alloc,
// and so that no exception runtime is linked in for it.
//
// Linked into the module only: the test programs keep their runtime's own.
#include "../framework/afxmem.h"

#include <stddef.h>
#include <new>

void* operator new(size_t size) noexcept
{
    return qv::AfxAllocMemory(size != 0 ? size : 1);
}

void* operator new[](size_t size) noexcept
{
    return qv::AfxAllocMemory(size != 0 ? size : 1);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return qv::AfxAllocMemory(size != 0 ? size : 1);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return qv::AfxAllocMemory(size != 0 ? size : 1);
}

void operator delete(void* block) noexcept
{
    qv::AfxFreeMemory(block);
}

void operator delete[](void* block) noexcept
{
    qv::AfxFreeMemory(block);
}

void operator delete(void* block, size_t) noexcept
{
    qv::AfxFreeMemory(block);
}

void operator delete[](void* block, size_t) noexcept
{
    qv::AfxFreeMemory(block);
}
