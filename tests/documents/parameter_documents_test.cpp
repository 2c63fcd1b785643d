#include "documents/input_parameters.h"
#include "documents/output_parameters.h"
#include "documents/xml_document.h"
#include "nativeapi/utf.h"

#include "fixed_time_zone.h"

#include <gtest/gtest.h>

using namespace korvant;

namespace {

constexpr const char* kDeclaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";

std::string printedAgain(std::string_view text) {
    tinyxml2::XMLDocument document;
    EXPECT_TRUE(parseXml(document, text));
    return DocumentToText(document);
}

} // namespace

TEST(XmlDocument, CompactPrintingGivesTheTextBack) {
    const std::string actions = R"(<?xml version="1.0" encoding="UTF-8"?><Actions/>)";
    ASSERT_EQ(actions.size(), 48u);
    EXPECT_EQ(printedAgain(actions), actions);
    EXPECT_EQ(printedAgain("\xEF\xBB\xBF" + actions), actions);
    EXPECT_EQ(printedAgain("<a>\n  <b x=\"1\"/>\n</a>"), "<a><b x=\"1\"/></a>");
}

TEST(XmlDocument, AttributeValuesStayWellFormed) {
    tinyxml2::XMLDocument document;
    parseXml(document, "<a/>");
    setAttributeText(*document.RootElement(), "v", "x\xFFy\x01z<\"&");
    const std::string text = DocumentToText(document);
    EXPECT_EQ(text, "<a v=\"x\xEF\xBF\xBDy\xEF\xBF\xBDz&lt;&quot;&amp;\"/>");
    tinyxml2::XMLDocument reparsed;
    EXPECT_TRUE(parseXml(reparsed, text));
}

TEST(InputParameters, ReadsTheFirstParametersChildOfTheRoot) {
    const InputParametersDocument document(
        R"(<InputParameters><Other/><Parameters CashierName="Иванов &amp; Ко" CashierINN=" 7700" SaleAddress="addr" SaleLocation="loc"/><Parameters CashierName="second"/></InputParameters>)");
    EXPECT_EQ(document.cashierName(), "Иванов & Ко");
    EXPECT_EQ(document.cashierINN(), " 7700");
    EXPECT_EQ(document.saleAddress(), "addr");
    EXPECT_EQ(document.saleLocation(), "loc");
}

// A reference to a character no XML document may hold (a surrogate, as 0) makes
// the document not well-formed: read, it would give bytes that are no UTF-8.
TEST(InputParameters, CharacterReferencesToSurrogatesMakeNoDocument) {
    const InputParametersDocument document(
        R"(<InputParameters><Parameters CashierName="a&#xD800;b"/></InputParameters>)");
    EXPECT_FALSE(document.wellFormed());
    EXPECT_EQ(document.cashierName(), "");
}

TEST(InputParameters, AnythingElseReadsEmpty) {
    const char* texts[] = {
        R"(<InputParameters><Group><Parameters CashierName="deep"/></Group></InputParameters>)",
        R"(<InputParameters><Parameters CashierInn="lower case nn"/></InputParameters>)",
        R"(<InputParameters><parameters CashierName="case"/></InputParameters>)",
        "",
        "not xml",
        R"(<InputParameters><Parameters CashierName="unclosed"></InputParameters>)",
    };
    for (const char* text : texts) {
        const InputParametersDocument document(text);
        EXPECT_EQ(document.cashierName(), "") << text;
        EXPECT_EQ(document.cashierINN(), "") << text;
        EXPECT_EQ(document.saleAddress(), "") << text;
        EXPECT_EQ(document.saleLocation(), "") << text;
    }
}

TEST(OutputParameters, EmptyDocumentIsTheTemplate) {
    EXPECT_EQ(OutputParametersDocument().text(),
              std::string(kDeclaration) + "<OutputParameters><Parameters/></OutputParameters>");
    OutputParametersDocument receipt(kDocumentOutputParametersRoot);
    receipt.setShiftNumber(2);
    EXPECT_EQ(receipt.text(), std::string(kDeclaration) +
                                  R"(<DocumentOutputParameters><Parameters ShiftNumber="2"/>)"
                                  R"(</DocumentOutputParameters>)");
}

TEST(OutputParameters, AttributesKeepTheOrderOfFirstSetting) {
    FixedTimeZone zone("UTC");
    OutputParametersDocument document;
    document.setShiftNumber(7);
    document.setCheckNumber(70000);
    document.setFiscalSign(3000000000u);
    document.setDateTime(1709629620);
    document.setAmount(output_attr::CashBalance, 100.1);
    document.setBool(output_attr::FNError, false);
    document.setSigned(output_attr::BacklogDocumentsCounter, -1);
    document.setShiftNumber(65535); // replaced in place, unsigned
    EXPECT_EQ(document.text(),
              std::string(kDeclaration) +
                  R"(<OutputParameters><Parameters ShiftNumber="65535" CheckNumber="70000" )"
                  R"(FiscalSign="3000000000" DateTime="2024-03-05T09:07:00" )"
                  R"(CashBalance="100.1" FNError="false" )"
                  R"(BacklogDocumentsCounter="-1"/></OutputParameters>)");
}

TEST(OutputParameters, ShiftStateOnlyForKnownDeviceStates) {
    for (const int64_t state : {int64_t{-1}, int64_t{3}, int64_t{5}}) {
        OutputParametersDocument document;
        document.setShiftState(state);
        EXPECT_EQ(document.text().find("ShiftState"), std::string::npos) << state;
    }
    OutputParametersDocument document;
    document.setShiftState(0);
    document.setShiftState(2);
    EXPECT_NE(document.text().find(R"(<Parameters ShiftState="3"/>)"), std::string::npos);
}

TEST(OutputParameters, CountersBlocksFollowTheAttributes) {
    FixedTimeZone zone("UTC");
    OutputParametersDocument document;
    document.setDateTime(0);
    document.addCountersBlock(counters_block::Sale, 3, 1234.5, 1, 100.1);
    document.addCountersBlock(counters_block::SaleReturn, 0, 0.0, 2, std::nullopt);
    document.setShiftNumber(1); // an attribute set later still goes on the element
    EXPECT_EQ(
        document.text(),
        std::string(kDeclaration) +
            R"(<OutputParameters><Parameters DateTime="1970-01-01T00:00:00" ShiftNumber="1">)"
            R"(<CountersOperationType1><Parameters CheckCount="3" TotalChecksAmount="1234.5" )"
            R"(CorrectionCheckCount="1" TotalCorrectionChecksAmount="100.1"/>)"
            R"(</CountersOperationType1><CountersOperationType2><Parameters CheckCount="0" )"
            R"(TotalChecksAmount="0" CorrectionCheckCount="2" TotalCorrectionChecksAmount="0"/>)"
            R"(</CountersOperationType2></Parameters></OutputParameters>)");
}
