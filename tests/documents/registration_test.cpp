#include "documents/registration_parameters.h"
#include "documents/registration_table_writer.h"

#include "fixed_time_zone.h"

#include <gtest/gtest.h>

using namespace korvant;

TEST(Registration, BitLists) {
    const struct {
        const char* text;
        uint8_t mask;
    } cases[] = {
        {"0,3", 0x09}, {"0,,3", 0x09}, {",0,3,", 0x09}, {"9", 0x00},  {"", 0x00},
        {"7", 0x80},   {"-1,8", 0x00}, {"x,2", 0x04},   {" 1", 0x02}, {"0,1,2,3,4,5,6,7", 0xFF},
        {",,,", 0x00},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readBitList(c.text), c.mask) << '"' << c.text << '"';
    }
    EXPECT_EQ(formatBitList(0x09), "0,3");
    EXPECT_EQ(formatBitList(0x00), "");
    EXPECT_EQ(formatBitList(0xFF), "0,1,2,3,4,5,6,7");
}

TEST(Registration, Booleans) {
    const struct {
        const char* text;
        bool value;
    } cases[] = {
        {"1", true},    {"TRUE", true}, {"True", true},   {"true", true}, {"-3", true},
        {"yes", false}, {"0", false},   {"false", false}, {"", false},    {"tRue", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readRegistrationBool(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Registration, FfdVersionMappings) {
    EXPECT_EQ(kktFfdVersionText(1), "1.0");
    EXPECT_EQ(kktFfdVersionText(2), "1.0.5");
    EXPECT_EQ(kktFfdVersionText(3), "1.1");
    EXPECT_EQ(kktFfdVersionText(4), std::nullopt);
    EXPECT_EQ(fnFfdVersionText(1), "1.0");
    EXPECT_EQ(fnFfdVersionText(2), "1.1");
    EXPECT_EQ(fnFfdVersionText(3), "1.1");
    EXPECT_EQ(fnFfdVersionText(0), std::nullopt);
}

TEST(Registration, WriterKeepsOrderAndEncodings) {
    FixedTimeZone zone("UTC");
    RegistrationTableWriter writer;
    writer.setText(registration_attr::KKTSerialNumber, "0001");
    writer.setBitList(registration_attr::AgentTypes, 0x09);
    writer.setBool(registration_attr::IsOffline, true);
    writer.setBitList(registration_attr::TaxationSystems, 0);
    writer.setNumber(registration_attr::DocumentNumber, 17);
    writer.setDateTime(registration_attr::DateTime, 1709629620);
    writer.setKktFfdVersion(4);
    writer.setFnFfdVersion(3);
    EXPECT_EQ(writer.text(), R"(<?xml version="1.0" encoding="UTF-8"?><Parameters )"
                             R"(KKTSerialNumber="0001" AgentTypes="0,3" IsOffline="true" )"
                             R"(TaxationSystems="" DocumentNumber="17" )"
                             R"(DateTime="2024-03-05T09:07:00" FFDVersionFN="1.1"/>)");
}

TEST(Registration, ReaderTakesTheAttributesOfTheFirstElement) {
    FixedTimeZone zone("UTC");
    const auto record = readRegistrationParameters(
        R"(<Table KKTSerialNumber="0001" AgentTypes=",0,3," FNSerialNumber="fn" KKTNumber="rn" )"
        R"(IsOffline="TRUE" IsEncrypted="yes" IsService="1" BSOSing="0" IsAssurance="2" )"
        R"(TaxationSystems="0,,3" Fiscal="True" CompanyName="ООО &quot;Р&quot;" INN="77" )"
        R"(FNSURL="nalog" DocumentNumber="12x" DateTime="2024-03-05T09:07:00" )"
        R"(FFDVersionKKT="1.0.5" RegistrationReasonCode="4" CashierName="c" CashierINN="ci">)"
        R"(<Parameters CompanyName="child, not read"/></Table>)");
    EXPECT_EQ(record.kktSerialNumber, "0001");
    EXPECT_EQ(record.agentTypes, 0x09);
    EXPECT_EQ(record.fnSerialNumber, "fn");
    EXPECT_EQ(record.kktNumber, "rn");
    EXPECT_TRUE(record.isOffline);
    EXPECT_FALSE(record.isEncrypted);
    EXPECT_TRUE(record.isService);
    EXPECT_FALSE(record.bsoSing);
    EXPECT_TRUE(record.isAssurance);
    EXPECT_FALSE(record.isGambling);
    EXPECT_EQ(record.taxationSystems, 0x09);
    EXPECT_TRUE(record.fiscal);
    EXPECT_EQ(record.companyName, "ООО \"Р\"");
    EXPECT_EQ(record.inn, "77");
    EXPECT_EQ(record.fnsUrl, "nalog");
    EXPECT_EQ(record.documentNumber, 12);
    EXPECT_EQ(record.dateTime, 1709629620);
    EXPECT_EQ(record.ffdVersionKkt, "1.0.5");
    EXPECT_EQ(record.registrationReasonCode, 4);
    EXPECT_EQ(record.cashierName, "c");
    EXPECT_EQ(record.cashierInn, "ci");
}

TEST(Registration, MalformedTextGivesStartValues) {
    for (const char* text : {"", "<Parameters IsOffline=\"1\"", "plain text"}) {
        const auto record = readRegistrationParameters(text);
        EXPECT_FALSE(record.isOffline) << text;
        EXPECT_EQ(record.kktSerialNumber, "") << text;
        EXPECT_EQ(record.dateTime, 0) << text;
    }
}
