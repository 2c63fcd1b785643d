#pragma once
// The register's clock: the real time, or a fixed moment for reproducible runs, plus whatever
// the control API has moved it by. A fixed clock stands still and moves only to the date of each
// fiscal document, which is one second after the one before, so numbers and dates repeat exactly
// from run to run; it never reads before the register's last document unless it is set back.
// A real clock reads what the machine's clock says, which may be before the last document when
// the machine's clock was corrected backwards.

#include <cstdint>
#include <optional>

namespace korvant3emu {

class Clock {
public:
    explicit Clock(std::optional<int64_t> fixed = std::nullopt) : fixed_(fixed) {}

    // The clock's reading, seconds since 1970.
    int64_t now() const;

    // The date the next fiscal document gets, the clock not being before the last one's.
    int64_t nextDocumentDate(int64_t lastDocumentDate) const;

    // A fiscal document was dated `date`; a fixed clock moves on to it.
    void documentIssued(int64_t date);
    // The register's state was read with its last document dated `date`: a fixed clock, which
    // knows no time of its own, catches up with it.
    void catchUp(int64_t lastDocumentDate) { documentIssued(lastDocumentDate); }

    void advance(int64_t seconds) { offset_ += seconds; }

private:
    std::optional<int64_t> fixed_;
    int64_t offset_ = 0;
};

} // namespace korvant3emu
