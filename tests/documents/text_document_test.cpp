#include "documents/text_document.h"

#include <gtest/gtest.h>

using namespace korvant;

namespace {

TextDocument textWithPositions(const std::string& positions) {
    return TextDocument("<Document><Positions>" + positions + "</Positions></Document>");
}

} // namespace

TEST(TextDocument, ReadsLinesAndBarcodesByPrefix) {
    const auto document = textWithPositions(
        R"(<TextString Text="one"/><TextStringX Text="two"/><TextString/>)"
        R"(<Barcode Type="EAN13" Value="4600000000000"/><BarcodeItem Type="QRCODE" Value="q"/>)"
        R"(<Barcode Type="PDF417" Value="p"/><Barcode Type="EAN8"/><Barcode Value="untyped"/>)"
        R"(<Note Text="other"/><textstring Text="case"/><Barcode Type="ean8" Value="case"/>)"
        R"(<Barcode Type="EAN8x" Value="8"/><Barcode Type="CODE39" Value="v" ValueBase64="MDEy"/>)"
        R"(<Barcode Type="QR" ValueBase64="MDEyMzQ1"/><Barcode Type="QR" ValueBase64="AB=C"/>)");
    const std::vector<std::pair<TextItemKind, std::string>> expected{
        {TextItemKind::Text, "one"},
        {TextItemKind::Text, "two"},
        {TextItemKind::Ean13, "4600000000000"},
        {TextItemKind::Qr, "q"},
        {TextItemKind::Ean8, "8"},
        {TextItemKind::Code39, "v"},
        {TextItemKind::Qr, "012345"},
    };
    ASSERT_EQ(document.items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(document.items[i].kind, expected[i].first) << i;
        EXPECT_EQ(document.items[i].text, expected[i].second) << i;
    }
}

TEST(TextDocument, OnlyTheFirstPositionsOfTheRootCounts) {
    const TextDocument document(R"(<Document><Group><Positions><TextString Text="deep"/>)"
                                R"(</Positions></Group><Positions><TextString Text="first"/>)"
                                R"(</Positions><Positions><TextString Text="second"/></Positions>)"
                                R"(</Document>)");
    ASSERT_EQ(document.items.size(), 1u);
    EXPECT_EQ(document.items[0].text, "first");
    EXPECT_TRUE(TextDocument("not xml").items.empty());
    EXPECT_TRUE(TextDocument("<Document/>").items.empty());
}
