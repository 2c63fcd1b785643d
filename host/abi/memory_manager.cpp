#include "host/abi/memory_manager.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace korvant::host {
namespace {

// Bytes after every block that must keep their pattern: a write past the requested size
// changes them.
constexpr std::size_t kGuardBytes = 16;
constexpr unsigned char kGuardPattern = 0xFD;
// New blocks are filled with a pattern, so that the add-in relying on zeroed memory shows.
constexpr unsigned char kFreshPattern = 0xCD;

std::string describe(const void* pointer) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

bool KORVANT_HOST_CALL allocMemorySlot(void* self, void** block, unsigned long bytes) {
    return HostObject<MemoryManager>::of(self).allocMemory(block, bytes);
}

void KORVANT_HOST_CALL freeMemorySlot(void* self, void** block) {
    HostObject<MemoryManager>::of(self).freeMemory(block);
}

} // namespace

const VirtualTable<MemoryManagerSlots> MemoryManager::kTable =
    virtualTable<MemoryManager>(MemoryManagerSlots{HostObject<MemoryManager>::destructorSlots(),
                                                   &allocMemorySlot, &freeMemorySlot});

MemoryManager::MemoryManager() : object_{&kTable.slots, this} {}

MemoryManager::~MemoryManager() {
    for (const auto& [block, size] : live_) {
        std::free(const_cast<void*>(block));
    }
}

bool MemoryManager::allocMemory(void** block, unsigned long bytes) {
    ++allocations_;
    const bool failOnPurpose = failAll_ || allocations_ == failAt_;
    if (failOnPurpose || block == nullptr) {
        ++failedAllocations_;
        return false;
    }
    void* memory = allocateBlock(bytes);
    if (memory == nullptr) {
        ++failedAllocations_;
        return false;
    }
    *block = memory;
    return true;
}

void MemoryManager::freeMemory(void** block) {
    ++frees_;
    if (block == nullptr || *block == nullptr) {
        return;
    }
    if (owns(*block)) {
        freeBlock(*block);
    } else if (freed_.count(*block) != 0) {
        noteProblem(ProblemKind::DoubleFree,
                    "FreeMemory of " + describe(*block) + ", which was freed already");
    } else {
        noteProblem(ProblemKind::ForeignFree,
                    "FreeMemory of " + describe(*block) + ", which did not come from AllocMemory");
    }
    *block = nullptr;
}

void* MemoryManager::allocateForHost(std::size_t bytes) {
    ++hostAllocations_;
    return allocateBlock(bytes);
}

void MemoryManager::release(const void* block) {
    if (block != nullptr && owns(block)) {
        freeBlock(block);
    }
}

void* MemoryManager::allocateBlock(std::size_t bytes) {
    if (bytes > SIZE_MAX - kGuardBytes) {
        return nullptr;
    }
    // A zero-byte request still gets a block of its own, so every pointer handed out is
    // distinct and can be freed.
    auto* memory = static_cast<unsigned char*>(std::malloc(bytes + kGuardBytes));
    if (memory == nullptr) {
        return nullptr;
    }
    std::memset(memory, kFreshPattern, bytes);
    std::memset(memory + bytes, kGuardPattern, kGuardBytes);
    live_[memory] = bytes;
    freed_.erase(memory);
    return memory;
}

void MemoryManager::freeBlock(const void* block) {
    const auto found = live_.find(block);
    checkGuard(block, found->second);
    live_.erase(found);
    freed_.insert(block);
    std::free(const_cast<void*>(block));
}

bool MemoryManager::checkGuard(const void* block, std::size_t size) {
    const auto* guard = static_cast<const unsigned char*>(block) + size;
    const bool intact = std::all_of(guard, guard + kGuardBytes,
                                    [](unsigned char byte) { return byte == kGuardPattern; });
    if (!intact) {
        noteProblem(ProblemKind::Overrun, "bytes written past the end of the " +
                                              std::to_string(size) + "-byte block " +
                                              describe(block));
    }
    return intact;
}

void MemoryManager::checkGuards() {
    for (const auto& [block, size] : live_) {
        checkGuard(block, size);
    }
}

std::u16string MemoryManager::readText(const HostChar* text, std::optional<std::size_t> units,
                                       std::string_view what) {
    const auto unitsUpToZero = [text](std::size_t limit) {
        std::size_t length = 0;
        while (length < limit && text[length] != 0) {
            ++length;
        }
        return length;
    };
    if (text == nullptr) {
        if (units.value_or(0) != 0) {
            noteProblem(ProblemKind::ForeignText, std::string(what) + ": a null text of " +
                                                      std::to_string(*units) + " units");
        }
        return {};
    }
    const auto size = blockSize(text);
    if (!size) {
        if (freed_.count(text) != 0) {
            noteProblem(ProblemKind::ForeignText,
                        std::string(what) + ": the text lies in a freed block " + describe(text));
            return {};
        }
        noteProblem(ProblemKind::ForeignText, std::string(what) + ": the text at " +
                                                  describe(text) +
                                                  " did not come from the memory manager");
        return std::u16string(text, units ? *units : unitsUpToZero(SIZE_MAX));
    }
    const std::size_t capacity = *size / sizeof(HostChar);
    std::size_t length = 0;
    if (units) {
        length = std::min(*units, capacity);
        if (*units > capacity) {
            noteProblem(ProblemKind::TextOverrun,
                        std::string(what) + ": a text of " + std::to_string(*units) +
                            " units in a block of " + std::to_string(*size) + " bytes");
        } else if (*units == capacity || text[*units] != 0) {
            // Hosts that read a text up to its zero would run past the text, or the block.
            noteProblem(ProblemKind::Unterminated,
                        std::string(what) + ": a text of " + std::to_string(*units) +
                            " units without its terminating zero inside its block of " +
                            std::to_string(*size) + " bytes");
        }
    } else {
        length = unitsUpToZero(capacity);
        if (length == capacity) {
            noteProblem(ProblemKind::Unterminated,
                        std::string(what) + ": no terminating zero inside its block of " +
                            std::to_string(*size) + " bytes");
        }
    }
    return std::u16string(text, length);
}

std::string MemoryManager::readBytes(const char* text, std::size_t bytes, std::string_view what) {
    if (text == nullptr) {
        if (bytes != 0) {
            noteProblem(ProblemKind::ForeignText,
                        std::string(what) + ": a null text of " + std::to_string(bytes) + " bytes");
        }
        return {};
    }
    const auto size = blockSize(text);
    if (!size) {
        const bool freed = freed_.count(text) != 0;
        noteProblem(ProblemKind::ForeignText,
                    std::string(what) +
                        (freed ? ": the text lies in a freed block "
                               : ": the text did not come from the memory "
                                 "manager, at ") +
                        describe(text));
        return freed ? std::string() : std::string(text, bytes);
    }
    if (bytes > *size) {
        noteProblem(ProblemKind::TextOverrun, std::string(what) + ": a text of " +
                                                  std::to_string(bytes) + " bytes in a block of " +
                                                  std::to_string(*size));
    }
    return std::string(text, std::min(bytes, *size));
}

void MemoryManager::failAllocation(std::size_t n) {
    failAt_ = n == 0 ? 0 : allocations_ + n;
}

void MemoryManager::failAllAllocations(bool fail) {
    failAll_ = fail;
}

std::optional<std::size_t> MemoryManager::blockSize(const void* block) const {
    const auto found = live_.find(block);
    if (found == live_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::size_t MemoryManager::liveBytes() const {
    std::size_t total = 0;
    for (const auto& [block, size] : live_) {
        total += size;
    }
    return total;
}

std::size_t MemoryManager::problemCount(ProblemKind kind) const {
    return static_cast<std::size_t>(std::count_if(
        problems_.begin(), problems_.end(), [kind](const Problem& p) { return p.kind == kind; }));
}

std::string MemoryManager::report() const {
    std::string text;
    for (const auto& problem : problems_) {
        text += problem.message;
        text += '\n';
    }
    return text;
}

void MemoryManager::noteProblem(ProblemKind kind, std::string message) {
    problems_.push_back({kind, std::move(message)});
}

void MemoryManager::destroyedByAddIn() {
    noteProblem(ProblemKind::DestructorCalled, "the add-in destroyed the host's memory manager");
}

} // namespace korvant::host
