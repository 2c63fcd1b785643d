// PrintTextDocument, CashInOutcome, PrintXReport and GetLineLength against the
// emulated register.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "operations_fixture.h"

namespace korvant::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr std::string_view kPrint = "korvant3_fremu_print";

std::string textDocument(std::string_view positions) {
    return "<Document><Positions>" + std::string(positions) + "</Positions></Document>";
}

using TextDocumentTest = OpenDeviceTest;

TEST_F(TextDocumentTest, LinesPrintAsBlocksBetweenBarcodes) {
    struct Case {
        std::string name;
        std::string positions;
        std::vector<std::string> requests;
    };
    const std::vector<Case> cases = {
        {"three lines, one block",
         R"(<TextString Text="Строка 1"/><TextString Text="Строка 2"/><TextString Text="Строка 3"/>)",
         {R"({"text":"Строка 1\nСтрока 2\nСтрока 3","text_type":1})"}},
        {"text, barcode, text",
         R"(<TextString Text="до"/><Barcode Type="EAN13" Value="4600000000008"/>)"
         R"(<TextString Text="после"/>)",
         {R"({"text":"до","text_type":1})", R"({"text":"4600000000008","text_type":3})",
          R"({"text":"после","text_type":1})"}},
        {"barcodes of every kind, none before them",
         R"(<Barcode Type="EAN8" Value="46000001"/><Barcode Type="CODE39" Value="ABC"/>)"
         R"(<Barcode Type="QRCODE" Value="https://example.com"/>)",
         {R"({"text":"46000001","text_type":2})", R"({"text":"ABC","text_type":4})",
          R"({"text":"https://example.com","text_type":5})"}},
        {"unknown type and missing value skipped",
         R"(<TextString Text="а"/><Barcode Type="PDF417" Value="x"/><Barcode Type="EAN13"/>)"
         R"(<Other Text="нет"/><TextString Text="б"/><TextString/>)",
         {R"({"text":"а\nб","text_type":1})"}},
        {"element names match on their beginning",
         R"(<TextStringX Text="первая"/><TextString Text="вторая"/>)",
         {R"({"text":"первая\nвторая","text_type":1})"}},
        {"empty lines where the document has them, first and after a barcode too",
         R"(<TextString Text=""/><TextString Text="СЛИП"/><TextString Text=""/>)"
         R"(<Barcode Type="QR" Value="q"/><TextString Text=""/><TextString Text="итог"/>)",
         {R"({"text":"\nСЛИП\n","text_type":1})", R"({"text":"q","text_type":5})",
          R"({"text":"\nитог","text_type":1})"}},
        {"one empty line", R"(<TextString Text=""/>)", {R"({"text":"","text_type":1})"}},
        {"barcode value in base64",
         R"(<Barcode Type="QR" ValueBase64="aHR0cHM6Ly9leGFtcGxlLmNvbQ=="/>)",
         {R"({"text":"https://example.com","text_type":5})"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        session.clearJournal();
        const auto result =
            callOnDevice("PrintTextDocument", {Value::text(textDocument(c.positions))});
        EXPECT_TRUE(result.succeeded());
        EXPECT_THAT(session.requestTextsTo(kPrint), ElementsAreArray(c.requests));
    }
}

TEST_F(TextDocumentTest, NothingToPrintCallsNothing) {
    for (const std::string& document :
         {textDocument(""), std::string("<Document/>"), std::string()}) {
        SCOPED_TRACE(document);
        EXPECT_TRUE(callOnDevice("PrintTextDocument", {Value::text(document)}).succeeded());
        EXPECT_EQ(lastCode(), 0);
        EXPECT_THAT(session.calls(), IsEmpty());
    }
    // Text that is no document is refused: it may be a document cut short.
    EXPECT_FALSE(callOnDevice("PrintTextDocument", {Value::text("not xml")}).succeeded());
    EXPECT_EQ(lastCode(), 9);
    EXPECT_THAT(session.calls(), IsEmpty());
}

TEST_F(TextDocumentTest, FirstRefusalStopsThePrinting) {
    session.inject(R"({"function":"korvant3_fremu_print","call":2,"response":3,"extended":113})");
    const auto result = callOnDevice(
        "PrintTextDocument",
        {Value::text(textDocument(R"(<TextString Text="до"/><Barcode Type="EAN13" Value="1"/>)"
                                  R"(<TextString Text="после"/>)"))});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 14);
    EXPECT_EQ(session.requestTextsTo(kPrint).size(), 2U);
}

// Cash documents need an open shift and, for cash out, cash in the drawer.
class CashTest : public OpenDeviceTest {
protected:
    CashTest() : OpenDeviceTest(R"({"clock":1700000000,"cash":1000})") {}

    void SetUp() override {
        OpenDeviceTest::SetUp();
        ASSERT_TRUE(callOnDevice("OpenShift", {Value::text(""), Value::empty()}).succeeded());
        session.clearJournal();
    }

    host::CallResult cashInOut(Value amount) {
        return callOnDevice("CashInOutcome",
                            {Value::text(inputParameters(R"(CashierName="Петрова")")), amount});
    }
};

// The amount is a 1C number, which hosts hand as any integer or real type, or as its text.
TEST_F(CashTest, AmountGivesKindAndCash) {
    using host::VType;
    struct Case {
        Value amount;
        int kind;
        int64_t cash;
    };
    const std::vector<Case> cases = {
        {Value::r8(-150.5), 3, 1505000},
        {Value::r8(0.29), 2, 2900},
        {Value::r8(0), 2, 0},
        {Value::i4(25), 2, 250000},
        {Value::i4(-3), 3, 30000},
        {Value::r4(12.5F), 2, 125000},
        {Value::integral(VType::I8, -500), 3, 5000000},
        {Value::integral(VType::I8, 3000000000), 2, 30000000000000},
        {Value::integral(VType::I1, -7), 3, 70000},
        {Value::i2(-300), 3, 3000000},
        {Value::integral(VType::Int, 40), 2, 400000},
        {Value::integral(VType::UI1, 200), 2, 2000000},
        {Value::integral(VType::UI2, 60000), 2, 600000000},
        {Value::integral(VType::UI4, 4000000000), 2, 40000000000000},
        {Value::uint(9), 2, 90000},
        {Value::integral(VType::UI8, 12), 2, 120000},
        {Value::text("100"), 2, 1000000},
        {Value::text(" -2,5 "), 3, 25000},
        {Value::pstr("0.01"), 2, 100},
        // Kopecks an extended-precision unit lost: the same on every build.
        {Value::r8(1.299), 2, 13000},
        {Value::r8(100 + 9.99 / 10), 2, 1010000},
        {Value::r8(-1.13), 3, 11300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.amount));
        session.clearJournal();
        EXPECT_TRUE(cashInOut(c.amount).succeeded());
        EXPECT_EQ(lastCode(), 0);
        EXPECT_THAT(session.calls(),
                    ElementsAre("korvant3_fremu_open_doc", "korvant3_fremu_close_doc"));
        EXPECT_THAT(
            session.requestTextsTo("korvant3_fremu_open_doc"),
            ElementsAre(R"({"doc_kind":)" + std::to_string(c.kind) + R"(,"user_name":"Петрова"})"));
        EXPECT_THAT(session.requestTextsTo("korvant3_fremu_close_doc"),
                    ElementsAre(R"({"cash":)" + std::to_string(c.cash) + "}"));
    }
}

TEST_F(CashTest, CashierTaxNumberGoesWithTheOpening) {
    callOnDevice(
        "CashInOutcome",
        {Value::text(inputParameters(R"(CashierName="Петрова" CashierINN="7701")")), Value::r8(1)});
    EXPECT_THAT(session.requestTextsTo("korvant3_fremu_open_doc"),
                ElementsAre(R"({"doc_kind":2,"user_inn":"7701","user_name":"Петрова"})"));
}

TEST_F(CashTest, RefusedClosingCancelsTheDocument) {
    // More than the 1000 in the drawer.
    EXPECT_FALSE(cashInOut(Value::r8(-5000)).succeeded());
    EXPECT_EQ(lastCode(), 13);
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_open_doc", "korvant3_fremu_close_doc",
                                             "korvant3_fremu_cancel_doc"));
    // Nothing is left open: the next document goes through.
    EXPECT_TRUE(cashInOut(Value::r8(-500)).succeeded());
}

TEST_F(CashTest, RefusedOpeningSendsNothingMore) {
    ASSERT_TRUE(callOnDevice("CloseShift", {Value::text(""), Value::empty()}).succeeded());
    session.clearJournal();
    EXPECT_FALSE(cashInOut(Value::r8(10)).succeeded());
    EXPECT_EQ(lastCode(), 14);
    // Refused as not allowed, the register is asked whether a document is open.
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_open_doc", "korvant3_get_state"));
}

// Nothing that is no number prints a document of 0.00: code 9, nothing sent.
TEST_F(CashTest, AmountThatIsNoNumberIsRefusedBeforeSending) {
    using host::VType;
    for (const Value& amount :
         {Value::empty(), Value::ofType(VType::Null), Value::boolean(true), Value::text(""),
          Value::text("сто"), Value::text("1e3"), Value::text("12 руб."),
          Value::ofType(VType::Date), Value::integral(VType::Error, 5),
          Value::integral(VType::HResult, 5)}) {
        SCOPED_TRACE(::testing::PrintToString(amount));
        EXPECT_FALSE(cashInOut(amount).succeeded());
        EXPECT_EQ(lastCode(), 9);
        EXPECT_THAT(session.calls(), IsEmpty());
    }
}

TEST_F(CashTest, AmountBeyondTheDeviceUnitsIsRefusedBeforeSending) {
    for (const double amount :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), 1e300, -1e17}) {
        SCOPED_TRACE(amount);
        EXPECT_FALSE(cashInOut(Value::r8(amount)).succeeded());
        EXPECT_EQ(lastCode(), 9);
        EXPECT_THAT(session.calls(), IsEmpty());
    }
    EXPECT_FALSE(cashInOut(Value::integral(host::VType::UI8, -1)).succeeded());
    EXPECT_EQ(lastCode(), 9);
    EXPECT_FALSE(cashInOut(Value::text("1" + std::string(400, '0'))).succeeded());
    EXPECT_EQ(lastCode(), 9);
    EXPECT_THAT(session.calls(), IsEmpty());
}

using XReportTest = OpenDeviceTest;

TEST_F(XReportTest, ReportIsOneCommand) {
    const auto result = callOnDevice("PrintXReport", {Value::i4(5)});
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(lastCode(), 0);
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_report_x"));
}

TEST_F(XReportTest, RefusalIsReported) {
    session.inject(
        R"({"function":"korvant3_fremu_report_x","call":1,"response":3,"extended":113})");
    EXPECT_FALSE(callOnDevice("PrintXReport", {Value::text("")}).succeeded());
    EXPECT_EQ(lastCode(), 14);
}

class LineLengthTest : public OpenDeviceTest {
protected:
    LineLengthTest() : OpenDeviceTest(R"({"clock":1700000000,"line_length":42})") {}
};

// The width goes into the argument whatever the host passed there: an integer type it chose
// stays, anything else becomes I4.
TEST_F(LineLengthTest, WidthGoesIntoTheArgumentWhateverItHeld) {
    struct Case {
        Value given;
        Value expected;
    };
    const std::vector<Case> cases = {
        {Value::empty(), Value::i4(42)},       {Value::i2(0), Value::i2(42)},
        {Value::i4(0), Value::i4(42)},         {Value::uint(0), Value::uint(42)},
        {Value::r8(1.5), Value::i4(42)},       {Value::r4(1.5F), Value::i4(42)},
        {Value::text("x"), Value::i4(42)},     {Value::text(""), Value::i4(42)},
        {Value::boolean(true), Value::i4(42)}, {Value::ofType(host::VType::Null), Value::i4(42)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.given));
        const auto result = callOnDevice("GetLineLength", {c.given});
        EXPECT_TRUE(result.succeeded());
        EXPECT_EQ(result.args[1], c.expected);
    }
}

// A width no line has, or none at all, is no width: the host's argument would
// get it wrapped to its type (70000 as 4464 in 16 bits, -2 as 4294967294).
TEST_F(LineLengthTest, AWidthNoLineHasIsAProtocolError) {
    const struct {
        nlohmann::json width;
        bool isWidth;
    } cases[] = {{70000, false},   {-2, false},  {0, false}, {32768, false},
                 {nullptr, false}, {1.5, false}, {1, true},  {32767, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width.dump());
        session.inject(nlohmann::json{
            {"function", "korvant3_get_info"},
            {"call", 1},
            {"answer",
             nlohmann::json{{"response", 0}, {"data", {{"line_length", c.width}}}}.dump()}}
                           .dump());
        const auto result = callOnDevice("GetLineLength", {Value::i2(7)});
        EXPECT_EQ(result.succeeded(), c.isWidth);
        EXPECT_EQ(lastCode(), c.isWidth ? 0 : 1);
        EXPECT_EQ(result.args[1],
                  Value::i2(c.isWidth ? static_cast<int16_t>(c.width.get<int32_t>()) : 7));
    }
}

TEST_F(LineLengthTest, FailedQueryStoresNothing) {
    session.inject(R"({"function":"korvant3_get_info","call":1,"result":-1})");
    const auto result = callOnDevice("GetLineLength", {Value::i4(7)});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(lastCode(), 3);
    EXPECT_EQ(result.args[1], Value::i4(7));
}

} // namespace
} // namespace korvant::testing
