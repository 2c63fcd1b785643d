#pragma once
// A host memory manager for in-process tests: counts blocks and can refuse the
// n-th allocation.

#include <cstdlib>
#include <set>

#include "nativeapi/interfaces.h"

namespace korvant::testing {

class TestMemory final : public nativeapi::IMemoryManager {
public:
#ifdef _WIN32
    void* ADDIN_DESTRUCTOR_API msvcDeletingDestructor(unsigned int) override {
        return this;
    }
#endif
    ~TestMemory()
#ifndef _WIN32
        override
#endif
    {
        for (void* block : live) {
            std::free(block);
        }
    }
    bool ADDIN_API AllocMemory(void** memory, unsigned long bytes) override {
        ++allocations;
        if (failAt != 0 && allocations == failAt) {
            return false;
        }
        *memory = std::malloc(bytes == 0 ? 1 : bytes);
        live.insert(*memory);
        lastBytes = bytes;
        return true;
    }
    void ADDIN_API FreeMemory(void** memory) override {
        live.erase(*memory);
        std::free(*memory);
        *memory = nullptr;
    }

    unsigned long allocations = 0;
    unsigned long failAt = 0;
    unsigned long lastBytes = 0;
    std::set<void*> live;
};

} // namespace korvant::testing
