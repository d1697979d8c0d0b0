// A fixture for tests of the code that allocates: after each test every block
// it allocated is freed again, and allocations work again.
#ifndef QV_TESTS_LIVE_BLOCKS_H
#define QV_TESTS_LIVE_BLOCKS_H

#include <gtest/gtest.h>

#include "heap_watch.h"

class LiveBlocksTest : public ::testing::Test {
protected:
    void SetUp() override { m_blocks = HeapWatch::LiveBlocks(); }
    void TearDown() override
    {
        HeapWatch::FailAllocations(0);
        EXPECT_EQ(m_blocks, HeapWatch::LiveBlocks()) << "heap blocks leaked";
    }

private:
    LONG m_blocks = 0;
};

#endif
