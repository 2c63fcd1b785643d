#pragma once
// Pins the process time zone for the tests that expect exact local times, and
// puts the previous one back afterwards.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class FixedTimeZone {
public:
    explicit FixedTimeZone(const char* zone) {
        if (const char* previous = std::getenv("TZ")) {
            previous_ = previous;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~FixedTimeZone() {
        if (previous_) {
            ::setenv("TZ", previous_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    FixedTimeZone(const FixedTimeZone&) = delete;
    FixedTimeZone& operator=(const FixedTimeZone&) = delete;

private:
    std::optional<std::string> previous_;
};
