// The driver as 1C's clients use it, end to end through the host and the register emulator:
// settings and disconnection as statements, methods by their Russian names, results read only
// from the document roots the clients know, numbers through Число (a plain decimal), dates as
// strict xs:dateTime, booleans compared with "TRUE" in upper case.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "driver/registration/registration_table.h"
#include "support/driver_session.h"
#include "support/process_locale.h"

namespace korvant::testing {
namespace {

using host::Value;
using host::VType;
using ::testing::ElementsAre;

// The attributes of a result, by name.
using Values = std::map<std::string, std::string>;

constexpr std::string_view kCashier =
    R"(<InputParameters><Parameters CashierName="Иванова А.А."/></InputParameters>)";
constexpr std::string_view kTea =
    R"(<FiscalString Name="Чай" Quantity="2" PriceWithDiscount="90" DiscountAmount="20" )"
    R"(VATRate="20" VATAmount="30" PaymentMethod="4" CalculationSubject="1"/>)";
constexpr std::string_view kMarkedTea =
    R"(<FiscalString Name="Чай" Quantity="2" PriceWithDiscount="90" DiscountAmount="20" )"
    R"(VATRate="20" VATAmount="30" PaymentMethod="4" CalculationSubject="1" )"
    R"(MarkingCode="MDEyMzQ1"/>)";

std::string receiptPackage(std::string_view parameters, std::string_view positions,
                           std::string_view cash) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><CheckPackage>)" + std::string(parameters) +
           "<Positions>" + std::string(positions) + R"(</Positions><Payments Cash=")" +
           std::string(cash) + R"("/></CheckPackage>)";
}

constexpr std::string_view kSaleParameters =
    R"(<Parameters CashierName="Иванова А.А." OperationType="1" TaxationSystem="0"/>)";
const std::string kSale = receiptPackage(kSaleParameters, kTea, "200");
const std::string kMarkedSale = receiptPackage(kSaleParameters, kMarkedTea, "200");
const std::string kCorrection = receiptPackage(
    R"(<Parameters CashierName="Иванова А.А." OperationType="1" TaxationSystem="0">)"
    R"(<CorrectionData Type="0" Date="2023-11-01T00:00:00" Number="7"/></Parameters>)",
    R"(<FiscalString Name="Чай" Quantity="1" PriceWithDiscount="150" VATRate="20" )"
    R"(VATAmount="25" PaymentMethod="4" CalculationSubject="1"/>)",
    "150");

Values attributesOf(const tinyxml2::XMLElement& element) {
    Values attributes;
    for (const auto* a = element.FirstAttribute(); a != nullptr; a = a->Next()) {
        attributes[a->Name()] = a->Value();
    }
    return attributes;
}

// The attributes of <root><Parameters .../></root>, read as the client reads a result: the root
// must carry the name it expects, or the client finds nothing at all. With `child` empty, the
// attributes of the root itself (the registration table).
std::optional<Values> clientRead(const std::string& xml, std::string_view root,
                                 const char* child = "Parameters") {
    tinyxml2::XMLDocument document;
    if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS ||
        document.RootElement() == nullptr || root != document.RootElement()->Name()) {
        return std::nullopt;
    }
    const auto* element =
        child ? document.RootElement()->FirstChildElement(child) : document.RootElement();
    return element ? std::optional(attributesOf(*element)) : std::nullopt;
}

// Число of the text: a plain decimal number, or nothing (the client raises).
std::optional<double> number(const Values& attributes, const std::string& name) {
    static const std::regex plain("-?[0-9]+(\\.[0-9]+)?");
    const auto found = attributes.find(name);
    if (found == attributes.end() || !std::regex_match(found->second, plain)) {
        return std::nullopt;
    }
    return std::stod(found->second);
}

bool isXsDateTime(const Values& attributes, const std::string& name) {
    static const std::regex dateTime("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}");
    const auto found = attributes.find(name);
    return found != attributes.end() && std::regex_match(found->second, dateTime);
}

bool isTrue(const Values& attributes, const std::string& name) {
    const auto found = attributes.find(name);
    std::string upper = found == attributes.end() ? "" : found->second;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return upper == "TRUE";
}

class ClientConventions : public ::testing::Test {
protected:
    explicit ClientConventions(const std::string& config = R"({"clock":1700000000})")
        : session(config) {
        session.component().setLocale(std::string_view("ru_RU"));
    }
    // The language is the library's, shared with the later tests of this program.
    ~ClientConventions() override { session.component().setLocale(std::string_view("en_US")); }

    // The connection as the client makes it: the equipment type first, then every stored
    // setting (the time-out stored as a number), each as a statement inside a Try that abandons
    // the connection when it raises; the description probed with seven arguments (refused: it
    // takes one, and the client goes on when the probe raises), the revision asked, Подключить.
    void connect() {
        ASSERT_TRUE(
            session
                .statement("УстановитьПараметр", {Value::text("EquipmentType"), Value::text("ККТ")})
                .called);
        for (const auto& [name, value] : {std::pair{"Serial", Value::text(kEmulatorSerial)},
                                          std::pair{"Ipaddr", Value::text(kEmulatorAddress)},
                                          std::pair{"MarkTimeout", Value::i4(10)}}) {
            ASSERT_TRUE(session.statement("УстановитьПараметр", {Value::text(name), value}).called)
                << name;
        }
        ASSERT_FALSE(
            session.call("ПолучитьОписание", std::vector<Value>(7, Value::empty())).called);
        ASSERT_EQ(session.call("ПолучитьРевизиюИнтерфейса").result, Value::i4(3005));
        const auto connected = session.call("Подключить", {Value::empty()});
        ASSERT_TRUE(connected.succeeded()) << session.lastError().second;
        device = connected.text(0);
    }

    host::CallResult onDevice(std::string_view method, std::vector<Value> rest) {
        rest.insert(rest.begin(), Value::text(device));
        return session.call(method, std::move(rest));
    }

    // A sale of a marked item; the time-out its marking-code check was given (null when the sale
    // did not send exactly one item).
    nlohmann::json markedSaleTimeout() {
        session.clearJournal();
        const auto sold = onDevice(
            "СформироватьЧек", {Value::boolean(false), Value::text(kMarkedSale), Value::empty()});
        EXPECT_TRUE(sold.succeeded()) << session.lastError().second;
        const auto items = session.requestsTo("korvant3_fremu_add_item");
        return items.size() == 1 ? items[0]["timeout"] : nlohmann::json();
    }

    // ПолучитьОшибку as the client calls it, a statement whose text argument it reads.
    std::pair<int32_t, std::string> errorText() {
        const auto answered = session.statement("ПолучитьОшибку", {Value::empty()});
        EXPECT_TRUE(answered.called);
        return {session.lastError().first, answered.text(0)};
    }

    // First, so that the process locale the add-in's SetLocale switched is given back last.
    KeptProcessLocale locale;
    DriverSession session;
    std::string device;
};

TEST_F(ClientConventions, ConnectsAndDisconnectsWithStatements) {
    connect();
    ASSERT_TRUE(onDevice("ОткрытьСмену", {Value::text(kCashier), Value::empty()}).succeeded());
    // The time-out stored as a number reached the marking-code check of a sale.
    EXPECT_EQ(markedSaleTimeout(), 10000);

    // A statement whose operation fails is no refused call: the client does not raise, and
    // ПолучитьОшибку tells the reason.
    EXPECT_TRUE(session.statement("Отключить", {Value::text("korvant99")}).called);
    EXPECT_EQ(errorText(), std::make_pair(3, std::string("Некорректный идентификатор устройства")));

    session.clearJournal();
    EXPECT_TRUE(session.statement("Отключить", {Value::text(device)}).called);
    EXPECT_EQ(errorText(), std::make_pair(0, std::string("Нет ошибки")));
    EXPECT_THAT(session.calls(), ElementsAre("korvant3_fremu_exit", "korvant3_close"));
}

TEST_F(ClientConventions, UnsupportedMethodsTellTheCashierWhy) {
    connect();
    struct Case {
        const char* method;
        std::vector<Value> rest;
    };
    const std::vector<Case> cases = {
        {"НапечататьКопиюЧека", {Value::text("0")}},
        {"ОткрытьДенежныйЯщик", {}},
        {"ОткрытьСессиюРегистрацииКМ", {}},
        {"ЗапросКМ", {Value::text("<RequestKM/>"), Value::empty()}},
        {"ПодтвердитьКМ", {Value::text("1"), Value::i4(0)}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(onDevice("ПолучитьШиринуСтроки", {Value::i4(0)}).succeeded()); // code 0
        const auto answered = onDevice(c.method, c.rest);
        EXPECT_TRUE(answered.called) << c.method;
        EXPECT_EQ(answered.result, Value::boolean(false)) << c.method;
        EXPECT_EQ(errorText(), std::make_pair(4, std::string("Не поддерживается"))) << c.method;
    }
}

// Every result of a day is found where the client looks and reads as it reads it.
TEST_F(ClientConventions, ResultsReadAsTheClientReadsThem) {
    connect();
    const auto opened = onDevice("ОткрытьСмену", {Value::text(kCashier), Value::empty()});
    ASSERT_TRUE(opened.succeeded());
    const auto shift = clientRead(opened.text(2), "OutputParameters");
    ASSERT_TRUE(shift) << opened.text(2);
    EXPECT_EQ(number(*shift, "ShiftNumber"), 1.0);
    EXPECT_TRUE(isXsDateTime(*shift, "DateTime"));
    EXPECT_FALSE(isTrue(*shift, "FNError"));

    ASSERT_TRUE(onDevice("НапечататьЧекВнесенияВыемки", {Value::text(kCashier), Value::r8(6040.57)})
                    .succeeded());

    // Fiscal documents: 1 the registration, 2 the shift opening; the cash in is not one.
    for (const auto& [method, rest, documentNumber] :
         {std::tuple{"СформироватьЧек",
                     std::vector<Value>{Value::boolean(false), Value::text(kSale), Value::empty()},
                     3.0},
          std::tuple{"СформироватьЧекКоррекции",
                     std::vector<Value>{Value::text(kCorrection), Value::empty()}, 4.0}}) {
        const auto made = onDevice(method, rest);
        ASSERT_TRUE(made.succeeded()) << method << ": " << session.lastError().second;
        const auto receipt = clientRead(made.args.back().utf8(), "DocumentOutputParameters");
        ASSERT_TRUE(receipt) << made.args.back().utf8();
        EXPECT_EQ(number(*receipt, "ShiftNumber"), 1.0) << method;
        EXPECT_EQ(number(*receipt, "CheckNumber"), documentNumber) << method;
        EXPECT_GT(number(*receipt, "FiscalSign").value_or(0), 0.0) << method;
        EXPECT_TRUE(isXsDateTime(*receipt, "DateTime")) << method;
    }

    // 6040.57 put in, 180 taken for the sale (200 paid, 20 change) and 150 for the correction.
    const auto status =
        onDevice("ПолучитьТекущееСостояние", {Value::text(kCashier), Value::empty()});
    ASSERT_TRUE(status.succeeded());
    const auto state = clientRead(status.text(2), "OutputParameters");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->at("CashBalance"), "6370.57");
    EXPECT_EQ(number(*state, "CheckNumber"), 4.0);

    const auto closed = onDevice("ЗакрытьСмену", {Value::text(kCashier), Value::empty()});
    ASSERT_TRUE(closed.succeeded());
    const auto closing = clientRead(closed.text(2), "OutputParameters");
    ASSERT_TRUE(closing);
    EXPECT_EQ(closing->at("CashBalance"), "6370.57");
    EXPECT_EQ(number(*closing, "CashBalance"), 6370.57);
    EXPECT_NE(closed.text(2).find(R"(<CountersOperationType1><Parameters CheckCount="1" )"
                                  R"(TotalChecksAmount="180" CorrectionCheckCount="1" )"
                                  R"(TotalCorrectionChecksAmount="150"/>)"),
              std::string::npos)
        << closed.text(2);
}

class ClientRegistration : public ClientConventions {
protected:
    ClientRegistration() : ClientConventions(R"({"clock":1700000000,"registered":false})") {}
};

// The client writes every flag as "true" or "false" and names the online flag "IsOnline"; it
// reads each back comparing with "TRUE".
TEST_F(ClientRegistration, EveryFlagIsRegisteredAndReadBack) {
    connect();
    const Attributes table = {
        {"KKTNumber", "0000000001000002"},
        {"FNSerialNumber", "9999000000000001"},
        {"INN", "7701000001"},
        {"CompanyName", "ООО \"Ромашка\""},
        {"TaxationSystems", "0"},
        {"AgentTypes", ""},
        {"IsEncrypted", "true"},
        {"IsOffline", "false"},
        {"IsAutomatic", "false"},
        {"IsService", "true"},
        {"BSOSing", "false"},
        {"IsOnline", "true"},
        {"IsAutomaticPrinter", "false"},
        {"IsExcisable", "true"},
        {"IsGambling", "false"},
        {"IsLottery", "false"},
        {"IsMarking", "true"},
        {"IsPawnshop", "true"},
        {"IsAssurance", "true"},
        {"CashierName", "Иванова А.А."},
    };
    session.clearJournal();
    ASSERT_TRUE(
        onDevice("ОперацияФН", {Value::i4(1), Value::text(registrationTable(table))}).succeeded())
        << session.lastError().second;
    EXPECT_EQ(session.requestTextsTo("korvant3_fremu_registration"),
              std::vector<std::string>{
                  R"({"agents":0,"company_inn":"7701000001","company_name":"ООО \"Ромашка\"",)"
                  R"("fd_ext_mode":226,"fd_mode":41,"fd_serial":"9999000000000001",)"
                  R"("regnum":"0000000001000002","taxcode":1,"user_name":"Иванова А.А."})"});

    const auto data = onDevice("ПолучитьПараметрыККТ", {Value::empty()});
    ASSERT_TRUE(data.succeeded());
    const auto registered = clientRead(data.text(1), "Parameters", nullptr);
    ASSERT_TRUE(registered) << data.text(1);
    for (const char* flag : {"IsEncrypted", "IsService", "IsOnline", "IsOnlineOnly", "IsExcisable",
                             "IsMarking", "IsPawnshop", "IsAssurance", "Fiscal"}) {
        EXPECT_TRUE(isTrue(*registered, flag)) << flag;
    }
    for (const char* flag :
         {"IsOffline", "IsAutomatic", "BSOSing", "IsAutomaticPrinter", "IsGambling", "IsLottery"}) {
        EXPECT_FALSE(isTrue(*registered, flag)) << flag;
    }
}

// The time-out is stored by the client with the type it was entered in; a sale with a marking
// code shows what the driver made of it (5 to 30 seconds, 30 when it is no number).
TEST_F(ClientConventions, MarkTimeoutTakesEveryNumericType) {
    struct Case {
        Value seconds;
        int milliseconds;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<Case> cases = {
        {Value::i4(10), 10000},
        {Value::integral(VType::I8, 12), 12000},
        {Value::r8(7.9), 7000},
        {Value::r4(15.0F), 15000},
        {Value::integral(VType::UI1, 20), 20000},
        {Value::i2(0), 5000},
        {Value::r8(-3), 5000},
        {Value::integral(VType::I8, 1000000000000), 30000},
        {Value::integral(VType::UI8, -1), 30000},
        {Value::r8(infinity), 30000},
        {Value::r8(-infinity), 5000},
        {Value::r8(nan), 30000},
        {Value::boolean(true), 30000},
        {Value::empty(), 30000},
        {Value::text("8"), 8000},
    };
    connect();
    ASSERT_TRUE(onDevice("ОткрытьСмену", {Value::text(kCashier), Value::empty()}).succeeded());
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.seconds));
        ASSERT_TRUE(session.statement("УстановитьПараметр", {Value::text("MarkTimeout"), c.seconds})
                        .called);
        EXPECT_EQ(markedSaleTimeout(), c.milliseconds);
    }
}

} // namespace
} // namespace korvant::testing
