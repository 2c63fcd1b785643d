#pragma once
// Test access to the register emulator: the library is loaded with dlopen by
// the path it was built at, and its functions are called through pointers of
// the types its header declares.

#include "korvant3emu.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>

namespace emutest {

using nlohmann::json;

// The resolved function of the loaded emulator; the test fails when missing.
void* symbol(const char* name);

template <typename F> F* function(const char* name) {
    return reinterpret_cast<F*>(symbol(name));
}

#define EMU(name) (::emutest::function<decltype(name)>(#name))

// A library result with the answer it handed back.
struct Answer {
    int32_t result = 0;
    uint32_t task = 0;
    std::string text;
    json body; // the parsed answer, null when there was none or it was not JSON

    int32_t response() const { return body.is_object() ? body.value("response", -1) : -1; }
    int32_t extended() const { return body.is_object() ? body.value("extended", -1) : -1; }
    const json& data() const { return body.at("data"); }
};

inline constexpr int64_t kClock = 1700000000;

// The opening of a sale receipt by cashier "A" on the first taxation system.
inline const json kSaleOpen = {{"user_name", "A"}, {"doc_kind", 0}, {"taxcode", 1}};

class EmulatorTest : public ::testing::Test {
protected:
    // A fresh register on the fixed clock.
    void SetUp() override { reset({{"clock", kClock}}); }

public:
    void reset(const json& config);
    json state();
    json journal();
    void inject(const json& rule);

    int32_t open();
    // Opened and in fiscal-register mode.
    int32_t connect();
    Answer simple(const char* name, int32_t handle);

    // Starts a task and keeps the start answer. A null request calls a function
    // that takes none; startText passes any text, NULL and "null" included.
    Answer start(const char* name, int32_t handle, const json& request = nullptr);
    Answer startText(const char* name, int32_t handle, const char* request);
    Answer poll(int32_t handle, uint32_t task);
    // Starts a task and polls it to its final answer (at most 1000 polls).
    Answer run(const char* name, int32_t handle, const json& request = nullptr);
    // The number of busy answers before the final one of a task just started.
    int busyPolls(int32_t handle, uint32_t task, Answer& final);

    // A connected register with an open shift.
    int32_t openShift();
    // Runs a whole receipt: open, the items, close with the payments.
    Answer receipt(int32_t handle, int docKind, const std::vector<json>& items,
                   const json& payments);
};

// A path in the test's temporary folder, unique to the process and the test,
// with no file at it yet.
std::filesystem::path freshTempPath(const std::string& stem);

// Removes a tape and the page the emulator keeps beside it.
void removeTape(const std::filesystem::path& tape);

// Removes a state file and what the emulator keeps beside it (its lock, the open document's
// record, the files of the processes using it).
void removeState(const std::filesystem::path& state);

// The whole file as bytes; empty when it cannot be read.
std::string contentOf(const std::filesystem::path& path);

// Local time of a register date, written as strftime's format says.
std::string localTimeText(int64_t seconds, const char* format);

json item(const std::string& name, int64_t price, int64_t quant, int64_t discount = 0,
          int64_t taxId = 3);
json cash(int64_t amount);

} // namespace emutest
