// The module's global operator delete: the module-only half of the allocator
// (afxmem.cpp is the half that the test programs link too). Linked into the
// module only: the test programs keep their runtime's own new and delete.
//
// The module defines no plain operator new or new[], and so a plain `new T`
// anywhere in the module fails to link. <new> declares those forms as
// throwing, never returning NULL, so the compiler deletes every test of
// their result; a replacement that returned NULL would have T's constructor
// write through NULL. Objects are allocated through the framework's own
// class forms instead (CCmdTarget's operator new, declared noexcept, whose
// result the compiler keeps testing). tests/CMakeLists.txt shows that a
// plain `new` does not link (module_refuses_plain_new).
//
// The deletes stay: every deleting destructor refers to them, whether or not
// an object of its class is ever made with new. They free what the framework
// allocated.
#include "afxmem.h"

#include <stddef.h>

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
