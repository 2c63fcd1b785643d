#include "nativeapi/utf.h"

#include <gtest/gtest.h>

using korvant::sanitizeUtf8;
using korvant::utf16ToUtf8;
using korvant::utf8ToUtf16;

TEST(Utf, CyrillicRoundTrip) {
    const std::u16string method = u"ПолучитьОшибку";
    const std::string utf8 = utf16ToUtf8(method);
    EXPECT_EQ(utf8.size(), 28u);
    EXPECT_EQ(utf8ToUtf16(utf8), method);
}

TEST(Utf, SurrogatePairBecomesOneFourByteSequence) {
    const std::u16string pair{0xD83D, 0xDE00};
    EXPECT_EQ(utf16ToUtf8(pair), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), pair);
}

TEST(Utf, MalformedInputBecomesReplacementCharacter) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {std::u16string{0xD800}, "\xEF\xBF\xBD"},
        {std::u16string{u'a', 0xDC00, u'b'}, "a\xEF\xBF\xBD"
                                             "b"},
        {std::u16string{0xD800, u'x'}, "\xEF\xBF\xBD"
                                       "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8);
    }
    EXPECT_EQ(utf8ToUtf16("\xFF"), std::u16string{0xFFFD});
    EXPECT_EQ(utf8ToUtf16("\xD0"), std::u16string{0xFFFD});               // truncated sequence
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), (std::u16string{0xFFFD, 0xFFFD})); // overlong
    EXPECT_EQ(sanitizeUtf8("ok\xFFok"), "ok\xEF\xBF\xBDok");
}
