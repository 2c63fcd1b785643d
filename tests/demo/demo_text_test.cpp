// The demonstration's own text handling: columns counted in characters, money and durations
// written without the process locale, and the registration table filled in place.

#include "host/demo/demo_format.h"
#include "host/demo/xml_elements.h"
#include "support/process_locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace korvant::host {
namespace {

TEST(DemoFormat, ColumnsCountCharactersNotBytes) {
    EXPECT_EQ(padded("Подключить", 12), "Подключить  ");
    EXPECT_EQ(padded("ОтчетОТекущемСостоянииРасчетов", 10), "ОтчетОТекущемСостоянииРасчетов");
    EXPECT_EQ(rightAligned("0.5 мс", 9), "   0.5 мс");
}

TEST(DemoFormat, MoneyAndDurationsKeepThePointUnderARussianLocale) {
    const korvant::testing::KeptProcessLocale kept;
    if (std::setlocale(LC_ALL, "ru_RU.UTF-8") == nullptr) {
        GTEST_SKIP() << "no ru_RU.UTF-8 locale on this machine";
    }
    EXPECT_EQ(moneyText(1109.0000000000002), "1109.00");
    EXPECT_EQ(moneyText(100.09999999999999), "100.10");
    EXPECT_EQ(moneyText(-0.001), "0.00");
    EXPECT_EQ(durationText(std::chrono::microseconds(40)), "0.04 мс");
    EXPECT_EQ(durationText(std::chrono::microseconds(12345)), "12.3 мс");
    EXPECT_EQ(durationText(std::chrono::milliseconds(1250)), "1.25 с");
    EXPECT_EQ(decimalValue("800.25"), 800.25);
}

TEST(DemoFormat, OnlyAWholeNumberIsADecimalValue) {
    EXPECT_EQ(decimalValue("-3"), -3.0);
    EXPECT_FALSE(decimalValue("12abc"));
    EXPECT_FALSE(decimalValue(""));
    EXPECT_FALSE(decimalValue("800,25"));
}

TEST(XmlElements, RootAttributesAreReplacedInPlaceAndNewOnesAppended) {
    const std::string table =
        R"(<?xml version="1.0" encoding="UTF-8"?><Parameters KKTSerialNumber="0021" INN="" Fiscal="false"/>)";
    EXPECT_EQ(
        withRootAttributes(table, {{"INN", "7714123456"}, {"CompanyName", "ООО «Лавка» & Co"}}),
        R"(<?xml version="1.0" encoding="UTF-8"?><Parameters KKTSerialNumber="0021" )"
        R"(INN="7714123456" Fiscal="false" CompanyName="ООО «Лавка» &amp; Co"/>)");
    EXPECT_EQ(withRootAttributes("not xml", {{"INN", "1"}}), "not xml");
}

TEST(XmlElements, ElementsComeInDocumentOrderAtAnyDepth) {
    const auto parameters = xmlElementsNamed(
        R"(<Settings><Page><Group><Parameter Name="Serial"/><Parameter Name="Ipaddr"/></Group>)"
        R"(<Group><Parameter Name="MarkTimeout"/></Group></Page></Settings>)",
        "Parameter");
    ASSERT_EQ(parameters.size(), 3u);
    EXPECT_EQ(parameters[0].attribute("Name"), "Serial");
    EXPECT_EQ(parameters[2].attribute("Name"), "MarkTimeout");
    EXPECT_EQ(parameters[2].attribute("Caption"), "");
    EXPECT_TRUE(xmlElementsNamed("<broken", "Parameter").empty());
    EXPECT_EQ(firstXmlElement("<a/>", "Parameters").name, "");
}

} // namespace
} // namespace korvant::host
