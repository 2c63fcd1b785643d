// ProcessCorrectionCheck end to end.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "documents/fixed_time_zone.h"
#include "driver/receipts/receipt_session.h"

namespace korvant::testing {
namespace {

using host::Value;

std::string correctionParameters(int operationType, std::string_view correctionData = {}) {
    return R"(<Parameters CashierName="Cashier1" TaxationSystem="0" OperationType=")" +
           std::to_string(operationType) + "\">" + std::string(correctionData) + "</Parameters>";
}

constexpr std::string_view kCash180 = R"(<Payments Cash="180"/>)";

// 2 × Tea at 90 after a discount of 20: the unit price before the discount is
// 100, as in a sale, so that the register's total is 180 and not 160.
const std::string kTeaCorrectionItem =
    R"({"dept_id":0,"intcode":"123","item_attr":1,"item_disc_abs":200000,"name":"Tea",)"
    R"("payment_method":4,"price":1000000,"quant":20000,"tax_id":3,"tax_value":300000,)"
    R"("unit_id":0})";

class ProcessCorrectionCheckTest : public ReceiptTest {};

TEST_F(ProcessCorrectionCheckTest, SaleCorrectionAddsTheDiscountBackAsASaleDoes) {
    const auto result =
        processCorrectionCheck(receiptPackage(correctionParameters(1), kTea, kCash180));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCloseDoc}));
    // No CorrectionData: kind 1, date 0, no document, no description.
    EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
              Texts{R"({"correction_date":0,"correction_kind":1,"doc_kind":7,"taxcode":1,)"
                    R"("user_name":"Cashier1"})"});
    EXPECT_EQ(session_.requestTextsTo(kAddItem), Texts{kTeaCorrectionItem});
    EXPECT_EQ(session_.requestTextsTo(kCloseDoc),
              Texts{R"({"cash":1800000,"credit":0,"otherpay":0,"postpay":0,"prepay":0})"});
    EXPECT_EQ(closedReceipts("sales_correction"), 1);
    EXPECT_EQ(session_.emulator().state()["fiscal"]["counters"]["sales_correction"]["check_total"],
              1800000);

    // The output lands in the third parameter; the first two stay as they were.
    const auto closed = lastTaskData();
    EXPECT_TRUE(result.text(2).starts_with(
        R"(<?xml version="1.0" encoding="UTF-8"?><DocumentOutputParameters><Parameters )"))
        << result.text(2);
    EXPECT_EQ(xmlAttribute(result.text(2), "Parameters", "CheckNumber"),
              std::to_string(closed["fd_number"].get<int64_t>()));
    EXPECT_EQ(xmlAttribute(result.text(2), "Parameters", "FiscalSign"),
              std::to_string(closed["fd_sign"].get<int64_t>()));
    EXPECT_EQ(result.text(0), session_.device());
    EXPECT_EQ(result.text(1), receiptPackage(correctionParameters(1), kTea, kCash180));
}

TEST_F(ProcessCorrectionCheckTest, PurchaseCorrectionCarriesItsCorrectionDataAndBuyer) {
    FixedTimeZone zone("MSK-3");
    const auto result = processCorrectionCheck(receiptPackage(
        correctionParameters(3, R"(<CorrectionData Type="0" Date="2021-03-01T00:00:00" )"
                                R"(Number="17-К" Description="Предписание"/>)"
                                R"(<CustomerDetail Info="Иванов И.И." Citizenship="643" )"
                                R"(DocumentTypeCode="21" DocumentData="4510 123456" )"
                                R"(DateOfBirth="01.02.1980" Address="г. Тверь"/>)"),
        kTea, kCash180));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    // 2021-03-01T00:00:00 at UTC+3; the date of birth is the day's, in no zone.
    EXPECT_EQ(session_.requestTextsTo(kOpenDoc),
              Texts{R"({"birth_date":318211200,"citizenship":643,"client_address":"г. Тверь",)"
                    R"("client_ident_data":"4510 123456","client_ident_type":21,)"
                    R"("client_name":"Иванов И.И.",)"
                    R"("correction_date":1614546000,"correction_description":"Предписание",)"
                    R"("correction_document":"17-К","correction_kind":0,"doc_kind":8,)"
                    R"("taxcode":1,"user_name":"Cashier1"})"});
    EXPECT_EQ(closedReceipts("buys_correction"), 1);
}

TEST_F(ProcessCorrectionCheckTest, UnreadableDateIsSentAsZero) {
    for (const char* date : {"2021-05-07T10:30", "yesterday", "2021-03-01"}) {
        session_.clearJournal();
        ASSERT_TRUE(processCorrectionCheck(
                        receiptPackage(correctionParameters(1, "<CorrectionData Date=\"" +
                                                                   std::string(date) + "\"/>"),
                                       kTea, kCash180))
                        .succeeded())
            << date;
        EXPECT_EQ(session_.requestsTo(kOpenDoc).at(0)["correction_date"], 0) << date;
        EXPECT_EQ(session_.requestsTo(kOpenDoc).at(0)["correction_kind"], 1) << date;
    }
}

TEST_F(ProcessCorrectionCheckTest, ReturnsAndUnknownTypesAreRefusedWithNothingSent) {
    for (int operationType : {2, 4, 0, 5}) {
        const auto result = processCorrectionCheck(
            receiptPackage(correctionParameters(operationType), kTea, kCash180));
        EXPECT_FALSE(result.succeeded()) << operationType;
        EXPECT_EQ(lastErrorCode(), 9) << operationType;
        EXPECT_EQ(session_.calls(), Texts{}) << operationType;
    }
}

TEST_F(ProcessCorrectionCheckTest, UnconvertibleValuesAreRefusedWithNothingSent) {
    const std::vector<std::string> packages{
        receiptPackage(correctionParameters(1),
                       R"(<FiscalString Name="Tea" Quantity="inf" PriceWithDiscount="1"/>)",
                       kCash180),
        receiptPackage(correctionParameters(1),
                       R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="nan"/>)",
                       kCash180),
        receiptPackage(correctionParameters(1), kTea,
                       R"(<Payments Cash="180" PrePayment="1e300"/>)"),
        // A line total that contradicts price × quantity, and a buyer's date the
        // register cannot hold, as in a sale.
        receiptPackage(correctionParameters(1),
                       R"(<FiscalString Name="Tea" Quantity="2" PriceWithDiscount="10" )"
                       R"(AmountWithDiscount="1000"/>)",
                       kCash180),
        receiptPackage(correctionParameters(1, R"(<CustomerDetail DateOfBirth="1.2.1980"/>)"), kTea,
                       kCash180),
        // Values without meaning for the register, as in a receipt.
        receiptPackage(R"(<Parameters CashierName="C" TaxationSystem="37" OperationType="1"/>)",
                       kTea, kCash180),
        receiptPackage(correctionParameters(3),
                       R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="-180"/>)",
                       kCash180),
        receiptPackage(correctionParameters(1), kTea, R"(<Payments Cash="-180"/>)"),
    };
    for (const auto& package : packages) {
        EXPECT_FALSE(processCorrectionCheck(package).succeeded()) << package;
        EXPECT_EQ(lastErrorCode(), 9) << package;
        EXPECT_EQ(session_.calls(), Texts{}) << package;
    }
}

TEST_F(ProcessCorrectionCheckTest, QuantityZeroIsSentForTheRegisterToJudge) {
    const auto result = processCorrectionCheck(receiptPackage(
        correctionParameters(1),
        R"(<FiscalString Name="Tea" Quantity="0" PriceWithDiscount="90" VATRate="20"/>)",
        kCash180));

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastErrorCode(), 9); // the register's own refusal of the item
    EXPECT_EQ(session_.requestTextsTo(kAddItem),
              Texts{R"({"dept_id":0,"intcode":"123","item_attr":0,"item_disc_abs":0,"name":"Tea",)"
                    R"("payment_method":0,"price":900000,"quant":0,"tax_id":3,"tax_value":0,)"
                    R"("unit_id":0})"});
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCancelDoc}));
}

TEST_F(ProcessCorrectionCheckTest, TextPositionsGoAsEmptyItemsAndTheirRefusalCancels) {
    const auto result = processCorrectionCheck(receiptPackage(
        correctionParameters(1), std::string(kTea) + R"(<TextString Text="not sent"/>)", kCash180));

    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kAddItem, kCancelDoc}));
    EXPECT_EQ(session_.requestTextsTo(kAddItem),
              (Texts{kTeaCorrectionItem,
                     R"({"dept_id":0,"intcode":"123","item_attr":0,"item_disc_abs":0,"name":"",)"
                     R"("payment_method":0,"price":0,"quant":0,"tax_id":3,"tax_value":0,)"
                     R"("unit_id":0})"}));
    EXPECT_FALSE(documentOpen());
    EXPECT_EQ(closedReceipts("sales_correction"), 0);
}

TEST_F(ProcessCorrectionCheckTest, WithoutPositionsOpensThenCloses) {
    const auto result =
        processCorrectionCheck(receiptPackage(correctionParameters(1), "", kCash180));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kCloseDoc}));
    EXPECT_EQ(closedReceipts("sales_correction"), 1);
}

// A correction item says what the line is (payment method, calculation subject,
// measure) as a sale item does; country, marking and agent data stay out.
TEST_F(ProcessCorrectionCheckTest, ItemCarriesMethodSubjectAndMeasureButNoAgentOrMarking) {
    const auto result = processCorrectionCheck(receiptPackage(
        R"(<Parameters CashierName="Cashier1" CashierINN="500100732259" OperationType="1" )"
        R"(AgentType="1"><AgentData AgentPhone="+7001"/></Parameters>)",
        R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="10" VATRate="20" )"
        R"(MarkingCode="MDEyMzQ1" CalculationAgent="2" CalculationSubject="1" PaymentMethod="3" )"
        R"(MeasureOfQuantity="11" CountryOfOrigin="643"><VendorData VendorName="V"/></FiscalString>)",
        R"(<Payments Cash="10"/>)"));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(session_.calls(), (Texts{kOpenDoc, kAddItem, kCloseDoc}));
    EXPECT_EQ(session_.requestsTo(kOpenDoc).at(0)["user_inn"], "500100732259");
    EXPECT_EQ(
        session_.requestTextsTo(kAddItem),
        Texts{R"({"dept_id":0,"intcode":"123","item_attr":1,"item_disc_abs":0,"name":"Tea",)"
              R"("payment_method":3,"price":100000,"quant":10000,"tax_id":3,"tax_value":16700,)"
              R"("unit_id":11})"});
}

// Lines whose total is not price × quantity, and a rate without a slot, as in a sale.
TEST_F(ProcessCorrectionCheckTest, LineTotalsAndRatesFollowTheSaleRules) {
    const auto result = processCorrectionCheck(receiptPackage(
        correctionParameters(3, R"(<CorrectionData Type="1" Date="2026-03-14T00:00:00"/>)"),
        R"(<FiscalString Name="Box" Quantity="3" PriceWithDiscount="33.33" )"
        R"(AmountWithDiscount="100" DiscountAmount="" VATRate="22/122" VATAmount=""/>)",
        R"(<Payments Cash="100"/>)"));

    ASSERT_TRUE(result.succeeded()) << session_.lastError().second;
    EXPECT_EQ(
        session_.requestTextsTo(kAddItem),
        Texts{R"({"dept_id":0,"intcode":"123","item_attr":0,"item_disc_abs":200,"name":"Box",)"
              R"("payment_method":0,"price":333400,"quant":30000,"tax_id":5,"tax_value":180300,)"
              R"("unit_id":0})"});
    EXPECT_EQ(session_.emulator().state()["fiscal"]["counters"]["buys_correction"]["check_total"],
              1000000);

    session_.clearJournal();
    EXPECT_FALSE(
        processCorrectionCheck(receiptPackage(correctionParameters(1),
                                              R"(<FiscalString Name="Box" Quantity="1" )"
                                              R"(PriceWithDiscount="100" VATRate="5/105"/>)",
                                              R"(<Payments Cash="100"/>)"))
            .succeeded());
    EXPECT_EQ(lastErrorCode(), 9);
    EXPECT_EQ(session_.calls(), Texts{});
}

} // namespace
} // namespace korvant::testing
