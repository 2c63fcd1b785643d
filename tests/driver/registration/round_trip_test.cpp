// A register's life as the host drives it: registered with OperationFN, read
// back with GetDataKKT, its registration changed from the table it gave back,
// and its archive closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/fixed_time_zone.h"
#include "driver/registration/registration_table.h"
#include "support/driver_session.h"

namespace korvant::testing {
namespace {

using host::Value;

constexpr const char* kKktSerial = "00106304491122334455";
constexpr const char* kFnSerial = "9960440300123456";

class RegistrationRoundTrip : public ::testing::Test {
protected:
    RegistrationRoundTrip()
        : session_(std::string(R"({"clock":1700000000,"registered":false,"serial":")") +
                   kKktSerial + R"(","fn_serial":")" + kFnSerial + R"("})") {}

    void SetUp() override {
        session_.call("SetParameter", {Value::text("Serial"), Value::text(kKktSerial)});
        session_.call("SetParameter", {Value::text("Ipaddr"), Value::text(kEmulatorAddress)});
        const auto opened = session_.call("Open", {Value::empty()});
        ASSERT_TRUE(opened.succeeded());
        device_ = opened.text(0);
    }

    bool operationFN(int type, const std::string& table) {
        return session_
            .call("OperationFN", {Value::text(device_), Value::i4(type), Value::text(table)})
            .succeeded();
    }

    std::string getData() {
        const auto result = session_.call("GetDataKKT", {Value::text(device_), Value::empty()});
        EXPECT_TRUE(result.succeeded());
        return result.text(1);
    }

    FixedTimeZone utc_{"UTC0"};
    DriverSession session_;
    std::string device_;
};

// The table in the host's own order, not the order GetDataKKT writes.
const Attributes kRegistration = {
    {"CashierName", "Сидорова Мария Петровна"},
    {"CashierINN", "772834563170"},
    {"KKTNumber", "0006329471035486"},
    {"FNSerialNumber", kFnSerial},
    {"INN", "7736207543"},
    {"CompanyName", "ООО \"Рога & Копыта\" <Филиал №3>"},
    {"SaleAddress", "119021, г. Москва, ул. Льва Толстого, д. 16, стр. 'Б'"},
    {"SaleLocation", "Торговый зал & склад"},
    {"OFDCompany", "ООО \"Такском\""},
    {"OFDCompanyINN", "7704211201"},
    {"FNSURL", "www.nalog.gov.ru"},
    {"SenderEmail", "receipts@roga-kopyta.ru"},
    {"AutomaticNumber", ""},
    {"TaxationSystems", "0,2,5"},
    {"AgentTypes", "0,1,6"},
    {"IsEncrypted", "true"},
    {"IsOffline", "false"},
    {"IsService", "1"},
    {"IsExcisable", "TRUE"},
    {"IsGambling", "false"},
    {"IsLottery", "false"},
    {"BSOSing", "false"},
    {"IsOnlineOnly", "false"},
    {"IsAutomaticPrinter", "false"},
    {"IsAutomatic", "false"},
};

TEST_F(RegistrationRoundTrip, TheRegisterGivesBackWhatWasRegisteredAndChanged) {
    ASSERT_TRUE(operationFN(1, registrationTable(kRegistration)));

    const std::string registered = getData();
    EXPECT_EQ(registered,
              registrationTable({
                  {"KKTSerialNumber", kKktSerial},
                  {"FirmwareVersion", "2.1.0"},
                  {"AgentTypes", "0,1,6"},
                  {"FNSerialNumber", kFnSerial},
                  {"KKTNumber", "0006329471035486"},
                  {"IsOffline", "false"},
                  {"IsEncrypted", "true"},
                  {"IsService", "true"},
                  {"IsExcisable", "true"},
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
                  {"TaxationSystems", "0,2,5"},
                  {"Fiscal", "true"},
                  {"CompanyName", "ООО \"Рога & Копыта\" <Филиал №3>"},
                  {"INN", "7736207543"},
                  {"SaleAddress", "119021, г. Москва, ул. Льва Толстого, д. 16, стр. 'Б'"},
                  {"SaleLocation", "Торговый зал & склад"},
                  {"OFDCompany", "ООО \"Такском\""},
                  {"OFDCompanyINN", "7704211201"},
                  {"FNSURL", "www.nalog.gov.ru"},
                  {"SenderEmail", "receipts@roga-kopyta.ru"},
                  {"AutomaticNumber", ""},
                  {"DocumentNumber", "1"},
                  {"DateTime", "2023-11-14T22:13:20"},
                  {"FFDVersionKKT", "1.0.5"},
                  {"FFDVersionFN", "1.1"},
              }));

    // The host edits the table it was given and sends it back as a change.
    session_.clearJournal();
    ASSERT_TRUE(
        operationFN(2, withAttributes(registered, {{"SaleAddress", "г. Казань, ул. Баумана, д. 5"},
                                                   {"IsAutomatic", "true"},
                                                   {"AutomaticNumber", "A-0042"},
                                                   {"RegistrationReasonCode", "2"},
                                                   {"CashierName", "Сидорова М. П."}})));
    EXPECT_EQ(
        session_.requestTextsTo("korvant3_fremu_registration"),
        std::vector<std::string>{
            R"({"agents":67,"automat_number":"A-0042","company_inn":"7736207543",)"
            R"("company_name":"ООО \"Рога & Копыта\" <Филиал №3>","fd_ext_mode":2,)"
            R"("fd_mode":13,"fd_serial":"9960440300123456","fns_site":"www.nalog.gov.ru",)"
            R"("ofd_inn":"7704211201","ofd_name":"ООО \"Такском\"","reg_reason":2,)"
            R"("regnum":"0006329471035486","sale_address":"г. Казань, ул. Баумана, д. 5",)"
            R"("sale_location":"Торговый зал & склад","sender_email":"receipts@roga-kopyta.ru",)"
            R"("taxcode":37,"user_name":"Сидорова М. П."})"});

    const std::string changed = getData();
    EXPECT_EQ(xmlAttribute(changed, "Parameters", "SaleAddress"), "г. Казань, ул. Баумана, д. 5");
    EXPECT_EQ(xmlAttribute(changed, "Parameters", "IsAutomatic"), "true");
    EXPECT_EQ(xmlAttribute(changed, "Parameters", "AutomaticNumber"), "A-0042");
    EXPECT_EQ(xmlAttribute(changed, "Parameters", "DocumentNumber"), "2");
    EXPECT_EQ(xmlAttribute(changed, "Parameters", "CompanyName"),
              "ООО \"Рога & Копыта\" <Филиал №3>");

    ASSERT_TRUE(operationFN(3, registrationTable({{"CashierName", "Сидорова М. П."}})));
    EXPECT_EQ(xmlAttribute(getData(), "Parameters", "Fiscal"), "false");
}

} // namespace
} // namespace korvant::testing
