#include "device/request.h"

#include <gtest/gtest.h>

#include "device/tag_dictionary.h"

namespace tag = korvant::tag;
using korvant::Request;

namespace {

TEST(TagName, UnknownNumbersHaveNoName) {
    EXPECT_EQ(korvant::tagName(0), "");
    EXPECT_EQ(korvant::tagName(200), "");
    EXPECT_EQ(korvant::tagName(tag::check_total), "check_total");
}

TEST(Request, NothingAddedIsNull) {
    Request request;
    EXPECT_TRUE(request.empty());
    EXPECT_EQ(request.text(), "null");
    request.setIfNotEmpty(tag::user_name, "");
    EXPECT_EQ(request.text(), "null");
}

TEST(Request, CompactWithKeysInByteOrder) {
    Request request;
    request.set(tag::user_name, "Cashier1")
        .set(tag::taxcode, 1)
        .set(tag::doc_kind, 0)
        .set(tag::cash, int64_t{2000000});
    EXPECT_FALSE(request.empty());
    EXPECT_EQ(request.text(),
              R"({"cash":2000000,"doc_kind":0,"taxcode":1,"user_name":"Cashier1"})");
}

TEST(Request, IntegersKeepTheirFullRange) {
    Request request;
    request.set(tag::price, INT64_MIN).set(tag::quant, UINT64_MAX).set(tag::fd_mode, uint32_t{5});
    EXPECT_EQ(request.text(),
              R"({"fd_mode":5,"price":-9223372036854775808,"quant":18446744073709551615})");
}

TEST(Request, SettingAgainReplacesTheMember) {
    Request request;
    request.set(tag::text, "a").set(tag::text, "b");
    EXPECT_EQ(request.text(), R"({"text":"b"})");
}

TEST(Request, CyrillicTravelsAsRawUtf8) {
    Request request;
    request.set(tag::name, "Чай \"зелёный\"");
    EXPECT_EQ(request.text(), "{\"name\":\"Чай \\\"зелёный\\\"\"}");
}

TEST(Request, InvalidUtf8IsReplacedInsteadOfThrowing) {
    Request request;
    request.set(tag::name, std::string_view("a\xFF"
                                            "b\xC3",
                                            4));
    EXPECT_EQ(request.text(), "{\"name\":\"a\xEF\xBF\xBD"
                              "b\xEF\xBF\xBD\"}");
}

TEST(Request, UnknownTagIsNotSent) {
    Request request;
    request.set(200, 1);
    EXPECT_EQ(request.text(), "null");
}

} // namespace
