#pragma once
// A driver session whose component waits only briefly for a busy task: the
// component configuration is written into the session's ProgramData before a
// component of its own is created, so a register that never finishes a task
// costs a second instead of ten minutes.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/driver_session.h"

namespace korvant::testing {

// What a test has done before the call it is about.
enum class Prelude {
    Parameters,    // the serial number and address set, nothing opened
    Open,          // the device open
    OpenWithShift, // the device open and a shift running
};

class HardeningSession {
public:
    // `emulatorConfig` as for DriverSession; the component polls a busy task
    // every `pollIntervalMs`.
    explicit HardeningSession(const std::string& emulatorConfig = R"({"clock":1700000000})",
                              int pollIntervalMs = 5);
    ~HardeningSession();
    HardeningSession(const HardeningSession&) = delete;
    HardeningSession& operator=(const HardeningSession&) = delete;

    // The tuned component, attached, and its host memory manager.
    host::Component& component() { return *component_; }
    host::MemoryManager& memory() { return component_->memory(); }
    // The session around it: the emulator, its journal and faults.
    DriverSession& driver() { return driver_; }

    host::CallResult call(std::string_view method, std::vector<host::Value> args = {});
    // SetParameter Serial and Ipaddr as the emulator expects them, then Open;
    // the device identifier, empty when Open failed.
    std::string open();
    const std::string& device() const { return device_; }
    // Open, then OpenShift as Cashier1; false when either failed.
    bool openWithShift();
    // Brings the session to `prelude`; false when that failed.
    bool prepare(Prelude prelude);
    std::pair<int32_t, std::string> lastError();

    // How long the component waits for a busy task.
    static constexpr int kTaskTimeoutSeconds = 1;

private:
    DriverSession driver_;
    std::unique_ptr<host::AddIn> addin_;
    std::unique_ptr<host::Component> component_;
    std::string device_;
};

// The input parameter document naming Cashier1.
inline constexpr std::string_view kCashierInput =
    R"(<InputParameters><Parameters CashierName="Cashier1" CashierINN="7700000000"/></InputParameters>)";

// A correction receipt of one position, and a text document of one line.
inline const std::string kCorrection =
    R"(<CheckPackage><Parameters CashierName="Cashier1" OperationType="1" TaxationSystem="0">)"
    R"(<CorrectionData Type="0" Date="2021-03-01T00:00:00" Number="N-1"/></Parameters>)"
    R"(<Positions><FiscalString Name="Tea" Quantity="1" PriceWithDiscount="10" VATRate="20" )"
    R"(PaymentMethod="4"/></Positions><Payments Cash="10"/></CheckPackage>)";
inline const std::string kTextDocument =
    R"(<Document><Positions><TextString Text="line"/></Positions></Document>)";

} // namespace korvant::testing
