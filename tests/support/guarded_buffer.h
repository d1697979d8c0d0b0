// A copy of some bytes placed so that they end right before a page that
// cannot be read: any read past the end faults at once.
#ifndef QV_TESTS_GUARDED_BUFFER_H
#define QV_TESTS_GUARDED_BUFFER_H

#include <windows.h>
#include <string.h>

class GuardedBuffer {
public:
    GuardedBuffer(const void* bytes, size_t size) : m_size(size)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size_t page = info.dwPageSize;
        size_t dataPages = (size + page - 1) / page + 1;
        m_base = static_cast<BYTE*>(VirtualAlloc(NULL, (dataPages + 1) * page,
                                                 MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old);
        m_data = m_base + dataPages * page - size;
        if (size > 0)
            memcpy(m_data, bytes, size);
    }
    ~GuardedBuffer() { VirtualFree(m_base, 0, MEM_RELEASE); }

    const char* data() const { return reinterpret_cast<const char*>(m_data); }
    const BYTE* bytes() const { return m_data; }
    size_t size() const { return m_size; }

private:
    GuardedBuffer(const GuardedBuffer&);
    GuardedBuffer& operator=(const GuardedBuffer&);
    BYTE* m_base;
    BYTE* m_data;
    size_t m_size;
};

#endif
