#pragma once
// The few POSIX calls the shared test sources use, on top of the Microsoft C runtime, for the
// Windows test programs (tests/CMakeLists.txt force-includes this file there). Only the tests
// need them: the add-in's own platform code has real Windows branches.

#ifdef _WIN32

#include <direct.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>

// The C runtime's environment, which getenv reads and the process environment follows. The
// runtime cannot hold an empty value: setting one removes the variable.
inline int setenv(const char* name, const char* value, int overwrite) {
    if (overwrite == 0 && getenv(name) != nullptr) {
        return 0;
    }
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) {
    return _putenv_s(name, "") == 0 ? 0 : -1;
}

inline std::tm* localtime_r(const std::time_t* time, std::tm* out) {
    return localtime_s(out, time) == 0 ? out : nullptr;
}

// Replaces the trailing XXXXXX of `pattern` and creates that folder; null when it cannot.
inline char* mkdtemp(char* pattern) {
    const size_t length = std::strlen(pattern);
    if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = length - 6; i < length; ++i) {
            pattern[i] = kLetters[random() % (sizeof kLetters - 1)];
        }
        if (_mkdir(pattern) == 0) {
            return pattern;
        }
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

#endif
