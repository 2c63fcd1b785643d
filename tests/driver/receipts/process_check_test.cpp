// ProcessCheck end to end: the add-in loaded by the host, the emulator as the
// register, and the exact requests the register received.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "documents/fixed_time_zone.h"
#include "driver/receipts/receipt_session.h"
#include "support/new_process.h"

namespace korvant::testing {
namespace {

using host::Value;

constexpr std::string_view kSaleParameters =
    R"(<Parameters CashierName="Cashier1" OperationType="1" TaxationSystem="0"/>)";
constexpr std::string_view kCash200 = R"(<Payments Cash="200"/>)";
constexpr std::string_view kAgentData =
    R"(<AgentData AgentOperation="Pay" AgentPhone="+7001" PaymentProcessorPhone="+7002" )"
    R"(AcquirerOperatorPhone="+7003" AcquirerOperatorName="Operator" )"
    R"(AcquirerOperatorAddress="Street 1" AcquirerOperatorINN="7700000001"/>)";

const std::string kTeaItem =
    R"({"country":0,"dept_id":0,"intcode":"123","item_attr":1,"item_disc_abs":200000,)"
    R"("name":"Tea","payment_method":4,"price":1000000,"quant":20000,"tax_id":3,)"
    R"("tax_value":300000,"unit_id":0})";

std::string parameters(int operationType, std::string_view extra = {}) {
    return R"(<Parameters CashierName="Cashier1" TaxationSystem="0" OperationType=")" +
           std::to_string(operationType) + "\" " + std::string(extra) + "/>";
}

std::string teaWith(std::string_view attributes) {
    return R"(<FiscalString Name="Tea" Quantity="2" PriceWithDiscount="90" DiscountAmount="20" )"
           R"(VATRate="20" VATAmount="30" PaymentMethod="4" CalculationSubject="1" )" +
           std::string(attributes) + "/>";
}

std::string markedTea(std::string_view code) {
    return teaWith("MarkingCode=\"" + std::string(code) + "\"");
}

std::string lineAtRate(std::string_view rate) {
    return R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="90" VATRate=")" +
           std::string(rate) + R"("/>)";
}

// One unit price after the discount, for a line whose total is `amount`.
std::string pricedTea(std::string_view quantity, std::string_view price, std::string_view amount) {
    return R"(<FiscalString Name="Tea" VATRate="none" Quantity=")" + std::string(quantity) +
           R"(" PriceWithDiscount=")" + std::string(price) + R"(" AmountWithDiscount=")" +
           std::string(amount) + R"("/>)";
}

// A sale's Parameters with the buyer as clients of interface revision 3004 and
// later write it, beside `attributes` of Parameters itself.
std::string withCustomerDetail(std::string_view detail, std::string_view attributes = {}) {
    return R"(<Parameters CashierName="Cashier1" TaxationSystem="0" OperationType="1" )" +
           std::string(attributes) + "><CustomerDetail " + std::string(detail) + "/></Parameters>";
}

class ProcessCheckTest : public ReceiptTest {
protected:
    // The add-in's log in the session's folder.
    std::string logText() {
        std::ifstream file(session_.programData().defaultLogPath());
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }
};

TEST_F(ProcessCheckTest, SaleSendsExactlyOpenItemAndClose) {
    const auto result = processCheck(receiptPackage(kSaleParameters, kTea, kCash200));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(lastErrorCode(), 0);
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCloseDoc}));
    EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
              Texts{R"({"doc_kind":0,"taxcode":1,"user_name":"Cashier1"})"});
    EXPECT_EQ(session_.requestTextsTo(kAddItem), Texts{kTeaItem});
    EXPECT_EQ(session_.requestTextsTo(kCloseDoc),
              Texts{R"({"cash":2000000,"credit":0,"otherpay":0,"postpay":0,"prepay":0})"});
    EXPECT_EQ(closedReceipts("sales"), 1);
    EXPECT_EQ(xmlAttribute(result.text(3), "Parameters", "CheckNumber"),
              std::to_string(lastTaskData()["fd_number"].get<int64_t>()));
}

// Money is converted the same way on every build, whatever unit does the floating-point
// arithmetic: these amounts lost a kopeck where it kept extended precision.
TEST_F(ProcessCheckTest, AmountsAreTheSameOnEveryBuild) {
    const std::string positions =
        // 100 after a discount of 9.99 on 10 units: 100.999 before it.
        R"(<FiscalString Name="Tea" Quantity="10" PriceWithDiscount="100" DiscountAmount="9.99" )"
        R"(VATRate="20" VATAmount="1.13" PaymentMethod="4" CalculationSubject="1"/>)"
        R"(<FiscalString Name="Nails" Quantity="0.999" PriceWithDiscount="1.299" )"
        R"(DiscountAmount="0" VATRate="20" VATAmount="0.29" PaymentMethod="4" )"
        R"(CalculationSubject="1"/>)";
    const auto result =
        processCheck(receiptPackage(kSaleParameters, positions, R"(<Payments Cash="1011.29"/>)"));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    const auto items = session_.requestsTo(kAddItem);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]["price"], 1010000);
    EXPECT_EQ(items[0]["item_disc_abs"], 99900);
    EXPECT_EQ(items[0]["tax_value"], 11300);
    EXPECT_EQ(items[1]["price"], 13000);
    EXPECT_EQ(items[1]["quant"], 9990);
    EXPECT_EQ(items[1]["tax_value"], 2900);
    EXPECT_EQ(session_.requestsTo(kCloseDoc).at(0)["cash"], 10112900);
}

// The receipt is made; only the host could not take the output text.
TEST_F(ProcessCheckTest, OutputTheHostCannotTakeFailsWithoutACode) {
    session_.component().memory().failAllAllocations(true);
    const auto result = processCheck(receiptPackage(kSaleParameters, kTea, kCash200));
    session_.component().memory().failAllAllocations(false);

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastErrorCode(), 0);
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCloseDoc}));
    EXPECT_EQ(closedReceipts("sales"), 1);
}

// The register's numbers are 32-bit fields: a fiscal sign above 2^31 reads the
// same whether the register writes it unsigned or signed.
TEST_F(ProcessCheckTest, LargeDocumentNumberAndFiscalSignAreWrittenUnsigned) {
    FixedTimeZone zone("MSK-3");
    for (const char* sign : {"3000000000", "-1294967296"}) {
        SCOPED_TRACE(sign);
        session_.inject(
            R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","perform":true,"answer":)"
            R"("{\"response\":0,\"extended\":0,\"data\":{\"shift_id\":12,\"fd_number\":70000,)"
            R"(\"fd_sign\":)" +
            std::string(sign) + R"(,\"fd_date\":1700000100}}"})");

        const auto result = processCheck(receiptPackage(kSaleParameters, kTea, kCash200));

        ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
        EXPECT_EQ(result.text(3),
                  R"(<?xml version="1.0" encoding="UTF-8"?><DocumentOutputParameters><Parameters )"
                  R"(ShiftNumber="12" CheckNumber="70000" FiscalSign="3000000000" )"
                  R"(DateTime="2023-11-15T01:15:00"/></DocumentOutputParameters>)");
    }
}

TEST_F(ProcessCheckTest, SecondParameterChangesNothing) {
    ASSERT_TRUE(processCheck(receiptPackage(kSaleParameters, kTea, kCash200)).succeeded());
    const auto expected = session_.journal();
    auto requestsOf = [](const nlohmann::json& journal) {
        Texts requests;
        for (const auto& entry : journal) {
            if (entry["request_text"].is_string()) {
                requests.push_back(entry["function"].get<std::string>() + " " +
                                   entry["request_text"].get<std::string>());
            }
        }
        return requests;
    };
    for (Value flag :
         {Value::boolean(true), Value::i4(7), Value::text("anything"), Value::empty()}) {
        session_.clearJournal();
        EXPECT_TRUE(processCheck(receiptPackage(kSaleParameters, kTea, kCash200), flag).succeeded())
            << flag;
        EXPECT_EQ(requestsOf(session_.journal()), requestsOf(expected)) << flag;
    }
}

TEST_F(ProcessCheckTest, RefusedBeforeAnythingIsSent) {
    struct Case {
        const char* what;
        std::string package;
    };
    const std::vector<Case> cases{
        {"operation type 0", receiptPackage(parameters(0), kTea, kCash200)},
        {"operation type 5", receiptPackage(parameters(5), kTea, kCash200)},
        {"operation type -1", receiptPackage(parameters(-1), kTea, kCash200)},
        {"no Parameters", receiptPackage("", kTea, kCash200)},
        {"not XML", "<CheckPackage><Parameters OperationType=\"1\""},
        {"empty text", ""},
        {"quantity 0",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="0" PriceWithDiscount="90" )"
                        R"(DiscountAmount="20" VATRate="20"/>)",
                        kCash200)},
        {"quantity 0 in the last of three",
         receiptPackage(kSaleParameters,
                        std::string(kTea) + std::string(kTea) +
                            R"(<FiscalString Name="Tea" Quantity="0" PriceWithDiscount="90"/>)",
                        kCash200)},
        {"quantity nan",
         receiptPackage(kSaleParameters, R"(<FiscalString Name="Tea" Quantity="nan"/>)", kCash200)},
        {"quantity too small to divide by",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1e-300" DiscountAmount="1e10"/>)",
                        kCash200)},
        {"price infinite",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="1e400"/>)",
                        kCash200)},
        {"VAT amount nan",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" VATAmount="nan"/>)", kCash200)},
        {"discount minus infinity",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" DiscountAmount="-inf"/>)",
                        kCash200)},
        {"cash beyond 64 bits",
         receiptPackage(kSaleParameters, kTea, R"(<Payments Cash="1e300"/>)")},
        {"barter nan",
         receiptPackage(kSaleParameters, kTea, R"(<Payments Cash="200" Barter="nan"/>)")},
        // Rates the register has no slot for are not booked at another rate.
        {"VAT rate 5 in the second line",
         receiptPackage(kSaleParameters, std::string(kTea) + lineAtRate("5"), kCash200)},
        {"VAT rate 7/107", receiptPackage(kSaleParameters, lineAtRate("7/107"), kCash200)},
        {"VAT rate 12.5", receiptPackage(kSaleParameters, lineAtRate("12.5"), kCash200)},
        // A line total beyond what the register can hold.
        {"line total beyond 64 bits",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1000000" PriceWithDiscount="1e9" )"
                        R"(AmountWithDiscount="1e9"/>)",
                        kCash200)},
        // A line total beyond a rounding gap from price × quantity contradicts the line.
        {"2 × 10 for 1000",
         receiptPackage(kSaleParameters, pricedTea("2", "10", "1000"), kCash200)},
        {"2 × 100 for 1", receiptPackage(kSaleParameters, pricedTea("2", "100", "1"), kCash200)},
        {"3 × 33.32 for 100.00: four kopecks on three units",
         receiptPackage(kSaleParameters, pricedTea("3", "33.32", "100"), kCash200)},
        {"0.5 kg at 100 for 50.02: two kopecks where one is allowed",
         receiptPackage(kSaleParameters, pricedTea("0.5", "100", "50.02"), kCash200)},
        {"free, though priced",
         receiptPackage(kSaleParameters, pricedTea("2", "10", "0"), kCash200)},
        // Buyer's details the register cannot hold.
        {"date of birth not dd.MM.yyyy",
         receiptPackage(withCustomerDetail(R"(DateOfBirth="1980-02-01")"), kTea, kCash200)},
        {"date of birth on no day",
         receiptPackage(withCustomerDetail(R"(DateOfBirth="30.02.1980")"), kTea, kCash200)},
        {"date of birth before 32-bit seconds",
         receiptPackage(withCustomerDetail(R"(DateOfBirth="13.12.1901")"), kTea, kCash200)},
        {"citizenship not a number",
         receiptPackage(withCustomerDetail(R"(Citizenship="RU")"), kTea, kCash200)},
        {"citizenship beyond two bytes",
         receiptPackage(withCustomerDetail(R"(Citizenship="65536")"), kTea, kCash200)},
        {"document type not a number",
         receiptPackage(withCustomerDetail(R"(DocumentTypeCode="паспорт")"), kTea, kCash200)},
        {"VAT of a line beyond 64 bits",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1000000" PriceWithDiscount="1e9" )"
                        R"(VATRate="20"/>)",
                        kCash200)},
        // Values with no meaning for the register are refused, never wrapped into another.
        {"taxation system 32 (was sent as the general system)",
         receiptPackage(R"(<Parameters CashierName="C" OperationType="1" TaxationSystem="32"/>)",
                        kTea, kCash200)},
        {"taxation system 6",
         receiptPackage(R"(<Parameters CashierName="C" OperationType="1" TaxationSystem="6"/>)",
                        kTea, kCash200)},
        {"taxation system -1",
         receiptPackage(R"(<Parameters CashierName="C" OperationType="1" TaxationSystem="-1"/>)",
                        kTea, kCash200)},
        {"negative quantity",
         receiptPackage(kSaleParameters, teaWith("Quantity=\"-2\""), kCash200)},
        {"negative price (was sent as -9.99)",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="-10" )"
                        R"(VATRate="20" PaymentMethod="4" CalculationSubject="1"/>)",
                        kCash200)},
        {"negative line total",
         receiptPackage(kSaleParameters, teaWith(R"(AmountWithDiscount="-160")"), kCash200)},
        {"negative payment", receiptPackage(kSaleParameters, kTea,
                                            R"(<Payments Cash="300" ElectronicPayment="-100"/>)")},
        {"payment method 99",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="200" )"
                        R"(VATRate="20" PaymentMethod="99" CalculationSubject="1"/>)",
                        kCash200)},
        {"payment method 8",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="200" )"
                        R"(VATRate="20" PaymentMethod="8" CalculationSubject="1"/>)",
                        kCash200)},
        {"calculation subject 28",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="200" )"
                        R"(VATRate="20" PaymentMethod="4" CalculationSubject="28"/>)",
                        kCash200)},
        {"agent type -5 with agent data (was sent as -4)",
         receiptPackage(R"(<Parameters CashierName="C" OperationType="1" TaxationSystem="0" )"
                        R"(AgentType="-5">)" +
                            std::string(kAgentData) + "</Parameters>",
                        kTea, kCash200)},
        {"position agent type 7 with vendor data",
         receiptPackage(kSaleParameters,
                        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="200" )"
                        R"(VATRate="20" PaymentMethod="4" CalculationAgent="7">)"
                        R"(<VendorData VendorName="V"/></FiscalString>)",
                        kCash200)},
    };
    for (const auto& c : cases) {
        const auto result = processCheck(c.package);
        EXPECT_FALSE(result.succeeded()) << c.what;
        EXPECT_EQ(lastErrorCode(), 9) << c.what;
        EXPECT_EQ(session_.calls(), Texts{}) << c.what;
        EXPECT_TRUE(result.args[3].type == host::VType::Empty) << c.what;
    }
}

// What keeps its meaning goes as before: 0 names no payment method or subject,
// the marked goods' subjects are codes, an agent type goes only with agent or
// vendor data, and a negative discount (a client's mark-up) is sent for the
// register to judge.
TEST_F(ProcessCheckTest, ValuesWithMeaningGoAsTheyAre) {
    const auto result = processCheck(
        receiptPackage(R"(<Parameters CashierName="C" OperationType="1" TaxationSystem="5"/>)",
                       R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="110" )"
                       R"(VATRate="20" CalculationSubject="33" CalculationAgent="-9"/>)",
                       R"(<Payments Cash="110"/>)"));
    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.requestsTo(kOpenDoc).at(0)["taxcode"], 32);
    const auto item = session_.requestsTo(kAddItem).at(0);
    EXPECT_EQ(item["payment_method"], 0);
    EXPECT_EQ(item["item_attr"], 33);

    session_.clearJournal();
    processCheck(receiptPackage(kSaleParameters,
                                R"(<FiscalString Name="Tea" Quantity="2" PriceWithDiscount="110" )"
                                R"(DiscountAmount="-20" VATRate="20" PaymentMethod="4"/>)",
                                R"(<Payments Cash="220"/>)"));
    ASSERT_EQ(session_.requestsTo(kAddItem).size(), 1u);
    EXPECT_EQ(session_.requestsTo(kAddItem)[0]["price"], 1000000);
    EXPECT_EQ(session_.requestsTo(kAddItem)[0]["item_disc_abs"], -200000);
}

TEST_F(ProcessCheckTest, OperationTypesChooseDocumentKindAndMarking) {
    setMarkTimeout("7");
    struct Case {
        int operationType;
        int docKind;
        const char* counter;
        std::string item;
    };
    const std::string marked =
        R"({"country":0,"dept_id":0,"intcode":"123","item_attr":1,"item_attr_ext":1,)"
        R"("item_disc_abs":200000,"mark_stamp":"012345","mark_status":STATUS,"name":"Tea",)"
        R"("payment_method":4,"price":1000000,"quant":20000,"tax_id":3,"tax_value":300000,)"
        R"("timeout":7000,"unit_id":0})";
    auto withStatus = [&](const char* status) {
        std::string item = marked;
        return item.replace(item.find("STATUS"), 6, status);
    };
    const std::vector<Case> cases{
        {1, 0, "sales", withStatus("1")},
        {2, 1, "sales_return", withStatus("3")},
        {3, 5, "buys", kTeaItem},
        {4, 6, "buys_return", kTeaItem},
    };
    for (const auto& c : cases) {
        session_.clearJournal();
        const auto result = processCheck(receiptPackage(
            parameters(c.operationType), teaWith(R"(MarkingCode="MDEyMzQ1")"), kCash200));
        ASSERT_TRUE(result.succeeded()) << c.operationType << ": " << session_.lastError().second;
        EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
                  Texts{R"({"doc_kind":)" + std::to_string(c.docKind) +
                        R"(,"taxcode":1,"user_name":"Cashier1"})"});
        EXPECT_EQ(session_.requestTextsTo(kAddItem), Texts{c.item}) << c.operationType;
        EXPECT_EQ(closedReceipts(c.counter), 1) << c.operationType;
    }
}

// Codes as clients write them: wrapped into lines, URL-safe, without fill.
TEST_F(ProcessCheckTest, MarkingCodesDecodeAsClientsWriteThem) {
    for (const auto& [code, bytes] :
         std::vector<std::pair<const char*, const char*>>{{"MDEyMzQ1", "012345"},
                                                          {"MDEy&#13;&#10;MzQ1", "012345"},
                                                          {"MDEy\nMzQ1", "012345"},
                                                          {" MDEyMzQ1 ", "012345"},
                                                          {"Pz4_", "?>?"},
                                                          {"Pj4-", ">>>"},
                                                          {"Pz4-Pw", "?>>?"},
                                                          {"Pz8", "??"}}) {
        session_.clearJournal();
        ASSERT_TRUE(
            processCheck(receiptPackage(kSaleParameters, markedTea(code), kCash200)).succeeded())
            << code;
        EXPECT_EQ(session_.requestsTo(kAddItem).at(0)["mark_stamp"], bytes) << code;
    }
}

// A marked item is never sold without its code while the call says it was.
TEST_F(ProcessCheckTest, MarkingCodesThatDoNotDecodeRefuseTheReceipt) {
    for (int operationType : {1, 2}) {
        for (const char* code : {"AB=C", "MDEy*zQ1", "M", "(01)04600439931256(21)5Mk7sPzQ9"}) {
            session_.clearJournal();
            const auto result =
                processCheck(receiptPackage(parameters(operationType), markedTea(code), kCash200));
            EXPECT_FALSE(result.succeeded()) << operationType << " " << code;
            EXPECT_EQ(lastErrorCode(), 9) << operationType << " " << code;
            EXPECT_EQ(session_.calls(), Texts{}) << operationType << " " << code;
        }
    }
    // Purchases send no marking data, so their codes are not judged; an empty
    // code is no code.
    for (const auto& [operationType, code] :
         std::vector<std::pair<int, const char*>>{{3, "AB=C"}, {1, ""}, {1, " "}}) {
        session_.clearJournal();
        EXPECT_TRUE(
            processCheck(receiptPackage(parameters(operationType), markedTea(code), kCash200))
                .succeeded())
            << operationType << " '" << code << "'";
        EXPECT_EQ(session_.requestTextsTo(kAddItem), Texts{kTeaItem}) << code;
    }
}

// The register's line total is price × quantity rounded to the kopeck, minus
// the discount; the client's AmountWithDiscount is what its payments add up.
TEST_F(ProcessCheckTest, LineTotalsAreTheClientsAmountWithDiscount) {
    struct Case {
        const char* what;
        const char* line;
        int64_t price;
        int64_t discount;
        int64_t total;
    };
    const std::vector<Case> cases{
        {"0.61 kg at 172.51: 105.2311 rounds to the client's 105.23",
         R"(Quantity="0.61" PriceWithDiscount="172.51" AmountWithDiscount="105.23")", 1725100, 0,
         1052300},
        {"3 × 33.33 for 100.00: the price rises a kopeck, a discount takes back 0.02",
         R"(Quantity="3" PriceWithDiscount="33.33" AmountWithDiscount="100")", 333400, 200,
         1000000},
        {"a discount given: the unit price before it, then the gap closed",
         R"(Quantity="3" PriceWithDiscount="63.33" DiscountAmount="20" AmountWithDiscount="190")",
         699900, 199700, 1900000},
        {"a discount that already closes the gap is kept",
         R"(Quantity="2" PriceWithDiscount="90" DiscountAmount="20" AmountWithDiscount="180")",
         1000000, 200000, 1800000},
        {"a total a rounding gap below the price: a discount closes it",
         R"(Quantity="3" PriceWithDiscount="33.34" AmountWithDiscount="100")", 333400, 200,
         1000000},
        {"7 × 14.29 for 100.00: three kopecks on seven units",
         R"(Quantity="7" PriceWithDiscount="14.29" AmountWithDiscount="100")", 142900, 300,
         1000000},
        {"1.5 × 66.67 for 100.00: 100.005 rounds up, a kopeck back",
         R"(Quantity="1.5" PriceWithDiscount="66.67" AmountWithDiscount="100")", 666700, 100,
         1000000},
        {"3 × 33.32 for 99.99: the whole kopeck per unit",
         R"(Quantity="3" PriceWithDiscount="33.32" AmountWithDiscount="99.99")", 333300, 0, 999900},
        {"a free line: the whole price discounted",
         R"(Quantity="2" PriceWithDiscount="0" DiscountAmount="20" AmountWithDiscount="0")", 100000,
         200000, 0},
        {"no AmountWithDiscount: the rule as before",
         R"(Quantity="3" PriceWithDiscount="33.33" AmountWithDiscount="")", 333300, 0, 999900},
    };
    for (const auto& c : cases) {
        session_.clearJournal();
        const auto before = session_.emulator().state()["fiscal"]["counters"]["sales"];
        const auto result = processCheck(receiptPackage(
            kSaleParameters,
            std::string(R"(<FiscalString Name="Tea" VATRate="none" )") + c.line + "/>",
            R"(<Payments Cash="0" ElectronicPayment=")" + std::to_string(c.total / 10000) + "." +
                std::to_string(c.total % 10000 / 100 + 100).substr(1) + R"("/>)"));
        ASSERT_TRUE(result.succeeded()) << c.what << ": " << session_.lastError().second;
        const auto item = session_.requestsTo(kAddItem).at(0);
        EXPECT_EQ(item["price"], c.price) << c.what;
        EXPECT_EQ(item["item_disc_abs"], c.discount) << c.what;
        const auto after = session_.emulator().state()["fiscal"]["counters"]["sales"];
        EXPECT_EQ(after["check_total"].get<int64_t>() - before["check_total"].get<int64_t>(),
                  c.total)
            << c.what << ": the register's total, paid by card to the kopeck";
    }
}

// A VAT sum the client left out is the VAT the line's total includes.
TEST_F(ProcessCheckTest, VatLeftOutIsComputedFromTheLineTotal) {
    struct Case {
        const char* attributes;
        int32_t taxId;
        int64_t vat;
    };
    const std::vector<Case> cases{
        {R"(VATRate="20" VATAmount="")", 3, 166700}, // 100.00 × 20/120
        {R"(VATRate="20")", 3, 166700},              // absent as well as empty
        {R"(VATRate="20/120" VATAmount="")", 5, 166700},
        {R"(VATRate="10" VATAmount="")", 2, 90900}, // 9.0909…
        {R"(VATRate="10/110" VATAmount="")", 4, 90900},
        {R"(VATRate="22" VATAmount="")", 3, 180300}, // 18.0327…: the slot of 20
        {R"(VATRate="22/122" VATAmount="")", 5, 180300},
        {R"(VATRate="18/118" VATAmount="")", 5, 152500}, // 15.2542…
        {R"(VATRate="0" VATAmount="")", 6, 0},
        {R"(VATRate="none" VATAmount="")", 1, 0},
        {R"(VATRate="20" VATAmount="16.66")", 3, 166600}, // the client's own sum wins
        {R"(VATRate="20" VATAmount="0")", 3, 0},
        {R"(VATRate="" VATAmount="")", 3, 0}, // no rate: the fall-back code, no sum to compute
        {R"(VATRate="twenty")", 3, 0},
    };
    for (const auto& c : cases) {
        session_.clearJournal();
        ASSERT_TRUE(processCheck(receiptPackage(kSaleParameters,
                                                std::string(R"(<FiscalString Name="Tea" )") +
                                                    R"(Quantity="3" PriceWithDiscount="33.33" )"
                                                    R"(AmountWithDiscount="100" )" +
                                                    c.attributes + "/>",
                                                R"(<Payments Cash="100"/>)"))
                        .succeeded())
            << c.attributes << ": " << session_.lastError().second;
        const auto item = session_.requestsTo(kAddItem).at(0);
        EXPECT_EQ(item["tax_id"], c.taxId) << c.attributes;
        EXPECT_EQ(item["tax_value"], c.vat) << c.attributes;
    }
}

TEST_F(ProcessCheckTest, CustomerContactIsThePhoneElseTheEmail) {
    struct Case {
        const char* customer;
        const char* members;
    };
    const std::vector<Case> cases{
        {R"(CustomerPhone="+79161234567" CustomerEmail="a@b.ru")",
         R"("client_contact":"+79161234567",)"},
        {R"(CustomerEmail="a@b.ru")", R"("client_contact":"a@b.ru",)"},
        {R"(CustomerPhone="" CustomerEmail="")", ""},
        {R"(CustomerInfo="Buyer" CustomerINN="7701234567" CustomerPhone="+7916")",
         R"("client_contact":"+7916","client_inn":"7701234567","client_name":"Buyer",)"},
    };
    for (const auto& c : cases) {
        session_.clearJournal();
        ASSERT_TRUE(
            processCheck(receiptPackage(parameters(1, c.customer), kTea, kCash200)).succeeded())
            << c.customer;
        EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
                  Texts{"{" + std::string(c.members) +
                        R"("doc_kind":0,"taxcode":1,"user_name":"Cashier1"})"})
            << c.customer;
    }
}

// Each member only when the client sent it, so a package without them opens as before.
TEST_F(ProcessCheckTest, CustomerDetailGoesInTheOpeningRequest) {
    struct Case {
        const char* what;
        const char* detail;
        const char* attributes;
        const char* members;
    };
    const std::vector<Case> cases{
        {"an empty element", "", "", ""},
        {"an organisation", R"(Info="ООО «Вектор»" INN="7705123452")", "",
         R"("client_inn":"7705123452","client_name":"ООО «Вектор»",)"},
        {"the attributes beside it win", R"(Info="ООО «Вектор»" INN="7705123452")",
         R"(CustomerInfo="ИП Петров" CustomerINN="500100732259")",
         R"("client_inn":"500100732259","client_name":"ИП Петров",)"},
        {"empty attributes beside it do not", R"(Info="ООО «Вектор»" INN="7705123452")",
         R"(CustomerInfo="" CustomerINN="" CustomerEmail="" CustomerPhone="")",
         R"("client_inn":"7705123452","client_name":"ООО «Вектор»",)"},
        {"address", R"(Address="г. Москва, ул. Садовая, д. 5")", "",
         R"("client_address":"г. Москва, ул. Садовая, д. 5",)"},
        {"citizenship", R"(Citizenship="643")", "", R"("citizenship":643,)"},
        {"citizenship with its leading zero", R"(Citizenship="051")", "", R"("citizenship":51,)"},
        {"document type", R"(DocumentTypeCode="21")", "", R"("client_ident_type":21,)"},
        {"document data", R"(DocumentData="4510 123456")", "",
         R"("client_ident_data":"4510 123456",)"},
        {"date of birth: 00:00 UTC of the day", R"(DateOfBirth="01.02.1980")", "",
         R"("birth_date":318211200,)"},
        {"born before 1970", R"(DateOfBirth="15.05.1960")", "", R"("birth_date":-303955200,)"},
        {"a buyer identified by a passport",
         R"(Info="Иванов Иван Иванович" INN="" Address="г. Тверь" Citizenship="643" )"
         R"(DocumentTypeCode="21" DocumentData="4510 123456" DateOfBirth="01.02.1980")",
         R"(CustomerEmail="" CustomerPhone="+79161234567")",
         R"("birth_date":318211200,"citizenship":643,"client_address":"г. Тверь",)"
         R"("client_contact":"+79161234567","client_ident_data":"4510 123456",)"
         R"("client_ident_type":21,"client_name":"Иванов Иван Иванович",)"},
        {"empty attributes are not sent",
         R"(Info="" INN="" Address="" Citizenship="" DocumentTypeCode="" DocumentData="" )"
         R"(DateOfBirth="")",
         "", ""},
    };
    FixedTimeZone zone("MSK-3"); // the date is the day's, whatever the till's zone
    for (const auto& c : cases) {
        session_.clearJournal();
        ASSERT_TRUE(
            processCheck(receiptPackage(withCustomerDetail(c.detail, c.attributes), kTea, kCash200))
                .succeeded())
            << c.what << ": " << session_.lastError().second;
        EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
                  Texts{"{" + std::string(c.members) +
                        R"("doc_kind":0,"taxcode":1,"user_name":"Cashier1"})"})
            << c.what;
    }
}

TEST_F(ProcessCheckTest, TextLinesAndBarcodesGoAsTexts) {
    const auto result = processCheck(receiptPackage(
        kSaleParameters,
        R"(<TextString Text="Thank you"/><Barcode Type="EAN13" Value="4600000000000"/>)"
        R"(<Note Text="skipped"/><Barcode Type="PDF417" Value="skipped"/>)"
        R"(<Barcode Type="CODE39" ValueBase64="QUJDMTIz"/><Barcode Type="QR" Value="a&amp;b"/>)",
        kCash200));

    // A receipt without an item is the register's to refuse; the document is then cancelled.
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastErrorCode(), 14);
    EXPECT_EQ(session_.calls(),
              (Texts{kOpenDoc, kAddText, kAddText, kAddText, kAddText, kCloseDoc, kCancelDoc}));
    EXPECT_EQ(
        session_.requestTextsTo(kAddText),
        (Texts{R"({"text":"Thank you","text_type":1})", R"({"text":"4600000000000","text_type":3})",
               R"({"text":"ABC123","text_type":4})", R"({"text":"a&b","text_type":5})"}));
    EXPECT_FALSE(documentOpen());
}

TEST_F(ProcessCheckTest, ReceiptWithoutPositionsOpensThenCloses) {
    const auto result = processCheck(receiptPackage(kSaleParameters, "", kCash200));

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kCloseDoc, kCancelDoc}));
    EXPECT_FALSE(documentOpen());
}

TEST_F(ProcessCheckTest, ReceiptAgentDataFollowsEveryFiscalString) {
    const std::string parametersWithAgent =
        R"(<Parameters CashierName="Cashier1" OperationType="1" AgentType="1">)" +
        std::string(kAgentData) + "</Parameters>";
    const auto result = processCheck(receiptPackage(
        parametersWithAgent, std::string(kTea) + R"(<TextString Text="line"/>)" + std::string(kTea),
        R"(<Payments Cash="400"/>)"));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.calls(),
              (Texts{kOpenDoc, kAddItem, kSetAgent, kAddText, kAddItem, kSetAgent, kCloseDoc}));
    const std::string agent = R"({"agent":2,"payment_op_action":"Pay","payment_op_phone":"+7001",)"
                              R"("transfer_op_addr":"Street 1","transfer_op_inn":"7700000001",)"
                              R"("transfer_op_name":"Operator","transfer_op_phone":"+7003"})";
    EXPECT_EQ(session_.requestTextsTo(kSetAgent), (Texts{agent, agent}));
}

TEST_F(ProcessCheckTest, PositionAgentDataReplacesTheReceiptsWithoutMerging) {
    const std::string parametersWithAgent =
        R"(<Parameters CashierName="Cashier1" OperationType="1" AgentType="1">)" +
        std::string(kAgentData) + "</Parameters>";
    const std::string vendorPosition =
        R"(<FiscalString Name="Delivery" Quantity="1" PriceWithDiscount="10" VATRate="20" )"
        R"(CalculationAgent="5"><VendorData VendorName="Courier" VendorINN="7702000000" )"
        R"(VendorPhone="+7009"/></FiscalString>)";
    const auto result = processCheck(receiptPackage(
        parametersWithAgent, vendorPosition + std::string(kTea), R"(<Payments Cash="200"/>)"));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    const Texts agents = session_.requestTextsTo(kSetAgent);
    ASSERT_EQ(agents.size(), 2u);
    EXPECT_EQ(
        agents[0],
        R"({"agent":6,"provider_inn":"7702000000","provider_name":"Courier","provider_phone":"+7009"})");
    EXPECT_EQ(agents[1].substr(0, 11), R"({"agent":2,)");
}

TEST_F(ProcessCheckTest, RefusalOfTheThirdOfFivePositionsCancels) {
    session_.inject(
        R"({"function":"korvant3_fremu_add_item","call":3,"response":3,"extended":113,"at":"end"})");
    std::string five;
    for (int i = 0; i < 5; ++i) {
        five += kTea;
    }
    const auto result =
        processCheck(receiptPackage(kSaleParameters, five, R"(<Payments Cash="900"/>)"));

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastErrorCode(), 14);
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kAddItem, kAddItem, kCancelDoc}));
    EXPECT_TRUE(result.args[3].type == host::VType::Empty);
    EXPECT_FALSE(documentOpen());
}

TEST_F(ProcessCheckTest, RefusedOpenCancelsNothing) {
    session_.inject(
        R"({"function":"korvant3_fremu_open_doc","call":1,"response":3,"extended":106,"at":"end"})");

    EXPECT_FALSE(processCheck(receiptPackage(kSaleParameters, kTea, kCash200)).succeeded());
    EXPECT_EQ(lastErrorCode(), 9);
    EXPECT_EQ(session_.calls(), Texts{kOpenDoc});
}

TEST_F(ProcessCheckTest, RefusedCloseCancels) {
    const auto result =
        processCheck(receiptPackage(kSaleParameters, kTea, R"(<Payments Cash="100"/>)"));

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastErrorCode(), 13); // the payments are below the total
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCloseDoc, kCancelDoc}));
    EXPECT_EQ(closedReceipts("sales"), 0);
    EXPECT_FALSE(documentOpen());
}

// A close whose answer says the receipt was made, with fields that cannot be
// read, or that is no answer at all: whether the receipt exists is the
// register's to say. Asked, it has made it, so the host is told so with the
// register's own numbers, and nothing is cancelled.
TEST_F(ProcessCheckTest, AReceiptMadeWithoutAReadableAnswerIsReportedMade) {
    for (const char* answer :
         {R"({\"response\":0,\"extended\":0,\"data\":{\"fd_number\":\"seventy\"}})", "not json"}) {
        SCOPED_TRACE(answer);
        session_.clearJournal();
        session_.inject(
            R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","perform":true,"answer":")" +
            std::string(answer) + "\"}");

        const auto result = processCheck(receiptPackage(kSaleParameters, kTea, kCash200));

        EXPECT_TRUE(result.succeeded());
        EXPECT_EQ(lastErrorCode(), 0);
        EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCloseDoc, "korvant3_get_state",
                                           "korvant3_get_fdstate", "korvant3_get_fdtag"}));
        const auto fiscal = session_.emulator().state()["fiscal"];
        EXPECT_EQ(xmlAttribute(result.text(3), "Parameters", "CheckNumber"),
                  std::to_string(fiscal["fd_last_doc"].get<int64_t>()));
        EXPECT_EQ(xmlAttribute(result.text(3), "Parameters", "FiscalSign"),
                  std::to_string(fiscal["fd_sign"].get<int64_t>()));
        EXPECT_FALSE(documentOpen());
    }
    EXPECT_EQ(closedReceipts("sales"), 2);
}

// The same answers when the register did not close the receipt: it is still
// open, so it is cancelled and the host told the receipt failed.
TEST_F(ProcessCheckTest, AReceiptNotMadeWithoutAReadableAnswerIsCancelled) {
    session_.inject(
        R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","perform":false,"answer":"not json"})");

    const auto result = processCheck(receiptPackage(kSaleParameters, kTea, kCash200));

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastErrorCode(), 1);
    EXPECT_EQ(session_.calls(),
              (Texts{kOpenDoc, kAddItem, kCloseDoc, "korvant3_get_state", kCancelDoc}));
    EXPECT_EQ(closedReceipts("sales"), 0);
    EXPECT_FALSE(documentOpen());
}

TEST_F(ProcessCheckTest, MalformedAnswerToAnItemCancels) {
    session_.inject(
        R"({"function":"korvant3_fremu_add_item","call":1,"at":"end","answer":"[1,2"})");

    EXPECT_FALSE(processCheck(receiptPackage(kSaleParameters, kTea, kCash200)).succeeded());
    EXPECT_EQ(lastErrorCode(), 1);
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCancelDoc}));
    EXPECT_FALSE(documentOpen());
}

// The package goes to the log as the host sent it, before it is judged; a
// correction receipt writes nothing. (The log is in the folder of the process's first
// component: this session's, in a new process.)
TEST_F(ProcessCheckTest, PackageTextIsLogged) {
    inNewProcess([&] {
        const std::string package = receiptPackage(parameters(7), kTea, kCash200);
        processCheck(package);
        processCorrectionCheck(receiptPackage(parameters(1), kTea, kCash200));

        std::istringstream log(logText());
        Texts receiptLines;
        std::string line;
        while (std::getline(log, line)) {
            if (line.find("AddInKorvant::processC") != std::string::npos) {
                receiptLines.push_back(
                    line.substr(line.find("] ", line.find("[AddInKorvant")) + 2));
            }
        }
        EXPECT_EQ(receiptLines, Texts{package});
    });
}

// Clients write every barcoded product's own code in GoodCodeData, under the kind
// of identifier the product has; only the marking kinds carry a marking code.
class GoodCodeDataTest : public ProcessCheckTest {
protected:
    void SetUp() override {
        tape_ = session_.programData().root() / "tape.txt";
        ASSERT_EQ(session_.emulator().reset(nlohmann::json{
                      {"clock", 1700000000}, {"cash", 100000}, {"tape", tape_.string()}}
                                                .dump()
                                                .c_str()),
                  0);
        ProcessCheckTest::SetUp();
    }

    std::string tape() {
        std::ifstream file(tape_);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path tape_;
};

TEST_F(GoodCodeDataTest, OnlyMarkingKindsMarkALine) {
    setMarkTimeout("7");
    const std::vector<std::string> identifiers{
        "NotIdentified", "EAN8",    "EAN13", "ITF14", "GS1.0", "GS1.M", "KMK", "MI",
        "EGAIS20",       "EGAIS30", "F1",    "F2",    "F3",    "F4",    "F5",  "F6"};
    const auto isMarkingKind = [](const std::string& id) {
        return id == "GS1.M" || id == "KMK" || id == "MI";
    };
    // Line names: the identifier, and "+" where a MarkingCode ("666") stands beside it.
    std::string lines;
    Texts expectedItems;
    std::vector<std::pair<std::string, bool>> names;
    for (const auto& id : identifiers) {
        for (const bool withMarkingCode : {false, true}) {
            const std::string name = id + (withMarkingCode ? "+" : "");
            lines += R"(<FiscalString Name=")" + name +
                     R"(" Quantity="1" PriceWithDiscount="10" AmountWithDiscount="10" )"
                     R"(VATRate="none" PaymentMethod="4" CalculationSubject="1"><GoodCodeData )" +
                     id + R"(="MDEyMzQ1")" + (withMarkingCode ? R"( MarkingCode="NjY2")" : "") +
                     "/></FiscalString>";
            const bool marked = withMarkingCode || isMarkingKind(id);
            const std::string stamp = withMarkingCode ? "666" : "012345";
            expectedItems.push_back(
                R"({"country":0,"dept_id":0,"intcode":"123","item_attr":1,)" +
                std::string(marked ? R"("item_attr_ext":1,)" : "") + R"("item_disc_abs":0,)" +
                (marked ? R"("mark_stamp":")" + stamp + R"(","mark_status":1,)" : "") +
                R"("name":")" + name +
                R"(","payment_method":4,"price":100000,"quant":10000,)"
                R"("tax_id":1,"tax_value":0,)" +
                (marked ? R"("timeout":7000,)" : "") + R"("unit_id":0})");
            names.emplace_back(name, marked);
        }
    }
    const auto result =
        processCheck(receiptPackage(parameters(1), lines, R"(<Payments Cash="320"/>)"));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.requestTextsTo(kAddItem), expectedItems);
    const std::string printed = tape();
    for (size_t i = 0; i < names.size(); ++i) {
        const auto& [name, marked] = names[i];
        const std::string line =
            std::to_string(i + 1) + ". " + (marked ? "[М] " : "") + name + "\n";
        EXPECT_NE(printed.find(line), std::string::npos) << line << printed;
    }
}

// A refusal's code tells the host that it failed; the register's message, which
// tells why (a state it could not store on a full disk), goes to the log.
TEST_F(ProcessCheckTest, TheRegistersReasonForARefusalIsLogged) {
    session_.inject(R"({"function":"korvant3_fremu_close_doc","call":1,"at":"end","answer":)"
                    R"("{\"response\":3,\"extended\":115,\"data\":{\"message\":\"cannot write )"
                    R"(state.json.tmp: No space left on device\"}}"})");
    inNewProcess([&] {
        EXPECT_FALSE(processCheck(receiptPackage(kSaleParameters, kTea, kCash200)).succeeded());
        EXPECT_EQ(lastErrorCode(), 6);
        EXPECT_NE(
            logText().find("code 6, answer: {\"response\":3,\"extended\":115,\"data\":{"
                           "\"message\":\"cannot write state.json.tmp: No space left on device"),
            std::string::npos);
    });
}

// A receipt as 1C sends it: Cyrillic texts, several VAT rates, a marking code in
// GoodCodeData, receipt agent and vendor data with one position of its own,
// text lines, barcodes and mixed payments.
TEST_F(ProcessCheckTest, CyrillicReceiptAsTheHostSendsIt) {
    setMarkTimeout("10");
    const std::string package = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Иванова А.А." CashierInn="771234567890" OperationType="1"
      TaxationSystem="2" CustomerInfo="ООО «Ромашка»" CustomerINN="7701234567"
      CustomerEmail="buh@romashka.ru" CustomerPhone="" SaleAddress="г. Москва, ул. Ленина, 1"
      SaleLocation="Магазин №1" SenderEmail="shop@example.ru" AgentType="1">
    <AgentData AgentType="1" AgentOperation="Приём платежа" AgentPhone="+74950000001"
        PaymentProcessorPhone="+74950000002" AcquirerOperatorPhone="+74950000003"
        AcquirerOperatorName="АО «Оператор»" AcquirerOperatorAddress="г. Москва, ул. Тверская, 7"
        AcquirerOperatorINN="7700000001"/>
    <VendorData VendorName="ИП Петров" VendorINN="500100732259" VendorPhone="+74950000009"/>
    <UserAttribute Name="Карта" Value="12345"/>
  </Parameters>
  <Positions>
    <FiscalString Name="Молоко «Домик в деревне» 3,2%" Quantity="2" PriceWithDiscount="89.9"
        AmountWithDiscount="179.8" DiscountAmount="0" VATRate="10" VATAmount="16.35"
        PaymentMethod="4" CalculationSubject="1" MeasureOfQuantity="0">
      <GoodCodeData MarkingCode="MDEwNDYwMDAwMDAwMDAwMjIxNWFiY2RlZh05MUVFMDYdOTJBYjEy"/>
    </FiscalString>
    <TextString Text="Акция: вторая пачка со скидкой"/>
    <FiscalString Name="Хлеб «Бородинский»" Quantity="1" PriceWithDiscount="45"
        DiscountAmount="5" VATRate="10/110" VATAmount="4.09" PaymentMethod="4"
        CalculationSubject="1"/>
    <FiscalString Name="Доставка" Quantity="1" PriceWithDiscount="300" DiscountAmount="0"
        VATRate="20" VATAmount="50" PaymentMethod="4" CalculationSubject="4" CalculationAgent="5">
      <VendorData VendorName="ООО «Курьер»" VendorINN="7702000000" VendorPhone="+74951112233"/>
    </FiscalString>
    <FiscalString Name="Пакет" Quantity="1" PriceWithDiscount="5" DiscountAmount="0"
        VATRate="none" VATAmount="0" PaymentMethod="4" CalculationSubject="1"
        CountryOfOrigin="643"/>
    <FiscalString Name="Сыр весовой" Quantity="0.35" PriceWithDiscount="800" DiscountAmount="14"
        VATRate="20/120" VATAmount="44.33" PaymentMethod="4" CalculationSubject="1"
        MeasureOfQuantity="11"/>
    <Barcode Type="QR" Value="t=20231115T0113&amp;s=809.80&amp;fn=9999000000000001"/>
    <Barcode Type="EAN13" Value="4601234567893"/>
  </Positions>
  <Payments Cash="600" ElectronicPayment="300.5" PrePayment="0" PostPayment="0" Barter="0"/>
</CheckPackage>)";

    const auto result = processCheck(package);

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kSetAgent, kAddText, kAddItem, kSetAgent,
                                       kAddItem, kSetAgent, kAddItem, kSetAgent, kAddItem,
                                       kSetAgent, kAddText, kAddText, kCloseDoc}));
    EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
              Texts{R"({"client_contact":"buh@romashka.ru","client_inn":"7701234567",)"
                    R"("client_name":"ООО «Ромашка»","doc_kind":0,"taxcode":4,)"
                    R"("user_inn":"771234567890","user_name":"Иванова А.А."})"});
    EXPECT_EQ(
        session_.requestTextsTo(kAddItem),
        (Texts{
            R"({"country":0,"dept_id":0,"intcode":"123","item_attr":1,"item_attr_ext":1,)"
            R"("item_disc_abs":0,"mark_stamp":"0104600000000002215abcdef\u001d91EE06\u001d92Ab12",)"
            R"("mark_status":1,"name":"Молоко «Домик в деревне» 3,2%","payment_method":4,)"
            R"("price":899000,"quant":20000,"tax_id":2,"tax_value":163500,"timeout":10000,)"
            R"("unit_id":0})",
            R"({"country":0,"dept_id":0,"intcode":"123","item_attr":1,"item_disc_abs":50000,)"
            R"("name":"Хлеб «Бородинский»","payment_method":4,"price":500000,"quant":10000,)"
            R"("tax_id":4,"tax_value":40900,"unit_id":0})",
            R"({"country":0,"dept_id":0,"intcode":"123","item_attr":4,"item_disc_abs":0,)"
            R"("name":"Доставка","payment_method":4,"price":3000000,"quant":10000,"tax_id":3,)"
            R"("tax_value":500000,"unit_id":0})",
            R"({"country":643,"dept_id":0,"intcode":"123","item_attr":1,"item_disc_abs":0,)"
            R"("name":"Пакет","payment_method":4,"price":50000,"quant":10000,"tax_id":1,)"
            R"("tax_value":0,"unit_id":0})",
            R"({"country":0,"dept_id":0,"intcode":"123","item_attr":1,"item_disc_abs":140000,)"
            R"("name":"Сыр весовой","payment_method":4,"price":8400000,"quant":3500,"tax_id":5,)"
            R"("tax_value":443300,"unit_id":11})",
        }));
    const std::string receiptAgent =
        R"({"agent":2,"payment_op_action":"Приём платежа","payment_op_phone":"+74950000001",)"
        R"("provider_inn":"500100732259","provider_name":"ИП Петров",)"
        R"("provider_phone":"+74950000009","transfer_op_addr":"г. Москва, ул. Тверская, 7",)"
        R"("transfer_op_inn":"7700000001","transfer_op_name":"АО «Оператор»",)"
        R"("transfer_op_phone":"+74950000003"})";
    EXPECT_EQ(session_.requestTextsTo(kSetAgent),
              (Texts{receiptAgent, receiptAgent,
                     R"({"agent":6,"provider_inn":"7702000000","provider_name":"ООО «Курьер»",)"
                     R"("provider_phone":"+74951112233"})",
                     receiptAgent, receiptAgent}));
    EXPECT_EQ(session_.requestTextsTo(kAddText),
              (Texts{R"({"text":"Акция: вторая пачка со скидкой","text_type":1})",
                     R"({"text":"t=20231115T0113&s=809.80&fn=9999000000000001","text_type":5})",
                     R"({"text":"4601234567893","text_type":3})"}));
    EXPECT_EQ(session_.requestTextsTo(kCloseDoc),
              Texts{R"({"cash":6000000,"credit":3005000,"otherpay":0,"postpay":0,"prepay":0})"});
}

} // namespace
} // namespace korvant::testing
