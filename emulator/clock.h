#pragma once
// The register's clock: the real time, or a fixed moment for reproducible runs,
// plus whatever the control API has advanced it by. Document dates never go
// back; with a fixed clock every fiscal document is one second later than the
// one before, so numbers and dates repeat exactly from run to run.

#include <cstdint>
#include <optional>

namespace korvant3emu {

class Clock {
public:
    explicit Clock(std::optional<int64_t> fixed = std::nullopt) : fixed_(fixed) {}

    // Seconds since 1970, never before the last fiscal document.
    int64_t now(int64_t lastDocumentDate) const;

    // The date of the next fiscal document after one dated lastDocumentDate.
    int64_t nextDocumentDate(int64_t lastDocumentDate) const;

    void advance(int64_t seconds) { offset_ += seconds; }

private:
    int64_t base() const;

    std::optional<int64_t> fixed_;
    int64_t offset_ = 0;
};

} // namespace korvant3emu
