#include "register/clock.h"

#include <algorithm>
#include <ctime>

namespace korvant3emu {

int64_t Clock::now() const {
    return (fixed_ ? *fixed_ : static_cast<int64_t>(std::time(nullptr))) + offset_;
}

int64_t Clock::nextDocumentDate(int64_t lastDocumentDate) const {
    return fixed_ ? std::max(now(), lastDocumentDate + 1) : now();
}

void Clock::documentIssued(int64_t date) {
    if (fixed_ && date > *fixed_ + offset_) {
        fixed_ = date - offset_;
    }
}

} // namespace korvant3emu
