// HeapBlock: owner of one block of the process heap, for the buffers that
// the bidirectional library fills. Allocate reports failure by its result,
// and the block is freed when its owner goes away or hands it on with Detach.
#ifndef QV_BIDI_HEAP_BLOCK_H
#define QV_BIDI_HEAP_BLOCK_H

#include <windows.h>

namespace qv {

class HeapBlock {
public:
    HeapBlock() : m_data(NULL), m_size(0) {}
    virtual ~HeapBlock() { Free(); }

    // Frees what the block held and allocates size bytes, zeroed. Returns 1,
    // or 0 when the heap refused (the block is then empty). A size of 0
    // gives a valid block of no usable bytes, so that a pointer is non-null.
    int Allocate(DWORD size);
    void Free();

    // Hands the block to the caller, who frees it with HeapBlock::FreeData.
    BYTE* Detach();
    static void FreeData(void* data);

    BYTE* data() const { return m_data; }
    DWORD size() const { return m_size; }

private:
    HeapBlock(const HeapBlock&);
    HeapBlock& operator=(const HeapBlock&);

    BYTE* m_data;
    DWORD m_size;
};

}  // namespace qv

#endif
