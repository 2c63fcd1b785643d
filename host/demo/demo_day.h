#pragma once
// A cashier's day at the till, driven through a component exactly as 1C:Enterprise drives a
// fiscal register's driver, in Russian: the driver described and configured, the register
// connected (and registered with the tax service when it is not yet), a shift opened, a sale, a
// return, a correction, cash put in and taken out, a text document, the reports, the shift
// closed and the register disconnected.
//
// Every call prints one line as soon as it returns: the method's Russian name, the outcome, the
// time it took, and what a cashier would look at (shift and receipt numbers, fiscal sign, cash in
// the drawer), or on failure the code and text that GetLastError gives.

#include "host/addin/addin.h"

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace korvant::host {

struct DaySummary {
    int calls = 0;    // method calls, GetLastError after a failure not counted
    int failures = 0; // calls that did not answer true
    int receipts = 0; // receipts and correction receipts made
    std::chrono::steady_clock::duration time{};

    bool allAsExpected() const { return failures == 0; }
};

class DemoDay {
public:
    // `serial`: the register's serial number, set as the device parameter "Serial".
    DemoDay(Component& component, std::string serial, std::ostream& out);

    // Works the day through. A failure that leaves nothing to work with (no connection, no
    // registration, no open shift) ends it early, after disconnecting.
    DaySummary run();

private:
    // What a successful call's answer shows; empty for nothing.
    using Details = std::function<std::string(const CallResult&)>;

    // Calls a method by its Russian name, as 1C code does, times it and prints its line. The
    // answer when the method answered true, nothing otherwise.
    std::optional<CallResult> call(std::string_view method, std::vector<Value> args,
                                   const Details& details = {});
    // The line of a call the day does not need to make.
    void skipped(std::string_view method, std::string_view reason);
    void printLine(std::string_view method, std::string_view outcome, std::string_view time,
                   std::string_view details);
    // "ошибка 15: Смена уже закрыта", from GetLastError.
    std::string lastError();

    void describeDriver();
    void configure();
    bool connect();
    bool ensureRegistered();
    bool ensureShiftOpen();
    void makeReceipts();
    void moveCash();
    void printDocuments();
    void reportStatus();
    bool closeShift();
    void disconnect();

    Value device() const { return Value::text(device_); }

    Component& component_;
    std::string serial_;
    std::ostream& out_;
    std::string device_;
    DaySummary summary_;
};

} // namespace korvant::host
