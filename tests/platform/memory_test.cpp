// Local memory blocks and ANSI lower-casing.
#include "tessane/platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LocalMemory, ZeroInitBlockIsZeroFilledAndWritable) {
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, 4096);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<unsigned char*>(LocalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (size_t i = 0; i < 4096; ++i)
        ASSERT_EQ(bytes[i], 0) << "at " << i;
    bytes[4095] = 0xFF;
    EXPECT_EQ(LocalUnlock(block), FALSE); // no lock left
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(LocalMemory, EmptyBlockStillHasAnAddress) {
    HLOCAL block = LocalAlloc(LHND, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_NE(LocalLock(block), nullptr);
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(LocalMemory, LocksNest) {
    HLOCAL block = LocalAlloc(LHND, 8);
    void* first = LocalLock(block);
    EXPECT_EQ(LocalLock(block), first);
    EXPECT_EQ(LocalUnlock(block), TRUE);
    EXPECT_EQ(LocalUnlock(block), FALSE);
    EXPECT_EQ(LocalUnlock(block), FALSE);
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(LocalMemory, NullUnknownAndFreedHandlesAreRefused) {
    int notABlock = 0;
    EXPECT_EQ(LocalLock(nullptr), nullptr);
    EXPECT_EQ(LocalLock(&notABlock), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
    EXPECT_EQ(LocalFree(&notABlock), &notABlock);

    HLOCAL freed = LocalAlloc(LHND, 16);
    ASSERT_EQ(LocalFree(freed), nullptr);
    HLOCAL next = LocalAlloc(LHND, 16); // may reuse the freed memory
    EXPECT_EQ(LocalLock(freed), nullptr);
    EXPECT_EQ(LocalUnlock(freed), FALSE);
    EXPECT_EQ(LocalFree(freed), freed);
    EXPECT_NE(LocalLock(next), nullptr);
    EXPECT_EQ(LocalFree(next), nullptr);
}

TEST(LocalMemory, SizeBeyondTheInterfaceRangeGivesNull) {
    EXPECT_EQ(LocalAlloc(LHND, static_cast<size_t>(INT32_MAX) + 1), nullptr);
    EXPECT_EQ(LocalAlloc(LHND, SIZE_MAX), nullptr);
}

TEST(CharLower, LowersAsciiLettersOnlyAndOnlyWithinLength) {
    // UTF-8 "Ä" (0xC3 0x84) and "Ｇ" (0xEF 0xBC 0xA7) pass unchanged.
    std::string text = "*.GIF;*.Jpg \xC3\x84\xEF\xBC\xA7 Z@[`{";
    const std::string expected = "*.gif;*.jpg \xC3\x84\xEF\xBC\xA7 z@[`{";
    EXPECT_EQ(CharLowerBuffA(text.data(), static_cast<DWORD>(text.size())), text.size());
    EXPECT_EQ(text, expected);

    std::string partial = "ABCD";
    EXPECT_EQ(CharLowerBuffA(partial.data(), 2), 2u);
    EXPECT_EQ(partial, "abCD");
    EXPECT_EQ(CharLowerBuffA(nullptr, 4), 0u);
}

} // namespace
