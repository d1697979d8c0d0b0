// Bytes placed so that they end right before a page that cannot be read: any
// read past their end faults at once.
#ifndef QV_TESTS_GUARDED_BUFFER_H
#define QV_TESTS_GUARDED_BUFFER_H

#include <windows.h>
#include <string.h>

class GuardedBuffer {
public:
    // A copy of size bytes.
    GuardedBuffer(const void* bytes, size_t size)
    {
        if (Reserve(size))
            Place(bytes, size);
    }
    // Room for up to `room` bytes, placed one lot after another with Place.
    explicit GuardedBuffer(size_t room) { Reserve(room); }
    ~GuardedBuffer()
    {
        if (m_base != NULL)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }

    bool ok() const { return m_end != NULL; }
    // Copies size bytes so that they end at the guard page, in place of what
    // was there; returns where they begin, or NULL when they do not fit.
    const BYTE* Place(const void* bytes, size_t size)
    {
        if (m_end == NULL || size > m_room)
            return NULL;
        m_data = m_end - size;
        m_size = size;
        if (size > 0)
            memcpy(m_data, bytes, size);
        return m_data;
    }

    const char* data() const { return reinterpret_cast<const char*>(m_data); }
    const BYTE* bytes() const { return m_data; }
    size_t size() const { return m_size; }
    // The first byte of the guard page.
    const BYTE* End() const { return m_end; }

private:
    GuardedBuffer(const GuardedBuffer&);
    GuardedBuffer& operator=(const GuardedBuffer&);

    bool Reserve(size_t room)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t dataPages = room / page + 1;
        m_base = static_cast<BYTE*>(
            VirtualAlloc(NULL, (dataPages + 1) * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        if (m_base == NULL || !VirtualProtect(m_base + dataPages * page, page, PAGE_NOACCESS, &old))
            return false;
        m_room = room;
        m_end = m_data = m_base + dataPages * page;
        return true;
    }

    BYTE* m_base = NULL;
    BYTE* m_end = NULL;    // the guard page
    BYTE* m_data = NULL;
    size_t m_room = 0;
    size_t m_size = 0;
};

#endif
