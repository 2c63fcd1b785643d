#include "documents/receipt_record.h"

#include "fixed_time_zone.h"

#include <gtest/gtest.h>

using namespace korvant;

namespace {

ReceiptRecord withParameters(const std::string& parameters) {
    return ReceiptRecord("<CheckPackage>" + parameters + "</CheckPackage>");
}

ReceiptRecord withPositions(const std::string& positions) {
    return ReceiptRecord("<CheckPackage><Positions>" + positions + "</Positions></CheckPackage>");
}

} // namespace

TEST(ReceiptRecord, ReadsACompletePackage) {
    const ReceiptRecord record(R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Кассир" CashierInn="123" OperationType="2abc" TaxationSystem="3"
      AgentType="4" CustomerInfo="Покупатель" CustomerINN="456" CustomerEmail="a@b.c"
      CustomerPhone="+7900" SaleAddress="ignored">
    <AgentData AgentOperation="op" AgentPhone="ap" PaymentProcessorPhone="pp"
        AcquirerOperatorPhone="aop" AcquirerOperatorName="aon" AcquirerOperatorAddress="aoa"
        AcquirerOperatorINN="aoi"/>
    <VendorData VendorName="vn" VendorPhone="vp" VendorINN="vi"/>
    <UserAttribute Name="n" Value="v"/>
  </Parameters>
  <Positions>
    <FiscalString Name="Товар" Quantity="1,5" PriceWithDiscount="100.10" DiscountAmount="0.5"
        VATRate="20" VATAmount="16.68" PaymentMethod="4" CalculationSubject="1"
        CalculationAgent="2" MeasureOfQuantity="0" CountryOfOrigin="643" MarkingCode="m1">
      <AgentData AgentPhone="pos"/>
      <VendorData/>
    </FiscalString>
    <TextString Text="строка"/>
    <Barcode Type="EAN13" Value="4600000000000"/>
  </Positions>
  <Payments Cash="50" ElectronicPayment="50.10" PrePayment="1e1" PostPayment="x" Barter="-0.5"/>
</CheckPackage>)");
    EXPECT_EQ(record.cashierName, "Кассир");
    EXPECT_EQ(record.cashierInn, "123");
    EXPECT_EQ(record.operationType, 2);
    EXPECT_EQ(record.taxationSystem, 3);
    EXPECT_EQ(record.agentType, 4);
    EXPECT_EQ(record.customerInfo, "Покупатель");
    EXPECT_EQ(record.customerINN, "456");
    EXPECT_EQ(record.customerEmail, "a@b.c");
    EXPECT_EQ(record.customerPhone, "+7900");
    EXPECT_TRUE(record.agentData.present);
    EXPECT_EQ(record.agentData.agentOperation, "op");
    EXPECT_EQ(record.agentData.acquirerOperatorINN, "aoi");
    EXPECT_TRUE(record.vendorData.present);
    EXPECT_EQ(record.vendorData.vendorINN, "vi");
    EXPECT_EQ(record.correction.kind, 1);

    ASSERT_EQ(record.positions.size(), 3u);
    const auto& fiscal = record.positions[0];
    EXPECT_EQ(fiscal.kind, PositionKind::FiscalString);
    EXPECT_EQ(fiscal.name, "Товар");
    EXPECT_EQ(fiscal.quantity, 1.0); // the comma ends the number
    EXPECT_EQ(fiscal.priceWithDiscount, 100.10);
    EXPECT_EQ(fiscal.discountAmount, 0.5);
    EXPECT_EQ(fiscal.vatRate, "20");
    EXPECT_EQ(fiscal.vatAmount, 16.68);
    EXPECT_EQ(fiscal.paymentMethod, 4);
    EXPECT_EQ(fiscal.calculationSubject, 1);
    EXPECT_EQ(fiscal.calculationAgent, 2);
    EXPECT_EQ(fiscal.measureOfQuantity, 0);
    EXPECT_EQ(fiscal.countryOfOrigin, 643u);
    EXPECT_EQ(fiscal.markingCode, "m1");
    EXPECT_TRUE(fiscal.agentData.present);
    EXPECT_EQ(fiscal.agentData.agentPhone, "pos");
    EXPECT_FALSE(fiscal.vendorData.present);
    EXPECT_EQ(record.positions[1].kind, PositionKind::TextString);
    EXPECT_EQ(record.positions[1].text, "строка");
    EXPECT_EQ(record.positions[2].kind, PositionKind::Ean13);
    EXPECT_EQ(record.positions[2].barcodeValue, "4600000000000");

    EXPECT_EQ(record.payments.cash, 50.0);
    EXPECT_EQ(record.payments.electronic, 50.10);
    EXPECT_EQ(record.payments.prepayment, 10.0);
    EXPECT_EQ(record.payments.postpayment, 0.0);
    EXPECT_EQ(record.payments.barter, -0.5);
}

TEST(ReceiptRecord, NotAPackageReadsEmpty) {
    for (const char* text : {"", "not xml", "<a><b></a>", "<!-- only a comment -->",
                             "<CheckPackage/>", "<CheckPackage><Positions/></CheckPackage>"}) {
        const ReceiptRecord record(text);
        EXPECT_EQ(record.operationType, 0) << text;
        EXPECT_TRUE(record.positions.empty()) << text;
        EXPECT_EQ(record.correction.kind, 1) << text;
    }
}

TEST(ReceiptRecord, PackageShapeIsMatchedExactly) {
    const ReceiptRecord record(R"(<AnyRoot><Other><Parameters OperationType="3"/></Other>)"
                               R"(<Parameters OperationType="1" CashierINN="capital NN"/>)"
                               R"(<Parameters OperationType="4"/>)"
                               R"(<Positions><fiscalstring Name="x"/></Positions>)"
                               R"(<Positions><TextString Text="second list"/></Positions>)"
                               R"(</AnyRoot>)");
    EXPECT_EQ(record.operationType, 1);
    EXPECT_TRUE(record.positions.empty());
}

TEST(ReceiptRecord, CashierInnUnderEitherName) {
    const struct {
        const char* attributes;
        const char* inn;
    } cases[] = {
        {R"(CashierINN="500100732259")", "500100732259"},
        {R"(CashierInn="771234567890")", "771234567890"},
        {R"(CashierInn="771234567890" CashierINN="500100732259")", "771234567890"},
        {R"(CashierInn="" CashierINN="500100732259")", "500100732259"},
        {R"(CashierName="no INN")", ""},
    };
    for (const auto& c : cases) {
        const auto record = withParameters(std::string("<Parameters ") + c.attributes + "/>");
        EXPECT_EQ(record.cashierInn, c.inn) << c.attributes;
    }
}

// Clients of interface revision 3004 and later write the buyer in CustomerDetail;
// the attributes, where a client writes them, keep winning.
TEST(ReceiptRecord, CustomerUnderEitherForm) {
    const struct {
        const char* parameters;
        const char* info;
        const char* inn;
    } cases[] = {
        {R"(<Parameters><CustomerDetail Info="ООО «Вектор»" INN="7705123452"/></Parameters>)",
         "ООО «Вектор»", "7705123452"},
        {R"(<Parameters CustomerInfo="Attr" CustomerINN="1"><CustomerDetail Info="D" INN="2"/></Parameters>)",
         "Attr", "1"},
        {R"(<Parameters CustomerInfo="" CustomerINN=""><CustomerDetail Info="D" INN="2"/></Parameters>)",
         "D", "2"},
        {R"(<Parameters CustomerInfo="Attr"><CustomerDetail INN="2"/></Parameters>)", "Attr", "2"},
        {R"(<Parameters><CustomerDetail/></Parameters>)", "", ""},
    };
    for (const auto& c : cases) {
        const auto record = withParameters(c.parameters);
        EXPECT_EQ(record.customerInfo, c.info) << c.parameters;
        EXPECT_EQ(record.customerINN, c.inn) << c.parameters;
    }
    const auto record = withParameters(
        R"(<Parameters><CustomerDetail Info="И" Address="г. Москва" Citizenship="643" )"
        R"(DocumentTypeCode="21" DocumentData="4510 123456" DateOfBirth="01.02.1980"/></Parameters>)");
    EXPECT_EQ(record.customerDetail.address, "г. Москва");
    EXPECT_EQ(record.customerDetail.citizenship, "643");
    EXPECT_EQ(record.customerDetail.documentTypeCode, "21");
    EXPECT_EQ(record.customerDetail.documentData, "4510 123456");
    EXPECT_EQ(record.customerDetail.dateOfBirth, "01.02.1980");
}

// Hosts leave these sums empty ("") as often as they leave them out; neither is 0.
TEST(ReceiptRecord, SumsLeftEmptyAreNotGiven) {
    const auto record =
        withPositions(R"(<FiscalString AmountWithDiscount="105.23" VATAmount="17.54"/>)"
                      R"(<FiscalString AmountWithDiscount="" VATAmount="" DiscountAmount=""/>)"
                      R"(<FiscalString AmountWithDiscount=" " VATAmount="0"/>)"
                      R"(<FiscalString/>)");
    ASSERT_EQ(record.positions.size(), 4u);
    EXPECT_EQ(record.positions[0].amountWithDiscount, 105.23);
    EXPECT_EQ(record.positions[0].vatAmount, 17.54);
    EXPECT_EQ(record.positions[1].amountWithDiscount, std::nullopt);
    EXPECT_EQ(record.positions[1].vatAmount, std::nullopt);
    EXPECT_EQ(record.positions[1].discountAmount, 0.0);
    EXPECT_EQ(record.positions[2].amountWithDiscount, std::nullopt);
    EXPECT_EQ(record.positions[2].vatAmount, 0.0);
    EXPECT_EQ(record.positions[3].amountWithDiscount, std::nullopt);
    EXPECT_EQ(record.positions[3].vatAmount, std::nullopt);
}

TEST(ReceiptRecord, CorrectionData) {
    FixedTimeZone zone("UTC");
    const struct {
        const char* element;
        int32_t kind;
        int64_t date;
    } cases[] = {
        {R"(<CorrectionData Description="d"/>)", 1, 0},
        {R"(<CorrectionData Type="0"/>)", 0, 0},
        {R"(<CorrectionData Type="x"/>)", 0, 0},
        {R"(<CorrectionData Type="1" Date="2021-05-07T10:30"/>)", 1, 0},
        {R"(<CorrectionData Date="2021-05-07T10:30:00"/>)", 1, 1620383400},
    };
    for (const auto& c : cases) {
        const auto record =
            withParameters(std::string("<Parameters>") + c.element + "</Parameters>");
        EXPECT_EQ(record.correction.kind, c.kind) << c.element;
        EXPECT_EQ(record.correction.date, c.date) << c.element;
    }
    const auto record = withParameters(
        R"(<Parameters><CorrectionData Description="why" Number="N-1"/></Parameters>)");
    EXPECT_EQ(record.correction.description, "why");
    EXPECT_EQ(record.correction.documentNumber, "N-1");
}

TEST(ReceiptRecord, AgentAndVendorDataNeedAnAttribute) {
    const auto record = withParameters(R"(<Parameters><AgentData/><VendorData></VendorData>)"
                                       R"(<AgentData AgentPhone="later"/></Parameters>)");
    EXPECT_FALSE(record.agentData.present);
    EXPECT_EQ(record.agentData.agentPhone, "");
    EXPECT_FALSE(record.vendorData.present);
}

// The line's own code first, then GoodCodeData's; of the identifiers only the
// marking kinds: the others carry the product's barcode, which marks nothing.
TEST(ReceiptRecord, MarkingCodeSources) {
    const struct {
        const char* fiscalString;
        const char* markingCode;
    } cases[] = {
        {R"(<FiscalString MarkingCode="m1"/>)", "m1"},
        {R"(<FiscalString MarkingCode="m1"><GoodCodeData/></FiscalString>)", "m1"},
        {R"(<FiscalString MarkingCode="m1"><GoodCodeData KMK="m2" MarkingCode="m4"/></FiscalString>)",
         "m1"},
        {R"(<FiscalString MarkingCode=""><GoodCodeData KMK="m2" MarkingCode="m4"/></FiscalString>)",
         "m4"},
        {R"(<FiscalString><GoodCodeData EAN13="m2" NotIdentified="m3"/></FiscalString>)", ""},
        {R"(<FiscalString><GoodCodeData F6="f6" MI="mi" GS1.M="gs1m" KMK="kmk"/></FiscalString>)",
         "gs1m"},
        {R"(<FiscalString><GoodCodeData MI="mi" KMK="kmk" EAN13="e"/></FiscalString>)", "kmk"},
        {R"(<FiscalString><GoodCodeData GS1.M="" MI="mi"/></FiscalString>)", "mi"},
        {R"(<FiscalString><GoodCodeData Unknown="u"/></FiscalString>)", ""},
        {R"(<FiscalString><GoodCodeData F1="first"/><GoodCodeData KMK="second"/></FiscalString>)",
         ""},
    };
    for (const auto& c : cases) {
        const auto record = withPositions(c.fiscalString);
        ASSERT_EQ(record.positions.size(), 1u) << c.fiscalString;
        EXPECT_EQ(record.positions[0].markingCode, c.markingCode) << c.fiscalString;
    }
}

TEST(ReceiptRecord, OnlyKnownPositionsAreKept) {
    const auto record = withPositions(
        R"(<TextString Text="a"/><Note Text="n"/><Barcode Type="PDF417" Value="p"/>)"
        R"(<Barcode Type="QR" Value="q"/><Barcode Value="no type"/><Barcode Type="QRCODE" Value="x"/>)"
        R"(<Barcode Type="FiscalString" Value="x"/><fiscalstring Name="lower"/>)");
    ASSERT_EQ(record.positions.size(), 2u);
    EXPECT_EQ(record.positions[0].kind, PositionKind::TextString);
    EXPECT_EQ(record.positions[0].text, "a");
    EXPECT_EQ(record.positions[1].kind, PositionKind::Qr);
    EXPECT_EQ(record.positions[1].barcodeValue, "q");
}

TEST(ReceiptRecord, BarcodeValueSources) {
    const auto record =
        withPositions(R"(<Barcode Type="EAN13"/><Barcode Type="EAN8" ValueBase64="MDEyMzQ1"/>)"
                      R"(<Barcode Type="CODE39" Value="v" ValueBase64="MDEyMzQ1"/>)"
                      R"(<Barcode Type="QR" ValueBase64="AB=C"/>)");
    ASSERT_EQ(record.positions.size(), 4u);
    EXPECT_EQ(record.positions[0].barcodeValue, "");
    EXPECT_EQ(record.positions[1].barcodeValue, "012345");
    EXPECT_EQ(record.positions[2].barcodeValue, "v");
    EXPECT_EQ(record.positions[3].barcodeValue, "");
}

TEST(ReceiptCodes, PositionKinds) {
    EXPECT_EQ(positionKindOf("FiscalString"), PositionKind::FiscalString);
    EXPECT_EQ(positionKindOf("CODE39"), PositionKind::Code39);
    EXPECT_EQ(positionKindOf("EAN8"), PositionKind::Ean8);
    EXPECT_EQ(positionKindOf("EAN13 "), PositionKind::TextString);
    EXPECT_EQ(positionKindOf("qr"), PositionKind::TextString);
}
