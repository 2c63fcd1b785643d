#pragma once
// A session with the register open and a shift running, ready for receipts,
// and a way to write receipt packages the way the host does.

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "support/driver_session.h"

namespace korvant::testing {

inline const std::string kOpenDoc = "korvant3_fremu_open_doc";
inline const std::string kAddItem = "korvant3_fremu_add_item";
inline const std::string kAddText = "korvant3_fremu_add_text";
inline const std::string kSetAgent = "korvant3_fremu_set_agent";
inline const std::string kCloseDoc = "korvant3_fremu_close_doc";
inline const std::string kCancelDoc = "korvant3_fremu_cancel_doc";

using Texts = std::vector<std::string>;

// A receipt package: the Parameters element, the children of Positions and the
// Payments element, each written out in full.
inline std::string receiptPackage(std::string_view parameters, std::string_view positions,
                                  std::string_view payments) {
    std::string package = R"(<?xml version="1.0" encoding="UTF-8"?><CheckPackage>)";
    package.append(parameters);
    package.append("<Positions>").append(positions).append("</Positions>");
    package.append(payments);
    package.append("</CheckPackage>");
    return package;
}

// The fiscal string of the sale example: 2 × Tea at 90 after a discount of 20.
inline constexpr std::string_view kTea =
    R"(<FiscalString Name="Tea" Quantity="2" PriceWithDiscount="90" DiscountAmount="20" )"
    R"(VATRate="20" VATAmount="30" PaymentMethod="4" CalculationSubject="1"/>)";

class ReceiptTest : public ::testing::Test {
protected:
    // The drawer holds money so that returns and purchases can pay out cash.
    ReceiptTest() : session_(R"({"clock":1700000000,"cash":100000})") {}

    void SetUp() override {
        ASSERT_FALSE(session_.open().empty());
        const auto shift = session_.call(
            "OpenShift",
            {host::Value::text(session_.device()),
             host::Value::text(
                 R"(<InputParameters><Parameters CashierName="Cashier1"/></InputParameters>)"),
             host::Value::empty()});
        ASSERT_TRUE(shift.succeeded()) << session_.lastError().second;
        session_.clearJournal();
    }

    host::CallResult processCheck(const std::string& package,
                                  host::Value flag = host::Value::boolean(false)) {
        return session_.call("ProcessCheck", {host::Value::text(session_.device()), std::move(flag),
                                              host::Value::text(package), host::Value::empty()});
    }

    host::CallResult processCorrectionCheck(const std::string& package) {
        return session_.call("ProcessCorrectionCheck",
                             {host::Value::text(session_.device()), host::Value::text(package),
                              host::Value::empty()});
    }

    int32_t lastErrorCode() { return session_.lastError().first; }

    void setMarkTimeout(std::string_view seconds) {
        ASSERT_TRUE(session_
                        .call("SetParameter",
                              {host::Value::text("MarkTimeout"), host::Value::text(seconds)})
                        .succeeded());
    }

    // The data of the last final answer of a task (the close, after a receipt).
    nlohmann::json lastTaskData() {
        nlohmann::json data;
        for (const auto& entry : session_.journal()) {
            if (entry.value("function", "") == "korvant3_fremu_query" &&
                entry["answer"].is_object() && entry["answer"].contains("data")) {
                data = entry["answer"]["data"];
            }
        }
        return data;
    }

    // Receipts of one counter group ("sales", "buys_return", "sales_correction"...)
    // the register has closed.
    int64_t closedReceipts(const std::string& group) {
        const auto state = session_.emulator().state();
        return state["fiscal"]["counters"][group]["check_count"].get<int64_t>();
    }

    bool documentOpen() { return !session_.emulator().state()["document"].is_null(); }

    DriverSession session_;
};

} // namespace korvant::testing
