#pragma once
// The host's IMemoryManager. The add-in allocates through it every text it hands back; the
// host reads such a text and then frees the block, as 1C:Enterprise does. Every block is
// counted and checked, so a test can tell whether the add-in handed back memory it did not get
// from here, freed something twice, wrote past a block or left blocks behind.

#include "host/abi/abi.h"
#include "host/abi/host_object.h"

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::host {

class MemoryManager {
public:
    enum class ProblemKind {
        DoubleFree,       // FreeMemory of a block already freed
        ForeignFree,      // FreeMemory of a pointer that never came from here
        Overrun,          // bytes written past the end of a block
        ForeignText,      // a text handed back that does not start a live block
        TextOverrun,      // a text whose length runs past the end of its block
        Unterminated,     // a text without its terminating zero inside its block
        DestructorCalled, // the add-in destroyed the host's own object
    };
    struct Problem {
        ProblemKind kind;
        std::string message;
    };

    MemoryManager();
    ~MemoryManager();
    MemoryManager(const MemoryManager&) = delete;
    MemoryManager& operator=(const MemoryManager&) = delete;

    // The IMemoryManager pointer handed to the add-in.
    void* interfacePointer() { return &object_; }

    // What AllocMemory and FreeMemory do; public so that tests can drive them directly.
    // A failed allocation leaves *block as it was.
    bool allocMemory(void** block, unsigned long bytes);
    void freeMemory(void** block);

    // The host's own blocks, for the argument texts it passes (never failed on purpose).
    void* allocateForHost(std::size_t bytes);
    // Frees a block the host has finished with; a pointer that is not a live block is left
    // alone (it was reported when its text was read).
    void release(const void* block);

    // Reads a text handed back by the add-in: `units` UTF-16 units, or up to the terminating
    // zero when no length is given. Checked against the block it lies in: reading stops at
    // the block's end, a text that lies in no live block is noted as a problem, and so is one
    // whose terminating zero (after its `units`) is not inside its block, as hosts that read
    // to the zero need it. `what` names the text in problem messages.
    std::u16string readText(const HostChar* text, std::optional<std::size_t> units,
                            std::string_view what);
    std::string readBytes(const char* text, std::size_t bytes, std::string_view what);

    // Makes the n-th AllocMemory call from now on fail (1: the next one); 0 cancels.
    void failAllocation(std::size_t n);
    // Makes every AllocMemory call fail until switched off again.
    void failAllAllocations(bool fail);

    bool owns(const void* block) const { return live_.count(block) != 0; }
    std::optional<std::size_t> blockSize(const void* block) const;
    std::size_t liveBlocks() const { return live_.size(); }
    std::size_t liveBytes() const;
    std::size_t allocations() const { return allocations_; } // AllocMemory calls, failed included
    std::size_t failedAllocations() const { return failedAllocations_; }
    std::size_t frees() const { return frees_; } // FreeMemory calls
    std::size_t hostAllocations() const { return hostAllocations_; }

    // Checks the guard bytes of every live block (freeing checks them too).
    void checkGuards();
    const std::vector<Problem>& problems() const { return problems_; }
    std::size_t problemCount(ProblemKind kind) const;
    // The problems, one per line; empty when there are none.
    std::string report() const;
    void noteProblem(ProblemKind kind, std::string message);
    void destroyedByAddIn();

private:
    using Object = HostObject<MemoryManager>;
    void* allocateBlock(std::size_t bytes);
    void freeBlock(const void* block);
    bool checkGuard(const void* block, std::size_t size);
    static const VirtualTable<MemoryManagerSlots> kTable;

    Object object_;
    std::map<const void*, std::size_t> live_; // block -> size
    std::set<const void*> freed_;
    std::vector<Problem> problems_;
    std::size_t allocations_ = 0;
    std::size_t failedAllocations_ = 0;
    std::size_t frees_ = 0;
    std::size_t hostAllocations_ = 0;
    std::size_t failAt_ = 0;
    bool failAll_ = false;
};

} // namespace korvant::host
