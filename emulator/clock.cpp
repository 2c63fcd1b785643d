#include "clock.h"

#include <algorithm>
#include <ctime>

namespace korvant3emu {

int64_t Clock::base() const {
    return (fixed_ ? *fixed_ : static_cast<int64_t>(std::time(nullptr))) + offset_;
}

int64_t Clock::now(int64_t lastDocumentDate) const {
    return std::max(base(), lastDocumentDate);
}

int64_t Clock::nextDocumentDate(int64_t lastDocumentDate) const {
    return std::max(base(), fixed_ ? lastDocumentDate + 1 : lastDocumentDate);
}

} // namespace korvant3emu
