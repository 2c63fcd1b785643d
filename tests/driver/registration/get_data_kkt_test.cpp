// GetDataKKT end to end: the register's registration data as the host receives
// it, built from get_info, get_state and get_fdstate.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "documents/fixed_time_zone.h"
#include "driver/registration/registration_table.h"
#include "support/driver_session.h"

namespace korvant::testing {
namespace {

using host::Value;

const std::vector<std::string> kThreeCalls = {"korvant3_get_info", "korvant3_get_state",
                                              "korvant3_get_fdstate"};

// The emulator's default register: registered on 2023-11-13 22:13:20 UTC with its
// demonstration owner, every taxation system and agent type but no special mode.
const Attributes kDefaultRegister = {
    {"KKTSerialNumber", "0000000000000001"},
    {"FirmwareVersion", "2.1.0"},
    {"AgentTypes", "0,1,2,3,4,5,6"},
    {"FNSerialNumber", "9999000000000001"},
    {"KKTNumber", "0000000001000001"},
    {"IsOffline", "false"},
    {"IsEncrypted", "false"},
    {"IsService", "false"},
    {"IsExcisable", "false"},
    {"IsGambling", "false"},
    {"IsLottery", "false"},
    {"BSOSing", "false"},
    {"IsOnlineOnly", "false"},
    {"IsOnline", "false"},
    {"IsAutomaticPrinter", "false"},
    {"IsAutomatic", "false"},
    {"IsMarking", "false"},
    {"IsPawnshop", "false"},
    {"IsAssurance", "false"},
    {"TaxationSystems", "0,1,2,3,4,5"},
    {"Fiscal", "true"},
    {"CompanyName", "ООО \"Ромашка\""},
    {"INN", "7701000001"},
    {"SaleAddress", "г. Москва, ул. Примерная, д. 1"},
    {"SaleLocation", "Магазин"},
    {"OFDCompany", "ООО \"Оператор фискальных данных\""},
    {"OFDCompanyINN", "7702000002"},
    {"FNSURL", "www.nalog.gov.ru"},
    {"SenderEmail", "kkt@example.com"},
    {"AutomaticNumber", ""},
    {"DocumentNumber", "1"},
    {"DateTime", "2023-11-13T22:13:20"},
    {"FFDVersionKKT", "1.0.5"},
    {"FFDVersionFN", "1.1"},
};

class GetDataKKT : public ::testing::Test {
protected:
    // The DateTime attribute is local time: pin it.
    FixedTimeZone utc_{"UTC0"};

    // Opens the device, adds the fault `rule` when one is given, and asks for
    // the table; the out argument starts as "as passed" so that a failure can
    // be seen to leave it alone.
    host::CallResult getData(DriverSession& session, const std::string& rule = {}) {
        EXPECT_FALSE(session.open().empty());
        session.clearJournal();
        if (!rule.empty()) {
            session.inject(rule);
        }
        return session.call("GetDataKKT",
                            {Value::text(session.device()), Value::text("as passed")});
    }
};

TEST_F(GetDataKKT, HandsBackTheRegisteredRegisterInTableOrder) {
    DriverSession session;
    const auto result = getData(session);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(result.text(1), registrationTable(kDefaultRegister));
    EXPECT_EQ(session.calls(), kThreeCalls);
    EXPECT_EQ(session.lastError().first, 0);
}

TEST_F(GetDataKKT, UnregisteredRegisterStillGivesEveryAttribute) {
    DriverSession session(R"({"clock":1700000000,"registered":false})");
    const auto result = getData(session);
    ASSERT_TRUE(result.succeeded());
    // The default register's table, every registration value empty or zero.
    EXPECT_EQ(result.text(1), withAttributes(registrationTable(kDefaultRegister),
                                             {{"AgentTypes", ""},
                                              {"KKTNumber", ""},
                                              {"TaxationSystems", ""},
                                              {"Fiscal", "false"},
                                              {"CompanyName", ""},
                                              {"INN", ""},
                                              {"SaleAddress", ""},
                                              {"SaleLocation", ""},
                                              {"OFDCompany", ""},
                                              {"OFDCompanyINN", ""},
                                              {"FNSURL", ""},
                                              {"SenderEmail", ""},
                                              {"DocumentNumber", "0"},
                                              {"DateTime", "1970-01-01T00:00:00"}}));
}

// The fourteen mode flags in table order, and where the register keeps each.
struct ModeCase {
    int fdMode;
    int fdExtMode;
    // IsOffline, IsEncrypted, IsService, IsExcisable, IsGambling, IsLottery,
    // BSOSing, IsOnlineOnly, IsOnline, IsAutomaticPrinter, IsAutomatic,
    // IsMarking, IsPawnshop, IsAssurance
    std::array<bool, 14> flags;
};

void PrintTo(const ModeCase& mode, std::ostream* out) {
    *out << "fd_mode " << mode.fdMode << ", fd_ext_mode " << mode.fdExtMode;
}

constexpr std::array<const char*, 14> kFlagNames = {
    "IsOffline",   "IsEncrypted", "IsService",    "IsExcisable", "IsGambling",
    "IsLottery",   "BSOSing",     "IsOnlineOnly", "IsOnline",    "IsAutomaticPrinter",
    "IsAutomatic", "IsMarking",   "IsPawnshop",   "IsAssurance"};

class GetDataKKTModes : public GetDataKKT, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(GetDataKKTModes, FlagsComeFromTheirBits) {
    const ModeCase& mode = GetParam();
    DriverSession session(R"({"clock":1700000000,"registration":{"fd_mode":)" +
                          std::to_string(mode.fdMode) + R"(,"fd_ext_mode":)" +
                          std::to_string(mode.fdExtMode) + "}}");
    const auto result = getData(session);
    ASSERT_TRUE(result.succeeded());
    for (size_t i = 0; i < kFlagNames.size(); ++i) {
        EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", kFlagNames[i]),
                  mode.flags[i] ? "true" : "false")
            << kFlagNames[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Registration, GetDataKKTModes,
                         ::testing::Values(
                             // Automatic mode with encryption.
                             ModeCase{0x05, 0x00, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}},
                             ModeCase{0x3A, 0x00, {1, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0}},
                             ModeCase{0x00, 0xEF, {0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 0, 1, 1, 1}},
                             // Bits that carry no flag.
                             ModeCase{0xC0, 0x10, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}));

struct BitListCase {
    int taxcode;
    int agents;
    const char* taxationSystems;
    const char* agentTypes;
};

void PrintTo(const BitListCase& lists, std::ostream* out) {
    *out << "taxcode " << lists.taxcode << ", agents " << lists.agents;
}

class GetDataKKTBitLists : public GetDataKKT, public ::testing::WithParamInterface<BitListCase> {};

TEST_P(GetDataKKTBitLists, ListTheSetBitsLowestFirst) {
    const BitListCase& lists = GetParam();
    DriverSession session(R"({"clock":1700000000,"registration":{"taxcode":)" +
                          std::to_string(lists.taxcode) + R"(,"agents":)" +
                          std::to_string(lists.agents) + "}}");
    const auto result = getData(session);
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", "TaxationSystems"), lists.taxationSystems);
    EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", "AgentTypes"), lists.agentTypes);
}

INSTANTIATE_TEST_SUITE_P(Registration, GetDataKKTBitLists,
                         ::testing::Values(BitListCase{0, 0, "", ""},
                                           BitListCase{0x09, 0x80, "0,3", "7"},
                                           BitListCase{0xFF, 0x42, "0,1,2,3,4,5,6,7", "1,6"}));

struct FfdCase {
    int kkt;
    int fn;
    std::optional<std::string> kktText;
    std::optional<std::string> fnText;
};

void PrintTo(const FfdCase& ffd, std::ostream* out) {
    *out << "kkt_ffd_version " << ffd.kkt << ", ffd_version " << ffd.fn;
}

class GetDataKKTFfd : public GetDataKKT, public ::testing::WithParamInterface<FfdCase> {};

TEST_P(GetDataKKTFfd, VersionsAreNamedOrLeftOut) {
    const FfdCase& ffd = GetParam();
    DriverSession session;
    const auto result =
        getData(session, answerRule("korvant3_get_fdstate",
                                    R"({"response":0,"data":{"fd_reg_document":70000,)"
                                    R"("fd_reg_date":1700000000,"kkt_ffd_version":)" +
                                        std::to_string(ffd.kkt) + R"(,"ffd_version":)" +
                                        std::to_string(ffd.fn) + "}}"));
    ASSERT_TRUE(result.succeeded());
    EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", "DocumentNumber"), "70000");
    EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", "DateTime"), "2023-11-14T22:13:20");
    EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", "FFDVersionKKT"), ffd.kktText);
    EXPECT_EQ(xmlAttribute(result.text(1), "Parameters", "FFDVersionFN"), ffd.fnText);
}

INSTANTIATE_TEST_SUITE_P(Registration, GetDataKKTFfd,
                         ::testing::Values(FfdCase{1, 1, "1.0", "1.0"},
                                           FfdCase{2, 2, "1.0.5", "1.1"},
                                           FfdCase{3, 3, "1.1", "1.1"},
                                           FfdCase{4, 0, std::nullopt, std::nullopt},
                                           FfdCase{0, 4, std::nullopt, std::nullopt}));

TEST_F(GetDataKKT, StateAnswerCodesThatAreNotRefusalsStillFillTheTable) {
    for (const int response : {2, 3, 9}) {
        DriverSession session;
        const auto result = getData(session, R"({"function":"korvant3_get_state","call":1,)"
                                             R"("response":)" +
                                                 std::to_string(response) + R"(,"extended":113})");
        EXPECT_TRUE(result.succeeded()) << "R " << response;
        EXPECT_EQ(result.text(1), registrationTable(kDefaultRegister)) << "R " << response;
        EXPECT_EQ(session.lastError().first, 0) << "R " << response;
    }
}

struct FailureCase {
    const char* function;
    const char* fault; // the rule's members besides "function"
    int code;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.function << " " << failure.fault;
}

class GetDataKKTFailures : public GetDataKKT, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(GetDataKKTFailures, RecordTheCodeAndHandNothingBack) {
    const FailureCase& failure = GetParam();
    DriverSession session;
    const auto result = getData(session, std::string(R"({"call":1,"function":")") +
                                             failure.function + "\"," + failure.fault + "}");
    ASSERT_TRUE(result.called);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.text(1), "as passed");
    EXPECT_EQ(session.lastError().first, failure.code);
    // Nothing is asked after the call that failed.
    const auto calls = session.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), failure.function);
}

INSTANTIATE_TEST_SUITE_P(
    Registration, GetDataKKTFailures,
    ::testing::Values(
        FailureCase{"korvant3_get_info", R"("result":-1)", 3},
        FailureCase{"korvant3_get_info", R"("response":7)", 8},
        FailureCase{"korvant3_get_info", R"("answer":"not json")", 1},
        FailureCase{"korvant3_get_state", R"("result":-1)", 3},
        FailureCase{"korvant3_get_state", R"("result":-8)", 1},
        FailureCase{"korvant3_get_state", R"("response":1)", 1},
        FailureCase{"korvant3_get_state", R"("response":4)", 2},
        FailureCase{"korvant3_get_state", R"("response":7)", 8},
        FailureCase{"korvant3_get_state", R"("answer":"{\"data\":{\"fd_mode\":\"5\"}}")", 1},
        FailureCase{"korvant3_get_fdstate", R"("response":7)", 8},
        FailureCase{"korvant3_get_fdstate", R"("answer":"[1,2]")", 1},
        // Answers that say nothing are no registration data.
        FailureCase{"korvant3_get_info", R"("answer":"{\"data\":{}}")", 1},
        FailureCase{"korvant3_get_state", R"("answer":"{\"data\":null}")", 1},
        FailureCase{"korvant3_get_state", R"("answer":"{\"data\":{\"dev_context\":256}}")", 1},
        FailureCase{"korvant3_get_fdstate", R"("answer":"{\"response\":0}")", 1}));

TEST_F(GetDataKKT, AnotherDeviceIsNotAsked) {
    DriverSession session;
    ASSERT_FALSE(session.open().empty());
    session.clearJournal();
    const auto result =
        session.call("GetDataKKT", {Value::text("korvant999"), Value::text("as passed")});
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(result.text(1), "as passed");
    EXPECT_EQ(session.lastError().first, 3);
    EXPECT_TRUE(session.calls().empty());
}

} // namespace
} // namespace korvant::testing
