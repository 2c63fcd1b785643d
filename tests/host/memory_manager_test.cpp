#include "host/abi/memory_manager.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace korvant::host;
using Kind = MemoryManager::ProblemKind;

namespace {

// The add-in's view: calls through the table behind the interface pointer.
struct AddInSide {
    explicit AddInSide(MemoryManager& memory) : self(memory.interfacePointer()) {}
    bool alloc(void** block, unsigned long bytes) {
        return slotsOf<MemoryManagerSlots>(self).AllocMemory(self, block, bytes);
    }
    void free(void** block) { slotsOf<MemoryManagerSlots>(self).FreeMemory(self, block); }
    void* self;
};

} // namespace

TEST(MemoryManager, CountsBlocksThroughItsInterface) {
    MemoryManager memory;
    AddInSide addin(memory);
    void* a = nullptr;
    void* b = nullptr;
    void* c = nullptr;
    ASSERT_TRUE(addin.alloc(&a, 10));
    ASSERT_TRUE(addin.alloc(&b, 0));
    ASSERT_TRUE(addin.alloc(&c, 0));
    EXPECT_NE(b, c) << "zero-byte blocks are distinct";
    EXPECT_TRUE(memory.owns(a));
    EXPECT_EQ(memory.blockSize(a), 10u);
    addin.free(&a);
    EXPECT_EQ(a, nullptr) << "FreeMemory clears the caller's pointer";
    EXPECT_EQ(memory.allocations(), 3u);
    EXPECT_EQ(memory.frees(), 1u);
    EXPECT_EQ(memory.liveBlocks(), 2u);
    EXPECT_EQ(memory.liveBytes(), 0u);
    EXPECT_TRUE(memory.problems().empty());
}

TEST(MemoryManager, FailsTheNthAllocationOnly) {
    MemoryManager memory;
    void* block = nullptr;
    ASSERT_TRUE(memory.allocMemory(&block, 4));
    memory.failAllocation(2);
    void* first = nullptr;
    EXPECT_TRUE(memory.allocMemory(&first, 4));
    void* untouched = &memory;
    EXPECT_FALSE(memory.allocMemory(&untouched, 4));
    EXPECT_EQ(untouched, &memory) << "a failed allocation leaves the pointer as it was";
    void* later = nullptr;
    EXPECT_TRUE(memory.allocMemory(&later, 4));
    EXPECT_EQ(memory.failedAllocations(), 1u);
    EXPECT_EQ(memory.liveBlocks(), 3u);

    memory.failAllocation(1);
    memory.failAllocation(0);
    EXPECT_TRUE(memory.allocMemory(&later, 4)) << "0 cancels";
    memory.failAllAllocations(true);
    EXPECT_FALSE(memory.allocMemory(&later, 4));
    EXPECT_FALSE(memory.allocMemory(&later, 4));
    memory.failAllAllocations(false);
    EXPECT_TRUE(memory.allocMemory(&later, 4));
    EXPECT_EQ(memory.hostAllocations(), 0u);
    EXPECT_NE(memory.allocateForHost(4), nullptr) << "the host's own blocks are never refused";
}

TEST(MemoryManager, DetectsBadFrees) {
    MemoryManager memory;
    void* block = nullptr;
    ASSERT_TRUE(memory.allocMemory(&block, 8));
    void* copy = block;
    memory.freeMemory(&block);
    memory.freeMemory(&copy);
    EXPECT_EQ(memory.problemCount(Kind::DoubleFree), 1u);

    int local = 0;
    void* foreign = &local;
    memory.freeMemory(&foreign);
    EXPECT_EQ(memory.problemCount(Kind::ForeignFree), 1u);

    void* none = nullptr;
    memory.freeMemory(&none);
    memory.freeMemory(nullptr);
    EXPECT_EQ(memory.problems().size(), 2u) << memory.report();
    EXPECT_EQ(memory.frees(), 5u);
}

TEST(MemoryManager, DetectsWritesPastABlock) {
    MemoryManager memory;
    void* block = nullptr;
    ASSERT_TRUE(memory.allocMemory(&block, 4));
    std::memset(block, 0, 4);
    memory.checkGuards();
    EXPECT_TRUE(memory.problems().empty());
    static_cast<char*>(block)[4] = 0;
    memory.checkGuards();
    EXPECT_EQ(memory.problemCount(Kind::Overrun), 1u);
    memory.freeMemory(&block);
    EXPECT_EQ(memory.problemCount(Kind::Overrun), 2u) << "freeing checks again";
}

TEST(MemoryManager, ReadsHandedBackTextsWithinTheirBlocks) {
    MemoryManager memory;
    auto* text = static_cast<char16_t*>(memory.allocateForHost(8)); // 4 units
    std::memcpy(text, u"abcd", 8);

    // A text with a length needs its terminating zero inside the block all the same.
    EXPECT_EQ(memory.readText(text, 9, "t"), u"abcd");
    EXPECT_EQ(memory.problemCount(Kind::TextOverrun), 1u);
    EXPECT_EQ(memory.problemCount(Kind::Unterminated), 0u) << "one problem per text";
    EXPECT_EQ(memory.readText(text, 4, "t"), u"abcd");
    EXPECT_EQ(memory.problemCount(Kind::Unterminated), 1u) << "no room for the zero";
    EXPECT_EQ(memory.readText(text, 2, "t"), u"ab");
    EXPECT_EQ(memory.problemCount(Kind::Unterminated), 2u) << "no zero after the text";
    EXPECT_EQ(memory.readText(text, std::nullopt, "t"), u"abcd");
    EXPECT_EQ(memory.problemCount(Kind::Unterminated), 3u);
    text[2] = 0;
    const auto problemsBefore = memory.problems().size();
    EXPECT_EQ(memory.readText(text, std::nullopt, "t"), u"ab");
    EXPECT_EQ(memory.readText(text, 2, "t"), u"ab");
    EXPECT_EQ(memory.problems().size(), problemsBefore) << memory.report();

    const char16_t foreign[] = u"xyz";
    EXPECT_EQ(memory.readText(foreign, std::nullopt, "t"), u"xyz");
    EXPECT_EQ(memory.readText(nullptr, 0, "t"), u"");
    EXPECT_EQ(memory.problemCount(Kind::ForeignText), 1u);
    EXPECT_EQ(memory.readText(nullptr, 3, "t"), u"");
    EXPECT_EQ(memory.problemCount(Kind::ForeignText), 2u);

    memory.release(text);
    EXPECT_EQ(memory.readText(text, 2, "t"), u"") << "a freed block is not read";
    EXPECT_EQ(memory.problemCount(Kind::ForeignText), 3u);
    memory.release(text);
    EXPECT_EQ(memory.problemCount(Kind::DoubleFree), 0u) << "release leaves non-blocks alone";
    EXPECT_EQ(memory.liveBlocks(), 0u);

    auto* bytes = static_cast<char*>(memory.allocateForHost(3));
    std::memcpy(bytes, "abc", 3);
    EXPECT_EQ(memory.readBytes(bytes, 3, "b"), "abc");
    EXPECT_EQ(memory.readBytes(bytes, 5, "b"), "abc");
    EXPECT_EQ(memory.problemCount(Kind::TextOverrun), 2u);
}
