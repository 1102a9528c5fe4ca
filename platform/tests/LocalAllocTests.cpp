#include <gtest/gtest.h>

#include <cstring>

#include "platform/LocalAlloc.h"

TEST(LocalAlloc, ZeroInitialisedBlock) {
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(block[i], 0);
    std::memset(block, 0xAB, 64);
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(LocalAlloc, FixedBlockIsWritable) {
    auto* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, 16));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "fifteen chars..", 16);
    EXPECT_STREQ(block, "fifteen chars..");
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(LocalAlloc, ZeroBytesAndNullAreSafe) {
    void* empty = LocalAlloc(LPTR, 0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(LocalFree(empty), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LocalAlloc, ImpossibleSizeFails) {
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, static_cast<size_t>(-1)), nullptr);
    EXPECT_EQ(LocalAlloc(LPTR, (size_t{1} << 32) + 1), nullptr);
}
