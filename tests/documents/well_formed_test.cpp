// Every reader of a document the host passes tells a document it could read from
// one it could not: no text at all means no document (every value at its
// default), a well-formed document without the expected parts keeps the
// defaults too, and anything else (truncated, not XML) is not well-formed.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "documents/input_parameters.h"
#include "documents/receipt_record.h"
#include "documents/registration_parameters.h"
#include "documents/text_document.h"

namespace korvant {
namespace {

struct Reader {
    const char* name;
    std::function<bool(const std::string&)> wellFormed;
    std::string complete; // a good document, to be cut short
};

std::vector<Reader> readers() {
    return {
        {"input parameters",
         [](const std::string& text) { return InputParametersDocument(text).wellFormed(); },
         R"(<InputParameters><Parameters CashierName="Иванова"/></InputParameters>)"},
        {"receipt package", [](const std::string& text) { return ReceiptRecord(text).wellFormed; },
         R"(<CheckPackage><Parameters OperationType="1" CashierName="Иванова"/><Positions>)"
         R"(<FiscalString Name="Tea" Quantity="1" PriceWithDiscount="10"/></Positions>)"
         R"(<Payments Cash="10"/></CheckPackage>)"},
        {"text document", [](const std::string& text) { return TextDocument(text).wellFormed; },
         R"(<Document><Positions><TextString Text="line"/></Positions></Document>)"},
        {"registration table",
         [](const std::string& text) { return readRegistrationParameters(text).wellFormed; },
         R"(<Parameters CompanyName="Shop" INN="7700000000"/>)"},
    };
}

TEST(HostDocuments, TruncatedOrForeignTextIsNotWellFormed) {
    for (const Reader& reader : readers()) {
        SCOPED_TRACE(reader.name);
        EXPECT_TRUE(reader.wellFormed(reader.complete));
        // Cut anywhere inside, the document is no longer one (a cut right after
        // the root's end tag would still be whole, so the last byte stays).
        for (size_t length = 1; length < reader.complete.size(); ++length) {
            EXPECT_FALSE(reader.wellFormed(reader.complete.substr(0, length))) << length;
        }
        for (const char* foreign :
             {"not xml", "<a><b></a>", "<?xml version=\"1.0\"?>", "<!-- only a comment -->",
              "<a/><b/>", "<a/>tail", "text<a/>", "\xEF\xBB\xBF<a",
              // References XML does not know: the parser would keep them as text or
              // cut the value at the zero.
              R"(<a b="&nope;"/>)", R"(<a b="x&#0;y"/>)", R"(<a b="&#x0;"/>)", R"(<a b="&#1;"/>)",
              R"(<a b="&#xD800;"/>)", R"(<a b="&#x110000;"/>)", R"(<a b="&#-65;"/>)",
              R"(<a b="AT&T"/>)", "<a>&amp</a>", R"(<a b="&#;"/>)", "<a><!-- open"}) {
            EXPECT_FALSE(reader.wellFormed(foreign)) << foreign;
        }
    }
}

TEST(HostDocuments, NoTextOrWellFormedTextWithoutThePartsIsReadWithDefaults) {
    for (const Reader& reader : readers()) {
        SCOPED_TRACE(reader.name);
        for (const char* text :
             {"", "  \r\n\t", "<Other/>", "<?xml version=\"1.0\"?><Root><Unknown/></Root>",
              "\xEF\xBB\xBF<Root/>", "<Root><!-- comment --></Root>",
              R"(<Root a="&lt;&gt;&amp;&quot;&apos;&#65;&#x416;&#x1F600;&#9;"/>)",
              "<?xml version=\"1.0\"?><Root><!-- & --><![CDATA[&nope;]]></Root>"}) {
            EXPECT_TRUE(reader.wellFormed(text)) << text;
        }
    }
    const InputParametersDocument input("<InputParameters/>");
    EXPECT_EQ(input.cashierName(), "");
    const ReceiptRecord receipt("");
    EXPECT_EQ(receipt.operationType, 0);
    EXPECT_TRUE(TextDocument("").items.empty());
}

} // namespace
} // namespace korvant
