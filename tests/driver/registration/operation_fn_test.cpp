// OperationFN end to end: the exact requests the register receives for a
// registration, a change of registration and the closing of the archive.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "driver/registration/registration_table.h"
#include "support/driver_session.h"

namespace korvant::testing::operation_fn_test {
namespace {

using host::Value;

constexpr const char* kRegistered = R"({"clock":1700000000})";
constexpr const char* kUnregistered = R"({"clock":1700000000,"registered":false})";
constexpr const char* kRegistration = "korvant3_fremu_registration";
constexpr const char* kCloseArchive = "korvant3_fremu_close_archive";

// Every attribute of the table, the ones OperationFN does not send included.
// Modes: IsEncrypted and IsAutomatic (fd_mode 5); IsExcisable, IsMarking,
// IsPawnshop and IsAssurance (fd_ext_mode 0xE2).
const Attributes kFullTable = {
    {"KKTSerialNumber", "00106304491122334455"},
    {"FirmwareVersion", "3.0"},
    {"AgentTypes", "1,3"},
    {"FNSerialNumber", "9999000000000001"},
    {"KKTNumber", "0000000002012345"},
    {"IsOffline", "false"},
    {"IsEncrypted", "true"},
    {"IsService", "false"},
    {"IsExcisable", "true"},
    {"IsGambling", "false"},
    {"IsLottery", "false"},
    {"BSOSing", "false"},
    {"IsOnlineOnly", "false"},
    {"IsAutomaticPrinter", "false"},
    {"IsAutomatic", "true"},
    {"IsMarking", "true"},
    {"IsPawnshop", "true"},
    {"IsAssurance", "true"},
    {"TaxationSystems", "0,2"},
    {"Fiscal", "true"},
    {"CompanyName", "ООО \"Рога & Копыта\""},
    {"INN", "7712345678"},
    {"SaleAddress", "г. Москва, ул. Тверская, д. 7 <стр. 2>"},
    {"SaleLocation", "Торговый зал №1"},
    {"OFDCompany", "АО \"ОФД & Ко\""},
    {"OFDCompanyINN", "7709876543"},
    {"FNSURL", "www.nalog.gov.ru"},
    {"SenderEmail", "cheki@roga-kopyta.ru"},
    {"AutomaticNumber", "AV-000123"},
    {"DocumentNumber", "15"},
    {"DateTime", "2023-11-14T10:00:00"},
    {"FFDVersionKKT", "1.1"},
    {"FFDVersionFN", "1.1"},
    {"RegistrationReasonCode", "4"},
    {"RegistrationLabelCodes", "1,2"},
    {"CashierName", "Иванова А. П."},
    {"CashierINN", "500100732259"},
};

constexpr const char* kFullRegistration =
    R"({"agents":10,"automat_number":"AV-000123","company_inn":"7712345678",)"
    R"("company_name":"ООО \"Рога & Копыта\"","fd_ext_mode":226,"fd_mode":5,)"
    R"("fd_serial":"9999000000000001","fns_site":"www.nalog.gov.ru","ofd_inn":"7709876543",)"
    R"("ofd_name":"АО \"ОФД & Ко\"","regnum":"0000000002012345",)"
    R"("sale_address":"г. Москва, ул. Тверская, д. 7 <стр. 2>","sale_location":"Торговый зал №1",)"
    R"("sender_email":"cheki@roga-kopyta.ru","taxcode":5,"user_inn":"500100732259",)"
    R"("user_name":"Иванова А. П."})";

constexpr const char* kFullChange =
    R"({"agents":10,"automat_number":"AV-000123","company_inn":"7712345678",)"
    R"("company_name":"ООО \"Рога & Копыта\"","fd_ext_mode":226,"fd_mode":5,)"
    R"("fd_serial":"9999000000000001","fns_site":"www.nalog.gov.ru","ofd_inn":"7709876543",)"
    R"("ofd_name":"АО \"ОФД & Ко\"","reg_reason":4,"regnum":"0000000002012345",)"
    R"("sale_address":"г. Москва, ул. Тверская, д. 7 <стр. 2>","sale_location":"Торговый зал №1",)"
    R"("sender_email":"cheki@roga-kopyta.ru","taxcode":5,"user_inn":"500100732259",)"
    R"("user_name":"Иванова А. П."})";

// Opens the device on a register configured with `config`, adds `rule` when
// given, and calls OperationFN with `type` and `table`.
host::CallResult operationFN(DriverSession& session, const Value& type, const std::string& table,
                             const std::string& rule = {}) {
    EXPECT_FALSE(session.open().empty());
    session.clearJournal();
    if (!rule.empty()) {
        session.inject(rule);
    }
    return session.call("OperationFN", {Value::text(session.device()), type, Value::text(table)});
}

struct TypeCase {
    const char* name;
    const char* config;
    Value type;
    const char* function; // null: nothing may be sent
    const char* request;
    int code;
};

void PrintTo(const TypeCase& operation, std::ostream* out) {
    *out << operation.name;
}

class OperationFNTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(OperationFNTypes, SendExactlyTheirRequest) {
    const TypeCase& operation = GetParam();
    DriverSession session(operation.config);
    const std::string table = registrationTable(kFullTable);
    const auto result = operationFN(session, operation.type, table);
    ASSERT_TRUE(result.called);
    EXPECT_EQ(result.succeeded(), operation.code == 0);
    EXPECT_EQ(session.lastError().first, operation.code);
    EXPECT_EQ(result.text(2), table); // nothing is written back
    if (operation.function == nullptr) {
        EXPECT_TRUE(session.calls().empty());
        return;
    }
    EXPECT_EQ(session.calls(), std::vector<std::string>{operation.function});
    EXPECT_EQ(session.requestTextsTo(operation.function),
              std::vector<std::string>{operation.request});
}

INSTANTIATE_TEST_SUITE_P(
    Registration, OperationFNTypes,
    ::testing::Values(
        // A first registration never carries a reason, even when the table has one.
        TypeCase{"Register", kUnregistered, Value::i4(1), kRegistration, kFullRegistration, 0},
        TypeCase{"ChangeRegistration", kRegistered, Value::i4(2), kRegistration, kFullChange, 0},
        TypeCase{"CloseArchive", kRegistered, Value::i4(3), kCloseArchive,
                 R"({"user_inn":"500100732259","user_name":"Иванова А. П."})", 0},
        TypeCase{"Zero", kRegistered, Value::i4(0), nullptr, nullptr, 9},
        TypeCase{"Four", kRegistered, Value::i4(4), nullptr, nullptr, 9},
        TypeCase{"Negative", kRegistered, Value::i4(-1), nullptr, nullptr, 9},
        // The type is a 1C number: any numeric host type holding 1, 2 or 3 names it.
        TypeCase{"ShortInteger", kRegistered, Value::i2(3), kCloseArchive,
                 R"({"user_inn":"500100732259","user_name":"Иванова А. П."})", 0},
        TypeCase{"LongInteger", kRegistered, Value::integral(host::VType::I8, 3), kCloseArchive,
                 R"({"user_inn":"500100732259","user_name":"Иванова А. П."})", 0},
        TypeCase{"WholeReal", kUnregistered, Value::r8(1.0), kRegistration, kFullRegistration, 0},
        TypeCase{"Fraction", kRegistered, Value::r8(2.5), nullptr, nullptr, 9},
        // A type given as text names no operation.
        TypeCase{"Text", kUnregistered, Value::text("1"), nullptr, nullptr, 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OperationFN, ChangeWithoutReasonSendsReasonZeroAndLeavesEmptyTextsOut) {
    DriverSession session(kRegistered);
    const auto result = operationFN(session, Value::i4(2),
                                    registrationTable({{"KKTNumber", "0000000001000001"},
                                                       {"INN", "7701000001"},
                                                       {"CompanyName", ""},
                                                       {"TaxationSystems", "0"}}));
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(session.requestTextsTo(kRegistration),
              std::vector<std::string>{R"({"agents":0,"company_inn":"7701000001","fd_ext_mode":0,)"
                                       R"("fd_mode":0,"reg_reason":0,"regnum":"0000000001000001",)"
                                       R"("taxcode":1})"});
}

TEST(OperationFN, IsOnlineOnlyWhenGivenWinsOverIsOnline) {
    for (const auto& [onlineOnly, online, fdMode] :
         {std::tuple{"false", "true", 0}, std::tuple{"true", "false", 0x20}}) {
        DriverSession session(kRegistered);
        operationFN(session, Value::i4(2),
                    registrationTable({{"IsOnline", online}, {"IsOnlineOnly", onlineOnly}}));
        const auto requests = session.requestsTo(kRegistration);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0]["fd_mode"], fdMode) << "IsOnlineOnly " << onlineOnly;
    }
}

TEST(OperationFN, CloseArchiveSendsOnlyTheCashierMembersGiven) {
    struct Case {
        Attributes table;
        const char* request;
    };
    const std::vector<Case> cases = {
        {{{"CompanyName", "ООО \"Ромашка\""}, {"TaxationSystems", "0"}}, "null"},
        {{{"CashierName", "Петров"}, {"KKTNumber", "1"}}, R"({"user_name":"Петров"})"},
        {{{"CashierINN", "500100732259"}}, R"({"user_inn":"500100732259"})"},
    };
    for (const Case& c : cases) {
        DriverSession session(kRegistered);
        const auto result = operationFN(session, Value::i4(3), registrationTable(c.table));
        EXPECT_TRUE(result.succeeded()) << c.request;
        EXPECT_EQ(session.requestTextsTo(kCloseArchive), std::vector<std::string>{c.request});
    }
}

// A table cut short is no table: nothing of it reaches the register.
TEST(OperationFN, MalformedTableIsRefusedWithNothingSent) {
    DriverSession session(kUnregistered);
    const auto result = operationFN(session, Value::i4(1), "<Parameters KKTNumber=");
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(session.lastError().first, 9);
    EXPECT_TRUE(session.requestTextsTo(kRegistration).empty());
}

// An empty table is no table either, and every member keeps its default: the
// register refuses a registration without its numbers.
TEST(OperationFN, EmptyTableSendsOnlyTheAlwaysPresentMembers) {
    DriverSession session(kUnregistered);
    const auto result = operationFN(session, Value::i4(1), "");
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(session.lastError().first, 9);
    EXPECT_EQ(session.requestTextsTo(kRegistration),
              std::vector<std::string>{R"({"agents":0,"fd_ext_mode":0,"fd_mode":0,"taxcode":0})"});
}

// One attribute as the host may write it, and the four numbers it leads to.
struct VariantCase {
    const char* attribute;
    const char* value;
    int taxcode;
    int agents;
    int fdMode;
    int fdExtMode;
};

void PrintTo(const VariantCase& variant, std::ostream* out) {
    *out << variant.attribute << "=\"" << variant.value << "\"";
}

class OperationFNVariants : public ::testing::TestWithParam<VariantCase> {};

TEST_P(OperationFNVariants, ReachTheRequestAsTheirBits) {
    const VariantCase& variant = GetParam();
    DriverSession session(kRegistered);
    operationFN(session, Value::i4(2), registrationTable({{variant.attribute, variant.value}}));
    const auto requests = session.requestsTo(kRegistration);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]["taxcode"], variant.taxcode);
    EXPECT_EQ(requests[0]["agents"], variant.agents);
    EXPECT_EQ(requests[0]["fd_mode"], variant.fdMode);
    EXPECT_EQ(requests[0]["fd_ext_mode"], variant.fdExtMode);
}

INSTANTIATE_TEST_SUITE_P(
    Registration, OperationFNVariants,
    ::testing::Values(VariantCase{"TaxationSystems", ",0,,3,", 9, 0, 0, 0},
                      VariantCase{"TaxationSystems", "9", 0, 0, 0, 0},
                      VariantCase{"TaxationSystems", "7,8,-1", 128, 0, 0, 0},
                      VariantCase{"IsOffline", "true", 0, 0, 0x02, 0},
                      VariantCase{"IsOffline", "TRUE", 0, 0, 0x02, 0},
                      VariantCase{"IsOffline", "yes", 0, 0, 0, 0},
                      VariantCase{"IsOffline", "tRUE", 0, 0, 0, 0},
                      VariantCase{"IsEncrypted", "true", 0, 0, 0x01, 0},
                      VariantCase{"IsAutomatic", "true", 0, 0, 0x04, 0},
                      VariantCase{"IsService", "true", 0, 0, 0x08, 0},
                      VariantCase{"BSOSing", "true", 0, 0, 0x10, 0},
                      VariantCase{"IsOnlineOnly", "true", 0, 0, 0x20, 0},
                      VariantCase{"IsAutomaticPrinter", "true", 0, 0, 0, 0x01},
                      VariantCase{"IsExcisable", "true", 0, 0, 0, 0x02},
                      VariantCase{"IsGambling", "true", 0, 0, 0, 0x04},
                      VariantCase{"IsLottery", "true", 0, 0, 0, 0x08},
                      VariantCase{"IsMarking", "true", 0, 0, 0, 0x20},
                      VariantCase{"IsPawnshop", "true", 0, 0, 0, 0x40},
                      VariantCase{"IsAssurance", "true", 0, 0, 0, 0x80},
                      // The name other clients give IsOnlineOnly, read when that is absent.
                      VariantCase{"IsOnline", "true", 0, 0, 0x20, 0},
                      VariantCase{"IsOnline", "false", 0, 0, 0, 0}));

struct FailureCase {
    const char* name;
    const char* config;
    int type;
    const char* rule; // empty: the register's own refusal
    int code;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.name;
}

class OperationFNFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(OperationFNFailures, RecordTheCode) {
    const FailureCase& failure = GetParam();
    DriverSession session(failure.config);
    const auto result =
        operationFN(session, Value::i4(failure.type), registrationTable(kFullTable), failure.rule);
    ASSERT_TRUE(result.called);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(session.lastError().first, failure.code);
}

INSTANTIATE_TEST_SUITE_P(
    Registration, OperationFNFailures,
    ::testing::Values(
        FailureCase{"AlreadyRegistered", kRegistered, 1, "", 14},
        FailureCase{"ChangeOfUnregistered", kUnregistered, 2, "", 6},
        FailureCase{"CloseArchiveOfUnregistered", kUnregistered, 3, "", 6},
        FailureCase{"RequestRefused", kUnregistered, 1,
                    R"({"function":"korvant3_fremu_registration","call":1,"result":-8})", 9},
        FailureCase{"NoConnection", kRegistered, 3,
                    R"({"function":"korvant3_fremu_close_archive","call":1,"result":-1})", 3},
        FailureCase{"RefusedAtTheEnd", kRegistered, 2,
                    R"({"function":"korvant3_fremu_registration","call":1,"response":3,)"
                    R"("extended":113,"at":"end"})",
                    14},
        FailureCase{"IncompatibleAtTheStart", kRegistered, 3,
                    R"({"function":"korvant3_fremu_close_archive","call":1,"response":7})", 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OperationFN, WaitsForABusyRegister) {
    DriverSession session(kUnregistered);
    const auto result = operationFN(session, Value::i4(1), registrationTable(kFullTable),
                                    R"({"function":"korvant3_fremu_registration","call":1,)"
                                    R"("busy_polls":3})");
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(session.lastError().first, 0);
}

TEST(OperationFN, AnotherDeviceIsNotAsked) {
    DriverSession session(kRegistered);
    ASSERT_FALSE(session.open().empty());
    session.clearJournal();
    const auto result = session.call("OperationFN", {Value::text("korvant999"), Value::i4(3),
                                                     Value::text(registrationTable(kFullTable))});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(session.lastError().first, 3);
    EXPECT_TRUE(session.calls().empty());
}

} // namespace
} // namespace korvant::testing::operation_fn_test
