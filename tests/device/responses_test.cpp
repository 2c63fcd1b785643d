#include "device/responses.h"

#include <gtest/gtest.h>

#include "device/envelope.h"
#include "device/tag_dictionary.h"
#include "device/units.h"

using korvant::ErrorCode;
using korvant::parseResponse;

namespace {

TEST(Envelope, CodesAreReadLeniently) {
    struct Row {
        const char* text;
        int32_t response;
        int32_t extended;
    };
    const Row rows[] = {
        {R"({"extended":5})", 0, 5},
        {R"({"response":null,"extended":null})", 0, 0},
        {R"({"response":true,"extended":false})", 1, 0},
        {R"({"response":3.9,"extended":-103.7})", 3, -103},
        {R"({"response":4294967295})", -1, 0}, // 32 bits, sent unsigned
        {"\xEF\xBB\xBF{\"response\":7}", 7, 0},
        {"", 0, 0},
        {"null", 0, 0},
    };
    for (const auto& row : rows) {
        korvant::AnswerEnvelope envelope;
        ASSERT_EQ(korvant::parseEnvelope(row.text, envelope), ErrorCode::NoError) << row.text;
        EXPECT_EQ(envelope.response, row.response) << row.text;
        EXPECT_EQ(envelope.extended, row.extended) << row.text;
        korvant::AnswerCodes codes;
        ASSERT_EQ(korvant::readAnswerCodes(row.text, codes), ErrorCode::NoError) << row.text;
        EXPECT_EQ(codes.response, row.response) << row.text;
        EXPECT_EQ(codes.extended, row.extended) << row.text;
    }
}

// Task answers are judged by their codes alone, without building the document;
// that reading must accept and refuse exactly what the full one does.
TEST(Envelope, CodesAloneAgreeWithTheWholeAnswer) {
    const char* texts[] = {
        R"({"data":{"task_id":7},"extended":0,"response":0})",
        R"({"response":"x","response":3})", // a repeated member counts by its last value
        R"({"response":3,"response":"x"})",
        R"({"data":[1],"data":{}})",
        R"({"data":{},"data":5})",
        R"({"data":{"response":"x","extended":[],"data":1},"response":2})",
        R"({"list":[{"response":"x"}],"extended":103,"response":3})",
        R"({"data":null,"response":-1})",
        R"({"response":18446744073709551615})",
        R"({"response":-9.3e18,"extended":9.3e18})",
        R"({"response":{}})",
        R"({"extended":"103"})",
        R"({"response":0} )",
        R"({"response":0} x)",
        R"({"response":0}{})",
        "{\"name\":\"\xFF\"}",
        R"({"name":"\ud800"})",
        R"([{"response":0}])",
        R"("text")",
        "true",
        " null ",
        "\xEF\xBB\xBF null",
        "",
        "{",
        R"({"response":0,})",
        R"({"response":1e400})",
        R"({"a":[[[[[[[[[[{"b":[]}]]]]]]]]]],"response":4})",
    };
    for (const char* text : texts) {
        korvant::AnswerEnvelope envelope;
        korvant::AnswerCodes codes;
        const ErrorCode whole = korvant::parseEnvelope(text, envelope);
        ASSERT_EQ(korvant::readAnswerCodes(text, codes), whole) << text;
        if (whole == ErrorCode::NoError) {
            EXPECT_EQ(codes.response, envelope.response) << text;
            EXPECT_EQ(codes.extended, envelope.extended) << text;
        }
    }
}

TEST(Envelope, MalformedAnswersAreProtocolErrors) {
    const char* rows[] = {
        "{",
        "not json",
        R"({"response":"0"})",
        R"({"extended":[1]})",
        R"({"response":1e300})",
        R"({"data":[1,2]})",
        R"({"data":"x"})",
        "[]",
        "17",
        "\xEF\xBB\xBF",
        R"({"response":4294967296})", // a code beyond 32 bits is no code
        R"({"extended":-2147483649})",
        R"({"response":18446744073709551615})",
    };
    for (const char* text : rows) {
        korvant::AnswerEnvelope envelope;
        if (std::string_view(text) == "\xEF\xBB\xBF") {
            // Only a byte-order mark: as empty as an empty answer.
            EXPECT_EQ(korvant::parseEnvelope(text, envelope), ErrorCode::NoError);
            continue;
        }
        EXPECT_EQ(korvant::parseEnvelope(text, envelope), ErrorCode::ProtocolError) << text;
        korvant::AnswerCodes codes;
        EXPECT_EQ(korvant::readAnswerCodes(text, codes), ErrorCode::ProtocolError) << text;
    }
}

TEST(Units, AnswerAmountsTruncateTowardZero) {
    EXPECT_DOUBLE_EQ(korvant::amountFromDevice(1234599), 123.45);
    EXPECT_DOUBLE_EQ(korvant::amountFromDevice(-1234599), -123.45);
    EXPECT_DOUBLE_EQ(korvant::amountFromDevice(99), 0.0);
    EXPECT_DOUBLE_EQ(korvant::amountFromDevice(150000), 15.0);
}

TEST(Responses, OnlyResponseGivesDefaults) {
    korvant::KorvantResponseGetInfo info;
    info.serial = "stale";
    ASSERT_EQ(parseResponse(R"({"response":0})", info), ErrorCode::NoError);
    EXPECT_EQ(info.serial, "");
    EXPECT_EQ(info.version, "");
    EXPECT_EQ(info.flash_bank, -1);
    EXPECT_EQ(info.line_length, 0);

    korvant::KorvantResponseQuery query;
    ASSERT_EQ(parseResponse("", query), ErrorCode::NoError);
    EXPECT_EQ(query.fd_number, 0u);
    EXPECT_FALSE(query.fd_error);
    EXPECT_EQ(query.sales.count, 0);
    EXPECT_DOUBLE_EQ(query.shift_cash, 0.0);
}

TEST(Responses, DataWithoutFlashBankReadsZero) {
    korvant::KorvantResponseGetInfo info;
    ASSERT_EQ(parseResponse(
                  R"({"response":3,"extended":106,"data":{"serial":"0012345","version":"2.1.0",)"
                  R"("flash_size":512,"goods_count":7,"boot_version":3,"line_length":48}})",
                  info),
              ErrorCode::NoError);
    EXPECT_EQ(info.response, 3);
    EXPECT_EQ(info.extended, 106);
    EXPECT_EQ(info.serial, "0012345");
    EXPECT_EQ(info.version, "2.1.0");
    EXPECT_EQ(info.flash_bank, 0);
    EXPECT_EQ(info.flash_size, 512);
    EXPECT_EQ(info.goods_count, 7);
    EXPECT_EQ(info.boot_version, 3);
    EXPECT_EQ(info.line_length, 48);
}

TEST(Responses, QueryReadsEveryField) {
    korvant::KorvantResponseQuery query;
    const char* answer = "\xEF\xBB\xBF"
                         R"({"response":0,"data":{"fd_date":-1,"fd_number":4000000000,)"
                         R"("fd_sign":3735928559,"shift_id":65535,"fd_shift_state":255,)"
                         R"("shift_cash":1234599,"fd_waiting":2,"fd_waiting_document":17,)"
                         R"("fd_waiting_date":1700000000,"fd_error":2,"fd_fail":0,)"
                         R"("fd_overflow":true,"sales":{"check_count":3,"check_total":150000},)"
                         R"("buys_correction":{"check_count":1},"buys":null}})";
    ASSERT_EQ(parseResponse(answer, query), ErrorCode::NoError);
    EXPECT_EQ(query.fd_date, -1); // a 32-bit date, sign-extended
    EXPECT_EQ(query.fd_number, 4000000000u);
    EXPECT_EQ(query.fd_sign, 3735928559u);
    EXPECT_EQ(query.shift_id, 65535);
    EXPECT_EQ(query.fd_shift_state, 255);
    EXPECT_DOUBLE_EQ(query.shift_cash, 123.45);
    EXPECT_EQ(query.fd_waiting, 2);
    EXPECT_EQ(query.fd_waiting_document, 17);
    EXPECT_EQ(query.fd_waiting_date, 1700000000);
    EXPECT_TRUE(query.fd_error);
    EXPECT_FALSE(query.fd_fail);
    EXPECT_TRUE(query.fd_overflow);
    EXPECT_EQ(query.sales.count, 3);
    EXPECT_DOUBLE_EQ(query.sales.total, 15.0);
    EXPECT_EQ(query.buys_correction.count, 1);
    EXPECT_DOUBLE_EQ(query.buys_correction.total, 0.0);
    for (const auto* counter :
         {&query.buys, &query.sales_return, &query.buys_return, &query.sales_correction}) {
        EXPECT_EQ(counter->count, 0);
        EXPECT_DOUBLE_EQ(counter->total, 0.0);
    }
}

TEST(Responses, DatesAreSignExtended32BitValues) {
    korvant::KorvantResponseGetFdState state;
    ASSERT_EQ(parseResponse(R"({"data":{"fd_reg_date":4294967295,"fd_expired":1700000000,)"
                            R"("fd_serial":"9999078900001234","shift_id":12,"ffd_version":4}})",
                            state),
              ErrorCode::NoError);
    EXPECT_EQ(state.fd_reg_date, -1);
    EXPECT_EQ(state.fd_expired, 1700000000);
    EXPECT_EQ(state.fd_serial, "9999078900001234");
    EXPECT_EQ(state.shift_id, 12);
    EXPECT_EQ(state.ffd_version, 4);
}

TEST(Responses, StateAndMoneyAndOpen) {
    korvant::KorvantResponseGetState state;
    ASSERT_EQ(parseResponse(R"({"data":{"fd_mode":5,"dev_context":256,)"
                            R"("company_name":"ООО Ромашка","automat_number":"A1"}})",
                            state),
              ErrorCode::NoError);
    EXPECT_EQ(state.fd_mode, 5);
    EXPECT_EQ(state.dev_context, 256);
    EXPECT_EQ(state.company_name, "ООО Ромашка");
    EXPECT_EQ(state.automat_number, "A1");
    EXPECT_EQ(state.regnum, "");

    korvant::KorvantResponseGetMoney money;
    ASSERT_EQ(parseResponse(R"({"data":{"shift_cash":-250000}})", money), ErrorCode::NoError);
    EXPECT_DOUBLE_EQ(money.shift_cash, -25.0);

    korvant::KorvantResponseOpen open;
    ASSERT_EQ(parseResponse(R"({"data":{"serial":"0012345","version":"2.1.0"}})", open),
              ErrorCode::NoError);
    EXPECT_EQ(open.serial, "0012345");
    EXPECT_EQ(open.version, "2.1.0");
}

// A value its field cannot hold is malformed, never cut to fit: a number beyond
// 32 bits, a shift number above 16 bits or a fraction would otherwise reach the
// host as a plausible wrong number.
TEST(Responses, ValuesOutsideTheirRangeAreProtocolErrors) {
    const char* queries[] = {
        R"({"data":{"fd_number":-2147483649}})",
        R"({"data":{"fd_number":4294967296}})",
        R"({"data":{"fd_number":1.5}})",
        R"({"data":{"fd_sign":4294967296}})",
        R"({"data":{"fd_sign":-2147483649}})",
        R"({"data":{"fd_sign":0.5}})",
        R"({"data":{"shift_id":65536}})",
        R"({"data":{"shift_id":-1}})",
        R"({"data":{"fd_shift_state":256}})",
        R"({"data":{"fd_waiting_document":4294967296}})",
        R"({"data":{"fd_waiting":4294967296}})",
        R"({"data":{"fd_date":-2147483649}})",
        R"({"data":{"sales":{"check_count":1e10}}})",
        R"({"data":{"sales":{"check_count":2.5}}})",
        R"({"data":{"shift_cash":18446744073709551615}})",
        R"({"data":{"shift_cash":100.5}})",
    };
    for (const char* answer : queries) {
        korvant::KorvantResponseQuery query;
        EXPECT_EQ(parseResponse(answer, query), ErrorCode::ProtocolError) << answer;
        EXPECT_EQ(query.fd_number, 0u) << answer;
    }
    const char* storageStates[] = {
        R"({"data":{"fd_last_doc":-2147483649}})",
        R"({"data":{"fd_reg_document":4294967296}})",
        R"({"data":{"shift_doc_number":3.25}})",
        R"({"data":{"shift_id":65536}})",
    };
    for (const char* answer : storageStates) {
        korvant::KorvantResponseGetFdState storage;
        EXPECT_EQ(parseResponse(answer, storage), ErrorCode::ProtocolError) << answer;
    }
    // The edges themselves are values.
    korvant::KorvantResponseQuery edges;
    ASSERT_EQ(parseResponse(R"({"data":{"fd_number":4294967295,"fd_sign":0,"shift_id":0,)"
                            R"("fd_date":4294967295,"fd_waiting":-2147483648}})",
                            edges),
              ErrorCode::NoError);
    EXPECT_EQ(edges.fd_number, 4294967295u);
    EXPECT_EQ(edges.fd_date, -1);
    EXPECT_EQ(edges.fd_waiting, INT32_MIN);
}

// The register's numbers are 32-bit fields, and half of all fiscal signs are at
// or above 2^31: written signed or unsigned, a member reads as its 32 bits. A
// whole number written with a point is still that number.
TEST(Responses, ThirtyTwoBitMembersReadTheSameSignedOrUnsigned) {
    const struct {
        const char* written;
        uint32_t read;
    } rows[] = {
        {"3000000000", 3000000000u},  {"-1294967296", 3000000000u}, {"-1", 4294967295u},
        {"-2147483648", 2147483648u}, {"2147483648", 2147483648u},  {"7.0", 7u},
    };
    for (const auto& row : rows) {
        const std::string answer = std::string(R"({"data":{"fd_number":)") + row.written +
                                   R"(,"fd_sign":)" + row.written + "}}";
        korvant::KorvantResponseQuery query;
        ASSERT_EQ(parseResponse(answer, query), ErrorCode::NoError) << answer;
        EXPECT_EQ(query.fd_number, row.read) << answer;
        EXPECT_EQ(query.fd_sign, row.read) << answer;
        EXPECT_EQ(korvant::unsignedMember(answer, korvant::tag::fd_sign), row.read) << answer;
        korvant::KorvantResponseGetFdState storage;
        const std::string state = std::string(R"({"data":{"fd_last_doc":)") + row.written + "}}";
        ASSERT_EQ(parseResponse(state, storage), ErrorCode::NoError) << state;
        EXPECT_EQ(static_cast<uint32_t>(storage.fd_last_doc), row.read) << state;
    }
}

TEST(Responses, AnUnsignedMemberIsReadOnlyWhenItIsThere) {
    using korvant::unsignedMember;
    namespace tag = korvant::tag;
    EXPECT_EQ(unsignedMember(R"({"data":{"fd_number":17}})", tag::fd_number), 17u);
    EXPECT_EQ(unsignedMember(R"({"data":{"fd_sign":4294967295}})", tag::fd_sign), 4294967295u);
    for (const char* absent :
         {R"({"data":{"fd_number":null}})", R"({"data":{}})", R"({"response":0})", "", "{",
          R"({"data":{"fd_number":4294967296}})", R"({"data":{"fd_number":"17"}})"}) {
        EXPECT_EQ(unsignedMember(absent, tag::fd_number), std::nullopt) << absent;
    }
}

TEST(Responses, StateTellsAnOpenDocument) {
    korvant::KorvantResponseGetState state;
    ASSERT_EQ(parseResponse(R"({"data":{"dev_context":768,"doc_kind":1}})", state),
              ErrorCode::NoError);
    EXPECT_TRUE(state.documentOpen());
    EXPECT_EQ(state.doc_kind, 1);
    ASSERT_EQ(parseResponse(R"({"data":{"dev_context":256}})", state), ErrorCode::NoError);
    EXPECT_FALSE(state.documentOpen());
    EXPECT_EQ(state.doc_kind, -1);
}

TEST(Responses, DeeplyNestedAnswersAreRefusedUnparsed) {
    const std::string deep = R"({"response":0,"data":{"x":)" + std::string(100000, '[') +
                             std::string(100000, ']') + "}}";
    korvant::KorvantResponseQuery query;
    EXPECT_EQ(parseResponse(deep, query), ErrorCode::ProtocolError);
    korvant::AnswerCodes codes;
    EXPECT_EQ(korvant::readAnswerCodes(deep, codes), ErrorCode::ProtocolError);
    // Brackets inside a text are no nesting.
    const std::string text = R"({"response":0,"data":{"x":")" + std::string(1000, '[') + R"("}})";
    EXPECT_EQ(korvant::readAnswerCodes(text, codes), ErrorCode::NoError);
}

TEST(Responses, WrongTypesAreProtocolErrorsAndLeaveDefaults) {
    const char* answers[] = {
        R"({"response":0,"data":{"fd_number":"17","shift_id":5}})",
        R"({"response":0,"data":{"shift_id":5,"sales":{"check_count":"3"}}})",
        R"({"response":0,"data":{"shift_id":5,"sales":[3,150000]}})",
        R"({"response":0,"data":{"shift_id":5,"shift_cash":{}}})",
        R"({"response":0,"data":{"shift_id":5,"fd_date":1e30}})",
        R"({"response":"0"})",
        R"({"response":0,"data":{)",
    };
    for (const char* answer : answers) {
        korvant::KorvantResponseQuery query;
        EXPECT_EQ(parseResponse(answer, query), ErrorCode::ProtocolError) << answer;
        EXPECT_EQ(query.shift_id, 0) << answer;
    }

    korvant::KorvantResponseOpen open;
    EXPECT_EQ(parseResponse(R"({"data":{"serial":12345,"version":"1"}})", open),
              ErrorCode::ProtocolError);
    EXPECT_EQ(open.version, "");
}

} // namespace
