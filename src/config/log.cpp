// Placeholder until the log lands: logging stays off.
#include "config/log.h"

namespace korvant::log {
bool enabled() noexcept {
    return false;
}
void start(const PathText&) {}
void write(std::string_view, int, std::string_view) noexcept {}
} // namespace korvant::log
