// A fixture for tests of the code that fills HeapBlocks: after each test every
// block it allocated is freed again, and allocations work again.
#ifndef QV_TESTS_LIVE_BLOCKS_H
#define QV_TESTS_LIVE_BLOCKS_H

#include <gtest/gtest.h>

#include "seams/seams.h"

class LiveBlocksTest : public ::testing::Test {
protected:
    void SetUp() override { m_blocks = qv::seams::liveHeapBlocks; }
    void TearDown() override
    {
        qv::seams::FailAllocations(0);
        EXPECT_EQ(m_blocks, qv::seams::liveHeapBlocks) << "heap blocks leaked";
    }

private:
    LONG m_blocks = 0;
};

#endif
